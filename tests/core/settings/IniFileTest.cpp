#include "core/settings/IniFile.h"

#include <algorithm>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"
#include "core/settings/SettingsEntries.h"

namespace kivo {
namespace {

using test::TempDir;

const std::string kConfig = "Configuraci\xF3n";

std::string FileText(const std::string& path) {
    const test::Bytes b = test::ReadBytes(path);
    return std::string(b.begin(), b.end());
}

TEST(IniSection, ConfigurationIsThirteenBytesWithOneF3Byte) {
    EXPECT_EQ(std::string(kConfigSection), kConfig);
    EXPECT_EQ(std::string(kConfigSection).size(), 13u);
}

TEST(IniWrite, WritesTheAccentedSectionAsTheSingleByteF3) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kDirectorioKivo, "/games/kivo/data"));
    const std::string text = FileText(path);
    EXPECT_NE(text.find("[Configuraci\xF3n]"), std::string::npos) << text;
    // Not UTF-8: the two-byte form of the accented letter would not be found by existing settings files.
    EXPECT_EQ(text.find("\xC3\xB3"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\xF3'), 1);
    EXPECT_EQ(ReadIniText(path, kConfigSection, kDirectorioKivo, "x"), "/games/kivo/data");
}

TEST(IniRead, FindsEntriesInAFileWrittenByHandWithTheF3Byte) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(path, "; settings\r\n"
                          "[Formula]\r\n"
                          "FormulaDelantero=100k*pa\r\n"
                          "\r\n"
                          "[Configuraci\xF3n]\r\n"
                          "DirectorioKIVO=c:\\kivo\\data\r\n"
                          "PathEquipo=c:\\kivo\\data\\team.074\r\n");
    EXPECT_EQ(ReadIniText(path, kConfigSection, kDirectorioKivo, "none"), "c:\\kivo\\data");
    EXPECT_EQ(ReadIniText(path, kConfigSection, kPathEquipo, "none"), "c:\\kivo\\data\\team.074");
    EXPECT_EQ(ReadIniText(path, kFormulaSection, "FormulaDelantero", "none"), "100k*pa");
    // The UTF-8 spelling of the section is another section.
    EXPECT_EQ(ReadIniText(path, "Configuraci\xC3\xB3n", kDirectorioKivo, "none"), "none");
    EXPECT_EQ(ReadDataDirectory(path), "c:\\kivo\\data");
    EXPECT_EQ(ReadLastTeamFile(path), "c:\\kivo\\data\\team.074");
    EXPECT_EQ(ReadAnyFileDirectory(path), DefaultDataDirectory());
}

TEST(IniWrite, KeepsTheHandWrittenEntriesWhenAddingOne) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(path, "[Configuraci\xF3n]\r\nDirectorioKIVO=d:\\old\r\n");
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kPathArchivosTeam, "d:\\any"));
    EXPECT_EQ(ReadIniText(path, kConfigSection, kDirectorioKivo, ""), "d:\\old");
    EXPECT_EQ(ReadIniText(path, kConfigSection, kPathArchivosTeam, ""), "d:\\any");
    const std::string text = FileText(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '['), 1) << "the section was duplicated:\n" << text;
}

TEST(IniRead, NeverCreatesAFile) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    EXPECT_EQ(ReadIniText(path, kConfigSection, kDirectorioKivo, "fallback"), "fallback");
    EXPECT_EQ(ReadIniNumber(path, "Principal", "XPosit"), 0);
    EXPECT_EQ(ReadDataDirectory(path), DefaultDataDirectory());
    EXPECT_EQ(ReadLastTeamFile(path), "");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(IniRead, MissingSectionOrEntryGivesTheFallback) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    test::WriteText(path, "[Principal]\nXPosit=10\n");
    EXPECT_EQ(ReadIniText(path, "Principal", "YPosit", "dflt"), "dflt");
    EXPECT_EQ(ReadIniText(path, "VerEquipos", "XPosit", "dflt"), "dflt");
    EXPECT_EQ(ReadIniText(path, "Principal", "XPosit", "dflt"), "10");
}

TEST(IniRead, AnUnreadablePathGivesTheFallback) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "zeltra.ini");
    EXPECT_EQ(ReadIniText(dir.file("zeltra.ini"), "Principal", "XPosit", "dflt"), "dflt");
    EXPECT_EQ(ReadIniNumber(dir.file("zeltra.ini"), "Principal", "XPosit"), 0);
}

struct NumberCase {
    const char* label;
    const char* stored; // nullptr: entry missing
    long value;
};

class IniNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(IniNumber, ReadsLeadingDigitsAndZeroOtherwise) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    test::WriteText(path, std::string("[Principal]\nOther=5\n") +
                              (GetParam().stored ? std::string("XPosit=") + GetParam().stored + "\n" : ""));
    EXPECT_EQ(ReadIniNumber(path, "Principal", "XPosit"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Entries, IniNumber,
                         ::testing::Values(NumberCase{"Missing", nullptr, 0}, NumberCase{"Empty", "", 0},
                                           NumberCase{"Plain", "120", 120}, NumberCase{"Zero", "0", 0},
                                           NumberCase{"Negative", "-35", -35}, NumberCase{"Word", "Yes", 0},
                                           NumberCase{"DigitsThenText", "42px", 42},
                                           NumberCase{"TextThenDigits", "x42", 0}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(IniWrite, CreatesTheFileAndTheSection) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    ASSERT_TRUE(WriteIniText(path, "VerEquipos", "Maximize", "Yes"));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_NE(FileText(path).find("[VerEquipos]"), std::string::npos);
    EXPECT_EQ(ReadIniText(path, "VerEquipos", "Maximize", "No"), "Yes");
}

TEST(IniWrite, TwoEntriesInTwoSectionsAreBothKept) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    ASSERT_TRUE(WriteIniText(path, "Principal", "XPosit", "15"));
    ASSERT_TRUE(WriteIniText(path, "BrowserBusquedas", "Width", "640"));
    EXPECT_EQ(ReadIniNumber(path, "Principal", "XPosit"), 15);
    EXPECT_EQ(ReadIniNumber(path, "BrowserBusquedas", "Width"), 640);
}

TEST(IniWrite, RewritingAnEntryReplacesItsValue) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    ASSERT_TRUE(WriteIniText(path, "Principal", "Maximize", "Yes"));
    ASSERT_TRUE(WriteIniText(path, "Principal", "Maximize", "No"));
    EXPECT_EQ(ReadIniText(path, "Principal", "Maximize", ""), "No");
    const std::string text = FileText(path);
    EXPECT_EQ(text.find("Maximize"), text.rfind("Maximize")) << text;
}

TEST(IniWrite, KeepsHighBytesInValuesAsTheyAre) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kPathEquipo, "c:\\f\xFAtbol\\team.074"));
    EXPECT_EQ(ReadIniText(path, kConfigSection, kPathEquipo, ""), "c:\\f\xFAtbol\\team.074");
    EXPECT_NE(FileText(path).find("f\xFAtbol"), std::string::npos);
}

TEST(IniWrite, FailsWhenTheFileCannotBeWritten) {
    TempDir dir;
    test::WriteText(dir.file("plain"), "x");
    EXPECT_FALSE(WriteIniText((dir.path() / "plain" / "zeltra.ini").string(), "Principal", "XPosit", "1"));
    EXPECT_FALSE(WriteIniText((dir.path() / "missing" / "zeltra.ini").string(), "Principal", "XPosit", "1"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

} // namespace
} // namespace kivo

namespace kivo {
namespace {

// Settings files written on Windows match section and entry names without regard to letter case.
TEST(IniRead, MatchesNamesWithoutRegardToLetterCase) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    test::WriteText(path, "[principal]\r\nxposit=33\r\nMAXIMIZE=Yes\r\n");
    EXPECT_EQ(ReadIniNumber(path, "Principal", "XPosit"), 33);
    EXPECT_EQ(ReadIniText(path, "Principal", "Maximize", ""), "Yes");
}

TEST(IniRead, GarbageFilesGiveFallbacksAndNoCrash) {
    std::mt19937 rng(1252);
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    for (int n = 0; n < 50; ++n) {
        test::WriteBytes(path, test::RandomBytes(rng, static_cast<std::size_t>(n) * 97));
        EXPECT_EQ(ReadIniText(path, "VerEquipos", "Maximize", "fallback"), "fallback") << n;
        EXPECT_EQ(ReadIniNumber(path, "VerEquipos", "XPosit"), 0) << n;
    }
}

} // namespace
} // namespace kivo

namespace kivo {
namespace {

struct LineBreakCase {
    const char* label;
    std::string section, key, value;
};

class IniLineBreak : public ::testing::TestWithParam<LineBreakCase> {};

// A value such as a file name holding a line break would otherwise write other entries and sections.
TEST_P(IniLineBreak, IsRefusedAndWritesNothing) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    const std::string before = "[Configuraci\xF3n]\r\nPathEquipo=/data/team.074\r\n";
    test::WriteText(path, before);
    EXPECT_FALSE(WriteIniText(path, GetParam().section, GetParam().key, GetParam().value));
    EXPECT_EQ(FileText(path), before);
    EXPECT_EQ(ReadIniText(path, kFormulaSection, "FormulaDelantero", "default"), "default");
}

INSTANTIATE_TEST_SUITE_P(Entries, IniLineBreak,
                         ::testing::Values(LineBreakCase{"ValueNewLine", kConfigSection, kPathEquipo,
                                                         "/d/a\n[Formula]\nFormulaDelantero=1k"},
                                           LineBreakCase{"ValueCarriageReturn", kConfigSection, kPathEquipo,
                                                         "/d/a\r[Formula]\rFormulaDelantero=1k"},
                                           LineBreakCase{"KeyNewLine", kConfigSection,
                                                         "PathEquipo\n[Formula]\nFormulaDelantero", "1k"},
                                           LineBreakCase{"SectionNewLine",
                                                         "Formula]\nFormulaDelantero=1k\n[X", "Key", "v"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(IniLineBreak, OtherControlCharactersAndHighBytesAreWritten) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kPathEquipo, "/d/tab\there/\xE9"));
    EXPECT_EQ(ReadIniText(path, kConfigSection, kPathEquipo, ""), "/d/tab\there/\xE9");
}

} // namespace
} // namespace kivo
