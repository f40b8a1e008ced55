#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "core/backups/Backups.h"
#include "core/gamefiles/TeamFileImage.h"
#include "core/players/PlayerRow.h"
#include "core/prices/Formulas.h"
#include "core/rosters/TeamChanges.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

struct RepriceOptions {
    bool original = false; // "Compute Original Prices" instead of "Compute All Prices"
    FormulaSet formulas = DefaultFormulas();
};

// The slots to reprice when not all of them: (file path as found on disk, team index, slot 0..15).
using SlotSelection = std::set<std::tuple<std::string, std::uint64_t, std::size_t>>;

// A player whose price changes, as his JUGADORES row stood, and his new price code.
struct PriceUpdate {
    PlayerRow before;
    std::uint8_t price = 0;
};

// A slot whose price changes: its file (an index into the plan's files), team, slot 0..15, and the old and
// new price codes. Kept this small because a whole game changes hundreds of thousands of prices; the texts
// are made only when the changes are shown.
struct PriceChange {
    std::uint32_t file = 0;
    std::uint8_t slot = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
    std::uint64_t team = 0;
};

struct RepricePlan {
    std::vector<TeamFileImage> files; // only the files with a changed price, changed in memory
    std::vector<PriceChange> prices;  // file by file, team by team, slot by slot
    std::uint64_t slotsPriced = 0;    // slots looked at
};

// The plan's changes as `kivo-cli diff` lists them (field "price").
std::vector<TeamChange> RepriceChanges(const RepricePlan& plan);

// The JUGADORES rows of the repriced players as they stood before, each with the new price.
std::vector<PriceUpdate> RepricedRows(const RepricePlan& plan);

// Every slot of the files (or only the selected ones) priced as the team editor's "Compute All Prices"
// prices it (the role's formula; goalkeepers and blank formulas keep theirs), or with `original` as
// "Compute Original Prices" does. Only the price byte of a slot whose price changes is changed.
Result<RepricePlan> PlanReprice(const std::vector<std::string>& files, const RepriceOptions& options,
                                const SlotSelection* only = nullptr);

// Writes the changed files through the run's backups, all or none (SaveTeamFileImages); a failure names
// the file.
Status ApplyReprice(BackupRun& backups, const RepricePlan& plan);

// The JUGADORES rows of the repriced players take their new price, marks and all else kept. A row is the
// player's when every value of it is as the slot was; rows of an older build that no longer match are left.
// One transaction. Returns the number of rows changed.
Result<std::int64_t> UpdateRepricedRows(PlayerDatabase& database, const std::vector<PriceUpdate>& rows);

} // namespace kivo
