#include "core/support/FixedText.h"

#include <gtest/gtest.h>

#include "../TestFiles.h"

namespace kivo {
namespace {

using test::Bytes;

Bytes B(std::string_view text, std::size_t zeros = 0) {
    Bytes b(text.begin(), text.end());
    b.insert(b.end(), zeros, 0);
    return b;
}

// Trailing blanks go, everything after the last non-blank becomes zero; other blanks and zeros stay.
TEST(NulPadText, RewritesTheFieldInPlace) {
    // clang-format off
    const std::pair<Bytes, Bytes> cases[] = {
        {B("ABC  "), B("ABC", 2)}, {B("     "), B("", 5)}, {B("ABCDE"), B("ABCDE")},
        {B("  A B "), B("  A B", 1)},
        {Bytes{'A', 0, 'B', ' ', ' '}, Bytes{'A', 0, 'B', 0, 0}}, // a zero byte is not a blank
        {Bytes{'A', 0, ' ', ' ', ' '}, B("A", 4)}, {Bytes{0xF3, 0xD1, ' '}, Bytes{0xF3, 0xD1, 0}},
        {Bytes{}, Bytes{}}};
    // clang-format on
    for (const auto& [before, after] : cases) {
        Bytes field = before;
        NulPadText(field);
        EXPECT_EQ(field, after) << std::string(before.begin(), before.end());
    }
}

// StoreText writes the text at full width, cut or padded, then NulPadText; the field starts as garbage so
// that every byte must be written.
TEST(StoreText, StoresTheTextAtFullWidth) {
    // clang-format off
    const std::tuple<std::size_t, std::string, Bytes> cases[] = {
        {19, "ABCDEFGHIJKLMNOPQRS", B("ABCDEFGHIJKLMNOPQRS")}, {19, "Lazio", B("Lazio", 14)},
        {19, "ABC                ", B("ABC", 16)}, {5, "ABCDEFG", B("ABCDE")}, {5, "ABCD EFG", B("ABCD", 1)},
        {4, "", B("", 4)}};
    // clang-format on
    for (const auto& [width, text, stored] : cases) {
        Bytes field(width, 0xEE);
        StoreText(field, text);
        EXPECT_EQ(field, stored) << text;
    }
}

TEST(FixedText, ReadsFieldsAndTrimsOrPadsBlanks) {
    EXPECT_EQ(FieldValue(B("ABCDE")), "ABCDE");
    EXPECT_EQ(FieldValue(Bytes{'A', ' ', 0, 'C', 0}), "A ");
    EXPECT_EQ(FieldValue(Bytes{0, 'A', 'B'}), "");
    EXPECT_EQ(FieldTextPadded(Bytes{'A', 'B', 0, 'C', 0}), "AB   ");
    EXPECT_EQ(TrimRight("  a b  "), "  a b");
    EXPECT_EQ(TrimRight("   "), "");
    EXPECT_EQ(PadBlank("ab", 4), "ab  ");
    EXPECT_EQ(PadBlank("abcdef", 4), "abcd");
}

TEST(Latin1, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(all)), all);
    EXPECT_EQ(Latin1ToUtf8("Configuraci\xF3n"), "Configuraci\xC3\xB3n");
    EXPECT_EQ(Utf8ToLatin1("Espa\xC3\xB1"
                           "a"),
              "Espa\xF1"
              "a");
}

TEST(Latin1, RefusesUtf8WithoutALatin1FormOrMalformed) {
    for (const char* utf8 : {"\xE2\x82\xAC", "\xD0\x90", "\xF0\x9F\x98\x80", "ab\xC3", "\xC3\x41", "\xB3"})
        EXPECT_EQ(Utf8ToLatin1(utf8), std::nullopt) << utf8;
}

} // namespace
} // namespace kivo
