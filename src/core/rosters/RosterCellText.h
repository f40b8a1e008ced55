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
// millions of cells: plain code, inline where short, no locale, no strings made where none is needed.

// The text without blanks at its edges, or at its end.
inline std::string_view TrimView(std::string_view text) {
    std::size_t first = 0, end = text.size();
    while (first < end && text[first] == ' ')
        ++first;
    while (end > first && text[end - 1] == ' ')
        --end;
    return text.substr(first, end - first);
}
inline std::string_view TrimRightView(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    return text.substr(0, end);
}

inline char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The text without edge blanks, its ASCII letters in upper case.
std::string Upper(std::string_view text);

// Whether two texts are the same, edge blanks and the letter case of ASCII letters ignored: most cells of
// an import repeat the file's value.
inline bool SameText(std::string_view a, std::string_view b) {
    a = TrimView(a);
    b = TrimView(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// A whole number in decimal, edge blanks allowed, or nothing.
std::optional<long long> AnyWholeNumber(std::string_view cell);
inline std::optional<long long> WholeNumber(std::string_view cell) {
    // Nearly every number of a roster is one or two plain digits, one or the other at random (skills run
    // 0..15): read without a branch on which, so that the processor need not guess.
    if (cell.size() - 1 < 2) {
        const unsigned first = static_cast<unsigned char>(cell[0]) - '0';
        const unsigned last = static_cast<unsigned char>(cell[cell.size() - 1]) - '0';
        if ((first | last) < 10) return cell.size() == 1 ? first : first * 10 + last;
    }
    return AnyWholeNumber(cell);
}

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
    // (Both arms are views: `texts_[code] : ""` would make a temporary string and return a view of it.)
    std::string_view TextOf(std::uint8_t code) const {
        return code < texts_.size() ? std::string_view(texts_[code]) : std::string_view();
    }
    std::optional<std::uint8_t> CodeOf(std::string_view cell) const;

private:
    std::vector<std::string> texts_;
    std::vector<std::pair<std::string, std::uint8_t>> codes_; // by upper-case text
};

} // namespace kivo
