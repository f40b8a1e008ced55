#include <filesystem>

#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

#include "core/gamefiles/TeamRecord.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "core/teams/TeamBrowsing.h"
#include "core/teams/TeamSheet.h"
#include "editor/app/Principal.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/teams/ImprimeEquipo.h"
#include "editor/teams/VerEquipos.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

TeamRecord Team(std::uint8_t country, std::uint8_t number, const std::string& name) {
    TeamRecord r;
    r.pais = country;
    r.nroEquipo = number;
    r.nroEquipoGral = std::uint16_t(1000 + number);
    r.division = number % 5;
    StoreText(r.nombreEquipo, name);
    StoreText(r.nombreEntrenador, "COACH OF " + name);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        r.jugador[i].passing = std::uint8_t(number + i);
        r.jugador[i].shootingYHeading = 0x21;
        StoreText(r.jugador[i].nombreJugador, name + " " + std::to_string(i));
        r.titularesYSuplentes[i] = std::uint8_t(i);
    }
    return r;
}

QByteArray Bytes(const TeamRecord& r) {
    const TeamRecordBytes b = SerializeTeamRecord(r);
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

// A league file (2-byte header) or a cup file (none) of the given teams.
QByteArray TeamFileBytes(const std::vector<TeamRecord>& teams, bool cup) {
    QByteArray bytes = cup ? QByteArray() : QByteArray("\x03\x00", 2);
    for (const TeamRecord& t : teams)
        bytes += Bytes(t);
    return bytes;
}

std::vector<TeamRecord> Teams(std::uint8_t country, const std::string& prefix, int count) {
    std::vector<TeamRecord> teams;
    for (int i = 0; i < count; ++i)
        teams.push_back(Team(country, std::uint8_t(i), prefix + std::to_string(i)));
    return teams;
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

template <class W> W* TopLevel() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<W*>(w); found && !found->isHidden()) return found;
    return nullptr;
}

void CloseAll() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) w->close();
    Settle();
}

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

VerEquipos* OpenBrowser(QWidget* task, const QString& path) {
    Globals().TeamFilePath = path.toStdString();
    return StartVerEquipos(task);
}

QStringList RowTexts(QTreeWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << list->topLevelItem(row)->text(c);
    return texts;
}

void Select(VerEquipos* browser, int row) {
    browser->list()->setCurrentItem(browser->list()->topLevelItem(row));
}

const QString kNotAvailable =
    "ERROR: The TEAM file you have chosen is not available !.\n\nIt may happen because you have not pressed "
    "Refresh button after setting the TEAM files directory. So press Refresh button and try again.";
const QString kPasteQuestion = "ATENTION: You are going to overwrite the Team, are you sure ?";

} // namespace

// The team-file catalogue, the team browser and the team sheet.
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
        test::Seams seams;
        QTemporaryDir dir;
        for (const QString& f : files)
            QVERIFY(test::WriteFile(QDir(dir.path()).filePath(f), TeamFileBytes(Teams(1, "T", 1), false)));
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
        QCOMPARE(ReadIniText(seams.PlacementIni(), "EquiposExistentes", kPlacementMaximize, "-"),
                 std::string("No"));
        QVERIFY(seams.messages.empty());
    }

    void catalogueRefreshAndTypedDirectory() {
        test::Seams seams;
        QTemporaryDir dir;
        EquiposExistentes* catalogue = OpenCatalogue(dir.path());
        QVERIFY(!catalogue->fileButton(8)->isEnabled());
        QTest::mouseClick(catalogue->helpButton(), Qt::LeftButton);
        QCOMPARE(HelpViewer::Instance()->currentKeyword(), QStringLiteral("Opening Teams"));
        HelpViewer::Instance()->hide();
        const QString england = QDir(dir.path()).filePath("TEAM.008");
        QVERIFY(test::WriteFile(england, TeamFileBytes(Teams(8, "E", 2), false)));
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
        QCOMPARE(seams.Shown(), QStringList{kNotAvailable});
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
        QCOMPARE(asked, (QStringList{"Select Team File", "Team Files (team.*)", "/before/team.001"}));
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
        test::Seams seams;
        QTemporaryDir dir;
        QVERIFY(
            test::WriteFile(QDir(dir.path()).filePath("TEAM.074"), TeamFileBytes(Teams(74, "W", 2), false)));
        WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, dir.path().toStdString());
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
        QVERIFY(seams.messages.empty());
    }

    void browserListsTheTeams_data() {
        QTest::addColumn<bool>("cup");
        QTest::newRow("league file") << false;
        QTest::newRow("cup file from byte 0") << true;
    }
    void browserListsTheTeams() {
        QFETCH(bool, cup);
        test::Seams seams;
        QTemporaryDir dir;
        QWidget task;
        task.show();
        const QString path = QDir(dir.path()).filePath(cup ? "EUROCUP.TMD" : "TEAM.035");
        std::vector<TeamRecord> teams = Teams(35, "BETIS ", 3);
        teams[2].division = 77; // no text of its own: the previous row's text
        QVERIFY(test::WriteFile(path, TeamFileBytes(teams, cup)));
        VerEquipos* browser = OpenBrowser(&task, path);
        QVERIFY(browser);
        QCOMPARE(seams.Shown(), cup ? QStringList{"WARNING: This is a Cup file"} : QStringList{});
        QCOMPARE(browser->windowTitle(), QStringLiteral("Browse Teams"));
        QTreeWidget* list = browser->list();
        QStringList headers;
        for (int c = 0; c < list->columnCount(); ++c)
            headers << list->headerItem()->text(c);
        QCOMPARE(headers, (QStringList{"Country", "Team Name", "Division", "Coach", "Points"}));
        QCOMPARE(list->topLevelItemCount(), 3);
        // Points: 16 players of passing k + i, shooting 2 and heading 1.
        QCOMPARE(RowTexts(list, 0), (QStringList{"35", "BETIS 0            ", "Premier   ",
                                                 "COACH OF BETIS 0        ", QString::number(120 + 48)}));
        QCOMPARE(RowTexts(list, 1).at(2), QStringLiteral("First     "));
        QCOMPARE(RowTexts(list, 2).at(2), QStringLiteral("First     "));
        QCOMPARE(list->currentItem(), list->topLevelItem(0));
        QVERIFY(!browser->pasteButton()->isEnabled());
        QCOMPARE(Globals().TeamFileUseCount, 1);
        QStringList tips;
        for (QPushButton* b :
             {browser->editButton(), browser->copyButton(), browser->pasteButton(), browser->printButton()})
            tips << b->toolTip() + "|" + b->accessibleName();
        QCOMPARE(tips, (QStringList{"Edit Team|Edit Team", "Copy Team|Copy Team", "Paste Team|Paste Team",
                                    "Print Team|Print Team"}));
        // Copy reads the chosen team at the file's own offset.
        Select(browser, 1);
        QTest::mouseClick(browser->copyButton(), Qt::LeftButton);
        QCOMPARE(Globals().SelectedTeamIndex, 1);
        QCOMPARE(Globals().TeamRecordBuffer, teams[1]);
        QVERIFY(browser->pasteButton()->isEnabled());
        QTest::mouseClick(browser->helpButton(), Qt::LeftButton);
        QCOMPARE(HelpViewer::Instance()->currentKeyword(), QStringLiteral("Browsing Teams"));
        HelpViewer::Instance()->hide();
        browser->close();
        Settle();
        QCOMPARE(Globals().TeamFileUseCount, 0);
        QCOMPARE(ReadIniText(seams.PlacementIni(), "VerEquipos", kPlacementMaximize, "-"), std::string("No"));
    }

    void browserOfAnEmptyFileIgnoresTheRowCommands() {
        test::Seams seams;
        QTemporaryDir dir;
        QWidget task;
        task.show();
        const QString path = QDir(dir.path()).filePath("TEAM.001");
        QVERIFY(test::WriteFile(path, QByteArray("\0\0", 2)));
        Globals().TeamCopyBuffer = TeamCopyBufferOf(Team(1, 1, "COPIED"));
        VerEquipos* browser = OpenBrowser(&task, path);
        QVERIFY(browser);
        QCOMPARE(browser->list()->topLevelItemCount(), 0);
        QVERIFY(browser->pasteButton()->isEnabled()); // a team was copied earlier in the run
        for (QPushButton* b :
             {browser->editButton(), browser->copyButton(), browser->pasteButton(), browser->printButton()})
            QTest::mouseClick(b, Qt::LeftButton);
        QTest::keyClick(browser->list(), Qt::Key_Return);
        Settle();
        QVERIFY(seams.stops.empty());
        QVERIFY(seams.messages.empty());
        QCOMPARE(test::ReadFile(path), QByteArray("\0\0", 2));
    }

    void browserFailures() {
        test::Seams seams;
        QTemporaryDir dir;
        QWidget task;
        task.show();
        // Missing file: the message, no window.
        QVERIFY(!OpenBrowser(&task, QDir(dir.path()).filePath("TEAM.003")));
        QCOMPARE(seams.Shown(), QStringList{kNotAvailable});
        QVERIFY(seams.stops.empty());
        // A file whose two header bytes cannot be read stops the program.
        const QString shortFile = QDir(dir.path()).filePath("TEAM.004");
        QVERIFY(test::WriteFile(shortFile, QByteArray("\x01", 1)));
        QVERIFY(!OpenBrowser(&task, shortFile));
        QCOMPARE(seams.stops, std::vector<QString>{"File can not be opened"});
        QCOMPARE(seams.messages.size(), std::size_t(2));
        QCOMPARE(seams.messages.back().title, QStringLiteral("ERROR"));
        QCOMPARE(Globals().TeamFileUseCount, 0);
    }

    void browserCopyAndPaste() {
        test::Seams seams;
        QTemporaryDir dirA;
        QTemporaryDir dirB;
        QWidget task;
        task.show();
        const QString a = QDir(dirA.path()).filePath("TEAM.008");
        const QString b = QDir(dirB.path()).filePath("TEAM.035");
        const std::vector<TeamRecord> teamsA = Teams(8, "LEEDS ", 3);
        const std::vector<TeamRecord> teamsB = Teams(35, "SEVILLA ", 2);
        const QByteArray bytesA = TeamFileBytes(teamsA, false);
        const QByteArray bytesB = TeamFileBytes(teamsB, false);
        QVERIFY(test::WriteFile(a, bytesA));
        QVERIFY(test::WriteFile(b, bytesB));

        // Copy on row 3 then Paste on row 3 rewrites the team unchanged.
        VerEquipos* browser = OpenBrowser(&task, a);
        Select(browser, 2);
        QTest::mouseClick(browser->copyButton(), Qt::LeftButton);
        QTest::mouseClick(browser->pasteButton(), Qt::LeftButton);
        QCOMPARE(seams.Shown(), QStringList{kPasteQuestion});
        QCOMPARE(seams.messages[0].icon, MessageIcon::Exclamation);
        QCOMPARE(seams.messages[0].buttons, MessageButtons(MessageButton::Ok | MessageButton::Cancel));
        QCOMPARE(seams.messages[0].defaultButton, MessageButton::Ok);
        QCOMPARE(test::ReadFile(a), bytesA);
        browser->close();
        Settle();

        // Into another country's file: Cancel changes nothing; OK keeps the target's numbers.
        browser = OpenBrowser(&task, b);
        QVERIFY(browser->pasteButton()->isEnabled());
        seams.answers = {MessageButton::Cancel};
        QTest::mouseClick(browser->pasteButton(), Qt::LeftButton);
        QCOMPARE(test::ReadFile(b), bytesB);
        QVERIFY(!QDir(dirB.path()).exists("kivo-backups"));
        QTest::mouseClick(browser->pasteButton(), Qt::LeftButton);
        TeamRecord expected = teamsA[2];
        expected.nroEquipo = teamsB[0].nroEquipo;
        expected.nroEquipoGral = teamsB[0].nroEquipoGral;
        QCOMPARE(test::ReadFile(b), QByteArray("\x03\x00", 2) + Bytes(expected) + Bytes(teamsB[1]));
        QCOMPARE(RowTexts(browser->list(), 0).mid(0, 2), (QStringList{"8", "LEEDS 2            "}));
        QVERIFY(seams.stops.empty());
        // The file was copied into kivo-backups/ before its first change.
        QDir backups(QDir(dirB.path()).filePath("kivo-backups"));
        const QStringList runs = backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(test::ReadFile(QDir(backups.filePath(runs[0])).filePath("TEAM.035")), bytesB);
        browser->close();
        Settle();
    }

    void pasteRefusedWhenTheBackupCannotBeMade() {
        test::Seams seams;
        QTemporaryDir dir;
        QWidget task;
        task.show();
        const QString path = QDir(dir.path()).filePath("TEAM.020");
        const QByteArray bytes = TeamFileBytes(Teams(20, "ROMA ", 2), false);
        QVERIFY(test::WriteFile(path, bytes));
        // A file where the backup folder should be: no copy can be made.
        QVERIFY(test::WriteFile(QDir(dir.path()).filePath("kivo-backups"), "in the way"));
        VerEquipos* browser = OpenBrowser(&task, path);
        QTest::mouseClick(browser->copyButton(), Qt::LeftButton);
        Select(browser, 1);
        QTest::mouseClick(browser->pasteButton(), Qt::LeftButton);
        QCOMPARE(seams.messages.size(), std::size_t(2));
        QCOMPARE(seams.messages[1].title, QStringLiteral("ERROR"));
        QVERIFY2(seams.messages[1].text.contains("kivo-backups"), qPrintable(seams.messages[1].text));
        QVERIFY(seams.stops.empty());
        QCOMPARE(test::ReadFile(path), bytes);
        QCOMPARE(RowTexts(browser->list(), 1).at(1), QStringLiteral("ROMA 1             "));
    }

    void enterAndDoubleClickOpenTheEditor() {
        test::Seams seams;
        QTemporaryDir dir;
        QWidget task;
        task.show();
        // What the frame sets up at start for the editor: the clipboard file and the price evaluator.
        Globals().ClipboardFilePath = seams.StartFile("portapap.tps").toStdString();
        Globals().Prices = std::make_shared<PriceEvaluator>();
        const QString path = QDir(dir.path()).filePath("TEAM.046");
        const std::vector<TeamRecord> teams = Teams(46, "SANTOS ", 3);
        QVERIFY(test::WriteFile(path, TeamFileBytes(teams, false)));
        VerEquipos* browser = OpenBrowser(&task, path);
        for (int way = 0; way < 2; ++way) {
            const int row = way + 1;
            Select(browser, row);
            if (way == 0) {
                QTest::keyClick(browser->list(), Qt::Key_Return);
            } else {
                QTreeWidgetItem* item = browser->list()->topLevelItem(row);
                emit browser->list()->itemDoubleClicked(item, 1);
            }
            auto* editor = browser->findChild<ActualizarEquipo*>();
            QVERIFY(editor);
            QCOMPARE(Globals().SelectedTeamIndex, row);
            QCOMPARE(Globals().TeamRecordBuffer, teams[std::size_t(row)]);
            QVERIFY(!browser->isEnabled());
            QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
            Settle();
            QVERIFY(!browser->findChild<ActualizarEquipo*>());
            QVERIFY(browser->isEnabled());
        }
        QVERIFY2(seams.stops.empty(), qPrintable(seams.stops.empty() ? QString() : seams.stops[0]));
    }

    // The sheet is painted at its coordinates: 200 units across the page, the last row at y = 128.
    void teamSheetPainting() {
        TeamRecord record;
        StoreText(record.nombreEquipo, "MMMMMMMMMMMMMMMMMMM");
        StoreText(record.jugador[15].nombreJugador, "MMMMMMMMMMMMMMMMMMMMMMM");
        QImage page(800, 1000, QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            PaintTeamSheet(painter, QRectF(0, 0, 800, 1000), BuildTeamSheet(record));
        }
        auto inked = [&](int x0, int y0, int x1, int y1) {
            int dark = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    dark += qGray(page.pixel(x, y)) < 128;
            return dark;
        };
        const int unit = 4;
        QVERIFY(inked(2 * unit, 5 * unit, 60 * unit, 11 * unit) > 100);   // the team name
        QVERIFY(inked(1 * unit, 128 * unit, 40 * unit, 134 * unit) > 50); // the last row's name
        QCOMPARE(inked(1 * unit, 140 * unit, 200 * unit, 250 * unit), 0); // nothing below the rows
        QVERIFY(inked(20 * unit, 30 * unit, 40 * unit, 35 * unit) > 10);  // "Player"
    }

    void teamSheet_data() {
        QTest::addColumn<bool>("cup");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("print");
        QTest::newRow("league file, preview closed") << false << false << false;
        QTest::newRow("cup file, printed") << true << false << true;
        QTest::newRow("cancelled while generating") << false << true << false;
    }
    void teamSheet() {
        QFETCH(bool, cup);
        QFETCH(bool, cancel);
        QFETCH(bool, print);
        test::Seams seams;
        QTemporaryDir dir;
        QWidget task;
        task.show();
        const QString path = QDir(dir.path()).filePath(cup ? "UEFACUP.TMD" : "TEAM.013");
        const std::vector<TeamRecord> teams = Teams(13, "LYON ", 4);
        QVERIFY(test::WriteFile(path, TeamFileBytes(teams, cup)));
        const QString pdf = QDir(dir.path()).filePath("printed.pdf");
        Globals().Printer = std::make_shared<QPrinter>();
        Globals().Printer->setOutputFormat(QPrinter::PdfFormat);
        Globals().Printer->setOutputFileName(pdf);
        VerEquipos* browser = OpenBrowser(&task, path);
        seams.messages.clear();
        Select(browser, 2);
        QTest::mouseClick(browser->printButton(), Qt::LeftButton);
        QCOMPARE(Globals().SelectedTeamIndex, 2);
        QCOMPARE(Globals().TeamRecordBuffer, teams[2]);
        auto* progress = browser->findChild<ProgressWindow*>();
        QVERIFY(progress);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Generating Report"));
        QVERIFY(progress->cancelButton()->isVisible());
        QVERIFY(progress->percentLabel()->text().endsWith("% Completed"));
        QCOMPARE(Globals().TeamFileUseCount, 2);
        if (cancel) {
            QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
            QTRY_VERIFY(!browser->findChild<ProgressWindow*>());
            QTest::qWait(200);
            QVERIFY(!browser->findChild<ReportPreview*>());
            QTRY_VERIFY(browser->isEnabled());
            QCOMPARE(Globals().TeamFileUseCount, 1);
            QVERIFY(!QFile::exists(pdf));
            return;
        }
        QTRY_VERIFY(browser->findChild<ReportPreview*>());
        auto* preview = browser->findChild<ReportPreview*>();
        QTRY_COMPARE(preview->pageCount(), 1);
        QVERIFY(!browser->isEnabled());
        // "Save as PDF..." writes the same page.
        const QString saved = QDir(dir.path()).filePath("saved.pdf");
        QVERIFY(preview->SaveAsPdf(saved));
        QVERIFY(QFileInfo(saved).size() > 0);
        if (print)
            preview->printAction()->trigger();
        else
            preview->close();
        Settle();
        QTRY_VERIFY(browser->isEnabled());
        QCOMPARE(Globals().TeamFileUseCount, 1);
        QCOMPARE(QFile::exists(pdf), print);
        if (print) QVERIFY(QFileInfo(pdf).size() > 0);
        QVERIFY(seams.messages.empty());
        QVERIFY(seams.stops.empty());
    }
};

QTEST_MAIN(TeamFilesTest)
#include "tst_TeamFiles.moc"
