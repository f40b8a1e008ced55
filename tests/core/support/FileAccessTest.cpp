#include "core/support/FileAccess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "../TestFiles.h"
#include "core/backups/Backups.h"
#include "core/gamefiles/TeamFile.h"
#include "core/settings/IniFile.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempDir;
using test::WriteText;

int ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return static_cast<int>(st.st_mode & 07777);
}

// A FIFO in place of a file blocks whoever opens it for reading until a writer comes: every reader must
// refuse it at once (a test that hangs here fails by the suite's time limit).
TEST(FileAccess, AFifoOrAFolderIsRefusedWithoutWaiting) {
    TempDir dir;
    const fs::path fifo = dir.path() / "TEAM.005";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const fs::path folder = dir.path() / "TEAM.006";
    fs::create_directory(folder);
    for (const fs::path& path : {fifo, folder}) {
        SCOPED_TRACE(path.string());
        for (bool writable : {false, true}) {
            auto opened = OpenRegularFile(path, writable);
            ASSERT_FALSE(opened.ok());
            EXPECT_NE(opened.error().text.find(path.string()), std::string::npos) << opened.error().text;
        }
        EXPECT_FALSE(ReadWholeFile(path, 1 << 20).ok());
        EXPECT_FALSE(ReadTeams(path.string()).ok());
        EXPECT_FALSE(TeamFile::Open(path.string(), TeamFile::Mode::ReadWrite).ok());
        EXPECT_EQ(ReadIniText(path.string(), "Formula", "FormulaDelantero", "fallback"), "fallback");
        EXPECT_FALSE(WriteIniText(path.string(), "Formula", "FormulaDelantero", "1"));
    }
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
}

TEST(FileAccess, AFileLargerThanItsKindIsRefusedUnread) {
    TempDir dir;
    const fs::path sparse = dir.path() / "ventanas.ini";
    WriteText(sparse, "[Formula]\r\n");
    fs::resize_file(sparse, 2ull << 30);
    auto read = ReadWholeFile(sparse, kMaxSettingsFileBytes);
    ASSERT_FALSE(read.ok());
    EXPECT_NE(read.error().text.find("far too large"), std::string::npos) << read.error().text;
    EXPECT_EQ(ReadIniText(sparse.string(), "Formula", "FormulaDelantero", "fallback"), "fallback");
    EXPECT_FALSE(WriteIniText(sparse.string(), "Formula", "FormulaDelantero", "1"));
    EXPECT_EQ(fs::file_size(sparse), 2ull << 30);
}

// A replacement lands on the file a link leads to, keeps that file's permissions and leaves the link.
TEST(FileAccess, AReplacementWritesThroughALinkAndKeepsTheMode) {
    TempDir dir;
    const fs::path real = dir.path() / "real.ini";
    const fs::path link = dir.path() / "ventanas.ini";
    WriteText(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_symlink(real, link);
    ASSERT_TRUE(ReplaceFileWhole(link, "new bytes").ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadText(real), "new bytes");
    EXPECT_EQ(ModeOf(real), 0444);
    EXPECT_FALSE(fs::exists(dir.path() / "real.ini.partial"));
    EXPECT_FALSE(fs::exists(dir.path() / "ventanas.ini.partial"));

    // A link to nowhere is refused, and nothing is made in its place.
    const fs::path dangling = dir.path() / "dangling.ini";
    fs::create_symlink(dir.path() / "missing" / "file.ini", dangling);
    auto refused = ReplaceFileWhole(dangling, "x");
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().text.find(dangling.string()), std::string::npos) << refused.error().text;
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

// A replacement that is never committed leaves the old file and no temporary.
TEST(FileAccess, AnUncommittedReplacementChangesNothing) {
    TempDir dir;
    const fs::path file = dir.path() / "TEAM.001";
    WriteText(file, "original");
    {
        auto replacement = FileReplacement::Begin(file);
        ASSERT_TRUE(replacement.ok()) << replacement.error().text;
        ASSERT_TRUE(replacement->Write("half of the new").ok());
    }
    EXPECT_EQ(ReadText(file), "original");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A copy made through the shared layer keeps a read-only original's permissions on restore, and a restore
// onto a link changes the file the link leads to.
TEST(FileAccess, ARestoreKeepsTheModeAndWritesThroughALink) {
    TempDir dir;
    const fs::path games = dir.path() / "games";
    const fs::path elsewhere = dir.path() / "elsewhere";
    fs::create_directories(games);
    fs::create_directories(elsewhere);
    WriteText(elsewhere / "TEAM.001", "before");
    fs::create_symlink(elsewhere / "TEAM.001", games / "TEAM.001");
    WriteText(games / "EUROCUP.TMD", "cup before");
    fs::permissions(games / "EUROCUP.TMD", fs::perms::owner_read | fs::perms::group_read);

    BackupRun first(std::chrono::system_clock::now() - std::chrono::hours(1));
    ASSERT_TRUE(first.EnsureBackedUp(games / "TEAM.001").ok());
    ASSERT_TRUE(first.EnsureBackedUp(games / "EUROCUP.TMD").ok());
    WriteText(elsewhere / "TEAM.001", "after");
    fs::permissions(games / "EUROCUP.TMD", fs::perms::owner_write, fs::perm_options::add);
    WriteText(games / "EUROCUP.TMD", "cup after");
    fs::permissions(games / "EUROCUP.TMD", fs::perms::owner_write, fs::perm_options::remove);

    BackupRun restore;
    auto restored = RestoreBackupRun(games, first.name(), {}, restore);
    ASSERT_TRUE(restored.ok()) << restored.error().text;
    EXPECT_TRUE(fs::is_symlink(games / "TEAM.001"));
    EXPECT_EQ(ReadText(elsewhere / "TEAM.001"), "before");
    EXPECT_EQ(ReadText(games / "EUROCUP.TMD"), "cup before");
    EXPECT_EQ(ModeOf(games / "EUROCUP.TMD"), 0440);
    // The state before the restore is kept, the link's target's bytes under the link's name.
    EXPECT_EQ(ReadText(restore.BackupPathFor(games / "TEAM.001")), "after");
}

} // namespace
} // namespace kivo
