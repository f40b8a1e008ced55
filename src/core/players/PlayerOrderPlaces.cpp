#include "core/players/PlayerOrderPlaces.h"

#include <array>
#include <cctype>

#include <SQLiteCpp/Statement.h>

#include "core/gamefiles/AttributeTables.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "core/support/FixedText.h"
#include "core/support/NameKey.h"

namespace kivo {
namespace {

// The places counted here must be the places ListPlayers yields the rows at, so the orders' columns,
// directions and index conditions are those of ListPlayers.
using OrderColumn = OrderSql;

const OrderColumn& ColumnOf(PlayerOrder order) {
    return SqlOf(order);
}

std::string Where(const OrderColumn& o, std::optional<std::uint8_t> mark) {
    std::string where = std::string(" FROM jugadores WHERE ") + (o.inOrder ? o.inOrder : "1");
    if (mark) where += " AND marca = :mark";
    return where;
}

void BindMark(SQLite::Statement& q, std::optional<std::uint8_t> mark) {
    if (mark) q.bind(":mark", *mark);
}

void BindKey(SQLite::Statement& q, PlayerOrder order, const PlayerRow& r) {
    if (order == PlayerOrder::Name)
        q.bind(":key", NameKey(FieldValue(r.nombreJugador)));
    else
        q.bind(":key", SortKeyOf(order, r));
}

std::int64_t Count(SQLite::Statement& q) {
    q.executeStep();
    return q.getColumn(0).getInt64();
}

Error Failed(const std::string& what, PlayerDatabase& database, const std::exception& e) {
    return Error{what + " in " + database.path() + ": " + SqliteReason(e)};
}

} // namespace

int SortKeyOf(PlayerOrder order, const PlayerRow& r) {
    switch (order) {
    case PlayerOrder::Position:
        return r.puesto;
    case PlayerOrder::Price:
        return r.valorPase;
    case PlayerOrder::Mark:
        return r.marca;
    case PlayerOrder::Nationality:
        return r.nacionalidad;
    case PlayerOrder::Country:
        return r.pais;
    case PlayerOrder::Name:
        return 0;
    default:
        return r.skills[static_cast<std::size_t>(order) - static_cast<std::size_t>(PlayerOrder::Passing)];
    }
}

Result<std::int64_t> PlaceInOrder(PlayerDatabase& database, PlayerOrder order,
                                  std::optional<std::uint8_t> mark, const PlayerListEntry& entry) {
    const OrderColumn& o = ColumnOf(order);
    const std::string col = o.column;
    try {
        // Two index ranges: the rows of earlier keys, then the rows of the same key placed before it.
        SQLite::Statement earlier(database.connection(), "SELECT count(*)" + Where(o, mark) + " AND " + col +
                                                             (o.descending ? " > " : " < ") + ":key");
        BindMark(earlier, mark);
        BindKey(earlier, order, entry.row);
        SQLite::Statement same(database.connection(),
                               "SELECT count(*)" + Where(o, mark) + " AND " + col + " = :key AND id < :id");
        BindMark(same, mark);
        BindKey(same, order, entry.row);
        same.bind(":id", static_cast<std::int64_t>(entry.id));
        return Count(earlier) + Count(same);
    } catch (const std::exception& e) {
        return Failed("Cannot find the place of a player", database, e);
    }
}

Result<std::optional<PlayerListEntry>> PlayerAtPlace(PlayerDatabase& database, PlayerOrder order,
                                                     std::optional<std::uint8_t> mark, std::int64_t place,
                                                     std::optional<std::int64_t> count) {
    if (place < 0) return std::optional<PlayerListEntry>{};
    const OrderColumn& o = ColumnOf(order);
    const std::string col = o.column;
    // Only the order's index is stepped through (the id is part of it), from whichever end is nearer.
    const bool fromEnd = count && place >= *count / 2;
    if (count && place >= *count) return std::optional<PlayerListEntry>{};
    const bool desc = o.descending != fromEnd;
    try {
        SQLite::Statement q(database.connection(), "SELECT id" + Where(o, mark) + " ORDER BY " + col +
                                                       (desc ? " DESC" : "") + ", id" +
                                                       (fromEnd ? " DESC" : "") + " LIMIT 1 OFFSET :skip");
        BindMark(q, mark);
        q.bind(":skip", static_cast<std::int64_t>(fromEnd ? *count - 1 - place : place));
        if (!q.executeStep()) return std::optional<PlayerListEntry>{};
        const std::int64_t id = q.getColumn(0).getInt64();
        auto stored = database.Get(id);
        if (!stored) return stored.error();
        if (!*stored) return std::optional<PlayerListEntry>{};
        PlayerListEntry entry{id, (*stored)->row, RowTexts((*stored)->row)};
        return std::optional<PlayerListEntry>{std::move(entry)};
    } catch (const std::exception& e) {
        return Failed("Cannot read the player at place " + std::to_string(place), database, e);
    }
}

Result<std::int64_t> PlaceOfName(PlayerDatabase& database, std::optional<std::uint8_t> mark,
                                 const std::string& latin1) {
    const OrderColumn& o = ColumnOf(PlayerOrder::Name);
    try {
        SQLite::Statement q(database.connection(),
                            "SELECT count(*)" + Where(o, mark) + " AND " + o.column + " < :key");
        BindMark(q, mark);
        q.bind(":key", NameKey(latin1));
        return Count(q);
    } catch (const std::exception& e) {
        return Failed("Cannot find a name", database, e);
    }
}

Result<std::vector<KeyGroup>> KeyGroups(PlayerDatabase& database, PlayerOrder order,
                                        std::optional<std::uint8_t> mark) {
    if (order == PlayerOrder::Name) return std::vector<KeyGroup>{};
    const OrderColumn& o = ColumnOf(order);
    const std::string col = o.column;
    try {
        SQLite::Statement q(database.connection(), "SELECT " + col + ", count(*)" + Where(o, mark) +
                                                       " GROUP BY " + col + " ORDER BY " + col +
                                                       (o.descending ? " DESC" : ""));
        BindMark(q, mark);
        std::vector<KeyGroup> groups;
        while (q.executeStep())
            groups.push_back({q.getColumn(0).getInt(), q.getColumn(1).getInt64()});
        return groups;
    } catch (const std::exception& e) {
        return Failed("Cannot group the players", database, e);
    }
}

std::string SortFieldText(PlayerOrder order, int key) {
    const auto code = static_cast<std::uint8_t>(key);
    switch (order) {
    case PlayerOrder::Position:
        return PositionText(code).value_or(std::to_string(key));
    case PlayerOrder::Price:
        return PriceText(code).value_or(std::to_string(key));
    case PlayerOrder::Nationality:
        return NationalityText(code).value_or(std::to_string(key));
    case PlayerOrder::Country:
        return CountryName(code);
    default:
        return std::to_string(key);
    }
}

Result<std::optional<std::int64_t>> NextPlaceStartingWith(PlayerDatabase& database, PlayerOrder order,
                                                          std::optional<std::uint8_t> mark,
                                                          std::int64_t current, char letter) {
    auto groups = KeyGroups(database, order, mark);
    if (!groups) return groups.error();
    const auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
    std::optional<std::int64_t> first; // the first matching row from the top, for going round
    std::int64_t start = 0;
    for (const KeyGroup& g : *groups) {
        const std::string text = SortFieldText(order, g.key);
        const bool match = !text.empty() && upper(text.front()) == upper(letter);
        const std::int64_t end = start + g.rows;
        if (match) {
            if (!first) first = start;
            if (current + 1 < end) return std::optional<std::int64_t>{std::max(start, current + 1)};
        }
        start = end;
    }
    return first;
}

} // namespace kivo
