#include "core/players/MarkingPasses.h"

#include <optional>
#include <stdexcept>
#include <vector>

#include <sqlite3.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/players/PassProgress.h"
#include "core/players/PlayerDatabase.h"

namespace kivo {
namespace {

constexpr int kSlice = kPassSlice;
// With no price chosen the price pass scans codes 0 to 50, which covers the whole price table.
constexpr std::uint8_t kPricePassLimit = 50;

std::string FoundText(std::int64_t found) {
    return "Searching Players (" + std::to_string(found) + " Found)";
}

// The search predicate over a row; "no criterion" binds NULL.
constexpr const char* kPredicate =
    "(:pais = 0 OR pais = :pais) AND (:division IS NULL OR division = :division) AND "
    "(:nacionalidad IS NULL OR nacionalidad = :nacionalidad) AND (:puesto IS NULL OR puesto = :puesto) AND "
    "pase >= :pase AND tiro >= :tiro AND cabeceo >= :cabeceo AND quite >= :quite AND gambeta >= :gambeta AND "
    "velocidad >= :velocidad AND definicion >= :definicion AND (:limite IS NULL OR valor_pase <= :limite)";

void BindOptional(SQLite::Statement& q, const char* name, const std::optional<std::uint8_t>& value) {
    if (value)
        q.bind(name, *value);
    else
        q.bind(name);
}

void BindCriteria(SQLite::Statement& q, const SearchCriteria& c, std::optional<std::uint8_t> priceLimit) {
    q.bind(":pais", c.pais);
    BindOptional(q, ":division", c.division);
    BindOptional(q, ":nacionalidad", c.nacionalidad);
    BindOptional(q, ":puesto", c.puesto);
    const char* skills[] = {":pase", ":tiro", ":cabeceo", ":quite", ":gambeta", ":velocidad", ":definicion"};
    for (std::size_t s = 0; s < kSkillCount; ++s)
        q.bind(skills[s], c.minimums[s]);
    BindOptional(q, ":limite", priceLimit);
}

// A damaged page or a failed read of the file, as opposed to a refused write.
bool IsReadFailure(const std::exception& e) {
    auto* s = dynamic_cast<const SQLite::Exception*>(&e);
    if (!s) return false;
    const int code = s->getErrorCode() & 0xFF;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB ||
           (code == SQLITE_IOERR && s->getExtendedErrorCode() == SQLITE_IOERR_READ);
}

// After a read error SQLite may have given up the whole transaction; the rows changed before the error are
// then changed once more in a transaction of their own and committed, as after a cancel.
Status KeepAfterReadError(SQLite::Database& db, std::optional<SQLite::Transaction>& transaction,
                          const std::vector<std::int64_t>& changed, std::uint8_t mark) {
    try {
        transaction->commit();
        transaction.reset();
        return {};
    } catch (const std::exception&) {
        transaction.reset(); // rolls back what is left
    }
    try {
        SQLite::Transaction again(db, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement set(db, "UPDATE jugadores SET marca = ? WHERE id = ?");
        for (std::int64_t id : changed) {
            set.bind(1, mark);
            set.bind(2, id);
            set.exec();
            set.reset();
        }
        again.commit();
        return {};
    } catch (const std::exception& e) {
        return Error{SqliteReason(e)};
    }
}

// Thrown when an order leads back to rows already read: only a damaged file does that, and following it
// would never end.
struct OrderGoesBack : std::runtime_error {
    explicit OrderGoesBack(const std::string& order)
        : std::runtime_error("the order " + order + " leads back to rows already read: the file is damaged") {
    }
};

// One search pass over a range of one order, 25 rows at a time. `sameKey` reads the rows of the current key
// after the last row's place; `nextKeys` (for a range of several keys) the rows of the following keys;
// `range` is the whole scanned range, counted for the percentage. A slice is read whole before its rows are
// marked, so the scan never runs over rows it is changing.
Result<MarkPassOutcome> RunSearch(PlayerDatabase& database, const SearchCriteria& criteria, std::uint8_t mark,
                                  Progress& progress, const std::string& sameKey, const std::string& nextKeys,
                                  const std::string& range, const char* keyColumn, std::uint8_t scanValue,
                                  std::optional<std::uint8_t> priceLimit) {
    auto& db = database.connection();
    MarkPassOutcome outcome;
    std::optional<SQLite::Transaction> transaction;
    try {
        transaction.emplace(db, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement count(db, "SELECT count(*) FROM jugadores WHERE " + range);
        count.bind(":scan", scanValue);
        count.executeStep();
        outcome.expected = count.getColumn(0).getInt64();
    } catch (const std::exception& e) {
        return Error{"The search could not start in " + database.path() + ": " + SqliteReason(e) +
                     "\nNo mark was changed."};
    }
    PassProgress shown(progress, "Processing Records", FoundText(0), outcome.expected);
    std::string writeFailure;
    std::vector<std::int64_t> changed; // the rows given the mark, to keep them after a read error
    try {
        const std::string select =
            std::string("SELECT id, ") + keyColumn + ", marca, " + kPredicate + " FROM jugadores WHERE ";
        SQLite::Statement same(db, select + sameKey + " ORDER BY id LIMIT :n");
        std::optional<SQLite::Statement> next;
        if (!nextKeys.empty())
            next.emplace(db, select + nextKeys + " ORDER BY " + keyColumn + ", id LIMIT :n");
        SQLite::Statement mark1(db, "UPDATE jugadores SET marca = ? WHERE id = ?");
        struct Row {
            std::int64_t id, key;
            bool hit, marked;
        };
        std::vector<Row> slice;
        std::int64_t lastKey = -1, lastId = -1;
        // The criteria stay bound from slice to slice; only the cursor moves.
        for (SQLite::Statement* q : {&same, next ? &*next : nullptr}) {
            if (!q) continue;
            BindCriteria(*q, criteria, priceLimit);
            q->bind(":scan", scanValue);
        }
        const int sameId = same.getIndex(":id");
        auto read = [&](SQLite::Statement& q, int wanted) {
            q.bind(":key", lastKey);
            if (&q == &same) q.bind(sameId, lastId);
            q.bind(":n", wanted);
            while (q.executeStep())
                slice.push_back({q.getColumn(0).getInt64(), q.getColumn(1).getInt64(),
                                 q.getColumn(3).getInt() != 0, q.getColumn(2).getInt() == mark});
            q.reset();
        };
        for (;;) {
            slice.clear();
            read(same, kSlice);
            if (next && static_cast<int>(slice.size()) < kSlice)
                read(*next, kSlice - static_cast<int>(slice.size()));
            if (slice.empty()) break;
            // Every row must come after the one before it in (key, place) order: the scan then ends.
            for (const Row& row : slice) {
                if (row.key < lastKey || (row.key == lastKey && row.id <= lastId))
                    throw OrderGoesBack(std::string("of ") + keyColumn);
                lastKey = row.key;
                lastId = row.id;
            }
            for (const Row& row : slice) {
                if (!row.hit) continue;
                ++outcome.found;
                if (row.marked) continue; // already carries it
                try {
                    mark1.bind(1, mark);
                    mark1.bind(2, row.id);
                    mark1.exec();
                    mark1.reset();
                    changed.push_back(row.id);
                } catch (const std::exception& e) {
                    // A row that cannot be read back for its rewrite is a read error like any other; a mark
                    // that cannot be written undoes the whole pass.
                    if (IsReadFailure(e)) throw;
                    writeFailure = SqliteReason(e);
                    break;
                }
            }
            if (!writeFailure.empty()) break;
            shown.Read(static_cast<std::int64_t>(slice.size()));
            shown.Status(FoundText(outcome.found));
            if (!shown.Continue()) {
                outcome.cancelled = true;
                outcome.end = PassEnd::Cancelled;
                break;
            }
        }
    } catch (const std::exception& e) {
        // As after Cancel: the rows marked so far stay marked.
        outcome.end = PassEnd::ReadError;
        outcome.failure = SqliteReason(e);
    }
    if (!writeFailure.empty())
        return Error{"The search could not mark the players in " + database.path() + ": " + writeFailure +
                     "\nNo mark was changed."};
    if (outcome.end == PassEnd::ReadError) {
        if (Status kept = KeepAfterReadError(db, transaction, changed, mark); !kept)
            return Error{"The search could not mark the players in " + database.path() + ": " +
                         kept.error().text + "\nNo mark was changed."};
    }
    try {
        if (transaction) transaction->commit();
    } catch (const std::exception& e) {
        return Error{"The search could not mark the players in " + database.path() + ": " + SqliteReason(e) +
                     "\nNo mark was changed."};
    }
    outcome.processed = shown.processed();
    if (outcome.end == PassEnd::Completed) shown.Finish();
    return outcome;
}

} // namespace

SearchPass ChooseSearchPass(const SearchCriteria& criteria) {
    if (criteria.nacionalidad) return SearchPass::ByNationality;
    if (criteria.puesto) return SearchPass::ByPosition;
    return SearchPass::ByPrice;
}

Result<MarkPassOutcome> MarcarJugadoresPorPrecio(PlayerDatabase& database, const SearchCriteria& criteria,
                                                 std::uint8_t mark, Progress& progress) {
    const std::uint8_t limit = criteria.valorPaseMax.value_or(kPricePassLimit);
    // The restriction "valor_pase >= 0 AND valor_pase <= limit", walked key by key.
    return RunSearch(
        database, criteria, mark, progress, "valor_pase = :key AND id > :id AND valor_pase <= :scan",
        "valor_pase > :key AND valor_pase <= :scan", "valor_pase <= :scan", "valor_pase", limit, limit);
}

Result<MarkPassOutcome> MarcarJugadoresPorPuesto(PlayerDatabase& database, const SearchCriteria& criteria,
                                                 std::uint8_t mark, Progress& progress) {
    if (!criteria.puesto) return Error{"The search by position needs a position"};
    return RunSearch(database, criteria, mark, progress, "puesto = :scan AND puesto >= :key AND id > :id", "",
                     "puesto = :scan", "puesto", *criteria.puesto, criteria.valorPaseMax);
}

Result<MarkPassOutcome> MarcarJugadoresPorNacionalidad(PlayerDatabase& database,
                                                       const SearchCriteria& criteria, std::uint8_t mark,
                                                       Progress& progress) {
    if (!criteria.nacionalidad) return Error{"The search by nationality needs a nationality"};
    return RunSearch(database, criteria, mark, progress,
                     "nacionalidad = :scan AND nacionalidad >= :key AND id > :id", "", "nacionalidad = :scan",
                     "nacionalidad", *criteria.nacionalidad, criteria.valorPaseMax);
}

Result<MarkPassOutcome> BuscarYMarcar(PlayerDatabase& database, const SearchCriteria& criteria,
                                      std::uint8_t mark, Progress& progress) {
    switch (ChooseSearchPass(criteria)) {
    case SearchPass::ByNationality:
        return MarcarJugadoresPorNacionalidad(database, criteria, mark, progress);
    case SearchPass::ByPosition:
        return MarcarJugadoresPorPuesto(database, criteria, mark, progress);
    case SearchPass::ByPrice:
        break;
    }
    return MarcarJugadoresPorPrecio(database, criteria, mark, progress);
}

Result<MarkPassOutcome> BorrarMarcas(PlayerDatabase& database, std::uint8_t mark, Progress& progress) {
    auto& db = database.connection();
    MarkPassOutcome outcome;
    std::optional<SQLite::Transaction> transaction;
    // The pass scans the marked rows (of mark M): its percentage is of them.
    const std::string range = mark == 0 ? "marca <> 0" : "marca <> 0 AND marca = :mark";
    try {
        transaction.emplace(db, SQLite::TransactionBehavior::IMMEDIATE);
        SQLite::Statement count(db, "SELECT count(*) FROM jugadores WHERE " + range);
        if (mark != 0) count.bind(":mark", mark);
        count.executeStep();
        outcome.expected = count.getColumn(0).getInt64();
    } catch (const std::exception& e) {
        return Error{"The marks could not be cleared in " + database.path() + ": " + SqliteReason(e) +
                     "\nNo mark was changed."};
    }
    PassProgress shown(progress, "Processing Records", "Clearing Marks", outcome.expected);
    std::string writeFailure;
    std::vector<std::int64_t> changed;
    try {
        // Each slice takes the next 25 marked rows after the last one cleared, by place: the place only
        // grows, so the pass ends even when a damaged order would lead back to rows already cleared.
        SQLite::Statement slice(db, "SELECT id FROM jugadores WHERE " + range +
                                        " AND id > :last ORDER BY id LIMIT 25");
        SQLite::Statement clear(db, "UPDATE jugadores SET marca = 0 WHERE id = ?");
        std::int64_t last = -1;
        std::vector<std::int64_t> ids;
        for (;;) {
            ids.clear();
            if (mark != 0) slice.bind(":mark", mark);
            slice.bind(":last", last);
            while (slice.executeStep())
                ids.push_back(slice.getColumn(0).getInt64());
            slice.reset();
            if (ids.empty()) break;
            for (std::int64_t id : ids) {
                if (id <= last) throw OrderGoesBack("of places");
                last = id;
                try {
                    clear.bind(1, id);
                    clear.exec();
                    clear.reset();
                    changed.push_back(id);
                } catch (const std::exception& e) {
                    if (IsReadFailure(e)) throw;
                    writeFailure = SqliteReason(e);
                    break;
                }
            }
            if (!writeFailure.empty()) break;
            outcome.found += static_cast<std::int64_t>(ids.size());
            shown.Read(static_cast<std::int64_t>(ids.size()));
            if (!shown.Continue()) {
                outcome.cancelled = true;
                outcome.end = PassEnd::Cancelled;
                break;
            }
        }
    } catch (const std::exception& e) {
        outcome.end = PassEnd::ReadError;
        outcome.failure = SqliteReason(e);
    }
    if (!writeFailure.empty())
        return Error{"The marks could not be cleared in " + database.path() + ": " + writeFailure +
                     "\nNo mark was changed."};
    if (outcome.end == PassEnd::ReadError) {
        if (Status kept = KeepAfterReadError(db, transaction, changed, 0); !kept)
            return Error{"The marks could not be cleared in " + database.path() + ": " + kept.error().text +
                         "\nNo mark was changed."};
    }
    try {
        if (transaction) transaction->commit();
    } catch (const std::exception& e) {
        return Error{"The marks could not be cleared in " + database.path() + ": " + SqliteReason(e) +
                     "\nNo mark was changed."};
    }
    outcome.processed = shown.processed();
    if (outcome.end == PassEnd::Completed) shown.Finish();
    return outcome;
}

} // namespace kivo
