#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/TeamFile.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A start directory with sample data in data/ and JUGADORES built from it, shared by the tests of this file.
class PlayersCommands : public ::testing::Test {
protected:
    static inline fs::path work;
    static inline long long slots = 0;

    static void SetUpTestSuite() {
        std::random_device rd;
        work = fs::temp_directory_path() / ("kivo-players-cli-" + std::to_string(rd()));
        fs::create_directories(work);
        ASSERT_TRUE(kivo::WriteSampleData((work / "data").string(), {.seed = 7, .scale = 1}).ok());
        // The rows a build must give: 16 per team of files 1..85, up to a file whose header is unreadable.
        for (int n = 1; n <= 85; ++n) {
            auto file = kivo::TeamFile::Open(kivo::BatchTeamFilePath((work / "data").string(), n),
                                             kivo::TeamFile::Mode::ReadOnly);
            if (!file) continue;
            if (!file->CheckHeader()) break;
            slots += 16 * static_cast<long long>(*file->CountTeams());
        }
    }
    static void TearDownTestSuite() { fs::remove_all(work); }

    void SetUp() override {
        auto built = RunCli("players build data", work);
        ASSERT_EQ(built.status, 0) << built.err;
    }
    static json List(const std::string& options) {
        auto run = RunCli("players list --json " + options, work);
        EXPECT_EQ(run.status, 0) << run.err;
        return json::parse(run.out);
    }
    static long long Number(const std::string& args) {
        auto run = RunCli(args, work);
        EXPECT_EQ(run.status, 0) << run.err;
        return std::stoll(run.out);
    }
};

TEST_F(PlayersCommands, BuildGivesSixteenRowsPerTeamAllUnmarked) {
    const json all = List("--order country");
    ASSERT_EQ(static_cast<long long>(all.size()), slots);
    EXPECT_GT(slots, 20000);
    EXPECT_TRUE(List("--order mark").empty());
    for (std::size_t i = 1; i < all.size(); ++i)
        ASSERT_LE(all[i - 1]["country"], all[i]["country"]);
    const json first = all.front();
    for (const char* key : {"country", "team", "division", "nationality", "shirt", "name", "position",
                            "skills", "price", "mark"})
        EXPECT_TRUE(first.contains(key)) << key;
    EXPECT_EQ(first["skills"].size(), 7u);
}

TEST_F(PlayersCommands, OrdersAreSortedAndLimited) {
    const json passing = List("--order passing");
    for (std::size_t i = 1; i < passing.size(); ++i)
        ASSERT_GE(passing[i - 1]["skills"][0], passing[i]["skills"][0]);
    const json names = List("--order name");
    auto folded = [](std::string s) {
        for (auto& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (std::size_t i = 1; i < names.size(); ++i)
        ASSERT_LE(folded(names[i - 1]["name"]), folded(names[i]["name"])) << i;
    EXPECT_EQ(List("--order price --limit 10").size(), 10u);

    auto csv = RunCli("players list --csv --order speed --limit 2", work);
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')),
              "File,Team Name,Div.,Nat.,N°,Player Name,Pos.,PS,SH,HE,TA,BC,SP,FI,Price");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3);
}

TEST_F(PlayersCommands, MarkByNationalityIncludingKenyaThenClear) {
    const json all = List("--order nationality");
    const auto kenyans =
        std::count_if(all.begin(), all.end(), [](const json& r) { return r["nationality"] == 99; });
    ASSERT_GT(kenyans, 0);
    EXPECT_EQ(Number("players mark 4 --nationality KEN"), kenyans);
    const json marked = List("--order mark --mark 4");
    EXPECT_EQ(static_cast<long long>(marked.size()), kenyans);
    for (const auto& r : marked)
        EXPECT_EQ(r["nationality"], 99);

    EXPECT_EQ(Number("players clear 4"), kenyans);
    EXPECT_TRUE(List("--order mark --mark 4").empty());

    // With a price ceiling and a position the pass marks fewer, and the union stays marked.
    const long long cheapDefenders = Number("players mark 5 --position D --max-price 100K");
    const json defenders = List("--order mark --mark 5");
    EXPECT_EQ(static_cast<long long>(defenders.size()), cheapDefenders);
    for (const auto& r : defenders) {
        EXPECT_EQ(r["position"], 3);
        EXPECT_LE(r["price"], 8); // 25K- .. 100K
    }
    EXPECT_EQ(List("--order mark --mark 5").size(), defenders.size());
    EXPECT_EQ(Number("players mark 6"), slots) << "no criterion marks every player";
    EXPECT_EQ(Number("players clear 0"), slots);
}

TEST_F(PlayersCommands, UpdateReplacesOneFile) {
    const std::string file = kivo::BatchTeamFilePath((work / "data").string(), 5);
    auto team = kivo::ReadTeam(file, 0);
    ASSERT_TRUE(team.ok());
    const std::string name = "ZZZ UPDATED";
    std::fill(team->jugador[0].nombreJugador.begin(), team->jugador[0].nombreJugador.end(), 0);
    std::copy(name.begin(), name.end(), team->jugador[0].nombreJugador.begin());
    const auto original = kivo::ReadTeam(file, 0);
    ASSERT_TRUE(kivo::WriteTeam(file, 0, *team).ok());
    const auto before = List("--order country").size();
    auto run = RunCli("players update data/TEAM.005 5", work);
    ASSERT_TRUE(kivo::WriteTeam(file, 0, *original).ok());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(List("--order country").size(), before);
    const json located = List("--order name");
    EXPECT_TRUE(
        std::any_of(located.begin(), located.end(), [&](const json& r) { return r["name"] == name; }));

    auto missing = RunCli("players update data/TEAM.099 99", work);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("File data/TEAM.099 can not be opened.\nUpdate process is aborted !"),
              std::string::npos)
        << missing.err;
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
        auto run = RunCli(args, work);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
    }
}

// Two processes marking at once: each waits for the other's transaction, and both results stay.
TEST_F(PlayersCommands, TwoProcessesMarkingAtOnceLoseNothing) {
    const json all = List("--order position");
    const auto goalkeepers =
        std::count_if(all.begin(), all.end(), [](const json& r) { return r["position"] == 0; });
    const auto forwards =
        std::count_if(all.begin(), all.end(), [](const json& r) { return r["position"] == 7; });
    const std::string cli = ShellQuote(KIVO_CLI_PATH);
    const std::string script = "cd " + ShellQuote(work.string()) + " || exit 1; (for i in 1 2 3; do " + cli +
                               " players mark 1 --position G || exit 1; done) & (for i in 1 2 3; do " + cli +
                               " players mark 2 --position A || exit 1; done) & wait";
    ASSERT_EQ(std::system(("sh -c " + ShellQuote(script) + " >/dev/null").c_str()), 0);
    EXPECT_EQ(static_cast<long long>(List("--order mark --mark 1").size()), goalkeepers);
    EXPECT_EQ(static_cast<long long>(List("--order mark --mark 2").size()), forwards);
}

} // namespace
