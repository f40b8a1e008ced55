#pragma once

#include <string>
#include <vector>

#include "core/rosters/Reprice.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

// The players of JUGADORES that carry `mark`, located in the league files of `dataDirectory` through the
// team index and slot their rows keep.
struct MarkedSlots {
    std::vector<std::string> files; // the files holding them, in number order
    SlotSelection selection;
    std::size_t players = 0;
};

// Fails when a marked row does not keep its team and slot (a database built before they were kept), when
// its file or team is missing, or when the slot no longer holds the row's player (the files changed since
// the database was built): every such row is named, so that nothing is priced on a stale database.
Result<MarkedSlots> FindMarkedSlots(PlayerDatabase& database, const std::string& dataDirectory, int mark);

} // namespace kivo
