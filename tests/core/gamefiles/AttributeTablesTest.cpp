#include "core/gamefiles/AttributeTables.h"

#include <set>

#include <gtest/gtest.h>

namespace kivo {
namespace {

// The tables as the game defines them, written out independently of the code: each text blank-padded to its
// table's width and packed one after the other.
const std::string kPositions = "G RBLBD RWLWM A ";
const std::string kPrices =
    "25K- 25K  30K  40K  50K  65K  75K  85K  100K 110K 130K 150K 160K 180K 200K 250K 300K "
    "350K 450K 500K 550K 600K 650K 700K 750K 800K 850K 950K 1M   1.1M 1.3M 1.5M 1.6M "
    "1.8M 1.9M 2M   2.25M2.75M3M   3.5M 4.5M 5M   6M   7M   8M   9M   10M  12M  15M  15M+ ";
const std::string kNationalities = "ALBAUTBELBULCROCYPTCHDENENGESTFARFINFRAGERGREHUNISLISRITALATLITLUXMLTHOLN"
                                   "IRNORPOLPORROMRUSSMRSCOSLOSWETURUKR"
                                   "WALYUGBLSSVKESPARMBOSAZBGEOSWIIRLMACTRKLIEMOLCRCSALGUAHONBHMMEXPANUSABAHN"
                                   "ICBERJAMTRICANBARELSSVCARGBOLBRA"
                                   "CHLCOLECUPARSURURUVENGUYPERALGSAFBOTBFSBURLESZAIZAMGHASENCIVTUNMLIMDGCMRC"
                                   "HDUGALIBMOZKENSUDSWAANGTOGZIMEGY"
                                   "TANNIGETHGABSIEBENCONGUISRLMARGAMMLWJAPTAIINDBANBRUIRAJORSRISYRKORIRNVIEM"
                                   "LYSAUYEMKUWLAONKROMAPAKPHICHNSGP"
                                   "MAUMYAPAPTADUZBQATUAEAUSNZLFIJSOLCUS";
const std::string kDivisions = "Premier   First     Second    Third     Non-League";
const std::string kTactics =
    "4-4-2 5-4-1 4-5-1 5-3-2 3-5-2 4-3-3 4-2-4 3-4-3 SWEEP 5-2-3 ATTACKDEFENDUSER AUSER B"
    "USER CUSER DUSER EUSER F";
const std::string kColours =
    "Gray      White     Black     Orange    Red       Blue      Brown     Light Blue"
    "Green     Yellow    ";
// Country names by code, '|' between them; an empty name is a code without a name.
const std::string kCountries =
    "Albania|Austria|Belgium|Bulgaria|Croatia|Cyprus|Czech|Denmark|England||Estonia|Faroe|Finland|France|"
    "Germany|"
    "Greece|Hungary|Iceland|R.Ireland|Israel|Italy|Latvia|Lithuania|Luxembourg|Malta|Holland|NIreland|Norway|"
    "Poland|Portugal|Romania|Russia|San "
    "Marino|Scotland|Slovenia|Spain|Sweden|Switzerland|Turkey|Ukraine|Wales|"
    "Yugoslavia|Argelia|Argentina|Australia|Bolivia|Brazil|Costa Rica|Chile|Colombia|Ecuador|El "
    "Salvador||||Japan|"
    "|South Korea||Malaysia|Mexico||New "
    "Zealand||Paraguay|Peru|Surinam|Taiwan||S.Africa|Tanzania|Uruguay||USA|"
    "WorldCup|India|Belarus|Venezuela|Slovakia|Ghana|Europe|Africa|S.America|N.America|M.East/Asia|Oceania";

using TextOf = std::optional<std::string> (*)(std::uint8_t);

TEST(CodeTables, HoldExactlyTheListedTextsAtTheirWidth) {
    const std::tuple<const char*, TextOf, const std::string*, std::size_t, std::size_t> tables[] = {
        {"Position", PositionText, &kPositions, 2, 8},
        {"Price", PriceText, &kPrices, 5, 50},
        {"Nationality", NationalityText, &kNationalities, 3, 153},
        {"Division", DivisionText, &kDivisions, 10, 5},
        {"Tactic", TacticText, &kTactics, 6, 18},
        {"Colour", ColourText, &kColours, 10, 10}};
    for (const auto& [name, text, packed, width, count] : tables) {
        ASSERT_EQ(packed->size(), width * count) << name;
        for (std::size_t code = 0; code < 256; ++code) {
            if (code < count)
                EXPECT_EQ(text(std::uint8_t(code)), packed->substr(code * width, width))
                    << name << ' ' << code;
            else
                EXPECT_EQ(text(std::uint8_t(code)), std::nullopt) << name << ' ' << code;
        }
    }
}

TEST(CountryName, NamesEveryCodeOrShowsItsNumber) {
    std::vector<std::string> names(1);
    for (char c : kCountries)
        if (c == '|')
            names.emplace_back();
        else
            names.back().push_back(c);
    ASSERT_EQ(names.size(), 86u);
    for (int code = 0; code < 256; ++code) {
        const bool named = code < 86 && !names[code].empty();
        EXPECT_EQ(HasCountryName(std::uint8_t(code)), named) << code;
        EXPECT_EQ(CountryName(std::uint8_t(code)), named ? names[code] : std::to_string(code));
    }
}

using CodeOf = std::optional<std::uint8_t> (*)(std::string_view);

// Every code back from its padded and its trimmed text; nothing from texts outside the table, another letter
// case, leading blanks or a text longer than the width.
TEST(TextToCode, GivesBackEveryCodeAndRefusesOtherTexts) {
    const std::tuple<TextOf, CodeOf, std::size_t> tables[] = {
        {PositionText, PositionCode, 8}, {PriceText, PriceCode, 50}, {NationalityText, NationalityCode, 153}};
    for (const auto& [text, code, count] : tables) {
        for (std::size_t c = 0; c < count; ++c) {
            const std::string padded = *text(std::uint8_t(c));
            EXPECT_EQ(code(padded), c) << padded;
            EXPECT_EQ(code(padded.substr(0, padded.find_last_not_of(' ') + 1)), c) << padded;
        }
        for (const char* other : {"", "   ", "ZZ", "xx ", "toolongtext"})
            EXPECT_EQ(code(other), std::nullopt) << '"' << other << '"';
    }
    const std::pair<CodeOf, const char*> others[] = {{PositionCode, "rb"},  {PositionCode, " D"},
                                                     {PriceCode, "25k"},    {PriceCode, " 25K"},
                                                     {PriceCode, "2.25M "}, {NationalityCode, "esp"}};
    for (const auto& [code, other] : others)
        EXPECT_EQ(code(other), std::nullopt) << '"' << other << '"';
}

TEST(KitDesign, MapsLMVToZeroOneTwoAndEverythingElseToH) {
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(KitDesignLetter(std::uint8_t(b)), b < 3 ? "LMV"[b] : 'H') << b;
        const char letter = static_cast<char>(b);
        EXPECT_EQ(KitDesignCode(letter), letter == 'L' ? 0 : letter == 'M' ? 1 : letter == 'V' ? 2 : 3) << b;
    }
    EXPECT_EQ(KitDesignLabel('L'), "Plain");
    EXPECT_EQ(KitDesignLabel('M'), "Colored Sleeves");
    EXPECT_EQ(KitDesignLabel('V'), "Vertical");
    EXPECT_EQ(KitDesignLabel('H'), "Horizontal");
}

TEST(NationalityCodesAlphabetical, IsEveryCodeOnceSortedByText) {
    const auto& codes = NationalityCodesAlphabetical();
    EXPECT_EQ(std::set<std::uint8_t>(codes.begin(), codes.end()).size(), 153u);
    auto text = [](std::uint8_t code) { return kNationalities.substr(code * 3, 3); };
    for (std::size_t i = 1; i < codes.size(); ++i)
        EXPECT_LT(text(codes[i - 1]), text(codes[i])) << i;
    EXPECT_EQ(text(codes.front()), "ALB");
    EXPECT_EQ(text(codes.back()), "ZIM");
}

} // namespace
} // namespace kivo
