#include "cli/RowWriter.h"

#include <charconv>

namespace kivo::cli {

void AppendJsonText(std::string_view latin1, std::string& out) {
    std::size_t end = latin1.find('\0');
    if (end == std::string_view::npos) end = latin1.size();
    while (end > 0 && latin1[end - 1] == ' ')
        --end;
    out += '"';
    for (char c : latin1.substr(0, end)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    out += '"';
}

void AppendJsonField(std::span<const std::uint8_t> field, std::string& out) {
    AppendJsonText(std::string_view(reinterpret_cast<const char*>(field.data()), field.size()), out);
}

void AppendJsonCode(const std::optional<std::string>& text, std::string& out) {
    if (text)
        AppendJsonText(*text, out);
    else
        out += "null";
}

void AppendJsonNumber(long long value, std::string& out) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

} // namespace kivo::cli
