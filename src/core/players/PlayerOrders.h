#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/players/PlayerDatabase.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

// The orders of the all-players database: the browser's twelve tabs and the country order.
enum class PlayerOrder {
    Name,        // key_nombre: names ascending, letter case ignored, blank names left out
    Position,    // key_puesto
    Passing,     // key_pase, best first
    Shooting,    // key_tiro
    Heading,     // key_cabeceo
    Tackling,    // key_quite
    BallControl, // key_gambeta
    Speed,       // key_velocidad
    Finishing,   // key_definicion
    Price,       // key_precio, cheapest first
    Mark,        // key_marca, marked players only, lowest mark first
    Nationality, // key_nacionalidad
    Country,     // key_pais
};

// "name", "position", ..., "country" as the command line spells them.
std::optional<PlayerOrder> PlayerOrderNamed(const std::string& name);

// How an order reads the table: its column, its direction and its partial-index condition (to be repeated
// word for word by every query that wants the order's index), or nullptr when it has none.
struct OrderSql {
    const char* name;
    const char* column;
    bool descending;
    const char* inOrder;
};
const OrderSql& SqlOf(PlayerOrder order);

// A listed row: its place in the database, its fields and the browser's texts.
struct PlayerListEntry {
    std::int64_t id = 0;
    PlayerRow row;
    PlayerRowTexts texts;
};

// What page to read. Rows with equal keys follow their place in the database.
struct PlayerListRequest {
    PlayerOrder order = PlayerOrder::Name;
    // Only rows with this mark (the "filtered by Mark" tab with the Mark order; any order accepts it).
    std::optional<std::uint8_t> mark;
    // The page after this row, or before it, of the same order; when neither, from the order's start
    // (or from `from`).
    std::optional<PlayerListEntry> after;
    std::optional<PlayerListEntry> before;
    // Position at the first row at or after this value in the order's direction: a name (Latin-1) for the
    // name order, a number for the others.
    std::optional<std::string> fromName;
    std::optional<int> fromValue;
    std::size_t limit = 100; // 0 for all rows
};

// One page in the order's sequence (also for `before`).
Result<std::vector<PlayerListEntry>> ListPlayers(PlayerDatabase& database, const PlayerListRequest& request);

// Every row of the order (with the mark filter when given; at most `limit` rows, 0 for all) handed to
// `visit` as it is read, in one read of the database: memory stays the same whatever the number of rows.
// `visit` returns false to stop. A damaged order that yields more rows than the table holds ends with an
// error instead of running on.
Status ForEachPlayer(PlayerDatabase& database, PlayerOrder order, std::optional<std::uint8_t> mark,
                     std::int64_t limit,
                     const std::function<bool(std::int64_t id, const PlayerRow& row)>& visit);

// Number of rows in the order (with the mark filter when given), for a proportional scroll bar.
Result<std::int64_t> CountPlayers(PlayerDatabase& database, PlayerOrder order,
                                  std::optional<std::uint8_t> mark);

} // namespace kivo
