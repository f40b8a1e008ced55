#include "core/prices/PriceLadder.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

// The game's ladder, step by step, with the text each step shows.
const std::vector<std::pair<std::uint32_t, const char*>> kSteps = {
    {25'000, "25K"},      {30'000, "30K"},     {40'000, "40K"},     {50'000, "50K"},     {65'000, "65K"},
    {75'000, "75K"},      {85'000, "85K"},     {100'000, "100K"},   {110'000, "110K"},   {130'000, "130K"},
    {150'000, "150K"},    {180'000, "180K"},   {200'000, "200K"},   {250'000, "250K"},   {300'000, "300K"},
    {350'000, "350K"},    {450'000, "450K"},   {500'000, "500K"},   {550'000, "550K"},   {600'000, "600K"},
    {650'000, "650K"},    {700'000, "700K"},   {750'000, "750K"},   {800'000, "800K"},   {850'000, "850K"},
    {950'000, "950K"},    {1'000'000, "1M"},   {1'100'000, "1.1M"}, {1'300'000, "1.3M"}, {1'500'000, "1.5M"},
    {1'600'000, "1.6M"},  {1'800'000, "1.8M"}, {1'900'000, "1.9M"}, {2'000'000, "2M"},   {2'250'000, "2.25M"},
    {2'750'000, "2.75M"}, {3'000'000, "3M"},   {3'500'000, "3.5M"}, {4'500'000, "4.5M"}, {5'000'000, "5M"},
    {6'000'000, "6M"},    {7'000'000, "7M"},   {8'000'000, "8M"},   {9'000'000, "9M"},   {10'000'000, "10M"},
    {12'000'000, "12M"},  {15'000'000, "15M"}};

TEST(PriceLadder, HasTheFortySevenStepsAscendingWithout160K) {
    const auto& ladder = PriceLadder();
    ASSERT_EQ(ladder.size(), 47u);
    ASSERT_EQ(kSteps.size(), 47u);
    for (std::size_t i = 0; i < ladder.size(); ++i)
        EXPECT_EQ(ladder[i], kSteps[i].first) << "step " << i + 1;
    EXPECT_TRUE(std::is_sorted(ladder.begin(), ladder.end()));
    EXPECT_EQ(std::adjacent_find(ladder.begin(), ladder.end()), ladder.end());
    EXPECT_EQ(std::find(ladder.begin(), ladder.end(), 160'000u), ladder.end());
}

TEST(LadderPriceText, EveryStepShowsItsText) {
    for (const auto& [value, text] : kSteps)
        EXPECT_EQ(LadderPriceText(value), text) << value;
}

// Each step's text is the price list's entry: codes 1..11 and 13..48, in order; 0, 12 and 49 have no step.
TEST(LadderPriceText, EveryStepIsThePriceListEntryOfTheSameText) {
    const auto& ladder = PriceLadder();
    std::vector<std::uint8_t> codes;
    for (std::uint8_t code = 1; code <= 48; ++code)
        if (code != 12) codes.push_back(code);
    ASSERT_EQ(codes.size(), ladder.size());
    for (std::size_t i = 0; i < ladder.size(); ++i) {
        const std::string text = LadderPriceText(ladder[i]);
        EXPECT_EQ(text, TrimRight(*PriceText(codes[i]))) << "step " << i + 1;
        EXPECT_EQ(PriceCode(text), std::optional<std::uint8_t>(codes[i])) << text;
    }
}

struct SnapCase {
    std::int64_t v;
    std::uint32_t snapped;
};

class Snap : public ::testing::TestWithParam<SnapCase> {};

TEST_P(Snap, GoesToTheNearestStepAndHalfwayDown) {
    EXPECT_EQ(SnapToPriceLadder(static_cast<std::int32_t>(GetParam().v)), GetParam().snapped) << GetParam().v;
}

INSTANTIATE_TEST_SUITE_P(Values, Snap,
                         ::testing::Values(SnapCase{24'999, 25'000}, SnapCase{25'000, 25'000},
                                           SnapCase{27'500, 25'000}, SnapCase{27'501, 30'000},
                                           SnapCase{165'000, 150'000}, SnapCase{165'001, 180'000},
                                           SnapCase{170'000, 180'000}, SnapCase{13'500'000, 12'000'000},
                                           SnapCase{13'500'001, 15'000'000}, SnapCase{15'000'000, 15'000'000},
                                           SnapCase{15'000'001, 15'000'000}, SnapCase{0, 25'000},
                                           SnapCase{-1, 25'000}, SnapCase{-1'000'000, 25'000},
                                           SnapCase{std::numeric_limits<std::int32_t>::min(), 25'000},
                                           SnapCase{std::numeric_limits<std::int32_t>::max(), 15'000'000},
                                           // Around the starts of the search brackets.
                                           SnapCase{129'999, 130'000}, SnapCase{130'000, 130'000},
                                           SnapCase{120'000, 110'000}, SnapCase{120'001, 130'000},
                                           SnapCase{599'999, 600'000}, SnapCase{575'000, 550'000},
                                           SnapCase{1'499'999, 1'500'000}, SnapCase{1'400'000, 1'300'000},
                                           SnapCase{4'999'999, 5'000'000}, SnapCase{4'750'000, 4'500'000},
                                           SnapCase{5'000'001, 5'000'000}, SnapCase{2'500'000, 2'250'000},
                                           SnapCase{2'500'001, 2'750'000}));

// The nearest step found by looking at every step, ties to the lower: an independent statement of the rule.
std::uint32_t NearestByFullScan(std::int64_t v) {
    std::uint32_t best = kSteps.front().first;
    for (const auto& [step, text] : kSteps)
        if (std::llabs(v - step) < std::llabs(v - best)) best = step;
    return best;
}

TEST(Snap, EqualsAFullScanOverADenseSweep) {
    for (std::int64_t v = -10'000; v <= 16'000'000; v += 250)
        ASSERT_EQ(SnapToPriceLadder(static_cast<std::int32_t>(v)), NearestByFullScan(v)) << v;
}

TEST(Snap, EqualsAFullScanAroundEveryStepAndMidpoint) {
    std::vector<std::int64_t> points;
    for (std::size_t i = 0; i < kSteps.size(); ++i) {
        points.push_back(kSteps[i].first);
        if (i > 0) points.push_back((kSteps[i - 1].first + kSteps[i].first) / 2);
    }
    for (std::int64_t p : points)
        for (std::int64_t d = -2; d <= 2; ++d)
            ASSERT_EQ(SnapToPriceLadder(static_cast<std::int32_t>(p + d)), NearestByFullScan(p + d)) << p + d;
}

TEST(Snap, NeverGives160K) {
    for (std::int32_t v = 140'000; v <= 190'000; ++v)
        ASSERT_NE(SnapToPriceLadder(v), 160'000u) << v;
}

} // namespace
} // namespace kivo
