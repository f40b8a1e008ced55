#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/gamefiles/PlayerCodes.h"
#include "core/players/PlayerOrders.h"
#include "core/support/Progress.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

// The search form's criteria (BUS:). "No criterion" is an absent value, never a code: every code of a
// table, Kenya's 99 included, can be searched for. The country keeps 0 for "any country".
struct SearchCriteria {
    std::uint8_t pais = 0;                    // team-file country code; 0 = any
    std::optional<std::uint8_t> division;     // DivisionTable code
    std::optional<std::uint8_t> nacionalidad; // NationalityTable code
    std::optional<std::uint8_t> puesto;       // PositionTable code
    Skills minimums{};                        // each skill at least this; 0 = no minimum
    std::optional<std::uint8_t> valorPaseMax; // price code at most this
};

// The pass the search form runs: the one that scans the fewest rows for the criteria.
enum class SearchPass { ByPrice, ByPosition, ByNationality };
SearchPass ChooseSearchPass(const SearchCriteria& criteria);

// How a pass ended. A read error ends it as if the order had ended, keeping the rows already changed; the
// window then shows the record-retrieval warning naming "Jugadores" (`failure` has the storage's words).
enum class PassEnd { Completed, Cancelled, ReadError };

struct MarkPassOutcome {
    std::int64_t found = 0; // rows that matched (and now carry the mark), those that had it already included
    std::int64_t processed = 0; // rows read
    bool cancelled = false;     // the same as end == PassEnd::Cancelled
    PassEnd end = PassEnd::Completed;
    std::int64_t expected = 0; // the rows the pass was to scan: what its percentage is of
    std::string failure;       // for ReadError
};

// The search passes: every row matching the criteria gets mark `mark` (0 unmarks); rows that do not match
// keep their marks. They differ only in the order they scan: the price order from code 0 (with no price
// chosen the price pass stops at code 50), the rows of the chosen position, or of the chosen nationality.
// Work goes in slices of 25 rows; between slices the progress is shown ("Searching Players (N Found)",
// the percent of the rows in the scanned range, counted when the pass starts) and a cancel stops the pass,
// keeping the rows already marked. A read error in the middle keeps them too (PassEnd::ReadError); only a
// pass that cannot start, or whose changes cannot be kept, is an Error with nothing changed. Every slice
// must move forward in the order: an order that leads back (a damaged file) ends the pass as a read error.
Result<MarkPassOutcome> MarcarJugadoresPorPrecio(PlayerDatabase& database, const SearchCriteria& criteria,
                                                 std::uint8_t mark, Progress& progress);
Result<MarkPassOutcome> MarcarJugadoresPorPuesto(PlayerDatabase& database, const SearchCriteria& criteria,
                                                 std::uint8_t mark, Progress& progress);
Result<MarkPassOutcome> MarcarJugadoresPorNacionalidad(PlayerDatabase& database,
                                                       const SearchCriteria& criteria, std::uint8_t mark,
                                                       Progress& progress);

// The search form's "Search": the pass chosen by ChooseSearchPass.
Result<MarkPassOutcome> BuscarYMarcar(PlayerDatabase& database, const SearchCriteria& criteria,
                                      std::uint8_t mark, Progress& progress);

// Sets the mark of the players marked `mark` to 0; every mark when `mark` is 0. Slices of 25, cancel
// between them; "Clearing Marks", the percent of the database's rows.
Result<MarkPassOutcome> BorrarMarcas(PlayerDatabase& database, std::uint8_t mark, Progress& progress);

// The rows of the marked-players report: the players of mark `mark` in the mark order, read in slices of
// 25 with the report's progress (percent of 500, capped). Mark 0 gives no rows. A cancelled report
// prints nothing.
struct MarkedPlayersReport {
    std::string title; // "Marked Players (Mark M)"
    std::vector<PlayerListEntry> rows;
    bool cancelled = false;
};
Result<MarkedPlayersReport> ImprimirJugadoresMarcados(PlayerDatabase& database, std::uint8_t mark,
                                                      Progress& progress);

} // namespace kivo
