#include "core/support/FixedText.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes B(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// NulPadText: trailing blanks go, everything after the last non-blank becomes zero, zeros already there stay.
struct NulPadCase {
    const char* label;
    Bytes before;
    Bytes after;
};

class NulPadTextCases : public ::testing::TestWithParam<NulPadCase> {};

TEST_P(NulPadTextCases, RewritesTheFieldInPlace) {
    Bytes field = GetParam().before;
    NulPadText(field);
    EXPECT_EQ(field, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, NulPadTextCases,
    ::testing::Values(NulPadCase{"TrailingBlanks", B("ABC  "), Bytes{'A', 'B', 'C', 0, 0}},
                      NulPadCase{"AllBlanks", B("     "), Bytes(5, 0)},
                      NulPadCase{"FullWidth", B("ABCDE"), B("ABCDE")},
                      NulPadCase{"InnerBlanksKept", B("A B  "), Bytes{'A', ' ', 'B', 0, 0}},
                      NulPadCase{"LeadingBlanksKept", B("  AB "), Bytes{' ', ' ', 'A', 'B', 0}},
                      // A zero byte is not a blank: it ends the trailing-blank scan and stays where it is.
                      NulPadCase{"ZeroBeforeBlanks", Bytes{'A', 0, 'B', ' ', ' '}, Bytes{'A', 0, 'B', 0, 0}},
                      NulPadCase{"ZerosAlreadyThere", Bytes{'A', 0, 0, 0, 0}, Bytes{'A', 0, 0, 0, 0}},
                      NulPadCase{"BlanksAfterZero", Bytes{'A', 0, ' ', ' ', ' '}, Bytes{'A', 0, 0, 0, 0}},
                      NulPadCase{"HighBytesAreText", Bytes{0xF3, 0xD1, ' '}, Bytes{0xF3, 0xD1, 0}},
                      NulPadCase{"Empty", Bytes{}, Bytes{}}),
    [](const auto& info) { return std::string(info.param.label); });

// StoreText writes a text into a field at full width: cut or padded, then NulPadText.
struct StoreCase {
    const char* label;
    std::size_t width;
    std::string text;
    Bytes stored;
};

class StoreTextCases : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreTextCases, StoresTheTextAtFullWidth) {
    // Start from garbage so that every byte of the field must be written.
    Bytes field(GetParam().width, 0xEE);
    StoreText(field, GetParam().text);
    EXPECT_EQ(field, GetParam().stored);
}

Bytes Padded(std::string_view text, std::size_t zeros) {
    Bytes b = B(text);
    b.insert(b.end(), zeros, 0);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, StoreTextCases,
    ::testing::Values(StoreCase{"NineteenCharTeamName", 19, "ABCDEFGHIJKLMNOPQRS", B("ABCDEFGHIJKLMNOPQRS")},
                      StoreCase{"FiveCharTeamName", 19, "Lazio", Padded("Lazio", 14)},
                      StoreCase{"NameWithSixteenBlanks", 19, "ABC                ", Padded("ABC", 16)},
                      StoreCase{"TooLongIsCut", 5, "ABCDEFG", B("ABCDE")},
                      StoreCase{"CutAtABlank", 5, "ABCD EFG", Padded("ABCD", 1)},
                      StoreCase{"EmptyText", 4, "", Bytes(4, 0)},
                      StoreCase{"CoachFullWidth", 24, std::string(24, 'x'), B(std::string(24, 'x'))}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FieldValue, IsTheBytesBeforeTheFirstZeroOrAllOfThem) {
    EXPECT_EQ(FieldValue(B("ABCDE")), "ABCDE");
    EXPECT_EQ(FieldValue(Bytes{'A', 'B', 0, 'C', 0}), "AB");
    EXPECT_EQ(FieldValue(Bytes{0, 'A', 'B'}), "");
    EXPECT_EQ(FieldValue(Bytes{'A', ' ', 0}), "A ");
}

TEST(FieldTextPadded, BlankPadsTheValueToTheFieldWidth) {
    EXPECT_EQ(FieldTextPadded(Bytes{'A', 'B', 0, 'C', 0}), "AB   ");
    EXPECT_EQ(FieldTextPadded(B("ABCDE")), "ABCDE");
}

TEST(TrimRightAndPadBlank, HandleBlanksOnly) {
    EXPECT_EQ(TrimRight("  a b  "), "  a b");
    EXPECT_EQ(TrimRight("   "), "");
    EXPECT_EQ(TrimRight(""), "");
    EXPECT_EQ(PadBlank("ab", 4), "ab  ");
    EXPECT_EQ(PadBlank("abcdef", 4), "abcd");
    EXPECT_EQ(PadBlank("", 0), "");
}

TEST(Latin1, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    const std::string utf8 = Latin1ToUtf8(all);
    auto back = Utf8ToLatin1(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Latin1, KnownCharacters) {
    EXPECT_EQ(Latin1ToUtf8("Configuraci\xF3n"), "Configuraci\xC3\xB3n");
    EXPECT_EQ(Utf8ToLatin1("Espa\xC3\xB1"
                           "a"),
              std::optional<std::string>("Espa\xF1"
                                         "a"));
}

struct Utf8RefusedCase {
    const char* label;
    std::string utf8;
};

class Utf8WithoutLatin1Form : public ::testing::TestWithParam<Utf8RefusedCase> {};

TEST_P(Utf8WithoutLatin1Form, IsRefused) {
    EXPECT_FALSE(Utf8ToLatin1(GetParam().utf8).has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf8WithoutLatin1Form,
                         ::testing::Values(Utf8RefusedCase{"EuroSign", "\xE2\x82\xAC"},
                                           Utf8RefusedCase{"CyrillicA", "\xD0\x90"},
                                           Utf8RefusedCase{"Emoji", "\xF0\x9F\x98\x80"},
                                           Utf8RefusedCase{"TruncatedSequence", "ab\xC3"},
                                           Utf8RefusedCase{"BadContinuation", "\xC3"
                                                                              "A"},
                                           Utf8RefusedCase{"LoneContinuation", "\xB3"}),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace kivo
