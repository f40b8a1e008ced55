// A disk that is full, as a small tmpfs mounted for the test (only where the test may mount one: as root,
// with mount permitted; skipped elsewhere).

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "../TestFiles.h"
#include "core/backups/Backups.h"
#include "core/clipboard/ClipboardStore.h"
#include "core/players/KeyedFileOpen.h"
#include "core/settings/IniFile.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;

class FullDisk : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path disk = dir.path() / "disk";
    bool mounted = false;

    void SetUp() override {
        fs::create_directories(disk);
        if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a small file system here";
        mounted = true;
        test::WriteBytes(disk / "TEAM.001", test::Bytes(20000, 7));
        // Fill what is left.
        std::ofstream fill(disk / "fill", std::ios::binary);
        std::string block(4096, 'x');
        while (fill.write(block.data(), static_cast<std::streamsize>(block.size())))
            ;
    }
    void TearDown() override {
        if (mounted) ::umount(disk.c_str());
    }
};

TEST_F(FullDisk, AKeyedFileThatCannotBeMadeLeavesNoEmptyFile) {
    const std::string clipboard = (disk / "portapap.tps").string();
    const OpenAttempt attempt = OpenClipboardFile(clipboard, true);
    EXPECT_EQ(attempt.failure, OpenFailure::CreateFailed) << attempt.reason;
    EXPECT_FALSE(fs::exists(clipboard));
    EXPECT_FALSE(fs::exists(clipboard + "-wal"));
    EXPECT_FALSE(ClipboardStore::Open(clipboard, true).ok());
    EXPECT_FALSE(fs::exists(clipboard));
}

TEST_F(FullDisk, ACopyThatDoesNotFitLeavesTheOlderCopyWhole) {
    // An older backup from before the disk filled up, and room for nothing more.
    fs::remove(disk / "fill");
    test::WriteBytes(disk / "Eurocup.bak", {1, 2, 3});
    std::ofstream fill(disk / "fill", std::ios::binary);
    std::string block(1024, 'x');
    while (fill.write(block.data(), static_cast<std::streamsize>(block.size())))
        ;
    fill.close();
    EXPECT_FALSE(CopyFileWhole(disk / "TEAM.001", disk / "Eurocup.bak").ok());
    EXPECT_EQ(test::ReadBytes(disk / "Eurocup.bak"), (test::Bytes{1, 2, 3}));
    EXPECT_FALSE(fs::exists(disk / "Eurocup.bak.partial"));
    BackupRun run;
    EXPECT_FALSE(run.EnsureBackedUp(disk / "TEAM.001").ok());
    EXPECT_FALSE(fs::exists(run.BackupPathFor(disk / "TEAM.001")));
}

// A settings file that no longer fits: the write fails and the file stays as it was, whole.
TEST_F(FullDisk, ASettingsWriteThatDoesNotFitLeavesTheFileWhole) {
    fs::remove(disk / "fill");
    std::string ini = "[Formula]\r\nFormulaDelantero=1k\r\n";
    while (ini.size() < 24000)
        ini += "; a long comment that fills the settings file\r\n";
    test::WriteText(disk / "ventanas.ini", ini);
    std::ofstream fill(disk / "fill", std::ios::binary);
    std::string block(1024, 'x');
    while (fill.write(block.data(), static_cast<std::streamsize>(block.size())))
        ;
    fill.close();
    EXPECT_FALSE(WriteIniText((disk / "ventanas.ini").string(), "Formula", "FormulaDelantero", "2k"));
    EXPECT_EQ(test::ReadText(disk / "ventanas.ini"), ini);
    EXPECT_FALSE(fs::exists(disk / "ventanas.ini.partial"));
}

} // namespace
} // namespace kivo

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "core/support/Progress.h"

namespace kivo {
namespace {

// JUGADORES on a file system mounted read-only (a CD, a locked share): it is listed all the same, and
// nothing is created beside it.
TEST(ReadOnlyDisk, TheDatabaseIsListedAndNothingIsWritten) {
    test::TempDir dir;
    const fs::path disk = dir.path() / "disk";
    fs::create_directories(disk);
    if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "cannot mount a small file system here";
    struct Unmount {
        fs::path at;
        ~Unmount() { ::umount(at.c_str()); }
    } unmount{disk};
    {
        std::vector<std::uint8_t> team(2 + 684, 0);
        team[0] = 1;
        test::WriteBytes(disk / "TEAM.001", team);
        NoProgress quiet;
        ASSERT_TRUE(CrearArchivoJugadores((disk / "JUGADORES").string(), disk.string(), quiet).ok());
    }
    ASSERT_EQ(::mount("tmpfs", disk.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=4m"), 0);
    const auto before = test::ReadBytes(disk / "JUGADORES");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(disk))
        names.push_back(entry.path().filename().string());
    OpenAttempt attempt;
    auto db = PlayerDatabase::OpenReadOnly((disk / "JUGADORES").string(), attempt);
    ASSERT_TRUE(db.ok()) << db.error().text;
    std::int64_t rows = 0;
    ASSERT_TRUE(
        ForEachPlayer(*db, PlayerOrder::Country, std::nullopt, 0, [&](std::int64_t, const PlayerRow&) {
            return ++rows > 0;
        }).ok());
    EXPECT_EQ(rows, 16);
    std::vector<std::string> after;
    for (const auto& entry : fs::directory_iterator(disk))
        after.push_back(entry.path().filename().string());
    EXPECT_EQ(after, names);
    EXPECT_EQ(test::ReadBytes(disk / "JUGADORES"), before);
}

} // namespace
} // namespace kivo
