#include "core/gamefiles/TeamFileImage.h"

#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "../TestFiles.h"
#include "core/support/FileAccess.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

ino_t InodeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_ino;
}

class TeamFileImageTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path one = dir.path() / "TEAM.001", two = dir.path() / "TEAM.002";
    Bytes oneBefore, twoBefore;

    void SetUp() override {
        std::mt19937 rng(7);
        oneBefore = test::RandomBytes(rng, 2 + 3 * kTeamRecordSize);
        twoBefore = test::RandomBytes(rng, 2 + 2 * kTeamRecordSize + 5); // a cut record at the end is kept
        WriteBytes(one, oneBefore);
        WriteBytes(two, twoBefore);
    }

    // Both files read, one byte of a team of each changed in memory.
    std::vector<TeamFileImage> Changed() {
        std::vector<TeamFileImage> images;
        for (const fs::path& p : {one, two}) {
            auto image = LoadTeamFileImage(p.string());
            EXPECT_TRUE(image.ok());
            image->bytes[image->offsetOf(1) + team_offset::TACTICA] ^= 0x5A;
            images.push_back(std::move(*image));
        }
        return images;
    }
};

TEST_F(TeamFileImageTest, ManyFilesAreWrittenWholeWithTheOriginalsInTheBackups) {
    const ino_t oneInode = InodeOf(one);
    auto images = Changed();
    BackupRun run;
    ASSERT_TRUE(SaveTeamFileImages(run, images).ok());
    EXPECT_EQ(ReadBytes(one), Bytes(images[0].bytes.begin(), images[0].bytes.end()));
    EXPECT_EQ(ReadBytes(two), Bytes(images[1].bytes.begin(), images[1].bytes.end()));
    EXPECT_EQ(ReadBytes(run.BackupPathFor(one)), oneBefore);
    EXPECT_EQ(ReadBytes(run.BackupPathFor(two)), twoBefore);
    // The backup is the old file itself, kept by its second name; the game file is a new one, so a later
    // change in place in the same run reaches the game file only.
    EXPECT_EQ(InodeOf(run.BackupPathFor(one)), oneInode);
    WriteBytes(one, {9, 9});
    EXPECT_EQ(ReadBytes(run.BackupPathFor(one)), oneBefore);
    for (const fs::path& p : {one, two})
        EXPECT_FALSE(fs::exists(fs::path(p).concat(".partial")));
}

TEST_F(TeamFileImageTest, AFailureBeforeTheRenamesChangesNoFile) {
    auto images = Changed();
    // The second file's temporary cannot be made: the first file's new contents are already written
    // beside it by then, and must go.
    fs::create_directory(fs::path(two).concat(".partial"));
    BackupRun run;
    const Status status = SaveTeamFileImages(run, images);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().text.find("TEAM.002.partial"), std::string::npos) << status.error().text;
    EXPECT_NE(status.error().text.find("Nothing was changed"), std::string::npos) << status.error().text;
    EXPECT_EQ(ReadBytes(one), oneBefore);
    EXPECT_EQ(ReadBytes(two), twoBefore);
    EXPECT_FALSE(fs::exists(fs::path(one).concat(".partial")));
}

TEST_F(TeamFileImageTest, AFileThatCannotTakeWritesIsRefusedBeforeAnyBackup) {
    auto images = Changed();
    // The second file went since it was read; a folder stands in its place.
    fs::remove(two);
    fs::create_directory(two);
    BackupRun run;
    const Status status = SaveTeamFileImages(run, images);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().text.find("Nothing was changed"), std::string::npos) << status.error().text;
    EXPECT_EQ(ReadBytes(one), oneBefore);
    EXPECT_TRUE(fs::is_directory(two));
    EXPECT_FALSE(fs::exists(dir.path() / kBackupFolderName));
}

TEST_F(TeamFileImageTest, WhereTheBackupFolderTakesNoLinkTheBytesAreCopied) {
    // A backup folder on another file system (a link to one) cannot hold a second name of the file.
    const fs::path elsewhere = fs::path("/dev/shm") / dir.path().filename();
    std::error_code ec;
    struct stat here {
    }, there{};
    if (!fs::create_directory(elsewhere, ec) || ::stat(dir.path().c_str(), &here) != 0 ||
        ::stat(elsewhere.c_str(), &there) != 0 || here.st_dev == there.st_dev) {
        fs::remove_all(elsewhere, ec);
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    fs::create_directory_symlink(elsewhere, dir.path() / kBackupFolderName);
    auto images = Changed();
    BackupRun run;
    const Status status = SaveTeamFileImages(run, images);
    const Bytes backup = ReadBytes(run.BackupPathFor(one));
    fs::remove_all(elsewhere, ec);
    ASSERT_TRUE(status.ok()) << status.error().text;
    EXPECT_EQ(backup, oneBefore);
    EXPECT_EQ(ReadBytes(one), Bytes(images[0].bytes.begin(), images[0].bytes.end()));
}

} // namespace
} // namespace kivo
