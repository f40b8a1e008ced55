#include <algorithm>
#include <memory>
#include <regex>

#include "../core/TestFiles.h"
#include "CliRunner.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/players/PlayerOrders.h"
#include "core/support/FixedText.h"

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
    const auto ordered = nlohmann::ordered_json::parse(work->Run("players list --json --limit 1").out);
    for (const auto& [key, value] : ordered.front().items())
        keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"country", "country_name", "team", "division", "division_code",
                                              "nationality", "nationality_code", "shirt", "name", "position",
                                              "position_code", "skills", "price", "price_code", "mark"}));
    EXPECT_TRUE(List("--order mark").empty());
    // The rows carry texts and codes as the database holds them.
    auto db = kivo::PlayerDatabase::Open((work->path() / "JUGADORES").string(), false);
    ASSERT_TRUE(db.ok());
    auto expected = kivo::ListPlayers(*db, {.order = kivo::PlayerOrder::Country, .limit = 40});
    ASSERT_TRUE(expected.ok());
    ASSERT_EQ(expected->size(), 40u);
    for (std::size_t i = 0; i < expected->size(); ++i) {
        const kivo::PlayerRow& r = (*expected)[i].row;
        const json& j = all[i];
        EXPECT_EQ(j["country"], r.pais);
        EXPECT_EQ(j["country_name"], kivo::CountryName(r.pais));
        EXPECT_EQ(j["division_code"], r.division);
        EXPECT_EQ(j["division"], kivo::TrimRight(*kivo::DivisionText(r.division)));
        EXPECT_EQ(j["nationality_code"], r.nacionalidad);
        EXPECT_EQ(j["position_code"], r.puesto);
        EXPECT_EQ(j["price_code"], r.valorPase);
        EXPECT_EQ(j["name"], kivo::Latin1ToUtf8(kivo::TrimRight(kivo::FieldValue(r.nombreJugador))));
        EXPECT_EQ(j["skills"], json(std::vector<int>(r.skills.begin(), r.skills.end())));
    }
}

TEST_F(PlayersCommands, ListInAnOrderLimitedOrAsCsv) {
    const json passing = List("--order passing");
    for (std::size_t i = 1; i < passing.size(); ++i)
        ASSERT_GE(passing[i - 1]["skills"][0], passing[i]["skills"][0]);
    EXPECT_EQ(List("--order price --limit 10").size(), 10u);
    const CliRun csv = work->Run("players list --csv --order speed --limit 2");
    ASSERT_EQ(csv.status, 0);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n') + 1),
              "country_name,team,division,nationality,shirt,name,position,passing,shooting,heading,tackling,"
              "ball_control,speed,finishing,price,country,mark\r\n");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\r'), 3);
}

TEST_F(PlayersCommands, MarkAndClearPrintTheirCounts) {
    const json all = List("--order nationality");
    const auto kenyans =
        std::count_if(all.begin(), all.end(), [](const json& r) { return r["nationality_code"] == 99; });
    ASSERT_GT(kenyans, 0);
    EXPECT_EQ(Count("players mark 4 --nationality KEN"), kenyans);
    for (const auto& r : List("--order mark --mark 4"))
        EXPECT_EQ(r["nationality"], "KEN");
    EXPECT_EQ(Count("players clear 4"), kenyans);
    EXPECT_TRUE(List("--order mark --mark 4").empty());
    // Letter case is ignored in table texts.
    EXPECT_EQ(Count("players mark 4 --nationality ken"), kenyans);
    const long long premierKenyans = std::count_if(all.begin(), all.end(), [](const json& r) {
        return r["nationality_code"] == 99 && r["division_code"] == 0;
    });
    for (const char* spelling :
         {"--division premier --nationality Ken", "--division PREMIER --nationality KEN"}) {
        EXPECT_EQ(Count(std::string("players mark 6 ") + spelling), premierKenyans) << spelling;
        EXPECT_EQ(Count("players clear 6"), premierKenyans);
    }

    const long long cheapDefenders = Count("players mark 5 --position D --max-price 100K");
    const json defenders = List("--order mark --mark 5");
    EXPECT_EQ(static_cast<long long>(defenders.size()), cheapDefenders);
    for (const auto& r : defenders) {
        EXPECT_EQ(r["position"], "D");
        EXPECT_EQ(r["position_code"], 3);
        EXPECT_LE(r["price_code"], 8); // 25K- .. 100K
    }
    EXPECT_EQ(Count("players clear 5"), cheapDefenders);
}

TEST_F(PlayersCommands, UpdateReplacesOneFileOrFailsWithTheMessage) {
    const json all = List("--order country");
    const auto rows = std::count_if(all.begin(), all.end(), [](const json& r) { return r["country"] == 5; });
    ASSERT_EQ(work->Run("players update data/TEAM.005 5").status, 0);
    ASSERT_GT(rows, 0);
    const CliRun run = work->Run("players update data/TEAM.005");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::to_string(rows) + " players deleted, " + std::to_string(rows) + " added from " +
                           std::to_string(rows / 16) + " teams\n");
    EXPECT_EQ(List("--order country").size(), all.size());
    const CliRun missing = work->Run("players update data/TEAM.099 99");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "kivo-cli: File data/TEAM.099 can not be opened.\nUpdate process is aborted !\n");

    // The number is the one the file name ends in; another is refused unless forced.
    const auto before = ReadBytes(work->path() / "JUGADORES");
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"players update data/TEAM.005 6", "is team file number 5, not 6"},
        {"players update data/TEAM.005 0006", "is team file number 5, not 6"},
        {"players update data/EUROCUP.TMD", "does not end in a team file number"}};
    for (const auto& [args, message] : refused) {
        const CliRun refusal = work->Run(args);
        EXPECT_EQ(refusal.status, 2) << args;
        EXPECT_NE(refusal.err.find(message), std::string::npos) << args << ": " << refusal.err;
        EXPECT_NE(refusal.err.find("--force"), std::string::npos) << refusal.err;
        EXPECT_EQ(ReadBytes(work->path() / "JUGADORES"), before) << args;
    }
    std::filesystem::copy_file(*work / "data" / "TEAM.005", *work / "data" / "copy.txt");
    const CliRun forced = work->Run("players update data/copy.txt 5 --force");
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(forced.out, run.out);
}

TEST_F(PlayersCommands, BadArgumentsAreRefusedWithAMessage) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"players mark 256", "M must be from 0 to 255"},
        {"players mark 1 --nationality XYZ",
         "--nationality \"XYZ\" is not in its table; accepted: ALB, AUT, BEL,"},
        {"players mark 1 --position Q",
         "--position \"Q\" is not in its table; accepted: G, RB, LB, D, RW, LW, M, A or a code 0..7"},
        {"players mark 1 --max-price 17M", "--max-price \"17M\" is not in its table; accepted: 25K-, 25K,"},
        {"players mark 1 --max-price 50", "--max-price must be from 0 to 49"},
        {"players mark 1 --passing -1", "--passing must be from 0 to 255"},
        {"players mark 1 --division Fourth",
         "accepted: Premier, First, Second, Third, Non-League or a code 0..4"},
        {"players list --order age", "unknown order \"age\""},
        {"players list --limit ten", "--limit must be a whole number, not \"ten\""},
        {"players clear x", "M must be a whole number"},
    };
    const auto before = ReadBytes(work->path() / "JUGADORES");
    for (const auto& [args, message] : cases) {
        const CliRun run = work->Run(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
    }
    EXPECT_EQ(ReadBytes(work->path() / "JUGADORES"), before);
}

// Processes marking players and appending to the clipboard at once: each waits for the others'
// transactions, and every change stays.
TEST_F(PlayersCommands, ProcessesMarkingAndAppendingAtOnceLoseNothing) {
    const json all = List("--order position");
    auto count = [&](int position) {
        return std::count_if(all.begin(), all.end(),
                             [&](const json& r) { return r["position_code"] == position; });
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

TEST_F(PlayersCommands, ABuildFromNoTeamFilesKeepsTheDatabaseAndItsMarks) {
    ASSERT_EQ(work->Run("players mark 7 --position A").status, 0);
    const auto before = ReadBytes(*work / "JUGADORES");
    std::filesystem::create_directories(*work / "empty");
    std::ofstream(*work / "plain") << "x";
    for (const char* dir : {"missing", "plain", "empty"}) {
        const CliRun run = work->Run(std::string("players build ") + dir);
        EXPECT_EQ(run.status, 1) << dir;
        EXPECT_NE(run.err.find("The player database was not changed."), std::string::npos) << run.err;
        EXPECT_EQ(ReadBytes(*work / "JUGADORES"), before) << dir;
    }
}

TEST(PlayersCommandsWithoutADatabase, ReadingCommandsSayHowToMakeOne) {
    WorkDir work;
    for (const char* args :
         {"players list", "players list --json", "players list --csv", "players clear 0", "players mark 1"}) {
        const CliRun run = work.Run(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find("There is no player database JUGADORES"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("kivo-cli players build DATA_DIR"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(work / "JUGADORES")) << args;
    }
}

// A damaged JUGADORES (a header field SQLite trusts): every command ends with a clear message, and a build
// replaces the file with a sound one.
TEST(PlayersCommandsDamaged, CommandsEndWithAMessageAndABuildMendsIt) {
    WorkDir work(13);
    ASSERT_EQ(work.Run("players build data").status, 0);
    ASSERT_EQ(work.Run("players mark 3 --position G").status, 0);
    auto bytes = ReadBytes(work / "JUGADORES");
    bytes[44] = 0x80; // the schema format
    kivo::test::WriteBytes(work / "JUGADORES", bytes);
    const CliRun listed = work.Run("players list --mark 3");
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.err.find("JUGADORES is damaged"), std::string::npos) << listed.err;
    EXPECT_NE(listed.err.find("kivo-cli players build DATA_DIR"), std::string::npos) << listed.err;
    EXPECT_EQ(work.Run("players clear 0").status, 1);
    const CliRun built = work.Run("players build data");
    ASSERT_EQ(built.status, 0) << built.err;
    EXPECT_NE(built.err.find("kept as JUGADORES.damaged"), std::string::npos) << built.err;
    const json passing = JsonOf(work.Run("players list --json --order passing --limit 50"));
    ASSERT_EQ(passing.size(), 50u);
    EXPECT_GE(passing.front()["skills"][0], passing.back()["skills"][0]);
}

} // namespace
