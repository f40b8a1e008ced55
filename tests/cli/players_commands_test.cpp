#include <algorithm>
#include <memory>
#include <regex>

#include "CliRunner.h"

namespace {

using nlohmann::json;

// A start directory with sample data in data/ and JUGADORES built from it, shared by the tests of this file;
// each test uses marks of its own.
class PlayersCommands : public ::testing::Test {
protected:
    static inline std::unique_ptr<WorkDir> work;
    static inline CliRun built;

    static void SetUpTestSuite() {
        work = std::make_unique<WorkDir>(7);
        built = work->Run("players build data");
    }
    static void TearDownTestSuite() { work.reset(); }
    static json List(const std::string& options) {
        return JsonOf(work->Run("players list --json " + options));
    }
    static long long Count(const std::string& args) {
        const CliRun run = work->Run(args);
        EXPECT_EQ(run.status, 0) << run.err;
        return std::stoll(run.out);
    }
};

TEST_F(PlayersCommands, BuildPrintsItsCountsAndListGivesEveryField) {
    ASSERT_EQ(built.status, 0) << built.err;
    const json all = List("--order country");
    std::smatch counts;
    ASSERT_TRUE(std::regex_match(built.out, counts,
                                 std::regex("(\\d+) players of (\\d+) teams from \\d+ team files\n")))
        << built.out;
    EXPECT_EQ(counts[1].str(), std::to_string(all.size()));
    EXPECT_EQ(counts[2].str(), std::to_string(all.size() / 16));
    EXPECT_GT(all.size(), 20000u);
    std::vector<std::string> keys;
    for (const auto& [key, value] : all.front().items())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"country", "division", "mark", "name", "nationality",
                                              "position", "price", "shirt", "skills", "team"}));
    EXPECT_EQ(all.front()["skills"].size(), 7u);
    EXPECT_TRUE(List("--order mark").empty());
}

TEST_F(PlayersCommands, ListInAnOrderLimitedOrAsCsv) {
    const json passing = List("--order passing");
    for (std::size_t i = 1; i < passing.size(); ++i)
        ASSERT_GE(passing[i - 1]["skills"][0], passing[i]["skills"][0]);
    EXPECT_EQ(List("--order price --limit 10").size(), 10u);
    const CliRun csv = work->Run("players list --csv --order speed --limit 2");
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "File,Team Name,Div.,Nat.,N°,Player Name,Pos.,PS,SH,HE,TA,BC,SP,FI,Price");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3);
}

TEST_F(PlayersCommands, MarkAndClearPrintTheirCounts) {
    const json all = List("--order nationality");
    const auto kenyans =
        std::count_if(all.begin(), all.end(), [](const json& r) { return r["nationality"] == 99; });
    ASSERT_GT(kenyans, 0);
    EXPECT_EQ(Count("players mark 4 --nationality KEN"), kenyans);
    for (const auto& r : List("--order mark --mark 4"))
        EXPECT_EQ(r["nationality"], 99);
    EXPECT_EQ(Count("players clear 4"), kenyans);
    EXPECT_TRUE(List("--order mark --mark 4").empty());

    const long long cheapDefenders = Count("players mark 5 --position D --max-price 100K");
    const json defenders = List("--order mark --mark 5");
    EXPECT_EQ(static_cast<long long>(defenders.size()), cheapDefenders);
    for (const auto& r : defenders) {
        EXPECT_EQ(r["position"], 3);
        EXPECT_LE(r["price"], 8); // 25K- .. 100K
    }
    EXPECT_EQ(Count("players clear 5"), cheapDefenders);
}

TEST_F(PlayersCommands, UpdateReplacesOneFileOrFailsWithTheMessage) {
    const json all = List("--order country");
    const auto rows = std::count_if(all.begin(), all.end(), [](const json& r) { return r["country"] == 5; });
    ASSERT_GT(rows, 0);
    const CliRun run = work->Run("players update data/TEAM.005 5");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::to_string(rows) + " players deleted, " + std::to_string(rows) + " added from " +
                           std::to_string(rows / 16) + " teams\n");
    EXPECT_EQ(List("--order country").size(), all.size());
    const CliRun missing = work->Run("players update data/TEAM.099 99");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "kivo-cli: File data/TEAM.099 can not be opened.\nUpdate process is aborted !\n");
}

TEST_F(PlayersCommands, BadArgumentsAreRefusedWithAMessage) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"players mark 256", "M must be from 0 to 255"},
        {"players mark 1 --nationality XYZ", "--nationality \"XYZ\" is not in its table"},
        {"players mark 1 --position Q", "--position \"Q\" is not in its table"},
        {"players mark 1 --max-price 50", "--max-price must be from 0 to 49"},
        {"players mark 1 --passing -1", "--passing must be from 0 to 255"},
        {"players list --order age", "unknown order \"age\""},
        {"players clear x", "M must be a whole number"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = work->Run(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
    }
}

// Processes marking players and appending to the clipboard at once: each waits for the others'
// transactions, and every change stays.
TEST_F(PlayersCommands, ProcessesMarkingAndAppendingAtOnceLoseNothing) {
    const json all = List("--order position");
    auto count = [&](int position) {
        return std::count_if(all.begin(), all.end(),
                             [&](const json& r) { return r["position"] == position; });
    };
    const std::string cli = ShellQuote(KIVO_CLI_PATH);
    auto loop = [&](const std::string& command) {
        return "(for i in 1 2 3 4 5 6 7 8; do " + cli + " " + command +
               " || exit 1; done) & pids=\"$pids $!\"; ";
    };
    const std::string script =
        "cd " + ShellQuote(work->path().string()) + " || exit 1; " + loop("players mark 11 --position G") +
        loop("players mark 12 --position A") + loop("clipboard add data/TEAM.001 0 $i") +
        loop("clipboard add data/TEAM.002 0 $i") + loop("clipboard add data/TEAM.003 0 $i") +
        "for p in $pids; do wait $p || exit 1; done";
    ASSERT_EQ(std::system(("sh -c " + ShellQuote(script) + " >/dev/null").c_str()), 0);
    EXPECT_EQ(static_cast<long long>(List("--order mark --mark 11").size()), count(0));
    EXPECT_EQ(static_cast<long long>(List("--order mark --mark 12").size()), count(7));
    // The sample teams name every slot, so every entry is listed.
    EXPECT_EQ(JsonOf(work->Run("clipboard list --json")).size(), 24u);
}

} // namespace
