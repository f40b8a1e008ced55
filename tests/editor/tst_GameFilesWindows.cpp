// "Check Game Files" and "Backups" driven as a user does: the findings listed, sorted and opened in the team
// editor; a run chosen, its changes read, and a restore answered Yes that puts back the file byte for byte.

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "core/backups/Backups.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/inspect/RevisionDatos.h"
#include "editor/inspect/CopiasSeguridad.h"
#include "TeamEditorSupport.h"

namespace kivo::editor {

namespace {

ActualizarEquipo* OpenEditor() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* editor = qobject_cast<ActualizarEquipo*>(w); editor && editor->isVisible()) return editor;
    return nullptr;
}

QStringList Column(QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

void DoubleClick(QTreeWidget* list, QTreeWidgetItem* item) {
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at, 10);
}

} // namespace

class GameFilesWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Seams> seams;
    QString data, file;
    QByteArray original;

    // TEAM.008 of three teams in the configured game directory; team 2's slot 5 wears no number and team
    // 1's slot 9 passes at 20.
    void Prepare() {
        seams = std::make_unique<test::Seams>();
        Globals().ClipboardFilePath = seams->StartFile("portapap.tps").toStdString();
        data = seams->StartFile("data");
        QDir().mkpath(data);
        file = QDir(data).filePath("TEAM.008");
        TeamRecord one = test::Team(1), two = test::Team(2);
        one.jugador[8].passing = 20;
        two.jugador[4].nroCamiseta = 0;
        original = QByteArray(2, '\x07') + test::Bytes(test::Team(0)) + test::Bytes(one) + test::Bytes(two);
        QVERIFY(test::WriteFile(file, original));
        QVERIFY(WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, data.toStdString()));
    }

private slots:
    void cleanup() {
        if (ActualizarEquipo* editor = OpenEditor()) editor->close();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<RevisionDatos*>(w) || qobject_cast<CopiasSeguridad*>(w)) w->close();
        QCoreApplication::processEvents();
        Globals().CatalogueOpen = false;
        seams.reset();
    }

    void theCheckListsSortsAndOpensItsFindings() {
        Prepare();
        StartRevisionDatos();
        RevisionDatos* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<RevisionDatos*>(w)) window = c;
        QVERIFY(window);
        QCOMPARE(window->directoryEntry()->text(), data);
        QTreeWidget* list = window->findings();
        QCOMPARE(Column(list, 4), (QStringList{"skill", "shirt-number"}));
        QCOMPARE(Column(list, 1), (QStringList{"1", "2"}));
        QCOMPARE(Column(list, 2), (QStringList{"9", "5"}));
        QVERIFY(window->summary()->text().startsWith(QStringLiteral("2 finding(s) in 1 file(s), 3 team(s)")));
        // Sorted by slot with a click on its header.
        QHeaderView* header = list->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, header->height() / 2));
        QCOMPARE(Column(list, 2), (QStringList{"5", "9"}));

        // A double-click on the shirt-number finding: team 2 at slot 5; OK saves the mended number.
        DoubleClick(list, list->topLevelItem(0));
        ActualizarEquipo* editor = OpenEditor();
        QVERIFY2(editor, qPrintable(seams->Shown().join('|')));
        QCOMPARE(Globals().SelectedTeamIndex, std::int64_t{2});
        QCoreApplication::processEvents();
        QCOMPARE(editor->focusWidget(), editor->row(4).name);
        QTest::mouseClick(editor->okButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!OpenEditor());
        QCOMPARE(test::ReadFile(file).mid(2 + 2 * 684 + 76 + 4 * 38 + 2, 1), QByteArray(1, '\x05'));
        // The check ran again: only the other finding is left.
        QCOMPARE(Column(list, 4), QStringList{"skill"});
        QVERIFY(seams->messages.empty());
    }

    void aRestoreThroughTheWindowPutsTheFileBack() {
        Prepare();
        // A run that copied the file, then a change to the file.
        BackupRun earlier;
        QVERIFY(earlier.EnsureBackedUp(file.toStdString()).ok());
        const QString runName = QString::fromStdString(
            earlier.BackupPathFor(file.toStdString()).parent_path().filename().string());
        TeamRecord changed = test::Team(0);
        changed.jugador[5].passing = 14;
        const QByteArray edited = original.left(2) + test::Bytes(changed) + original.mid(2 + 684);
        QVERIFY(test::WriteFile(file, edited));

        StartCopiasSeguridad();
        CopiasSeguridad* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* c = qobject_cast<CopiasSeguridad*>(w)) window = c;
        QVERIFY(window);
        QTreeWidget* runs = window->runs();
        QCOMPARE(runs->topLevelItemCount(), 1);
        QCOMPARE(runs->topLevelItem(0)->text(0), runName);
        QCOMPARE(runs->topLevelItem(0)->child(0)->text(0), QStringLiteral("TEAM.008"));
        QCOMPARE(window->changes()->count(), 1);
        QCOMPARE(window->changes()->item(0)->text(),
                 QStringLiteral("TEAM.008 team 0 \"OTHER TEAM\" slot 6 \"PLAYER 6\": passing 5 -> 14"));

        // While a team file is open for editing the restore is refused, and nothing changes.
        Globals().CatalogueOpen = true;
        QTest::mouseClick(window->restoreButton(), Qt::LeftButton);
        QCOMPARE(seams->messages.size(), std::size_t{1});
        QCOMPARE(test::ReadFile(file), edited);
        Globals().CatalogueOpen = false;

        // No to the question: nothing changes either.
        seams->answers = {MessageButton::No};
        QTest::mouseClick(window->restoreButton(), Qt::LeftButton);
        QCOMPARE(test::ReadFile(file), edited);

        seams->answers = {MessageButton::Yes};
        QTest::mouseClick(window->restoreButton(), Qt::LeftButton);
        QCOMPARE(test::ReadFile(file), original);
        QVERIFY(seams->Shown().last().startsWith(QStringLiteral("Backups: Restored: TEAM.008.")));
        // The file as it was before the restore is kept in a run of its own, now listed first.
        QCOMPARE(runs->topLevelItemCount(), 2);
        const QString newest = runs->topLevelItem(0)->text(0);
        QVERIFY(newest != runName);
        QCOMPARE(test::ReadFile(QDir(data).filePath("kivo-backups/" + newest + "/TEAM.008")), edited);
        QCOMPARE(window->changes()->item(0)->text(),
                 QStringLiteral("TEAM.008 team 0 \"OTHER TEAM\" slot 6 \"PLAYER 6\": passing 14 -> 5"));
    }
};

} // namespace kivo::editor

QTEST_MAIN(kivo::editor::GameFilesWindows)
#include "tst_GameFilesWindows.moc"
