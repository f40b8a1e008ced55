#include "core/prices/Formulas.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"

namespace kivo {
namespace {

using test::TempDir;

TEST(Formulas, EachRoleHasItsKeyCaptionAndDefault) {
    const std::tuple<FormulaRole, const char*, const char*, const char*> roles[] = {
        {FormulaRole::Back, "FormulaMarcadorPunta",
         "Back Formula:", "75k*pa+100k*he+200k*(ta-7)+150k*(bc-4)+150k*(sp-7)"},
        {FormulaRole::Defender, "FormulaMarcadorCentral",
         "Defender Formula:", "200k*(he-8)+300k*(ta-9)+50k*bc+50k*sp"},
        {FormulaRole::Wing, "FormulaVolanteLateral",
         "Wing Formula:", "200k*(pa-7)+200k*(sh-5)+75k*(ta-2)+200k*(bc-8)+200k*(sp-7)+150k*(fi-2)"},
        {FormulaRole::Midfield, "FormulaVolanteCentral",
         "Midfield Formula:", "250k*(pa-6)+200k*(sh-5)+250k*(ta-7)+150k*(bc-2)+100k*sp+100k*fi"},
        {FormulaRole::Attack, "FormulaDelantero",
         "Attack Formula:", "100k*pa+300k*(sh-6)+250k*(he-5)+25k*ta+300k*(bc-8)+300k*(sp-6)+350k*(fi-9)"}};
    for (const auto& [role, key, caption, text] : roles) {
        const FormulaInfo& info = Info(role);
        EXPECT_EQ(info.role, role);
        EXPECT_EQ(info.key, key);
        EXPECT_EQ(info.caption, caption);
        EXPECT_EQ(info.defaultText, text);
        EXPECT_EQ(DefaultFormulas()[static_cast<std::size_t>(role)], text);
    }
}

TEST(ReadFormulas, GivesTheDefaultsWithoutFileSectionOrKeyAndCreatesNothing) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    EXPECT_EQ(ReadFormulas(path), DefaultFormulas());
    EXPECT_FALSE(std::filesystem::exists(path));
    const std::string text = "[Configuraci\xF3n]\r\nDirectorioKIVO=c:\\kivo\\data\r\n";
    test::WriteText(path, text);
    EXPECT_EQ(ReadFormulas(path), DefaultFormulas());
    EXPECT_EQ(test::ReadText(path), text);
    const std::string longFormula = std::string(150, '1') + "+" + std::string(149, '2');
    test::WriteText(path, "[Formula]\nFormulaVolanteCentral=1m*pa\nFormulaDelantero=" + longFormula + "\n");
    FormulaSet expected = DefaultFormulas();
    expected[static_cast<std::size_t>(FormulaRole::Midfield)] = "1m*pa";
    expected[static_cast<std::size_t>(FormulaRole::Attack)] = longFormula.substr(0, 200); // at most 200 kept
    EXPECT_EQ(ReadFormulas(path), expected);
}

TEST(WriteFormulas, WritesTheFiveKeysInRoleOrderKeepsOtherSectionsAndReadsBack) {
    TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    test::WriteText(path, "[Configuraci\xF3n]\nDirectorioKIVO=/data\n");
    const FormulaSet written = {"1k*pa", "2k * sh + 3", "(ta-7)*100K", "50k*bc+50k*sp", "20m"};
    ASSERT_TRUE(WriteFormulas(path, written));
    EXPECT_EQ(ReadFormulas(path), written);
    EXPECT_EQ(ReadIniText(path, kConfigSection, kDirectorioKivo, ""), "/data");
    const std::string text = test::ReadText(path);
    std::size_t last = 0;
    for (const FormulaInfo& info : FormulaInfos()) {
        const std::size_t at = text.find(info.key);
        ASSERT_NE(at, std::string::npos) << info.key << '\n' << text;
        EXPECT_GT(at, last) << info.key << '\n' << text;
        last = at;
    }
    test::WriteText(dir.file("plain"), "x");
    EXPECT_FALSE(WriteFormulas((dir.path() / "plain" / "ventanas.ini").string(), written));
}

} // namespace
} // namespace kivo

namespace kivo {
namespace {

TEST(WriteFormula, WritesOneKeyAndLeavesTheRestByteForByte) {
    test::TempDir dir;
    const std::string path = dir.file("ventanas.ini");
    const std::string before =
        "; mine\r\n[Formula]\r\nFormulaDelantero=1k\r\n\r\n[Configuraci\xF3n]\r\nX=1\r\n";
    test::WriteText(path, before);
    ASSERT_TRUE(WriteFormula(path, FormulaRole::Attack, "2k*pa"));
    ASSERT_TRUE(WriteFormula(path, FormulaRole::Wing, "3k"));
    EXPECT_EQ(test::ReadText(path),
              "; mine\r\n[Formula]\r\nFormulaDelantero=2k*pa\r\nFormulaVolanteLateral=3k\r\n\r\n"
              "[Configuraci\xF3n]\r\nX=1\r\n");
    EXPECT_EQ(ReadFormulas(path)[static_cast<std::size_t>(FormulaRole::Wing)], "3k");
    std::filesystem::create_directory(dir.file("adir"));
    EXPECT_FALSE(WriteFormula(dir.file("adir"), FormulaRole::Back, "1k"));
}

TEST(FormulaRoleNamed, NamesInAnyLetterCase) {
    EXPECT_EQ(FormulaRoleNamed("back"), FormulaRole::Back);
    EXPECT_EQ(FormulaRoleNamed("DEFENDER"), FormulaRole::Defender);
    EXPECT_EQ(FormulaRoleNamed("Wing"), FormulaRole::Wing);
    EXPECT_EQ(FormulaRoleNamed("midField"), FormulaRole::Midfield);
    EXPECT_EQ(FormulaRoleNamed("attack"), FormulaRole::Attack);
    EXPECT_EQ(FormulaRoleNamed("goalkeeper"), std::nullopt);
    EXPECT_EQ(FormulaRoleNamed(""), std::nullopt);
}

} // namespace
} // namespace kivo
