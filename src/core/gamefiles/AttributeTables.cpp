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

// A text of at most eight characters, blank-padded to `width`, as one number: tables are searched by
// comparing numbers, not texts.
std::uint64_t PackedKey(std::string_view text, std::size_t width) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < width; ++i)
        key = (key << 8) | static_cast<unsigned char>(i < text.size() ? text[i] : ' ');
    return key;
}

// The codes of a packed table by their texts' keys (codes sharing a text stay in code order).
template <std::size_t N>
std::array<std::pair<std::uint64_t, std::uint8_t>, N> KeyedCodes(std::string_view packed, std::size_t width) {
    std::array<std::pair<std::uint64_t, std::uint8_t>, N> codes{};
    for (std::size_t i = 0; i < N; ++i)
        codes[i] = {PackedKey(packed.substr(i * width, width), width), static_cast<std::uint8_t>(i)};
    std::stable_sort(codes.begin(), codes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return codes;
}

// The first code whose text is `text` blank-padded to the width. Every encoded player looks up a
// nationality and a price: a binary search over numbers.
template <std::size_t N>
std::optional<std::uint8_t> FindPacked(const std::array<std::pair<std::uint64_t, std::uint8_t>, N>& codes,
                                       std::size_t width, std::string_view text) {
    if (text.size() > width) return std::nullopt;
    const std::uint64_t key = PackedKey(text, width);
    auto it = std::lower_bound(codes.begin(), codes.end(), key,
                               [](const auto& entry, std::uint64_t k) { return entry.first < k; });
    if (it == codes.end() || it->first != key) return std::nullopt;
    return it->second;
}

// The codes of a packed table in the order of their texts (codes sharing a text stay in code order).
template <std::size_t N> std::array<std::uint8_t, N> SortedCodes(std::string_view packed, std::size_t width) {
    std::array<std::uint8_t, N> codes{};
    for (std::size_t i = 0; i < N; ++i)
        codes[i] = static_cast<std::uint8_t>(i);
    std::stable_sort(codes.begin(), codes.end(), [&](std::uint8_t a, std::uint8_t b) {
        return packed.substr(a * width, width) < packed.substr(b * width, width);
    });
    return codes;
}

static_assert(kPriceWidth <= 8 && kNationalityWidth <= 8);

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
    static const auto codes = KeyedCodes<kPriceCount>(kPriceTexts, kPriceWidth);
    return FindPacked(codes, kPriceWidth, text);
}

std::optional<std::uint8_t> NationalityCode(std::string_view text) {
    static const auto codes = KeyedCodes<kNationalityCount>(kNationalities, kNationalityWidth);
    return FindPacked(codes, kNationalityWidth, text);
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
    static const auto sorted = SortedCodes<kNationalityCount>(kNationalities, kNationalityWidth);
    return sorted;
}

} // namespace kivo
