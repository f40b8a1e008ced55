#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/players/PlayerOrders.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

// The browser's quick filter: players whose name or team name contains the text, letter case and accents
// ignored over Latin-1 ("novak" finds "Novák"). An empty text lets every player through.
class PlayerQuickFilter {
public:
    explicit PlayerQuickFilter(std::string_view latin1 = {});
    bool empty() const { return folded_.empty(); }
    const std::string& folded() const { return folded_; }
    bool Matches(const PlayerRow& row) const;

private:
    std::string folded_;
};

// A page of an order narrowed by the quick filter. The order is read a slice at a time from the
// request's `after` (or its start) until `request.limit` rows match, the order ends, or `scanLimit` rows
// have been read; `lastScanned` is where the next page goes on from.
struct FilteredPlayers {
    std::vector<PlayerListEntry> rows;
    std::optional<PlayerListEntry> lastScanned;
    std::int64_t scanned = 0;
    bool atEnd = false;
};
Result<FilteredPlayers> ListFilteredPlayers(PlayerDatabase& database, PlayerListRequest request,
                                            const PlayerQuickFilter& filter, std::int64_t scanLimit = 0);

// How many players of an order (one mark's rows when a mark is given) the filter lets through, of how many.
struct FilteredCount {
    std::int64_t matching = 0;
    std::int64_t total = 0;
};
Result<FilteredCount> CountFilteredPlayers(PlayerDatabase& database, PlayerOrder order,
                                           std::optional<std::uint8_t> mark, const PlayerQuickFilter& filter);

} // namespace kivo
