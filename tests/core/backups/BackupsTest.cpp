#include "core/backups/Backups.h"

#include <chrono>
#include <filesystem>

#include "../TestFiles.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using Clock = std::chrono::system_clock;
// A fixed start so that run names are known; the name is local time, so it is read back from the run.
const Clock::time_point kStart = Clock::from_time_t(1'800'000'000);

class BackupsTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path file = dir.path() / "TEAM.001";
    fs::path backups = dir.path() / kBackupFolderName;
    Bytes original{0, 7, 1, 2, 3, 0xFF, 0x80};
    void SetUp() override { WriteBytes(file, original); }
};

// The first change of a run copies the whole file, once; a second run of the same second keeps its own copy.
TEST_F(BackupsTest, FirstChangeCopiesTheWholeFileOncePerRun) {
    BackupRun run(kStart), second(kStart);
    ASSERT_TRUE(run.EnsureBackedUp(file).ok());
    const fs::path copy = backups / run.name() / "TEAM.001";
    EXPECT_EQ(run.BackupPathFor(file), copy);
    EXPECT_EQ(ReadBytes(copy), original);
    // Later changes in the same run keep the copy of the original.
    WriteBytes(file, {5, 5, 5});
    ASSERT_TRUE(run.EnsureBackedUp(file).ok());
    EXPECT_EQ(ReadBytes(copy), original);
    EXPECT_FALSE(fs::exists(fs::path(copy).concat(".partial")));
    ASSERT_TRUE(second.EnsureBackedUp(file).ok());
    EXPECT_EQ(second.BackupPathFor(file), backups / (run.name() + "-2") / "TEAM.001");
    EXPECT_EQ(ReadBytes(second.BackupPathFor(file)), (Bytes{5, 5, 5}));
    EXPECT_EQ(ReadBytes(copy), original);
}

TEST_F(BackupsTest, CopyThatCannotBeMadeIsRefusedNamingTheFile) {
    WriteBytes(backups, {1}); // a file where the folder should be
    BackupRun run(kStart);
    const Status status = run.EnsureBackedUp(file);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().text.find(file.string()), std::string::npos) << status.error().text;
    EXPECT_NE(status.error().text.find("Nothing was changed"), std::string::npos);
    EXPECT_EQ(ReadBytes(backups), (Bytes{1}));
}

TEST_F(BackupsTest, FailedCopyLeavesTheOlderCopyWhole) {
    const fs::path target = dir.path() / "Eurocup.bak";
    WriteBytes(target, {4, 4, 4, 4});
    EXPECT_FALSE(CopyFileWhole(dir.path() / "missing", target).ok());
    EXPECT_EQ(ReadBytes(target), (Bytes{4, 4, 4, 4}));
    fs::create_directories(dir.path() / "adir");
    EXPECT_FALSE(CopyFileWhole(file, dir.path() / "adir").ok());
    EXPECT_FALSE(fs::exists(dir.path() / "adir.partial"));
    ASSERT_TRUE(CopyFileWhole(file, target).ok());
    EXPECT_EQ(ReadBytes(target), original);
}

TEST_F(BackupsTest, KeepsTheNewestThirtyRunsInAgeOrder) {
    fs::create_directories(backups);
    // 31 old runs, one of them a second run of its second, and a folder that is no run.
    for (int day = 1; day <= 30; ++day) {
        char name[32];
        std::snprintf(name, sizeof name, "2020-01-%02d_10-00-00", day);
        fs::create_directories(backups / name);
    }
    fs::create_directories(backups / "2020-01-30_10-00-00-2");
    fs::create_directories(backups / "notes");
    BackupRun run(kStart); // 2027, newer than all of them
    ASSERT_TRUE(run.EnsureBackedUp(file).ok());
    auto listing = ListBackupRuns(dir.path());
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 30u);
    EXPECT_EQ(listing->front().name, "2020-01-03_10-00-00");
    EXPECT_EQ((*listing)[27].name, "2020-01-30_10-00-00");
    EXPECT_EQ((*listing)[28].name, "2020-01-30_10-00-00-2");
    EXPECT_EQ(listing->back().name, run.name());
    EXPECT_EQ(listing->back().files, (std::vector<std::string>{"TEAM.001"}));
    EXPECT_TRUE(fs::exists(backups / "notes"));
}

TEST(BackupRunNames, SuffixedNamesSortByNumber) {
    EXPECT_TRUE(IsBackupRunName("2026-12-06_20-31-07"));
    EXPECT_TRUE(IsBackupRunName("2026-12-06_20-31-07-10"));
    EXPECT_FALSE(IsBackupRunName("2026-12-06_20-31-07-"));
    EXPECT_FALSE(IsBackupRunName("2026-12-06_20-31-07-0"));
    EXPECT_FALSE(IsBackupRunName("2026-12-06 20-31-07"));
    EXPECT_FALSE(IsBackupRunName("../2026-12-06_20-31"));
    EXPECT_TRUE(BackupRunOlder("2026-12-06_20-31-07", "2026-12-06_20-31-07-2"));
    EXPECT_TRUE(BackupRunOlder("2026-12-06_20-31-07-2", "2026-12-06_20-31-07-10"));
    EXPECT_TRUE(BackupRunOlder("2026-12-06_20-31-07-10", "2026-12-06_20-31-08"));
    EXPECT_FALSE(BackupRunOlder("2026-12-06_20-31-08", "2026-12-06_20-31-07"));
}

TEST_F(BackupsTest, RestorePutsTheFilesBackAfterBackingUpTheCurrentOnes) {
    const fs::path cup = dir.path() / "Eurocup.tmd";
    WriteBytes(cup, {1, 2});
    BackupRun first(kStart);
    ASSERT_TRUE(first.EnsureBackedUp(file).ok());
    ASSERT_TRUE(first.EnsureBackedUp(cup).ok());
    WriteBytes(file, {8, 8, 8});
    WriteBytes(cup, {9});

    BackupRun restoring(kStart + std::chrono::seconds(5));
    auto one = RestoreBackupRun(dir.path(), first.name(), {"TEAM.001"}, restoring);
    ASSERT_TRUE(one.ok()) << one.error().text;
    EXPECT_EQ(*one, (std::vector<std::string>{"TEAM.001"}));
    EXPECT_EQ(ReadBytes(file), original);
    EXPECT_EQ(ReadBytes(cup), (Bytes{9}));
    EXPECT_EQ(ReadBytes(restoring.BackupPathFor(file)), (Bytes{8, 8, 8}));

    auto all = RestoreBackupRun(dir.path(), first.name(), {}, restoring);
    ASSERT_TRUE(all.ok()) << all.error().text;
    EXPECT_EQ(*all, (std::vector<std::string>{"Eurocup.tmd", "TEAM.001"}));
    EXPECT_EQ(ReadBytes(cup), (Bytes{1, 2}));
    // Once per run: the restoring run still holds the state before its first change.
    EXPECT_EQ(ReadBytes(restoring.BackupPathFor(file)), (Bytes{8, 8, 8}));
}

struct BadRestore {
    const char* label;
    std::string run;
    std::vector<std::string> files;
};

void PrintTo(const BadRestore& c, std::ostream* os) {
    *os << c.label;
}

class RestoreRefused : public ::testing::TestWithParam<BadRestore> {};

TEST_P(RestoreRefused, ChangesNothing) {
    TempDir dir;
    const fs::path file = dir.path() / "TEAM.001";
    WriteBytes(file, {1});
    BackupRun first(kStart);
    ASSERT_TRUE(first.EnsureBackedUp(file).ok());
    WriteBytes(file, {2});
    BackupRun restoring(kStart + std::chrono::seconds(1));
    const BadRestore& bad = GetParam();
    const std::string run = bad.run.empty() ? first.name() : bad.run;
    EXPECT_FALSE(RestoreBackupRun(dir.path(), run, bad.files, restoring).ok());
    EXPECT_EQ(ReadBytes(file), (Bytes{2}));
}

INSTANTIATE_TEST_SUITE_P(Backups, RestoreRefused,
                         ::testing::Values(BadRestore{"UnknownRun", "2001-01-01_00-00-00", {}},
                                           BadRestore{"NotARunName", "../kivo-backups", {}},
                                           BadRestore{"FileNotInTheRun", "", {"TEAM.002"}},
                                           BadRestore{"PathOutsideTheRun", "", {"../TEAM.001"}},
                                           BadRestore{"OneGoodOneMissing", "", {"TEAM.001", "TEAM.009"}}),
                         [](const auto& info) { return std::string(info.param.label); });

// A copy far larger than any game file (a sparse gigabyte in the run folder) is refused at once, before
// any file is restored, rather than copied back for minutes.
TEST_F(BackupsTest, ARunHoldingAFileTooLargeForAGameFileRestoresNothing) {
    const fs::path other = dir.path() / "TEAM.002";
    WriteBytes(other, {3});
    BackupRun first(kStart);
    ASSERT_TRUE(first.EnsureBackedUp(file).ok());
    ASSERT_TRUE(first.EnsureBackedUp(other).ok());
    WriteBytes(file, {2});
    WriteBytes(other, {4});
    fs::resize_file(first.BackupPathFor(other), 1ull << 30);
    BackupRun restoring(kStart + std::chrono::seconds(1));
    const auto restored = RestoreBackupRun(dir.path(), first.name(), {}, restoring);
    ASSERT_FALSE(restored.ok());
    EXPECT_NE(restored.error().text.find("far too large to be a game file"), std::string::npos)
        << restored.error().text;
    EXPECT_EQ(ReadBytes(file), (Bytes{2}));
    EXPECT_EQ(ReadBytes(other), (Bytes{4}));
}

} // namespace
} // namespace kivo
