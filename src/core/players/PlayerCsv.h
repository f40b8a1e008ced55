#pragma once

#include <string>

#include "core/players/PlayerRow.h"

namespace kivo {

// The players as CSV, one format for kivo-cli's listing and the browser's export: UTF-8, comma-separated,
// CRLF line ends, a header row, then the browser's fifteen columns followed by the country code and the mark.
// Texts lose their trailing blanks; a field holding a comma, a quote, a line break or edge blanks is quoted;
// a text starting with =, +, -, @ (a formula to a spreadsheet) is written after an apostrophe, so it stays
// text. The header names are those of the JSON listing.
std::string PlayerCsvHeader();
std::string PlayerCsvLine(const PlayerRow& row);
// The same line appended to `out`, for listings that write many rows through one buffer. A code outside
// its table (the country's name included) gives an empty field.
void AppendPlayerCsvLine(const PlayerRow& row, std::string& out);

// One CSV field, quoted when it needs to be.
std::string CsvField(const std::string& utf8);

} // namespace kivo
