#include "core/rosters/RosterRowCheck.h"

#include <algorithm>
#include <filesystem>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/rosters/RosterFiles.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using C = RosterColumn;

// A team that changes at all mostly changes in many slots.
void AddEdit(RosterTeamWork& work, RosterEdit edit) {
    if (work.edits.empty()) work.edits.reserve(kPlayersPerTeam);
    work.edits.push_back(std::move(edit));
}

} // namespace

std::variant<RosterFileSet::Found, std::string> RosterFileSet::Find(std::string_view name) {
    const std::string key = Upper(name);
    const std::lock_guard lock(mutex_);
    if (auto it = indexOf_.find(key); it != indexOf_.end()) {
        if (!it->second) return std::string("the file cannot be read (see above)");
        return Found{*it->second, &images_[*it->second]};
    }
    std::string path;
    if (directory_) {
        const std::string plain(TrimView(name));
        if (!IsTeamFileName(plain)) // not remembered: each such row is reported
            return std::string("not a team file name (TEAM.NNN, EUROCUP.TMD, UEFACUP.TMD, EUROCWC.TMD)");
        path = FindExistingFile(fs::path(target_) / plain).string();
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) {
            indexOf_[key] = std::nullopt;
            return "no such file in " + target_;
        }
    } else {
        if (key != Upper(fs::path(target_).filename().string()) &&
            key != Upper(FindExistingFile(target_).filename().string()))
            return "the import is into " + target_ + " only";
        path = target_;
    }
    auto image = LoadTeamFileImage(path);
    if (!image) {
        indexOf_[key] = std::nullopt;
        return image.error().text;
    }
    images_.push_back(std::move(*image));
    indexOf_[key] = images_.size() - 1;
    return Found{images_.size() - 1, &images_.back()};
}

std::vector<TeamFileImage> RosterFileSet::Take() {
    std::vector<TeamFileImage> out(std::make_move_iterator(images_.begin()),
                                   std::make_move_iterator(images_.end()));
    images_.clear();
    indexOf_.clear();
    return out;
}

std::optional<RosterFileSet::Found> RosterRowCheck::FileOf(const RosterCells& row, std::string_view name) {
    if (!lastFileCell_.empty() && name == lastFileCell_) return lastFile_;
    auto found = files_.Find(name);
    if (auto* why = std::get_if<std::string>(&found)) {
        Problem(row, C::File, name, std::move(*why));
        return std::nullopt;
    }
    lastFileCell_ = name;
    lastFile_ = std::get<RosterFileSet::Found>(found);
    if (std::find(filesSeen.begin(), filesSeen.end(), lastFile_.index) == filesSeen.end())
        filesSeen.push_back(lastFile_.index);
    return lastFile_;
}

RosterTeamWork& RosterRowCheck::TeamAt(const RosterFileSet::Found& found, std::uint64_t k) {
    const std::size_t file = found.index;
    if (lastTeam_ != SIZE_MAX && teams[lastTeam_].file == file && teams[lastTeam_].k == k)
        return teams[lastTeam_];
    auto [it, added] = teamOf_.try_emplace((static_cast<std::uint64_t>(file) << 40) | k, teams.size());
    if (added) {
        teams.emplace_back();
        teams.back().file = file;
        teams.back().k = k;
    }
    lastTeam_ = it->second;
    record_ = found.image->team(k);
    lineupPlaces_ = LineupPlace(record_);
    return teams[lastTeam_];
}

// A team value (name, coach, tactic, division): rows may repeat the file's value, but two rows may not
// change it differently.
bool RosterRowCheck::TeamValueChanges(RosterTeamWork& work, const RosterCells& row, C column,
                                      std::string_view cell, const std::string& canonical) {
    const auto c = static_cast<std::size_t>(column) - static_cast<std::size_t>(C::TeamName);
    if (work.teamValueFrom[c].number == 0) {
        work.teamValueFrom[c] = row.where;
        work.teamValue[c] = canonical;
        return true;
    }
    if (work.teamValue[c] != canonical)
        Problem(row, column, cell, "differs from " + work.teamValueFrom[c].Text() + " for the same team");
    return false;
}

void RosterRowCheck::NameCell(const RosterCells& row, C column, std::size_t width, std::string_view current,
                              RosterTeamWork& work, std::uint8_t slot, bool teamValue) {
    const auto& cell = row[column];
    if (!cell) return;
    // Most names are plain ASCII and as the file has them: nothing to convert, nothing changes.
    if (SpellsAs(*cell, current, width)) return;
    auto latin1 = Utf8ToLatin1(*cell);
    if (!latin1) return Problem(row, column, *cell, "has a character without a Latin-1 form");
    if (latin1->size() > width)
        return Problem(row, column, *cell, "is longer than " + std::to_string(width) + " characters");
    for (char ch : *latin1)
        if (static_cast<unsigned char>(ch) < 0x20)
            return Problem(row, column, *cell, "holds a control character");
    if (TrimRightView(*latin1) == current) return;
    if (teamValue && !TeamValueChanges(work, row, column, *cell, std::string(TrimRightView(*latin1)))) return;
    AddEdit(work, {slot, column, 0, std::move(*latin1)});
}

void RosterRowCheck::CodeCell(const RosterCells& row, C column, const CodeTable& table, std::uint8_t current,
                              RosterTeamWork& work, std::uint8_t slot, bool teamValue) {
    const auto& cell = row[column];
    if (!cell || SameText(*cell, table.TextOf(current))) return;
    // An empty cell keeps the file's value: no table has an empty text.
    if (TrimView(*cell).empty()) return;
    const auto code = table.CodeOf(*cell);
    if (!code) return Problem(row, column, *cell, "not in the " + std::string(ColumnName(column)) + " table");
    if (teamValue && !TeamValueChanges(work, row, column, *cell, std::to_string(*code))) return;
    AddEdit(work, {slot, column, *code, {}});
}

void RosterRowCheck::NumberCell(const RosterCells& row, C column, long long low, long long high,
                                unsigned current, RosterTeamWork& work, std::uint8_t slot) {
    const auto& cell = row[column];
    if (!cell) return;
    const auto value = WholeNumber(*cell);
    if (value && *value == static_cast<long long>(current)) return;
    if (!value) {
        if (TrimView(*cell).empty()) return; // an empty cell keeps the file's value
        return Problem(row, column, *cell, "not a whole number");
    }
    if (*value < low || *value > high)
        return Problem(row, column, *cell,
                       "must be from " + std::to_string(low) + " to " + std::to_string(high));
    AddEdit(work, {slot, column, static_cast<std::uint8_t>(*value), {}});
}

void RosterRowCheck::Row(const RosterCells& row) {
    if (!row[C::File] || TrimView(*row[C::File]).empty())
        return Problem(row, C::File, "", "a file is needed");
    if (!row[C::Team]) return Problem(row, C::Team, "", "a team index is needed");
    const auto file = FileOf(row, *row[C::File]);
    const auto k = WholeNumber(*row[C::Team]);
    if (!k) return Problem(row, C::Team, *row[C::Team], "not a whole number");
    if (!file) return;
    const TeamFileImage& image = *file->image;
    if (*k < 0 || static_cast<std::uint64_t>(*k) >= image.teamCount())
        return Problem(row, C::Team, *row[C::Team],
                       fs::path(image.path).filename().string() + " holds teams 0 to " +
                           std::to_string(static_cast<long long>(image.teamCount()) - 1));
    RosterTeamWork& work = TeamAt(*file, static_cast<std::uint64_t>(*k));

    NameCell(row, C::TeamName, kTeamNameWidth, Shown(record_.nombreEquipo), work, 0, true);
    NameCell(row, C::Coach, kCoachNameWidth, Shown(record_.nombreEntrenador), work, 0, true);
    CodeCell(row, C::Tactic, tactics_, record_.tactica, work, 0, true);
    CodeCell(row, C::Division, divisions_, record_.division, work, 0, true);

    if (!row[C::Slot]) {
        for (C column : {C::Name, C::Nationality, C::Shirt, C::Position, C::Face, C::Passing, C::Price})
            if (row[column]) return Problem(row, C::Slot, "", "a player's values need the slot");
        return;
    }
    const auto slot = WholeNumber(*row[C::Slot]);
    if (!slot || *slot < 1 || *slot > static_cast<long long>(kPlayersPerTeam))
        return Problem(row, C::Slot, *row[C::Slot], "must be from 1 to 16");
    const auto i = static_cast<std::uint8_t>(*slot - 1);
    if (work.slotFrom[i].number != 0)
        return Problem(row, C::Slot, *row[C::Slot], "the same slot as " + work.slotFrom[i].Text());
    work.slotFrom[i] = row.where;
    const PlayerSlot& p = record_.jugador[i];

    NameCell(row, C::Name, kPlayerNameWidth, Shown(p.nombreJugador), work, i, false);
    CodeCell(row, C::Nationality, nationalities_, p.nacionalidad, work, i, false);
    CodeCell(row, C::Position, positions_, PositionCodeOf(p.posicionYAspecto), work, i, false);
    CodeCell(row, C::Price, prices_, p.valorPase, work, i, false);
    NumberCell(row, C::Shirt, 1, 16, p.nroCamiseta, work, i);
    NumberCell(row, C::Face, 0, 2, FaceCodeOf(p.posicionYAspecto), work, i);
    const Skills skills = SlotSkills(p);
    for (std::size_t s = 0; s < kSkillCount; ++s)
        NumberCell(row, kSkillColumns[s], 0, 15, skills[s], work, i);
    if (const auto& cell = row[C::LineupPlace]) {
        const auto place = WholeNumber(*cell);
        if (!place || *place != lineupPlaces_[i])
            Problem(row, C::LineupPlace, *cell,
                    "the line-up place is " + std::to_string(lineupPlaces_[i]) +
                        " and an import does not change the line-up");
    }
}

} // namespace kivo
