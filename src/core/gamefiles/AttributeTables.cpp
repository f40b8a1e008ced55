#include "core/gamefiles/AttributeTables.h"

#include <algorithm>

#include "core/support/FixedText.h"

namespace kivo {

namespace {

constexpr std::array<std::string_view, kPositionCount> kPositions = {"G",  "RB", "LB", "D",
                                                                     "RW", "LW", "M",  "A"};

// Stored as the game stores it: one constant of five characters an entry.
constexpr std::string_view kPriceTexts = "25K- 25K  30K  40K  50K  65K  75K  85K  100K 110K "
                                         "130K 150K 160K 180K 200K 250K 300K 350K 450K 500K "
                                         "550K 600K 650K 700K 750K 800K 850K 950K 1M   1.1M "
                                         "1.3M 1.5M 1.6M 1.8M 1.9M 2M   2.25M2.75M3M   3.5M "
                                         "4.5M 5M   6M   7M   8M   9M   10M  12M  15M  15M+ ";
static_assert(kPriceTexts.size() == kPriceWidth * kPriceCount);

// Three letters an entry.
constexpr std::string_view kNationalities = "ALBAUTBELBULCROCYPTCHDENENGEST"
                                            "FARFINFRAGERGREHUNISLISRITALAT"
                                            "LITLUXMLTHOLNIRNORPOLPORROMRUS"
                                            "SMRSCOSLOSWETURUKRWALYUGBLSSVK"
                                            "ESPARMBOSAZBGEOSWIIRLMACTRKLIE"
                                            "MOLCRCSALGUAHONBHMMEXPANUSABAH"
                                            "NICBERJAMTRICANBARELSSVCARGBOL"
                                            "BRACHLCOLECUPARSURURUVENGUYPER"
                                            "ALGSAFBOTBFSBURLESZAIZAMGHASEN"
                                            "CIVTUNMLIMDGCMRCHDUGALIBMOZKEN"
                                            "SUDSWAANGTOGZIMEGYTANNIGETHGAB"
                                            "SIEBENCONGUISRLMARGAMMLWJAPTAI"
                                            "INDBANBRUIRAJORSRISYRKORIRNVIE"
                                            "MLYSAUYEMKUWLAONKROMAPAKPHICHN"
                                            "SGPMAUMYAPAPTADUZBQATUAEAUSNZL"
                                            "FIJSOLCUS";
static_assert(kNationalities.size() == kNationalityWidth * kNationalityCount);

constexpr std::array<std::string_view, kCountryCodeCount> kCountryNames = {"Albania",
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

constexpr std::array<std::string_view, kDivisionCount> kDivisions = {"Premier", "First", "Second", "Third",
                                                                     "Non-League"};

constexpr std::array<std::string_view, kTacticCount> kTactics = {
    "4-4-2", "5-4-1",  "4-5-1",  "5-3-2",  "3-5-2",  "4-3-3",  "4-2-4",  "3-4-3",  "SWEEP",
    "5-2-3", "ATTACK", "DEFEND", "USER A", "USER B", "USER C", "USER D", "USER E", "USER F"};

constexpr std::array<std::string_view, kColourCount> kColours = {
    "Gray", "White", "Black", "Orange", "Red", "Blue", "Brown", "Light Blue", "Green", "Yellow"};

template <std::size_t N>
std::optional<std::string> Lookup(const std::array<std::string_view, N>& table, std::uint8_t code,
                                  std::size_t width) {
    if (code >= N) return std::nullopt;
    return PadBlank(table[code], width);
}

std::optional<std::string> Slice(std::string_view packed, std::size_t width, std::uint8_t code) {
    if (static_cast<std::size_t>(code) * width >= packed.size()) return std::nullopt;
    return std::string(packed.substr(static_cast<std::size_t>(code) * width, width));
}

std::optional<std::uint8_t> FindPacked(std::string_view packed, std::size_t width, std::string_view text) {
    if (text.size() > width) return std::nullopt;
    char buffer[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    std::copy(text.begin(), text.end(), buffer);
    const std::string_view wanted(buffer, width);
    for (std::size_t code = 0; code * width < packed.size(); ++code)
        if (packed.substr(code * width, width) == wanted) return static_cast<std::uint8_t>(code);
    return std::nullopt;
}

} // namespace

std::optional<std::string> PositionText(std::uint8_t code) {
    return Lookup(kPositions, code, kPositionWidth);
}
std::optional<std::string> PriceText(std::uint8_t code) {
    return Slice(kPriceTexts, kPriceWidth, code);
}
std::optional<std::string> NationalityText(std::uint8_t code) {
    return Slice(kNationalities, kNationalityWidth, code);
}
std::optional<std::string> DivisionText(std::uint8_t code) {
    return Lookup(kDivisions, code, kDivisionWidth);
}
std::optional<std::string> TacticText(std::uint8_t code) {
    return Lookup(kTactics, code, kTacticWidth);
}
std::optional<std::string> ColourText(std::uint8_t code) {
    return Lookup(kColours, code, kColourWidth);
}

std::optional<std::uint8_t> PositionCode(std::string_view text) {
    if (text.size() > kPositionWidth) return std::nullopt;
    // Both sides blank-padded to the width, without making strings: every encoded player looks one up.
    auto same = [](std::string_view a, std::string_view b) {
        for (std::size_t i = 0; i < kPositionWidth; ++i)
            if ((i < a.size() ? a[i] : ' ') != (i < b.size() ? b[i] : ' ')) return false;
        return true;
    };
    for (std::size_t code = 0; code < kPositionCount; ++code)
        if (same(kPositions[code], text)) return static_cast<std::uint8_t>(code);
    return std::nullopt;
}

std::optional<std::uint8_t> PriceCode(std::string_view text) {
    return FindPacked(kPriceTexts, kPriceWidth, text);
}

std::optional<std::uint8_t> NationalityCode(std::string_view text) {
    // 153 entries: a binary search over the alphabetical order instead of a scan, since every encoded player
    // looks one up.
    if (text.size() > kNationalityWidth) return std::nullopt;
    char wanted[kNationalityWidth] = {' ', ' ', ' '};
    std::copy(text.begin(), text.end(), wanted);
    const std::string_view key(wanted, kNationalityWidth);
    const auto& order = NationalityCodesAlphabetical();
    auto it = std::lower_bound(order.begin(), order.end(), key, [](std::uint8_t code, std::string_view k) {
        return kNationalities.substr(code * kNationalityWidth, kNationalityWidth) < k;
    });
    if (it == order.end() || kNationalities.substr(*it * kNationalityWidth, kNationalityWidth) != key)
        return std::nullopt;
    return *it;
}

char KitDesignLetter(std::uint8_t code) {
    switch (code) {
    case 0:
        return 'L';
    case 1:
        return 'M';
    case 2:
        return 'V';
    default:
        return 'H';
    }
}

std::uint8_t KitDesignCode(char letter) {
    switch (letter) {
    case 'L':
        return 0;
    case 'M':
        return 1;
    case 'V':
        return 2;
    default:
        return 3;
    }
}

std::string_view KitDesignLabel(char letter) {
    switch (letter) {
    case 'L':
        return "Plain";
    case 'M':
        return "Colored Sleeves";
    case 'V':
        return "Vertical";
    default:
        return "Horizontal";
    }
}

bool HasCountryName(std::uint8_t code) {
    return code < kCountryCodeCount && !kCountryNames[code].empty();
}

std::string CountryName(std::uint8_t code) {
    return HasCountryName(code) ? std::string(kCountryNames[code]) : std::to_string(code);
}

const std::array<std::uint8_t, kNationalityCount>& NationalityCodesAlphabetical() {
    static const auto sorted = [] {
        std::array<std::uint8_t, kNationalityCount> codes{};
        for (std::size_t i = 0; i < kNationalityCount; ++i)
            codes[i] = static_cast<std::uint8_t>(i);
        std::stable_sort(codes.begin(), codes.end(), [](std::uint8_t a, std::uint8_t b) {
            return kNationalities.substr(a * kNationalityWidth, kNationalityWidth) <
                   kNationalities.substr(b * kNationalityWidth, kNationalityWidth);
        });
        return codes;
    }();
    return sorted;
}

} // namespace kivo
