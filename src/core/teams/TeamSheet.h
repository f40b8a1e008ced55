#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamRecord.h"

namespace kivo {

// One printable row of the team sheet: a player slot decoded for print. Texts are blank-padded to their
// widths; a code outside its table prints as blanks.
struct TeamSheetRow {
    std::string name;        // EQU:NOMBREJUGADOR as stored, 23 characters (zero bytes shown as blanks)
    std::string nationality; // NationalityTable text, 3 characters
    std::string position;    // PositionTable text, 2 characters
    Skills skills{};         // passing (the whole byte) .. finishing (nibbles)
    std::string price;       // PriceTextTable text, 5 characters
    bool operator==(const TeamSheetRow&) const = default;
};

// What the one-page team sheet prints: the team, its coach and the sixteen slots in slot order (not in
// line-up order).
struct TeamSheet {
    std::string teamName;  // 19 characters
    std::string coachName; // 24 characters
    std::array<TeamSheetRow, kPlayersPerTeam> rows;
};

TeamSheet BuildTeamSheet(const TeamRecord& record);

// The page layout, in the band's length unit (x from the left, y from the top).
namespace team_sheet {
inline constexpr int kTeamNameX = 2;
inline constexpr int kTeamNameY = 5;
inline constexpr int kCoachLabelX = 2;
inline constexpr int kCoachNameX = 22;
inline constexpr int kCoachY = 15;
inline constexpr int kHeadingY = 30;
inline constexpr int kFirstRowY = 38;
inline constexpr int kRowStep = 6;
inline constexpr std::size_t kColumns = 11;
inline constexpr std::array<const char*, kColumns> kHeadings = {"Player", "Nat.", "Pos.", "PA", "SH",   "HE",
                                                                "TA",     "BC",   "SP",   "FI", "Price"};
inline constexpr std::array<int, kColumns> kHeadingX = {20, 52, 63, 75, 85, 97, 111, 124, 137, 153, 171};
inline constexpr std::array<int, kColumns> kRowX = {1, 52, 64, 74, 84, 96, 110, 123, 136, 151, 169};
// The y of row r, r = 1..16.
constexpr int RowY(int r) {
    return kFirstRowY + kRowStep * (r - 1);
}
} // namespace team_sheet

// The texts of one row in print order: name, nationality, position, the seven skills as decimal numbers,
// price.
std::array<std::string, team_sheet::kColumns> TeamSheetCells(const TeamSheetRow& row);

// One text of the page at its place, in the band's unit; texts keep their blanks.
struct SheetText {
    enum class Style { TeamName, Coach, Heading, Cell };
    int x = 0;
    int y = 0;
    std::string text;
    Style style = Style::Cell;
    bool operator==(const SheetText&) const = default;
};

// Every text of the page: team name, "Coach:", coach name, the eleven headings, then the sixteen rows' cells.
std::vector<SheetText> TeamSheetTexts(const TeamSheet& sheet);

// The scan's share of the file, a whole number capped at 100, and its line "N% Completed".
int ScanPercent(std::uint64_t bytesRead, std::uint64_t fileSize);
std::string CompletedText(int percent);

} // namespace kivo
