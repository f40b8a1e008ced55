#include <QGridLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/app/Principal.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/teams/VerEquipos.h"
#include "editor/ui/HelpViewer.h"
#include "TeamFilesSupport.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

std::string Setting(const char* key) {
    return ReadIniText(VentanasPath(), kConfigSection, key, "<missing>");
}

// The catalogue, opened the way the frame opens it, on the directory given.
EquiposExistentes* OpenCatalogue(const QString& directory) {
    WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, directory.toStdString());
    Globals().CatalogueOpen = true;
    StartEquiposExistentes();
    return TopLevel<EquiposExistentes>();
}

} // namespace

// The team-file catalogue: its buttons, the directory, Open Any File, and how it closes.
class TeamFilesTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        CloseAll();
        SetTeamFileChooser(nullptr);
    }

    void catalogueTabsButtonsAndColumns() {
        test::Seams seams;
        QTemporaryDir dir;
        EquiposExistentes* catalogue = OpenCatalogue(dir.path());
        QVERIFY(catalogue);
        QCOMPARE(catalogue->windowTitle(), QStringLiteral("Team Files"));
        QStringList tabs;
        for (int t = 0; t < catalogue->tabs()->count(); ++t)
            tabs << catalogue->tabs()->tabText(t);
        QCOMPARE(tabs, (QStringList{"Europe", "South America", "North America", "Africa", "Asia", "Oceania",
                                    "National Teams", "Any File"}));
        int fileButtons = 0;
        for (int n = 0; n < 100; ++n)
            fileButtons += catalogue->fileButton(n) != nullptr;
        QCOMPARE(fileButtons, 76);
        for (int missing : {9, 52, 53, 54, 56, 58, 61, 63, 68, 72})
            QVERIFY(!catalogue->fileButton(missing));
        // Europe: five columns of nine, top to bottom; South America: Surinam and Venezuela in a second
        // column.
        struct Place {
            int file, tab, row, column;
            const char* label;
        };
        for (const Place& p :
             {Place{0, 0, 0, 0, "Albania"}, Place{7, 0, 8, 0, "Denmark"}, Place{8, 0, 0, 1, "England"},
              Place{41, 0, 6, 4, "Yugoslavia"}, Place{78, 0, 7, 3, "Slovakia"}, Place{71, 1, 8, 0, "Uruguay"},
              Place{66, 1, 0, 1, "Surinam"}, Place{77, 1, 1, 1, "Venezuela"}, Place{73, 2, 3, 0, "USA"},
              Place{74, 6, 6, 0, "World Cup"}}) {
            QPushButton* button = catalogue->fileButton(p.file);
            QCOMPARE(button->text(), QString::fromLatin1(p.label));
            QCOMPARE(button->accessibleName(), QString::fromLatin1(p.label));
            auto* grid = qobject_cast<QGridLayout*>(catalogue->tabs()->widget(p.tab)->layout());
            int row = -1, column = -1, rs = 0, cs = 0;
            grid->getItemPosition(grid->indexOf(button), &row, &column, &rs, &cs);
            QCOMPARE(QPoint(column, row), QPoint(p.column, p.row));
        }
        // National-team buttons are a little wider than country buttons.
        QVERIFY(catalogue->fileButton(80)->width() > catalogue->fileButton(0)->width());
        QCOMPARE(catalogue->anyFileButton()->text(), QStringLiteral("Open Any File"));
        QCOMPARE(catalogue->directoryEntry()->accessibleName(), QStringLiteral("Team Files Directory:"));
        QCOMPARE(catalogue->directoryEntry()->maxLength(), 255);
        QVERIFY(catalogue->fileButton(0)->hasFocus() || !catalogue->isActiveWindow());
    }

    void catalogueEnablesTheFilesListed_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("worldCup");
        QTest::addColumn<bool>("england");
        QTest::newRow("lower-case name") << QStringList{"team.074"} << QString() << true << false;
        QTest::newRow("upper-case name") << QStringList{"TEAM.074", "TEAM.008"} << QString() << true << true;
        QTest::newRow("trailing separator saved without it")
            << QStringList{"team.008"} << "/" << false << true;
        QTest::newRow("trailing blanks and separator") << QStringList{"TEAM.074"} << "/   " << true << false;
        QTest::newRow("missing directory") << QStringList{} << "/missing" << false << false;
    }
    void catalogueEnablesTheFilesListed() {
        QFETCH(QStringList, files);
        QFETCH(QString, suffix);
        QFETCH(bool, worldCup);
        QFETCH(bool, england);
        TeamFileScene scene;
        const QTemporaryDir& dir = scene.dir;
        for (const QString& f : files)
            scene.Write(f, TeamFileBytes(Teams(1, "T", 1), false));
        EquiposExistentes* catalogue = OpenCatalogue(dir.path() + suffix);
        const QString expected = suffix == "/missing" ? dir.path() + suffix : dir.path();
        QCOMPARE(catalogue->directoryEntry()->text(), expected);
        QCOMPARE(catalogue->fileButton(74)->isEnabled(), worldCup);
        QCOMPARE(catalogue->fileButton(8)->isEnabled(), england);
        QVERIFY(!catalogue->fileButton(80)->isEnabled()); // "Europe" of the national teams
        QVERIFY(catalogue->anyFileButton()->isEnabled());
        QTest::mouseClick(catalogue->closeButton(), Qt::LeftButton);
        Settle();
        QVERIFY(!Globals().CatalogueOpen);
        QCOMPARE(QString::fromStdString(Setting(kDirectorioKivo)), expected);
        QCOMPARE(ReadIniText(scene.seams.PlacementIni(), "EquiposExistentes", kPlacementMaximize, "-"),
                 std::string("No"));
        QVERIFY(scene.seams.messages.empty());
    }

    void catalogueRefreshAndTypedDirectory() {
        TeamFileScene scene;
        const QTemporaryDir& dir = scene.dir;
        EquiposExistentes* catalogue = OpenCatalogue(dir.path());
        QVERIFY(!catalogue->fileButton(8)->isEnabled());
        QTest::mouseClick(catalogue->helpButton(), Qt::LeftButton);
        QCOMPARE(HelpViewer::Instance()->currentKeyword(), QStringLiteral("Opening Teams"));
        HelpViewer::Instance()->hide();
        scene.Write("TEAM.008", TeamFileBytes(Teams(8, "E", 2), false));
        QVERIFY(!catalogue->fileButton(8)->isEnabled()); // only after Refresh
        QTest::mouseClick(catalogue->refreshButton(), Qt::LeftButton);
        QVERIFY(catalogue->fileButton(8)->isEnabled());
        // A directory typed with a trailing separator is trimmed when the entry is left.
        catalogue->directoryEntry()->setFocus();
        catalogue->directoryEntry()->setText(dir.path() + "/");
        emit catalogue->directoryEntry()->editingFinished();
        QCOMPARE(catalogue->directoryEntry()->text(), dir.path());
        // A typed directory counts without Refresh: the button leads to a file that is not there.
        catalogue->directoryEntry()->setText(dir.path() + "/elsewhere");
        QTest::mouseClick(catalogue->fileButton(8), Qt::LeftButton);
        QCOMPARE(scene.seams.Shown(), QStringList{kNotAvailable});
        QVERIFY(!catalogue->findChild<VerEquipos*>());
        QVERIFY(catalogue->isEnabled());
        QCOMPARE(Globals().TeamFileUseCount, 0);
        // Back to the real directory: the button opens the browser on "team.008", found whatever its case.
        catalogue->directoryEntry()->setText(dir.path());
        QTest::mouseClick(catalogue->fileButton(8), Qt::LeftButton);
        auto* browser = catalogue->findChild<VerEquipos*>();
        QVERIFY(browser);
        QCOMPARE(QString::fromStdString(Globals().TeamFilePath), QDir(dir.path()).filePath("team.008"));
        QCOMPARE(browser->list()->topLevelItemCount(), 2);
        QVERIFY(!catalogue->isEnabled()); // modal on the catalogue
        QTest::mouseClick(browser->closeButton(), Qt::LeftButton);
        Settle();
        QVERIFY(catalogue->isEnabled());
        QCOMPARE(Globals().TeamFileUseCount, 0);
    }

    void catalogueOpenAnyFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("cup");
        QTest::newRow("eight-character name") << "team.012" << false;
        QTest::newRow("cup file, its own directory kept") << "Eurocup.tmd" << true;
        QTest::newRow("cancelled") << QString() << false;
    }
    void catalogueOpenAnyFile() {
        QFETCH(QString, chosen);
        QFETCH(bool, cup);
        test::Seams seams;
        QTemporaryDir dir;
        QTemporaryDir other;
        const QString path = chosen.isEmpty() ? QString() : QDir(other.path()).filePath(chosen);
        if (!path.isEmpty()) QVERIFY(test::WriteFile(path, TeamFileBytes(Teams(12, "F", 3), cup)));
        WriteIniText(VentanasPath(), kConfigSection, kPathArchivosTeam, "/before");
        WriteIniText(VentanasPath(), kConfigSection, kPathEquipo, "/before/team.001");
        QStringList asked;
        SetTeamFileChooser(
            [&](QWidget*, const QString& title, const QString& filter, const QString& initial) {
                asked << title << filter << initial;
                return path;
            });
        EquiposExistentes* catalogue = OpenCatalogue(dir.path());
        catalogue->tabs()->setCurrentIndex(7);
        QTest::mouseClick(catalogue->anyFileButton(), Qt::LeftButton);
        QCOMPARE(asked,
                 (QStringList{"Select Team File", "Team Files (team.* EUROCUP.TMD UEFACUP.TMD EUROCWC.TMD)",
                              "/before/team.001"}));
        auto* browser = catalogue->findChild<VerEquipos*>();
        if (chosen.isEmpty()) {
            QVERIFY(!browser);
            QCOMPARE(Setting(kPathArchivosTeam), std::string("/before"));
            QCOMPARE(Setting(kPathEquipo), std::string("/before/team.001"));
            QVERIFY(seams.messages.empty());
            return;
        }
        QVERIFY(browser);
        QCOMPARE(browser->list()->topLevelItemCount(), 3);
        QCOMPARE(Setting(kPathArchivosTeam), other.path().toStdString());
        QCOMPARE(Setting(kPathEquipo), path.toStdString());
        QCOMPARE(seams.Shown(), cup ? QStringList{"WARNING: This is a Cup file"} : QStringList{});
    }

    void closingAWindowClosesItsFrame() {
        TeamFileScene scene;
        scene.Write("TEAM.074", TeamFileBytes(Teams(74, "W", 2), false));
        WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, scene.dir.path().toStdString());
        Principal frame;
        frame.show();
        QAction* open = frame.toolBar()->actions().at(0);
        for (int round = 0; round < 2; ++round) {
            open->trigger();
            QCOMPARE(frame.taskArea()->subWindowList().size(), 1);
            auto* catalogue =
                qobject_cast<EquiposExistentes*>(frame.taskArea()->subWindowList().at(0)->widget());
            QVERIFY(catalogue);
            QTest::mouseClick(catalogue->fileButton(74), Qt::LeftButton);
            QCOMPARE(frame.taskArea()->subWindowList().size(), 2);
            auto* browser = qobject_cast<VerEquipos*>(frame.taskArea()->subWindowList().at(1)->widget());
            QVERIFY(browser);
            QVERIFY(!frame.taskArea()->subWindowList().at(0)->isEnabled());
            QTest::mouseClick(browser->closeButton(), Qt::LeftButton);
            QTRY_COMPARE(frame.taskArea()->subWindowList().size(), 1);
            QVERIFY(frame.taskArea()->subWindowList().at(0)->isEnabled());
            QTest::mouseClick(catalogue->closeButton(), Qt::LeftButton);
            QTRY_VERIFY(frame.taskArea()->subWindowList().isEmpty());
            QVERIFY(!Globals().CatalogueOpen);
            QCOMPARE(Globals().TeamFileUseCount, 0);
        }
        // The second round was not refused: the guard was released both times.
        QVERIFY(scene.seams.messages.empty());
    }
};

QTEST_MAIN(TeamFilesTest)
#include "tst_TeamFiles.moc"
