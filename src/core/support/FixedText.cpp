#include "core/support/FixedText.h"

#include <algorithm>

namespace kivo {

std::string FieldValue(std::span<const std::uint8_t> field) {
    auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

std::string TrimRight(std::string_view text) {
    auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string PadBlank(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, std::min(width, text.size())));
    out.resize(width, ' ');
    return out;
}

std::string FieldTextPadded(std::span<const std::uint8_t> field) {
    std::string out;
    AssignFieldTextPadded(field, out);
    return out;
}

void AssignFieldTextPadded(std::span<const std::uint8_t> field, std::string& out) {
    out.assign(field.size(), ' ');
    std::copy(field.begin(), std::find(field.begin(), field.end(), std::uint8_t{0}), out.begin());
}

bool IsFieldTextPadded(std::span<const std::uint8_t> field, std::string_view shown) {
    if (shown.size() != field.size()) return false;
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    const auto value = static_cast<std::size_t>(end - field.begin());
    return std::equal(field.begin(), end, shown.begin(),
                      [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }) &&
           shown.find_first_not_of(' ', value) == std::string_view::npos;
}

void NulPadText(std::span<std::uint8_t> field) {
    std::size_t end = field.size();
    while (end > 0 && field[end - 1] == ' ')
        --end;
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(end), field.end(), std::uint8_t{0});
}

void StoreText(std::span<std::uint8_t> field, std::string_view text) {
    const std::size_t n = std::min(field.size(), text.size());
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), field.begin());
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(n), field.end(), std::uint8_t{' '});
    NulPadText(field);
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() + 8);
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        // Only two-byte sequences lead 0xC2/0xC3 map into Latin-1; anything else has no single byte.
        if ((c != 0xC2 && c != 0xC3) || i + 1 >= utf8.size()) return std::nullopt;
        auto next = static_cast<unsigned char>(utf8[i + 1]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        out.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
        ++i;
    }
    return out;
}

} // namespace kivo
