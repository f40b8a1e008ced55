#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/rosters/RosterColumns.h"

namespace kivo {

// Something wrong with a roster being imported: where (a row of the spreadsheet, a team object of the
// JSON), the column, the value as written and why it is refused.
struct RosterProblem {
    std::string where;
    std::string column;
    std::string value;
    std::string why;
};

// row 7, column passing, value "16": a skill is from 0 to 15
std::string ProblemLine(const RosterProblem& problem);

// One player slot's row: the cells the roster gives (UTF-8, as the spreadsheet holds them), nothing for a
// column it leaves out. A JSON team without players gives one row without a slot: the team's own values.
struct RosterRow {
    std::string where;
    std::array<std::optional<std::string>, kRosterColumnCount> cells;
    const std::optional<std::string>& operator[](RosterColumn c) const {
        return cells[static_cast<std::size_t>(c)];
    }
};

struct RosterReading {
    std::vector<RosterRow> rows;
    std::vector<RosterProblem> problems;
};

// Reads a roster as the export writes it: JSON when its first character (after blanks and a byte order
// mark) is [ or {, else CSV with a header naming the columns in any order (letter case ignored). A column
// that is not a roster column, a column named twice, a missing file, team or slot column, a row with more
// or fewer cells than the header, or text that is neither CSV nor JSON are problems.
RosterReading ReadRoster(std::string_view text);

} // namespace kivo
