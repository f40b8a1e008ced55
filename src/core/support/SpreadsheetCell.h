#pragma once

#include <string>
#include <string_view>

namespace kivo {

// A spreadsheet opening a CSV file takes a cell that starts with =, +, - or @ for a formula: a player
// named "=HYPERLINK(...)" would run as one. Such a cell is written with a leading apostrophe, which every
// spreadsheet shows as text and drops from the value; a cell that already starts with an apostrophe
// followed by one of those characters (or another apostrophe) gets one too, so that reading back is exact.
std::string KeepAsText(std::string_view cell);

// The cell's own text again: the inverse of KeepAsText.
std::string CellAsWritten(std::string_view cell);
std::string CellAsWritten(std::string&& cell);

} // namespace kivo
