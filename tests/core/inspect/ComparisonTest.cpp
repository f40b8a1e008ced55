#include <functional>

#include "core/backups/Backups.h"
#include "core/inspect/Comparison.h"
#include "InspectTestSupport.h"

namespace kivo {
namespace {

using test::SoundGame;

std::string Shown(const DiffValue& v) {
    switch (v.kind) {
    case DiffValue::Kind::None:
        return "null";
    case DiffValue::Kind::Number:
        return std::to_string(v.number);
    case DiffValue::Kind::Text:
        return "'" + v.text + "'";
    case DiffValue::Kind::Numbers: {
        std::string s;
        for (int n : v.numbers)
            s += std::to_string(n) + ",";
        return s;
    }
    }
    return {};
}

// file team slot entry field old new [offset]
std::string Brief(const GameFileDifference& d) {
    std::string s = d.file + " " + (d.team ? std::to_string(*d.team) : "-") + " " +
                    (d.slot ? std::to_string(*d.slot) : "-") + " " +
                    (d.entry ? std::to_string(*d.entry) : "-") + " " + d.field + " " + Shown(d.oldValue) +
                    " " + Shown(d.newValue);
    if (d.offset) s += " @" + std::to_string(*d.offset);
    return s;
}

struct DiffCase {
    const char* label;
    std::function<void(SoundGame&)> change;
    std::string expected;
};

void PrintTo(const DiffCase& c, std::ostream* os) {
    *os << c.label;
}

class DiffCases : public ::testing::TestWithParam<DiffCase> {};

// Team 1 of TEAM.001 is "Rivera United"; its slot 6 (index 5) is "Riv Player 6".
TEST_P(DiffCases, OneChangeGivesOneDifferenceAndNothingElse) {
    test::TempDir dir;
    SoundGame game;
    game.Write(dir.path() / "old");
    GetParam().change(game);
    game.Write(dir.path() / "new");
    auto diffs = DiffGamePaths((dir.path() / "old").string(), (dir.path() / "new").string());
    ASSERT_TRUE(diffs.ok()) << diffs.error().text;
    std::vector<std::string> got;
    for (const auto& d : *diffs)
        got.push_back(Brief(d));
    EXPECT_EQ(got, std::vector<std::string>{GetParam().expected});
}

constexpr std::size_t kSlot6 = 2 + 684 + 76 + 5 * 38; // slot 6 of team 1 in TEAM.001

INSTANTIATE_TEST_SUITE_P(
    Fields, DiffCases,
    ::testing::Values(
        DiffCase{"TeamName",
                 [](SoundGame& g) { test::PutText(g.league[1].nombreEquipo.data(), 19, "Rivera FC"); },
                 "TEAM.001 1 - - name 'Rivera United' 'Rivera FC'"},
        DiffCase{"Coach", [](SoundGame& g) { test::PutText(g.league[1].nombreEntrenador.data(), 24, "Ana"); },
                 "TEAM.001 1 - - coach 'Coach Rivera United' 'Ana'"},
        DiffCase{"Tactic", [](SoundGame& g) { g.league[1].tactica = 0; },
                 "TEAM.001 1 - - tactic '5-4-1' '4-4-2'"},
        DiffCase{"Division", [](SoundGame& g) { g.league[1].division = 2; },
                 "TEAM.001 1 - - division 'First' 'Second'"},
        DiffCase{"Lineup",
                 [](SoundGame& g) {
                     std::swap(g.league[1].titularesYSuplentes[0], g.league[1].titularesYSuplentes[1]);
                 },
                 "TEAM.001 1 - - lineup 5,6,7,8,9,10,11,12,13,14,15,0,1,2,3,4, "
                 "6,5,7,8,9,10,11,12,13,14,15,0,1,2,3,4,"},
        DiffCase{"Kit1Design", [](SoundGame& g) { g.league[1].uniformePrincipal.disenioCamiseta = 2; },
                 "TEAM.001 1 - - kit1.design 'M' 'V'"},
        DiffCase{"Kit1Shirt", [](SoundGame& g) { g.league[1].uniformePrincipal.colorBaseCamiseta = 7; },
                 "TEAM.001 1 - - kit1.shirt 2 7"},
        DiffCase{"Kit1Stripes", [](SoundGame& g) { g.league[1].uniformePrincipal.colorOtroCamiseta = 7; },
                 "TEAM.001 1 - - kit1.stripes 3 7"},
        DiffCase{"Kit1Shorts", [](SoundGame& g) { g.league[1].uniformePrincipal.colorPantalon = 7; },
                 "TEAM.001 1 - - kit1.shorts 4 7"},
        DiffCase{"Kit1Socks", [](SoundGame& g) { g.league[1].uniformePrincipal.colorMedias = 7; },
                 "TEAM.001 1 - - kit1.socks 5 7"},
        DiffCase{"Kit2Design", [](SoundGame& g) { g.league[1].uniformeSecundario.disenioCamiseta = 3; },
                 "TEAM.001 1 - - kit2.design 'V' 'H'"},
        DiffCase{"Kit2Shirt", [](SoundGame& g) { g.league[1].uniformeSecundario.colorBaseCamiseta = 1; },
                 "TEAM.001 1 - - kit2.shirt 9 1"},
        DiffCase{"Kit2Stripes", [](SoundGame& g) { g.league[1].uniformeSecundario.colorOtroCamiseta = 1; },
                 "TEAM.001 1 - - kit2.stripes 0 1"},
        DiffCase{"Kit2Shorts", [](SoundGame& g) { g.league[1].uniformeSecundario.colorPantalon = 0; },
                 "TEAM.001 1 - - kit2.shorts 1 0"},
        DiffCase{"Kit2Socks", [](SoundGame& g) { g.league[1].uniformeSecundario.colorMedias = 1; },
                 "TEAM.001 1 - - kit2.socks 8 1"},
        DiffCase{
            "PlayerName",
            [](SoundGame& g) { test::PutText(g.league[1].jugador[5].nombreJugador.data(), 23, "J. Costa"); },
            "TEAM.001 1 6 - name 'Riv Player 6' 'J. Costa'"},
        DiffCase{"Nationality", [](SoundGame& g) { g.league[1].jugador[5].nacionalidad = 0; },
                 "TEAM.001 1 6 - nationality 'IRL' 'ALB'"},
        DiffCase{"Shirt", [](SoundGame& g) { g.league[1].jugador[5].nroCamiseta = 40; },
                 "TEAM.001 1 6 - shirt 11 40"},
        DiffCase{"Position",
                 [](SoundGame& g) { g.league[1].jugador[5].posicionYAspecto = (0 << 5) | (1 << 3); },
                 "TEAM.001 1 6 - position 'LW' 'G'"},
        DiffCase{"Face", [](SoundGame& g) { g.league[1].jugador[5].posicionYAspecto = (5 << 5) | (3 << 3); },
                 "TEAM.001 1 6 - face 1 3"},
        DiffCase{"Passing", [](SoundGame& g) { g.league[1].jugador[5].passing = 14; },
                 "TEAM.001 1 6 - passing 6 14"},
        DiffCase{"Shooting", [](SoundGame& g) { g.league[1].jugador[5].shootingYHeading = 0x0F; },
                 "TEAM.001 1 6 - shooting 5 0"},
        DiffCase{"Heading", [](SoundGame& g) { g.league[1].jugador[5].shootingYHeading = 0x50; },
                 "TEAM.001 1 6 - heading 15 0"},
        DiffCase{"Tackling", [](SoundGame& g) { g.league[1].jugador[5].tacklingYBallControl = 0x16; },
                 "TEAM.001 1 6 - tackling 9 1"},
        DiffCase{"BallControl", [](SoundGame& g) { g.league[1].jugador[5].tacklingYBallControl = 0x90; },
                 "TEAM.001 1 6 - ball_control 6 0"},
        DiffCase{"Speed", [](SoundGame& g) { g.league[1].jugador[5].speedYFinishing = 0x27; },
                 "TEAM.001 1 6 - speed 12 2"},
        DiffCase{"Finishing", [](SoundGame& g) { g.league[1].jugador[5].speedYFinishing = 0xC0; },
                 "TEAM.001 1 6 - finishing 7 0"},
        DiffCase{"Price", [](SoundGame& g) { g.league[1].jugador[5].valorPase = 0; },
                 "TEAM.001 1 6 - price '250K' '25K-'"},
        DiffCase{"UncoveredSlotByte", [](SoundGame& g) { g.league[1].jugador[5].reservadosCant5[2] = 0xAB; },
                 "TEAM.001 1 6 - bytes '07' 'ab' @" + std::to_string(kSlot6 + 35)},
        DiffCase{"UncoveredTeamBytes", [](SoundGame& g) { g.league[1].nroEquipoGral = 0x1234; },
                 "TEAM.001 1 - - bytes 'f5 01' '34 12' @" + std::to_string(2 + 684 + 2)},
        DiffCase{"PaddingAfterTheName", [](SoundGame& g) { g.league[1].nombreEquipo[18] = 'x'; },
                 "TEAM.001 1 - - bytes '00' '78' @" + std::to_string(2 + 684 + 5 + 18)},
        DiffCase{"TeamAdded", [](SoundGame& g) { g.league.push_back(test::SoundTeam(3, "New Club", 3)); },
                 "TEAM.001 3 - - team null 'New Club'"},
        DiffCase{"CupTeamRemoved", [](SoundGame& g) { g.cup.clear(); },
                 "EUROCUP.TMD 0 - - team 'Sant\xE9 Atl\xE9tico' null"},
        DiffCase{"PoolTeamName",
                 [](SoundGame& g) { test::PutText(g.pool[1].nombreEquipo.data(), 17, "Other"); },
                 "POOLPLYR.DAT - - 1 team_name 'Sant\xE9 Atl\xE9tico' 'Other'"},
        DiffCase{"PoolPassing", [](SoundGame& g) { g.pool[1].passing = 15; },
                 "POOLPLYR.DAT - - 1 passing 7 15"},
        DiffCase{"PoolEntrySlotByte", [](SoundGame& g) { g.pool[0].reservado1 = 4; },
                 "POOLPLYR.DAT - - 0 bytes '02' '04' @2"},
        DiffCase{"PoolEntryAdded",
                 [](SoundGame& g) { g.pool.push_back(test::PoolEntryOf(g.league[2], 2, 0)); },
                 "POOLPLYR.DAT - - 2 entry null 'Old Player 1'"}),
    [](const auto& info) { return std::string(info.param.label); });

class DiffFilesTest : public ::testing::Test {
protected:
    test::TempDir dir;
    SoundGame game;
    std::filesystem::path oldDir = dir.path() / "old", newDir = dir.path() / "new";
    void SetUp() override {
        game.Write(oldDir);
        game.Write(newDir);
    }
    std::vector<std::string> Diff(const std::string& a, const std::string& b) {
        auto diffs = DiffGamePaths(a, b);
        EXPECT_TRUE(diffs.ok()) << diffs.error().text;
        std::vector<std::string> got;
        if (diffs)
            for (const auto& d : *diffs)
                got.push_back(Brief(d));
        return got;
    }
};

TEST_F(DiffFilesTest, DirectoriesPairTheirFilesByNameInAnyCase) {
    EXPECT_TRUE(Diff(oldDir.string(), newDir.string()).empty());
    std::filesystem::rename(newDir / "EUROCUP.TMD", newDir / "Eurocup.tmd");
    EXPECT_TRUE(Diff(oldDir.string(), newDir.string()).empty());
    std::filesystem::remove(oldDir / "POOLPLYR.DAT");
    test::WriteBytes(oldDir / "TEAM.002", test::TeamBytes({}, true));
    EXPECT_EQ(Diff(oldDir.string(), newDir.string()),
              (std::vector<std::string>{"POOLPLYR.DAT - - - file null 'POOLPLYR.DAT'",
                                        "TEAM.002 - - - file 'TEAM.002' null"}));
}

TEST_F(DiffFilesTest, TwoFilesHeadersAndTrailingBytes) {
    auto bytes = test::ReadBytes(newDir / "TEAM.001");
    bytes[0] = 9;
    bytes.push_back(1);
    bytes.push_back(2);
    test::WriteBytes(newDir / "TEAM.001", bytes);
    const std::string end = std::to_string(2 + 3 * 684);
    EXPECT_EQ(Diff((oldDir / "TEAM.001").string(), (newDir / "team.001").string()),
              (std::vector<std::string>{"TEAM.001 - - - bytes '4b' '09' @0",
                                        "TEAM.001 - - - bytes null '01 02' @" + end}));
}

TEST_F(DiffFilesTest, TroubleIsAnError) {
    EXPECT_FALSE(DiffGamePaths((oldDir / "nothing").string(), newDir.string()).ok());
    EXPECT_FALSE(DiffGamePaths(oldDir.string(), (newDir / "TEAM.001").string()).ok());
    EXPECT_FALSE(DiffGamePaths((oldDir / "TEAM.001").string(), (newDir / "POOLPLYR.DAT").string()).ok());
    test::WriteBytes(dir.path() / "notes.txt", {1});
    EXPECT_FALSE(
        DiffGamePaths((dir.path() / "notes.txt").string(), (dir.path() / "notes.txt").string()).ok());
}

TEST_F(DiffFilesTest, ABackupRunIsComparedWithTheCurrentFiles) {
    BackupRun run;
    ASSERT_TRUE(run.EnsureBackedUp(newDir / "TEAM.001").ok());
    ASSERT_TRUE(run.EnsureBackedUp(newDir / "POOLPLYR.DAT").ok());
    const std::string runName = run.BackupPathFor(newDir / "TEAM.001").parent_path().filename().string();
    game.league[1].jugador[5].passing = 14;
    test::WriteBytes(newDir / "TEAM.001", test::TeamBytes(game.league, true));
    std::filesystem::remove(newDir / "POOLPLYR.DAT");
    auto diffs = DiffBackupRun(newDir.string(), runName);
    ASSERT_TRUE(diffs.ok()) << diffs.error().text;
    ASSERT_EQ(diffs->size(), 2u);
    EXPECT_EQ(Brief((*diffs)[0]), "POOLPLYR.DAT - - - file 'POOLPLYR.DAT' null");
    EXPECT_EQ(Brief((*diffs)[1]), "TEAM.001 1 6 - passing 6 14");
    EXPECT_EQ(DifferenceLine((*diffs)[1]),
              "TEAM.001 team 1 \"Rivera United\" slot 6 \"Riv Player 6\": passing 6 -> 14");
    EXPECT_FALSE(DiffBackupRun(newDir.string(), "2001-01-01_00-00-00").ok());
    EXPECT_FALSE(DiffBackupRun(newDir.string(), "../old").ok());
}

TEST(DifferenceLine, InWords) {
    GameFileDifference d;
    d.file = "TEAM.008";
    d.team = 3;
    d.teamName = "Sant\xE9 Atl\xE9tico";
    d.slot = 6;
    d.playerName = "J. Costa";
    d.field = "passing";
    d.oldValue = DiffValue::Of(12);
    d.newValue = DiffValue::Of(14);
    EXPECT_EQ(DifferenceLine(d),
              "TEAM.008 team 3 \"Sant\xE9 Atl\xE9tico\" slot 6 \"J. Costa\": passing 12 -> 14");
    d.field = "bytes";
    d.offset = 300;
    d.oldValue = DiffValue::Of(std::string("00 01"));
    d.newValue = DiffValue{};
    EXPECT_EQ(
        DifferenceLine(d),
        "TEAM.008 team 3 \"Sant\xE9 Atl\xE9tico\" slot 6 \"J. Costa\": bytes at offset 300 00 01 -> (none)");
}

} // namespace
} // namespace kivo
