#include "cli/Commands.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include "core/support/FixedText.h"

namespace kivo::cli {

void Fail(const std::string& message) {
    std::cerr << "kivo-cli: " << message << '\n';
    throw CLI::RuntimeError(1);
}

void UsageFail(const std::string& message) {
    std::cerr << "kivo-cli: " << message << '\n';
    throw CLI::RuntimeError(2);
}

void Warn(const std::string& message) {
    std::cerr << "kivo-cli: warning: " << message << '\n';
}

std::string FoldLatin1(const std::string& latin1) {
    std::string folded = latin1;
    for (char& c : folded) {
        const auto b = static_cast<unsigned char>(c);
        // The Latin-1 lower-case letters à..þ sit 0x20 above their capitals, like ASCII; ÷ (0xF7) has none.
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) c = static_cast<char>(b - 0x20);
    }
    return folded;
}

std::string Closest(const std::string& word, const std::vector<std::string>& choices) {
    auto lower = [](std::string s) {
        for (auto& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string w = lower(word);
    std::string best;
    std::size_t bestDistance = static_cast<std::size_t>(-1);
    for (const std::string& choice : choices) {
        const std::string c = lower(choice);
        std::vector<std::size_t> row(c.size() + 1);
        for (std::size_t j = 0; j <= c.size(); ++j)
            row[j] = j;
        for (std::size_t i = 1; i <= w.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= c.size(); ++j) {
                const std::size_t up = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (w[i - 1] == c[j - 1] ? 0 : 1)});
                diagonal = up;
            }
        }
        if (row[c.size()] < bestDistance) {
            bestDistance = row[c.size()];
            best = choice;
        }
    }
    return best;
}

std::string Show(const std::string& latin1) {
    return Latin1ToUtf8(TrimRight(latin1));
}

std::string Printable(std::string_view utf8, bool keepLineBreaks) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    auto escaped = [&](unsigned code) {
        out += "\\x";
        out += hex[(code >> 4) & 15];
        out += hex[code & 15];
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
        if (b == '\n' && keepLineBreaks) {
            out += '\n';
        } else if (b < 0x20 || b == 0x7F) {
            escaped(b);
        } else if (b == 0xC2 && next >= 0x80 && next <= 0x9F) {
            escaped(next);
            ++i;
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

long ParseNumber(const std::string& text, const std::string& what) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        UsageFail(what + " must be a whole number, not \"" + text + "\"");
    return value;
}

} // namespace kivo::cli
