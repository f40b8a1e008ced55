#include "core/gamefiles/TeamFile.h"

#include <filesystem>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/gamefiles/PlayerCodes.h"

namespace kivo {
namespace {

using test::Bytes;
using test::TempDir;

TEST(IsCupFile, LooksAtTheExtensionWithoutLetterCaseAfterTrailingBlanks) {
    // The game's files are often upper case; a cup file read as a league file would be two bytes off.
    for (const char* cup : {"Eurocup.tmd", "c:\\kivo\\Uefacup.tmd", "EUROCUP.TMD", "Eurocup.Tmd  "})
        EXPECT_TRUE(IsCupFile(cup)) << '"' << cup << '"';
    for (const char* league :
         {"TEAM.074", "Eurocup.tm", "Eurocup.tmdx", "Eurocup.tmd.bak", "Eurocup.tmd\t", "md", "", "   "})
        EXPECT_FALSE(IsCupFile(league)) << '"' << league << '"';
    EXPECT_EQ(TeamRecordOffset("TEAM.074", 0), 2u);
    EXPECT_EQ(TeamRecordOffset("TEAM.074", 300), 2u + 684 * 300);
    EXPECT_EQ(TeamRecordOffset("EUROCUP.TMD", 3), 684u * 3);
}

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
SyntheticFile MakeFile(const std::string& path, std::mt19937& rng, std::size_t teams,
                       std::size_t trailing = 0) {
    SyntheticFile f;
    if (!IsCupFile(path)) f.bytes = {0xAB, 0xCD};
    for (std::size_t k = 0; k < teams; ++k) {
        f.teams.push_back(RandomRecord(rng));
        f.bytes.insert(f.bytes.end(), f.teams.back().begin(), f.teams.back().end());
    }
    const Bytes tail = test::RandomBytes(rng, trailing);
    f.bytes.insert(f.bytes.end(), tail.begin(), tail.end());
    test::WriteBytes(path, f.bytes);
    return f;
}

struct FileCase {
    const char* label;
    const char* name;
    const char* asked; // the name the file is read and written by: found without regard to letter case
    std::size_t teams, trailing, target;
    std::size_t targetOffset; // written out: 2 + 684 k in a league file, 684 k in a cup file
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.label;
}

class TeamFileCases : public ::testing::TestWithParam<FileCase> {};

TEST_P(TeamFileCases, ReadsWholeRecordsWritesOnlyTheTargetAndRefusesBeyondTheEnd) {
    const FileCase& c = GetParam();
    std::mt19937 rng(static_cast<unsigned>(c.teams * 1000 + c.trailing));
    TempDir dir;
    const SyntheticFile file = MakeFile(dir.file(c.name), rng, c.teams, c.trailing);
    const std::string path = dir.file(c.asked);

    auto teams = ReadTeams(path);
    ASSERT_TRUE(teams.ok()) << teams.error().text;
    ASSERT_EQ(teams->size(), c.teams);
    for (std::size_t k = 0; k < c.teams; ++k)
        ASSERT_EQ(SerializeTeamRecord((*teams)[k]), file.teams[k]) << k;
    auto open = TeamFile::Open(path, TeamFile::Mode::ReadOnly);
    ASSERT_TRUE(open.ok());
    EXPECT_EQ(open->CountTeams().value(), c.teams);

    // The trailing bytes are never a record: team `teams` does not exist even when they are there.
    for (std::uint64_t k : {std::uint64_t{c.teams}, std::uint64_t{c.teams + 1}}) {
        const Status s = WriteTeam(path, k, ParseTeamRecord(RandomRecord(rng)));
        ASSERT_FALSE(s.ok()) << "team " << k;
        EXPECT_NE(s.error().text.find("team " + std::to_string(k) + " of " + dir.file(c.name)),
                  std::string::npos)
            << s.error().text;
        auto read = ReadTeam(path, k);
        ASSERT_FALSE(read.ok()) << "team " << k;
        EXPECT_NE(read.error().text.find("offset " + std::to_string(TeamRecordOffset(path, k))),
                  std::string::npos)
            << read.error().text;
    }
    EXPECT_EQ(test::ReadBytes(dir.file(c.name)), file.bytes);

    auto one = ReadTeam(path, c.target);
    ASSERT_TRUE(one.ok()) << one.error().text;
    EXPECT_EQ(SerializeTeamRecord(*one), file.teams[c.target]);
    const TeamRecordBytes replacement = RandomRecord(rng);
    const Status written = WriteTeam(path, c.target, ParseTeamRecord(replacement));
    ASSERT_TRUE(written.ok()) << written.error().text;
    Bytes expected = file.bytes; // header, other teams and trailing bytes unchanged
    std::copy(replacement.begin(), replacement.end(), expected.begin() + std::ptrdiff_t(c.targetOffset));
    EXPECT_EQ(test::ReadBytes(dir.file(c.name)), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a second file";
}

INSTANTIATE_TEST_SUITE_P(
    Files, TeamFileCases,
    ::testing::Values(FileCase{"LeagueFirst", "TEAM.008", "TEAM.008", 5, 0, 0, 2},
                      FileCase{"LeagueLast", "TEAM.074", "team.074", 5, 0, 4, 2 + 684 * 4},
                      FileCase{"CupFirst", "Eurocup.tmd", "Eurocup.tmd", 4, 0, 0, 0},
                      FileCase{"UpperCaseCup", "EUROCWC.TMD", "Eurocwc.tmd", 4, 0, 3, 684 * 3},
                      FileCase{"LeagueTrailingAlmostARecord", "TEAM.008", "TEAM.008", 3, 683, 1, 686},
                      FileCase{"CupTrailingByte", "Eurocup.tmd", "Eurocup.tmd", 3, 1, 2, 684 * 2},
                      FileCase{"Team199", "TEAM.046", "TEAM.046", 200, 17, 199, 2 + 684 * 199}),
    [](const auto& info) { return std::string(info.param.label); });

// The editor's road: read, decode, rename, encode, write back in place. The names are stored at full width
// and nothing else in the file changes.
TEST(TeamFile, ARenamedTeamIsWrittenBackWithZeroPaddedNames) {
    auto padded = [](std::string_view text, std::size_t width) {
        Bytes b(text.begin(), text.end());
        b.resize(width, 0);
        return b;
    };
    for (const char* name : {"Borussia Dortmund 9", "Lazio"}) {
        std::mt19937 rng(19);
        TempDir dir;
        const std::string path = dir.file("TEAM.020");
        const SyntheticFile file = MakeFile(path, rng, 3);
        DecodedTeam decoded = DecodeTeam(ReadTeam(path, 1).value());
        decoded.teamName = name;
        decoded.coachName = "Coach";
        const TeamRecord encoded = EncodeTeam(decoded);
        ASSERT_TRUE(WriteTeam(path, 1, encoded).ok());
        const Bytes after = test::ReadBytes(path);
        EXPECT_EQ(Bytes(after.begin() + 686 + 5, after.begin() + 686 + 24), padded(name, 19));
        EXPECT_EQ(Bytes(after.begin() + 686 + 36, after.begin() + 686 + 60), padded("Coach", 24));
        Bytes expected = file.bytes;
        const TeamRecordBytes record = SerializeTeamRecord(encoded);
        std::copy(record.begin(), record.end(), expected.begin() + 686);
        EXPECT_EQ(after, expected);
    }
}

TEST(BrokenInput, GivesAnErrorWithAClearTextAndNoCrash) {
    TempDir dir;
    test::WriteBytes(dir.file("TEAM.000"), {});
    test::WriteBytes(dir.file("TEAM.001"), {0x42});
    std::filesystem::create_directory(dir.path() / "TEAM.002");
    const std::pair<std::string, const char*> inputs[] = {
        {"TEAM.099", "No such file"},
        {"TEAM.000", "shorter than 2 bytes"},
        {"TEAM.001", "shorter than 2 bytes"},
        {"TEAM.002", "directory"},
        {"TEAM.001/TEAM.003", "Not a directory"}}; // unreadable even for root: the parent is a regular file
    for (const auto& [name, words] : inputs) {
        const std::string path = dir.file(name);
        const Status header = CheckTeamFileHeader(path);
        ASSERT_FALSE(header.ok()) << name;
        EXPECT_NE(header.error().text.find(words), std::string::npos) << header.error().text;
        auto teams = ReadTeams(path);
        ASSERT_FALSE(teams.ok()) << name;
        EXPECT_NE(teams.error().text.find(words), std::string::npos) << teams.error().text;
        EXPECT_NE(teams.error().text.find(name.substr(name.size() - 8)), std::string::npos)
            << teams.error().text;
        EXPECT_FALSE(ReadTeam(path, 0).ok()) << name;
        EXPECT_FALSE(WriteTeam(path, 0, TeamRecord{}).ok()) << name;
    }
    EXPECT_EQ(test::ReadBytes(dir.file("TEAM.001")), Bytes{0x42});
    EXPECT_EQ(std::filesystem::file_size(dir.file("TEAM.000")), 0u);
}

// Any bytes at all are a team file once there are two of them; reading never invents or loses a record. The
// first league files are 2 and 685 bytes long: no teams.
TEST(BrokenInput, RandomBytesAreReadAsWholeRecordsOrRefused) {
    std::mt19937 rng(4242);
    TempDir dir;
    std::uniform_int_distribution<std::size_t> length(0, 684 * 4 + 3);
    for (int n = 0; n < 200; ++n) {
        const std::string path = dir.file(n % 2 ? "Uefacup.tmd" : "TEAM.033");
        const std::size_t start = n % 2 ? 0 : 2;
        const Bytes bytes = test::RandomBytes(rng, n == 0 ? 2 : n == 2 ? 685 : length(rng));
        test::WriteBytes(path, bytes);
        auto teams = ReadTeams(path);
        ASSERT_EQ(teams.ok(), bytes.size() >= 2) << bytes.size();
        if (!teams.ok()) continue;
        ASSERT_EQ(teams->size(), (bytes.size() - start) / 684) << bytes.size();
        for (std::size_t k = 0; k < teams->size(); ++k) {
            const TeamRecordBytes again = SerializeTeamRecord((*teams)[k]);
            ASSERT_TRUE(
                std::equal(again.begin(), again.end(), bytes.begin() + std::ptrdiff_t(start + 684 * k)));
        }
    }
}

TEST(BrokenInput, AHugeFileIsRefusedInsteadOfReadWhole) {
    TempDir dir;
    test::WriteBytes(dir.file("TEAM.000"), {0, 0});
    std::filesystem::resize_file(dir.file("TEAM.000"), 2 + 684ull * 200000); // sparse: takes no disk space
    auto teams = ReadTeams(dir.file("TEAM.000"));
    ASSERT_FALSE(teams.ok());
    EXPECT_NE(teams.error().text.find("too large"), std::string::npos) << teams.error().text;
}

// Team positions are single bytes: 256 teams is the most a file holds, and one more makes it no team file
// (a sparse file of 99,999 teams would otherwise be read as that many blank teams).
TEST(BrokenInput, AFileOfMoreThan256TeamsIsRefused) {
    TempDir dir;
    for (const std::uint64_t teams : {256ull, 257ull, 99999ull}) {
        SCOPED_TRACE(teams);
        test::WriteBytes(dir.file("TEAM.001"), {0, 0});
        std::filesystem::resize_file(dir.file("TEAM.001"), 2 + 684 * teams);
        auto read = ReadTeams(dir.file("TEAM.001"));
        EXPECT_EQ(read.ok(), teams == 256);
        EXPECT_EQ(CheckTeamFileHeader(dir.file("TEAM.001")).ok(), teams == 256);
        EXPECT_FALSE(ReadTeam(dir.file("TEAM.001"), 256).ok());
    }
}

// A team position so large that its byte offset does not fit must not wrap round to a real team: as
// 684 = 4 x 171, team 2^62 + 1 lies 684 bytes after team 0 once the offset wraps, 2^64 - 1 684 bytes before.
TEST(BrokenInput, AHugeTeamPositionIsRefusedAndChangesNothing) {
    std::mt19937 rng(62);
    TempDir dir;
    const std::uint64_t lastFitting =
        (static_cast<std::uint64_t>(std::numeric_limits<long>::max()) - 686) / 684;
    for (const char* name : {"TEAM.010", "Eurocup.tmd"}) {
        const SyntheticFile file = MakeFile(dir.file(name), rng, 3);
        for (std::uint64_t k :
             {(std::uint64_t{1} << 62) + 1, ~std::uint64_t{0}, lastFitting, lastFitting + 1}) {
            EXPECT_FALSE(WriteTeam(dir.file(name), k, ParseTeamRecord(RandomRecord(rng))).ok()) << name << k;
            EXPECT_FALSE(ReadTeam(dir.file(name), k).ok()) << name << " team " << k;
        }
        EXPECT_EQ(test::ReadBytes(dir.file(name)), file.bytes) << name;
    }
}

} // namespace
} // namespace kivo
