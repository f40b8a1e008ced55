#include "CliRunner.h"

namespace {

TEST(MarketCommands, FixTwiceChangesNothingTheSecondTime) {
    WorkDir work(5);
    const auto poolBefore = ReadBytes(work / "data" / "POOLPLYR.DAT");
    const CliRun first = work.Run("market fix data");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find(" cup teams updated; "), std::string::npos) << first.out;
    EXPECT_NE(first.out.find(" pool entries updated"), std::string::npos) << first.out;
    EXPECT_EQ(ReadBytes(work / "data" / "POOLPLYR.BAK"), poolBefore);
    const auto pool = ReadBytes(work / "data" / "POOLPLYR.DAT");
    const auto cup = ReadBytes(work / "data" / "EUROCUP.TMD");
    const CliRun second = work.Run("market fix data");
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(second.err, first.err) << "the same teams cannot be updated";
    EXPECT_EQ(ReadBytes(work / "data" / "POOLPLYR.DAT"), pool);
    EXPECT_EQ(ReadBytes(work / "data" / "EUROCUP.TMD"), cup);
    EXPECT_EQ(ReadBytes(work / "data" / "Eurocup.bak"), cup);
}

TEST(MarketCommands, MissingCupFileStopsWithExitOne) {
    WorkDir work(5);
    std::filesystem::remove(work / "data" / "UEFACUP.TMD");
    const CliRun run = work.Run("market fix data");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("data/Uefacup.tmd file cannot be opened\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("kivo-cli: the market fix stopped\n"), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::exists(work / "data" / "Eurocup.bak"));
    EXPECT_FALSE(std::filesystem::exists(work / "data" / "POOLPLYR.BAK"));
}

} // namespace
