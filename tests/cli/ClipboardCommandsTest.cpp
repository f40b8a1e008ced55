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
    const kivo::PlayerSlot& slot = team->jugador[3];
    const json entry = {{"name", name},
                        {"nationality", text(p.nationality)},
                        {"nationality_code", slot.nacionalidad},
                        {"shirt", slot.nroCamiseta},
                        {"face", p.face},
                        {"position", text(p.position)},
                        {"position_code", kivo::PositionCodeOf(slot.posicionYAspecto)},
                        {"skills", std::vector<int>(p.skills.begin(), p.skills.end())},
                        {"price", text(p.price)},
                        {"price_code", slot.valorPase}};
    // Listing changes no byte and leaves no journal.
    const auto before = ReadBytes(work / "portapap.tps");
    EXPECT_EQ(JsonOf(work.Run("clipboard list --json")), json::array({entry, entry}));
    EXPECT_EQ(work.Run("clipboard list").out, name + "\n" + name + "\n");
    EXPECT_EQ(ReadBytes(work / "portapap.tps"), before);
    for (const char* journal : {"portapap.tps-wal", "portapap.tps-shm"})
        EXPECT_FALSE(std::filesystem::exists(work / journal)) << journal;

    ASSERT_EQ(work.Run("clipboard delete " + ShellQuote(name)).status, 0);
    EXPECT_EQ(JsonOf(work.Run("clipboard list --json")), json::array({entry}));
    for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
             {"clipboard delete 'Nobody Here'",
              "kivo-cli: no player named \"Nobody Here\" in the clipboard\n"},
             {"clipboard add data/TEAM.010 999 1", "no team 999"},
             {"clipboard add data/NOFILE 0 1", "NOFILE"}}) {
        const CliRun run = work.Run(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

TEST(ClipboardCommands, ABadSlotIsAUsageError) {
    WorkDir work(3);
    const CliRun run = work.Run("clipboard add data/TEAM.010 1 17");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "kivo-cli: SLOT must be from 1 to 16, not 17\n");
    EXPECT_FALSE(std::filesystem::exists(work / "portapap.tps"));
}

TEST(ClipboardCommands, ListingWithoutAClipboardSaysSoAndCreatesNothing) {
    WorkDir work;
    for (const char* args : {"clipboard list", "clipboard list --json"}) {
        const CliRun run = work.Run(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_NE(run.err.find("There is no players clipboard portapap.tps"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("kivo-cli clipboard add"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(work.path()));
}

// Names with Latin-1 letters are found whatever their letter case.
TEST(ClipboardCommands, DeleteIgnoresTheCaseOfAccentedLetters) {
    WorkDir work(3);
    auto path = (work / "data" / "TEAM.010").string();
    auto team = kivo::ReadTeam(path, 1);
    ASSERT_TRUE(team.ok());
    kivo::StoreText(team->jugador[3].nombreJugador, "gonz\xE1lez \xF1o\xF1o");
    ASSERT_TRUE(kivo::WriteTeam(path, 1, *team).ok());
    ASSERT_EQ(work.Run("clipboard add data/TEAM.010 1 4").status, 0);
    ASSERT_EQ(work.Run("clipboard add data/TEAM.010 1 5").status, 0);
    const CliRun del = work.Run("clipboard delete 'GONZÁLEZ ÑOÑO'");
    ASSERT_EQ(del.status, 0) << del.err;
    const json left = JsonOf(work.Run("clipboard list --json"));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0]["name"], "gonzález ñoño");
}

} // namespace
