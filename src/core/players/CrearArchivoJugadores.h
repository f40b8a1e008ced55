#pragma once

#include <cstdint>
#include <string>

#include "core/support/Progress.h"
#include "core/support/Result.h"

namespace kivo {

struct PlayerDatabaseBuildSummary {
    int filesRead = 0;     // team files that were opened and had a header
    int stoppedAtFile = 0; // the file number whose header could not be read (the scan ended there), or 0
    std::int64_t teams = 0;
    std::int64_t rows = 0;
};

// Builds the all-players database at `databasePath` anew from the league team files 1 to 85 of
// `dataDirectory` ("TEAM.0" and two digits): 16 rows per team, mark 0, files that cannot be opened
// skipped, the scan ended at a file whose header cannot be read. Every row and mark of the old database is
// replaced in one transaction, so that other readers see either the old contents or the new ones. A
// failure of the database leaves the old contents and is returned. Progress: "Reading File:" with the file
// number and "Team:" with the team ordinal, then "Building File Keys"; there is no cancel.
Result<PlayerDatabaseBuildSummary>
CrearArchivoJugadores(const std::string& databasePath, const std::string& dataDirectory, Progress& progress);

} // namespace kivo
