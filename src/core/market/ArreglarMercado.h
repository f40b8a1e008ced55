#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/backups/Backups.h"
#include "core/support/Progress.h"

namespace kivo {

struct MarketFixReport {
    // The texts of the "ERROR" messages, in the order they arose.
    std::vector<std::string> messages;
    // The fix ended early (a file that cannot be opened or read, a backup or a write that failed); what
    // was done before stays done, each rewritten file with its backup.
    bool stopped = false;
    std::int64_t cupTeams = 0; // cup records read
    std::int64_t cupTeamsRewritten = 0;
    bool poolMissing = false;     // no pool file: the pool pass had nothing to do
    std::int64_t poolEntries = 0; // pool records processed
    std::int64_t poolEntriesRewritten = 0;
    std::int64_t poolEntriesTeamMissing = 0; // left unchanged: their team is not in the league file
};

// The market fix over `directory`: each cup file (Eurocup.tmd, Uefacup.tmd, Eurocwc.tmd) is copied to its
// .bak and every cup team whose league team is in the Premier division is replaced by that league team
// (keeping its COP:NROEQUIPOGRAL); then POOLPLYR.DAT is copied to POOLPLYR.BAK and every entry takes its
// team name and player fields from its league team's slot. A file is rewritten only after its backup has
// been written. Before its first change each file is also copied whole into `backups` (kivo-backups/): the
// .bak holds only the state before the last fix, the run folder the state before this run's first change.
// A file whose copy cannot be made is not changed and the fix stops with a message naming it. Every copy
// is written under a temporary name, so a failed copy never cuts an older one.
// Progress: "Fixing Cups", then "Fixing Market"; there is no cancel.
MarketFixReport ArreglarMercado(const std::string& directory, BackupRun& backups, Progress& progress);

// The same with a run of its own.
MarketFixReport ArreglarMercado(const std::string& directory, Progress& progress);

} // namespace kivo
