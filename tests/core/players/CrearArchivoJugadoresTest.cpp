#include "core/players/CrearArchivoJugadores.h"

#include <gtest/gtest.h>
#include <SQLiteCpp/Database.h>

#include "core/gamefiles/Catalogue.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::RecordingProgress;
using testing::TeamFileBytes;
using testing::TempDir;
using testing::WriteBytes;

class BuildTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string data = dir.file("data");
    std::string dbPath = dir.file("JUGADORES");
    void SetUp() override { std::filesystem::create_directories(data); }
    void WriteTeamFile(int n, const std::vector<TeamRecord>& teams) {
        WriteBytes(BatchTeamFilePath(data, n), TeamFileBytes(teams));
    }
    std::vector<StoredPlayer> AllRows() {
        auto db = PlayerDatabase::Open(dbPath, false);
        EXPECT_TRUE(db.ok());
        std::vector<StoredPlayer> rows;
        SQLite::Statement q(db->connection(),
                            std::string("SELECT id, ") + kPlayerColumns + " FROM jugadores ORDER BY id");
        while (q.executeStep())
            rows.push_back({q.getColumn(0).getInt64(), ReadPlayerColumns(q, 1)});
        return rows;
    }
};

TEST_F(BuildTest, ReadsFilesOneTo85InOrderSixteenRowsPerTeam) {
    WriteTeamFile(0, {MakeTeam(0, "ZERO")});
    WriteTeamFile(2, {MakeTeam(2, "TWO A", 0, 1), MakeTeam(2, "TWO B", 1, 2)});
    WriteTeamFile(1, {MakeTeam(1, "ONE", 3, 3)});
    WriteTeamFile(85, {MakeTeam(85, "LAST", 4, 4)});
    WriteTeamFile(86, {MakeTeam(86, "BEYOND")});
    RecordingProgress progress;
    auto summary = CrearArchivoJugadores(dbPath, data, progress);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(summary->filesRead, 3);
    EXPECT_EQ(summary->teams, 4);
    EXPECT_EQ(summary->rows, 64);
    EXPECT_EQ(summary->stoppedAtFile, 0);

    const std::vector<TeamRecord> expectedTeams = {MakeTeam(1, "ONE", 3, 3), MakeTeam(2, "TWO A", 0, 1),
                                                   MakeTeam(2, "TWO B", 1, 2), MakeTeam(85, "LAST", 4, 4)};
    auto rows = AllRows();
    ASSERT_EQ(rows.size(), 64u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TeamRecord& team = expectedTeams[i / 16];
        const PlayerSlot& slot = team.jugador[i % 16];
        const PlayerRow& r = rows[i].row;
        SCOPED_TRACE(i);
        EXPECT_EQ(r.pais, team.pais);
        EXPECT_EQ(r.nombreEquipo, team.nombreEquipo);
        EXPECT_EQ(r.division, team.division);
        EXPECT_EQ(r.nacionalidad, slot.nacionalidad);
        EXPECT_EQ(r.nroCamiseta, slot.nroCamiseta);
        EXPECT_EQ(r.nombreJugador, slot.nombreJugador);
        EXPECT_EQ(r.puesto, slot.posicionYAspecto >> 5);
        EXPECT_EQ(r.skills[0], slot.passing);
        EXPECT_EQ(r.skills[1], slot.shootingYHeading >> 4);
        EXPECT_EQ(r.skills[2], slot.shootingYHeading & 15);
        EXPECT_EQ(r.skills[3], slot.tacklingYBallControl >> 4);
        EXPECT_EQ(r.skills[4], slot.tacklingYBallControl & 15);
        EXPECT_EQ(r.skills[5], slot.speedYFinishing >> 4);
        EXPECT_EQ(r.skills[6], slot.speedYFinishing & 15);
        EXPECT_EQ(r.valorPase, slot.valorPase);
        EXPECT_EQ(r.marca, 0);
    }

    // Progress: every file number 1..85 is shown, teams counted from 1, keys last with the rest hidden.
    std::vector<long long> files;
    for (const auto& s : progress.states)
        if (s.label1 == "Reading File:" && s.value2 == -1) files.push_back(s.value1);
    ASSERT_EQ(files.size(), 85u);
    EXPECT_EQ(files.front(), 1);
    EXPECT_EQ(files.back(), 85);
    const auto& last = progress.states.back();
    EXPECT_EQ(last.label1, "Building File Keys");
    EXPECT_EQ(last.value1, -1);
    EXPECT_EQ(last.value2, -1);
    EXPECT_TRUE(last.label2.empty());
    EXPECT_EQ(last.title, "Creating File");
}

TEST_F(BuildTest, HeaderOnlyFileGivesNoRowsAndEmptyFileStopsTheScan) {
    WriteTeamFile(1, {MakeTeam(1, "ONE")});
    WriteBytes(BatchTeamFilePath(data, 2), {0, 0});
    WriteTeamFile(4, {MakeTeam(4, "FOUR")});
    WriteBytes(BatchTeamFilePath(data, 5), {});
    WriteTeamFile(6, {MakeTeam(6, "SIX")});
    NoProgress progress;
    auto summary = CrearArchivoJugadores(dbPath, data, progress);
    ASSERT_TRUE(summary.ok());
    EXPECT_EQ(summary->stoppedAtFile, 5);
    EXPECT_EQ(summary->filesRead, 3);
    auto rows = AllRows();
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(rows.front().row.pais, 1);
    EXPECT_EQ(rows.back().row.pais, 4);
    // The orders are built over what was read before the stop.
    auto db = PlayerDatabase::Open(dbPath, false);
    auto byName = ListPlayers(*db, {.order = PlayerOrder::Name, .limit = 0});
    ASSERT_TRUE(byName.ok());
    EXPECT_EQ(byName->size(), 32u);
}

TEST_F(BuildTest, PartialLastRecordIsIgnored) {
    auto bytes = TeamFileBytes({MakeTeam(1, "ONE"), MakeTeam(1, "TWO")});
    bytes.resize(bytes.size() - 1);
    WriteBytes(BatchTeamFilePath(data, 1), bytes);
    NoProgress progress;
    auto summary = CrearArchivoJugadores(dbPath, data, progress);
    ASSERT_TRUE(summary.ok());
    EXPECT_EQ(summary->rows, 16);
}

TEST_F(BuildTest, DirectoryWithTrailingSeparatorIsUsedAsTyped) {
    WriteTeamFile(3, {MakeTeam(3, "THREE")});
    NoProgress progress;
    auto summary = CrearArchivoJugadores(dbPath, data + "/", progress);
    ASSERT_TRUE(summary.ok());
    EXPECT_EQ(summary->rows, 16);
}

TEST_F(BuildTest, UpperAndLowerCaseFileNamesAreFound) {
    WriteBytes(data + "/team.007", TeamFileBytes({MakeTeam(7, "SEVEN")}));
    NoProgress progress;
    auto summary = CrearArchivoJugadores(dbPath, data, progress);
    ASSERT_TRUE(summary.ok());
    EXPECT_EQ(summary->rows, 16);
}

TEST_F(BuildTest, BlankNamedSlotsAreRowsOutsideTheNameOrder) {
    TeamRecord team = MakeTeam(1, "ONE");
    team.jugador[3].nombreJugador.fill(' ');
    team.jugador[7].nombreJugador.fill(0);
    team.jugador[9].nombreJugador.fill(0);
    team.jugador[9].nombreJugador[0] = ' ';
    WriteTeamFile(1, {team});
    NoProgress progress;
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, progress).ok());
    auto db = PlayerDatabase::Open(dbPath, false);
    for (int o = 0; o <= static_cast<int>(PlayerOrder::Country); ++o) {
        const auto order = static_cast<PlayerOrder>(o);
        auto rows = ListPlayers(*db, {.order = order, .limit = 0});
        ASSERT_TRUE(rows.ok());
        SCOPED_TRACE(o);
        const std::size_t expected = order == PlayerOrder::Name ? 13 : order == PlayerOrder::Mark ? 0 : 16;
        EXPECT_EQ(rows->size(), expected);
        EXPECT_EQ(*CountPlayers(*db, order, std::nullopt), static_cast<std::int64_t>(expected));
    }
    // The all-blank name keeps its bytes.
    auto row = db->Get(4);
    ASSERT_TRUE(row.ok() && row->has_value());
    EXPECT_EQ((*row)->row.nombreJugador, team.jugador[3].nombreJugador);
}

TEST_F(BuildTest, RebuildReplacesRowsAndMarks) {
    WriteTeamFile(1, {MakeTeam(1, "ONE"), MakeTeam(1, "TWO")});
    NoProgress progress;
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, progress).ok());
    {
        auto db = PlayerDatabase::Open(dbPath, false);
        db->connection().exec("UPDATE jugadores SET marca = 7");
    }
    WriteTeamFile(1, {MakeTeam(1, "ONLY")});
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, progress).ok());
    auto rows = AllRows();
    ASSERT_EQ(rows.size(), 16u);
    for (const auto& r : rows)
        EXPECT_EQ(r.row.marca, 0);
    auto db = PlayerDatabase::Open(dbPath, false);
    EXPECT_EQ(*CountPlayers(*db, PlayerOrder::Mark, std::nullopt), 0);
}

// Another connection looking in while the build runs sees the old database, never a part of the new one.
class PeekingProgress final : public Progress {
public:
    explicit PeekingProgress(std::string path) : path_(std::move(path)) {}
    bool Update(const ProgressState& state) override {
        if (state.value2 == 1 && state.value1 == 2) {
            auto db = PlayerDatabase::Open(path_, false);
            seen = db ? *db->CountRows() : -1;
        }
        return true;
    }
    std::int64_t seen = -2;

private:
    std::string path_;
};

TEST_F(BuildTest, OtherReadersSeeTheOldRowsUntilTheEnd) {
    WriteTeamFile(1, {MakeTeam(1, "ONE")});
    NoProgress quiet;
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
    WriteTeamFile(2, {MakeTeam(2, "TWO"), MakeTeam(2, "THREE")});
    PeekingProgress peek(dbPath);
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, peek).ok());
    EXPECT_EQ(peek.seen, 16);
    EXPECT_EQ(AllRows().size(), 48u);
}

TEST_F(BuildTest, GarbageDatabaseFileIsReplaced) {
    WriteBytes(dbPath, std::vector<std::uint8_t>(1000, 0x41));
    WriteTeamFile(1, {MakeTeam(1, "ONE")});
    NoProgress progress;
    auto summary = CrearArchivoJugadores(dbPath, data, progress);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(AllRows().size(), 16u);
}

TEST_F(BuildTest, DatabaseThatCannotBeCreatedIsAnError) {
    WriteTeamFile(1, {MakeTeam(1, "ONE")});
    NoProgress progress;
    auto summary = CrearArchivoJugadores(dir.file("missing/dir/JUGADORES"), data, progress);
    ASSERT_FALSE(summary.ok());
    EXPECT_NE(summary.error().text.find("missing/dir/JUGADORES"), std::string::npos) << summary.error().text;
}

TEST_F(BuildTest, AbandonedLoadLeavesTheOldDatabase) {
    WriteTeamFile(1, {MakeTeam(1, "ONE")});
    NoProgress progress;
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, progress).ok());
    {
        auto db = PlayerDatabase::Open(dbPath, false);
        auto load = PlayerDatabaseLoad::Begin(*db);
        ASSERT_TRUE(load.ok());
        ASSERT_TRUE(load->Append(MakePlayerRow(MakeTeam(9, "NEW"), 0)).ok());
        // Gone without Finish, as when an append fails.
    }
    auto rows = AllRows();
    ASSERT_EQ(rows.size(), 16u);
    EXPECT_EQ(rows[0].row.pais, 1);
    auto db = PlayerDatabase::Open(dbPath, false);
    EXPECT_EQ(*CountPlayers(*db, PlayerOrder::Name, std::nullopt), 16);
}

} // namespace
} // namespace kivo
