#include "core/rosters/RosterCellText.h"

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"

namespace kivo::testing {
namespace {

TEST(RosterCellText, ANameAsTheFileHasItIsToldWithoutConverting) {
    struct Case {
        std::string_view cell, current;
        std::size_t width;
        bool same;
    };
    const Case cases[] = {
        {"J. Costa", "J. Costa", 23, true},
        {"J. Costa   ", "J. Costa", 10, false}, // the blanks make it longer than the field
        {"J. Costa  ", "J. Costa", 10, true},
        {"Garc\xC3\xAD"
         "a",
         "Garc\xED"
         "a",
         23, true}, // UTF-8 against the file's Latin-1
        {"Garc\xC3\xAD"
         "a",
         "Garcia", 23, false},
        {"Garc\xED"
         "a",
         "Garc\xED"
         "a",
         23, false},                          // a Latin-1 byte is not UTF-8
        {"\xCE\xA9mega", "Omega", 23, false}, // no Latin-1 form
        {"a\tb", "a\tb", 23, false},          // control characters go the long way, to be refused
        {"J. Cost", "J. Costa", 23, false},
        {"", "", 23, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpellsAs(c.cell, c.current, c.width), c.same) << c.cell;
}

TEST(RosterCellText, NumbersAndTableTexts) {
    EXPECT_EQ(WholeNumber("7"), 7);
    EXPECT_EQ(WholeNumber("15"), 15);
    EXPECT_EQ(WholeNumber(" 15 "), 15);
    EXPECT_EQ(WholeNumber("-3"), -3);
    EXPECT_EQ(WholeNumber("123"), 123);
    for (std::string_view bad : {"", " ", "1a", "a", "1.5", "0x1"})
        EXPECT_FALSE(WholeNumber(bad)) << bad;

    const CodeTable positions(kPositionCount, PositionText);
    EXPECT_EQ(positions.CodeOf(" rb "), PositionCode("RB"));
    EXPECT_EQ(positions.CodeOf("g"), PositionCode("G"));
    EXPECT_FALSE(positions.CodeOf("GK"));
    EXPECT_FALSE(positions.CodeOf(""));
    EXPECT_TRUE(SameText(positions.TextOf(*PositionCode("LW")), "lw"));
    EXPECT_EQ(positions.TextOf(200), "");
}

} // namespace
} // namespace kivo::testing
