#include <memory>
#include <random>

#include "CliRunner.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The text of a field read straight from the bytes: up to the first zero, trailing blanks removed, as UTF-8.
std::string RawText(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t width) {
    std::string s;
    for (std::size_t i = at; i < at + width && b[i] != 0; ++i)
        s += b[i] < 0x80 ? std::string(1, static_cast<char>(b[i]))
                         : std::string{static_cast<char>(0xC0 | (b[i] >> 6)),
                                       static_cast<char>(0x80 | (b[i] & 0x3F))};
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

class TeamCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() { work = std::make_unique<WorkDir>(7); }
    static void TearDownTestSuite() { work.reset(); }
    static std::string Quoted(const std::string& name) {
        return ShellQuote((*work / "data" / name).string());
    }
    static inline std::unique_ptr<WorkDir> work;
};

TEST_F(TeamCommands, TeamsJsonMatchesTheFileBytesOfLeagueAndCupFiles) {
    // A league file has a two-byte header; a cup file has none and is found whatever the case of its name.
    for (const auto& [file, typed, header] :
         {std::tuple{"TEAM.008", "TEAM.008", 2}, {"EUROCUP.TMD", "eurocup.tmd", 0}}) {
        const auto bytes = ReadBytes(*work / "data" / file);
        const json teams = JsonOf(RunCli("teams " + Quoted(typed) + " --json"));
        ASSERT_EQ(teams.size(), (bytes.size() - header) / 684) << file;
        for (std::size_t k = 0; k < teams.size(); ++k) {
            const std::size_t at = header + 684 * k;
            unsigned points = 0;
            for (std::size_t s = 0; s < 16; ++s) {
                const std::size_t slot = at + 76 + 38 * s;
                points += bytes[slot + 28];
                for (std::size_t b = 29; b <= 31; ++b)
                    points += (bytes[slot + b] >> 4) + (bytes[slot + b] & 0x0F);
            }
            static const char* divisions[] = {"Premier", "First", "Second", "Third", "Non-League"};
            EXPECT_EQ(teams[k], (json{{"index", k},
                                      {"country", bytes[at]},
                                      {"name", RawText(bytes, at + 5, 19)},
                                      {"division", divisions[bytes[at + 25]]},
                                      {"coach", RawText(bytes, at + 36, 24)},
                                      {"points", points}}))
                << file << " " << k;
        }
    }
}

TEST_F(TeamCommands, TeamJsonDecodesEveryFieldFromItsOffset) {
    const auto bytes = ReadBytes(*work / "data" / "TEAM.014");
    const std::size_t at = 2 + 684 * 3;
    const json t = JsonOf(RunCli("team " + Quoted("TEAM.014") + " 3 --json"));
    EXPECT_EQ(t["country"], 14);
    EXPECT_EQ(t["team_number"], bytes[at + 1]);
    EXPECT_EQ(t["general_number"], bytes[at + 2] | (bytes[at + 3] << 8));
    EXPECT_EQ(t["name"], RawText(bytes, at + 5, 19));
    EXPECT_EQ(t["tactic_code"], bytes[at + 24]);
    EXPECT_EQ(t["division_code"], bytes[at + 25]);
    for (std::size_t kit = 0; kit < 2; ++kit) {
        const std::size_t b = at + 26 + 5 * kit;
        EXPECT_EQ(t["kits"][kit], (json{{"design", std::string(1, "LMVH"[std::min<int>(bytes[b], 3)])},
                                        {"shirt", bytes[b + 1]},
                                        {"stripes", bytes[b + 2]},
                                        {"shorts", bytes[b + 3]},
                                        {"socks", bytes[b + 4]}}));
    }
    ASSERT_EQ(t["kits"].size(), 2u);
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
        EXPECT_EQ(p["skills"],
                  (json{bytes[slot + 28], bytes[slot + 29] >> 4, bytes[slot + 29] & 15, bytes[slot + 30] >> 4,
                        bytes[slot + 30] & 15, bytes[slot + 31] >> 4, bytes[slot + 31] & 15}));
        // The line-up byte of this player's place names this slot.
        const int place = p["lineup_place"];
        ASSERT_GE(place, 1);
        EXPECT_EQ(bytes[at + 60 + static_cast<std::size_t>(place) - 1], s);
    }
}

TEST_F(TeamCommands, OutOfTableCodesAreNull) {
    // One league team whose division, tactic, nationality and price bytes are outside their tables.
    std::vector<char> file(2 + 684, 0);
    file[2 + 24] = 18;
    file[2 + 25] = 5;
    file[2 + 76] = static_cast<char>(153);
    file[2 + 76 + 32] = 50;
    std::ofstream(*work / "data" / "TEAM.200", std::ios::binary)
        .write(file.data(), static_cast<std::streamsize>(file.size()));
    const json t = JsonOf(RunCli("team " + Quoted("TEAM.200") + " 0 --json"));
    EXPECT_TRUE(t["division"].is_null() && t["tactic"].is_null());
    EXPECT_TRUE(t["players"][0]["nationality"].is_null() && t["players"][0]["price"].is_null());
    EXPECT_EQ(t["players"][0]["nationality_code"], 153);
    EXPECT_TRUE(JsonOf(RunCli("teams " + Quoted("TEAM.200") + " --json"))[0]["division"].is_null());
}

TEST_F(TeamCommands, TeamNumberOutsideTheFileOrNotANumberIsRefused) {
    for (const auto& [k, message] : {std::pair{"5000", "K must be from 0 to"},
                                     {"-1", "K must be from 0 to"},
                                     {"three", "whole number"}}) {
        const CliRun run = RunCli("team " + Quoted("TEAM.008") + " " + k);
        EXPECT_EQ(run.status, 2) << k;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

TEST_F(TeamCommands, AFileNamedUnlikeATeamFileDrawsAWarning) {
    fs::copy_file(*work / "data" / "TEAM.008", *work / "data" / "copy.bin",
                  fs::copy_options::overwrite_existing);
    for (const char* args : {"teams", "team"}) {
        const CliRun run =
            RunCli(std::string(args) + " " + Quoted("copy.bin") + (std::string(args) == "team" ? " 0" : ""));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("kivo-cli: warning: "), std::string::npos) << args;
        EXPECT_NE(run.err.find("may not be a team file"), std::string::npos) << run.err;
    }
    for (const char* name : {"TEAM.008", "EUROCUP.TMD"})
        EXPECT_EQ(RunCli(std::string("teams ") + Quoted(name)).err, "") << name;
}

TEST(SampleDataCommand, RefusesADirectoryWithGameFilesUnlessForced) {
    WorkDir work;
    ASSERT_EQ(work.Run("sample-data data --seed 1").status, 0);
    const auto before = ReadBytes(work / "data" / "TEAM.001");
    const CliRun again = work.Run("sample-data data --seed 2");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already holds game files"), std::string::npos) << again.err;
    EXPECT_NE(again.err.find("--force"), std::string::npos) << again.err;
    EXPECT_EQ(ReadBytes(work / "data" / "TEAM.001"), before);
    fs::create_directories(work / "pool");
    std::ofstream(work / "pool" / "poolplyr.dat") << "x";
    EXPECT_EQ(work.Run("sample-data pool").status, 1);
    ASSERT_EQ(work.Run("sample-data data --seed 2 --force").status, 0);
    EXPECT_NE(ReadBytes(work / "data" / "TEAM.001"), before);
}

TEST_F(TeamCommands, RandomBytesDecodeWithoutCrashingAndPrintValidJson) {
    std::mt19937 rng(99);
    std::vector<char> bytes(2 + 684 * 3 + 100); // three teams and a ragged tail
    for (char& b : bytes)
        b = static_cast<char>(rng());
    std::ofstream(*work / "data" / "TEAM.201", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(JsonOf(RunCli("teams " + Quoted("TEAM.201") + " --json")).size(), 3u); // the tail is not a team
    for (int k = 0; k < 3; ++k) {
        EXPECT_NO_THROW(JsonOf(RunCli("team " + Quoted("TEAM.201") + " " + std::to_string(k) + " --json")));
        EXPECT_EQ(RunCli("team " + Quoted("TEAM.201") + " " + std::to_string(k)).status, 0);
    }
}

// Broken input reaches the user as a clear message and exit status one; the readers tell the cases apart.
TEST(TeamCommandsBadInput, GiveAClearMessageAndStatusOne) {
    WorkDir root;
    std::ofstream(root / "TEAM.001", std::ios::binary) << 'A';
    fs::create_directories(root / "TEAM.002");
    const std::pair<const char*, const char*> inputs[] = {{"TEAM.001", "shorter than 2 bytes"},
                                                          {"TEAM.002", "directory"},
                                                          {"TEAM.003", "No such file"},
                                                          {"TEAM.001/TEAM.004", "Not a directory"}};
    for (const auto& [name, message] : inputs)
        for (const std::string command : {"teams ", "team "}) {
            const CliRun run =
                RunCli(command + ShellQuote((root / name).string()) + (command == "team " ? " 0" : ""));
            EXPECT_EQ(run.status, 1) << command << name << ": " << run.out;
            EXPECT_EQ(run.err.rfind("kivo-cli: ", 0), 0u) << run.err;
            EXPECT_NE(run.err.find(message), std::string::npos) << command << name << ": " << run.err;
        }
}

} // namespace
