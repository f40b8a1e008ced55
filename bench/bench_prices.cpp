// Pricing one team's sixteen players with the default formulas, and one snap to the price ladder.

#include <array>
#include <string>

#include <benchmark/benchmark.h>

#include "core/gamefiles/PlayerCodes.h"
#include "core/prices/Formulas.h"
#include "core/prices/PriceCalculator.h"
#include "core/prices/PriceLadder.h"

namespace {

struct Player {
    kivo::FormulaRole role;
    kivo::Skills skills;
};

// Sixteen outfield players of mixed roles and skills, as "Compute All Prices" meets them.
const std::array<Player, 16> kTeam = {{
    {kivo::FormulaRole::Back, {7, 5, 9, 11, 8, 10, 3}},
    {kivo::FormulaRole::Back, {6, 4, 8, 12, 9, 11, 2}},
    {kivo::FormulaRole::Defender, {5, 3, 13, 14, 7, 8, 2}},
    {kivo::FormulaRole::Defender, {4, 2, 12, 13, 6, 9, 1}},
    {kivo::FormulaRole::Defender, {6, 4, 11, 12, 8, 7, 3}},
    {kivo::FormulaRole::Wing, {10, 9, 5, 6, 12, 13, 8}},
    {kivo::FormulaRole::Wing, {11, 10, 4, 5, 13, 14, 9}},
    {kivo::FormulaRole::Midfield, {13, 9, 7, 10, 12, 9, 8}},
    {kivo::FormulaRole::Midfield, {12, 8, 6, 11, 11, 10, 7}},
    {kivo::FormulaRole::Midfield, {14, 10, 8, 9, 13, 8, 9}},
    {kivo::FormulaRole::Attack, {9, 14, 12, 4, 12, 13, 14}},
    {kivo::FormulaRole::Attack, {8, 13, 13, 3, 11, 12, 15}},
    {kivo::FormulaRole::Back, {15, 15, 15, 15, 15, 15, 15}},
    {kivo::FormulaRole::Wing, {0, 0, 0, 0, 0, 0, 0}},
    {kivo::FormulaRole::Midfield, {9, 7, 5, 8, 9, 7, 6}},
    {kivo::FormulaRole::Attack, {7, 11, 10, 2, 9, 10, 11}},
}};

// One evaluator kept across teams, as a team editor keeps it.
void BM_SixteenPrices(benchmark::State& state) {
    const kivo::FormulaSet formulas = kivo::DefaultFormulas();
    kivo::PriceEvaluator evaluator;
    for (auto _ : state) {
        for (const Player& p : kTeam) {
            std::string price =
                evaluator.CalcularPrecio(formulas[static_cast<std::size_t>(p.role)], p.skills);
            benchmark::DoNotOptimize(price);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kTeam.size()));
}
BENCHMARK(BM_SixteenPrices)->Unit(benchmark::kMicrosecond);

// A new evaluator for every team: the five formulas are parsed afresh each time.
void BM_SixteenPricesNewEvaluator(benchmark::State& state) {
    const kivo::FormulaSet formulas = kivo::DefaultFormulas();
    for (auto _ : state) {
        kivo::PriceEvaluator evaluator;
        for (const Player& p : kTeam) {
            std::string price =
                evaluator.CalcularPrecio(formulas[static_cast<std::size_t>(p.role)], p.skills);
            benchmark::DoNotOptimize(price);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kTeam.size()));
}
BENCHMARK(BM_SixteenPricesNewEvaluator)->Unit(benchmark::kMicrosecond);

void BM_SnapToPriceLadder(benchmark::State& state) {
    // Values from every search bracket, taken in turn so the compiler cannot fold the call.
    const std::array<std::int32_t, 8> values = {-5,        27'501,    165'000,    599'999,
                                                1'234'567, 4'999'999, 13'500'001, 20'000'000};
    std::size_t i = 0;
    for (auto _ : state) {
        std::int32_t v = values[i++ & 7];
        benchmark::DoNotOptimize(v);
        benchmark::DoNotOptimize(kivo::SnapToPriceLadder(v));
    }
}
BENCHMARK(BM_SnapToPriceLadder);

} // namespace
