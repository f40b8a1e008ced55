#include <filesystem>

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/KeyedFileOpen.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerOrders.h"
#include "core/players/ProcesoActualizacionArchivo.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using testing::MakeTeam;
using testing::ReadBytes;
using testing::WriteBytes;

// A database of a few teams, built and closed, every fourth row marked 3.
class DamagedDatabaseTest : public testing::TeamFilesTest {
protected:
    void SetUp() override {
        std::vector<TeamRecord> teams;
        for (int k = 0; k < 40; ++k)
            teams.push_back(MakeTeam(1, "TEAM " + std::to_string(k), 0, k));
        WriteTeamFile(1, teams);
        ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
        OpenDatabase().connection().exec("UPDATE jugadores SET marca = 3 WHERE id % 4 = 0");
        Checkpoint();
    }
    // Folds the journal into the file, as the last connection does, so that the file's bytes are all.
    void Checkpoint() {
        auto db = OpenDatabase();
        db.connection().exec("PRAGMA wal_checkpoint(TRUNCATE)");
    }
    void Poke(std::size_t offset, const std::vector<std::uint8_t>& bytes) {
        auto file = ReadBytes(dbPath);
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(offset));
        DropJournal();
        WriteBytes(dbPath, file);
    }
    void DropJournal() {
        fs::remove(dbPath + "-wal");
        fs::remove(dbPath + "-shm");
    }
};

struct Damage {
    const char* label;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.label;
}

class HeaderDamage : public DamagedDatabaseTest, public ::testing::WithParamInterface<Damage> {};

// Header fields SQLite trusts without checking: the file must be found damaged on opening, the keys cannot
// mend it, and a build replaces it with a sound database, keeping the damaged one aside.
TEST_P(HeaderDamage, IsFoundOnOpeningAndABuildReplacesIt) {
    Poke(GetParam().offset, GetParam().bytes);
    const OpenAttempt attempt = OpenPlayerDatabaseFile(dbPath, false);
    EXPECT_EQ(attempt.failure, OpenFailure::KeysInvalid) << attempt.reason;
    // Answering the key question with Yes cannot mend it: the rebuild fails and says so.
    EXPECT_FALSE(RebuildPlayerDatabaseKeys(dbPath).ok());
    const auto damaged = ReadBytes(dbPath);
    OpenAttempt readOnly;
    EXPECT_FALSE(PlayerDatabase::OpenReadOnly(dbPath, readOnly).ok());
    EXPECT_EQ(readOnly.failure, OpenFailure::KeysInvalid);

    auto summary = CrearArchivoJugadores(dbPath, data, quiet);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(summary->damagedKeptAs, dbPath + ".damaged");
    EXPECT_EQ(ReadBytes(dbPath + ".damaged"), damaged);
    EXPECT_TRUE(OpenPlayerDatabaseFile(dbPath, false).ok());
    EXPECT_EQ(Count("1"), 640);
    // The skill orders are best first again.
    auto db = OpenDatabase();
    auto page = ListPlayers(db, {.order = PlayerOrder::Passing, .limit = 2});
    ASSERT_TRUE(page.ok());
    EXPECT_EQ(page->front().row.skills[0], 15);
}

INSTANTIATE_TEST_SUITE_P(Header, HeaderDamage,
                         ::testing::Values(Damage{"SchemaFormat80000000", 44, {0x80, 0, 0, 0}},
                                           Damage{"SchemaFormat1", 44, {0, 0, 0, 1}},
                                           // SQLite refuses to read format 5 at all: still a damaged file.
                                           Damage{"SchemaFormat5", 44, {0, 0, 0, 5}},
                                           Damage{"IncrementalVacuumByte64", 64, {1}}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(DamagedDatabaseTest, ClearingAFileMissingItsLastByteEnds) {
    auto bytes = ReadBytes(dbPath);
    bytes.pop_back();
    DropJournal();
    WriteBytes(dbPath, bytes);
    auto db = PlayerDatabase::Open(dbPath, false);
    ASSERT_TRUE(db.ok());
    testing::RecordingProgress progress;
    auto outcome = BorrarMarcas(*db, 0, progress);
    // However it ends, it ends, and a pass never reads more rows than are marked.
    if (outcome.ok()) {
        EXPECT_LE(outcome->processed, 160);
    }
    EXPECT_LE(progress.states.size(), 10u);
}

TEST_F(DamagedDatabaseTest, AReadErrorKeepsTheRowsAlreadyMarked) {
    // Every row of nationality 5 in place order; then a page in the middle of the table is overwritten, so
    // the scan meets it after some slices.
    OpenDatabase().connection().exec("UPDATE jugadores SET nacionalidad = 5, marca = 0");
    Checkpoint();
    auto bytes = ReadBytes(dbPath);
    const std::size_t pageSize = 4096;
    ASSERT_GT(bytes.size(), 12 * pageSize);
    std::fill(bytes.begin() + 6 * pageSize + 100, bytes.begin() + 7 * pageSize, std::uint8_t{0xFF});
    WriteBytes(dbPath, bytes);
    auto db = PlayerDatabase::Open(dbPath, false);
    ASSERT_TRUE(db.ok());
    SearchCriteria c;
    c.nacionalidad = 5;
    auto outcome = MarcarJugadoresPorNacionalidad(*db, c, 9, quiet);
    ASSERT_TRUE(outcome.ok()) << outcome.error().text;
    EXPECT_EQ(outcome->end, PassEnd::ReadError);
    EXPECT_FALSE(outcome->failure.empty());
    EXPECT_GT(outcome->found, 0);
    EXPECT_LT(outcome->found, 640);
    const auto kept =
        db->connection()
            .execAndGet("SELECT count(*) FROM jugadores INDEXED BY key_marca WHERE marca <> 0 AND marca = 9")
            .getInt64();
    EXPECT_EQ(kept, outcome->found);
}

struct BadDirectory {
    const char* label;
    std::string relative; // inside the test directory; "" for the data directory without team files
    bool makeFile;
};

void PrintTo(const BadDirectory& d, std::ostream* os) {
    *os << d.label;
}

class BuildRefused : public DamagedDatabaseTest, public ::testing::WithParamInterface<BadDirectory> {};

TEST_P(BuildRefused, LeavesTheDatabaseByteForByte) {
    const auto before = ReadBytes(dbPath);
    const BadDirectory& bad = GetParam();
    std::string directory = dir.file(bad.relative);
    if (bad.makeFile) WriteBytes(directory, {1, 2});
    if (bad.relative == "empty") fs::create_directories(directory);
    if (bad.relative == "others") {
        fs::create_directories(directory);
        WriteBytes(directory + "/TEAM.000", testing::TeamFileBytes({MakeTeam(0, "ZERO")}));
        WriteBytes(directory + "/TEAM.086", testing::TeamFileBytes({MakeTeam(86, "BEYOND")}));
    }
    auto summary = CrearArchivoJugadores(dbPath, directory, quiet);
    ASSERT_FALSE(summary.ok());
    EXPECT_NE(summary.error().text.find("The player database was not changed."), std::string::npos)
        << summary.error().text;
    EXPECT_NE(summary.error().text.find(directory), std::string::npos) << summary.error().text;
    EXPECT_EQ(ReadBytes(dbPath), before);
}

INSTANTIATE_TEST_SUITE_P(Directory, BuildRefused,
                         ::testing::Values(BadDirectory{"Missing", "missing", false},
                                           BadDirectory{"AFile", "plain", true},
                                           BadDirectory{"Empty", "empty", false},
                                           BadDirectory{"OnlyFilesOutsideOneTo85", "others", false}),
                         [](const auto& info) { return std::string(info.param.label); });

// A sparse file of 10 GB: a build leaves it out with a note and an update refuses it, both at once.
TEST_F(DamagedDatabaseTest, AHugeTeamFileIsRefusedByEveryReader) {
    const std::string huge = TeamFile(2);
    {
        std::ofstream out(huge, std::ios::binary);
        out.write("\x01\x00", 2);
    }
    fs::resize_file(huge, 10ull << 30);
    auto summary = CrearArchivoJugadores(dbPath, data, quiet);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    ASSERT_EQ(summary->skipped.size(), 1u);
    EXPECT_NE(summary->skipped[0].find("far too large"), std::string::npos) << summary->skipped[0];
    EXPECT_EQ(summary->rows, 640);
    auto db = OpenDatabase();
    const auto before = Count("1");
    auto update = ProcesoActualizacionArchivo(db, huge, 2, quiet);
    ASSERT_FALSE(update.ok());
    EXPECT_EQ(update.error().text.rfind("File " + huge + " can not be read.", 0), 0u) << update.error().text;
    EXPECT_EQ(Count("1"), before);
    EXPECT_LT(fs::file_size(dbPath + "-wal"), 10u << 20);
}

// Listing opens the file read-only: it changes no byte and leaves no journal beside it, also when the file
// may not be written.
TEST_F(DamagedDatabaseTest, ListingChangesNothingAndAReadOnlyFileIsListed) {
    DropJournal();
    const auto before = ReadBytes(dbPath);
    auto list = [&](PlayerOrder order, std::optional<std::uint8_t> mark, std::int64_t limit) {
        OpenAttempt attempt;
        auto db = PlayerDatabase::OpenReadOnly(dbPath, attempt);
        EXPECT_TRUE(db.ok()) << db.error().text;
        std::int64_t rows = 0;
        EXPECT_TRUE(ForEachPlayer(*db, order, mark, limit, [&](std::int64_t, const PlayerRow& r) {
                        EXPECT_TRUE(!mark || r.marca == *mark);
                        return ++rows > 0;
                    }).ok());
        EXPECT_FALSE(db->connection().tryExec("UPDATE jugadores SET marca = 1") == 0);
        return rows;
    };
    EXPECT_EQ(list(PlayerOrder::Name, std::nullopt, 7), 7);
    EXPECT_FALSE(fs::exists(dbPath + "-wal"));
    EXPECT_EQ(ReadBytes(dbPath), before);
    OpenAttempt missing;
    EXPECT_FALSE(PlayerDatabase::OpenReadOnly(dir.file("none"), missing).ok());
    EXPECT_EQ(missing.failure, OpenFailure::NotFound);
    EXPECT_FALSE(fs::exists(dir.file("none")));

    fs::permissions(dbPath, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (::access(dbPath.c_str(), W_OK) == 0) GTEST_SKIP() << "running as a user who may write any file";
    EXPECT_EQ(list(PlayerOrder::Mark, 3, 0), 160);
    EXPECT_FALSE(fs::exists(dbPath + "-wal"));
    EXPECT_FALSE(fs::exists(dbPath + "-shm"));
    EXPECT_EQ(ReadBytes(dbPath), before);
}

} // namespace
} // namespace kivo
