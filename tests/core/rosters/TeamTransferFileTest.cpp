#include "core/teams/TeamTransferFile.h"

#include <gtest/gtest.h>

#include "RosterTestSupport.h"

namespace kivo::testing {
namespace {

class TeamTransferFileTest : public RosterFilesTest {
protected:
    std::string saved = dir.file("keeper.kteam");
};

TEST_F(TeamTransferFileTest, ATeamSavedFromOneFileIsPastedIntoAnotherKeepingItsNumbers) {
    ASSERT_TRUE(SaveTeamToFile(TeamFile(8), 3, saved).ok());
    const auto file = ReadBytes(saved);
    const std::string header = "KIVO TEAM 1\r\nfile: TEAM.008\r\nteam: 3\r\n\r\n";
    ASSERT_EQ(file.size(), header.size() + kTeamRecordSize);
    EXPECT_EQ(std::string(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(header.size())), header);
    EXPECT_TRUE(std::equal(file.begin() + static_cast<std::ptrdiff_t>(header.size()), file.end(),
                           before8.begin() + 2 + 3 * kTeamRecordSize));

    auto read = ReadTeamTransferFile(saved);
    ASSERT_TRUE(read.ok()) << read.error().text;
    EXPECT_EQ(read->sourceFile, "TEAM.008");
    EXPECT_EQ(read->sourceTeam, 3u);
    BackupRun backups;
    auto before = LoadTeamFromFile(backups, *read, TeamFile(9), 1);
    ASSERT_TRUE(before.ok()) << before.error().text;
    EXPECT_EQ(*before, nine[1]);
    TeamRecord expected = eight[3];
    expected.nroEquipo = nine[1].nroEquipo;
    expected.nroEquipoGral = nine[1].nroEquipoGral;
    EXPECT_EQ(ReadBytes(TeamFile(9)), WithTeam(before9, 1, expected));
    EXPECT_EQ(ReadBytes(TeamFile(8)), before8);
    EXPECT_EQ(ReadBytes(backups.BackupPathFor(TeamFile(9))), before9);
}

TEST_F(TeamTransferFileTest, AFileThatIsNotASavedTeamIsRefused) {
    std::string good;
    {
        ASSERT_TRUE(SaveTeamToFile(TeamFile(8), 0, saved).ok());
        const auto bytes = ReadBytes(saved);
        good.assign(bytes.begin(), bytes.end());
    }
    const struct {
        const char* name;
        std::string bytes;
        std::string why;
    } cases[] = {
        {"empty", "", "does not start with"},
        {"a team file", std::string(before8.begin(), before8.end()), "far more than a team"},
        {"another header", "KIVO TEAM 2\r\n" + good.substr(13), "does not start with"},
        {"cut short", good.substr(0, good.size() - 1), "not 683"},
        {"a byte too many", good + "x", "not 685"},
        {"no index", "KIVO TEAM 1\r\nfile: TEAM.008\r\n\r\n" + good.substr(good.size() - kTeamRecordSize),
         "does not name its file and team"},
        {"a bad index",
         "KIVO TEAM 1\r\nfile: TEAM.008\r\nteam: -1\r\n\r\n" + good.substr(good.size() - kTeamRecordSize),
         "holds no index"},
    };
    for (const auto& c : cases) {
        WriteBytes(saved, std::vector<std::uint8_t>(c.bytes.begin(), c.bytes.end()));
        auto read = ReadTeamTransferFile(saved);
        ASSERT_FALSE(read.ok()) << c.name;
        EXPECT_NE(read.error().text.find(c.why), std::string::npos) << c.name << ": " << read.error().text;
    }
    EXPECT_EQ(ReadBytes(TeamFile(9)), before9);
}

TEST_F(TeamTransferFileTest, SavingNeverReplacesAFileThatIsNotASavedTeam) {
    EXPECT_FALSE(SaveTeamToFile(TeamFile(8), 0, TeamFile(9)).ok());
    EXPECT_EQ(ReadBytes(TeamFile(9)), before9);
    ASSERT_TRUE(SaveTeamToFile(TeamFile(8), 0, saved).ok());
    EXPECT_TRUE(SaveTeamToFile(TeamFile(8), 1, saved).ok());  // a saved team may be replaced
    EXPECT_FALSE(SaveTeamToFile(TeamFile(8), 4, saved).ok()); // no team 4
    auto read = ReadTeamTransferFile(saved);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->sourceTeam, 1u);
}

} // namespace
} // namespace kivo::testing
