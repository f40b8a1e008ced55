#include "core/prices/Formulas.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"

namespace kivo {
namespace {

using test::TempDir;

struct RoleCase {
    FormulaRole role;
    const char* key;
    const char* caption;
    const char* defaultText;
};

class FormulaRoles : public ::testing::TestWithParam<RoleCase> {};

TEST_P(FormulaRoles, HaveTheirKeyCaptionAndDefault) {
    const FormulaInfo& info = Info(GetParam().role);
    EXPECT_EQ(info.role, GetParam().role);
    EXPECT_EQ(info.key, GetParam().key);
    EXPECT_EQ(info.caption, GetParam().caption);
    EXPECT_EQ(info.defaultText, GetParam().defaultText);
    EXPECT_EQ(DefaultFormulas()[static_cast<std::size_t>(GetParam().role)], GetParam().defaultText);
}

INSTANTIATE_TEST_SUITE_P(
    Roles, FormulaRoles,
    ::testing::Values(
        RoleCase{FormulaRole::Back, "FormulaMarcadorPunta",
                 "Back Formula:", "75k*pa+100k*he+200k*(ta-7)+150k*(bc-4)+150k*(sp-7)"},
        RoleCase{FormulaRole::Defender, "FormulaMarcadorCentral",
                 "Defender Formula:", "200k*(he-8)+300k*(ta-9)+50k*bc+50k*sp"},
        RoleCase{FormulaRole::Wing, "FormulaVolanteLateral",
                 "Wing Formula:", "200k*(pa-7)+200k*(sh-5)+75k*(ta-2)+200k*(bc-8)+200k*(sp-7)+150k*(fi-2)"},
        RoleCase{FormulaRole::Midfield, "FormulaVolanteCentral",
                 "Midfield Formula:", "250k*(pa-6)+200k*(sh-5)+250k*(ta-7)+150k*(bc-2)+100k*sp+100k*fi"},
        RoleCase{FormulaRole::Attack, "FormulaDelantero", "Attack Formula:",
                 "100k*pa+300k*(sh-6)+250k*(he-5)+25k*ta+300k*(bc-8)+300k*(sp-6)+350k*(fi-9)"}));

TEST(ReadFormulas, WithoutAFileGivesTheDefaultsAndCreatesNothing) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    EXPECT_EQ(ReadFormulas(path), DefaultFormulas());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ReadFormulas, WithoutTheSectionGivesTheDefaultsAndLeavesTheFile) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    const std::string text = "[Configuraci\xF3n]\r\nDirectorioKIVO=c:\\kivo\\data\r\n";
    test::WriteText(path, text);
    EXPECT_EQ(ReadFormulas(path), DefaultFormulas());
    const test::Bytes after = test::ReadBytes(path);
    EXPECT_EQ(std::string(after.begin(), after.end()), text);
}

TEST(ReadFormulas, AMissingKeyGivesItsDefault) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(path, "[Formula]\nFormulaVolanteCentral=1m*pa\n");
    FormulaSet expected = DefaultFormulas();
    expected[static_cast<std::size_t>(FormulaRole::Midfield)] = "1m*pa";
    EXPECT_EQ(ReadFormulas(path), expected);
}

TEST(ReadFormulas, KeepsAtMost200Characters) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    const std::string longFormula = std::string(150, '1') + "+" + std::string(149, '2');
    test::WriteText(path, "[Formula]\nFormulaDelantero=" + longFormula + "\n");
    EXPECT_EQ(ReadFormulas(path)[static_cast<std::size_t>(FormulaRole::Attack)], longFormula.substr(0, 200));
}

TEST(WriteFormulas, ThenReadFormulasGivesThemBack) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    const FormulaSet written = {"1k*pa", "2k * sh + 3", "(ta-7)*100K", "50k*bc+50k*sp", "20m"};
    ASSERT_TRUE(WriteFormulas(path, written));
    EXPECT_EQ(ReadFormulas(path), written);
}

TEST(WriteFormulas, WritesTheFiveKeysInRoleOrderAndKeepsOtherSections) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(path, "[Configuraci\xF3n]\nDirectorioKIVO=/data\n");
    ASSERT_TRUE(WriteFormulas(path, DefaultFormulas()));
    const test::Bytes bytes = test::ReadBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    std::size_t last = 0;
    for (const char* key : {"FormulaMarcadorPunta", "FormulaMarcadorCentral", "FormulaVolanteLateral",
                            "FormulaVolanteCentral", "FormulaDelantero"}) {
        const std::size_t at = text.find(key);
        ASSERT_NE(at, std::string::npos) << key << '\n' << text;
        EXPECT_GT(at, last) << key << '\n' << text;
        last = at;
    }
    EXPECT_EQ(ReadIniText(path, kConfigSection, kDirectorioKivo, ""), "/data");
}

TEST(WriteFormulas, FailsWhenTheFileCannotBeWritten) {
    TempDir dir;
    test::WriteText(dir.file("plain"), "x");
    EXPECT_FALSE(WriteFormulas((dir.path() / "plain" / "ventanas.ini").string(), DefaultFormulas()));
}

TEST(RoleOfPosition, PricesEveryPositionButTheGoalkeeper) {
    EXPECT_EQ(RoleOfPosition("LB"), FormulaRole::Back);
    EXPECT_EQ(RoleOfPosition("RB"), FormulaRole::Back);
    EXPECT_EQ(RoleOfPosition("D "), FormulaRole::Defender);
    EXPECT_EQ(RoleOfPosition("RW"), FormulaRole::Wing);
    EXPECT_EQ(RoleOfPosition("LW"), FormulaRole::Wing);
    EXPECT_EQ(RoleOfPosition("M "), FormulaRole::Midfield);
    EXPECT_EQ(RoleOfPosition("A "), FormulaRole::Attack);
    EXPECT_EQ(RoleOfPosition("G "), std::nullopt);
    EXPECT_EQ(RoleOfPosition("  "), std::nullopt);
}

} // namespace
} // namespace kivo
