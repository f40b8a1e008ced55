#include "core/rosters/RosterImport.h"

#include <unistd.h>

#include <thread>

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"
#include "core/rosters/RosterExport.h"
#include "core/rosters/RosterFiles.h"
#include "core/support/FixedText.h"
#include "RosterTestSupport.h"

namespace kivo::testing {
namespace {

class RosterImportTest : public RosterFilesTest {
protected:
    RosterImportPlan Plan(const std::string& roster, const std::string& target = {}) {
        return PlanRosterImport(target.empty() ? data : target, roster);
    }
    void ExpectNothingWritten() {
        EXPECT_EQ(ReadBytes(TeamFile(8)), before8);
        EXPECT_EQ(ReadBytes(TeamFile(9)), before9);
        EXPECT_FALSE(BackupFolderExists());
    }
    std::string Export(RosterFormat format) {
        auto text = ExportRosters(RosterFiles(data), format);
        EXPECT_TRUE(text.ok());
        return text.ok() ? *text : std::string();
    }
};

TEST_F(RosterImportTest, AnExportImportedBackWritesNothing) {
    for (RosterFormat format : {RosterFormat::Csv, RosterFormat::Json}) {
        const RosterImportPlan plan = Plan(Export(format));
        ASSERT_TRUE(plan.ok()) << ProblemLine(plan.problems.front());
        EXPECT_TRUE(plan.teams.empty());
        EXPECT_TRUE(plan.files.empty());
        BackupRun backups;
        ASSERT_TRUE(ApplyRosterImport(backups, plan).ok());
        ExpectNothingWritten();
    }
}

TEST_F(RosterImportTest, AnEditedRosterChangesOnlyItsTeamAsTheTeamEditorWould) {
    const PlayerSlot& unchanged = nine[0].jugador[0];
    const std::string position = TrimRight(*PositionText(PositionCodeOf(unchanged.posicionYAspecto)));
    std::string lower;
    for (char c : position)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // Columns reordered and most left out; texts of tables in lower case; a UTF-8 name with a Latin-1 form.
    const std::string csv = "slot,Team,name,position,FILE,nationality,passing,price\r\n"
                            "6,3,J. C\xC3\xB4sta,m,TEAM.008,fra,14,1.5m\r\n"
                            "1,0,Team9 0 P1," +
                            lower + ",team.009,,,\r\n";
    const RosterImportPlan plan = Plan(csv);
    ASSERT_TRUE(plan.ok()) << ProblemLine(plan.problems.front());
    ASSERT_EQ(plan.files.size(), 1u);
    EXPECT_EQ(plan.teams.size(), 1u);
    std::vector<std::string> lines;
    for (const TeamChange& c : ImportChanges(plan))
        lines.push_back(ChangeLine(c));
    const std::string team = "TEAM.008 team 3 \"Sant\xC3\xA9 Atl\xC3\xA9tico\" slot 6 \"J. Costa\": ";
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        team + "passing " + std::to_string(eight[3].jugador[5].passing) + " -> 14"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), team + "name \"J. Costa\" -> \"J. C\xC3\xB4sta\""),
              lines.end());

    BackupRun backups;
    ASSERT_TRUE(ApplyRosterImport(backups, plan).ok());
    TeamRecord expected = eight[3];
    PlayerSlot& slot = expected.jugador[5];
    SetText(slot.nombreJugador.data(), kPlayerNameWidth, "J. C\xF4sta");
    SetPosition(slot, 6);
    slot.nacionalidad = 12;
    slot.passing = 14;
    slot.valorPase = 31;
    EXPECT_EQ(ReadBytes(TeamFile(8)), WithTeam(before8, 3, expected));
    EXPECT_EQ(ReadBytes(TeamFile(9)), before9);
    EXPECT_EQ(ReadBytes(backups.BackupPathFor(TeamFile(8))), before8);
    EXPECT_FALSE(std::filesystem::exists(backups.BackupPathFor(TeamFile(9))));
}

TEST_F(RosterImportTest, AJsonRosterChangesTeamValuesAndPlayers) {
    const std::string json = R"([{"file": "TEAM.009", "team": 2, "coach": "Ana L\u00f3pez", "tactic": "sweep",
        "division": "THIRD", "players": [{"slot": 16, "skills": [1, 2, 3, 4, 5, 6, 7], "face": 2, "shirt": 16}]}])";
    const RosterImportPlan plan = Plan(json);
    ASSERT_TRUE(plan.ok()) << ProblemLine(plan.problems.front());
    BackupRun backups;
    ASSERT_TRUE(ApplyRosterImport(backups, plan).ok());
    TeamRecord expected = nine[2];
    SetText(expected.nombreEntrenador.data(), kCoachNameWidth, "Ana L\xF3pez");
    expected.tactica = 8;
    expected.division = 3;
    PlayerSlot& slot = expected.jugador[15];
    slot.passing = 1;
    slot.shootingYHeading = 0x23;
    slot.tacklingYBallControl = 0x45;
    slot.speedYFinishing = 0x67;
    slot.posicionYAspecto = static_cast<std::uint8_t>((slot.posicionYAspecto & 0xE0) | (2 << 3));
    EXPECT_EQ(ReadBytes(TeamFile(9)), WithTeam(before9, 2, expected));
    EXPECT_EQ(ReadBytes(TeamFile(8)), before8);
}

struct BadRoster {
    const char* name;
    std::string roster;
    std::string why; // part of the reason given
};

class RosterProblemsTest : public RosterImportTest, public ::testing::WithParamInterface<BadRoster> {};

TEST_P(RosterProblemsTest, IsReportedAndNothingIsWritten) {
    const RosterImportPlan plan = Plan(GetParam().roster);
    ASSERT_FALSE(plan.ok());
    bool found = false;
    for (const RosterProblem& p : plan.problems)
        found = found || ProblemLine(p).find(GetParam().why) != std::string::npos;
    EXPECT_TRUE(found) << ProblemLine(plan.problems.front());
    EXPECT_TRUE(plan.files.empty());
    BackupRun backups;
    EXPECT_FALSE(ApplyRosterImport(backups, plan).ok());
    ExpectNothingWritten();
}

std::string Row(const std::string& column, const std::string& value,
                const std::string& where = "TEAM.008,0,1") {
    return "file,team,slot," + column + "\r\n" + where + "," + value + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, RosterProblemsTest,
    ::testing::Values(
        BadRoster{"UnknownColumn", Row("pasing", "3"),
                  "row 1, column pasing, value \"pasing\": no such column"},
        BadRoster{"ColumnTwice", "file,team,slot,name,NAME\r\nTEAM.008,0,1,a,b\r\n", "named twice"},
        BadRoster{"KeyColumnMissing", "file,team,name\r\nTEAM.008,0,a\r\n",
                  "column slot, value \"\": the column is missing"},
        BadRoster{"CellsMissing", "file,team,slot,name\r\nTEAM.008,0,1\r\n",
                  "3 cells where the header has 4"},
        BadRoster{"NoSuchFile", Row("name", "x", "TEAM.077,0,1"), "no such file"},
        BadRoster{"NotATeamFile", Row("name", "x", "JUGADORES,0,1"), "not a team file name"},
        BadRoster{"TeamBeyondTheFile", Row("name", "x", "TEAM.008,4,1"), "holds teams 0 to 3"},
        BadRoster{"TeamNotANumber", Row("name", "x", "TEAM.008,first,1"), "not a whole number"},
        BadRoster{"SlotOutOfRange", Row("name", "x", "TEAM.008,0,17"), "must be from 1 to 16"},
        BadRoster{"SlotTwice", "file,team,slot,passing\r\nTEAM.008,0,2,1\r\nteam.008,0,2,3\r\n",
                  "the same slot as row 2"},
        BadRoster{"Nationality", Row("nationality", "XYZ"),
                  "row 2, column nationality, value \"XYZ\": not in the nationality table"},
        BadRoster{"Position", Row("position", "GK"), "not in the position table"},
        BadRoster{"Price", Row("price", "1.4M"), "not in the price table"},
        BadRoster{"Tactic", Row("tactic", "4-4-3"), "not in the tactic table"},
        BadRoster{"Division", Row("division", "Fourth"), "not in the division table"},
        BadRoster{"NameTooLong", Row("name", "Abcdefghijklmnopqrstuvwx"), "longer than 23 characters"},
        BadRoster{"TeamNameTooLong", Row("team_name", "Abcdefghijklmnopqrst"), "longer than 19 characters"},
        BadRoster{"NoLatin1Form", Row("coach", "\xCE\xA9mega"), "without a Latin-1 form"},
        BadRoster{"ControlCharacter", Row("name", "\"a\tb\""), "control character"},
        BadRoster{"SkillAbove15", Row("finishing", "16"), "must be from 0 to 15"},
        BadRoster{"SkillNotANumber", Row("speed", "fast"), "not a whole number"},
        BadRoster{"ShirtZero", Row("shirt", "0"), "must be from 1 to 16"},
        BadRoster{"FaceThree", Row("face", "3"), "must be from 0 to 2"},
        BadRoster{"LineupChanged", Row("lineup_place", "9"), "does not change the line-up"},
        BadRoster{"TeamValuesDisagree", "file,team,slot,coach\r\nTEAM.008,1,1,Ann\r\nTEAM.008,1,2,Bob\r\n",
                  "differs from row 2 for the same team"},
        BadRoster{"QuoteNeverClosed", "file,team,slot\r\n\"TEAM.008,0,1\r\n",
                  "a quoted field is never closed"},
        BadRoster{"Empty", "", "a header row naming the columns is needed"},
        BadRoster{"JsonNestedDeep", std::string(100000, '[') + std::string(100000, ']'),
                  "far deeper than a roster"},
        BadRoster{"NotJson", "[{\"file\": \"TEAM.008\",", "not valid JSON"},
        BadRoster{
            "JsonWrongType",
            R"([{"file": "TEAM.008", "team": 0, "players": [{"slot": 1, "passing": 2.5, "face": [1]}]}])",
            "must be a text or a whole number"},
        BadRoster{"JsonSkills",
                  R"([{"file": "TEAM.008", "team": 0, "players": [{"slot": 1, "skills": [1, 2]}]}])",
                  "a list of seven numbers"}),
    [](const ::testing::TestParamInfo<BadRoster>& info) { return std::string(info.param.name); });

TEST_F(RosterImportTest, EveryErrorOfEveryRowIsReported) {
    const std::string csv = "file,team,slot,passing,shirt,position\r\n"
                            "TEAM.008,0,1,16,1,G\r\n"
                            "TEAM.008,0,2,3,17,XX\r\n"
                            "TEAM.009,9,1,1,1,G\r\n";
    const RosterImportPlan plan = Plan(csv);
    ASSERT_EQ(plan.problems.size(), 4u);
    EXPECT_EQ(ProblemLine(plan.problems[0]), "row 2, column passing, value \"16\": must be from 0 to 15");
    EXPECT_EQ(ProblemLine(plan.problems[1]),
              "row 3, column position, value \"XX\": not in the position table");
    EXPECT_EQ(ProblemLine(plan.problems[2]), "row 3, column shirt, value \"17\": must be from 1 to 16");
    EXPECT_EQ(ProblemLine(plan.problems[3]), "row 4, column team, value \"9\": TEAM.009 holds teams 0 to 2");
    ExpectNothingWritten();
}

TEST_F(RosterImportTest, TextThatStopsBeingCsvIsReportedAsThatAlone) {
    // Rows are checked as they are read; a later break in the text sets their problems aside.
    const RosterImportPlan plan = Plan("file,team,slot,passing\r\nTEAM.008,0,1,16\r\nTEAM.008,0,2,\"3\r\n");
    ASSERT_EQ(plan.problems.size(), 1u);
    EXPECT_EQ(ProblemLine(plan.problems[0]),
              "the file: it is not CSV: line 3: a quoted field is never closed");
    EXPECT_TRUE(plan.files.empty());
}

TEST_F(RosterImportTest, RowsMayComeBackToATeamInAnyOrder) {
    const std::string interleaved = "file,team,slot,passing\r\nTEAM.008,1,1,1\r\nTEAM.009,0,1,2\r\n"
                                    "TEAM.008,1,2,3\r\nTEAM.008,1,1,4\r\n";
    const RosterImportPlan twice = Plan(interleaved);
    ASSERT_EQ(twice.problems.size(), 1u);
    EXPECT_EQ(ProblemLine(twice.problems[0]), "row 5, column slot, value \"1\": the same slot as row 2");
    const RosterImportPlan plan = Plan("file,team,slot,passing\r\nTEAM.008,1,1,1\r\nTEAM.009,0,1,2\r\n"
                                       "TEAM.008,1,2,3\r\n");
    ASSERT_TRUE(plan.ok()) << ProblemLine(plan.problems.front());
    ASSERT_EQ(plan.teams.size(), 2u);
    BackupRun backups;
    ASSERT_TRUE(ApplyRosterImport(backups, plan).ok());
    TeamRecord expected = eight[1];
    expected.jugador[0].passing = 1;
    expected.jugador[1].passing = 3;
    EXPECT_EQ(ReadBytes(TeamFile(8)), WithTeam(before8, 1, expected));
}

// A long roster is read in two parts side by side; whatever the parts are, the plan is the one pass's.
TEST_F(RosterImportTest, ReadInTwoPartsTheRosterPlansAsInOnePass) {
    const std::string header = "file,team,slot,coach,passing,price,name\r\n";
    std::string edited = header;
    for (int k = 0; k < 4; ++k)
        for (int slot = 1; slot <= 16; ++slot)
            edited += "TEAM.008," + std::to_string(k) + "," + std::to_string(slot) + ",Ann," +
                      std::to_string((slot + k) % 16) + "," + (slot % 2 ? "1.5M" : "") + ",\r\n";
    const std::string quoted = header + "TEAM.009,0,1,,3,,\"two\nlines\"\r\nTEAM.009,1,1,,3,,\"\"\"\r\n" +
                               "TEAM.009,2,1,,4,,\"x\ny\"\r\n";
    // TEAM.009 is named late in a long first half, TEAM.010 from the start of the second (and at the end of
    // the first): whichever half loads its file first, the plan keeps the rows' order of files.
    std::string threeFiles = header;
    for (const auto& [n, teams] : {std::pair(11, 100), std::pair(10, 150)}) {
        std::vector<TeamRecord> many;
        for (int k = 0; k < teams; ++k)
            many.push_back(MakeTeam(static_cast<std::uint8_t>(n), "Team " + std::to_string(k), 1, k));
        WriteTeamFile(n, many);
        for (int k = 0; k < teams; ++k)
            for (int slot = 1; slot <= 16; ++slot)
                threeFiles += "TEAM.0" + std::to_string(n) + "," + std::to_string(k) + "," +
                              std::to_string(slot) + ",,7,,\r\n";
        if (n == 11)
            for (int k = 0; k < 3; ++k)
                threeFiles += "TEAM.009," + std::to_string(k) + ",1,,9,,\r\n";
    }
    const std::vector<std::pair<const char*, std::string>> rosters = {
        {"every team of a file edited, one team across the middle", edited},
        {"three files, one named late in the first half", threeFiles},
        {"a problem in the second half", edited + "TEAM.009,2,1,,16,,\r\n"},
        {"the coach changed two ways across the middle", edited + "TEAM.008,3,16,Bob,,,\r\n"},
        {"the same slot in both halves", edited + "TEAM.008,0,1,,,,\r\n"},
        {"quoted fields over lines about the middle", quoted},
        {"text that stops being CSV in the second half", edited + "\"open"},
    };
    for (const auto& [what, roster] : rosters) {
        SCOPED_TRACE(what);
        const RosterImportPlan one = PlanRosterImport(data, roster, {.twoPartsFrom = SIZE_MAX});
        const RosterImportPlan two = PlanRosterImport(data, roster, {.twoPartsFrom = 0});
        std::vector<std::string> problemsOne, problemsTwo;
        for (const RosterProblem& p : one.problems)
            problemsOne.push_back(ProblemLine(p));
        for (const RosterProblem& p : two.problems)
            problemsTwo.push_back(ProblemLine(p));
        EXPECT_EQ(problemsTwo, problemsOne);
        ASSERT_EQ(two.files.size(), one.files.size());
        for (std::size_t f = 0; f < one.files.size(); ++f) {
            EXPECT_EQ(two.files[f].path, one.files[f].path);
            EXPECT_EQ(two.files[f].bytes, one.files[f].bytes);
        }
        ASSERT_EQ(two.teams.size(), one.teams.size());
        for (std::size_t t = 0; t < one.teams.size(); ++t) {
            EXPECT_EQ(two.teams[t].file, one.teams[t].file);
            EXPECT_EQ(two.teams[t].team, one.teams[t].team);
            EXPECT_EQ(two.teams[t].before, one.teams[t].before);
        }
    }
    const RosterImportPlan three = PlanRosterImport(data, threeFiles, {.twoPartsFrom = 0});
    if (std::thread::hardware_concurrency() >= 2) EXPECT_EQ(three.partsRead, 2);
    ASSERT_EQ(three.files.size(), 3u);
    EXPECT_EQ(std::filesystem::path(three.files[0].path).filename(), "TEAM.011");
    EXPECT_EQ(std::filesystem::path(three.files[1].path).filename(), "TEAM.009");
    // The first roster changes every team of TEAM.008 and nothing of TEAM.009.
    const RosterImportPlan edits = PlanRosterImport(data, rosters[0].second, {.twoPartsFrom = 0});
    ASSERT_TRUE(edits.ok()) << ProblemLine(edits.problems.front());
    EXPECT_EQ(edits.teams.size(), 4u);
    EXPECT_GT(ImportChanges(edits).size(), 4u * 8);
    if (std::thread::hardware_concurrency() >= 2) EXPECT_EQ(edits.partsRead, 2);
}

TEST_F(RosterImportTest, IntoOneFileEveryRowMustNameIt) {
    const RosterImportPlan wrong = Plan(Row("passing", "3", "TEAM.009,0,1"), TeamFile(8));
    ASSERT_FALSE(wrong.ok());
    EXPECT_NE(ProblemLine(wrong.problems.front()).find("the import is into"), std::string::npos);
    const RosterImportPlan right = Plan(Row("passing", "3", "team.008,0,1"), TeamFile(8));
    ASSERT_TRUE(right.ok());
    EXPECT_EQ(right.files.size(), 1u);
}

TEST_F(RosterImportTest, AReadOnlyFileIsRefusedWhole) {
    const RosterImportPlan plan = Plan(Row("passing", "3", "TEAM.008,0,1") + "TEAM.008,1,1,4\r\n");
    ASSERT_TRUE(plan.ok());
    std::filesystem::permissions(TeamFile(8), std::filesystem::perms::owner_read);
    BackupRun backups;
    const Status applied = ApplyRosterImport(backups, plan);
    std::filesystem::permissions(TeamFile(8),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    EXPECT_FALSE(applied.ok());
    ExpectNothingWritten();
}

} // namespace
} // namespace kivo::testing
