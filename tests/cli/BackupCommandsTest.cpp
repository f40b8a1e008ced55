#include <regex>

#include "CliRunner.h"

namespace {

namespace fs = std::filesystem;

// The market fix through kivo-cli: run twice it changes nothing the second time; each run's copies of the
// originals go to data/kivo-backups/, listed and put back by the backups commands, byte for byte; a missing
// cup stops it with exit status 1.
TEST(BackupCommands, FixesAreBackedUpListedAndRestored) {
    WorkDir work(5);
    const fs::path data = work / "data";
    const auto cup = ReadBytes(data / "EUROCUP.TMD");
    const auto pool = ReadBytes(data / "POOLPLYR.DAT");
    EXPECT_EQ(work.Run("backups list data").out, "No backups in data/kivo-backups\n");
    const CliRun first = work.Run("market fix data");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find(" cup teams updated; "), std::string::npos) << first.out;
    EXPECT_NE(first.out.find(" pool entries updated"), std::string::npos) << first.out;
    EXPECT_EQ(ReadBytes(data / "POOLPLYR.BAK"), pool);
    const auto fixedCup = ReadBytes(data / "EUROCUP.TMD");
    const auto fixedPool = ReadBytes(data / "POOLPLYR.DAT");
    const CliRun second = work.Run("market fix data");
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(second.err, first.err) << "the same teams cannot be updated";
    EXPECT_EQ(ReadBytes(data / "POOLPLYR.DAT"), fixedPool);
    EXPECT_EQ(ReadBytes(data / "EUROCUP.TMD"), fixedCup);
    EXPECT_EQ(ReadBytes(data / "Eurocup.bak"), fixedCup) << "the .bak holds the state before the second fix";

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

    const CliRun one = work.Run("backups restore data " + runs[0] + " EUROCUP.TMD");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_NE(one.out.find("restored EUROCUP.TMD\n"), std::string::npos) << one.out;
    EXPECT_EQ(ReadBytes(data / "EUROCUP.TMD"), cup);
    EXPECT_EQ(ReadBytes(data / "POOLPLYR.DAT"), fixedPool) << "only the file named is restored";
    // The message names the folder that holds the replaced file, whatever suffix the restore's run took.
    const std::string said = "The files as they were before the restore are in ";
    const std::size_t at = one.out.find(said);
    ASSERT_NE(at, std::string::npos) << one.out;
    const std::string folder = one.out.substr(at + said.size(), one.out.find('\n', at) - at - said.size());
    EXPECT_EQ(ReadBytes(work / folder / "EUROCUP.TMD"), fixedCup) << folder;
    // The restore backed up what it replaced, in a run of its own.
    const CliRun after = work.Run("backups list data");
    EXPECT_EQ(std::count(after.out.begin(), after.out.end(), '\n'), 3) << after.out;
    ASSERT_EQ(work.Run("backups restore data " + runs[0]).status, 0);
    EXPECT_EQ(ReadBytes(data / "POOLPLYR.DAT"), pool);

    for (const std::string& args :
         {std::string("backups restore data 2001-01-01_00-00-00"),
          "backups restore data " + runs[0] + " TEAM.001",
          "backups restore data " + runs[0] + " ../EUROCUP.TMD", std::string("backups list nowhere")}) {
        const CliRun run = work.Run(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_FALSE(run.err.empty()) << args;
    }
    EXPECT_EQ(ReadBytes(data / "EUROCUP.TMD"), cup);

    fs::remove(data / "UEFACUP.TMD");
    const CliRun stopped = work.Run("market fix data");
    EXPECT_EQ(stopped.status, 1);
    EXPECT_NE(stopped.err.find("data/Uefacup.tmd file cannot be opened\nkivo-cli: the market fix stopped\n"),
              std::string::npos)
        << stopped.err;
}

} // namespace
