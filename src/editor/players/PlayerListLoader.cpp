#include "editor/players/PlayerListLoader.h"

#include <algorithm>
#include <iterator>

#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrderPlaces.h"

namespace kivo::editor {

namespace {

template <class A> A Failed(const Error& error, bool positioning) {
    A answer;
    answer.error = error.text;
    answer.positioning = positioning;
    return answer;
}

PlayerListRequest RequestOf(const ListView& view, std::size_t limit) {
    PlayerListRequest request;
    request.order = view.order;
    request.mark = view.mark;
    request.limit = limit;
    return request;
}

// The rows of chunk `chunk` found by the place of its first row.
Result<std::vector<PlayerListEntry>> ChunkAtPlace(PlayerDatabase& db, const ListView& view, int chunk,
                                                  std::int64_t count) {
    const std::int64_t first = static_cast<std::int64_t>(chunk) * kListChunkRows;
    auto head = PlayerAtPlace(db, view.order, view.mark, first, count);
    if (!head) return head.error();
    std::vector<PlayerListEntry> rows;
    if (!*head) return rows;
    PlayerListRequest request = RequestOf(view, kListChunkRows - 1);
    request.after = **head;
    auto tail = ListPlayers(db, request);
    if (!tail) return tail.error();
    rows.push_back(std::move(**head));
    std::move(tail->begin(), tail->end(), std::back_inserter(rows));
    return rows;
}

} // namespace

ReloadAnswer ReadOrderStart(PlayerDatabase& db, const ListView& view, const PlayerQuickFilter& filter,
                            const std::optional<PlayerListEntry>& keep) {
    ReloadAnswer a;
    if (!filter.empty()) {
        auto page = ListFilteredPlayers(db, RequestOf(view, kListChunkRows), filter, kFilterScanSlice);
        if (!page) return Failed<ReloadAnswer>(page.error(), true);
        a.rows = std::move(page->rows);
        a.cursor = std::move(page->lastScanned);
        a.atEnd = page->atEnd;
        a.count = static_cast<std::int64_t>(a.rows.size());
        return a;
    }
    auto count = CountPlayers(db, view.order, view.mark);
    if (!count) return Failed<ReloadAnswer>(count.error(), true);
    a.count = *count;
    if (a.count == 0) return a;
    std::int64_t place = 0;
    if (keep) {
        auto found = PlaceInOrder(db, view.order, view.mark, *keep);
        if (!found) return Failed<ReloadAnswer>(found.error(), true);
        place = std::min(*found, a.count - 1);
        a.place = place;
    }
    a.chunk = static_cast<int>(place / kListChunkRows);
    auto rows = ChunkAtPlace(db, view, a.chunk, a.count);
    if (!rows) return Failed<ReloadAnswer>(rows.error(), true);
    a.rows = std::move(*rows);
    return a;
}

RowsAnswer ReadChunk(PlayerDatabase& db, const ListView& view, int chunk, std::int64_t count,
                     const std::optional<PlayerListEntry>& after,
                     const std::optional<PlayerListEntry>& before) {
    RowsAnswer a;
    Result<std::vector<PlayerListEntry>> rows = std::vector<PlayerListEntry>{};
    if (after || before) {
        const std::int64_t left = count - static_cast<std::int64_t>(chunk) * kListChunkRows;
        PlayerListRequest request =
            RequestOf(view, static_cast<std::size_t>(std::clamp<std::int64_t>(left, 0, kListChunkRows)));
        request.after = after;
        request.before = after ? std::nullopt : before;
        rows = ListPlayers(db, request);
    } else {
        rows = ChunkAtPlace(db, view, chunk, count);
    }
    if (!rows) return Failed<RowsAnswer>(rows.error(), false);
    a.rows = std::move(*rows);
    return a;
}

RowsAnswer ReadFilteredPage(PlayerDatabase& db, const ListView& view, const PlayerQuickFilter& filter,
                            const std::optional<PlayerListEntry>& after) {
    PlayerListRequest request = RequestOf(view, kListChunkRows);
    request.after = after;
    auto page = ListFilteredPlayers(db, request, filter, kFilterScanSlice);
    if (!page) return Failed<RowsAnswer>(page.error(), false);
    RowsAnswer a;
    a.rows = std::move(page->rows);
    a.cursor = std::move(page->lastScanned);
    a.atEnd = page->atEnd;
    return a;
}

CountAnswer CountFiltered(PlayerDatabase& db, const ListView& view, const PlayerQuickFilter& filter) {
    auto count = CountFilteredPlayers(db, view.order, view.mark, filter);
    if (!count) return Failed<CountAnswer>(count.error(), false);
    CountAnswer a;
    a.matching = count->matching;
    a.total = count->total;
    return a;
}

PlaceAnswer FindNamePlace(PlayerDatabase& db, const ListView& view, const std::string& latin1) {
    auto place = PlaceOfName(db, view.mark, latin1);
    if (!place) return Failed<PlaceAnswer>(place.error(), true);
    PlaceAnswer a;
    a.place = *place;
    return a;
}

PlaceAnswer FindLetterPlace(PlayerDatabase& db, const ListView& view, std::int64_t current, char letter) {
    auto place = NextPlaceStartingWith(db, view.order, view.mark, current, letter);
    if (!place) return Failed<PlaceAnswer>(place.error(), true);
    PlaceAnswer a;
    a.place = *place;
    return a;
}

} // namespace kivo::editor
