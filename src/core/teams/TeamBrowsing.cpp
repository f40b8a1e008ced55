#include "core/teams/TeamBrowsing.h"

#include <algorithm>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/support/FixedText.h"

namespace kivo {

TeamRow MakeTeamRow(const TeamRecord& record, const std::string& previousDivision) {
    TeamRow row;
    row.country = record.pais;
    row.teamName = FieldTextPadded(record.nombreEquipo);
    row.division = DivisionText(record.division).value_or(previousDivision);
    row.coach = FieldTextPadded(record.nombreEntrenador);
    row.points = TeamPoints(record);
    return row;
}

std::vector<TeamRow> MakeTeamRows(const std::vector<TeamRecord>& teams) {
    std::vector<TeamRow> rows;
    rows.reserve(teams.size());
    std::string division = std::string(kDivisionWidth, ' ');
    for (const TeamRecord& team : teams) {
        rows.push_back(MakeTeamRow(team, division));
        division = rows.back().division;
    }
    return rows;
}

std::string TeamCopyBufferOf(const TeamRecord& record) {
    const TeamRecordBytes bytes = SerializeTeamRecord(record);
    std::string buffer(bytes.begin(), bytes.end());
    buffer.resize(kTeamCopyBufferSize, ' ');
    return buffer;
}

bool HoldsCopiedTeam(const std::string& copyBuffer) {
    return std::any_of(copyBuffer.begin(), copyBuffer.end(), [](char c) { return c != ' '; });
}

TeamRecord PastedTeam(const std::string& copyBuffer, const TeamRecord& target) {
    if (copyBuffer.size() < kTeamRecordSize) return target;
    TeamRecordBytes bytes{};
    std::copy_n(copyBuffer.begin(), kTeamRecordSize, bytes.begin());
    TeamRecord pasted = ParseTeamRecord(bytes);
    pasted.nroEquipo = target.nroEquipo;
    pasted.nroEquipoGral = target.nroEquipoGral;
    return pasted;
}

} // namespace kivo
