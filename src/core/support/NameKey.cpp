#include "core/support/NameKey.h"

namespace kivo {

namespace {

bool HasCapital(unsigned char b) {
    return b >= 0xE0 && b <= 0xFE && b != 0xF7;
}

void AppendUtf8(unsigned char b, std::string& out) {
    if (b < 0x80) {
        out += static_cast<char>(b);
    } else {
        out += static_cast<char>(0xC0 | (b >> 6));
        out += static_cast<char>(0x80 | (b & 0x3F));
    }
}

} // namespace

std::string NameKey(std::string_view latin1) {
    std::size_t end = latin1.size();
    while (end > 0 && latin1[end - 1] == ' ')
        --end;
    std::string key;
    key.reserve(end + 8);
    for (std::size_t i = 0; i < end; ++i) {
        auto b = static_cast<unsigned char>(latin1[i]);
        if ((b >= 'a' && b <= 'z') || HasCapital(b)) b = static_cast<unsigned char>(b - 0x20);
        AppendUtf8(b, key);
    }
    return key;
}

namespace {

// What each byte from 0xC0 up folds to for finding; the empty entries (× and ÷) stay as they are.
constexpr const char* kFindFolds[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",  // C0..CF
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss", // D0..DF
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",  // E0..EF
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",  // F0..FF
};

} // namespace

std::string FoldForFind(std::string_view latin1) {
    std::string folded;
    folded.reserve(latin1.size() + 4);
    for (char c : latin1) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 'A' && b <= 'Z')
            folded += static_cast<char>(b + 0x20);
        else if (b >= 0xC0 && *kFindFolds[b - 0xC0])
            folded += kFindFolds[b - 0xC0];
        else
            folded += c;
    }
    return folded;
}

namespace {

// replace() calls for the accented small letters of [from, to), innermost first.
std::string Replacements(std::string expression, unsigned from, unsigned to) {
    for (unsigned b = from; b < to; ++b) {
        if (!HasCapital(static_cast<unsigned char>(b))) continue;
        std::string small, capital;
        AppendUtf8(static_cast<unsigned char>(b), small);
        AppendUtf8(static_cast<unsigned char>(b - 0x20), capital);
        expression = "replace(" + expression + ", '" + small + "', '" + capital + "')";
    }
    return expression;
}

} // namespace

std::string NameKeySqlFirst(const std::string& column) {
    return Replacements("rtrim(" + column + ", ' ')", 0xE0, 0xEF);
}

std::string NameKeySqlSecond(const std::string& half) {
    // upper() folds a..z; the accented small letters are replaced by their capitals before it.
    return "upper(" + Replacements(half, 0xEF, 0xFF) + ")";
}

std::string NameKeyFillSql(const std::string& table, const std::string& nameColumn,
                           const std::string& keyColumn) {
    return "UPDATE " + table + " SET " + keyColumn + " = (SELECT " + NameKeySqlSecond("half") +
           " FROM (SELECT " + NameKeySqlFirst(table + "." + nameColumn) + " AS half))";
}

} // namespace kivo
