#include "core/players/PlayerOrders.h"

#include <algorithm>
#include <array>

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/support/FixedText.h"
#include "core/support/NameKey.h"

namespace kivo {
namespace {

constexpr std::array<OrderSql, 13> kOrders{{
    {"name", "nombre_clave", false, "nombre_clave <> ''"},
    {"position", "puesto", false, nullptr},
    {"passing", "pase", true, nullptr},
    {"shooting", "tiro", true, nullptr},
    {"heading", "cabeceo", true, nullptr},
    {"tackling", "quite", true, nullptr},
    {"ball-control", "gambeta", true, nullptr},
    {"speed", "velocidad", true, nullptr},
    {"finishing", "definicion", true, nullptr},
    {"price", "valor_pase", false, nullptr},
    {"mark", "marca", false, "marca <> 0"},
    {"nationality", "nacionalidad", false, nullptr},
    {"country", "pais", false, nullptr},
}};

std::string BaseWhere(const OrderSql& o, bool markFilter) {
    std::string where = o.inOrder ? o.inOrder : "1";
    if (markFilter) where += " AND marca = :mark";
    return where;
}

// Binds the key of `entry` in `order` as :key.
void BindKey(SQLite::Statement& q, PlayerOrder order, const PlayerListEntry& entry) {
    const PlayerRow& r = entry.row;
    switch (order) {
    case PlayerOrder::Name:
        q.bind(":key", NameKey(FieldValue(r.nombreJugador)));
        return;
    case PlayerOrder::Position:
        q.bind(":key", r.puesto);
        return;
    case PlayerOrder::Passing:
    case PlayerOrder::Shooting:
    case PlayerOrder::Heading:
    case PlayerOrder::Tackling:
    case PlayerOrder::BallControl:
    case PlayerOrder::Speed:
    case PlayerOrder::Finishing:
        q.bind(":key",
               r.skills[static_cast<std::size_t>(order) - static_cast<std::size_t>(PlayerOrder::Passing)]);
        return;
    case PlayerOrder::Price:
        q.bind(":key", r.valorPase);
        return;
    case PlayerOrder::Mark:
        q.bind(":key", r.marca);
        return;
    case PlayerOrder::Nationality:
        q.bind(":key", r.nacionalidad);
        return;
    case PlayerOrder::Country:
        q.bind(":key", r.pais);
        return;
    }
}

std::vector<PlayerListEntry> Run(SQLite::Statement& q, const PlayerListRequest& request, std::int64_t limit) {
    if (request.mark) q.bind(":mark", *request.mark);
    q.bind(":limit", limit);
    std::vector<PlayerListEntry> rows;
    while (q.executeStep()) {
        PlayerListEntry e;
        e.id = q.getColumn(0).getInt64();
        e.row = ReadPlayerColumns(q, 1);
        e.texts = RowTexts(e.row);
        rows.push_back(std::move(e));
    }
    return rows;
}

} // namespace

const OrderSql& SqlOf(PlayerOrder order) {
    return kOrders[static_cast<std::size_t>(order)];
}

std::optional<PlayerOrder> PlayerOrderNamed(const std::string& name) {
    for (std::size_t i = 0; i < kOrders.size(); ++i)
        if (name == kOrders[i].name) return static_cast<PlayerOrder>(i);
    return std::nullopt;
}

Result<std::vector<PlayerListEntry>> ListPlayers(PlayerDatabase& database, const PlayerListRequest& request) {
    const OrderSql& o = SqlOf(request.order);
    const std::string column = o.column;
    const std::string select = std::string("SELECT id, ") + kPlayerColumns + " FROM jugadores WHERE " +
                               BaseWhere(o, request.mark.has_value());
    const bool backward = request.before.has_value();
    // Going back reads the order in reverse and turns the page round at the end.
    const bool descending = o.descending != backward;
    const std::string dir = descending ? " DESC" : "";
    const std::string idDir = backward ? " DESC" : "";
    const std::string orderBy = " ORDER BY " + column + dir + ", id" + idDir + " LIMIT :limit";
    const std::int64_t limit = request.limit == 0 ? -1 : static_cast<std::int64_t>(request.limit);
    auto& db = database.connection();
    try {
        std::vector<PlayerListEntry> rows;
        const auto& cursor = backward ? request.before : request.after;
        if (cursor) {
            // Rows of the same key after (before) the cursor's place, then the rows of the following keys:
            // two index range scans, however deep the page is.
            SQLite::Statement same(db, select + " AND " + column + " = :key AND id " +
                                           (backward ? "<" : ">") + " :id ORDER BY id" + idDir +
                                           " LIMIT :limit");
            BindKey(same, request.order, *cursor);
            same.bind(":id", cursor->id);
            rows = Run(same, request, limit);
            if (limit < 0 || static_cast<std::int64_t>(rows.size()) < limit) {
                SQLite::Statement next(db, select + " AND " + column + (descending ? " < " : " > ") + ":key" +
                                               orderBy);
                BindKey(next, request.order, *cursor);
                auto more =
                    Run(next, request, limit < 0 ? -1 : limit - static_cast<std::int64_t>(rows.size()));
                std::move(more.begin(), more.end(), std::back_inserter(rows));
            }
        } else if (request.fromName || request.fromValue) {
            SQLite::Statement from(db, select + " AND " + column + (descending ? " <= " : " >= ") + ":key" +
                                           orderBy);
            if (request.fromName)
                from.bind(":key", NameKey(*request.fromName));
            else
                from.bind(":key", *request.fromValue);
            rows = Run(from, request, limit);
        } else {
            SQLite::Statement all(db, select + orderBy);
            rows = Run(all, request, limit);
        }
        if (backward) std::reverse(rows.begin(), rows.end());
        return rows;
    } catch (const std::exception& e) {
        return Error{"Cannot list the players by " + std::string(o.name) + " in " + database.path() + ": " +
                     SqliteReason(e)};
    }
}

Status ForEachPlayer(PlayerDatabase& database, PlayerOrder order, std::optional<std::uint8_t> mark,
                     std::int64_t limit, const std::function<bool(std::int64_t, const PlayerRow&)>& visit) {
    const OrderSql& o = SqlOf(order);
    auto& db = database.connection();
    try {
        // One read transaction: the count and the rows agree with each other.
        SQLite::Transaction read(db, SQLite::TransactionBehavior::DEFERRED);
        const std::int64_t total = db.execAndGet("SELECT count(*) FROM jugadores").getInt64();
        SQLite::Statement q(db, std::string("SELECT id, ") + kPlayerColumns + " FROM jugadores WHERE " +
                                    BaseWhere(o, mark.has_value()) + " ORDER BY " + o.column +
                                    (o.descending ? " DESC" : "") + ", id LIMIT :limit");
        if (mark) q.bind(":mark", *mark);
        q.bind(":limit", limit > 0 ? limit : std::int64_t{-1});
        std::int64_t seen = 0;
        while (q.executeStep()) {
            if (++seen > total)
                return Error{"Cannot list the players by " + std::string(o.name) + " in " + database.path() +
                             ": the order yields more rows than the file holds (the file is damaged)"};
            if (!visit(q.getColumn(0).getInt64(), ReadPlayerColumns(q, 1))) break;
        }
        return {};
    } catch (const std::exception& e) {
        return Error{"Cannot list the players by " + std::string(o.name) + " in " + database.path() + ": " +
                     SqliteReason(e)};
    }
}

Result<std::int64_t> CountPlayers(PlayerDatabase& database, PlayerOrder order,
                                  std::optional<std::uint8_t> mark) {
    const OrderSql& o = SqlOf(order);
    try {
        SQLite::Statement q(database.connection(),
                            "SELECT count(*) FROM jugadores WHERE " + BaseWhere(o, mark.has_value()));
        if (mark) q.bind(":mark", *mark);
        q.executeStep();
        return static_cast<std::int64_t>(q.getColumn(0).getInt64());
    } catch (const std::exception& e) {
        return Error{"Cannot count the players in " + database.path() + ": " + SqliteReason(e)};
    }
}

} // namespace kivo
