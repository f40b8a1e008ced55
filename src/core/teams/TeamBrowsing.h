#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/gamefiles/TeamRecord.h"

namespace kivo {

// One row of the team browser's list.
struct TeamRow {
    std::uint8_t country = 0; // EQU:PAIS
    std::string teamName;     // EQU:NOMBREEQUIPO, 19 characters, blank-padded
    std::string division;     // DivisionTable text, 10 characters
    std::string coach;        // EQU:NOMBREENTRENADOR, 24 characters, blank-padded
    std::uint32_t points = 0; // TeamPoints
    bool operator==(const TeamRow&) const = default;
};

// A row from a team record. A division code without a text of its own keeps `previousDivision`: the row
// buffer's text before the fill (blank for the first row, the previous row's for later ones, its own
// earlier text when a row is rebuilt).
TeamRow MakeTeamRow(const TeamRecord& record, const std::string& previousDivision = {});

// The rows of every team, in file order.
std::vector<TeamRow> MakeTeamRows(const std::vector<TeamRecord>& teams);

// TeamCopyBuffer: the 684 record bytes followed by 316 blanks.
inline constexpr std::size_t kTeamCopyBufferSize = 1000;
std::string TeamCopyBufferOf(const TeamRecord& record);
// Whether the buffer holds a copied team (it is neither empty nor all blanks).
bool HoldsCopiedTeam(const std::string& copyBuffer);

// Paste Team: the copied team over `target`, keeping the target's EQU:NROEQUIPO and EQU:NROEQUIPOGRAL (the
// source's EQU:PAIS comes along). A buffer shorter than a record gives the target unchanged.
TeamRecord PastedTeam(const std::string& copyBuffer, const TeamRecord& target);

} // namespace kivo
