#include "core/teams/TeamEditing.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/gamefiles/TeamFile.h"
#include "core/support/FixedText.h"
#include "core/teams/SaveTeam.h"
#include "EditedTeam.h"

namespace kivo {
namespace {

using test::Bytes;
using test::BytesOf;
using test::NormalTeam;
using test::TempDir;

// A file of three teams; each write must change team k's 684 bytes at its kind's offset and nothing else.
struct SaveCase {
    const char* name;
    const char* fileName;
    std::size_t header;
};

class SaveEditsTest : public testing::TestWithParam<SaveCase> {};

TEST_P(SaveEditsTest, WritesTeamKAtItsOffsetAfterTheBackup) {
    TempDir dir;
    const std::string path = dir.file(GetParam().fileName);
    Bytes file = {0xEE, 0xDD};
    file.resize(GetParam().header);
    for (int k = 0; k < 3; ++k) {
        TeamRecord r = NormalTeam();
        r.nroEquipo = static_cast<std::uint8_t>(k);
        const Bytes b = BytesOf(r);
        file.insert(file.end(), b.begin(), b.end());
    }
    file.push_back(0x77); // a stray byte after the last record
    test::WriteBytes(path, file);

    TeamEditSession s = OpenTeamEdit(*ReadTeam(path, 1));
    SetTeamName(s.state, "WRITTEN");
    SetSkill(s.state, 0, 0, 3);
    BackupRun backups;
    const SaveOutcome written = SaveEdits(backups, path, 1, s.state);
    ASSERT_TRUE(written.ok()) << written.text;

    Bytes expected = file;
    const Bytes b = BytesOf(written.record);
    std::copy(b.begin(), b.end(), expected.begin() + GetParam().header + 684);
    EXPECT_EQ(test::ReadBytes(path), expected);
    EXPECT_EQ(FieldValue(written.record.nombreEquipo), "WRITTEN");
    EXPECT_EQ(test::ReadBytes(backups.BackupPathFor(path)), file);
}

TEST_P(SaveEditsTest, RefusesToWriteWhenTheBackupCannotBeMade) {
    TempDir dir;
    const std::string path = dir.file(GetParam().fileName);
    Bytes file(GetParam().header + 2 * 684, 0x11);
    test::WriteBytes(path, file);
    test::WriteText(dir.path() / "kivo-backups", "a file where the backup folder should be");
    TeamEditSession s = OpenTeamEdit(*ReadTeam(path, 0));
    SetTeamName(s.state, "NOT WRITTEN");
    BackupRun backups;
    const SaveOutcome written = SaveEdits(backups, path, 0, s.state);
    EXPECT_EQ(written.failure, SaveOutcome::Failure::BackupRefused);
    EXPECT_NE(written.text.find("Nothing was changed"), std::string::npos) << written.text;
    EXPECT_EQ(test::ReadBytes(path), file);
}

// A file that is gone is refused before anything is written; a team past the end of the file is a failed
// write and the file keeps its length.
TEST(SaveEdits, AGoneFileOrATeamPastItsEndWritesNothing) {
    TempDir dir;
    TeamEditSession s = OpenTeamEdit(NormalTeam());
    BackupRun backups;
    EXPECT_EQ(SaveEdits(backups, dir.file("TEAM.009"), 0, s.state).failure,
              SaveOutcome::Failure::BackupRefused);
    EXPECT_FALSE(std::filesystem::exists(dir.file("TEAM.009")));
    const std::string path = dir.file("TEAM.010");
    const Bytes file(2 + 684, 0x22);
    test::WriteBytes(path, file);
    EXPECT_EQ(SaveEdits(backups, path, 1, s.state).failure, SaveOutcome::Failure::WriteFailed);
    EXPECT_EQ(test::ReadBytes(path), file);
}

// The paste's write: the result tells a refused backup (nothing touched, the program goes on) from a failed
// write, and a written team changes only its own bytes.
TEST(SaveTeam, TellsARefusedBackupFromAFailedWrite) {
    struct Case {
        const char* name;
        bool blockBackups;
        std::uint64_t k;
        TeamSaveResult::Failure failure;
    };
    const Case cases[] = {{"written", false, 1, TeamSaveResult::Failure::None},
                          {"backup refused", true, 1, TeamSaveResult::Failure::BackupRefused},
                          {"past the end", false, 5, TeamSaveResult::Failure::WriteFailed}};
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.file("TEAM.008");
        const Bytes file(2 + 2 * 684, 0x33);
        test::WriteBytes(path, file);
        if (c.blockBackups) test::WriteText(dir.path() / "kivo-backups", "in the way");
        const TeamRecord team = NormalTeam();
        BackupRun backups;
        const TeamSaveResult saved = SaveTeam(backups, path, c.k, team);
        EXPECT_EQ(saved.failure, c.failure) << c.name;
        EXPECT_EQ(saved.ok(), c.failure == TeamSaveResult::Failure::None) << c.name;
        EXPECT_EQ(saved.error.text.empty(), saved.ok()) << c.name;
        Bytes expected = file;
        if (saved.ok()) {
            const Bytes written = BytesOf(team);
            std::copy(written.begin(), written.end(), expected.begin() + 2 + 684);
        }
        EXPECT_EQ(test::ReadBytes(path), expected) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SaveEditsTest,
                         testing::Values(SaveCase{"League", "TEAM.008", 2},
                                         SaveCase{"Cup", "Eurocup.tmd", 0}),
                         [](const testing::TestParamInfo<SaveCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace kivo
