#include "core/rosters/RosterExport.h"

#include <filesystem>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFileImage.h"
#include "core/players/PlayerCsv.h"
#include "core/rosters/RosterColumns.h"
#include "core/rosters/TeamJson.h"
#include "core/support/FixedText.h"
#include "core/support/SpreadsheetCell.h"

namespace kivo {
namespace {

void Cell(const std::string& utf8, std::string& out) {
    out += CsvField(KeepAsText(utf8));
    out += ',';
}

void TextCell(const std::string& latin1, std::string& out) {
    Cell(Latin1ToUtf8(TrimRight(latin1)), out);
}

void CodeCell(const std::optional<std::string>& text, std::string& out) {
    TextCell(text.value_or(std::string()), out);
}

void NumberCell(unsigned long long value, std::string& out) {
    out += std::to_string(value);
    out += ',';
}

void AppendTeamRows(const std::string& file, std::uint64_t k, const TeamRecord& t, std::string& out) {
    const auto places = LineupPlace(t);
    std::string team;
    Cell(file, team);
    NumberCell(k, team);
    TextCell(FieldValue(t.nombreEquipo), team);
    TextCell(FieldValue(t.nombreEntrenador), team);
    CodeCell(TacticText(t.tactica), team);
    CodeCell(DivisionText(t.division), team);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const PlayerSlot& s = t.jugador[i];
        out += team;
        NumberCell(i + 1, out);
        TextCell(FieldValue(s.nombreJugador), out);
        CodeCell(NationalityText(s.nacionalidad), out);
        NumberCell(s.nroCamiseta, out);
        CodeCell(PositionText(PositionCodeOf(s.posicionYAspecto)), out);
        NumberCell(FaceCodeOf(s.posicionYAspecto), out);
        for (std::uint8_t skill : SlotSkills(s))
            NumberCell(skill, out);
        CodeCell(PriceText(s.valorPase), out);
        out += std::to_string(places[i]);
        out += "\r\n";
    }
}

} // namespace

Result<std::string> ExportRosters(const std::vector<std::string>& files, RosterFormat format) {
    std::string csv;
    nlohmann::json json = nlohmann::json::array();
    if (format == RosterFormat::Csv) {
        for (std::size_t c = 0; c < kRosterColumnCount; ++c) {
            if (c) csv += ',';
            csv += kRosterColumnNames[c];
        }
        csv += "\r\n";
    }
    for (const std::string& path : files) {
        auto image = LoadTeamFileImage(path);
        if (!image) return image.error();
        const std::string name = std::filesystem::path(image->path).filename().string();
        for (std::uint64_t k = 0; k < image->teamCount(); ++k) {
            const TeamRecord team = image->team(k);
            if (format == RosterFormat::Csv) {
                AppendTeamRows(Latin1ToUtf8(name), k, team, csv);
            } else {
                nlohmann::json object = TeamJson(team);
                object["file"] = Latin1ToUtf8(name);
                object["team"] = k;
                json.push_back(std::move(object));
            }
        }
    }
    if (format == RosterFormat::Csv) return csv;
    return json.dump(2) + "\n";
}

} // namespace kivo
