#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/players/PlayerFilter.h"
#include "core/players/PlayerOrders.h"

namespace kivo {
class PlayerDatabase;
}

namespace kivo::editor {

// The reads the player list's worker makes, each on the worker's own connection. An answer with an error
// text failed; `positioning` tells whether the order could not be positioned at all (the view-open
// warning) rather than a row not read (the record-retrieval warning).
struct ListAnswer {
    std::string error;
    bool positioning = false;
};

// The start of a reload: the order's length, the place of the player kept in view (or -1), and the chunk
// holding it. Narrowed by the quick filter: the first filtered page and where its scan stopped.
struct ReloadAnswer : ListAnswer {
    std::int64_t count = 0;
    std::int64_t place = -1;
    int chunk = 0;
    std::vector<PlayerListEntry> rows;
    std::optional<PlayerListEntry> cursor;
    bool atEnd = true;
};

struct RowsAnswer : ListAnswer {
    std::vector<PlayerListEntry> rows;
    std::optional<PlayerListEntry> cursor;
    bool atEnd = true;
};

// How many rows of the order the quick filter lets through, of how many.
struct CountAnswer : ListAnswer {
    std::int64_t matching = 0;
    std::int64_t total = 0;
};

struct PlaceAnswer : ListAnswer {
    std::optional<std::int64_t> place;
};

// What a list request names: the order, and only one mark's rows when a mark is given.
struct ListView {
    PlayerOrder order = PlayerOrder::Name;
    std::optional<std::uint8_t> mark;
};

inline constexpr int kListChunkRows = 128;
// A filtered page reads at most this many rows, so that a rare text never keeps the worker long.
inline constexpr std::int64_t kFilterScanSlice = 20000;

ReloadAnswer ReadOrderStart(PlayerDatabase& db, const ListView& view, const PlayerQuickFilter& filter,
                            const std::optional<PlayerListEntry>& keep);
// Chunk `chunk` of an order of `count` rows: after the last row of the chunk before it, before the first row
// of the chunk after it, or, far from both, from the place of its first row.
RowsAnswer ReadChunk(PlayerDatabase& db, const ListView& view, int chunk, std::int64_t count,
                     const std::optional<PlayerListEntry>& after,
                     const std::optional<PlayerListEntry>& before);
RowsAnswer ReadFilteredPage(PlayerDatabase& db, const ListView& view, const PlayerQuickFilter& filter,
                            const std::optional<PlayerListEntry>& after);
CountAnswer CountFiltered(PlayerDatabase& db, const ListView& view, const PlayerQuickFilter& filter);
PlaceAnswer FindNamePlace(PlayerDatabase& db, const ListView& view, const std::string& latin1);
PlaceAnswer FindLetterPlace(PlayerDatabase& db, const ListView& view, std::int64_t current, char letter);

} // namespace kivo::editor
