#include "core/rosters/RosterImport.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <unordered_map>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/rosters/RosterCellText.h"
#include "core/rosters/RosterFiles.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"
#include "core/teams/TeamEditing.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using C = RosterColumn;

// A change a row asks of a team, applied to the team editor's state when the rows are all read.
struct Edit {
    std::uint8_t slot = 0; // 0..15; unused for a team value
    C column = C::File;
    std::uint8_t value = 0; // a code or a number
    std::string text;       // a name, Latin-1
};

constexpr std::size_t kTeamColumns = 4; // team_name, coach, tactic, division: columns 2..5

struct TeamWork {
    std::size_t file = 0; // index into the loaded files
    std::uint64_t k = 0;
    std::array<RowPlace, kTeamColumns> teamValueFrom{}; // the row that changed a team value
    std::array<std::string, kTeamColumns> teamValue;
    std::array<RowPlace, kPlayersPerTeam> slotFrom{}; // the row that gave each slot
    std::vector<Edit> edits;
};

struct Planner final : RosterRowSink {
    std::string target;
    bool directory = false;
    RosterImportPlan plan;
    std::vector<TeamFileImage> images;
    std::map<std::string, std::optional<std::size_t>> imageOf; // upper-case file name -> loaded file
    std::vector<TeamWork> teams;
    std::unordered_map<std::uint64_t, std::size_t> teamOf; // file and team -> index into `teams`
    CodeTable tactics{kTacticCount, TacticText}, divisions{kDivisionCount, DivisionText},
        nationalities{kNationalityCount, NationalityText}, positions{kPositionCount, PositionText},
        prices{kPriceCount, PriceText};
    // Rows come file by file and team by team: the last row's file and team are looked up once, and the
    // team's record is read once.
    std::string lastFileCell;
    std::size_t lastFile = 0;
    std::size_t lastTeam = SIZE_MAX;
    TeamRecord record;
    std::array<std::uint8_t, kPlayersPerTeam> lineupPlaces{};

    void Problem(RosterProblem problem) override { plan.problems.push_back(std::move(problem)); }
    void Problem(const RosterCells& row, C column, std::string_view value, std::string why) {
        Problem({row.where.Text(), std::string(ColumnName(column)), std::string(value), std::move(why)});
    }

    std::optional<std::size_t> FileOf(const RosterCells& row, std::string_view name) {
        if (!lastFileCell.empty() && name == lastFileCell) return lastFile;
        const auto found = LookUpFile(row, name);
        if (found) {
            lastFileCell = name;
            lastFile = *found;
        }
        return found;
    }

    std::optional<std::size_t> LookUpFile(const RosterCells& row, std::string_view name) {
        const std::string key = Upper(name);
        if (auto it = imageOf.find(key); it != imageOf.end()) {
            if (!it->second) Problem(row, C::File, name, "the file cannot be read (see above)");
            return it->second;
        }
        std::string path;
        if (directory) {
            const std::string plain(TrimView(name));
            if (!IsTeamFileName(plain)) {
                Problem(row, C::File, name,
                        "not a team file name (TEAM.NNN, EUROCUP.TMD, UEFACUP.TMD, EUROCWC.TMD)");
                return std::nullopt; // not remembered: each such row is reported
            }
            path = FindExistingFile(fs::path(target) / plain).string();
            std::error_code ec;
            if (!fs::is_regular_file(path, ec)) {
                Problem(row, C::File, name, "no such file in " + target);
                imageOf[key] = std::nullopt;
                return std::nullopt;
            }
        } else {
            if (key != Upper(fs::path(target).filename().string()) &&
                key != Upper(FindExistingFile(target).filename().string())) {
                Problem(row, C::File, name, "the import is into " + target + " only");
                return std::nullopt;
            }
            path = target;
        }
        auto image = LoadTeamFileImage(path);
        if (!image) {
            Problem(row, C::File, name, image.error().text);
            imageOf[key] = std::nullopt;
            return std::nullopt;
        }
        images.push_back(std::move(*image));
        imageOf[key] = images.size() - 1;
        return images.size() - 1;
    }

    TeamWork& TeamAt(std::size_t file, std::uint64_t k) {
        if (lastTeam != SIZE_MAX && teams[lastTeam].file == file && teams[lastTeam].k == k)
            return teams[lastTeam];
        auto [it, added] = teamOf.try_emplace((static_cast<std::uint64_t>(file) << 40) | k, teams.size());
        if (added) {
            teams.emplace_back();
            teams.back().file = file;
            teams.back().k = k;
        }
        lastTeam = it->second;
        record = images[file].team(k);
        lineupPlaces = LineupPlace(record);
        return teams[lastTeam];
    }

    // A team value (name, coach, tactic, division): rows may repeat the file's value, but two rows may not
    // change it differently.
    bool TeamValueChanges(TeamWork& work, const RosterCells& row, C column, std::string_view cell,
                          const std::string& canonical) {
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

    void NameCell(const RosterCells& row, C column, std::size_t width, std::string_view current,
                  TeamWork& work, std::uint8_t slot, bool teamValue) {
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
        if (teamValue && !TeamValueChanges(work, row, column, *cell, std::string(TrimRightView(*latin1))))
            return;
        work.edits.push_back({slot, column, 0, std::move(*latin1)});
    }

    void CodeCell(const RosterCells& row, C column, const CodeTable& table, std::uint8_t current,
                  TeamWork& work, std::uint8_t slot, bool teamValue) {
        const auto& cell = row[column];
        // An empty cell keeps the file's value: no table has an empty text.
        if (!cell || TrimView(*cell).empty()) return;
        if (SameText(*cell, table.TextOf(current))) return;
        const auto code = table.CodeOf(*cell);
        if (!code)
            return Problem(row, column, *cell, "not in the " + std::string(ColumnName(column)) + " table");
        if (teamValue && !TeamValueChanges(work, row, column, *cell, std::to_string(*code))) return;
        work.edits.push_back({slot, column, *code, {}});
    }

    void NumberCell(const RosterCells& row, C column, long long low, long long high, unsigned current,
                    TeamWork& work, std::uint8_t slot) {
        const auto& cell = row[column];
        if (!cell || TrimView(*cell).empty()) return;
        const auto value = WholeNumber(*cell);
        if (!value) return Problem(row, column, *cell, "not a whole number");
        if (*value == static_cast<long long>(current)) return;
        if (*value < low || *value > high)
            return Problem(row, column, *cell,
                           "must be from " + std::to_string(low) + " to " + std::to_string(high));
        work.edits.push_back({slot, column, static_cast<std::uint8_t>(*value), {}});
    }

    void Row(const RosterCells& row) override;
    void Finish();
};

constexpr C kSkillColumns[kSkillCount] = {C::Passing,     C::Shooting, C::Heading,  C::Tackling,
                                          C::BallControl, C::Speed,    C::Finishing};

void Planner::Row(const RosterCells& row) {
    if (!row[C::File] || TrimView(*row[C::File]).empty())
        return Problem(row, C::File, "", "a file is needed");
    if (!row[C::Team]) return Problem(row, C::Team, "", "a team index is needed");
    const auto file = FileOf(row, *row[C::File]);
    const auto k = WholeNumber(*row[C::Team]);
    if (!k) return Problem(row, C::Team, *row[C::Team], "not a whole number");
    if (!file) return;
    const TeamFileImage& image = images[*file];
    if (*k < 0 || static_cast<std::uint64_t>(*k) >= image.teamCount())
        return Problem(row, C::Team, *row[C::Team],
                       fs::path(image.path).filename().string() + " holds teams 0 to " +
                           std::to_string(static_cast<long long>(image.teamCount()) - 1));
    TeamWork& work = TeamAt(*file, static_cast<std::uint64_t>(*k));

    NameCell(row, C::TeamName, kTeamNameWidth, Shown(record.nombreEquipo), work, 0, true);
    NameCell(row, C::Coach, kCoachNameWidth, Shown(record.nombreEntrenador), work, 0, true);
    CodeCell(row, C::Tactic, tactics, record.tactica, work, 0, true);
    CodeCell(row, C::Division, divisions, record.division, work, 0, true);

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
    const PlayerSlot& p = record.jugador[i];

    NameCell(row, C::Name, kPlayerNameWidth, Shown(p.nombreJugador), work, i, false);
    CodeCell(row, C::Nationality, nationalities, p.nacionalidad, work, i, false);
    CodeCell(row, C::Position, positions, PositionCodeOf(p.posicionYAspecto), work, i, false);
    CodeCell(row, C::Price, prices, p.valorPase, work, i, false);
    NumberCell(row, C::Shirt, 1, 16, p.nroCamiseta, work, i);
    NumberCell(row, C::Face, 0, 2, FaceCodeOf(p.posicionYAspecto), work, i);
    const Skills skills = SlotSkills(p);
    for (std::size_t s = 0; s < kSkillCount; ++s)
        NumberCell(row, kSkillColumns[s], 0, 15, skills[s], work, i);
    if (const auto& cell = row[C::LineupPlace]) {
        const auto place = WholeNumber(*cell);
        if (!place || *place != lineupPlaces[i])
            Problem(row, C::LineupPlace, *cell,
                    "the line-up place is " + std::to_string(lineupPlaces[i]) +
                        " and an import does not change the line-up");
    }
}

// The edits of a row in the team editor's own terms, so that the team is encoded as its OK encodes it.
void Apply(const Edit& e, TeamEditState& s) {
    switch (e.column) {
    case C::TeamName:
        return SetTeamName(s, e.text);
    case C::Coach:
        return SetCoachName(s, e.text);
    case C::Tactic:
        return SetTactic(s, e.value);
    case C::Division:
        return SetDivision(s, e.value);
    case C::Name:
        return SetPlayerName(s, e.slot, e.text);
    case C::Nationality:
        return SetNationality(s, e.slot, e.value);
    case C::Position:
        return SetPosition(s, e.slot, *PositionText(e.value));
    case C::Price:
        return SetPrice(s, e.slot, e.value);
    case C::Shirt:
        return SetShirtNumber(s, e.slot, e.value);
    case C::Face:
        s.team.players[e.slot].face = e.value;
        return;
    default:
        for (std::size_t k = 0; k < kSkillCount; ++k)
            if (kSkillColumns[k] == e.column) SetSkill(s, e.slot, k, e.value);
    }
}

void Planner::Finish() {
    if (!plan.problems.empty()) return;
    std::vector<std::size_t> order;
    for (std::size_t t = 0; t < teams.size(); ++t)
        if (!teams[t].edits.empty()) order.push_back(t);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::pair(teams[a].file, teams[a].k) < std::pair(teams[b].file, teams[b].k);
    });
    constexpr std::size_t kNone = SIZE_MAX;
    std::vector<std::size_t> fileIndex(images.size(), kNone);
    for (std::size_t t : order) {
        const TeamWork& work = teams[t];
        TeamFileImage& image = images[work.file];
        TeamEditState state;
        state.team = DecodeTeam(image.team(work.k));
        for (const Edit& e : work.edits)
            Apply(e, state);
        const TeamRecordBytes after = SerializeTeamRecord(EncodeEdits(state));
        std::uint8_t* at = image.bytes.data() + image.offsetOf(work.k);
        if (std::equal(after.begin(), after.end(), at)) continue;
        if (fileIndex[work.file] == kNone) fileIndex[work.file] = 0; // numbered below
        ImportedTeam& changed = plan.teams.emplace_back();
        changed.file = work.file;
        changed.team = work.k;
        std::copy(at, at + kTeamRecordSize, changed.before.begin());
        std::copy(after.begin(), after.end(), at);
    }
    for (std::size_t f = 0; f < images.size(); ++f)
        if (fileIndex[f] != kNone) {
            fileIndex[f] = plan.files.size();
            plan.files.push_back(std::move(images[f]));
        }
    for (ImportedTeam& t : plan.teams)
        t.file = fileIndex[t.file];
}

} // namespace

RosterImportPlan PlanRosterImport(const std::string& target, std::string_view roster) {
    Planner planner;
    planner.target = target;
    std::error_code ec;
    planner.directory = fs::is_directory(target, ec);
    if (auto unreadable = ReadRoster(roster, planner)) {
        planner.plan.problems = {std::move(*unreadable)};
        return std::move(planner.plan);
    }
    planner.Finish();
    return std::move(planner.plan);
}

std::vector<TeamChange> ImportChanges(const RosterImportPlan& plan) {
    std::vector<TeamChange> changes;
    for (const ImportedTeam& t : plan.teams) {
        const TeamFileImage& image = plan.files[t.file];
        const std::string name = Latin1ToUtf8(fs::path(image.path).filename().string());
        for (TeamChange& c : TeamChanges(name, t.team, ParseTeamRecord(t.before), image.team(t.team)))
            changes.push_back(std::move(c));
    }
    return changes;
}

Status ApplyRosterImport(BackupRun& backups, const RosterImportPlan& plan) {
    if (!plan.ok()) return Error{"The roster has errors; nothing was written."};
    return SaveTeamFileImages(backups, plan.files);
}

} // namespace kivo
