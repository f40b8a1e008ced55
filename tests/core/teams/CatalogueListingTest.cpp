#include "core/teams/CatalogueListing.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "../TestFiles.h"

namespace kivo {
namespace {

struct TrimCase {
    const char* name;
    const char* in;
    const char* out;
};

class TrimDirectoryTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimDirectoryTest, TrimsBlanksThenOneSeparator) {
    EXPECT_EQ(TrimDirectory(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Directories, TrimDirectoryTest,
    ::testing::Values(TrimCase{"Plain", "c:\\kivo\\data", "c:\\kivo\\data"},
                      TrimCase{"TrailingBackslash", "c:\\kivo\\data\\", "c:\\kivo\\data"},
                      TrimCase{"BlanksThenBackslash", "c:\\kivo\\data\\   ", "c:\\kivo\\data"},
                      TrimCase{"OnlyOnce", "c:\\kivo\\data\\\\", "c:\\kivo\\data\\"},
                      TrimCase{"TrailingSlash", "/home/k/data/", "/home/k/data"},
                      TrimCase{"BackslashThenBlanksKept", "/data\\ x", "/data\\ x"},
                      TrimCase{"Root", "/", "/"}, TrimCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CatalogueListing, UpperCaseNamesSortedWhateverTheirCaseAndNothingWithoutADirectory) {
    test::TempDir dir;
    for (const char* name : {"team.074", "TEAM.008", "Team.012", "POOLPLYR.DAT", "EUROCUP.TMD", "teamx.001"})
        test::WriteText(dir.path() / name, "x");
    std::filesystem::create_directory(dir.path() / "team.099");
    const std::vector<std::string> listing = ListTeamFiles(dir.path().string() + "   ");
    EXPECT_EQ(listing, (std::vector<std::string>{"TEAM.008", "TEAM.012", "TEAM.074", "TEAM.099"}));
    EXPECT_TRUE(ListingHasFile(listing, 74));
    EXPECT_TRUE(ListingHasFile(listing, 8));
    EXPECT_TRUE(ListingHasFile(listing, 99)); // directories count too
    EXPECT_FALSE(ListingHasFile(listing, 80));
    EXPECT_FALSE(ListingHasFile(listing, 1));
    // A missing directory, or a file in its place, lists nothing.
    EXPECT_TRUE(ListTeamFiles((dir.path() / "missing").string()).empty());
    EXPECT_TRUE(ListTeamFiles((dir.path() / "TEAM.008").string()).empty());
}

TEST(CatalogueListing, ChosenFilesOwnDirectoryWhateverTheNameLength) {
    EXPECT_EQ(DirectoryOfChosenFile("/games/kivo/data/team.012"), "/games/kivo/data");
    EXPECT_EQ(DirectoryOfChosenFile("/games/kivo/data/Eurocup.tmd"), "/games/kivo/data");
    EXPECT_EQ(DirectoryOfChosenFile("/games/kivo/data/Eurocup.tmd  "), "/games/kivo/data");
    EXPECT_EQ(DirectoryOfChosenFile("/x/t"), "/x");
}

} // namespace
} // namespace kivo
