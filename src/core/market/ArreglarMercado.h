#pragma once

#include <cstdint>
#include <functional>
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
    bool poolMissing = false; // no pool file: the pool pass had nothing to do
    // The pool file is there but cannot be opened for writing (read-only, locked): it was not changed.
    bool poolUnopenable = false;
    std::string poolOpenFailure; // the operating system's words for that
    // The .bak/.BAK copies this fix wrote, in the order written, as the paths it wrote them to.
    std::vector<std::string> backupsWritten;
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
//
// Each message is also handed to `tell` the moment it arises, before the fix goes on, so that a window can
// show it then; the fix waits for `tell` to return.
using MarketMessageSink = std::function<void(const std::string& message)>;
MarketFixReport ArreglarMercado(const std::string& directory, BackupRun& backups, Progress& progress,
                                const MarketMessageSink& tell = {});

// The same with a run of its own.
MarketFixReport ArreglarMercado(const std::string& directory, Progress& progress);

} // namespace kivo
