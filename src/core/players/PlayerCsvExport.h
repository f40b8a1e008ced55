#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/players/PlayerFilter.h"
#include "core/players/PlayerOrders.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

// Writes the players of `order` (only mark `mark` when given, only those the filter lets through) to
// `path` as PlayerCsvHeader() and one PlayerCsvLine() per player, in the order's sequence. The file is
// written beside its place and put there only when complete, so a failed export leaves an earlier file
// as it was. Returns the number of players written.
Result<std::int64_t> ExportPlayersCsv(PlayerDatabase& database, PlayerOrder order,
                                      std::optional<std::uint8_t> mark, const PlayerQuickFilter& filter,
                                      const std::string& path);

} // namespace kivo
