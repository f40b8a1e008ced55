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

// Latin-1 text in lower case: A-Z and the accented capitals (0xC0..0xDE but 0xD7, the sign of
// multiplication) become their small letters; every other byte stays.
std::string FoldLatin1Case(std::string_view latin1);

// The browser's quick filter: players whose name or team name contains the text, letter case (Latin-1
// accented letters' included) ignored. An empty text lets every player through.
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

} // namespace kivo
