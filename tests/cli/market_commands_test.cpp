#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "CliRunner.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;

std::vector<char> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MarketCommands : public ::testing::Test {
protected:
    fs::path work;
    void SetUp() override {
        std::random_device rd;
        work = fs::temp_directory_path() / ("kivo-market-cli-" + std::to_string(rd()));
        ASSERT_TRUE(kivo::WriteSampleData((work / "data").string(), {.seed = 5, .scale = 1}).ok());
    }
    void TearDown() override { fs::remove_all(work); }
};

TEST_F(MarketCommands, FixTwiceChangesNothingTheSecondTime) {
    const auto poolBefore = Bytes(work / "data" / "POOLPLYR.DAT");
    auto first = RunCli("market fix data", work);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("cup teams updated"), std::string::npos);
    EXPECT_EQ(Bytes(work / "data" / "POOLPLYR.BAK"), poolBefore);
    const auto pool = Bytes(work / "data" / "POOLPLYR.DAT");
    const auto cup = Bytes(work / "data" / "EUROCUP.TMD");
    auto second = RunCli("market fix data", work);
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(second.err, first.err) << "the same teams cannot be updated";
    EXPECT_EQ(Bytes(work / "data" / "POOLPLYR.DAT"), pool);
    EXPECT_EQ(Bytes(work / "data" / "EUROCUP.TMD"), cup);
    EXPECT_EQ(Bytes(work / "data" / "Eurocup.bak"), cup);
}

TEST_F(MarketCommands, MissingCupFileStopsWithExitOne) {
    fs::remove(work / "data" / "UEFACUP.TMD");
    auto run = RunCli("market fix data", work);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("data/Uefacup.tmd file cannot be opened\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(work / "data" / "Eurocup.bak"));
    EXPECT_FALSE(fs::exists(work / "data" / "POOLPLYR.BAK"));
}

} // namespace
