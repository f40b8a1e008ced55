#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/backups/Backups.h"
#include "core/gamefiles/TeamFileImage.h"
#include "core/rosters/RosterReading.h"
#include "core/rosters/TeamChanges.h"
#include "core/support/Result.h"

namespace kivo {

// A team an import changes: its file among the plan's files, its index, and its record as it was.
struct ImportedTeam {
    std::size_t file = 0;
    std::uint64_t team = 0;
    TeamRecordBytes before{};
};

// What an import would do: the problems of the roster (then nothing may be written), or the files whose
// teams change, already changed in memory, and those teams.
struct RosterImportPlan {
    std::vector<RosterProblem> problems;
    std::vector<TeamFileImage> files; // only the files with a changed team
    std::vector<ImportedTeam> teams;  // file by file, in team order
    int partsRead = 1;                // 2 when a long roster was read in two parts side by side
    bool ok() const { return problems.empty(); }
};

// Reads the roster (CSV or JSON, as ReadRoster reads it) and checks every row against the game files of
// `target` (a data directory, whose files the rows name, or one team or cup file, which every row must
// name), then works out the changes. Rows are matched by file, team (index from 0) and slot (1..16); a
// column left out, or an empty cell of a column other than the names, keeps the file's value, and a cell
// equal to the file's value (texts of tables in any letter case) changes nothing. Texts of tables must be
// in their table, names must fit their width and have a Latin-1 form, skills are 0..15, shirt 1..16, face
// 0..2; a team's own values may differ between its rows only where they keep the file's value; the
// line-up place cannot be changed. A team whose values change is encoded as the team editor's OK encodes
// it. Rows are checked as they are read: the roster is never held whole beside its text. Whichever way the
// roster is read, the plan is the same.
struct RosterImportOptions {
    // A CSV roster of this size or more is read in two parts side by side on a machine with two cores, and
    // its teams encoded in two halves side by side.
    std::size_t twoPartsFrom = 1 << 20;
};
RosterImportPlan PlanRosterImport(const std::string& target, std::string_view roster,
                                  const RosterImportOptions& options = {});

// Every decoded value the plan changes, team by team: spelt out only when shown, since a season's roster
// can change hundreds of thousands of values.
std::vector<TeamChange> ImportChanges(const RosterImportPlan& plan);

// Writes the changed files of the plan through the run's backups, all or none (SaveTeamFileImages); a
// failure names the file.
Status ApplyRosterImport(BackupRun& backups, const RosterImportPlan& plan);

} // namespace kivo
