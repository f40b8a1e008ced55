#include "core/teams/TeamSheet.h"

#include <gtest/gtest.h>

#include "core/support/FixedText.h"

namespace kivo {
namespace {

PlayerSlot Slot(std::uint8_t nationality, std::uint8_t posAndFace, std::uint8_t price, const char* name) {
    PlayerSlot s;
    s.nacionalidad = nationality;
    s.posicionYAspecto = posAndFace;
    s.valorPase = price;
    StoreText(s.nombreJugador, name);
    return s;
}

struct RowCase {
    const char* name;
    PlayerSlot slot;
    TeamSheetRow expected;
};

class TeamSheetRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(TeamSheetRowTest, DecodesTheSlotForPrint) {
    TeamRecord record;
    record.jugador[5] = GetParam().slot;
    const TeamSheet sheet = BuildTeamSheet(record);
    EXPECT_EQ(sheet.rows[5], GetParam().expected);
}

PlayerSlot WithSkills(PlayerSlot s, std::uint8_t pa, std::uint8_t sh, std::uint8_t tb, std::uint8_t sf) {
    s.passing = pa;
    s.shootingYHeading = sh;
    s.tacklingYBallControl = tb;
    s.speedYFinishing = sf;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    SheetRows, TeamSheetRowTest,
    ::testing::Values(
        // 0xE8: position code 7 ("A") whatever the face bits say.
        RowCase{"ForwardWithFaceBits",
                WithSkills(Slot(8, 0xE8, 28, "SMITH"), 12, 0x9A, 0x3F, 0x0E),
                {"SMITH                  ", "ENG", "A ", {12, 9, 10, 3, 15, 0, 14}, "1M   "}},
        RowCase{"GoalkeeperLowestPrice",
                Slot(0, 0x18, 0, "KEEPER"),
                {"KEEPER                 ", "ALB", "G ", {0, 0, 0, 0, 0, 0, 0}, "25K- "}},
        // Passing is the whole byte: it may print above 15.
        RowCase{"WholeBytePassing",
                WithSkills(Slot(152, 0xC0, 49, "LAST"), 200, 0xFF, 0xFF, 0xFF),
                {"LAST                   ", "CUS", "M ", {200, 15, 15, 15, 15, 15, 15}, "15M+ "}},
        // Codes outside their tables print as blanks.
        RowCase{"OutOfTableCodes",
                Slot(153, 0x20, 50, "X"),
                {"X                      ", "   ", "RB", {}, "     "}},
        RowCase{"FullWidthName",
                Slot(1, 0x00, 1, "ABCDEFGHIJKLMNOPQRSTUVW"),
                {"ABCDEFGHIJKLMNOPQRSTUVW", "AUT", "G ", {}, "25K  "}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TeamSheet, CellsInPrintOrderWithSkillsAsDecimalNumbers) {
    const TeamSheetRow row{"NAME                   ", "ESP", "D ", {255, 1, 2, 3, 10, 14, 15}, "2.25M"};
    const auto cells = TeamSheetCells(row);
    EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.end()),
              (std::vector<std::string>{"NAME                   ", "ESP", "D ", "255", "1", "2", "3", "10",
                                        "14", "15", "2.25M"}));
}

TEST(TeamSheet, EveryTextAtItsPlace) {
    TeamRecord record;
    StoreText(record.nombreEquipo, "CELTIC");
    StoreText(record.nombreEntrenador, "STEIN");
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        record.jugador[i] = Slot(1, 0x00, 1, ("P" + std::to_string(i)).c_str());
        record.titularesYSuplentes[i] = static_cast<std::uint8_t>(15 - i); // rows go by slot, not line-up
    }
    record.jugador[15] = Slot(31, 0xE0, 49, "LAST ONE");
    record.jugador[15].passing = 7;
    const std::vector<SheetText> texts = TeamSheetTexts(BuildTeamSheet(record));
    ASSERT_EQ(texts.size(), 3u + 11 + 16 * 11);
    using Style = SheetText::Style;
    EXPECT_EQ(texts[0], (SheetText{2, 5, "CELTIC             ", Style::TeamName}));
    EXPECT_EQ(texts[1], (SheetText{2, 15, "Coach:", Style::Coach}));
    EXPECT_EQ(texts[2], (SheetText{22, 15, "STEIN                   ", Style::Coach}));
    EXPECT_EQ(texts[3], (SheetText{20, 30, "Player", Style::Heading}));
    EXPECT_EQ(texts[6], (SheetText{75, 30, "PA", Style::Heading}));
    EXPECT_EQ(texts[13], (SheetText{171, 30, "Price", Style::Heading}));
    // The last row: y = 38 + 6 * 15, cells at their own x.
    const std::size_t last = texts.size() - 11;
    EXPECT_EQ(texts[last], (SheetText{1, 128, "LAST ONE               ", Style::Cell}));
    EXPECT_EQ(texts[last + 1], (SheetText{52, 128, "SCO", Style::Cell}));
    EXPECT_EQ(texts[last + 2], (SheetText{64, 128, "A ", Style::Cell}));
    EXPECT_EQ(texts[last + 3], (SheetText{74, 128, "7", Style::Cell}));
    EXPECT_EQ(texts[last + 10], (SheetText{169, 128, "15M+ ", Style::Cell}));
    for (std::size_t i = 0; i < 15; ++i)
        EXPECT_EQ(texts[14 + 11 * i],
                  (SheetText{1, 38 + 6 * int(i), PadBlank("P" + std::to_string(i), 23), Style::Cell}));
}

TEST(TeamSheet, ScanPercentIsCappedAndWhole) {
    EXPECT_EQ(ScanPercent(0, 1000), 0);
    EXPECT_EQ(ScanPercent(686, 1370), 50);
    EXPECT_EQ(ScanPercent(999, 1000), 99);
    EXPECT_EQ(ScanPercent(2000, 1000), 100);
    EXPECT_EQ(ScanPercent(0, 0), 100);
    EXPECT_EQ(CompletedText(0), "0% Completed");
    EXPECT_EQ(CompletedText(100), "100% Completed");
}

} // namespace
} // namespace kivo
