#include <algorithm>
#include <map>
#include <sstream>

#include "CliRunner.h"
#include "core/gamefiles/TeamFile.h"
#include "core/prices/PriceCalculator.h"
#include "core/support/FixedText.h"
#include "core/teams/TeamEditing.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.find_last_not_of('\r') + 1));
    return lines;
}

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line);
    for (std::string cell; std::getline(in, cell, ',');)
        cells.push_back(cell);
    return cells;
}

class RosterCommands : public ::testing::Test {
protected:
    WorkDir work{7};
    fs::path data = work / "data";
    std::vector<std::uint8_t> Bytes(const std::string& name) const { return ReadBytes(data / name); }
    bool Backups() const { return fs::exists(data / "kivo-backups"); }
};

TEST_F(RosterCommands, AnExportImportedBackChangesNothingAndMakesNoBackup) {
    for (const char* format : {"--csv", "--json"}) {
        const auto before = Bytes("TEAM.001");
        const CliRun exported = work.Run(std::string("export data ") + format + " -o roster.out");
        ASSERT_EQ(exported.status, 0) << exported.err;
        const CliRun imported = work.Run("import data roster.out");
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out, "0 changes in 0 teams of 0 files; nothing written\n");
        EXPECT_EQ(Bytes("TEAM.001"), before);
        EXPECT_FALSE(Backups());
    }
}

TEST_F(RosterCommands, TheCsvHasOneCrlfRowPerSlotAndFormulaLikeCellsStayText) {
    auto teams = kivo::ReadTeams((data / "TEAM.003").string());
    ASSERT_TRUE(teams.ok());
    kivo::TeamRecord changed = teams->front();
    kivo::StoreText(changed.jugador[0].nombreJugador, "=1+2");
    ASSERT_TRUE(kivo::WriteTeam((data / "TEAM.003").string(), 0, changed).ok());
    const CliRun run = work.Run("export data/TEAM.003");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out.rfind("file,team,team_name,coach,tactic,division,slot,name,nationality,shirt,position,face,"
                      "passing,shooting,heading,tackling,ball_control,speed,finishing,price,lineup_place\r\n",
                      0),
        0u);
    EXPECT_EQ(static_cast<std::size_t>(std::count(run.out.begin(), run.out.end(), '\n')),
              1 + 16 * teams->size());
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'),
              std::count(run.out.begin(), run.out.end(), '\r'));
    EXPECT_NE(run.out.find(",'=1+2,"), std::string::npos);
    ASSERT_EQ(work.Run("export data/TEAM.003 -o guarded.csv").status, 0);
    const json back = JsonOf(work.Run("import data/TEAM.003 guarded.csv --json"));
    EXPECT_TRUE(back["changes"].empty());
    EXPECT_EQ(back["written"], false);
}

TEST_F(RosterCommands, AnEditedExportIsWrittenAsTheTeamEditorWouldAndPrintedLineByLine) {
    ASSERT_EQ(work.Run("export data/TEAM.005 -o r.csv").status, 0);
    std::vector<std::string> lines = Lines(kivo::test::ReadText(work / "r.csv"));
    const std::vector<std::string> header = Cells(lines[0]);
    const auto column = [&](const std::string& name) {
        return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    };
    // Team 1, slot 4: passing to 15 - or to 14 when it already is 15.
    std::vector<std::string> row = Cells(lines[1 + 16 + 3]);
    const int was = std::stoi(row[column("passing")]);
    const int now = was == 15 ? 14 : 15;
    std::string edited = "passing,slot,team,file\r\n" + std::to_string(now) + ",4,1,team.005\r\n";
    kivo::test::WriteText(work / "edit.csv", edited);

    const auto before = Bytes("TEAM.005");
    ASSERT_EQ(work.Run("import data edit.csv --dry-run").status, 0);
    EXPECT_EQ(Bytes("TEAM.005"), before);
    EXPECT_FALSE(Backups());

    const CliRun run = work.Run("import data edit.csv");
    ASSERT_EQ(run.status, 0) << run.err;
    auto team = kivo::ReadTeam((work / "data" / "TEAM.005").string(), 1);
    auto session = kivo::OpenTeamEdit(
        kivo::ParseTeamRecord(std::span<const std::uint8_t, 684>(before.data() + 2 + 684, 684)));
    kivo::SetSkill(session.state, 3, 0, static_cast<std::uint8_t>(now));
    const auto encoded = kivo::SerializeTeamRecord(kivo::EncodeEdits(session.state));
    std::vector<std::uint8_t> expected = before;
    std::copy(encoded.begin(), encoded.end(), expected.begin() + 2 + 684);
    EXPECT_EQ(Bytes("TEAM.005"), expected);
    const std::string prefix = "TEAM.005 team 1 \"" + row[column("team_name")] + "\" slot 4 \"" +
                               row[column("name")] + "\": passing " + std::to_string(was) + " -> " +
                               std::to_string(now) + "\n";
    EXPECT_EQ(run.out.rfind(prefix, 0), 0u) << run.out;
    EXPECT_EQ(ReadBytes(fs::directory_iterator(data / "kivo-backups")->path() / "TEAM.005"), before);
}

TEST_F(RosterCommands, AnInvalidRosterListsEveryErrorAndWritesNothing) {
    kivo::test::WriteText(work / "bad.csv",
                          "file,team,slot,face,price\r\nTEAM.005,0,1,7,1M\r\nTEAM.005,0,2,0,2m!\r\n");
    const auto before = Bytes("TEAM.005");
    const CliRun run = work.Run("import data bad.csv");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("bad.csv: row 2, column face, value \"7\": must be from 0 to 2"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("bad.csv: row 3, column price, value \"2m!\": not in the price table"),
              std::string::npos);
    EXPECT_NE(run.err.find("2 errors in bad.csv; nothing was written"), std::string::npos);
    EXPECT_EQ(Bytes("TEAM.005"), before);
    EXPECT_FALSE(Backups());
}

TEST_F(RosterCommands, RepriceByFileWritesOnlyThatFilesChangedPrices) {
    const auto before1 = Bytes("TEAM.001"), before2 = Bytes("TEAM.002");
    const CliRun dry = work.Run("reprice data --file team.001 --dry-run");
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_FALSE(Backups());
    EXPECT_EQ(Bytes("TEAM.001"), before1);

    // The file named twice (in two letter cases) is priced and written once.
    const CliRun run = work.Run("reprice data --file TEAM.001 --file team.001");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).size(), Lines(dry.out).size());
    std::vector<std::uint8_t> expected = before1;
    kivo::PriceEvaluator evaluator;
    const auto formulas = kivo::DefaultFormulas();
    for (std::size_t k = 0; 2 + 684 * (k + 1) <= before1.size(); ++k) {
        auto session = kivo::OpenTeamEdit(
            kivo::ParseTeamRecord(std::span<const std::uint8_t, 684>(before1.data() + 2 + 684 * k, 684)));
        kivo::ComputeAllPrices(session.state, evaluator, formulas);
        for (std::size_t i = 0; i < 16; ++i)
            expected[2 + 684 * k + 76 + 38 * i + 32] = session.state.team.players[i].priceCode;
    }
    EXPECT_EQ(Bytes("TEAM.001"), expected);
    EXPECT_EQ(Bytes("TEAM.002"), before2);
    EXPECT_NE(run.out.find(" prices changed in 1 files"), std::string::npos) << run.out;
    EXPECT_EQ(work.Run("reprice data --file JUGADORES").status, 2);
}

TEST_F(RosterCommands, RepriceByMarkWritesOnlyTheMarkedPlayersPrices) {
    ASSERT_EQ(work.Run("players build data").status, 0);
    ASSERT_EQ(work.Run("players mark 3 --position A --finishing 12").status, 0);
    std::map<std::string, std::vector<std::uint8_t>> before, expected;
    for (const auto& entry : fs::directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file()) continue;
        before[name] = expected[name] = Bytes(name);
        if (name.rfind("TEAM.0", 0) != 0 || std::stoi(name.substr(5)) < 1 || std::stoi(name.substr(5)) > 85)
            continue;
        std::vector<std::uint8_t>& b = expected[name];
        for (std::size_t at = 2; at + 684 <= b.size(); at += 684)
            for (std::size_t i = 0; i < 16; ++i) {
                const std::size_t slot = at + 76 + 38 * i;
                const std::uint8_t finishing = b[slot + 31] & 0x0F;
                if ((b[slot + 26] >> 5) != 7 || finishing < 12) continue;
                kivo::PlayerSlot s =
                    kivo::ParsePlayerSlot(std::span<const std::uint8_t, 38>(b.data() + slot, 38));
                b[slot + 32] = kivo::OriginalPriceCode(kivo::SlotSkills(s));
            }
    }
    const CliRun run = work.Run("reprice data --mark 3 --original");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(" rows of JUGADORES updated"), std::string::npos) << run.out;
    for (const auto& [name, bytes] : expected)
        EXPECT_EQ(Bytes(name), bytes) << name;
    EXPECT_EQ(work.Run("reprice data --mark 3 --file TEAM.001").status, 2);
}

TEST_F(RosterCommands, ATeamSavedToAFileIsLoadedIntoAnotherFile) {
    ASSERT_EQ(work.Run("team data/TEAM.001 0 --save keeper.kteam").status, 0);
    const auto source = Bytes("TEAM.001");
    const auto before = Bytes("TEAM.002");
    const CliRun run = work.Run("team data/TEAM.002 1 --load keeper.kteam");
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::uint8_t> expected = before;
    std::copy(source.begin() + 2, source.begin() + 2 + 684, expected.begin() + 2 + 684);
    std::copy(before.begin() + 2 + 684 + 1, before.begin() + 2 + 684 + 4, expected.begin() + 2 + 684 + 1);
    EXPECT_EQ(Bytes("TEAM.002"), expected);

    kivo::test::WriteText(work / "not.kteam", "KIVO TEAM 1\r\nfile: x\r\n\r\nshort");
    const auto now = Bytes("TEAM.002");
    const CliRun bad = work.Run("team data/TEAM.002 1 --load not.kteam");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("not a saved team (.kteam) file"), std::string::npos) << bad.err;
    EXPECT_EQ(Bytes("TEAM.002"), now);
}

} // namespace
