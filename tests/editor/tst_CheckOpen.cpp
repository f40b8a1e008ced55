#include <QDir>
#include <QFile>
#include <QtTest>

#include <SQLiteCpp/Database.h>

#include "core/players/KeyedFile.h"
#include "core/players/KeyedFileOpen.h"
#include "core/players/PlayerDatabase.h"
#include "editor/app/CheckOpen.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

OpenAttempt Attempt(OpenFailure f, const char* reason = "") {
    return {f, reason};
}

} // namespace

Q_DECLARE_METATYPE(kivo::OpenAttempt)
Q_DECLARE_METATYPE(std::vector<kivo::OpenAttempt>)

class CheckOpenTest : public QObject {
    Q_OBJECT
private slots:
    void outcomes_data();
    void outcomes();
    void blanksAreTrimmed();
    void teamFile_data();
    void teamFile();
    void useCounts();
    void realKeyedFiles_data();
    void realKeyedFiles();
    void lockedDatabase();
};

void CheckOpenTest::outcomes_data() {
    QTest::addColumn<std::vector<OpenAttempt>>("opens");
    QTest::addColumn<OpenAttempt>("rebuild");
    QTest::addColumn<bool>("createIfMissing");
    QTest::addColumn<int>("answer"); // to the rebuild question
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("openCalls");
    QTest::addColumn<int>("rebuildCalls");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stop");

    const OpenAttempt ok{};
    const QString name = QStringLiteral("/data/JUGADORES");
    const QString endApp = QStringLiteral(".  Press OK to end this application.");
    const int yes = int(MessageButton::Yes), no = int(MessageButton::No);

    QTest::newRow("open") << std::vector{ok} << ok << true << yes << true << 1 << 0 << QString() << QString()
                          << QString();
    QTest::newRow("missing, not to be created")
        << std::vector{Attempt(OpenFailure::NotFound, "No such file or directory (2)")} << ok << false << yes
        << false << 1 << 0 << "File Creation Error"
        << "Error: (No such file or directory (2)) creating " + name + endApp << "File Creation Error!";
    QTest::newRow("creating failed") << std::vector{Attempt(OpenFailure::CreateFailed,
                                                            "Permission denied (13)")}
                                     << ok << true << yes << false << 1 << 0 << "File Creation Error"
                                     << "Error: (Permission denied (13)) creating " + name + endApp
                                     << "File Creation Error!";
    QTest::newRow("opening the created file failed")
        << std::vector{Attempt(OpenFailure::OpenCreatedFailed, "disk I/O error (10)")} << ok << true << yes
        << false << 1 << 0 << "File Creation Error"
        << "Error: (disk I/O error (10)) opening created file:" + name + endApp << "File Creation Error!";
    QTest::newRow("not a database") << std::vector{Attempt(OpenFailure::InvalidFile,
                                                           "file is not a database (26)")}
                                    << ok << true << yes << false << 1 << 0 << "Invalid File"
                                    << "Error: (file is not a database (26)) accessing " + name + endApp
                                    << "Invalid File!";
    QTest::newRow("keys invalid, user declines")
        << std::vector{Attempt(OpenFailure::KeysInvalid, "x (11)")} << ok << true << no << false << 1 << 0
        << "Invalid Key" << name + " key file is invalid.  Do you want to rebuild the key?"
        << "Invalid Key!";
    QTest::newRow("keys invalid, rebuild fails")
        << std::vector{Attempt(OpenFailure::KeysInvalid, "x (11)")}
        << Attempt(OpenFailure::Other, "database disk image is malformed (11)") << true << yes << false << 1
        << 1 << "Key Rebuild Error"
        << "Error: (database disk image is malformed (11)) repairing key for " + name + endApp
        << "Error Rebuilding Key!";
    QTest::newRow("keys invalid, rebuilt and open")
        << std::vector{Attempt(OpenFailure::KeysInvalid, "x (11)"), ok} << ok << true << yes << true << 2 << 1
        << "Invalid Key" << name + " key file is invalid.  Do you want to rebuild the key?" << QString();
    QTest::newRow("keys invalid, rebuilt, still failing")
        << std::vector{Attempt(OpenFailure::KeysInvalid, "x (11)"),
                       Attempt(OpenFailure::Other, "disk full (13)")}
        << ok << true << yes << false << 2 << 1 << "File Access Error"
        << "File (" + name + ") could not be opened.  Error: disk full (13)."
        << "Disk Error";
    QTest::newRow("locked, then free")
        << std::vector{Attempt(OpenFailure::Locked, "database is locked (5)"), ok} << ok << true << yes
        << true << 2 << 0 << QString() << QString() << QString();
    QTest::newRow("locked twice") << std::vector{Attempt(OpenFailure::Locked, "database is locked (5)"),
                                                 Attempt(OpenFailure::Locked, "database is locked (5)")}
                                  << ok << true << yes << false << 2 << 0 << "File Access Error"
                                  << "File (" + name +
                                         ") could not be opened.  Error: database is locked (5)."
                                  << "Disk Error";
    QTest::newRow("other error") << std::vector{Attempt(OpenFailure::Other,
                                                        "unable to open database file (14)")}
                                 << ok << true << yes << false << 1 << 0 << "File Access Error"
                                 << "File (" + name +
                                        ") could not be opened.  Error: unable to open database "
                                        "file (14)."
                                 << "Disk Error";
}

void CheckOpenTest::outcomes() {
    QFETCH(std::vector<OpenAttempt>, opens);
    QFETCH(OpenAttempt, rebuild);
    QFETCH(bool, createIfMissing);
    QFETCH(int, answer);
    QFETCH(bool, result);
    QFETCH(int, openCalls);
    QFETCH(int, rebuildCalls);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QString, stop);

    test::Seams seams;
    seams.answers = {MessageButton(answer)};
    int opened = 0, rebuilt = 0;
    OpenSteps steps;
    steps.open = [&](const std::string& path, bool create) {
        [&] {
            QCOMPARE(QString::fromStdString(path), QStringLiteral("/data/JUGADORES"));
            QCOMPARE(create, createIfMissing);
        }();
        return opens.at(std::min<std::size_t>(opened++, opens.size() - 1));
    };
    steps.rebuild = [&](const std::string&) {
        ++rebuilt;
        return rebuild;
    };

    QCOMPARE(CheckOpen("/data/JUGADORES", createIfMissing, steps), result);
    QCOMPARE(opened, openCalls);
    QCOMPARE(rebuilt, rebuildCalls);
    // A rebuild is always preceded by the question.
    const bool asked = rebuildCalls > 0 || title == QLatin1String("Invalid Key");
    if (asked) {
        const MessageSpec& q = seams.messages.at(0);
        QCOMPARE(q.title, QStringLiteral("Invalid Key"));
        QCOMPARE(q.text,
                 QStringLiteral("/data/JUGADORES key file is invalid.  Do you want to rebuild the key?"));
        QCOMPARE(q.icon, MessageIcon::Exclamation);
        QCOMPARE(q.buttons, MessageButton::Yes | MessageButton::No);
        QCOMPARE(q.defaultButton, MessageButton::Yes);
    }
    if (title.isEmpty() || (asked && title == QLatin1String("Invalid Key"))) {
        QCOMPARE(seams.messages.size(), std::size_t(asked ? 1 : 0));
    } else {
        QCOMPARE(seams.messages.size(), std::size_t(asked ? 2 : 1));
        const MessageSpec& m = seams.messages.back();
        QCOMPARE(m.title, title);
        QCOMPARE(m.text, text);
        QCOMPARE(m.icon, MessageIcon::Information);
        QCOMPARE(m.buttons, MessageButtons(MessageButton::Ok));
    }
    if (stop.isEmpty())
        QVERIFY(seams.stops.empty());
    else
        QCOMPARE(seams.stops, std::vector<QString>{stop});
}

void CheckOpenTest::blanksAreTrimmed() {
    test::Seams seams;
    OpenSteps steps;
    steps.open = [](const std::string&, bool) {
        return Attempt(OpenFailure::InvalidFile, "not a database (26)   ");
    };
    QVERIFY(!CheckOpen("/data/portapap.tps    ", true, steps));
    QCOMPARE(
        seams.messages.at(0).text,
        QStringLiteral("Error: (not a database (26)) accessing /data/portapap.tps.  Press OK to end this "
                       "application."));
}

void CheckOpenTest::teamFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("reasonAndRest");
    QTest::addColumn<QString>("stop");
    QTest::newRow("present") << "file" << true << QString() << QString() << QString();
    QTest::newRow("found without regard to case") << "upper" << true << QString() << QString() << QString();
    QTest::newRow("missing") << "missing" << false << "File Creation Error"
                             << "Error: (No such file or directory (2)) creating "
                             << "File Creation Error!";
    QTest::newRow("a directory") << "directory" << false << "Invalid File"
                                 << "accessing "
                                 << "Invalid File!";
}

void CheckOpenTest::teamFile() {
    QFETCH(QString, kind);
    QFETCH(bool, result);
    QFETCH(QString, title);
    QFETCH(QString, reasonAndRest);
    QFETCH(QString, stop);

    test::Seams seams;
    const QString path = QDir(seams.start.path()).filePath(QStringLiteral("team.008"));
    if (kind == QLatin1String("file") || kind == QLatin1String("upper")) {
        QFile f(kind == QLatin1String("upper") ? QDir(seams.start.path()).filePath(QStringLiteral("TEAM.008"))
                                               : path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2 + 684, '\0'));
    } else if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(path));
    }
    Globals().TeamFilePath = path.toStdString();
    QCOMPARE(UseTeamFile(), result);
    QCOMPARE(Globals().TeamFileUseCount, result ? 1 : 0);
    if (result) {
        QVERIFY(seams.messages.empty());
        QVERIFY(seams.stops.empty());
        return;
    }
    QCOMPARE(seams.messages.at(0).title, title);
    QVERIFY2(seams.messages.at(0).text.contains(reasonAndRest + path), qPrintable(seams.messages.at(0).text));
    QVERIFY(seams.messages.at(0).text.endsWith(QStringLiteral(".  Press OK to end this application.")));
    QCOMPARE(seams.stops, std::vector<QString>{stop});
}

void CheckOpenTest::useCounts() {
    test::Seams seams;
    OpenSteps ok;
    ok.open = [](const std::string&, bool) { return OpenAttempt{}; };
    OpenSteps failing;
    failing.open = [](const std::string&, bool) { return Attempt(OpenFailure::Other, "busy (5)"); };

    QVERIFY(!UsePlayerDatabase(failing)); // the first user's open fails: no user
    QCOMPARE(Globals().PlayerFileUseCount, 0);
    QVERIFY(UsePlayerDatabase(ok));
    QVERIFY(UsePlayerDatabase(failing)); // already open: shared as it is, not opened again
    QCOMPARE(Globals().PlayerFileUseCount, 2);
    QCOMPARE(seams.messages.size(), std::size_t(1));
    ReleasePlayerDatabase();
    ReleasePlayerDatabase();
    ReleasePlayerDatabase(); // one too many must not go below zero
    QCOMPARE(Globals().PlayerFileUseCount, 0);
    QVERIFY(!UsePlayerDatabase(failing)); // the last user gone, the next one opens it again
    QCOMPARE(seams.messages.size(), std::size_t(2));

    Globals().ClipboardFilePath = "/tmp/portapap.tps";
    std::string seen;
    OpenSteps clip;
    clip.open = [&](const std::string& path, bool create) {
        seen = path + (create ? " create" : " no-create");
        return OpenAttempt{};
    };
    QVERIFY(UseClipboardFile(clip));
    QCOMPARE(QString::fromStdString(seen), QStringLiteral("/tmp/portapap.tps create"));
    QCOMPARE(Globals().ClipboardFileUseCount, 1);
    ReleaseClipboardFile();
    QCOMPARE(Globals().ClipboardFileUseCount, 0);

    // The database is the start directory's JUGADORES, and is created when missing.
    clip.open = [&](const std::string& path, bool create) {
        seen = path + (create ? " create" : " no-create");
        return OpenAttempt{};
    };
    QVERIFY(UsePlayerDatabase(clip));
    QCOMPARE(QString::fromStdString(seen),
             QDir(seams.start.path()).filePath(QStringLiteral("JUGADORES")) + QStringLiteral(" create"));
}

void CheckOpenTest::realKeyedFiles_data() {
    QTest::addColumn<bool>("clipboard");
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("stop");
    for (bool clip : {false, true}) {
        const char* which = clip ? "clipboard: " : "database: ";
        QTest::newRow(QByteArray(which) + "missing is created")
            << clip << QByteArray() << true << QString() << QString();
        QTest::newRow(QByteArray(which) + "empty file gets its table")
            << clip << QByteArray("") << true << QString() << QString();
        QTest::newRow(QByteArray(which) + "not a database")
            << clip << QByteArray(4096, 'x') << false << "Invalid File"
            << "Invalid File!";
    }
}

void CheckOpenTest::realKeyedFiles() {
    QFETCH(bool, clipboard);
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(QString, title);
    QFETCH(QString, stop);
    test::Seams seams;
    const QString path = QDir(seams.start.path()).filePath(clipboard ? "portapap.tps" : "JUGADORES");
    Globals().ClipboardFilePath = path.toStdString();
    if (!content.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QCOMPARE(clipboard ? UseClipboardFile() : UsePlayerDatabase(), result);
    QVERIFY(QFile::exists(path));
    if (result) {
        QVERIFY(seams.messages.empty());
        QCOMPARE(clipboard ? Globals().ClipboardFileUseCount : Globals().PlayerFileUseCount, 1);
        return;
    }
    QCOMPARE(seams.messages.at(0).title, title);
    QCOMPARE(seams.messages.at(0).text, "Error: (file is not a database (26)) accessing " + path +
                                            ".  Press OK to end this application.");
    QCOMPARE(seams.stops, std::vector<QString>{stop});
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content); // nothing was written to a file that is not ours
}

void CheckOpenTest::lockedDatabase() {
    test::Seams seams;
    const std::string path = QDir(seams.start.path()).filePath("JUGADORES").toStdString();
    QVERIFY(OpenPlayerDatabaseFile(path, true).ok());
    // Another process holds the file: an exclusive lock kept by a second connection.
    SQLite::Database other(path, SQLite::OPEN_READWRITE);
    other.exec("PRAGMA locking_mode=EXCLUSIVE");
    other.exec("BEGIN EXCLUSIVE");
    other.exec("CREATE TABLE held(x)");
    int opens = 0;
    OpenSteps steps;
    steps.open = [&](const std::string& p, bool create) {
        ++opens;
        return OpenKeyedFile(PlayerDatabaseSchema(), p, create,
                             50); // a short wait: the test need not wait long
    };
    QVERIFY(!UsePlayerDatabase(steps));
    QCOMPARE(opens, 2); // tried once more before giving up
    QCOMPARE(seams.messages.size(), std::size_t(1));
    QCOMPARE(seams.messages[0].title, QStringLiteral("File Access Error"));
    QVERIFY2(seams.messages[0].text.startsWith("File (" + QString::fromStdString(path) +
                                               ") could not be opened.  Error: "),
             qPrintable(seams.messages[0].text));
    QVERIFY2(seams.messages[0].text.endsWith(QStringLiteral("(5).")), qPrintable(seams.messages[0].text));
    QCOMPARE(seams.stops, std::vector<QString>{QStringLiteral("Disk Error")});
    QCOMPARE(Globals().PlayerFileUseCount, 0);
}

QTEST_MAIN(CheckOpenTest)
#include "tst_CheckOpen.moc"
