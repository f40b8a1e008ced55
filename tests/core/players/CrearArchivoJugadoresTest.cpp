#include "core/players/CrearArchivoJugadores.h"

#include <numeric>

#include "core/players/PlayerOrders.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::WriteBytes;

class BuildTest : public testing::TeamFilesTest {
protected:
    std::vector<StoredPlayer> AllRows() {
        auto db = OpenDatabase();
        std::vector<StoredPlayer> rows;
        SQLite::Statement q(db.connection(),
                            std::string("SELECT id, ") + kPlayerColumns + " FROM jugadores ORDER BY id");
        while (q.executeStep())
            rows.push_back({q.getColumn(0).getInt64(), ReadPlayerColumns(q, 1)});
        return rows;
    }
};

TEST_F(BuildTest, ReadsFilesOneTo85InOrderSixteenRowsPerTeamBlankNamesIncluded) {
    TeamRecord one = MakeTeam(1, "ONE", 3, 3);
    for (std::size_t i = 0; i < kPlayerNameWidth; ++i) { // Latin-1 and control bytes survive
        one.jugador[0].nombreJugador[i] = static_cast<std::uint8_t>(0x80 + 5 * i);
        one.jugador[1].nombreJugador[i] = static_cast<std::uint8_t>(0xFF - i);
        one.jugador[2].nombreJugador[i] = static_cast<std::uint8_t>(1 + i);
    }
    one.jugador[3].nombreJugador.fill(' '); // a blank name is a row too, outside the name order only
    one.jugador[4].nombreJugador.fill(0);
    WriteTeamFile(0, {MakeTeam(0, "ZERO")});
    WriteBytes(data + "/team.002",
               testing::TeamFileBytes({MakeTeam(2, "TWO A", 0, 1), MakeTeam(2, "TWO B", 1, 2)}));
    WriteTeamFile(1, {one});
    WriteTeamFile(85, {MakeTeam(85, "LAST", 4, 4)});
    WriteTeamFile(86, {MakeTeam(86, "BEYOND")});
    testing::RecordingProgress progress;
    auto summary = CrearArchivoJugadores(dbPath, data, progress);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(summary->filesRead, 3);
    EXPECT_EQ(summary->teams, 4);
    EXPECT_EQ(summary->stoppedAtFile, 0);

    const std::vector<TeamRecord> teams = {one, MakeTeam(2, "TWO A", 0, 1), MakeTeam(2, "TWO B", 1, 2),
                                           MakeTeam(85, "LAST", 4, 4)};
    auto rows = AllRows();
    ASSERT_EQ(rows.size(), 64u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TeamRecord& t = teams[i / 16];
        const PlayerSlot& s = t.jugador[i % 16];
        Skills skills{s.passing}; // then the high and low halves of the three packed bytes
        const std::uint8_t packed[] = {s.shootingYHeading, s.tacklingYBallControl, s.speedYFinishing};
        for (std::size_t k = 0; k < 3; ++k) {
            skills[1 + 2 * k] = packed[k] >> 4;
            skills[2 + 2 * k] = packed[k] & 15;
        }
        const std::uint8_t position = s.posicionYAspecto >> 5;
        const PlayerRow expected{t.pais,          t.nombreEquipo, t.division, s.nacionalidad, s.nroCamiseta,
                                 s.nombreJugador, position,       skills,     s.valorPase,    0,
                                 // the team's index in its file and the slot
                                 (i / 16) == 2 ? 1 : 0, static_cast<int>(i % 16) + 1};
        EXPECT_EQ(rows[i].row, expected) << "row " << i;
    }
    auto db = OpenDatabase();
    EXPECT_EQ(*CountPlayers(db, PlayerOrder::Name, std::nullopt), 62);
    EXPECT_EQ(ListPlayers(db, {.order = PlayerOrder::Name, .limit = 0})->size(), 62u);
    EXPECT_EQ(*CountPlayers(db, PlayerOrder::Position, std::nullopt), 64);
    // Every number from 1 to 85 is tried, in order, and no other.
    std::vector<long long> tried, expected(85);
    std::iota(expected.begin(), expected.end(), 1);
    for (const auto& s : progress.states)
        if (s.label1 == "Reading File:" && s.value2 == -1) tried.push_back(s.value1);
    EXPECT_EQ(tried, expected);
}

TEST_F(BuildTest, HeaderOnlyFileGivesNoRowsAndEmptyFileStopsTheScan) {
    WriteBytes(dbPath, std::vector<std::uint8_t>(1000, 0x41)); // not a database: replaced
    WriteTeamFile(1, {MakeTeam(1, "ONE")});
    WriteBytes(TeamFile(2), {0, 0});
    WriteTeamFile(4, {MakeTeam(4, "FOUR")});
    WriteBytes(TeamFile(5), {});
    WriteTeamFile(6, {MakeTeam(6, "SIX")});
    auto summary = CrearArchivoJugadores(dbPath, data, quiet);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(summary->stoppedAtFile, 5);
    EXPECT_EQ(summary->filesRead, 3);
    EXPECT_EQ(Count("pais = 1"), 16);
    EXPECT_EQ(Count("pais = 4"), 16);
    EXPECT_EQ(Count("1"), 32);
}

// Another connection looking in while the build runs sees the old database, never a part of the new one.
class PeekingProgress final : public Progress {
public:
    explicit PeekingProgress(std::string path) : path_(std::move(path)) {}
    bool Update(const ProgressState& state) override {
        if (state.value1 != 2 || state.value2 != 1) return true;
        if (auto db = PlayerDatabase::Open(path_, false)) seen = *db->CountRows();
        return true;
    }
    std::int64_t seen = -1;

private:
    std::string path_;
};

TEST_F(BuildTest, RebuildReplacesRowsAndMarksInOneTransaction) {
    WriteTeamFile(1, {MakeTeam(1, "ONE")});
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
    OpenDatabase().connection().exec("UPDATE jugadores SET marca = 7");
    WriteTeamFile(2, {MakeTeam(2, "TWO"), MakeTeam(2, "THREE")});
    PeekingProgress peek(dbPath);
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, peek).ok());
    EXPECT_EQ(peek.seen, 16);
    EXPECT_EQ(Count("1"), 48);
    EXPECT_EQ(Count("marca <> 0"), 0);
    auto db = OpenDatabase();
    EXPECT_EQ(*CountPlayers(db, PlayerOrder::Mark, std::nullopt), 0);
}

} // namespace
} // namespace kivo
