#include "core/rosters/Reprice.h"

#include <gtest/gtest.h>

#include "core/gamefiles/TeamFile.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/prices/PriceCalculator.h"
#include "core/rosters/MarkedSlots.h"
#include "core/rosters/RosterFiles.h"
#include "core/support/FileLookup.h"
#include "core/teams/TeamEditing.h"
#include "RosterTestSupport.h"

namespace kivo::testing {
namespace {

class RepriceTest : public RosterFilesTest {
protected:
    RepriceTest() {
        // A goalkeeper with a price no formula would give, and a defender whose price already is his
        // formula's: neither may change.
        SetPosition(eight[1].jugador[2], 0);
        eight[1].jugador[2].valorPase = 49;
        WriteTeamFile(8, eight);
        before8 = ReadBytes(TeamFile(8));
    }

    // What the team editor's buttons give for each team, put into the file's bytes by price byte only.
    std::vector<std::uint8_t> Expected(const std::vector<std::uint8_t>& bytes,
                                       const std::vector<TeamRecord>& teams, bool original,
                                       const FormulaSet& formulas) {
        std::vector<std::uint8_t> out = bytes;
        PriceEvaluator evaluator;
        for (std::size_t k = 0; k < teams.size(); ++k) {
            TeamEditSession session = OpenTeamEdit(teams[k]);
            if (original) {
                ComputeOriginalPrices(session.state);
            } else {
                ComputeAllPrices(session.state, evaluator, formulas);
            }
            for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
                out[2 + k * kTeamRecordSize + team_offset::JUGADOR + i * kPlayerSlotSize +
                    slot_offset::VALORPASE] = session.state.team.players[i].priceCode;
        }
        return out;
    }

    RepricePlan Reprice(const std::vector<std::string>& files, const RepriceOptions& options,
                        const SlotSelection* only = nullptr) {
        auto plan = PlanReprice(files, options, only);
        EXPECT_TRUE(plan.ok());
        BackupRun backups;
        EXPECT_TRUE(ApplyReprice(backups, *plan).ok());
        return std::move(*plan);
    }
};

TEST_F(RepriceTest, EveryFileGetsWhatComputeAllPricesGivesByPriceByteOnly) {
    for (bool original : {false, true}) {
        WriteTeamFile(8, eight);
        WriteTeamFile(9, nine);
        RepriceOptions options;
        options.original = original;
        const RepricePlan plan = Reprice(LeagueTeamFiles(data), options);
        EXPECT_EQ(ReadBytes(TeamFile(8)), Expected(before8, eight, original, options.formulas));
        EXPECT_EQ(ReadBytes(TeamFile(9)), Expected(before9, nine, original, options.formulas));
        EXPECT_FALSE(plan.prices.empty());
        const std::vector<TeamChange> changes = RepriceChanges(plan);
        ASSERT_EQ(changes.size(), plan.prices.size());
        for (std::size_t i = 0; i < changes.size(); ++i) {
            EXPECT_EQ(changes[i].field, "price");
            EXPECT_EQ(changes[i].team, plan.prices[i].team);
            EXPECT_EQ(changes[i].slot, plan.prices[i].slot + 1u);
            EXPECT_NE(changes[i].before, changes[i].after);
        }
        // The goalkeeper keeps his price either way.
        EXPECT_EQ(ReadBytes(TeamFile(8))[2 + kTeamRecordSize + team_offset::JUGADOR + 2 * kPlayerSlotSize +
                                         slot_offset::VALORPASE],
                  49);
    }
}

TEST_F(RepriceTest, OnlyTheNamedFileIsWrittenAndABlankFormulaKeepsItsPrices) {
    RepriceOptions options;
    for (std::string& formula : options.formulas)
        formula = "   ";
    options.formulas[static_cast<std::size_t>(FormulaRole::Attack)] = "15m";
    Reprice({TeamFile(9)}, options);
    EXPECT_EQ(ReadBytes(TeamFile(8)), before8);
    const auto after = ReadBytes(TeamFile(9));
    EXPECT_EQ(after, Expected(before9, nine, false, options.formulas));
    // Only attackers changed, to 15M.
    for (std::size_t k = 0; k < nine.size(); ++k)
        for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
            const std::size_t at = 2 + k * kTeamRecordSize + team_offset::JUGADOR + i * kPlayerSlotSize;
            const bool attacker = PositionCodeOf(nine[k].jugador[i].posicionYAspecto) == 7;
            EXPECT_EQ(after[at + slot_offset::VALORPASE], attacker ? 48 : nine[k].jugador[i].valorPase);
        }
}

TEST_F(RepriceTest, ASelectionRepricesOnlyItsSlots) {
    RepriceOptions options;
    options.original = true;
    const std::string path = FindExistingFile(TeamFile(8)).string();
    const SlotSelection only = {{path, 0, 3}, {path, 3, 5}};
    const RepricePlan plan = Reprice({TeamFile(8), TeamFile(9)}, options, &only);
    EXPECT_EQ(plan.slotsPriced, 2u);
    // Team 0 slot 4 is a defender; team 3 slot 6 a goalkeeper, who keeps his price.
    ASSERT_EQ(PositionCodeOf(eight[0].jugador[3].posicionYAspecto), 3);
    ASSERT_EQ(PositionCodeOf(eight[3].jugador[5].posicionYAspecto), 0);
    std::vector<std::uint8_t> expected = before8;
    expected[2 + team_offset::JUGADOR + 3 * kPlayerSlotSize + slot_offset::VALORPASE] =
        OriginalPriceCode(SlotSkills(eight[0].jugador[3]));
    ASSERT_NE(expected, before8);
    EXPECT_EQ(ReadBytes(TeamFile(8)), expected);
    EXPECT_EQ(ReadBytes(TeamFile(9)), before9);
}

TEST_F(RepriceTest, NothingToChangeWritesNothing) {
    RepriceOptions options;
    Reprice(LeagueTeamFiles(data), options);
    std::filesystem::remove_all(std::filesystem::path(data) / "kivo-backups");
    const auto once8 = ReadBytes(TeamFile(8));
    const RepricePlan again = Reprice(LeagueTeamFiles(data), options);
    EXPECT_TRUE(again.prices.empty());
    EXPECT_TRUE(again.files.empty());
    EXPECT_EQ(ReadBytes(TeamFile(8)), once8);
    EXPECT_FALSE(BackupFolderExists());
}

TEST_F(RepriceTest, TheDatabaseRowsTakeTheNewPricesAndKeepTheirMarks) {
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
    OpenDatabase().connection().exec("UPDATE jugadores SET marca = 7 WHERE pais = 8");
    RepriceOptions options;
    options.original = true;
    const RepricePlan plan = Reprice(LeagueTeamFiles(data), options);
    auto db = OpenDatabase();
    const std::vector<PriceUpdate> updates = RepricedRows(plan);
    ASSERT_EQ(updates.size(), plan.prices.size());
    auto updated = UpdateRepricedRows(db, updates);
    ASSERT_TRUE(updated.ok());
    EXPECT_EQ(*updated, static_cast<std::int64_t>(updates.size()));
    // Every row now carries the price its slot has in the file.
    auto teams8 = ReadTeams(TeamFile(8));
    ASSERT_TRUE(teams8.ok());
    SQLite::Statement rows(db.connection(),
                           "SELECT valor_pase, marca FROM jugadores WHERE pais = 8 ORDER BY id");
    for (const TeamRecord& t : *teams8)
        for (const PlayerSlot& s : t.jugador) {
            ASSERT_TRUE(rows.executeStep());
            EXPECT_EQ(rows.getColumn(0).getInt(), s.valorPase);
            EXPECT_EQ(rows.getColumn(1).getInt(), 7);
        }
}

TEST_F(RepriceTest, TheMarkedPlayersAreFoundThroughTheirTeamAndSlot) {
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
    // Team 0 slot 4 of TEAM.008 (a defender) and team 2 slot 8 of TEAM.009.
    OpenDatabase().connection().exec(
        "UPDATE jugadores SET marca = 3 WHERE (pais = 8 AND equipo = 0 AND slot = 4) OR "
        "(pais = 9 AND equipo = 2 AND slot = 8)");
    auto db = OpenDatabase();
    auto marked = FindMarkedSlots(db, data, 3);
    ASSERT_TRUE(marked.ok()) << marked.error().text;
    EXPECT_EQ(marked->players, 2u);
    ASSERT_EQ(marked->files.size(), 2u);
    RepriceOptions options;
    options.original = true;
    const RepricePlan plan = Reprice(marked->files, options, &marked->selection);
    EXPECT_EQ(plan.slotsPriced, 2u);
    std::vector<std::uint8_t> expected8 = before8, expected9 = before9;
    auto price = [](const PlayerSlot& s) {
        return PositionCodeOf(s.posicionYAspecto) == 0 ? s.valorPase : OriginalPriceCode(SlotSkills(s));
    };
    expected8[2 + team_offset::JUGADOR + 3 * kPlayerSlotSize + slot_offset::VALORPASE] =
        price(eight[0].jugador[3]);
    expected9[2 + 2 * kTeamRecordSize + team_offset::JUGADOR + 7 * kPlayerSlotSize + slot_offset::VALORPASE] =
        price(nine[2].jugador[7]);
    EXPECT_EQ(ReadBytes(TeamFile(8)), expected8);
    EXPECT_EQ(ReadBytes(TeamFile(9)), expected9);
}

TEST_F(RepriceTest, MarksOnADatabaseOlderThanTheFilesPriceNothing) {
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
    OpenDatabase().connection().exec("UPDATE jugadores SET marca = 5 WHERE pais = 8 AND equipo = 1");
    TeamRecord moved = eight[1];
    std::swap(moved.jugador[0], moved.jugador[1]);
    ASSERT_TRUE(WriteTeam(TeamFile(8), 1, moved).ok());
    auto db = OpenDatabase();
    auto marked = FindMarkedSlots(db, data, 5);
    ASSERT_FALSE(marked.ok());
    EXPECT_NE(marked.error().text.find("2 marked players cannot be found"), std::string::npos)
        << marked.error().text;
    EXPECT_NE(marked.error().text.find("the slot holds another player now"), std::string::npos);
    db.connection().exec("UPDATE jugadores SET equipo = -1 WHERE marca = 5");
    marked = FindMarkedSlots(db, data, 5);
    ASSERT_FALSE(marked.ok());
    EXPECT_NE(marked.error().text.find("does not keep this player's team and slot"), std::string::npos);
}

TEST_F(RepriceTest, AFileThatCannotBeReadStopsThePlan) {
    WriteBytes(TeamFile(10), {0x01});
    auto plan = PlanReprice({TeamFile(10)}, RepriceOptions{});
    ASSERT_FALSE(plan.ok());
    EXPECT_NE(plan.error().text.find("shorter than 2 bytes"), std::string::npos);
}

} // namespace
} // namespace kivo::testing
