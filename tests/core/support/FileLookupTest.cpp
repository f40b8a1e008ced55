#include "core/support/FileLookup.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace kivo {
namespace {

using test::TempDir;

TEST(FindExistingFile, FindsAnUpperCaseFileByItsLowerCaseName) {
    TempDir dir;
    test::WriteText(dir.file("TEAM.074"), "x");
    const auto found = FindExistingFile(dir.path() / "team.074");
    EXPECT_EQ(found, dir.path() / "TEAM.074");
}

TEST(FindExistingFile, FindsAMixedCaseCupFile) {
    TempDir dir;
    test::WriteText(dir.file("EUROCUP.TMD"), "x");
    EXPECT_EQ(FindExistingFile(dir.path() / "Eurocup.tmd"), dir.path() / "EUROCUP.TMD");
}

TEST(FindExistingFile, PrefersTheExactNameWhenItExists) {
    TempDir dir;
    test::WriteText(dir.file("TEAM.074"), "upper");
    test::WriteText(dir.file("team.074"), "lower");
    EXPECT_EQ(FindExistingFile(dir.path() / "team.074"), dir.path() / "team.074");
    EXPECT_EQ(FindExistingFile(dir.path() / "TEAM.074"), dir.path() / "TEAM.074");
}

TEST(FindExistingFile, GivesTheAskedNameBackWhenNothingMatches) {
    TempDir dir;
    test::WriteText(dir.file("TEAM.075"), "x");
    EXPECT_EQ(FindExistingFile(dir.path() / "team.074"), dir.path() / "team.074");
    // A missing directory and a parent that is a file are not errors here: the open that follows reports
    // them.
    EXPECT_EQ(FindExistingFile(dir.path() / "nodir" / "team.074"), dir.path() / "nodir" / "team.074");
    EXPECT_EQ(FindExistingFile(dir.path() / "TEAM.075" / "team.074"), dir.path() / "TEAM.075" / "team.074");
}

TEST(FindExistingFile, DoesNotMatchANameThatOnlyStartsTheSame) {
    TempDir dir;
    test::WriteText(dir.file("TEAM.0745"), "x");
    EXPECT_EQ(FindExistingFile(dir.path() / "team.074"), dir.path() / "team.074");
}

TEST(SystemErrorText, CarriesTheTextAndTheNumber) {
    const std::string text = SystemErrorText(ENOENT);
    EXPECT_NE(text.find("No such file"), std::string::npos) << text;
    EXPECT_NE(text.find("(" + std::to_string(ENOENT) + ")"), std::string::npos) << text;
}

} // namespace
} // namespace kivo

namespace kivo {
namespace {

// A name without a directory is looked up in the current directory.
TEST(FindExistingFile, LooksUpANameWithoutADirectoryInTheCurrentOne) {
    TempDir dir;
    test::WriteText(dir.file("EUROCUP.TMD"), "x");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const auto found = FindExistingFile("eurocup.tmd");
    std::filesystem::current_path(previous);
    EXPECT_EQ(found, std::filesystem::path("EUROCUP.TMD"));
}

} // namespace
} // namespace kivo
