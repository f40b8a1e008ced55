#include "core/rosters/RosterImport.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

#include "core/rosters/RosterRowCheck.h"
#include "core/support/FixedText.h"
#include "core/teams/TeamEditing.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using C = RosterColumn;

bool TwoCores() {
    return std::thread::hardware_concurrency() >= 2;
}

// Runs `first` here and `second` beside it, when there are two cores.
void SideBySide(bool together, const std::function<void()>& first, const std::function<void()>& second) {
    if (!together) {
        first();
        second();
        return;
    }
    auto beside = std::async(std::launch::async, second);
    first();
    beside.get();
}

// Reads a CSV roster in two parts side by side, the second from the first record after the middle of the
// text, each part checked on its own; then joins what they ask of each team. Nothing comes back when the
// parts cannot stand for the whole: a problem was met anywhere (the whole is then read again in one pass,
// so that the problems come as one pass gives them), the middle fell inside a quoted field (the first part
// then ends inside it, which its reading reports), or two rows of the parts clash over one team.
// What the rows ask of the teams, and the files in the order the rows first name them: the order of the
// plan's files and changes, whichever part loaded a file first.
struct Checked {
    std::vector<RosterTeamWork> teams;
    std::vector<std::size_t> fileOrder;
};

std::optional<Checked> CheckInTwo(std::string_view roster, RosterFileSet& files) {
    RosterRowCheck first(files), second(files);
    CsvRosterLayout layout;
    if (ReadCsvRosterHeader(roster, first, layout) || !first.problems.empty()) return std::nullopt;
    const std::size_t middle = roster.find('\n', layout.rowsStart + (roster.size() - layout.rowsStart) / 2);
    if (middle == std::string_view::npos || middle + 1 >= roster.size()) return std::nullopt;
    const std::string_view head = roster.substr(layout.rowsStart, middle + 1 - layout.rowsStart);
    const std::string_view tail = roster.substr(middle + 1);
    std::optional<RosterProblem> headUnreadable, tailUnreadable;
    // The tail's line and row numbers are not known before the head is read; they only show in problems,
    // and a problem sends the whole to one pass.
    SideBySide(
        true, [&] { headUnreadable = ReadCsvRosterRows(head, layout.rowsLine, 2, layout, first); },
        [&] { tailUnreadable = ReadCsvRosterRows(tail, layout.rowsLine + 1, 1u << 30, layout, second); });
    if (headUnreadable || tailUnreadable || !first.problems.empty() || !second.problems.empty())
        return std::nullopt;

    Checked checked{std::move(first.teams), std::move(first.filesSeen)};
    for (std::size_t file : second.filesSeen)
        if (std::find(checked.fileOrder.begin(), checked.fileOrder.end(), file) == checked.fileOrder.end())
            checked.fileOrder.push_back(file);
    std::vector<RosterTeamWork>& teams = checked.teams;
    std::unordered_map<std::uint64_t, std::size_t> at;
    for (std::size_t t = 0; t < teams.size(); ++t)
        at[(static_cast<std::uint64_t>(teams[t].file) << 40) | teams[t].k] = t;
    for (RosterTeamWork& later : second.teams) {
        const auto found = at.find((static_cast<std::uint64_t>(later.file) << 40) | later.k);
        if (found == at.end()) {
            teams.push_back(std::move(later));
            continue;
        }
        // One team in both parts: as one pass would take it, or not at all.
        RosterTeamWork& team = teams[found->second];
        for (std::size_t s = 0; s < kPlayersPerTeam; ++s) {
            if (later.slotFrom[s].number == 0) continue;
            if (team.slotFrom[s].number != 0) return std::nullopt;
            team.slotFrom[s] = later.slotFrom[s];
        }
        std::array<bool, kTeamValueColumns> repeated{};
        for (std::size_t c = 0; c < kTeamValueColumns; ++c) {
            if (later.teamValueFrom[c].number == 0) continue;
            if (team.teamValueFrom[c].number != 0) {
                if (team.teamValue[c] != later.teamValue[c]) return std::nullopt;
                repeated[c] = true; // one pass keeps the first row's change only
            }
        }
        for (RosterEdit& e : later.edits) {
            const auto c = static_cast<std::size_t>(e.column) - static_cast<std::size_t>(C::TeamName);
            if (c < kTeamValueColumns && repeated[c]) continue;
            team.edits.push_back(std::move(e));
        }
    }
    return checked;
}

// The edits of a row in the team editor's own terms, so that the team is encoded as its OK encodes it.
void Apply(const RosterEdit& e, TeamEditState& s) {
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

// Encodes the teams with edits, in file and team order, into the files' images: the teams that come out
// changed, with their records as they were. Teams are independent: two halves may be encoded side by side.
std::vector<ImportedTeam> EncodeTeams(const Checked& checked, std::vector<TeamFileImage>& images,
                                      bool sideBySide) {
    std::vector<std::size_t> rank(images.size());
    for (std::size_t r = 0; r < checked.fileOrder.size(); ++r)
        rank[checked.fileOrder[r]] = r;
    std::vector<const RosterTeamWork*> order;
    for (const RosterTeamWork& work : checked.teams)
        if (!work.edits.empty()) order.push_back(&work);
    std::sort(order.begin(), order.end(), [&](const RosterTeamWork* a, const RosterTeamWork* b) {
        return std::pair(rank[a->file], a->k) < std::pair(rank[b->file], b->k);
    });
    auto encode = [&](std::size_t from, std::size_t to, std::vector<ImportedTeam>& changed) {
        TeamEditState state; // one state for the run: its texts keep their storage
        for (std::size_t t = from; t < to; ++t) {
            const RosterTeamWork& work = *order[t];
            TeamFileImage& image = images[work.file];
            DecodeTeamInto(image.team(work.k), state.team);
            for (const RosterEdit& e : work.edits)
                Apply(e, state);
            const TeamRecordBytes after = SerializeTeamRecord(EncodeEdits(state));
            std::uint8_t* at = image.bytes.data() + image.offsetOf(work.k);
            if (std::equal(after.begin(), after.end(), at)) continue;
            ImportedTeam& team = changed.emplace_back();
            team.file = work.file;
            team.team = work.k;
            std::copy(at, at + kTeamRecordSize, team.before.begin());
            std::copy(after.begin(), after.end(), at);
        }
    };
    std::vector<ImportedTeam> first, second;
    const std::size_t half = order.size() / 2;
    SideBySide(
        sideBySide && half > 0, [&] { encode(0, half, first); }, [&] { encode(half, order.size(), second); });
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace

RosterImportPlan PlanRosterImport(const std::string& target, std::string_view roster,
                                  const RosterImportOptions& options) {
    std::error_code ec;
    const bool directory = fs::is_directory(target, ec);
    std::optional<RosterFileSet> files(std::in_place, target, directory);
    RosterImportPlan plan;
    std::optional<Checked> checked;
    const std::size_t first = roster.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    const bool csv = first == std::string_view::npos || (roster[first] != '[' && roster[first] != '{');
    const bool sideBySide = TwoCores() && roster.size() >= options.twoPartsFrom;
    if (csv && sideBySide) checked = CheckInTwo(roster, *files);
    if (checked) {
        plan.partsRead = 2;
    } else {
        files.emplace(target, directory); // afresh: a problem met reading one file is told once
        RosterRowCheck check(*files);
        if (auto unreadable = ReadRoster(roster, check)) {
            plan.problems = {std::move(*unreadable)};
            return plan;
        }
        if (!check.problems.empty()) {
            plan.problems = std::move(check.problems);
            return plan;
        }
        checked = Checked{std::move(check.teams), std::move(check.filesSeen)};
    }
    std::vector<TeamFileImage> images = files->Take();
    plan.teams = EncodeTeams(*checked, images, sideBySide);
    // Only the files with a changed team are kept, in the rows' order, and the teams point into them.
    std::vector<std::size_t> kept(images.size(), SIZE_MAX);
    for (const ImportedTeam& t : plan.teams)
        kept[t.file] = 0;
    for (std::size_t f : checked->fileOrder)
        if (kept[f] == 0) {
            kept[f] = plan.files.size();
            plan.files.push_back(std::move(images[f]));
        }
    for (ImportedTeam& t : plan.teams)
        t.file = kept[t.file];
    return plan;
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
