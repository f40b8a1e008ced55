#include "core/players/MarkingPasses.h"

#include <optional>
#include <vector>

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/players/PlayerDatabase.h"

namespace kivo {
namespace {

constexpr int kSlice = 25;
constexpr std::int64_t kSearchExpected = 27000;
constexpr std::int64_t kReportExpected = 500;
// With no price chosen the price pass scans codes 0 to 50, which covers the whole price table.
constexpr std::uint8_t kPricePassLimit = 50;

// The percent window's texts: "0% Completed" before any row, then the percent in three places.
class PassProgress {
public:
    PassProgress(Progress& progress, std::string title, std::string status, std::int64_t expected)
        : progress_(progress), expected_(expected) {
        state_.title = std::move(title);
        state_.status = std::move(status);
        state_.percent = 0;
        state_.percentText = "0% Completed";
        progress_.Update(state_);
    }
    void Read(std::int64_t rows) {
        processed_ += rows;
        const std::int64_t percent =
            expected_ > 0 ? std::min<std::int64_t>(100, processed_ * 100 / expected_) : 100;
        if (percent != state_.percent) {
            state_.percent = static_cast<int>(percent);
            char text[32];
            std::snprintf(text, sizeof text, "%3d%% Completed", state_.percent);
            state_.percentText = text;
        }
    }
    void Status(std::string status) { state_.status = std::move(status); }
    // Between slices: shows the state and tells whether to go on.
    bool Continue() { return progress_.Update(state_); }
    // A pass that read no row closes without "Process Completed".
    void Finish() {
        if (processed_ == 0) return;
        state_.percentText = "Process Completed";
        progress_.Update(state_);
    }
    std::int64_t processed() const { return processed_; }

private:
    Progress& progress_;
    std::int64_t expected_;
    std::int64_t processed_ = 0;
    ProgressState state_;
};

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

// One search pass over a range of one order, 25 rows at a time. `sameKey` reads the rows of the current key
// after the last row's place; `nextKeys` (for a range of several keys) the rows of the following keys. A
// slice is read whole before its rows are marked, so the scan never runs over rows it is changing.
Result<MarkPassOutcome> RunSearch(PlayerDatabase& database, const SearchCriteria& criteria, std::uint8_t mark,
                                  Progress& progress, const std::string& sameKey, const std::string& nextKeys,
                                  const char* keyColumn, std::uint8_t scanValue,
                                  std::optional<std::uint8_t> priceLimit) {
    auto& db = database.connection();
    MarkPassOutcome outcome;
    try {
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        PassProgress shown(progress, "Processing Records", FoundText(0), kSearchExpected);
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
            for (const Row& row : slice) {
                if (!row.hit) continue;
                ++outcome.found;
                if (row.marked) continue; // already carries it
                mark1.bind(1, mark);
                mark1.bind(2, row.id);
                mark1.exec();
                mark1.reset();
            }
            lastKey = slice.back().key;
            lastId = slice.back().id;
            shown.Read(static_cast<std::int64_t>(slice.size()));
            shown.Status(FoundText(outcome.found));
            if (!shown.Continue()) {
                outcome.cancelled = true;
                break;
            }
        }
        transaction.commit();
        outcome.processed = shown.processed();
        if (!outcome.cancelled) shown.Finish();
    } catch (const std::exception& e) {
        return Error{"The search could not mark the players in " + database.path() + ": " + SqliteReason(e) +
                     "\nNo mark was changed."};
    }
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
    return RunSearch(database, criteria, mark, progress,
                     "valor_pase = :key AND id > :id AND valor_pase <= :scan",
                     "valor_pase > :key AND valor_pase <= :scan", "valor_pase", limit, limit);
}

Result<MarkPassOutcome> MarcarJugadoresPorPuesto(PlayerDatabase& database, const SearchCriteria& criteria,
                                                 std::uint8_t mark, Progress& progress) {
    if (!criteria.puesto) return Error{"The search by position needs a position"};
    return RunSearch(database, criteria, mark, progress, "puesto = :scan AND puesto >= :key AND id > :id", "",
                     "puesto", *criteria.puesto, criteria.valorPaseMax);
}

Result<MarkPassOutcome> MarcarJugadoresPorNacionalidad(PlayerDatabase& database,
                                                       const SearchCriteria& criteria, std::uint8_t mark,
                                                       Progress& progress) {
    if (!criteria.nacionalidad) return Error{"The search by nationality needs a nationality"};
    return RunSearch(database, criteria, mark, progress,
                     "nacionalidad = :scan AND nacionalidad >= :key AND id > :id", "", "nacionalidad",
                     *criteria.nacionalidad, criteria.valorPaseMax);
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
    auto total = database.CountRows();
    if (!total) return total.error();
    auto& db = database.connection();
    MarkPassOutcome outcome;
    try {
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        PassProgress shown(progress, "Processing Records", "Clearing Marks", *total);
        // Cleared rows leave the mark order, so each slice starts again at the order's first remaining row.
        SQLite::Statement slice(
            db, mark == 0
                    ? "UPDATE jugadores SET marca = 0 WHERE id IN (SELECT id FROM jugadores WHERE marca <> 0 "
                      "ORDER BY marca, id LIMIT 25)"
                    : "UPDATE jugadores SET marca = 0 WHERE id IN (SELECT id FROM jugadores WHERE marca <> 0 "
                      "AND marca = :mark ORDER BY id LIMIT 25)");
        for (;;) {
            slice.reset();
            if (mark != 0) slice.bind(":mark", mark);
            const int cleared = slice.exec();
            if (cleared == 0) break;
            outcome.found += cleared;
            shown.Read(cleared);
            if (!shown.Continue()) {
                outcome.cancelled = true;
                break;
            }
        }
        transaction.commit();
        outcome.processed = shown.processed();
        if (!outcome.cancelled) shown.Finish();
    } catch (const std::exception& e) {
        return Error{"The marks could not be cleared in " + database.path() + ": " + SqliteReason(e) +
                     "\nNo mark was changed."};
    }
    return outcome;
}

Result<MarkedPlayersReport> ImprimirJugadoresMarcados(PlayerDatabase& database, std::uint8_t mark,
                                                      Progress& progress) {
    MarkedPlayersReport report;
    report.title = "Marked Players (Mark " + std::to_string(mark) + ")";
    PassProgress shown(progress, "Generating Report", "", kReportExpected);
    PlayerListRequest request;
    request.order = PlayerOrder::Mark;
    request.mark = mark;
    request.limit = kSlice;
    for (;;) {
        auto page = ListPlayers(database, request);
        if (!page) return page.error();
        if (page->empty()) break;
        shown.Read(static_cast<std::int64_t>(page->size()));
        request.after = page->back();
        std::move(page->begin(), page->end(), std::back_inserter(report.rows));
        if (!shown.Continue()) {
            report.cancelled = true;
            report.rows.clear();
            return report;
        }
    }
    shown.Finish();
    return report;
}

} // namespace kivo
