#include "core/players/PlayerFilter.h"

#include <algorithm>

#include <SQLiteCpp/Statement.h>

#include "core/players/KeyedFile.h"
#include "core/players/PlayerDatabase.h"
#include "core/support/FixedText.h"
#include "core/support/NameKey.h"

namespace kivo {
namespace {

// The field's bytes up to its first zero byte, trailing blanks (the padding) left out, folded.
template <std::size_t N> std::string FoldedField(const std::array<std::uint8_t, N>& field) {
    std::size_t n = 0;
    while (n < N && field[n] != 0)
        ++n;
    while (n > 0 && field[n - 1] == ' ')
        --n;
    return FoldForFind(std::string_view(reinterpret_cast<const char*>(field.data()), n));
}

// A stored text into a row's field, as the database's reads put it there.
template <std::size_t N> void LoadField(const std::string& stored, std::array<std::uint8_t, N>& field) {
    const std::string bytes = Utf8ToLatin1(stored).value_or(stored);
    field.fill(0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), field.begin());
}

constexpr std::size_t kSlice = 512;

} // namespace

PlayerQuickFilter::PlayerQuickFilter(std::string_view latin1) : folded_(FoldForFind(latin1)) {}

bool PlayerQuickFilter::Matches(const PlayerRow& row) const {
    if (folded_.empty()) return true;
    return FoldedField(row.nombreJugador).find(folded_) != std::string::npos ||
           FoldedField(row.nombreEquipo).find(folded_) != std::string::npos;
}

Result<FilteredPlayers> ListFilteredPlayers(PlayerDatabase& database, PlayerListRequest request,
                                            const PlayerQuickFilter& filter, std::int64_t scanLimit) {
    const std::size_t wanted = request.limit;
    request.before.reset();
    FilteredPlayers page;
    for (;;) {
        std::size_t slice = kSlice;
        if (scanLimit > 0) slice = std::min<std::int64_t>(slice, scanLimit - page.scanned);
        request.limit = slice;
        auto rows = ListPlayers(database, request);
        if (!rows) return rows.error();
        for (PlayerListEntry& e : *rows) {
            ++page.scanned;
            page.lastScanned = e;
            if (filter.Matches(e.row)) {
                page.rows.push_back(std::move(e));
                if (wanted != 0 && page.rows.size() == wanted) return page;
            }
        }
        if (rows->size() < slice) {
            page.atEnd = true;
            return page;
        }
        if (scanLimit > 0 && page.scanned >= scanLimit) return page;
        request.after = page.lastScanned;
        request.fromName.reset();
        request.fromValue.reset();
    }
}

Result<FilteredCount> CountFilteredPlayers(PlayerDatabase& database, PlayerOrder order,
                                           std::optional<std::uint8_t> mark,
                                           const PlayerQuickFilter& filter) {
    const OrderSql& o = SqlOf(order);
    std::string where = o.inOrder ? o.inOrder : "1";
    if (mark) where += " AND marca = :mark";
    FilteredCount count;
    try {
        // Only the two texts the filter looks at are read: one pass over the table, no rows kept.
        SQLite::Statement q(database.connection(),
                            "SELECT nombre_jugador, nombre_equipo FROM jugadores WHERE " + where);
        if (mark) q.bind(":mark", *mark);
        PlayerRow row;
        while (q.executeStep()) {
            ++count.total;
            LoadField(q.getColumn(0).getString(), row.nombreJugador);
            LoadField(q.getColumn(1).getString(), row.nombreEquipo);
            if (filter.Matches(row)) ++count.matching;
        }
    } catch (const std::exception& e) {
        return Error{"Cannot count the players in " + database.path() + ": " + SqliteReason(e)};
    }
    return count;
}

} // namespace kivo
