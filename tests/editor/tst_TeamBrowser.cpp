#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "core/gamefiles/TeamRecord.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "core/teams/TeamBrowsing.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/ImprimeEquipo.h"
#include "editor/teams/VerEquipos.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "TeamFilesSupport.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

const QString kPasteQuestion = "ATENTION: You are going to overwrite the Team, are you sure ?";

} // namespace

// The team browser of one file: its list, the row commands, copy and paste, and the team sheet it prints.
class TeamBrowserTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { CloseAll(); }

    void browserListsTheTeams_data() {
        QTest::addColumn<bool>("cup");
        QTest::newRow("league file") << false;
        QTest::newRow("cup file from byte 0") << true;
    }
    void browserListsTheTeams() {
        QFETCH(bool, cup);
        TeamFileScene scene;
        std::vector<TeamRecord> teams = Teams(35, "BETIS ", 3);
        teams[2].division = 77; // no text of its own: the previous row's text
        VerEquipos* browser = OpenBrowser(
            &scene.task, scene.Write(cup ? "EUROCUP.TMD" : "TEAM.035", TeamFileBytes(teams, cup)));
        QVERIFY(browser);
        QCOMPARE(scene.seams.Shown(), cup ? QStringList{"WARNING: This is a Cup file"} : QStringList{});
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
        QCOMPARE(ReadIniText(scene.seams.PlacementIni(), "VerEquipos", kPlacementMaximize, "-"),
                 std::string("No"));
    }

    // A missing file shows its message; one whose header cannot be read stops the program; an empty one
    // opens and its row commands do nothing.
    void browserFailuresAndAnEmptyFile() {
        TeamFileScene scene;
        test::Seams& seams = scene.seams;
        QVERIFY(!OpenBrowser(&scene.task, QDir(scene.dir.path()).filePath("TEAM.003")));
        QCOMPARE(seams.Shown(), QStringList{kNotAvailable});
        QVERIFY(seams.stops.empty());
        QVERIFY(!OpenBrowser(&scene.task, scene.Write("TEAM.004", QByteArray("\x01", 1))));
        QCOMPARE(seams.stops, std::vector<QString>{"File can not be opened"});
        QCOMPARE(seams.messages.size(), std::size_t(2));
        QCOMPARE(seams.messages.back().title, QStringLiteral("ERROR"));
        QCOMPARE(Globals().TeamFileUseCount, 0);

        seams.messages.clear();
        seams.stops.clear();
        const QString empty = scene.Write("TEAM.001", QByteArray("\0\0", 2));
        Globals().TeamCopyBuffer = TeamCopyBufferOf(Team(1, 1, "COPIED"));
        VerEquipos* browser = OpenBrowser(&scene.task, empty);
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
        QCOMPARE(test::ReadFile(empty), QByteArray("\0\0", 2));
    }

    void browserCopyAndPaste() {
        TeamFileScene scene;
        test::Seams& seams = scene.seams;
        QTemporaryDir dirB;
        const std::vector<TeamRecord> teamsA = Teams(8, "LEEDS ", 3);
        const std::vector<TeamRecord> teamsB = Teams(35, "SEVILLA ", 2);
        const QByteArray bytesA = TeamFileBytes(teamsA, false);
        const QByteArray bytesB = TeamFileBytes(teamsB, false);
        const QString a = scene.Write("TEAM.008", bytesA);
        const QString b = QDir(dirB.path()).filePath("TEAM.035");
        QVERIFY(test::WriteFile(b, bytesB));

        // Copy on row 3 then Paste on row 3 rewrites the team unchanged.
        VerEquipos* browser = OpenBrowser(&scene.task, a);
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
        browser = OpenBrowser(&scene.task, b);
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
        const QString run = OnlyBackupRun(dirB.path());
        QVERIFY(!run.isEmpty());
        QCOMPARE(test::ReadFile(QDir(run).filePath("TEAM.035")), bytesB);
        browser->close();
        Settle();
    }

    void pasteRefusedWhenTheBackupCannotBeMade() {
        TeamFileScene scene;
        const QByteArray bytes = TeamFileBytes(Teams(20, "ROMA ", 2), false);
        const QString path = scene.Write("TEAM.020", bytes);
        scene.Write("kivo-backups", "in the way"); // a file where the backup folder should be
        VerEquipos* browser = OpenBrowser(&scene.task, path);
        QTest::mouseClick(browser->copyButton(), Qt::LeftButton);
        Select(browser, 1);
        QTest::mouseClick(browser->pasteButton(), Qt::LeftButton);
        const std::vector<MessageSpec>& messages = scene.seams.messages;
        QCOMPARE(messages.size(), std::size_t(2));
        QCOMPARE(messages[1].title, QStringLiteral("ERROR"));
        QVERIFY2(messages[1].text.contains("kivo-backups"), qPrintable(messages[1].text));
        QVERIFY(scene.seams.stops.empty());
        QCOMPARE(test::ReadFile(path), bytes);
        QCOMPARE(RowTexts(browser->list(), 1).at(1), QStringLiteral("ROMA 1             "));
    }

    void enterAndDoubleClickOpenTheEditor() {
        TeamFileScene scene;
        // What the frame sets up at start for the editor: the clipboard file and the price evaluator.
        Globals().ClipboardFilePath = scene.seams.StartFile("portapap.tps").toStdString();
        Globals().Prices = std::make_shared<PriceEvaluator>();
        const std::vector<TeamRecord> teams = Teams(46, "SANTOS ", 3);
        VerEquipos* browser = OpenBrowser(&scene.task, scene.Write("TEAM.046", TeamFileBytes(teams, false)));
        for (int row : {1, 2}) {
            Select(browser, row);
            if (row == 1)
                QTest::keyClick(browser->list(), Qt::Key_Return);
            else
                emit browser->list()->itemDoubleClicked(browser->list()->topLevelItem(row), 1);
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
        QCOMPARE(scene.seams.stops, std::vector<QString>{});
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

    // A team that cannot be read stops the program after the error box; nothing is shown.
    void teamSheetOfAnUnreadableTeamStops() {
        TeamFileScene scene;
        Globals().TeamFilePath =
            scene.Write("TEAM.013", TeamFileBytes(Teams(13, "NICE ", 2), false)).toStdString();
        Globals().SelectedTeamIndex = 2;
        bool done = false;
        ImprimeEquipo(&scene.task, [&] { done = true; });
        QCOMPARE(scene.seams.stops, std::vector<QString>{"Error Reading File"});
        QCOMPARE(scene.seams.messages.size(), std::size_t(1));
        QCOMPARE(scene.seams.messages[0].title, QStringLiteral("ERROR"));
        QVERIFY(!scene.task.findChild<ProgressWindow*>());
        QVERIFY(!done);
        QCOMPARE(Globals().TeamFileUseCount, 0);
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
        TeamFileScene scene;
        test::Seams& seams = scene.seams;
        const QDir dir(scene.dir.path());
        const std::vector<TeamRecord> teams = Teams(13, "LYON ", 4);
        const QString path = scene.Write(cup ? "UEFACUP.TMD" : "TEAM.013", TeamFileBytes(teams, cup));
        const QString pdf = dir.filePath("printed.pdf");
        Globals().Printer = std::make_shared<QPrinter>();
        Globals().Printer->setOutputFormat(QPrinter::PdfFormat);
        Globals().Printer->setOutputFileName(pdf);
        VerEquipos* browser = OpenBrowser(&scene.task, path);
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
        const QString saved = dir.filePath("saved.pdf");
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

    // Print on a printer that cannot start (here a PDF in a folder that does not exist) says so; the team
    // file is left as it was.
    void teamSheetOnAPrinterThatCannotStartSaysSo() {
        TeamFileScene scene;
        const QDir dir(scene.dir.path());
        const QString path = scene.Write("TEAM.013", TeamFileBytes(Teams(13, "LYON ", 3), false));
        const QByteArray before = test::ReadFile(path);
        const QString pdf = dir.filePath("no/such/folder/printed.pdf");
        Globals().Printer = std::make_shared<QPrinter>();
        Globals().Printer->setOutputFormat(QPrinter::PdfFormat);
        Globals().Printer->setOutputFileName(pdf);
        VerEquipos* browser = OpenBrowser(&scene.task, path);
        scene.seams.messages.clear();
        Select(browser, 1);
        QTest::mouseClick(browser->printButton(), Qt::LeftButton);
        QTRY_VERIFY(browser->findChild<ReportPreview*>());
        browser->findChild<ReportPreview*>()->printAction()->trigger();
        Settle();
        QTRY_VERIFY(browser->isEnabled());
        QCOMPARE(scene.seams.Shown(), QStringList{"ERROR: The report could not be printed."});
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(test::ReadFile(path), before);
        QCOMPARE(Globals().TeamFileUseCount, 1);
    }
};

QTEST_MAIN(TeamBrowserTest)
#include "tst_TeamBrowser.moc"
