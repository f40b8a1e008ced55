#include "core/players/MarkingPasses.h"

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

// One search pass: `scan` is the pass's restriction (its range of one order) with the cursor already in
// it; rows come in the order's sequence, 25 at a time, each with the predicate's verdict.
Result<MarkPassOutcome> RunSearch(PlayerDatabase& database, const SearchCriteria& criteria, std::uint8_t mark,
                                  Progress& progress, const std::string& scan, std::uint8_t scanValue,
                                  const char* keyColumn, std::optional<std::uint8_t> priceLimit) {
    auto& db = database.connection();
    MarkPassOutcome outcome;
    try {
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        PassProgress shown(progress, "Processing Records", FoundText(0), kSearchExpected);
        SQLite::Statement slice(db, std::string("SELECT id, ") + keyColumn + ", marca, " + kPredicate +
                                        " FROM jugadores WHERE " + scan + " ORDER BY " + keyColumn +
                                        ", id LIMIT " + std::to_string(kSlice));
        SQLite::Statement mark1(db, "UPDATE jugadores SET marca = ? WHERE id = ?");
        std::int64_t lastKey = -1, lastId = -1;
        for (;;) {
            slice.reset();
            BindCriteria(slice, criteria, priceLimit);
            slice.bind(":scan", scanValue);
            slice.bind(":key", lastKey);
            slice.bind(":id", lastId);
            int read = 0;
            while (slice.executeStep()) {
                ++read;
                lastId = slice.getColumn(0).getInt64();
                lastKey = slice.getColumn(1).getInt64();
                if (slice.getColumn(3).getInt() == 0) continue;
                ++outcome.found;
                if (slice.getColumn(2).getInt() == mark) continue; // already carries it
                mark1.bind(1, mark);
                mark1.bind(2, lastId);
                mark1.exec();
                mark1.reset();
            }
            if (read == 0) break;
            shown.Read(read);
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
    const std::string scan = "valor_pase >= 0 AND valor_pase <= :scan AND (valor_pase, id) > (:key, :id)";
    return RunSearch(database, criteria, mark, progress, scan, limit, "valor_pase", limit);
}

Result<MarkPassOutcome> MarcarJugadoresPorPuesto(PlayerDatabase& database, const SearchCriteria& criteria,
                                                 std::uint8_t mark, Progress& progress) {
    if (!criteria.puesto) return Error{"The search by position needs a position"};
    const std::string scan = "puesto = :scan AND puesto >= :key AND id > :id";
    return RunSearch(database, criteria, mark, progress, scan, *criteria.puesto, "puesto",
                     criteria.valorPaseMax);
}

Result<MarkPassOutcome> MarcarJugadoresPorNacionalidad(PlayerDatabase& database,
                                                       const SearchCriteria& criteria, std::uint8_t mark,
                                                       Progress& progress) {
    if (!criteria.nacionalidad) return Error{"The search by nationality needs a nationality"};
    const std::string scan = "nacionalidad = :scan AND nacionalidad >= :key AND id > :id";
    return RunSearch(database, criteria, mark, progress, scan, *criteria.nacionalidad, "nacionalidad",
                     criteria.valorPaseMax);
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
