#include "core/teams/TeamSheet.h"

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

// A code outside its table has no text; it prints as blanks of the column's width.
std::string TableText(const std::optional<std::string>& text, std::size_t width) {
    return text ? *text : std::string(width, ' ');
}

} // namespace

TeamSheet BuildTeamSheet(const TeamRecord& record) {
    TeamSheet sheet;
    sheet.teamName = FieldTextPadded(record.nombreEquipo);
    sheet.coachName = FieldTextPadded(record.nombreEntrenador);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const PlayerSlot& slot = record.jugador[i];
        TeamSheetRow& row = sheet.rows[i];
        row.name = FieldTextPadded(slot.nombreJugador);
        row.nationality = TableText(NationalityText(slot.nacionalidad), kNationalityWidth);
        row.position = TableText(PositionText(PositionCodeOf(slot.posicionYAspecto)), kPositionWidth);
        row.skills = SlotSkills(slot);
        row.price = TableText(PriceText(slot.valorPase), kPriceWidth);
    }
    return sheet;
}

std::array<std::string, team_sheet::kColumns> TeamSheetCells(const TeamSheetRow& row) {
    std::array<std::string, team_sheet::kColumns> cells;
    cells[0] = row.name;
    cells[1] = row.nationality;
    cells[2] = row.position;
    for (std::size_t s = 0; s < kSkillCount; ++s)
        cells[3 + s] = std::to_string(row.skills[s]);
    cells[10] = row.price;
    return cells;
}

std::vector<SheetText> TeamSheetTexts(const TeamSheet& sheet) {
    using namespace team_sheet;
    using Style = SheetText::Style;
    std::vector<SheetText> texts;
    texts.push_back({kTeamNameX, kTeamNameY, sheet.teamName, Style::TeamName});
    texts.push_back({kCoachLabelX, kCoachY, "Coach:", Style::Coach});
    texts.push_back({kCoachNameX, kCoachY, sheet.coachName, Style::Coach});
    for (std::size_t c = 0; c < kColumns; ++c)
        texts.push_back({kHeadingX[c], kHeadingY, kHeadings[c], Style::Heading});
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        const auto cells = TeamSheetCells(sheet.rows[r]);
        for (std::size_t c = 0; c < kColumns; ++c)
            texts.push_back({kRowX[c], RowY(int(r) + 1), cells[c], Style::Cell});
    }
    return texts;
}

int ScanPercent(std::uint64_t bytesRead, std::uint64_t fileSize) {
    if (fileSize == 0 || bytesRead >= fileSize) return 100;
    return static_cast<int>(bytesRead * 100 / fileSize);
}

std::string CompletedText(int percent) {
    return std::to_string(percent) + "% Completed";
}

} // namespace kivo
