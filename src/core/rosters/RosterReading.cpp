#include "core/rosters/RosterReading.h"

#include <algorithm>
#include <cctype>

#include <nlohmann/json.hpp>

#include "core/rosters/CsvTable.h"
#include "core/support/SpreadsheetCell.h"

namespace kivo {
namespace {

using nlohmann::json;

std::string Lower(std::string_view text) {
    std::string out;
    for (char c : text)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

RosterProblem NotCsv(const Error& e) {
    return {"the file", "", "", "it is not CSV: " + e.text};
}

// A JSON row being gathered: its cells are owned here until the row is handed over.
struct JsonRow {
    RowPlace where;
    std::array<std::optional<std::string>, kRosterColumnCount> cells;
    bool has(RosterColumn c) const { return cells[static_cast<std::size_t>(c)].has_value(); }
    std::string Where() const { return where.Text(); }
};

void HandOver(const JsonRow& row, RosterRowSink& sink) {
    RosterCells cells;
    cells.where = row.where;
    for (std::size_t c = 0; c < kRosterColumnCount; ++c)
        if (row.cells[c]) cells.cells[c] = *row.cells[c];
    sink.Row(cells);
}

// A JSON value as a cell: a text as it is, a whole number in decimal, null as an empty cell.
std::optional<std::string> CellOf(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return value.dump();
    if (value.is_null()) return std::string();
    return std::nullopt;
}

void Take(const json& object, const char* key, RosterColumn column, JsonRow& row, RosterRowSink& sink) {
    const auto it = object.find(key);
    if (it == object.end()) return;
    if (auto cell = CellOf(*it)) {
        row.cells[static_cast<std::size_t>(column)] = std::move(*cell);
    } else {
        sink.Problem(
            {row.Where(), std::string(ColumnName(column)), it->dump(), "must be a text or a whole number"});
    }
}

// The keys of a team object and of a player object, as `kivo-cli team --json` writes them.
constexpr std::pair<const char*, RosterColumn> kTeamKeys[] = {
    {"file", RosterColumn::File},   {"team", RosterColumn::Team},     {"name", RosterColumn::TeamName},
    {"coach", RosterColumn::Coach}, {"tactic", RosterColumn::Tactic}, {"division", RosterColumn::Division}};
constexpr std::pair<const char*, RosterColumn> kPlayerKeys[] = {{"slot", RosterColumn::Slot},
                                                                {"name", RosterColumn::Name},
                                                                {"nationality", RosterColumn::Nationality},
                                                                {"shirt", RosterColumn::Shirt},
                                                                {"position", RosterColumn::Position},
                                                                {"face", RosterColumn::Face},
                                                                {"price", RosterColumn::Price},
                                                                {"lineup_place", RosterColumn::LineupPlace}};

void ReadPlayer(const json& player, JsonRow row, RosterRowSink& sink) {
    if (!player.is_object()) {
        sink.Problem({row.Where(), "", player.dump(), "a player must be an object"});
        return;
    }
    for (const auto& [key, column] : kPlayerKeys)
        Take(player, key, column, row, sink);
    if (const auto skills = player.find("skills"); skills != player.end()) {
        if (!skills->is_array() || skills->size() != std::size(kSkillColumns)) {
            sink.Problem({row.Where(), "skills", skills->dump(), "must be a list of seven numbers"});
        } else {
            for (std::size_t s = 0; s < std::size(kSkillColumns); ++s) {
                if (auto cell = CellOf((*skills)[s])) {
                    row.cells[static_cast<std::size_t>(kSkillColumns[s])] = std::move(*cell);
                } else {
                    sink.Problem({row.Where(), std::string(ColumnName(kSkillColumns[s])), (*skills)[s].dump(),
                                  "must be a whole number"});
                }
            }
        }
    }
    if (!row.has(RosterColumn::Slot)) sink.Problem({row.Where(), "slot", "", "every player needs its slot"});
    HandOver(row, sink);
}

// How deeply brackets nest outside strings. A roster nests three deep; thousands of levels would only
// exhaust the stack of the reader.
std::size_t NestingDepth(std::string_view text) {
    std::size_t depth = 0, deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return deepest;
}

std::optional<RosterProblem> ReadJson(std::string_view text, RosterRowSink& sink) {
    if (NestingDepth(text) > 16)
        return RosterProblem{"the file", "", "", "it nests lists and objects far deeper than a roster"};
    json document = json::parse(text, nullptr, false);
    if (document.is_discarded()) return RosterProblem{"the file", "", "", "it is not valid JSON"};
    if (document.is_object()) document = json::array({std::move(document)});
    if (!document.is_array()) return RosterProblem{"the file", "", "", "it must be a list of team objects"};
    for (std::size_t t = 0; t < document.size(); ++t) {
        const json& team = document[t];
        JsonRow row;
        row.where = {true, static_cast<std::uint32_t>(t + 1), 0};
        if (!team.is_object()) {
            sink.Problem({row.Where(), "", team.dump(), "a team must be an object"});
            continue;
        }
        for (const auto& [key, column] : kTeamKeys)
            Take(team, key, column, row, sink);
        for (RosterColumn key : {RosterColumn::File, RosterColumn::Team})
            if (!row.has(key)) sink.Problem({row.Where(), std::string(ColumnName(key)), "", "missing"});
        const auto players = team.find("players");
        if (players == team.end() || (players->is_array() && players->empty())) {
            HandOver(row, sink);
            continue;
        }
        if (!players->is_array()) {
            sink.Problem({row.Where(), "players", players->dump(), "must be a list of players"});
            continue;
        }
        for (std::size_t p = 0; p < players->size(); ++p) {
            JsonRow playerRow = row;
            playerRow.where.player = static_cast<std::uint32_t>(p + 1);
            ReadPlayer((*players)[p], std::move(playerRow), sink);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<RosterColumn> RosterColumnNamed(std::string_view name) {
    const std::string lower = Lower(Trimmed(name));
    for (std::size_t c = 0; c < kRosterColumnCount; ++c)
        if (kRosterColumnNames[c] == lower) return static_cast<RosterColumn>(c);
    return std::nullopt;
}

std::string ProblemLine(const RosterProblem& p) {
    std::string line = p.where;
    if (!p.column.empty()) line += ", column " + p.column;
    if (!p.value.empty() || !p.column.empty()) line += ", value \"" + p.value + "\"";
    return line + ": " + p.why;
}

std::string RowPlace::Text() const {
    if (!json) return "row " + std::to_string(number);
    std::string text = "team object " + std::to_string(number);
    if (player != 0) text += ", player " + std::to_string(player);
    return text;
}

std::optional<RosterProblem> ReadCsvRosterHeader(std::string_view text, RosterRowSink& sink,
                                                 CsvRosterLayout& layout) {
    CsvReader reader(text);
    auto first = reader.Next();
    if (!first) return NotCsv(first.error());
    if (!*first)
        return RosterProblem{"the file", "", "", "it is empty: a header row naming the columns is needed"};
    layout = {};
    layout.width = reader.fields().size();
    std::array<bool, kRosterColumnCount> seen{};
    for (std::size_t c = 0; c < reader.fields().size(); ++c) {
        const std::string_view name = reader.fields()[c];
        const auto column = RosterColumnNamed(name);
        if (!column) {
            sink.Problem({"row 1", std::string(name), std::string(name), "no such column"});
        } else if (seen[static_cast<std::size_t>(*column)]) {
            sink.Problem({"row 1", std::string(name), std::string(name), "the column is named twice"});
        } else {
            seen[static_cast<std::size_t>(*column)] = true;
            layout.taken.emplace_back(c, static_cast<std::size_t>(*column));
        }
    }
    for (RosterColumn key : {RosterColumn::File, RosterColumn::Team, RosterColumn::Slot})
        if (!seen[static_cast<std::size_t>(key)])
            sink.Problem({"row 1", std::string(ColumnName(key)), "", "the column is missing"});
    layout.rowsStart = reader.offset();
    layout.rowsLine = reader.nextLine();
    return std::nullopt;
}

std::optional<RosterProblem> ReadCsvRosterRows(std::string_view rows, std::size_t firstLine,
                                               std::uint32_t firstRow, const CsvRosterLayout& layout,
                                               RosterRowSink& sink) {
    CsvReader reader(rows, firstLine);
    RosterCells row;
    for (std::uint32_t number = firstRow;; ++number) {
        auto more = reader.Next();
        if (!more) return NotCsv(more.error());
        if (!*more) return std::nullopt;
        row.where = {false, number, 0};
        const auto fields = reader.fields();
        if (fields.size() != layout.width) {
            sink.Problem({row.where.Text(), "", "",
                          std::to_string(fields.size()) + " cells where the header has " +
                              std::to_string(layout.width) + " columns"});
            continue;
        }
        for (const auto& [field, column] : layout.taken)
            row.cells[column] = CellAsWritten(fields[field]);
        sink.Row(row);
    }
}

std::optional<RosterProblem> ReadRoster(std::string_view text, RosterRowSink& sink) {
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    const std::size_t first = body.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && (body[first] == '[' || body[first] == '{'))
        return ReadJson(body, sink);
    CsvRosterLayout layout;
    if (auto unreadable = ReadCsvRosterHeader(text, sink, layout)) return unreadable;
    return ReadCsvRosterRows(text.substr(layout.rowsStart), layout.rowsLine, 2, layout, sink);
}

} // namespace kivo
