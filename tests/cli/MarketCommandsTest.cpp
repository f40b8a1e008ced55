#include "CliRunner.h"

namespace {

TEST(MarketCommands, FixTwiceChangesNothingTheSecondTimeAndAMissingCupStopsWithExitOne) {
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

    std::filesystem::remove(work / "data" / "UEFACUP.TMD");
    const CliRun stopped = work.Run("market fix data");
    EXPECT_EQ(stopped.status, 1);
    EXPECT_NE(stopped.err.find("data/Uefacup.tmd file cannot be opened\nkivo-cli: the market fix stopped\n"),
              std::string::npos)
        << stopped.err;
}

} // namespace
