#include "core/prices/PriceLadder.h"

#include <cstdlib>
#include <limits>

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

// The game's ladder, written out independently of the code.
const std::uint32_t kSteps[] = {25'000,    30'000,    40'000,     50'000,     65'000,    75'000,    85'000,
                                100'000,   110'000,   130'000,    150'000,    180'000,   200'000,   250'000,
                                300'000,   350'000,   450'000,    500'000,    550'000,   600'000,   650'000,
                                700'000,   750'000,   800'000,    850'000,    950'000,   1'000'000, 1'100'000,
                                1'300'000, 1'500'000, 1'600'000,  1'800'000,  1'900'000, 2'000'000, 2'250'000,
                                2'750'000, 3'000'000, 3'500'000,  4'500'000,  5'000'000, 6'000'000, 7'000'000,
                                8'000'000, 9'000'000, 10'000'000, 12'000'000, 15'000'000};

// Each step's text is the price list's entry: codes 1..11 and 13..48 in order; 0, 12 (160K) and 49 have no
// step.
TEST(PriceLadder, HasTheFortySevenStepsShownAsThePriceListTexts) {
    const auto& ladder = PriceLadder();
    ASSERT_EQ(std::size(kSteps), 47u);
    ASSERT_TRUE(std::equal(ladder.begin(), ladder.end(), std::begin(kSteps), std::end(kSteps)));
    std::uint8_t code = 1;
    for (std::uint32_t step : ladder) {
        const std::string text = TrimRight(*PriceText(code));
        EXPECT_EQ(LadderPriceText(step), text) << step;
        code = code == 11 ? 13 : code + 1;
    }
    EXPECT_EQ(code, 49);
}

TEST(SnapToPriceLadder, GoesToTheNearestStepAndHalfwayDown) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min(),
                   kMax = std::numeric_limits<std::int32_t>::max();
    const std::pair<std::int32_t, std::uint32_t> cases[] = {
        {24'999, 25'000},      {27'500, 25'000},         {27'501, 30'000},         {165'000, 150'000},
        {165'001, 180'000},    {13'500'000, 12'000'000}, {13'500'001, 15'000'000}, {15'000'001, 15'000'000},
        {-1, 25'000},          {kMin, 25'000},           {kMax, 15'000'000},       {2'500'000, 2'250'000},
        {2'500'001, 2'750'000}};
    for (const auto& [v, snapped] : cases)
        EXPECT_EQ(SnapToPriceLadder(v), snapped) << v;
}

// The nearest step found by looking at every step, ties to the lower: an independent statement of the rule,
// over a dense sweep and two either side of every step and midpoint.
TEST(SnapToPriceLadder, EqualsAFullScan) {
    auto nearest = [](std::int64_t v) {
        std::uint32_t best = kSteps[0];
        for (std::uint32_t step : kSteps)
            if (std::llabs(v - step) < std::llabs(v - best)) best = step;
        return best;
    };
    std::vector<std::int64_t> points;
    for (std::int64_t v = -10'000; v <= 16'000'000; v += 250)
        points.push_back(v);
    for (std::size_t i = 0; i < std::size(kSteps); ++i)
        for (std::int64_t d = -2; d <= 2; ++d) {
            points.push_back(kSteps[i] + d);
            if (i > 0) points.push_back((kSteps[i - 1] + kSteps[i]) / 2 + d);
        }
    for (std::int64_t v : points)
        ASSERT_EQ(SnapToPriceLadder(static_cast<std::int32_t>(v)), nearest(v)) << v;
}

} // namespace
} // namespace kivo
