#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kivo {

inline constexpr std::size_t kLadderSteps = 47;

// The 47 money values a computed price snaps to, ascending, from 25,000 to 15,000,000. It has no step for
// the price list's "160K", so a computed price is never 160K.
const std::array<std::uint32_t, kLadderSteps>& PriceLadder();

// The ladder value nearest to v; halfway goes to the lower step. Values at or below 25,000 give 25,000,
// values above 15,000,000 give 15,000,000.
std::uint32_t SnapToPriceLadder(std::int32_t v);

// The price text of a ladder value: "2.25M", "3M", "85K".
std::string LadderPriceText(std::uint32_t ladderValue);

} // namespace kivo
