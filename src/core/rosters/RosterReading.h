#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// Where a row of a roster comes from: a row of the spreadsheet (the header is row 1), or a team object of
// the JSON (1 for the first) and one of its players (0 for the team's own values).
struct RowPlace {
    bool json = false;
    std::uint32_t number = 0;
    std::uint32_t player = 0;
    std::string Text() const; // "row 7", "team object 2", "team object 2, player 5"
};

// One player slot's row: the cells the roster gives (UTF-8, as the spreadsheet holds them), nothing for a
// column it leaves out. A JSON team without players gives one row without a slot: the team's own values.
// The cells are views, valid while the row is being handed over.
struct RosterCells {
    RowPlace where;
    std::array<std::optional<std::string_view>, kRosterColumnCount> cells;
    const std::optional<std::string_view>& operator[](RosterColumn c) const {
        return cells[static_cast<std::size_t>(c)];
    }
};

// Takes the rows of a roster as they are read, and the problems met reading them.
class RosterRowSink {
public:
    virtual void Row(const RosterCells& row) = 0;
    virtual void Problem(RosterProblem problem) = 0;

protected:
    ~RosterRowSink() = default;
};

// Reads a roster as the export writes it: JSON when its first character (after blanks and a byte order
// mark) is [ or {, else CSV with a header naming the columns in any order (letter case ignored). A column
// that is not a roster column, a column named twice, a missing file, team or slot column, a row with more
// or fewer cells than the header are problems. Rows go to the sink one by one, never all held at once.
// A text that is not a roster at all (neither CSV nor JSON, or empty) gives the one problem that says so,
// returned: whatever the sink took before it is then beside the point.
std::optional<RosterProblem> ReadRoster(std::string_view text, RosterRowSink& sink);

// What the header row of a CSV roster says: how many cells a record has, which of them go to which column,
// and where the rows after it start.
struct CsvRosterLayout {
    std::size_t width = 0;
    std::vector<std::pair<std::size_t, std::size_t>> taken; // a cell of each record -> its column
    std::size_t rowsStart = 0;                              // offset in the text
    std::size_t rowsLine = 0;
};

// The two halves of ReadRoster for a CSV text, for a reader that reads its rows in parts: the header (its
// problems to the sink; the problem that makes the text no roster at all returned), then rows from a
// record's start, `firstRow` being the row number of the first.
std::optional<RosterProblem> ReadCsvRosterHeader(std::string_view text, RosterRowSink& sink,
                                                 CsvRosterLayout& layout);
std::optional<RosterProblem> ReadCsvRosterRows(std::string_view rows, std::size_t firstLine,
                                               std::uint32_t firstRow, const CsvRosterLayout& layout,
                                               RosterRowSink& sink);

} // namespace kivo
