#include "core/settings/IniFile.h"

#include <algorithm>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/settings/SettingsEntries.h"

namespace kivo {
namespace {

using test::ReadText;
using test::TempDir;

// Existing settings files hold the section name in its one-byte Latin-1 form, not UTF-8.
TEST(IniFile, FindsAndKeepsTheEntriesOfAFileWrittenByHand) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(
        path, "; settings\r\n[Formula]\r\nFormulaDelantero=100k*pa\r\n\r\n"
              "[configuraci\xF3n]\r\nDirectorioKIVO=c:\\kivo\\data\r\npathequipo=c:\\kivo\\team.074\r\n");
    EXPECT_EQ(ReadIniText(path, kFormulaSection, "FormulaDelantero", "none"), "100k*pa");
    // Names match without regard to letter case, as on Windows; the UTF-8 spelling is another section.
    EXPECT_EQ(ReadLastTeamFile(path), "c:\\kivo\\team.074");
    EXPECT_EQ(ReadIniText(path, "Configuraci\xC3\xB3n", kDirectorioKivo, "none"), "none");
    EXPECT_EQ(ReadAnyFileDirectory(path), DefaultDataDirectory());
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kPathArchivosTeam, "d:\\any"));
    EXPECT_EQ(ReadDataDirectory(path), "c:\\kivo\\data");
    EXPECT_EQ(ReadIniText(path, kConfigSection, kPathArchivosTeam, ""), "d:\\any");
    const std::string text = ReadText(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '['), 2) << "a section was duplicated:\n" << text;
}

TEST(IniFile, ReadingNeverCreatesAFileAndGivesTheFallbackForAnythingMissing) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    EXPECT_EQ(ReadIniText(path, "Principal", "XPosit", "fallback"), "fallback");
    EXPECT_EQ(ReadIniNumber(path, "Principal", "XPosit"), 0);
    EXPECT_EQ(ReadDataDirectory(path), DefaultDataDirectory());
    EXPECT_EQ(ReadLastTeamFile(path), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    test::WriteText(path, "[Principal]\nXPosit=10\n");
    EXPECT_EQ(ReadIniText(path, "Principal", "YPosit", "dflt"), "dflt");
    EXPECT_EQ(ReadIniText(path, "VerEquipos", "XPosit", "dflt"), "dflt");
    std::mt19937 rng(1252);
    for (int n = 0; n < 50; ++n) {
        test::WriteBytes(path, test::RandomBytes(rng, static_cast<std::size_t>(n) * 97));
        EXPECT_EQ(ReadIniText(path, "VerEquipos", "Maximize", "fallback"), "fallback") << n;
        EXPECT_EQ(ReadIniNumber(path, "VerEquipos", "XPosit"), 0) << n;
    }
}

TEST(IniFile, ReadsANumberFromItsLeadingDigitsAndZeroOtherwise) {
    const std::pair<const char*, long> cases[] = {{"", 0},    {"120", 120}, {"-35", -35},
                                                  {"Yes", 0}, {"42px", 42}, {"x42", 0}};
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    for (const auto& [stored, value] : cases) {
        test::WriteText(path, std::string("[Principal]\nOther=5\nXPosit=") + stored + "\n");
        EXPECT_EQ(ReadIniNumber(path, "Principal", "XPosit"), value) << stored;
    }
}

TEST(IniFile, CreatesFileAndSectionsAndReplacesAValue) {
    TempDir dir;
    const std::string path = dir.file("zeltra.ini");
    ASSERT_TRUE(WriteIniText(path, "VerEquipos", "Maximize", "Yes"));
    ASSERT_TRUE(WriteIniText(path, "Principal", "XPosit", "15"));
    ASSERT_TRUE(WriteIniText(path, "VerEquipos", "Maximize", "No"));
    EXPECT_EQ(ReadIniText(path, "VerEquipos", "Maximize", ""), "No");
    EXPECT_EQ(ReadIniNumber(path, "Principal", "XPosit"), 15);
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("[VerEquipos]"), std::string::npos) << text;
    EXPECT_EQ(text.find("Maximize"), text.rfind("Maximize")) << text;
    // Control characters other than line breaks and high bytes are written as they are.
    ASSERT_TRUE(WriteIniText(path, kConfigSection, kPathEquipo, "c:\\f\xFAtbol\\tab\there"));
    EXPECT_EQ(ReadIniText(path, kConfigSection, kPathEquipo, ""), "c:\\f\xFAtbol\\tab\there");
}

// Below a plain file, in a missing directory, or where a directory stands: an error, and reading gives the
// fallback.
TEST(IniFile, FailsWhenTheFileCannotBeWritten) {
    TempDir dir;
    test::WriteText(dir.file("plain"), "x");
    EXPECT_FALSE(WriteIniText((dir.path() / "plain" / "zeltra.ini").string(), "Principal", "XPosit", "1"));
    EXPECT_FALSE(WriteIniText((dir.path() / "missing" / "zeltra.ini").string(), "Principal", "XPosit", "1"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
    const std::string path = dir.file("ventanas.ini");
    std::filesystem::create_directory(path);
    EXPECT_FALSE(WriteIniText(path, "Formula", "FormulaDelantero", "1k"));
    EXPECT_EQ(ReadIniText(path, "Formula", "FormulaDelantero", "fallback"), "fallback");
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_TRUE(std::filesystem::is_empty(path));
}

// A value such as a file name holding a line break would otherwise write other entries and sections.
TEST(IniFile, RefusesLineBreaksAndWritesNothing) {
    // clang-format off
    const std::tuple<std::string, std::string, std::string> entries[] = {
        {kConfigSection, kPathEquipo, "/d/a\n[Formula]\nFormulaDelantero=1k"},
        {kConfigSection, kPathEquipo, "/d/a\r[Formula]\rFormulaDelantero=1k"},
        {kConfigSection, "PathEquipo\n[Formula]\nFormulaDelantero", "1k"},
        {"Formula]\nFormulaDelantero=1k\n[X", "Key", "v"},
        // A NUL byte would end the text where it is read back.
        {kConfigSection, kPathEquipo, std::string("/d/a\0b", 6)},
        {kConfigSection, std::string("Path\0Equipo", 11), "v"}};
    // clang-format on
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    const std::string before = "[Configuraci\xF3n]\r\nPathEquipo=/data/team.074\r\n";
    test::WriteText(path, before);
    for (const auto& [section, key, value] : entries) {
        EXPECT_FALSE(WriteIniText(path, section, key, value)) << value;
        EXPECT_EQ(ReadText(path), before);
    }
}

struct KeptForm {
    const char* label;
    std::string before;
    std::string section, key, value;
    std::string after;
};

void PrintTo(const KeptForm& c, std::ostream* os) {
    *os << c.label;
}

class IniFileKeepsItsForm : public ::testing::TestWithParam<KeptForm> {};

TEST_P(IniFileKeepsItsForm, OneWriteChangesOnlyItsEntry) {
    const KeptForm& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(path, c.before);
    ASSERT_TRUE(WriteIniText(path, c.section, c.key, c.value));
    EXPECT_EQ(ReadText(path), c.after);
    EXPECT_EQ(ReadIniText(path, c.section, c.key, "missing"), c.value);
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(IniFile, IniFileKeepsItsForm, ::testing::Values(
    KeptForm{"CrlfValueReplaced",
             "; mine\r\n[Formula]\r\nFormulaDelantero=1k*pa\r\n\r\n[Other]\r\nA=1\r\n",
             "Formula", "FormulaDelantero", "2k*pa",
             "; mine\r\n[Formula]\r\nFormulaDelantero=2k*pa\r\n\r\n[Other]\r\nA=1\r\n"},
    KeptForm{"LfValueReplacedKeepingItsSpelling",
             "[formula]\nformuladelantero = 1k\n; note\n",
             "Formula", "FormulaDelantero", "3k",
             "[formula]\nformuladelantero = 3k\n; note\n"},
    KeptForm{"NewEntryBeforeTheBlankLines",
             "[Formula]\r\nFormulaDelantero=1k\r\n\r\n\r\n[Other]\r\nA=1\r\n",
             "Formula", "FormulaVolanteCentral", "5k",
             "[Formula]\r\nFormulaDelantero=1k\r\nFormulaVolanteCentral=5k\r\n\r\n\r\n[Other]\r\nA=1\r\n"},
    KeptForm{"NewEntryInTheLastSectionWithoutAFinalLineEnd",
             "[Other]\nA=1\n[Formula]\nB=2",
             "Formula", "C", "3",
             "[Other]\nA=1\n[Formula]\nB=2\nC=3\n"},
    KeptForm{"NewSectionAtTheEndInTheFileLineEnd",
             "[Other]\r\nA=1",
             "Configuraci\xF3n", "DirectorioKIVO", "c:\\kivo\\data",
             "[Other]\r\nA=1\r\n[Configuraci\xF3n]\r\nDirectorioKIVO=c:\\kivo\\data\r\n"},
    KeptForm{"EmptyFileGetsCrlf", "", "Principal", "XPosit", "10", "[Principal]\r\nXPosit=10\r\n"},
    KeptForm{"SameValueLeavesTheFileAlone",
             "[P]\r\nX = 1 \r\n", "P", "X", "1", "[P]\r\nX = 1 \r\n"},
    KeptForm{"OnlyTheFirstOfTwoEqualSectionsChanges",
             "[P]\nX=1\n[Q]\nX=2\n[P]\nX=3\n", "P", "X", "9", "[P]\nX=9\n[Q]\nX=2\n[P]\nX=3\n"},
    // A last line cut after its CR: the new entry must start a line of its own to be read back.
    KeptForm{"NewEntryAfterALastLineEndingInALoneCr",
             "[Formula]\r\nFormulaDelantero=1k\r", "Formula", "FormulaDefensor", "2k",
             "[Formula]\r\nFormulaDelantero=1k\r\nFormulaDefensor=2k\r\n"},
    KeptForm{"NewSectionAfterAFileOfOneLineEndingInALoneCr",
             "[Other]\r", "Formula", "FormulaDefensor", "2k",
             "[Other]\r\n[Formula]\r\nFormulaDefensor=2k\r\n"}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// A file that exists but cannot be read whole (here a link to a file whose read fails with EIO) is never
// replaced by the one entry being written.
TEST(IniFile, AReadErrorRefusesTheWriteAndKeepsTheFile) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    std::filesystem::create_symlink("/proc/self/mem", path);
    EXPECT_EQ(ReadIniText(path, kFormulaSection, "FormulaDelantero", "fallback"), "fallback");
    EXPECT_FALSE(WriteIniText(path, kFormulaSection, "FormulaDelantero", "1k"));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".partial"));
}

// A write keeps the file's permissions and changes the file a link leads to, not the link.
TEST(IniFile, AWriteKeepsTheModeAndTheLink) {
    TempDir dir;
    const std::string real = dir.file("real.ini");
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(real, "[Formula]\r\nFormulaDelantero=1k\r\n");
    std::filesystem::permissions(real,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
    std::filesystem::create_symlink(real, path);
    ASSERT_TRUE(WriteIniText(path, kFormulaSection, "FormulaDelantero", "2k"));
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadText(real), "[Formula]\r\nFormulaDelantero=2k\r\n");
    EXPECT_EQ(std::filesystem::status(real).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::others_read);
}

} // namespace
} // namespace kivo
