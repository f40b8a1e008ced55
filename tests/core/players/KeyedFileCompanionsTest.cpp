#include "core/players/KeyedFileCompanions.h"

#include <filesystem>

#include <SQLiteCpp/Database.h>

#include "../TestFiles.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

class KeyedFileCompanionsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string db = dir.file("JUGADORES");
    std::string wal = db + "-wal", shm = db + "-shm";
    Bytes before;

    void SetUp() override {
        {
            SQLite::Database made(db, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            made.exec("PRAGMA journal_mode=WAL");
            made.exec("CREATE TABLE t(x); INSERT INTO t VALUES (1)");
        }
        ASSERT_FALSE(fs::exists(wal)); // the last connection to close removes them
        before = ReadBytes(db);
    }
};

TEST_F(KeyedFileCompanionsTest, AnEmptyLogAndAnUnusedIndexAreRemoved) {
    // As an open that failed on a full disk leaves them.
    WriteBytes(wal, {});
    WriteBytes(shm, Bytes(32768, 0));
    RemoveIdleCompanions(db);
    EXPECT_FALSE(fs::exists(wal));
    EXPECT_FALSE(fs::exists(shm));
    EXPECT_EQ(ReadBytes(db), before);
    RemoveIdleCompanions(db); // nothing there: nothing to do
    EXPECT_EQ(ReadBytes(db), before);
}

TEST_F(KeyedFileCompanionsTest, FilesInUseByAConnectionOfThisProcessStay) {
    SQLite::Database open(db, SQLite::OPEN_READWRITE);
    EXPECT_EQ(open.execAndGet("SELECT x FROM t").getInt(), 1); // holds the shared-memory file's lock
    ASSERT_TRUE(fs::exists(shm));
    if (!fs::exists(wal)) WriteBytes(wal, {});
    RemoveIdleCompanions(db);
    EXPECT_TRUE(fs::exists(wal));
    EXPECT_TRUE(fs::exists(shm));
    // The connection's locks are whole: it still writes and reads.
    open.exec("INSERT INTO t VALUES (2)");
    EXPECT_EQ(open.execAndGet("SELECT count(*) FROM t").getInt(), 2);
}

TEST_F(KeyedFileCompanionsTest, ALogWithFramesStays) {
    WriteBytes(wal, Bytes(4096 + 32, 1));
    WriteBytes(shm, Bytes(32768, 0));
    RemoveIdleCompanions(db);
    EXPECT_EQ(fs::file_size(wal), 4096u + 32u);
    EXPECT_TRUE(fs::exists(shm));
}

} // namespace
} // namespace kivo
