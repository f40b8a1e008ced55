#include "core/gamefiles/TeamFile.h"

#include <filesystem>
#include <limits>
#include <random>

#include <unistd.h>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"
#include "core/gamefiles/PlayerCodes.h"

namespace kivo {
namespace {

using test::Bytes;
using test::TempDir;

// ---- Telling the two kinds of file apart ----

struct CupCase {
    const char* path;
    bool cup;
};

class IsCup : public ::testing::TestWithParam<CupCase> {};

TEST_P(IsCup, LooksAtTheLastThreeCharactersAfterTrailingBlanks) {
    EXPECT_EQ(IsCupFile(GetParam().path), GetParam().cup) << '"' << GetParam().path << '"';
}

INSTANTIATE_TEST_SUITE_P(Paths, IsCup,
                         ::testing::Values(CupCase{"Eurocup.tmd", true}, CupCase{"/data/Uefacup.tmd", true},
                                           CupCase{"c:\\kivo\\data\\Eurocwc.tmd", true},
                                           CupCase{"Eurocup.tmd   ", true},
                                           // The game's files are often upper case; a cup file read as a
                                           // league file would be read and written two bytes off.
                                           CupCase{"EUROCUP.TMD", true}, CupCase{"Eurocup.Tmd", true},
                                           CupCase{"EUROCUP.TMD  ", true}, CupCase{"tmd", true},
                                           CupCase{"TEAM.074", false}, CupCase{"/data/team.000", false},
                                           CupCase{"Eurocup.tm", false}, CupCase{"Eurocup.tmdx", false},
                                           CupCase{"Eurocup.tmd.bak", false}, CupCase{"Eurocup.tmd\t", false},
                                           CupCase{"md", false}, CupCase{"", false}, CupCase{"   ", false}));

struct OffsetCase {
    const char* path;
    std::uint64_t k;
    std::uint64_t offset;
};

class RecordOffset : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(RecordOffset, SkipsTheHeaderOfLeagueFilesOnly) {
    EXPECT_EQ(TeamRecordOffset(GetParam().path, GetParam().k), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Paths, RecordOffset,
                         ::testing::Values(OffsetCase{"TEAM.074", 0, 2}, OffsetCase{"TEAM.074", 1, 686},
                                           OffsetCase{"TEAM.074", 255, 2 + 684 * 255},
                                           OffsetCase{"TEAM.074", 300, 2 + 684 * 300},
                                           OffsetCase{"Eurocup.tmd", 0, 0},
                                           OffsetCase{"Eurocup.tmd", 3, 684 * 3},
                                           OffsetCase{"EUROCUP.TMD", 3, 684 * 3}));

// ---- Synthetic files ----

TeamRecordBytes RandomRecord(std::mt19937& rng) {
    const Bytes b = test::RandomBytes(rng, kTeamRecordSize);
    TeamRecordBytes r;
    std::copy(b.begin(), b.end(), r.begin());
    return r;
}

struct SyntheticFile {
    Bytes bytes;
    std::vector<TeamRecordBytes> teams;
};

// A header (league files only), `teams` random records and `trailing` bytes that make no whole record.
SyntheticFile MakeFile(std::mt19937& rng, bool cup, std::size_t teams, std::size_t trailing) {
    SyntheticFile f;
    if (!cup) f.bytes = {0xAB, 0xCD};
    for (std::size_t k = 0; k < teams; ++k) {
        f.teams.push_back(RandomRecord(rng));
        f.bytes.insert(f.bytes.end(), f.teams.back().begin(), f.teams.back().end());
    }
    const Bytes tail = test::RandomBytes(rng, trailing);
    f.bytes.insert(f.bytes.end(), tail.begin(), tail.end());
    return f;
}

struct FileCase {
    const char* label;
    const char* name;
    std::size_t teams;
    std::size_t trailing;
    std::size_t target; // the team written
};

class TeamFileWrite : public ::testing::TestWithParam<FileCase> {};

TEST_P(TeamFileWrite, ChangesOnlyTheTargetRecordsBytes) {
    const FileCase& c = GetParam();
    const bool cup = IsCupFile(c.name);
    std::mt19937 rng(static_cast<unsigned>(c.teams * 1000 + c.trailing));
    TempDir dir;
    const std::string path = dir.file(c.name);
    const SyntheticFile file = MakeFile(rng, cup, c.teams, c.trailing);
    test::WriteBytes(path, file.bytes);

    const TeamRecordBytes replacement = RandomRecord(rng);
    const Status written = WriteTeam(path, c.target, ParseTeamRecord(replacement));
    ASSERT_TRUE(written.ok()) << written.error().text;

    Bytes expected = file.bytes;
    const std::size_t at = (cup ? 0 : 2) + 684 * c.target;
    std::copy(replacement.begin(), replacement.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
    EXPECT_EQ(test::ReadBytes(path), expected);
}

TEST_P(TeamFileWrite, ReadsEveryWholeRecordInFileOrder) {
    const FileCase& c = GetParam();
    std::mt19937 rng(static_cast<unsigned>(c.teams * 1000 + c.trailing));
    TempDir dir;
    const std::string path = dir.file(c.name);
    const SyntheticFile file = MakeFile(rng, IsCupFile(c.name), c.teams, c.trailing);
    test::WriteBytes(path, file.bytes);

    auto teams = ReadTeams(path);
    ASSERT_TRUE(teams.ok()) << teams.error().text;
    ASSERT_EQ(teams->size(), c.teams);
    for (std::size_t k = 0; k < c.teams; ++k)
        ASSERT_EQ(SerializeTeamRecord((*teams)[k]), file.teams[k]) << k;

    auto one = ReadTeam(path, c.target);
    ASSERT_TRUE(one.ok()) << one.error().text;
    EXPECT_EQ(SerializeTeamRecord(*one), file.teams[c.target]);
}

TEST_P(TeamFileWrite, RefusesATeamBeyondTheEndAndChangesNothing) {
    const FileCase& c = GetParam();
    std::mt19937 rng(3);
    TempDir dir;
    const std::string path = dir.file(c.name);
    const SyntheticFile file = MakeFile(rng, IsCupFile(c.name), c.teams, c.trailing);
    test::WriteBytes(path, file.bytes);

    // The trailing bytes are never a record, so team `teams` does not exist even when they are there.
    for (std::uint64_t k : {std::uint64_t{c.teams}, std::uint64_t{c.teams + 1}, std::uint64_t{100000}}) {
        const Status s = WriteTeam(path, k, ParseTeamRecord(RandomRecord(rng)));
        ASSERT_FALSE(s.ok()) << "team " << k;
        EXPECT_NE(s.error().text.find("team " + std::to_string(k)), std::string::npos) << s.error().text;
        EXPECT_NE(s.error().text.find(path), std::string::npos) << s.error().text;
        auto read = ReadTeam(path, k);
        EXPECT_FALSE(read.ok()) << "team " << k;
    }
    EXPECT_EQ(test::ReadBytes(path), file.bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, TeamFileWrite,
                         ::testing::Values(FileCase{"LeagueFirst", "TEAM.008", 5, 0, 0},
                                           FileCase{"LeagueMiddle", "TEAM.008", 5, 0, 2},
                                           FileCase{"LeagueLast", "TEAM.008", 5, 0, 4},
                                           FileCase{"LeagueOneTeam", "TEAM.008", 1, 0, 0},
                                           FileCase{"CupFirst", "Eurocup.tmd", 4, 0, 0},
                                           FileCase{"CupLast", "Uefacup.tmd", 4, 0, 3},
                                           FileCase{"UpperCaseCup", "EUROCWC.TMD", 4, 0, 1},
                                           FileCase{"LeagueTrailingBytes", "TEAM.008", 3, 100, 2},
                                           FileCase{"LeagueTrailingAlmostARecord", "TEAM.008", 3, 683, 2},
                                           FileCase{"CupTrailingBytes", "Eurocup.tmd", 3, 1, 2},
                                           FileCase{"CupTrailingAlmostARecord", "Eurocup.tmd", 3, 683, 2},
                                           FileCase{"ManyTeamsTeam300", "TEAM.046", 301, 0, 300},
                                           FileCase{"ManyTeamsTeam256", "TEAM.046", 301, 17, 256},
                                           FileCase{"ManyTeamsCup", "Eurocup.tmd", 300, 0, 299}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(TeamFileWrite, Team300OfALeagueFileIsAtTwoPlus684Times300) {
    std::mt19937 rng(300);
    TempDir dir;
    const std::string path = dir.file("TEAM.014");
    SyntheticFile file = MakeFile(rng, false, 301, 0);
    test::WriteBytes(path, file.bytes);
    TeamRecord r = ParseTeamRecord(file.teams[300]);
    r.nroEquipoGral = 0xBEEF;
    ASSERT_TRUE(WriteTeam(path, 300, r).ok());
    const Bytes after = test::ReadBytes(path);
    ASSERT_EQ(after.size(), file.bytes.size());
    EXPECT_EQ(after[2 + 684 * 300 + 2], 0xEF);
    EXPECT_EQ(after[2 + 684 * 300 + 3], 0xBE);
}

TEST(TeamFileWrite, FindsTheFileWithoutRegardToLetterCase) {
    std::mt19937 rng(74);
    TempDir dir;
    const SyntheticFile file = MakeFile(rng, false, 2, 0);
    test::WriteBytes(dir.file("TEAM.074"), file.bytes);
    const TeamRecordBytes replacement = RandomRecord(rng);
    ASSERT_TRUE(WriteTeam(dir.file("team.074"), 1, ParseTeamRecord(replacement)).ok());
    EXPECT_FALSE(std::filesystem::exists(dir.file("team.074")) &&
                 !std::filesystem::equivalent(dir.file("team.074"), dir.file("TEAM.074")))
        << "a second file was created";
    Bytes expected = file.bytes;
    std::copy(replacement.begin(), replacement.end(), expected.begin() + 2 + 684);
    EXPECT_EQ(test::ReadBytes(dir.file("TEAM.074")), expected);
    auto teams = ReadTeams(dir.file("team.074"));
    ASSERT_TRUE(teams.ok());
    EXPECT_EQ(teams->size(), 2u);
}

TEST(TeamFileWrite, AnUpperCaseCupFileFoundByItsMixedCaseNameIsReadWithoutAHeader) {
    std::mt19937 rng(5);
    TempDir dir;
    const SyntheticFile file = MakeFile(rng, true, 2, 0);
    test::WriteBytes(dir.file("EUROCUP.TMD"), file.bytes);
    auto teams = ReadTeams(dir.file("Eurocup.tmd"));
    ASSERT_TRUE(teams.ok()) << teams.error().text;
    ASSERT_EQ(teams->size(), 2u);
    EXPECT_EQ(SerializeTeamRecord((*teams)[0]), file.teams[0]);
}

struct NameCase {
    const char* label;
    const char* name;
    std::size_t nameBytes; // bytes before the zero padding
};

class RenamedTeam : public ::testing::TestWithParam<NameCase> {};

// The editor's road: read, decode, rename, encode, write back in place.
TEST_P(RenamedTeam, IsStoredAtFullWidthAndNothingElseChanges) {
    std::mt19937 rng(19);
    TempDir dir;
    const std::string path = dir.file("TEAM.020");
    const SyntheticFile file = MakeFile(rng, false, 3, 0);
    test::WriteBytes(path, file.bytes);

    auto team = ReadTeam(path, 1);
    ASSERT_TRUE(team.ok()) << team.error().text;
    DecodedTeam decoded = DecodeTeam(*team);
    decoded.teamName = GetParam().name;
    const TeamRecord encoded = EncodeTeam(decoded);
    ASSERT_TRUE(WriteTeam(path, 1, encoded).ok());

    const Bytes after = test::ReadBytes(path);
    const std::size_t at = 2 + 684 + 5;
    Bytes expectedName(GetParam().name, GetParam().name + GetParam().nameBytes);
    expectedName.resize(19, 0);
    EXPECT_EQ(Bytes(after.begin() + at, after.begin() + at + 19), expectedName);
    Bytes expected = file.bytes;
    const TeamRecordBytes record = SerializeTeamRecord(encoded);
    std::copy(record.begin(), record.end(), expected.begin() + 2 + 684);
    EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(Names, RenamedTeam,
                         ::testing::Values(NameCase{"NineteenCharacters", "Borussia Dortmund 9", 19},
                                           NameCase{"FiveCharacters", "Lazio", 5},
                                           NameCase{"TrailingBlanks", "ABC                ", 3},
                                           NameCase{"Latin1", "M\xE1laga", 6}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Reading odd and broken files ----

TEST(ReadTeams, ALeagueFileOfExactlyTwoBytesHasNoTeams) {
    TempDir dir;
    test::WriteBytes(dir.file("TEAM.001"), {0x01, 0x02});
    auto teams = ReadTeams(dir.file("TEAM.001"));
    ASSERT_TRUE(teams.ok()) << teams.error().text;
    EXPECT_TRUE(teams->empty());
    EXPECT_TRUE(CheckTeamFileHeader(dir.file("TEAM.001")).ok());
}

TEST(ReadTeams, ALeagueFileWithLessThanOneRecordHasNoTeams) {
    TempDir dir;
    test::WriteBytes(dir.file("TEAM.001"), Bytes(685, 7));
    auto teams = ReadTeams(dir.file("TEAM.001"));
    ASSERT_TRUE(teams.ok()) << teams.error().text;
    EXPECT_TRUE(teams->empty());
}

TEST(TeamFile, CountsWholeRecordsOnly) {
    TempDir dir;
    test::WriteBytes(dir.file("TEAM.001"), Bytes(2 + 684 * 3 + 500, 1));
    test::WriteBytes(dir.file("Eurocup.tmd"), Bytes(684 * 2 + 683, 1));
    for (auto [name, count] : {std::pair{"TEAM.001", 3u}, std::pair{"Eurocup.tmd", 2u}}) {
        auto file = TeamFile::Open(dir.file(name), TeamFile::Mode::ReadOnly);
        ASSERT_TRUE(file.ok()) << file.error().text;
        auto n = file->CountTeams();
        ASSERT_TRUE(n.ok());
        EXPECT_EQ(*n, count) << name;
        EXPECT_EQ(file->isCup(), std::string(name) == "Eurocup.tmd");
    }
}

struct BrokenCase {
    const char* label;
    // Makes the thing at the path and returns the path to hand to the readers.
    std::string (*make)(const TempDir&);
    const char* expectedWords; // part of the error text
};

class BrokenInput : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenInput, GivesAnErrorWithAClearTextAndNoCrash) {
    TempDir dir;
    const std::string path = GetParam().make(dir);
    const Bytes before = std::filesystem::is_regular_file(path) ? test::ReadBytes(path) : Bytes{};

    const Status header = CheckTeamFileHeader(path);
    ASSERT_FALSE(header.ok());
    EXPECT_NE(header.error().text.find(GetParam().expectedWords), std::string::npos) << header.error().text;

    auto teams = ReadTeams(path);
    ASSERT_FALSE(teams.ok());
    EXPECT_NE(teams.error().text.find(GetParam().expectedWords), std::string::npos) << teams.error().text;
    EXPECT_NE(teams.error().text.find(std::filesystem::path(path).filename().string()), std::string::npos)
        << teams.error().text;

    auto team = ReadTeam(path, 0);
    ASSERT_FALSE(team.ok());
    EXPECT_FALSE(team.error().text.empty());

    const Status write = WriteTeam(path, 0, TeamRecord{});
    ASSERT_FALSE(write.ok());
    EXPECT_FALSE(write.error().text.empty());
    if (std::filesystem::is_regular_file(path)) EXPECT_EQ(test::ReadBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(Inputs, BrokenInput,
                         ::testing::Values(BrokenCase{"Missing",
                                                      [](const TempDir& d) { return d.file("TEAM.099"); },
                                                      "No such file"},
                                           BrokenCase{"Empty",
                                                      [](const TempDir& d) {
                                                          test::WriteBytes(d.file("TEAM.000"), {});
                                                          return d.file("TEAM.000");
                                                      },
                                                      "shorter than 2 bytes"},
                                           BrokenCase{"OneByte",
                                                      [](const TempDir& d) {
                                                          test::WriteBytes(d.file("TEAM.000"), {0x42});
                                                          return d.file("TEAM.000");
                                                      },
                                                      "shorter than 2 bytes"},
                                           BrokenCase{"EmptyCupFile",
                                                      [](const TempDir& d) {
                                                          test::WriteBytes(d.file("Eurocup.tmd"), {});
                                                          return d.file("Eurocup.tmd");
                                                      },
                                                      "shorter than 2 bytes"},
                                           BrokenCase{"Directory",
                                                      [](const TempDir& d) {
                                                          std::filesystem::create_directory(d.path() /
                                                                                            "TEAM.000");
                                                          return d.file("TEAM.000");
                                                      },
                                                      "directory"},
                                           // Unreadable even for root: the parent is a regular file.
                                           BrokenCase{"ParentIsAFile",
                                                      [](const TempDir& d) {
                                                          test::WriteBytes(d.file("data"), {1, 2, 3});
                                                          return (d.path() / "data" / "TEAM.000").string();
                                                      },
                                                      "Not a directory"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(BrokenInput, UnreadableFileGivesAnError) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads files without read permission; see ParentIsAFile";
    TempDir dir;
    test::WriteBytes(dir.file("TEAM.000"), Bytes(2 + 684, 0));
    std::filesystem::permissions(dir.file("TEAM.000"), std::filesystem::perms::none);
    auto teams = ReadTeams(dir.file("TEAM.000"));
    ASSERT_FALSE(teams.ok());
    EXPECT_NE(teams.error().text.find("Permission denied"), std::string::npos) << teams.error().text;
}

// Any bytes at all are a team file once there are two of them; the records may hold nonsense but reading
// them never fails and never invents or loses a record.
TEST(BrokenInput, RandomBytesAreReadAsWholeRecordsOrRefused) {
    std::mt19937 rng(4242);
    TempDir dir;
    std::uniform_int_distribution<std::size_t> length(0, 684 * 4 + 3);
    for (int n = 0; n < 200; ++n) {
        const bool cup = n % 2 == 1;
        const std::string path = dir.file(cup ? "Uefacup.tmd" : "TEAM.033");
        const Bytes bytes = test::RandomBytes(rng, length(rng));
        test::WriteBytes(path, bytes);
        auto teams = ReadTeams(path);
        if (bytes.size() < 2) {
            ASSERT_FALSE(teams.ok());
            EXPECT_FALSE(teams.error().text.empty());
            continue;
        }
        ASSERT_TRUE(teams.ok()) << teams.error().text;
        const std::size_t start = cup ? 0 : 2;
        ASSERT_EQ(teams->size(), (bytes.size() - start) / 684) << bytes.size();
        for (std::size_t k = 0; k < teams->size(); ++k) {
            const TeamRecordBytes again = SerializeTeamRecord((*teams)[k]);
            ASSERT_TRUE(std::equal(again.begin(), again.end(),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(start + 684 * k)));
        }
    }
}

TEST(BrokenInput, AHugeFileIsRefusedInsteadOfReadWhole) {
    TempDir dir;
    const std::string path = dir.file("TEAM.000");
    test::WriteBytes(path, {0, 0});
    // Sparse: takes no disk space.
    std::filesystem::resize_file(path, 2 + 684ull * 200000);
    auto teams = ReadTeams(path);
    ASSERT_FALSE(teams.ok());
    EXPECT_NE(teams.error().text.find("too large"), std::string::npos) << teams.error().text;
}

// A team position so large that its byte offset does not fit 64 bits must not wrap round to a real team.
class HugeTeamPosition : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(HugeTeamPosition, IsRefusedAndChangesNothing) {
    std::mt19937 rng(62);
    TempDir dir;
    for (const char* name : {"TEAM.010", "Eurocup.tmd"}) {
        const std::string path = dir.file(name);
        const SyntheticFile file = MakeFile(rng, IsCupFile(name), 3, 0);
        test::WriteBytes(path, file.bytes);
        const Status s = WriteTeam(path, GetParam(), ParseTeamRecord(RandomRecord(rng)));
        EXPECT_FALSE(s.ok()) << name << " team " << GetParam();
        EXPECT_EQ(test::ReadBytes(path), file.bytes) << name;
        auto read = ReadTeam(path, GetParam());
        EXPECT_FALSE(read.ok()) << name << " team " << GetParam();
    }
}

// 684 = 4 x 171, so 2^62 + 1 teams lie 684 bytes after team 0 once the offset wraps; 2^64 - 1 lies 684
// bytes before it.
INSTANTIATE_TEST_SUITE_P(
    Positions, HugeTeamPosition,
    ::testing::Values((std::uint64_t{1} << 62) + 1, (std::uint64_t{1} << 62) + 2, ~std::uint64_t{0},
                      std::uint64_t{1} << 63,
                      // The last position whose record still ends within a file offset.
                      (static_cast<std::uint64_t>(std::numeric_limits<long>::max()) - 686) / 684,
                      std::uint64_t{100'000'000}));

TEST(BrokenInput, ErrorsNameTheTeamAndOffset) {
    TempDir dir;
    test::WriteBytes(dir.file("TEAM.005"), Bytes(2 + 684, 0));
    auto team = ReadTeam(dir.file("TEAM.005"), 1);
    ASSERT_FALSE(team.ok());
    EXPECT_NE(team.error().text.find("team 1"), std::string::npos) << team.error().text;
    EXPECT_NE(team.error().text.find("686"), std::string::npos) << team.error().text;
}

TEST(BrokenInput, WritingToAReadOnlyOpenFails) {
    TempDir dir;
    const Bytes bytes(2 + 684 * 2, 9);
    test::WriteBytes(dir.file("TEAM.005"), bytes);
    auto file = TeamFile::Open(dir.file("TEAM.005"), TeamFile::Mode::ReadOnly);
    ASSERT_TRUE(file.ok());
    const Status s = file->WriteTeam(0, TeamRecord{});
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(test::ReadBytes(dir.file("TEAM.005")), bytes);
}

} // namespace
} // namespace kivo
