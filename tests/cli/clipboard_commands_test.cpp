#include "CliRunner.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/support/FixedText.h"

namespace {

using nlohmann::json;

TEST(ClipboardCommands, AddListAndDeleteTheFirstOfAName) {
    WorkDir work(3);
    auto team = kivo::ReadTeam((work / "data" / "TEAM.010").string(), 1);
    ASSERT_TRUE(team.ok());
    const kivo::DecodedPlayer p = kivo::DecodePlayerSlot(team->jugador[3]);
    auto text = [](const std::string& latin1) { return kivo::Latin1ToUtf8(kivo::TrimRight(latin1)); };
    const std::string name = text(p.name);
    for (int i = 0; i < 2; ++i) { // duplicates are kept
        const CliRun add = work.Run("clipboard add data/TEAM.010 1 4");
        ASSERT_EQ(add.status, 0) << add.err;
        EXPECT_EQ(add.out, name + "\n");
    }
    EXPECT_TRUE(std::filesystem::exists(work / "portapap.tps"));
    const json entry = {{"name", name},
                        {"nationality", text(p.nationality)},
                        {"shirt", team->jugador[3].nroCamiseta},
                        {"face", p.face},
                        {"position", text(p.position)},
                        {"skills", std::vector<int>(p.skills.begin(), p.skills.end())},
                        {"price", text(p.price)}};
    EXPECT_EQ(JsonOf(work.Run("clipboard list --json")), json::array({entry, entry}));
    EXPECT_EQ(work.Run("clipboard list").out, name + "\n" + name + "\n");

    ASSERT_EQ(work.Run("clipboard delete " + ShellQuote(name)).status, 0);
    EXPECT_EQ(JsonOf(work.Run("clipboard list --json")), json::array({entry}));
    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"clipboard delete 'Nobody Here'",
              "kivo-cli: no player named \"Nobody Here\" in the clipboard\n"},
             {"clipboard add data/TEAM.010 1 17", "kivo-cli: SLOT must be from 1 to 16, not 17\n"},
             {"clipboard add data/TEAM.010 999 1", "no team 999"},
             {"clipboard add data/NOFILE 0 1", "NOFILE"}}) {
        const CliRun run = work.Run(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

} // namespace
