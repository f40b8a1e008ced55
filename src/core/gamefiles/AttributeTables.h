#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// The constant text tables of the team record's codes. Every text is fixed-width and blank-padded to the
// width of its table; a code indexes its table from 0.

inline constexpr std::size_t kPositionWidth = 2;
inline constexpr std::size_t kPositionCount = 8;
inline constexpr std::size_t kPriceWidth = 5;
inline constexpr std::size_t kPriceCount = 50;
inline constexpr std::size_t kNationalityWidth = 3;
inline constexpr std::size_t kNationalityCount = 153;
inline constexpr std::size_t kCountryNameWidth = 11;
inline constexpr std::size_t kCountryCodeCount = 86;
inline constexpr std::size_t kDivisionWidth = 10;
inline constexpr std::size_t kDivisionCount = 5;
inline constexpr std::size_t kTacticWidth = 6;
inline constexpr std::size_t kTacticCount = 18;
inline constexpr std::size_t kColourWidth = 10;
inline constexpr std::size_t kColourCount = 10;
inline constexpr std::size_t kKitDesignCount = 4;

// Code to text, blank-padded to the table's width; nothing for a code outside the table.
std::optional<std::string> PositionText(std::uint8_t code);    // PositionTable
std::optional<std::string> PriceText(std::uint8_t code);       // PriceTextTable
std::optional<std::string> NationalityText(std::uint8_t code); // NationalityTable
std::optional<std::string> DivisionText(std::uint8_t code);    // DivisionTable
std::optional<std::string> TacticText(std::uint8_t code);      // TacticTable
std::optional<std::string> ColourText(std::uint8_t code);      // ColourTable

// Text to code: exact comparison of the fixed-width text, blank padding included (a shorter text is
// padded first, so "D" finds "D ").
std::optional<std::uint8_t> PositionCode(std::string_view text);
std::optional<std::uint8_t> PriceCode(std::string_view text);
std::optional<std::uint8_t> NationalityCode(std::string_view text);

// KitDesignTable: codes 0, 1, 2 are L, M, V; every other byte decodes to H. L, M, V encode to 0, 1, 2 and
// every other letter to 3.
char KitDesignLetter(std::uint8_t code);
std::uint8_t KitDesignCode(char letter);
std::string_view KitDesignLabel(char letter); // "Plain", "Colored Sleeves", "Vertical", "Horizontal"

// CountryNameTable: the name of a team-file country code, without padding; a code that has no name
// (9, 52, 53, 54, 56, 58, 61, 63, 68, 72, above 85) is shown as its decimal number.
std::string CountryName(std::uint8_t code);
bool HasCountryName(std::uint8_t code);

// The nationality codes in the alphabetical order of their texts, as the nationality lists offer them.
const std::array<std::uint8_t, kNationalityCount>& NationalityCodesAlphabetical();

} // namespace kivo
