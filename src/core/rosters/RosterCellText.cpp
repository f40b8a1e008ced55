#include "core/rosters/RosterCellText.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace kivo {
namespace {

constexpr std::size_t kLongestCode = 16; // the game's tables have texts of up to ten characters

} // namespace

std::string Upper(std::string_view text) {
    std::string out(TrimView(text));
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

std::optional<long long> AnyWholeNumber(std::string_view cell) {
    const std::string_view t = TrimView(cell);
    long long value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

bool SpellsAs(std::string_view cell, std::string_view current, std::size_t width) {
    const std::string_view text = TrimRightView(cell);
    std::size_t at = 0;
    for (std::size_t i = 0; i < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[i]);
        unsigned char latin1 = c;
        if (c >= 0x80) {
            // Latin-1 above 0x7F is two bytes in UTF-8, led by C2 or C3; anything else is not a Latin-1 text.
            if ((c != 0xC2 && c != 0xC3) || i + 1 >= text.size() ||
                (static_cast<unsigned char>(text[i + 1]) & 0xC0) != 0x80)
                return false;
            latin1 = static_cast<unsigned char>(((c & 0x03) << 6) |
                                                (static_cast<unsigned char>(text[i + 1]) & 0x3F));
            ++i;
        }
        ++i;
        if (latin1 < 0x20 || at >= current.size() || static_cast<unsigned char>(current[at]) != latin1)
            return false;
    }
    return at == current.size() && at + (cell.size() - text.size()) <= width;
}

CodeTable::CodeTable(std::size_t count, std::optional<std::string> (*text)(std::uint8_t)) {
    for (std::size_t code = 0; code < count; ++code) {
        texts_.push_back(text(static_cast<std::uint8_t>(code)).value_or(""));
        codes_.emplace_back(Upper(texts_.back()), static_cast<std::uint8_t>(code));
        if (codes_.back().first.size() > kLongestCode) throw std::logic_error("a table text longer than any");
    }
    std::stable_sort(codes_.begin(), codes_.end(), [](auto& a, auto& b) { return a.first < b.first; });
}

std::optional<std::uint8_t> CodeTable::CodeOf(std::string_view cell) const {
    // Table texts are short: the cell's upper-case form is made on the stack, not as a string.
    const std::string_view trimmed = TrimView(cell);
    char buffer[kLongestCode];
    if (trimmed.size() > kLongestCode) return std::nullopt;
    for (std::size_t i = 0; i < trimmed.size(); ++i)
        buffer[i] = AsciiUpper(trimmed[i]);
    const std::string_view key(buffer, trimmed.size());
    auto it = std::lower_bound(codes_.begin(), codes_.end(), key,
                               [](const auto& entry, std::string_view k) { return entry.first < k; });
    if (it == codes_.end() || it->first != key) return std::nullopt;
    return it->second;
}

} // namespace kivo
