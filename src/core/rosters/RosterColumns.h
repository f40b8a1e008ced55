#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace kivo {

// The columns of a roster spreadsheet, in the order the export writes them.
enum class RosterColumn {
    File,
    Team,
    TeamName,
    Coach,
    Tactic,
    Division,
    Slot,
    Name,
    Nationality,
    Shirt,
    Position,
    Face,
    Passing,
    Shooting,
    Heading,
    Tackling,
    BallControl,
    Speed,
    Finishing,
    Price,
    LineupPlace
};
inline constexpr std::size_t kRosterColumnCount = 21;

inline constexpr std::array<std::string_view, kRosterColumnCount> kRosterColumnNames = {
    "file",    "team",        "team_name",    "coach",    "tactic",    "division", "slot",
    "name",    "nationality", "shirt",        "position", "face",      "passing",  "shooting",
    "heading", "tackling",    "ball_control", "speed",    "finishing", "price",    "lineup_place"};

// The seven skills, in the order the game keeps them.
inline constexpr std::array<RosterColumn, 7> kSkillColumns = {
    RosterColumn::Passing,     RosterColumn::Shooting, RosterColumn::Heading,  RosterColumn::Tackling,
    RosterColumn::BallControl, RosterColumn::Speed,    RosterColumn::Finishing};

inline std::string_view ColumnName(RosterColumn c) {
    return kRosterColumnNames[static_cast<std::size_t>(c)];
}

// A header name (letter case and edge blanks ignored) to its column.
std::optional<RosterColumn> RosterColumnNamed(std::string_view name);

} // namespace kivo
