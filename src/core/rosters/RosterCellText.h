#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kivo {

// The cells of a roster being imported, compared with the values of the game files. These run for each of
// millions of cells: plain code, no locale, no strings made where none is needed.

// The text without blanks at its edges, or at its end.
std::string_view TrimView(std::string_view text);
std::string_view TrimRightView(std::string_view text);

// The text without edge blanks, its ASCII letters in upper case.
std::string Upper(std::string_view text);

// Whether two texts are the same, edge blanks and the letter case of ASCII letters ignored: most cells of
// an import repeat the file's value.
bool SameText(std::string_view a, std::string_view b);

// A whole number in decimal, edge blanks allowed, or nothing.
std::optional<long long> WholeNumber(std::string_view cell);

// A name field as shown: up to its first zero byte, without trailing blanks.
template <std::size_t N> std::string_view Shown(const std::array<std::uint8_t, N>& field) {
    std::string_view text(reinterpret_cast<const char*>(field.data()), N);
    return TrimRightView(text.substr(0, text.find('\0')));
}

// Whether the UTF-8 cell is the Latin-1 text `current` (trailing blanks aside), fits `width` and holds no
// control character: a name as the file has it, told without converting the cell.
bool SpellsAs(std::string_view cell, std::string_view current, std::size_t width);

// A table of coded texts, read once per import: the text of each code, and the code of each text (letter
// case and edge blanks ignored; where two codes share a text, the first).
class CodeTable {
public:
    CodeTable(std::size_t count, std::optional<std::string> (*text)(std::uint8_t));
    std::string_view TextOf(std::uint8_t code) const { return code < texts_.size() ? texts_[code] : ""; }
    std::optional<std::uint8_t> CodeOf(std::string_view cell) const;

private:
    std::vector<std::string> texts_;
    std::vector<std::pair<std::string, std::uint8_t>> codes_; // by upper-case text
};

} // namespace kivo
