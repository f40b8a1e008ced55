#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/support/Result.h"

namespace kivo {

// One record of a CSV text and the line it starts on (1 for the first).
struct CsvRecord {
    std::size_t line = 0;
    std::vector<std::string> fields;
};

// Reads CSV as spreadsheets write it: fields separated by commas, a field in double quotes may hold
// commas, line breaks and doubled quotes; lines end in CRLF or LF; a UTF-8 byte order mark is skipped;
// empty lines are skipped. A quote left open, or text after a closing quote, is an error naming its line.
Result<std::vector<CsvRecord>> ParseCsv(std::string_view text);

} // namespace kivo
