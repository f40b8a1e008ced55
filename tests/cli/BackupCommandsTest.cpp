#include <regex>

#include "CliRunner.h"

namespace {

namespace fs = std::filesystem;

// The market fix through kivo-cli: the run's copies of the originals in data/kivo-backups/, listed and put
// back by the backups commands, byte for byte.
TEST(BackupCommands, FixesAreBackedUpListedAndRestored) {
    WorkDir work(5);
    const fs::path data = work / "data";
    const auto cup = ReadBytes(data / "EUROCUP.TMD");
    const auto pool = ReadBytes(data / "POOLPLYR.DAT");
    EXPECT_EQ(work.Run("backups list data").out, "No backups in data/kivo-backups\n");
    ASSERT_EQ(work.Run("market fix data").status, 0);
    ASSERT_EQ(work.Run("market fix data").status, 0);
    const CliRun list = work.Run("backups list data");
    ASSERT_EQ(list.status, 0) << list.err;
    // Two runs (a second one of the same second gets a suffix), each with the four files it changed.
    const std::regex line(
        "(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(-\\d+)?) EUROCUP.TMD EUROCWC.TMD POOLPLYR.DAT "
        "UEFACUP.TMD\n");
    std::vector<std::string> runs;
    for (std::sregex_iterator it(list.out.begin(), list.out.end(), line), end; it != end; ++it)
        runs.push_back((*it)[1].str());
    ASSERT_EQ(runs.size(), 2u) << list.out;
    EXPECT_EQ(ReadBytes(data / "kivo-backups" / runs[0] / "EUROCUP.TMD"), cup);
    EXPECT_NE(ReadBytes(data / "Eurocup.bak"), cup) << "the .bak holds the state before the second fix only";

    const auto fixedCup = ReadBytes(data / "EUROCUP.TMD");
    const CliRun one = work.Run("backups restore data " + runs[0] + " EUROCUP.TMD");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_NE(one.out.find("restored EUROCUP.TMD\n"), std::string::npos) << one.out;
    EXPECT_EQ(ReadBytes(data / "EUROCUP.TMD"), cup);
    EXPECT_NE(ReadBytes(data / "POOLPLYR.DAT"), pool) << "only the file named is restored";
    // The restore backed up what it replaced, in a run of its own.
    const CliRun after = work.Run("backups list data");
    EXPECT_EQ(std::count(after.out.begin(), after.out.end(), '\n'), 3) << after.out;
    ASSERT_EQ(work.Run("backups restore data " + runs[0]).status, 0);
    EXPECT_EQ(ReadBytes(data / "POOLPLYR.DAT"), pool);

    const auto now = ReadBytes(data / "EUROCUP.TMD");
    for (const auto& [args, status] :
         std::vector<std::pair<std::string, int>>{{"backups restore data 2001-01-01_00-00-00", 1},
                                                  {"backups restore data " + runs[0] + " TEAM.001", 1},
                                                  {"backups restore data " + runs[0] + " ../EUROCUP.TMD", 1},
                                                  {"backups list nowhere", 1}}) {
        const CliRun run = work.Run(args);
        EXPECT_EQ(run.status, status) << args;
        EXPECT_FALSE(run.err.empty()) << args;
    }
    EXPECT_EQ(ReadBytes(data / "EUROCUP.TMD"), now);
    (void)fixedCup;
}

TEST(BackupCommands, AFixWhoseBackupCannotBeMadeChangesNothing) {
    WorkDir work(5);
    const fs::path data = work / "data";
    std::ofstream(data / "kivo-backups") << "in the way";
    const auto cup = ReadBytes(data / "EUROCUP.TMD");
    const CliRun run = work.Run("market fix data");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Cannot back up"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("EUROCUP.TMD"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(data / "EUROCUP.TMD"), cup);
    EXPECT_FALSE(fs::exists(data / "Eurocup.bak"));
}

} // namespace
