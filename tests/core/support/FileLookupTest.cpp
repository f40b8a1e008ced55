#include "core/support/FileLookup.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "../TestFiles.h"

namespace kivo {
namespace {

TEST(FindExistingFile, FindsAFileWithoutRegardToLetterCasePreferringTheExactName) {
    test::TempDir dir;
    const auto& d = dir.path();
    for (const char* name : {"TEAM.074", "team.075", "TEAM.075", "EUROCUP.TMD", "TEAM.0765"})
        test::WriteText(d / name, name);
    EXPECT_EQ(FindExistingFile(d / "team.074"), d / "TEAM.074");
    EXPECT_EQ(FindExistingFile(d / "Eurocup.tmd"), d / "EUROCUP.TMD");
    EXPECT_EQ(FindExistingFile(d / "team.075"), d / "team.075");
    EXPECT_EQ(FindExistingFile(d / "TEAM.075"), d / "TEAM.075");
    // Nothing matches, not even a name that only starts the same: the asked name comes back, also for a
    // missing directory or a parent that is a file (the open that follows reports them).
    EXPECT_EQ(FindExistingFile(d / "team.076"), d / "team.076");
    EXPECT_EQ(FindExistingFile(d / "nodir" / "team.074"), d / "nodir" / "team.074");
    EXPECT_EQ(FindExistingFile(d / "TEAM.074" / "team.074"), d / "TEAM.074" / "team.074");
    // A name without a directory is looked up in the current one.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(d);
    const auto found = FindExistingFile("eurocup.tmd");
    std::filesystem::current_path(previous);
    EXPECT_EQ(found, std::filesystem::path("EUROCUP.TMD"));
}

TEST(SystemErrorText, CarriesTheTextAndTheNumber) {
    const std::string text = SystemErrorText(ENOENT);
    EXPECT_NE(text.find("No such file"), std::string::npos) << text;
    EXPECT_NE(text.find("(" + std::to_string(ENOENT) + ")"), std::string::npos) << text;
}

} // namespace
} // namespace kivo
