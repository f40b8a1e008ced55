#include "core/settings/RecentDirectories.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"

namespace kivo {
namespace {

using test::ReadText;
using test::TempDir;

using List = std::vector<std::string>;

// Each step remembers one directory; the list is read back after each.
struct RememberCase {
    const char* name;
    List steps;
    List expected;
};

class RememberDirectories : public ::testing::TestWithParam<RememberCase> {};

TEST_P(RememberDirectories, KeepsTheLastFiveNewestFirstWithoutRepeats) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    for (const std::string& step : GetParam().steps)
        ASSERT_TRUE(RememberDirectory(path, step));
    EXPECT_EQ(ReadRecentDirectories(path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RememberDirectories,
    ::testing::Values(
        RememberCase{"one", {"/a"}, {"/a"}},
        RememberCase{"newest first", {"/a", "/b", "/c"}, {"/c", "/b", "/a"}},
        RememberCase{"a repeat moves to the front", {"/a", "/b", "/c", "/a"}, {"/a", "/c", "/b"}},
        RememberCase{
            "six keep the last five", {"/1", "/2", "/3", "/4", "/5", "/6"}, {"/6", "/5", "/4", "/3", "/2"}},
        RememberCase{"trailing blanks and one separator go", {"/a/  ", "/a"}, {"/a"}},
        RememberCase{"an empty directory is not kept", {"/a", "   "}, {"/a"}},
        RememberCase{"relative directories are kept as typed", {"data", "../other"}, {"../other", "data"}}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

// The list lives in a section of its own: the specified entries keep their bytes and their place.
TEST(RecentDirectories, LeaveTheSpecifiedEntriesByteForByte) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    const std::string before = "[Formula]\r\nFormulaDelantero=100k*pa\r\n\r\n"
                               "[Configuraci\xF3n]\r\nDirectorioKIVO=c:\\kivo\\data\r\nPathEquipo=x\r\n";
    test::WriteText(path, before);
    ASSERT_TRUE(RememberDirectory(path, "/games/a"));
    ASSERT_TRUE(RememberDirectory(path, "/games/b"));
    const std::string after = ReadText(path);
    ASSERT_EQ(after.substr(0, before.size()), before);
    EXPECT_EQ(after.substr(before.size()),
              "[RecentDirectories]\r\nDirectory1=/games/b\r\nDirectory2=/games/a\r\n");
    // Remembering the newest again writes nothing.
    ASSERT_TRUE(RememberDirectory(path, "/games/b"));
    EXPECT_EQ(ReadText(path), after);
}

TEST(RecentDirectories, TheStartingDirectoryIsTheConfiguredOneElseTheLastUsed) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    EXPECT_EQ(StartingDataDirectory(path), DefaultDataDirectory()); // nothing at all
    EXPECT_FALSE(std::filesystem::exists(path));                    // and nothing written
    ASSERT_TRUE(RememberDirectory(path, "/old"));
    ASSERT_TRUE(RememberDirectory(path, "/last"));
    EXPECT_EQ(StartingDataDirectory(path), "/last");
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kDirectorioKivo, "data"));
    EXPECT_EQ(StartingDataDirectory(path), "data");
    // An empty entry is the user's choice too.
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kDirectorioKivo, ""));
    EXPECT_EQ(StartingDataDirectory(path), "");
}

TEST(RecentDirectories, ARelativeDirectoryIsTakenFromTheStartDirectory) {
    const std::string start = (std::filesystem::path("/copies") / "workspace").string();
    struct Case {
        std::string typed, expected;
    };
    const Case cases[] = {
        {"data", (std::filesystem::path(start) / "data").string()},
        {"data  ", (std::filesystem::path(start) / "data").string()},
        {"../other/data", (std::filesystem::path(start) / "../other/data").string()},
        {"/games/kivo/data", "/games/kivo/data"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveDirectory(c.typed, start), c.expected) << c.typed;
    EXPECT_EQ(ResolveDirectory("data", ""), "data"); // no start directory known: as typed
}

} // namespace
} // namespace kivo
