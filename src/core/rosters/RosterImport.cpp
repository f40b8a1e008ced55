#include "core/rosters/RosterImport.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <map>
#include <optional>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/rosters/RosterFiles.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"
#include "core/teams/TeamEditing.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using C = RosterColumn;

std::string Upper(std::string_view text) {
    std::string out;
    for (char c : text)
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view TrimView(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Trim(std::string_view text) {
    return std::string(TrimView(text));
}

// Whether two texts are the same, edge blanks and the letter case of ASCII letters ignored. Most cells of
// an import repeat the file's value; this tells so without making a single string.
bool SameText(std::string_view a, std::string_view b) {
    a = TrimView(a);
    b = TrimView(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<long long> WholeNumber(std::string_view cell) {
    const std::string_view t = TrimView(cell);
    long long value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

// The code whose table text matches the cell, letter case and edge blanks ignored.
std::optional<std::uint8_t> CodeIn(const std::string& cell, std::size_t count,
                                   std::optional<std::string> (*text)(std::uint8_t)) {
    for (std::size_t code = 0; code < count; ++code)
        if (SameText(cell, *text(static_cast<std::uint8_t>(code)))) return static_cast<std::uint8_t>(code);
    return std::nullopt;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

struct TeamWork {
    std::size_t file = 0; // index into the loaded files
    std::uint64_t k = 0;
    TeamEditSession session;
    std::array<std::string, kRosterColumnCount> teamValueFrom; // the row that changed a team value
    std::array<std::string, kRosterColumnCount> teamValue;
    std::array<std::string, kPlayersPerTeam> slotFrom; // the row that gave each slot
};

struct Planner {
    std::string target;
    bool directory = false;
    RosterImportPlan plan;
    std::vector<TeamFileImage> images;
    std::map<std::string, std::optional<std::size_t>> imageOf; // upper-case file name -> loaded file
    std::map<std::pair<std::size_t, std::uint64_t>, TeamWork> teams;
    // Rows come file by file and team by team: the last row's file and team are looked up once.
    std::string lastFileCell;
    std::size_t lastFile = 0;
    TeamWork* lastTeam = nullptr; // into `teams`, whose elements stay where they are

    void Problem(const RosterRow& row, C column, const std::string& value, std::string why) {
        plan.problems.push_back({row.where, std::string(ColumnName(column)), value, std::move(why)});
    }

    std::optional<std::size_t> FileOf(const RosterRow& row, const std::string& name) {
        if (!lastFileCell.empty() && name == lastFileCell) return lastFile;
        const auto found = LookUpFile(row, name);
        if (found) {
            lastFileCell = name;
            lastFile = *found;
        }
        return found;
    }

    std::optional<std::size_t> LookUpFile(const RosterRow& row, const std::string& name) {
        const std::string key = Upper(Trim(name));
        if (auto it = imageOf.find(key); it != imageOf.end()) {
            if (!it->second) Problem(row, C::File, name, "the file cannot be read (see above)");
            return it->second;
        }
        std::string path;
        if (directory) {
            const std::string plain = Trim(name);
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

    // A team value (name, coach, tactic, division): rows may repeat the file's value, but two rows may not
    // change it differently.
    bool TeamValueChanges(TeamWork& work, const RosterRow& row, C column, const std::string& cell,
                          const std::string& canonical) {
        const auto c = static_cast<std::size_t>(column);
        if (work.teamValueFrom[c].empty()) {
            work.teamValueFrom[c] = row.where;
            work.teamValue[c] = canonical;
            return true;
        }
        if (work.teamValue[c] != canonical)
            Problem(row, column, cell, "differs from " + work.teamValueFrom[c] + " for the same team");
        return false;
    }

    template <typename Set>
    void NameCell(const RosterRow& row, C column, std::size_t width, const std::string& current,
                  const Set& set, TeamWork* work) {
        const auto& cell = row[column];
        if (!cell) return;
        // Most names are plain ASCII and as the file has them: nothing to convert, nothing changes.
        if (IsAscii(*cell) && cell->size() <= width && TrimRight(*cell) == TrimRight(current) &&
            std::none_of(cell->begin(), cell->end(),
                         [](char ch) { return static_cast<unsigned char>(ch) < 0x20; }))
            return;
        auto latin1 = Utf8ToLatin1(*cell);
        if (!latin1) return Problem(row, column, *cell, "has a character without a Latin-1 form");
        if (latin1->size() > width)
            return Problem(row, column, *cell, "is longer than " + std::to_string(width) + " characters");
        for (char ch : *latin1)
            if (static_cast<unsigned char>(ch) < 0x20)
                return Problem(row, column, *cell, "holds a control character");
        if (TrimRight(*latin1) == TrimRight(current)) return;
        if (work && !TeamValueChanges(*work, row, column, *cell, TrimRight(*latin1))) return;
        set(*latin1);
    }

    template <typename Set>
    void CodeCell(const RosterRow& row, C column, std::size_t count,
                  std::optional<std::string> (*text)(std::uint8_t), const std::string& current,
                  const Set& set, TeamWork* work) {
        const auto& cell = row[column];
        // An empty cell keeps the file's value: no table has an empty text.
        if (!cell || TrimView(*cell).empty()) return;
        if (SameText(*cell, current)) return;
        const auto code = CodeIn(*cell, count, text);
        if (!code)
            return Problem(row, column, *cell, "not in the " + std::string(ColumnName(column)) + " table");
        if (work && !TeamValueChanges(*work, row, column, *cell, std::to_string(*code))) return;
        set(*code);
    }

    template <typename Set>
    void NumberCell(const RosterRow& row, C column, long long low, long long high, unsigned current,
                    const Set& set) {
        const auto& cell = row[column];
        if (!cell || TrimView(*cell).empty()) return;
        const auto value = WholeNumber(*cell);
        if (!value) return Problem(row, column, *cell, "not a whole number");
        if (*value == static_cast<long long>(current)) return;
        if (*value < low || *value > high)
            return Problem(row, column, *cell,
                           "must be from " + std::to_string(low) + " to " + std::to_string(high));
        set(static_cast<std::uint8_t>(*value));
    }

    void Row(const RosterRow& row);
    void Finish();
};

void Planner::Row(const RosterRow& row) {
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
    if (!lastTeam || lastTeam->file != *file || lastTeam->k != static_cast<std::uint64_t>(*k)) {
        auto [it, added] = teams.try_emplace({*file, static_cast<std::uint64_t>(*k)});
        lastTeam = &it->second;
        if (added) {
            lastTeam->file = *file;
            lastTeam->k = static_cast<std::uint64_t>(*k);
            lastTeam->session = OpenTeamEdit(image.team(lastTeam->k));
        }
    }
    TeamWork& work = *lastTeam;
    TeamEditState& s = work.session.state;
    const DecodedTeam& was = work.session.opened.team;

    NameCell(
        row, C::TeamName, kTeamNameWidth, was.teamName, [&](const std::string& v) { SetTeamName(s, v); },
        &work);
    NameCell(
        row, C::Coach, kCoachNameWidth, was.coachName, [&](const std::string& v) { SetCoachName(s, v); },
        &work);
    CodeCell(
        row, C::Tactic, kTacticCount, TacticText, TacticText(was.record.tactica).value_or(""),
        [&](std::uint8_t code) { SetTactic(s, code); }, &work);
    CodeCell(
        row, C::Division, kDivisionCount, DivisionText, DivisionText(was.record.division).value_or(""),
        [&](std::uint8_t code) { SetDivision(s, code); }, &work);

    if (!row[C::Slot]) {
        for (C column : {C::Name, C::Nationality, C::Shirt, C::Position, C::Face, C::Passing, C::Price})
            if (row[column]) return Problem(row, C::Slot, "", "a player's values need the slot");
        return;
    }
    const auto slot = WholeNumber(*row[C::Slot]);
    if (!slot || *slot < 1 || *slot > static_cast<long long>(kPlayersPerTeam))
        return Problem(row, C::Slot, *row[C::Slot], "must be from 1 to 16");
    const std::size_t i = static_cast<std::size_t>(*slot - 1);
    if (!work.slotFrom[i].empty())
        return Problem(row, C::Slot, *row[C::Slot], "the same slot as " + work.slotFrom[i]);
    work.slotFrom[i] = row.where;
    const DecodedPlayer& p = was.players[i];

    NameCell(
        row, C::Name, kPlayerNameWidth, p.name, [&](const std::string& v) { SetPlayerName(s, i, v); },
        nullptr);
    CodeCell(
        row, C::Nationality, kNationalityCount, NationalityText, p.nationality,
        [&](std::uint8_t code) { SetNationality(s, i, code); }, nullptr);
    CodeCell(
        row, C::Position, kPositionCount, PositionText, p.position,
        [&](std::uint8_t code) { SetPosition(s, i, *PositionText(code)); }, nullptr);
    CodeCell(
        row, C::Price, kPriceCount, PriceText, p.price, [&](std::uint8_t code) { SetPrice(s, i, code); },
        nullptr);
    NumberCell(row, C::Shirt, 1, 16, p.shirt, [&](std::uint8_t v) { SetShirtNumber(s, i, v); });
    NumberCell(row, C::Face, 0, 2, p.face, [&](std::uint8_t v) { s.team.players[i].face = v; });
    constexpr C skills[] = {C::Passing,     C::Shooting, C::Heading,  C::Tackling,
                            C::BallControl, C::Speed,    C::Finishing};
    for (std::size_t k2 = 0; k2 < kSkillCount; ++k2)
        NumberCell(row, skills[k2], 0, 15, p.skills[k2], [&](std::uint8_t v) { SetSkill(s, i, k2, v); });
    if (const auto& cell = row[C::LineupPlace]) {
        const auto place = WholeNumber(*cell);
        if (!place || *place != work.session.lineupPlaces[i])
            Problem(row, C::LineupPlace, *cell,
                    "the line-up place is " + std::to_string(work.session.lineupPlaces[i]) +
                        " and an import does not change the line-up");
    }
}

void Planner::Finish() {
    if (!plan.problems.empty()) return;
    std::vector<bool> changed(images.size(), false);
    for (auto& [key, work] : teams) {
        if (SameEdits(work.session.opened, work.session.state)) continue;
        const TeamRecord after = EncodeEdits(work.session.state);
        if (SerializeTeamRecord(after) == work.session.savedCopy) continue;
        TeamFileImage& image = images[work.file];
        const std::string name = Latin1ToUtf8(fs::path(image.path).filename().string());
        for (TeamChange& c : TeamChanges(name, work.k, work.session.opened.team.record, after))
            plan.changes.push_back(std::move(c));
        image.setTeam(work.k, after);
        changed[work.file] = true;
        ++plan.teamsChanged;
    }
    for (std::size_t f = 0; f < images.size(); ++f)
        if (changed[f]) plan.files.push_back(std::move(images[f]));
}

} // namespace

RosterImportPlan PlanRosterImport(const std::string& target, const RosterReading& roster) {
    Planner planner;
    planner.target = target;
    std::error_code ec;
    planner.directory = fs::is_directory(target, ec);
    planner.plan.problems = roster.problems;
    for (const RosterRow& row : roster.rows)
        planner.Row(row);
    planner.Finish();
    return std::move(planner.plan);
}

Status ApplyRosterImport(BackupRun& backups, const RosterImportPlan& plan) {
    if (!plan.ok()) return Error{"The roster has errors; nothing was written."};
    return SaveTeamFileImages(backups, plan.files);
}

} // namespace kivo
