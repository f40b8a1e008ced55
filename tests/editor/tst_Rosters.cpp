#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/PlayerDatabase.h"
#include "core/prices/PriceCalculator.h"
#include "core/rosters/RosterExport.h"
#include "core/rosters/RosterFiles.h"
#include "core/teams/TeamEditing.h"
#include "editor/app/Principal.h"
#include "editor/rosters/RosterCommands.h"
#include "editor/ui/CheckOpen.h"
#include "TeamFilesSupport.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

const QString kPasteQuestion = "ATENTION: You are going to overwrite the Team, are you sure ?";

// Answers the file dialogs: a title naming a directory gets `dir`, any other gets `file`.
void AnswerDialogs(const QString& dir, const QString& file) {
    Globals().TeamFileDialog = [dir, file](QWidget*, const QString& title, const QString&, const QString&) {
        return title.endsWith(QStringLiteral("Directory")) ? dir : file;
    };
}

QAction* FileEntry(Principal& frame, const QString& text) {
    for (QAction* a : MenuOf(frame, "&File")->actions())
        if (a->text() == text) return a;
    return nullptr;
}

// Teams whose players play every role, so that the formulas price them.
std::vector<TeamRecord> PricedTeams(std::uint8_t country, const std::string& prefix) {
    std::vector<TeamRecord> teams = Teams(country, prefix, 3);
    for (TeamRecord& t : teams)
        for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
            t.jugador[i].posicionYAspecto = std::uint8_t((i % 8) << 5);
            t.jugador[i].passing = std::uint8_t(i % 16);
            t.jugador[i].shootingYHeading = 0x9C;
            t.jugador[i].tacklingYBallControl = 0xAB;
            t.jugador[i].speedYFinishing = 0xDE;
        }
    return teams;
}

} // namespace

// The batch edits of the frame's File menu and of the team browser: rosters out and in, every price, and a
// team to a file and back.
class RostersTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        CloseAll();
        Globals().TeamFileDialog = nullptr;
    }

    void theFileMenuOffersTheBatchEdits() {
        Seams seams;
        Principal frame;
        for (const char* text : {"Reprice All Players\u2026", "Export Rosters\u2026", "Import Rosters\u2026"})
            QVERIFY2(FileEntry(frame, QString::fromUtf8(text)), text);
    }

    void importListsTheChangesAndWritesOnlyAfterOk() {
        TeamFileScene scene;
        const std::vector<TeamRecord> teams = Teams(8, "LEEDS ", 3);
        const QByteArray before = TeamFileBytes(teams, false);
        const QString file = scene.Write("TEAM.008", before);
        const QString roster = scene.Write("roster.csv", "file,team,slot,passing\r\nTEAM.008,1,2,9\r\n");
        AnswerDialogs(scene.dir.path(), roster);
        Principal frame;
        scene.seams.answers = {MessageButton::Cancel};
        FileEntry(frame, QString::fromUtf8("Import Rosters\u2026"))->trigger();
        QCOMPARE(scene.seams.messages.size(), std::size_t(1));
        QVERIFY2(scene.seams.messages[0].text.contains(
                     "TEAM.008 team 1 \"LEEDS 1\" slot 2 \"LEEDS 1 1\": passing 2 -> 9"),
                 qPrintable(scene.seams.messages[0].text));
        QCOMPARE(ReadFile(file), before);
        QVERIFY(!QDir(scene.dir.filePath("kivo-backups")).exists());

        scene.seams.messages.clear();
        scene.seams.answers = {MessageButton::Ok};
        FileEntry(frame, QString::fromUtf8("Import Rosters\u2026"))->trigger();
        TeamEditSession session = OpenTeamEdit(teams[1]);
        SetSkill(session.state, 1, 0, 9);
        QByteArray expected = before;
        expected.replace(2 + 684, 684, Bytes(EncodeEdits(session.state)));
        QCOMPARE(ReadFile(file), expected);
        QCOMPARE(ReadFile(OnlyBackupRun(scene.dir.path()) + "/TEAM.008"), before);
        QCOMPARE(scene.seams.messages.back().text, QStringLiteral("1 teams were written."));
    }

    void importListsEveryErrorAndWritesNothing() {
        TeamFileScene scene;
        const QByteArray before = TeamFileBytes(Teams(8, "LEEDS ", 3), false);
        const QString file = scene.Write("TEAM.008", before);
        const QString roster = scene.Write(
            "roster.csv", "file,team,slot,face,position\r\nTEAM.008,0,1,5,XX\r\nTEAM.008,7,1,0,G\r\n");
        AnswerDialogs(scene.dir.path(), roster);
        Principal frame;
        FileEntry(frame, QString::fromUtf8("Import Rosters\u2026"))->trigger();
        QCOMPARE(scene.seams.Shown(),
                 QStringList{"Import Rosters: The roster has 3 errors; nothing was written.\n\n"
                             "row 2, column position, value \"XX\": not in the position table\n"
                             "row 2, column face, value \"5\": must be from 0 to 2\n"
                             "row 3, column team, value \"7\": TEAM.008 holds teams 0 to 2\n"});
        QCOMPARE(ReadFile(file), before);
        QVERIFY(!QDir(scene.dir.filePath("kivo-backups")).exists());
    }

    void exportWritesTheRostersOfTheDirectory() {
        TeamFileScene scene;
        scene.Write("TEAM.008", TeamFileBytes(Teams(8, "LEEDS ", 2), false));
        scene.Write("EUROCUP.TMD", TeamFileBytes(Teams(30, "CUP ", 1), true));
        const QString out = scene.dir.filePath("out.csv");
        AnswerDialogs(scene.dir.path(), out);
        Principal frame;
        FileEntry(frame, QString::fromUtf8("Export Rosters\u2026"))->trigger();
        auto expected = kivo::ExportRosters(RosterFiles(scene.dir.path().toStdString()), RosterFormat::Csv);
        QVERIFY(expected.ok());
        QCOMPARE(ReadFile(out), QByteArray::fromStdString(*expected));
        QCOMPARE(QByteArray::fromStdString(*expected).count("\r\n"), 1 + 3 * 16);
    }

    void repriceAllPlayersAsksThenWritesOnlyPrices() {
        TeamFileScene scene;
        const std::vector<TeamRecord> teams = PricedTeams(8, "LEEDS ");
        const QByteArray before = TeamFileBytes(teams, false);
        const QString file = scene.Write("TEAM.008", before);
        AnswerDialogs(scene.dir.path(), {});
        Principal frame;
        Globals().Formulas = DefaultFormulas();
        scene.seams.answers = {MessageButton::Cancel};
        FileEntry(frame, QString::fromUtf8("Reprice All Players\u2026"))->trigger();
        QCOMPARE(ReadFile(file), before);
        QVERIFY2(scene.seams.messages.at(0).text.contains(": price "),
                 qPrintable(scene.seams.Shown().join("|")));

        scene.seams.answers = {MessageButton::Ok};
        FileEntry(frame, QString::fromUtf8("Reprice All Players\u2026"))->trigger();
        const QByteArray after = ReadFile(file);
        QCOMPARE(after.size(), before.size());
        int changed = 0;
        for (qsizetype i = 0; i < before.size(); ++i) {
            if (after[i] == before[i]) continue;
            ++changed;
            const qsizetype inRecord = (i - 2) % 684;
            QVERIFY2(inRecord >= 76 && (inRecord - 76) % 38 == 32, "only price bytes change");
            QVERIFY2(((before[i - 32 + 26] >> 5) & 7) != 0, "a goalkeeper keeps his price");
        }
        QVERIFY(changed > 0);
    }

    void repriceMarkedPricesOnlyTheMarkedPlayers() {
        TeamFileScene scene;
        const std::vector<TeamRecord> teams = PricedTeams(8, "LEEDS ");
        const QByteArray before = TeamFileBytes(teams, false);
        const QString file = scene.Write("TEAM.008", before);
        NoProgress quiet;
        QVERIFY(CrearArchivoJugadores(PlayerDatabasePath(), scene.dir.path().toStdString(), quiet).ok());
        {
            auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
            QVERIFY(db.ok());
            // Team 1 slot 2 (a right back) and slot 1 (a goalkeeper, who keeps his price).
            db->connection().exec("UPDATE jugadores SET marca = 3 WHERE equipo = 1 AND slot IN (1, 2)");
        }
        AnswerDialogs(scene.dir.path(), {});
        Globals().Formulas = DefaultFormulas();
        scene.seams.answers = {MessageButton::Ok};
        RepriceMarkedCommand(&scene.task, 3);
        TeamEditSession session = OpenTeamEdit(teams[1]);
        PriceEvaluator evaluator;
        ComputeRowPrice(session.state, 1, evaluator, Globals().Formulas);
        QByteArray expected = before;
        expected[2 + 684 + 76 + 38 + 32] = char(session.state.team.players[1].priceCode);
        QVERIFY(expected != before);
        QCOMPARE(ReadFile(file), expected);
        QVERIFY2(scene.seams.messages.back().text.contains("1 rows of the players file took their new price"),
                 qPrintable(scene.seams.Shown().join("|")));
    }

    void aTeamSavedToAFileLoadsIntoAnotherAfterPasteTeamsQuestion() {
        TeamFileScene scene;
        const std::vector<TeamRecord> teamsA = Teams(8, "LEEDS ", 3);
        const std::vector<TeamRecord> teamsB = Teams(35, "SEVILLA ", 2);
        const QString a = scene.Write("TEAM.008", TeamFileBytes(teamsA, false));
        const QByteArray bytesB = TeamFileBytes(teamsB, false);
        const QString b = scene.Write("TEAM.035", bytesB);
        const QString saved = scene.dir.filePath("leeds.kteam");
        AnswerDialogs(scene.dir.path(), saved);

        VerEquipos* browser = OpenBrowser(&scene.task, a);
        QVERIFY(browser);
        QCOMPARE(browser->saveToFileButton()->accessibleName(), QString::fromUtf8("Save Team to File\u2026"));
        QCOMPARE(browser->loadFromFileButton()->accessibleName(),
                 QString::fromUtf8("Load Team from File\u2026"));
        Select(browser, 2);
        QTest::mouseClick(browser->saveToFileButton(), Qt::LeftButton);
        QCOMPARE(ReadFile(saved).size(),
                 qsizetype(std::string("KIVO TEAM 1\r\nfile: TEAM.008\r\nteam: 2\r\n\r\n").size() + 684));
        browser->close();
        Settle();

        browser = OpenBrowser(&scene.task, b);
        QVERIFY(browser);
        Select(browser, 1);
        scene.seams.answers = {MessageButton::Cancel};
        QTest::mouseClick(browser->loadFromFileButton(), Qt::LeftButton);
        QCOMPARE(scene.seams.Shown(), QStringList{kPasteQuestion});
        QCOMPARE(ReadFile(b), bytesB);

        scene.seams.answers = {MessageButton::Ok};
        QTest::mouseClick(browser->loadFromFileButton(), Qt::LeftButton);
        TeamRecord expected = teamsA[2];
        expected.nroEquipo = teamsB[1].nroEquipo;
        expected.nroEquipoGral = teamsB[1].nroEquipoGral;
        QByteArray expectedBytes = bytesB;
        expectedBytes.replace(2 + 684, 684, Bytes(expected));
        QCOMPARE(ReadFile(b), expectedBytes);
        QCOMPARE(browser->list()->topLevelItem(1)->text(1), QStringLiteral("LEEDS 2            "));

        // A file that is not a saved team is refused and nothing is asked or written.
        scene.Write("leeds.kteam", "KIVO TEAM 1\r\nfile: TEAM.008\r\n\r\nshort");
        scene.seams.messages.clear();
        QTest::mouseClick(browser->loadFromFileButton(), Qt::LeftButton);
        QCOMPARE(scene.seams.messages.size(), std::size_t(1));
        QVERIFY(scene.seams.messages[0].text.contains("not a saved team (.kteam) file"));
        QCOMPARE(ReadFile(b), expectedBytes);
    }
};

QTEST_MAIN(RostersTest)
#include "tst_Rosters.moc"
