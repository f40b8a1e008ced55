#include <unistd.h>

#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class ClipboardCommands : public ::testing::Test {
protected:
    fs::path work;
    void SetUp() override {
        std::random_device rd;
        work = fs::temp_directory_path() / ("kivo-clipboard-cli-" + std::to_string(rd()));
        fs::create_directories(work);
        ASSERT_TRUE(kivo::WriteSampleData((work / "data").string(), {.seed = 3, .scale = 1}).ok());
    }
    void TearDown() override { fs::remove_all(work); }
    json List() {
        auto run = RunCli("clipboard list --json", work);
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out);
    }
};

TEST_F(ClipboardCommands, AddListAndDeleteTheFirstOfAName) {
    auto team = kivo::ReadTeam((work / "data" / "TEAM.010").string(), 1);
    ASSERT_TRUE(team.ok());
    const kivo::DecodedPlayer p = kivo::DecodePlayerSlot(team->jugador[3]);
    ASSERT_EQ(RunCli("clipboard add data/TEAM.010 1 4", work).status, 0);
    ASSERT_EQ(RunCli("clipboard add data/TEAM.010 1 4", work).status, 0);
    json list = List();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], list[1]);
    EXPECT_EQ(list[0]["shirt"], team->jugador[3].nroCamiseta);
    EXPECT_EQ(list[0]["face"], p.face);
    EXPECT_EQ(list[0]["skills"], json(std::vector<int>(p.skills.begin(), p.skills.end())));
    EXPECT_TRUE(fs::exists(work / "portapap.tps"));

    const std::string name = list[0]["name"];
    ASSERT_EQ(RunCli("clipboard delete " + ShellQuote(name), work).status, 0);
    EXPECT_EQ(List().size(), 1u);
    auto missing = RunCli("clipboard delete 'Nobody Here'", work);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no player named"), std::string::npos);

    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"clipboard add data/TEAM.010 1 17", "SLOT must be from 1 to 16"},
             {"clipboard add data/TEAM.010 999 1", "no team 999"},
             {"clipboard add data/NOFILE 0 1", "NOFILE"}}) {
        auto run = RunCli(args, work);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

// Two processes appending at once: every add lands.
TEST_F(ClipboardCommands, TwoProcessesAppendingLoseNothing) {
    const std::string cli = ShellQuote(KIVO_CLI_PATH);
    // Three league files that hold at least one team.
    std::vector<std::string> files;
    for (int n = 1; n <= 85 && files.size() < 3; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "TEAM.%03d", n);
        if (fs::exists(work / "data" / name) && fs::file_size(work / "data" / name) >= 2 + 684)
            files.push_back(name);
    }
    ASSERT_EQ(files.size(), 3u);
    auto loop = [&](const std::string& file) {
        return "(for i in 0 1 2 3 4 5 6 7 8 9; do " + cli + " clipboard add data/" + file +
               " 0 $((i + 1)) >/dev/null || exit 1; done)";
    };
    const std::string script = "cd " + ShellQuote(work.string()) + " || exit 1; " + loop(files[0]) + " & " +
                               loop(files[1]) + " & " + loop(files[2]) + " & wait";
    ASSERT_EQ(std::system(("sh -c " + ShellQuote(script)).c_str()), 0);
    // Blank names are stored but not listed; the sample teams name every slot.
    EXPECT_EQ(List().size(), 30u);
}

} // namespace
