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

void ReadCsv(std::string_view text, RosterReading& out) {
    auto records = ParseCsv(text);
    if (!records) {
        out.problems.push_back({"the file", "", "", "it is not CSV: " + records.error().text});
        return;
    }
    if (records->empty()) {
        out.problems.push_back(
            {"the file", "", "", "it is empty: a header row naming the columns is needed"});
        return;
    }
    const CsvRecord& header = records->front();
    std::vector<std::optional<RosterColumn>> columns;
    std::array<bool, kRosterColumnCount> seen{};
    for (const std::string& name : header.fields) {
        auto column = RosterColumnNamed(name);
        if (!column) {
            out.problems.push_back({"row 1", name, name, "no such column"});
        } else if (seen[static_cast<std::size_t>(*column)]) {
            out.problems.push_back({"row 1", name, name, "the column is named twice"});
            column.reset();
        } else {
            seen[static_cast<std::size_t>(*column)] = true;
        }
        columns.push_back(column);
    }
    for (RosterColumn key : {RosterColumn::File, RosterColumn::Team, RosterColumn::Slot})
        if (!seen[static_cast<std::size_t>(key)])
            out.problems.push_back({"row 1", std::string(ColumnName(key)), "", "the column is missing"});
    out.rows.reserve(records->size());
    for (std::size_t r = 1; r < records->size(); ++r) {
        CsvRecord& record = (*records)[r];
        RosterRow row;
        row.where = "row " + std::to_string(r + 1);
        if (record.fields.size() != columns.size()) {
            out.problems.push_back({row.where, "", "",
                                    std::to_string(record.fields.size()) + " cells where the header has " +
                                        std::to_string(columns.size()) + " columns"});
            continue;
        }
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c])
                row.cells[static_cast<std::size_t>(*columns[c])] = CellAsWritten(std::move(record.fields[c]));
        out.rows.push_back(std::move(row));
    }
}

// A JSON value as a cell: a text as it is, a whole number in decimal, null as an empty cell.
std::optional<std::string> CellOf(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_integer()) return value.dump();
    if (value.is_null()) return std::string();
    return std::nullopt;
}

void Take(const json& object, const char* key, RosterColumn column, RosterRow& row, RosterReading& out) {
    const auto it = object.find(key);
    if (it == object.end()) return;
    if (auto cell = CellOf(*it)) {
        row.cells[static_cast<std::size_t>(column)] = std::move(*cell);
    } else {
        out.problems.push_back(
            {row.where, std::string(ColumnName(column)), it->dump(), "must be a text or a whole number"});
    }
}

constexpr RosterColumn kSkillColumns[] = {
    RosterColumn::Passing,     RosterColumn::Shooting, RosterColumn::Heading,  RosterColumn::Tackling,
    RosterColumn::BallControl, RosterColumn::Speed,    RosterColumn::Finishing};

void ReadPlayer(const json& player, RosterRow row, RosterReading& out) {
    if (!player.is_object()) {
        out.problems.push_back({row.where, "", player.dump(), "a player must be an object"});
        return;
    }
    Take(player, "slot", RosterColumn::Slot, row, out);
    Take(player, "name", RosterColumn::Name, row, out);
    Take(player, "nationality", RosterColumn::Nationality, row, out);
    Take(player, "shirt", RosterColumn::Shirt, row, out);
    Take(player, "position", RosterColumn::Position, row, out);
    Take(player, "face", RosterColumn::Face, row, out);
    Take(player, "price", RosterColumn::Price, row, out);
    Take(player, "lineup_place", RosterColumn::LineupPlace, row, out);
    if (const auto skills = player.find("skills"); skills != player.end()) {
        if (!skills->is_array() || skills->size() != std::size(kSkillColumns)) {
            out.problems.push_back({row.where, "skills", skills->dump(), "must be a list of seven numbers"});
        } else {
            for (std::size_t s = 0; s < std::size(kSkillColumns); ++s) {
                if (auto cell = CellOf((*skills)[s])) {
                    row.cells[static_cast<std::size_t>(kSkillColumns[s])] = std::move(*cell);
                } else {
                    out.problems.push_back({row.where, std::string(ColumnName(kSkillColumns[s])),
                                            (*skills)[s].dump(), "must be a whole number"});
                }
            }
        }
    }
    if (!row[RosterColumn::Slot])
        out.problems.push_back({row.where, "slot", "", "every player needs its slot"});
    out.rows.push_back(std::move(row));
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

void ReadJson(std::string_view text, RosterReading& out) {
    if (NestingDepth(text) > 16) {
        out.problems.push_back({"the file", "", "", "it nests lists and objects far deeper than a roster"});
        return;
    }
    json document = json::parse(text, nullptr, false);
    if (document.is_discarded()) {
        out.problems.push_back({"the file", "", "", "it is not valid JSON"});
        return;
    }
    if (document.is_object()) document = json::array({std::move(document)});
    if (!document.is_array()) {
        out.problems.push_back({"the file", "", "", "it must be a list of team objects"});
        return;
    }
    for (std::size_t t = 0; t < document.size(); ++t) {
        const json& team = document[t];
        RosterRow row;
        row.where = "team object " + std::to_string(t + 1);
        if (!team.is_object()) {
            out.problems.push_back({row.where, "", team.dump(), "a team must be an object"});
            continue;
        }
        Take(team, "file", RosterColumn::File, row, out);
        Take(team, "team", RosterColumn::Team, row, out);
        Take(team, "name", RosterColumn::TeamName, row, out);
        Take(team, "coach", RosterColumn::Coach, row, out);
        Take(team, "tactic", RosterColumn::Tactic, row, out);
        Take(team, "division", RosterColumn::Division, row, out);
        for (RosterColumn key : {RosterColumn::File, RosterColumn::Team})
            if (!row[key]) out.problems.push_back({row.where, std::string(ColumnName(key)), "", "missing"});
        const auto players = team.find("players");
        if (players == team.end() || (players->is_array() && players->empty())) {
            out.rows.push_back(std::move(row));
            continue;
        }
        if (!players->is_array()) {
            out.problems.push_back({row.where, "players", players->dump(), "must be a list of players"});
            continue;
        }
        for (std::size_t p = 0; p < players->size(); ++p) {
            RosterRow playerRow = row;
            playerRow.where = row.where + ", player " + std::to_string(p + 1);
            ReadPlayer((*players)[p], std::move(playerRow), out);
        }
    }
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

RosterReading ReadRoster(std::string_view text) {
    RosterReading out;
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    const std::size_t first = body.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && (body[first] == '[' || body[first] == '{')) {
        ReadJson(body, out);
    } else {
        ReadCsv(text, out);
    }
    return out;
}

} // namespace kivo
