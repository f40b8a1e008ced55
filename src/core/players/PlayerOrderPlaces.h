#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/players/PlayerOrders.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

// Places in an order of the all-players database, counted from 0, for a list that shows the order a
// page at a time and must map its scroll bar to rows without reading the rows in between. Every place is
// counted over the order's index, never over the rows themselves. With `mark` only that mark's rows count.

// How many rows come before `entry` (its place when it is still there).
Result<std::int64_t> PlaceInOrder(PlayerDatabase& database, PlayerOrder order,
                                  std::optional<std::uint8_t> mark, const PlayerListEntry& entry);

// The row at `place`; nothing when the order is shorter. `count` is the order's length when the caller
// knows it (the scan then runs from the nearer end).
Result<std::optional<PlayerListEntry>> PlayerAtPlace(PlayerDatabase& database, PlayerOrder order,
                                                     std::optional<std::uint8_t> mark, std::int64_t place,
                                                     std::optional<std::int64_t> count = std::nullopt);

// The place of the first name at or after `latin1` in the name order (letter case ignored): where the
// name locator puts the list.
Result<std::int64_t> PlaceOfName(PlayerDatabase& database, std::optional<std::uint8_t> mark,
                                 const std::string& latin1);

// One key of a numeric order with the number of its rows, in the order's direction.
struct KeyGroup {
    int key = 0;
    std::int64_t rows = 0;
};
Result<std::vector<KeyGroup>> KeyGroups(PlayerDatabase& database, PlayerOrder order,
                                        std::optional<std::uint8_t> mark);

// The value a row sorts by in a numeric order (0 for the name order).
int SortKeyOf(PlayerOrder order, const PlayerRow& row);

// The sort field of a numeric order written as the list shows it: the position, price or nationality
// text, the country's name, or the number.
std::string SortFieldText(PlayerOrder order, int key);

// The place of the next row after `current` (-1: from the top) whose sort field starts with `letter`
// (compared in upper case), going round to the top after the last row; nothing when no row has one. The
// name order has no numeric key and gives nothing.
Result<std::optional<std::int64_t>> NextPlaceStartingWith(PlayerDatabase& database, PlayerOrder order,
                                                          std::optional<std::uint8_t> mark,
                                                          std::int64_t current, char letter);

} // namespace kivo
