#include "core/gamefiles/AttributeTables.h"

#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace kivo {
namespace {

// The tables as the game defines them, written out independently of the code.
const std::vector<std::string> kPositions = {"G", "RB", "LB", "D", "RW", "LW", "M", "A"};
const std::vector<std::string> kPrices = {
    "25K-", "25K",  "30K",  "40K",  "50K",  "65K",  "75K",   "85K",   "100K", "110K", //
    "130K", "150K", "160K", "180K", "200K", "250K", "300K",  "350K",  "450K", "500K", //
    "550K", "600K", "650K", "700K", "750K", "800K", "850K",  "950K",  "1M",   "1.1M", //
    "1.3M", "1.5M", "1.6M", "1.8M", "1.9M", "2M",   "2.25M", "2.75M", "3M",   "3.5M", //
    "4.5M", "5M",   "6M",   "7M",   "8M",   "9M",   "10M",   "12M",   "15M",  "15M+"};
const std::vector<std::string> kNationalities = {
    "ALB", "AUT", "BEL", "BUL", "CRO", "CYP", "TCH", "DEN", "ENG", "EST", "FAR", "FIN", "FRA", "GER",
    "GRE", "HUN", "ISL", "ISR", "ITA", "LAT", "LIT", "LUX", "MLT", "HOL", "NIR", "NOR", "POL", "POR",
    "ROM", "RUS", "SMR", "SCO", "SLO", "SWE", "TUR", "UKR", "WAL", "YUG", "BLS", "SVK", "ESP", "ARM",
    "BOS", "AZB", "GEO", "SWI", "IRL", "MAC", "TRK", "LIE", "MOL", "CRC", "SAL", "GUA", "HON", "BHM",
    "MEX", "PAN", "USA", "BAH", "NIC", "BER", "JAM", "TRI", "CAN", "BAR", "ELS", "SVC", "ARG", "BOL",
    "BRA", "CHL", "COL", "ECU", "PAR", "SUR", "URU", "VEN", "GUY", "PER", "ALG", "SAF", "BOT", "BFS",
    "BUR", "LES", "ZAI", "ZAM", "GHA", "SEN", "CIV", "TUN", "MLI", "MDG", "CMR", "CHD", "UGA", "LIB",
    "MOZ", "KEN", "SUD", "SWA", "ANG", "TOG", "ZIM", "EGY", "TAN", "NIG", "ETH", "GAB", "SIE", "BEN",
    "CON", "GUI", "SRL", "MAR", "GAM", "MLW", "JAP", "TAI", "IND", "BAN", "BRU", "IRA", "JOR", "SRI",
    "SYR", "KOR", "IRN", "VIE", "MLY", "SAU", "YEM", "KUW", "LAO", "NKR", "OMA", "PAK", "PHI", "CHN",
    "SGP", "MAU", "MYA", "PAP", "TAD", "UZB", "QAT", "UAE", "AUS", "NZL", "FIJ", "SOL", "CUS"};
const std::vector<std::string> kCountries = {"Albania",
                                             "Austria",
                                             "Belgium",
                                             "Bulgaria",
                                             "Croatia",
                                             "Cyprus",
                                             "Czech",
                                             "Denmark",
                                             "England",
                                             "",
                                             "Estonia",
                                             "Faroe",
                                             "Finland",
                                             "France",
                                             "Germany",
                                             "Greece",
                                             "Hungary",
                                             "Iceland",
                                             "R.Ireland",
                                             "Israel",
                                             "Italy",
                                             "Latvia",
                                             "Lithuania",
                                             "Luxembourg",
                                             "Malta",
                                             "Holland",
                                             "NIreland",
                                             "Norway",
                                             "Poland",
                                             "Portugal",
                                             "Romania",
                                             "Russia",
                                             "San Marino",
                                             "Scotland",
                                             "Slovenia",
                                             "Spain",
                                             "Sweden",
                                             "Switzerland",
                                             "Turkey",
                                             "Ukraine",
                                             "Wales",
                                             "Yugoslavia",
                                             "Argelia",
                                             "Argentina",
                                             "Australia",
                                             "Bolivia",
                                             "Brazil",
                                             "Costa Rica",
                                             "Chile",
                                             "Colombia",
                                             "Ecuador",
                                             "El Salvador",
                                             "",
                                             "",
                                             "",
                                             "Japan",
                                             "",
                                             "South Korea",
                                             "",
                                             "Malaysia",
                                             "Mexico",
                                             "",
                                             "New Zealand",
                                             "",
                                             "Paraguay",
                                             "Peru",
                                             "Surinam",
                                             "Taiwan",
                                             "",
                                             "S.Africa",
                                             "Tanzania",
                                             "Uruguay",
                                             "",
                                             "USA",
                                             "WorldCup",
                                             "India",
                                             "Belarus",
                                             "Venezuela",
                                             "Slovakia",
                                             "Ghana",
                                             "Europe",
                                             "Africa",
                                             "S.America",
                                             "N.America",
                                             "M.East/Asia",
                                             "Oceania"};
const std::vector<std::string> kDivisions = {"Premier", "First", "Second", "Third", "Non-League"};
const std::vector<std::string> kTactics = {"4-4-2",  "5-4-1",  "4-5-1",  "5-3-2",  "3-5-2",  "4-3-3",
                                           "4-2-4",  "3-4-3",  "SWEEP",  "5-2-3",  "ATTACK", "DEFEND",
                                           "USER A", "USER B", "USER C", "USER D", "USER E", "USER F"};
const std::vector<std::string> kColours = {"Gray", "White", "Black",      "Orange", "Red",
                                           "Blue", "Brown", "Light Blue", "Green",  "Yellow"};

std::string Pad(const std::string& s, std::size_t width) {
    return s + std::string(width - s.size(), ' ');
}

using TextOf = std::optional<std::string> (*)(std::uint8_t);

struct TableCase {
    const char* name;
    TextOf text;
    const std::vector<std::string>* expected;
    std::size_t width;
};

class CodeTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(CodeTables, HoldExactlyTheListedTextsAtTheirWidth) {
    const TableCase& t = GetParam();
    for (std::size_t code = 0; code < 256; ++code) {
        SCOPED_TRACE("code " + std::to_string(code));
        const auto text = t.text(static_cast<std::uint8_t>(code));
        if (code < t.expected->size()) {
            ASSERT_TRUE(text.has_value());
            EXPECT_EQ(*text, Pad((*t.expected)[code], t.width));
        } else {
            EXPECT_FALSE(text.has_value()) << *text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, CodeTables,
                         ::testing::Values(TableCase{"Position", PositionText, &kPositions, 2},
                                           TableCase{"Price", PriceText, &kPrices, 5},
                                           TableCase{"Nationality", NationalityText, &kNationalities, 3},
                                           TableCase{"Division", DivisionText, &kDivisions, 10},
                                           TableCase{"Tactic", TacticText, &kTactics, 6},
                                           TableCase{"Colour", ColourText, &kColours, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CodeTables, HaveTheirListedSizes) {
    EXPECT_EQ(kPositions.size(), 8u);
    EXPECT_EQ(kPrices.size(), 50u);
    EXPECT_EQ(kNationalities.size(), 153u);
    EXPECT_EQ(kCountries.size(), 86u);
    EXPECT_EQ(kDivisions.size(), 5u);
    EXPECT_EQ(kTactics.size(), 18u);
    EXPECT_EQ(kColours.size(), 10u);
}

// Spot checks at the first and last code of every row of the tables as they are printed.
struct SpotCase {
    TextOf text;
    std::uint8_t code;
    const char* padded;
};

class TableRowBoundaries : public ::testing::TestWithParam<SpotCase> {};

TEST_P(TableRowBoundaries, HaveTheListedText) {
    EXPECT_EQ(GetParam().text(GetParam().code), std::optional<std::string>(GetParam().padded));
}

INSTANTIATE_TEST_SUITE_P(Price, TableRowBoundaries,
                         ::testing::Values(SpotCase{PriceText, 0, "25K- "}, SpotCase{PriceText, 9, "110K "},
                                           SpotCase{PriceText, 10, "130K "}, SpotCase{PriceText, 12, "160K "},
                                           SpotCase{PriceText, 19, "500K "}, SpotCase{PriceText, 20, "550K "},
                                           SpotCase{PriceText, 29, "1.1M "}, SpotCase{PriceText, 30, "1.3M "},
                                           SpotCase{PriceText, 36, "2.25M"}, SpotCase{PriceText, 37, "2.75M"},
                                           SpotCase{PriceText, 39, "3.5M "}, SpotCase{PriceText, 40, "4.5M "},
                                           SpotCase{PriceText, 48, "15M  "},
                                           SpotCase{PriceText, 49, "15M+ "}));
INSTANTIATE_TEST_SUITE_P(
    Nationality, TableRowBoundaries,
    ::testing::Values(SpotCase{NationalityText, 0, "ALB"}, SpotCase{NationalityText, 9, "EST"},
                      SpotCase{NationalityText, 10, "FAR"}, SpotCase{NationalityText, 19, "LAT"},
                      SpotCase{NationalityText, 20, "LIT"}, SpotCase{NationalityText, 29, "RUS"},
                      SpotCase{NationalityText, 30, "SMR"}, SpotCase{NationalityText, 39, "SVK"},
                      SpotCase{NationalityText, 40, "ESP"}, SpotCase{NationalityText, 49, "LIE"},
                      SpotCase{NationalityText, 50, "MOL"}, SpotCase{NationalityText, 59, "BAH"},
                      SpotCase{NationalityText, 60, "NIC"}, SpotCase{NationalityText, 69, "BOL"},
                      SpotCase{NationalityText, 70, "BRA"}, SpotCase{NationalityText, 79, "PER"},
                      SpotCase{NationalityText, 80, "ALG"}, SpotCase{NationalityText, 89, "SEN"},
                      SpotCase{NationalityText, 90, "CIV"}, SpotCase{NationalityText, 99, "KEN"},
                      SpotCase{NationalityText, 100, "SUD"}, SpotCase{NationalityText, 109, "GAB"},
                      SpotCase{NationalityText, 110, "SIE"}, SpotCase{NationalityText, 119, "TAI"},
                      SpotCase{NationalityText, 120, "IND"}, SpotCase{NationalityText, 129, "VIE"},
                      SpotCase{NationalityText, 130, "MLY"}, SpotCase{NationalityText, 139, "CHN"},
                      SpotCase{NationalityText, 140, "SGP"}, SpotCase{NationalityText, 149, "NZL"},
                      SpotCase{NationalityText, 150, "FIJ"}, SpotCase{NationalityText, 152, "CUS"}));
INSTANTIATE_TEST_SUITE_P(
    Others, TableRowBoundaries,
    ::testing::Values(SpotCase{PositionText, 0, "G "}, SpotCase{PositionText, 7, "A "},
                      SpotCase{DivisionText, 0, "Premier   "}, SpotCase{DivisionText, 4, "Non-League"},
                      SpotCase{TacticText, 0, "4-4-2 "}, SpotCase{TacticText, 10, "ATTACK"},
                      SpotCase{TacticText, 17, "USER F"}, SpotCase{ColourText, 0, "Gray      "},
                      SpotCase{ColourText, 7, "Light Blue"}, SpotCase{ColourText, 9, "Yellow    "}));

using CodeOf = std::optional<std::uint8_t> (*)(std::string_view);

struct ReverseCase {
    const char* name;
    TextOf text;
    CodeOf code;
    std::size_t count;
};

class TextToCode : public ::testing::TestWithParam<ReverseCase> {};

TEST_P(TextToCode, GivesBackEveryCodeFromItsPaddedAndItsTrimmedText) {
    const ReverseCase& t = GetParam();
    for (std::size_t code = 0; code < t.count; ++code) {
        const std::string padded = *t.text(static_cast<std::uint8_t>(code));
        EXPECT_EQ(t.code(padded), std::optional<std::uint8_t>(code)) << padded;
        const std::string trimmed = padded.substr(0, padded.find_last_not_of(' ') + 1);
        EXPECT_EQ(t.code(trimmed), std::optional<std::uint8_t>(code)) << trimmed;
    }
}

TEST_P(TextToCode, RefusesTextsOutsideTheTable) {
    const ReverseCase& t = GetParam();
    for (const char* text : {"", "   ", "ZZ", "Q", "xx ", "toolongtext"})
        EXPECT_FALSE(t.code(text).has_value()) << '"' << text << '"';
}

INSTANTIATE_TEST_SUITE_P(Tables, TextToCode,
                         ::testing::Values(ReverseCase{"Position", PositionText, PositionCode, 8},
                                           ReverseCase{"Price", PriceText, PriceCode, 50},
                                           ReverseCase{"Nationality", NationalityText, NationalityCode, 153}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextToCode, ComparesExactlyIncludingCaseAndLeadingBlanks) {
    EXPECT_FALSE(PositionCode("rb").has_value());
    EXPECT_FALSE(PositionCode(" D").has_value());
    EXPECT_FALSE(PriceCode("25k").has_value());
    EXPECT_FALSE(PriceCode(" 25K").has_value());
    EXPECT_FALSE(NationalityCode("esp").has_value());
    // A text longer than the width never matches, even when it starts with a table text.
    EXPECT_FALSE(PriceCode("2.25M ").has_value());
    EXPECT_EQ(PriceCode("25K-"), std::optional<std::uint8_t>(0));
    EXPECT_EQ(PriceCode("25K"), std::optional<std::uint8_t>(1));
}

TEST(KitDesign, DecodesZeroOneTwoToLMVAndEverythingElseToH) {
    for (int code = 0; code < 256; ++code) {
        const char expected = code == 0 ? 'L' : code == 1 ? 'M' : code == 2 ? 'V' : 'H';
        EXPECT_EQ(KitDesignLetter(static_cast<std::uint8_t>(code)), expected) << code;
    }
}

TEST(KitDesign, EncodesLMVToZeroOneTwoAndEveryOtherLetterToThree) {
    for (int c = 0; c < 256; ++c) {
        const char letter = static_cast<char>(c);
        const std::uint8_t expected = letter == 'L' ? 0 : letter == 'M' ? 1 : letter == 'V' ? 2 : 3;
        EXPECT_EQ(KitDesignCode(letter), expected) << c;
    }
}

TEST(KitDesign, HasTheEditorLabels) {
    EXPECT_EQ(KitDesignLabel('L'), "Plain");
    EXPECT_EQ(KitDesignLabel('M'), "Colored Sleeves");
    EXPECT_EQ(KitDesignLabel('V'), "Vertical");
    EXPECT_EQ(KitDesignLabel('H'), "Horizontal");
}

TEST(CountryName, NamesEveryCodeOrShowsItsNumber) {
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const bool named = code < 86 && !kCountries[code].empty();
        EXPECT_EQ(HasCountryName(static_cast<std::uint8_t>(code)), named);
        EXPECT_EQ(CountryName(static_cast<std::uint8_t>(code)),
                  named ? kCountries[code] : std::to_string(code));
        EXPECT_LE(CountryName(static_cast<std::uint8_t>(code)).size(), 11u);
    }
}

TEST(CountryName, ListedCases) {
    EXPECT_EQ(CountryName(9), "9");
    EXPECT_EQ(CountryName(74), "WorldCup");
    EXPECT_EQ(CountryName(0), "Albania");
    EXPECT_EQ(CountryName(85), "Oceania");
    EXPECT_EQ(CountryName(86), "86");
    EXPECT_EQ(CountryName(255), "255");
    for (int code : {9, 52, 53, 54, 56, 58, 61, 63, 68, 72})
        EXPECT_EQ(CountryName(code), std::to_string(code));
}

TEST(NationalityCodesAlphabetical, IsEveryCodeOnceSortedByText) {
    const auto& codes = NationalityCodesAlphabetical();
    std::set<std::uint8_t> seen(codes.begin(), codes.end());
    EXPECT_EQ(seen.size(), 153u);
    EXPECT_EQ(*seen.rbegin(), 152);
    for (std::size_t i = 1; i < codes.size(); ++i)
        EXPECT_LT(kNationalities[codes[i - 1]], kNationalities[codes[i]]) << i;
    EXPECT_EQ(kNationalities[codes.front()], "ALB");
    EXPECT_EQ(kNationalities[codes.back()], "ZIM");
}

} // namespace
} // namespace kivo
