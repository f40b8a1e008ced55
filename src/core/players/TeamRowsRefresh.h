#pragma once

#include <cstdint>
#include <string>

#include "core/gamefiles/TeamRecord.h"
#include "core/players/PlayerDatabase.h"
#include "core/support/Result.h"

namespace kivo {

// What a refresh did: rows rewritten in place and rows that were missing and were added.
struct TeamRowsRefreshSummary {
    int rewritten = 0;
    int added = 0;
};

// After a team was saved: the rows of team `teamIndex` of the file whose rows carry country code `pais`
// take the saved record's fields, slot by slot, keeping their marks. A slot without a row gets one
// (mark 0). All of it is one transaction: on failure nothing changed.
Result<TeamRowsRefreshSummary> RefreshTeamRows(PlayerDatabase& database, int pais, std::int64_t teamIndex,
                                               const TeamRecord& team);

// After a whole league file was replaced (a restore): every team of `path` refreshed as above under
// country code `fileNumber`, and the rows of teams the file no longer has removed. Marks are kept.
Result<TeamRowsRefreshSummary> RefreshFileRows(PlayerDatabase& database, const std::string& path,
                                               int fileNumber);

// Whether the database keeps each player's team and slot (it was built since they were kept): false when
// some row lacks them. An empty database keeps them.
Result<bool> DatabaseKeepsPlayerPlaces(PlayerDatabase& database);

} // namespace kivo
