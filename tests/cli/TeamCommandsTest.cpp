#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliRunner.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::vector<std::uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text of a field read straight from the bytes: up to the first zero, trailing blanks removed, as UTF-8.
std::string RawText(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t width) {
    std::string s;
    for (std::size_t i = at; i < at + width && b[i] != 0; ++i) {
        if (b[i] < 0x80) {
            s += static_cast<char>(b[i]);
        } else {
            s += static_cast<char>(0xC0 | (b[i] >> 6));
            s += static_cast<char>(0x80 | (b[i] & 0x3F));
        }
    }
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

class TeamCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new fs::path(fs::temp_directory_path() / ("kivo-cli-teams-" + std::to_string(::getpid())));
        fs::remove_all(*dir_);
        ASSERT_TRUE(kivo::WriteSampleData(dir_->string(), {7, 1}).ok());
    }
    static void TearDownTestSuite() {
        fs::remove_all(*dir_);
        delete dir_;
    }
    static fs::path Data(const std::string& name) { return *dir_ / name; }
    static fs::path* dir_;
};
fs::path* TeamCommands::dir_ = nullptr;

TEST_F(TeamCommands, TeamsJsonMatchesTheFileBytes) {
    const fs::path file = Data("TEAM.008");
    const auto bytes = FileBytes(file);
    const CliRun run = RunCli("teams " + ShellQuote(file.string()) + " --json");
    ASSERT_EQ(run.status, 0) << run.err;
    const json teams = json::parse(run.out);
    ASSERT_EQ(teams.size(), (bytes.size() - 2) / 684);
    for (std::size_t k = 0; k < teams.size(); ++k) {
        const std::size_t at = 2 + 684 * k;
        const json& t = teams[k];
        EXPECT_EQ(t["index"], k);
        EXPECT_EQ(t["country"], bytes[at]);
        EXPECT_EQ(t["name"], RawText(bytes, at + 5, 19));
        EXPECT_EQ(t["coach"], RawText(bytes, at + 36, 24));
        unsigned points = 0;
        for (std::size_t s = 0; s < 16; ++s) {
            const std::size_t slot = at + 76 + 38 * s;
            points += bytes[slot + 28];
            for (std::size_t b = 29; b <= 31; ++b)
                points += (bytes[slot + b] >> 4) + (bytes[slot + b] & 0x0F);
        }
        EXPECT_EQ(t["points"], points);
        static const char* divisions[] = {"Premier", "First", "Second", "Third", "Non-League"};
        EXPECT_EQ(t["division"], divisions[bytes[at + 25]]);
    }
}

TEST_F(TeamCommands, TeamJsonDecodesEveryFieldFromItsOffset) {
    const fs::path file = Data("TEAM.014");
    const auto bytes = FileBytes(file);
    const std::size_t k = 3, at = 2 + 684 * k;
    const CliRun run = RunCli("team " + ShellQuote(file.string()) + " 3 --json");
    ASSERT_EQ(run.status, 0) << run.err;
    const json t = json::parse(run.out);
    EXPECT_EQ(t["country"], 14);
    EXPECT_EQ(t["team_number"], bytes[at + 1]);
    EXPECT_EQ(t["general_number"], bytes[at + 2] | (bytes[at + 3] << 8));
    EXPECT_EQ(t["name"], RawText(bytes, at + 5, 19));
    EXPECT_EQ(t["tactic_code"], bytes[at + 24]);
    EXPECT_EQ(t["division_code"], bytes[at + 25]);
    ASSERT_EQ(t["kits"].size(), 2u);
    for (std::size_t kit = 0; kit < 2; ++kit) {
        const std::size_t base = at + 26 + 5 * kit;
        EXPECT_EQ(t["kits"][kit]["design"], std::string(1, "LMVH"[std::min<int>(bytes[base], 3)]));
        EXPECT_EQ(t["kits"][kit]["shirt"], bytes[base + 1]);
        EXPECT_EQ(t["kits"][kit]["stripes"], bytes[base + 2]);
        EXPECT_EQ(t["kits"][kit]["shorts"], bytes[base + 3]);
        EXPECT_EQ(t["kits"][kit]["socks"], bytes[base + 4]);
    }
    ASSERT_EQ(t["players"].size(), 16u);
    for (std::size_t s = 0; s < 16; ++s) {
        const std::size_t slot = at + 76 + 38 * s;
        const json& p = t["players"][s];
        EXPECT_EQ(p["slot"], s + 1);
        EXPECT_EQ(p["nationality_code"], bytes[slot]);
        EXPECT_EQ(p["shirt"], bytes[slot + 2]);
        EXPECT_EQ(p["name"], RawText(bytes, slot + 3, 23));
        EXPECT_EQ(p["face"], (bytes[slot + 26] >> 3) & 3);
        EXPECT_EQ(p["price_code"], bytes[slot + 32]);
        const json expectedSkills = {bytes[slot + 28],      bytes[slot + 29] >> 4, bytes[slot + 29] & 15,
                                     bytes[slot + 30] >> 4, bytes[slot + 30] & 15, bytes[slot + 31] >> 4,
                                     bytes[slot + 31] & 15};
        EXPECT_EQ(p["skills"], expectedSkills);
        // The line-up byte of this player's place names this slot.
        const int place = p["lineup_place"];
        ASSERT_GE(place, 1);
        EXPECT_EQ(bytes[at + 60 + static_cast<std::size_t>(place) - 1], s);
    }
}

TEST_F(TeamCommands, CupFilesHaveNoHeaderAndAreFoundWhateverTheCase) {
    const auto bytes = FileBytes(Data("EUROCUP.TMD"));
    const CliRun run = RunCli("teams " + ShellQuote(Data("eurocup.tmd").string()) + " --json");
    ASSERT_EQ(run.status, 0) << run.err;
    const json teams = json::parse(run.out);
    ASSERT_EQ(teams.size(), bytes.size() / 684);
    EXPECT_EQ(teams[0]["name"], RawText(bytes, 5, 19));
    EXPECT_EQ(teams[1]["name"], RawText(bytes, 684 + 5, 19));
}

TEST_F(TeamCommands, OutOfTableCodesAreNull) {
    // One league team whose division, tactic, nationality and price bytes are outside their tables.
    std::vector<std::uint8_t> file(2 + 684, 0);
    file[2 + 24] = 18;
    file[2 + 25] = 5;
    file[2 + 76] = 153;
    file[2 + 76 + 32] = 50;
    const fs::path path = *dir_ / "TEAM.200";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    const CliRun run = RunCli("team " + ShellQuote(path.string()) + " 0 --json");
    ASSERT_EQ(run.status, 0) << run.err;
    const json t = json::parse(run.out);
    EXPECT_TRUE(t["division"].is_null());
    EXPECT_TRUE(t["tactic"].is_null());
    EXPECT_TRUE(t["players"][0]["nationality"].is_null());
    EXPECT_TRUE(t["players"][0]["price"].is_null());
    EXPECT_EQ(t["players"][0]["nationality_code"], 153);
    const CliRun list = RunCli("teams " + ShellQuote(path.string()) + " --json");
    EXPECT_TRUE(json::parse(list.out)[0]["division"].is_null());
}

struct BadInput {
    const char* name;
    std::vector<std::uint8_t> bytes; // written as the file unless `special` says otherwise
    const char* special; // "dir": a directory; "missing": nothing there; "under-file": a path below a file
    const char* messagePart;
};

class TeamCommandsBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(TeamCommandsBadInput, GiveAClearMessageAndStatusOne) {
    const BadInput& c = GetParam();
    const fs::path root = fs::temp_directory_path() / ("kivo-cli-bad-" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    fs::path target = root / "TEAM.001";
    const std::string special = c.special ? c.special : "";
    if (special == "dir") {
        fs::create_directories(target);
    } else if (special == "under-file") {
        std::ofstream(root / "plain") << "x";
        target = root / "plain" / "TEAM.001";
    } else if (special != "missing") {
        std::ofstream(target, std::ios::binary)
            .write(reinterpret_cast<const char*>(c.bytes.data()),
                   static_cast<std::streamsize>(c.bytes.size()));
    }
    for (const std::string command : {"teams ", "team "}) {
        const CliRun run = RunCli(command + ShellQuote(target.string()) + (command == "team " ? " 0" : ""));
        EXPECT_EQ(run.status, 1) << command << c.name << ": " << run.out;
        EXPECT_NE(run.err.find(c.messagePart), std::string::npos) << command << c.name << ": " << run.err;
        EXPECT_NE(run.err.find("kivo-cli: "), std::string::npos);
    }
    fs::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Files, TeamCommandsBadInput,
                         ::testing::Values(BadInput{"empty", {}, nullptr, "shorter than 2 bytes"},
                                           BadInput{"one byte", {0x41}, nullptr, "shorter than 2 bytes"},
                                           BadInput{"directory", {}, "dir", "directory"},
                                           BadInput{"missing", {}, "missing", "No such file"},
                                           BadInput{
                                               "below a plain file", {}, "under-file", "Not a directory"}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(TeamCommandsGarbage, RandomBytesDecodeWithoutCrashingAndPrintValidUtf8) {
    const fs::path path = fs::temp_directory_path() / ("kivo-cli-garbage-" + std::to_string(::getpid()));
    std::mt19937 rng(99);
    std::vector<char> bytes(2 + 684 * 3 + 100); // three teams and a ragged tail
    for (char& b : bytes)
        b = static_cast<char>(rng());
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const CliRun teams = RunCli("teams " + ShellQuote(path.string()) + " --json");
    ASSERT_EQ(teams.status, 0) << teams.err;
    EXPECT_EQ(json::parse(teams.out).size(), 3u); // the ragged tail is not a team
    for (int k = 0; k < 3; ++k) {
        const CliRun team = RunCli("team " + ShellQuote(path.string()) + " " + std::to_string(k) + " --json");
        ASSERT_EQ(team.status, 0) << team.err;
        EXPECT_NO_THROW(json::parse(team.out));
        EXPECT_EQ(RunCli("team " + ShellQuote(path.string()) + " " + std::to_string(k)).status, 0);
    }
    fs::remove(path);
}

TEST_F(TeamCommands, TeamNumberOutsideTheFileOrNotANumberIsRefused) {
    const std::string file = ShellQuote(Data("TEAM.008").string());
    const CliRun beyond = RunCli("team " + file + " 5000");
    EXPECT_EQ(beyond.status, 1);
    EXPECT_NE(beyond.err.find("K must be from 0 to"), std::string::npos) << beyond.err;
    EXPECT_EQ(RunCli("team " + file + " -1").status, 1);
    const CliRun word = RunCli("team " + file + " three");
    EXPECT_EQ(word.status, 1);
    EXPECT_NE(word.err.find("whole number"), std::string::npos);
}

TEST(CliUsage, UsageErrorsExitWithTwo) {
    EXPECT_EQ(RunCli("").status, 2);
    EXPECT_EQ(RunCli("teams").status, 2);
    EXPECT_EQ(RunCli("no-such-command").status, 2);
    EXPECT_EQ(RunCli("price 75k*pa 1 2 3").status, 2);
    EXPECT_EQ(RunCli("--help").status, 0);
}

} // namespace
