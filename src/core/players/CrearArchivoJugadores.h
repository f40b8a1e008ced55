#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/support/Progress.h"
#include "core/support/Result.h"

namespace kivo {

struct PlayerDatabaseBuildSummary {
    int filesRead = 0;     // team files that were opened and had a header
    int stoppedAtFile = 0; // the file number whose header could not be read (the scan ended there), or 0
    std::int64_t teams = 0;
    std::int64_t rows = 0;
    // Team files left out because they are there but cannot be opened, or cannot be read as team files
    // (far too large), each with the reason.
    std::vector<std::string> skipped;
    // A damaged database that the build replaced was first moved to this name (kept for whoever wants to
    // look into it), or empty.
    std::string damagedKeptAs;
};

// Builds the all-players database at `databasePath` anew from the league team files 1 to 85 of
// `dataDirectory` ("TEAM.0" and two digits): 16 rows per team, mark 0, files that cannot be opened
// skipped, the scan ended at a file whose header cannot be read. Every row and mark of the old database is
// replaced in one transaction, so that other readers see either the old contents or the new ones. A
// failure of the database leaves the old contents and is returned. Progress: "Reading File:" with the file
// number and "Team:" with the team ordinal, then "Building File Keys"; there is no cancel.
//
// Nothing is touched when `dataDirectory` is missing, is not a directory or holds none of TEAM.001 to
// TEAM.085: the error says so, and the old database with its marks stays as it was. A database that is
// damaged (not a database, a failed integrity check, orders that are not ours) is moved aside to
// "<path>.damaged" and built anew, so a build always ends with a sound database or an error.
Result<PlayerDatabaseBuildSummary>
CrearArchivoJugadores(const std::string& databasePath, const std::string& dataDirectory, Progress& progress);

} // namespace kivo
