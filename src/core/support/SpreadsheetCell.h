#pragma once

#include <string>
#include <string_view>

namespace kivo {

// A spreadsheet opening a CSV file takes a cell that starts with =, +, - or @ for a formula: a player
// named "=HYPERLINK(...)" would run as one. Such a cell is written with a leading apostrophe, which every
// spreadsheet shows as text and drops from the value; a cell that already starts with an apostrophe
// followed by one of those characters (or another apostrophe) gets one too, so that reading back is exact.
std::string KeepAsText(std::string_view cell);

inline bool StartsFormula(char c) {
    return c == '=' || c == '+' || c == '-' || c == '@';
}

// Whether the cell as written carries the apostrophe KeepAsText put in front of it.
inline bool GuardedCell(std::string_view cell) {
    return cell.size() >= 2 && cell[0] == '\'' && (StartsFormula(cell[1]) || cell[1] == '\'');
}

// The cell's own text again, a view of the cell as written: the inverse of KeepAsText. Inline: an
// import reads millions of cells.
inline std::string_view CellAsWritten(std::string_view cell) {
    return GuardedCell(cell) ? cell.substr(1) : cell;
}

} // namespace kivo
