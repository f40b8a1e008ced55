#include <QProcess>
#include <QtTest>

// kivo-editor run as a process: --help and --version answer on the terminal and need no display.
class ProgramEntryTest : public QObject {
    Q_OBJECT
private slots:
    void answersOnTheTerminal_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("starts");
        QTest::newRow("--help") << QStringList{"--help"} << "Usage: kivo-editor [options] [DIR]\n";
        QTest::newRow("-h") << QStringList{"-h"} << "Usage: kivo-editor [options] [DIR]\n";
        QTest::newRow("after a Qt option")
            << QStringList{"-style", "fusion", "--help"} << "Usage: kivo-editor [options] [DIR]\n";
        QTest::newRow("--version") << QStringList{"--version"} << "kivo-editor " KIVO_VERSION "\n";
    }
    void answersOnTheTerminal() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, starts);
        QProcess editor;
        // A platform that needs a display, and none: had the program made its application first, it would
        // have stopped without one.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(QDir::tempPath());
        editor.start(QStringLiteral(KIVO_EDITOR_PATH), arguments);
        QVERIFY(editor.waitForFinished(20000));
        const QString out = QString::fromLocal8Bit(editor.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(editor.readAllStandardError());
        QCOMPARE(editor.exitStatus(), QProcess::NormalExit);
        QVERIFY2(editor.exitCode() == 0, qPrintable(err));
        QVERIFY2(out.startsWith(starts), qPrintable(out));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        if (starts.startsWith(QLatin1String("Usage")))
            for (const char* line : {"--help", "--version", "kivo-cli --help"})
                QVERIFY2(out.contains(QLatin1String(line)), line);
        else
            QCOMPARE(out, starts); // the version alone
    }

    void otherArgumentsStartTheProgram() {
        // Without those options the program makes its application: here, with no display, it cannot, which
        // shows that the answer above came before it.
        QProcess editor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(QDir::tempPath());
        editor.start(QStringLiteral(KIVO_EDITOR_PATH), {QStringLiteral("--versio")});
        QVERIFY(editor.waitForFinished(20000));
        QVERIFY(editor.exitStatus() == QProcess::CrashExit || editor.exitCode() != 0);
        QVERIFY(
            !QString::fromLocal8Bit(editor.readAllStandardOutput()).contains(QLatin1String("kivo-editor ")));
    }
};

QTEST_GUILESS_MAIN(ProgramEntryTest)
#include "tst_ProgramEntry.moc"
