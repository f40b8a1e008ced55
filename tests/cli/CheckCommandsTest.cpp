#include <regex>
#include <set>

#include "../core/inspect/InspectTestSupport.h"
#include "CliRunner.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::set<std::string> Codes(const json& findings) {
    std::set<std::string> codes;
    for (const json& f : findings)
        codes.insert(f["code"].get<std::string>());
    return codes;
}

// The check agrees with the market fix: before the fix the sample's stale cup teams and pool entries are
// found; after it none is, and the check itself never changed a byte.
TEST(CheckCommands, TheCheckFindsWhatTheMarketFixWouldChange) {
    WorkDir work(5);
    const fs::path data = work / "data";
    const auto cup = ReadBytes(data / "EUROCUP.TMD");
    const CliRun before = work.Run("check data --json");
    ASSERT_EQ(before.status, 1) << before.err;
    const json found = json::parse(before.out);
    EXPECT_EQ(found["files"].get<int>(), static_cast<int>(std::distance(fs::directory_iterator(data), {})));
    EXPECT_GT(found["teams"].get<int>(), 0);
    EXPECT_TRUE(Codes(found["findings"]).count("cup-stale"));
    EXPECT_TRUE(Codes(found["findings"]).count("pool-stale"));
    for (const json& f : found["findings"]) {
        EXPECT_EQ(f.size(), 6u) << f.dump();
        for (const char* key : {"file", "team", "slot", "entry", "code", "message"})
            EXPECT_TRUE(f.contains(key)) << key;
        if (f["code"] == "pool-stale") {
            EXPECT_EQ(f["file"], "POOLPLYR.DAT");
            EXPECT_TRUE(f["team"].is_null());
            EXPECT_TRUE(f["entry"].is_number());
        }
    }
    EXPECT_EQ(ReadBytes(data / "EUROCUP.TMD"), cup);
    EXPECT_FALSE(fs::exists(data / "kivo-backups")) << "a check makes no backup: it changes nothing";

    ASSERT_EQ(work.Run("market fix data").status, 0);
    const CliRun after = work.Run("check data --json");
    const json left = json::parse(after.out);
    EXPECT_FALSE(Codes(left["findings"]).count("cup-stale")) << after.out;
    EXPECT_FALSE(Codes(left["findings"]).count("pool-stale")) << after.out;
}

TEST(CheckCommands, ASoundDirectoryGivesNoFindingsAndTextCountsPerCode) {
    WorkDir work;
    kivo::test::SoundGame game;
    game.Write(work / "sound");
    const CliRun clean = work.Run("check sound");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "0 finding(s) in 3 file(s), 4 team(s)\n");

    game.league[2].jugador[0].passing = 16;
    game.league[2].jugador[1].passing = 99;
    game.league[1].division = 7;
    game.Write(work / "sound");
    const CliRun spoilt = work.Run("check sound");
    EXPECT_EQ(spoilt.status, 1);
    EXPECT_EQ(spoilt.err, "");
    const std::regex summary(
        "3 finding\\(s\\) in 3 file\\(s\\), 4 team\\(s\\)\n  skill: 2\n  division: 1\n$");
    EXPECT_TRUE(std::regex_search(spoilt.out, summary)) << spoilt.out;
    EXPECT_NE(spoilt.out.find("TEAM.001: skill: Team 2 \"Old Town\" slot 1 \"Old Player 1\": passing is 16"),
              std::string::npos)
        << spoilt.out;

    const CliRun missing = work.Run("check nowhere");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("nowhere"), std::string::npos);
    EXPECT_EQ(work.Run("check").status, 2);
}

TEST(CheckCommands, DiffOfDirectoriesFilesAndABackupRun) {
    WorkDir work(5);
    const fs::path data = work / "data";
    fs::copy(data, work / "copy");
    const CliRun same = work.Run("diff copy data");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");
    EXPECT_EQ(work.Run("diff copy data --json").out, "[]\n");

    ASSERT_EQ(work.Run("market fix data").status, 0);
    const CliRun changed = work.Run("diff copy data --json");
    ASSERT_EQ(changed.status, 1) << changed.err;
    const json diffs = json::parse(changed.out);
    ASSERT_FALSE(diffs.empty());
    std::set<std::string> files;
    for (const json& d : diffs) {
        for (const char* key : {"file", "team", "slot", "entry", "field", "old", "new"})
            EXPECT_TRUE(d.contains(key)) << key << " in " << d.dump();
        files.insert(d["file"].get<std::string>());
    }
    // The fix wrote the cups and the pool, and its .bak copies are no game files.
    EXPECT_TRUE(files.count("POOLPLYR.DAT"));
    EXPECT_FALSE(files.count("TEAM.001"));
    const CliRun text = work.Run("diff copy/POOLPLYR.DAT data/poolplyr.dat");
    EXPECT_EQ(text.status, 1);
    EXPECT_TRUE(std::regex_search(text.out, std::regex("^POOLPLYR.DAT entry \\d+ \"[^\"]*\": \\w+ .* -> ")))
        << text.out;

    const std::string run = fs::directory_iterator(data / "kivo-backups")->path().filename().string();
    const CliRun backup = work.Run("backups diff data " + run + " --json");
    EXPECT_EQ(backup.status, 1) << backup.err;
    // The run lists its files by name, the directory in the game's order: the same differences either way.
    auto sorted = [](const json& list) {
        std::multiset<std::string> items;
        for (const json& d : list)
            items.insert(d.dump());
        return items;
    };
    EXPECT_TRUE(sorted(json::parse(backup.out)) == sorted(diffs))
        << "the run holds the files as they were before the fix";

    EXPECT_EQ(work.Run("diff copy nowhere").status, 2);
    EXPECT_EQ(work.Run("diff copy data/TEAM.001").status, 2);
    EXPECT_EQ(work.Run("backups diff data 1999-01-01_00-00-00").status, 2);
}

} // namespace
