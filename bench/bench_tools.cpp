// What the clipboard window and the formula editor do when they open: list the clipboard in name order,
// and compute the five formula rows (range, fault, suffix hint).
#include <filesystem>

#include <benchmark/benchmark.h>

#include "core/clipboard/ClipboardStore.h"
#include "core/prices/Formulas.h"
#include "core/prices/PriceCalculator.h"

namespace {

void BM_ClipboardList(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "kivo_bench_portapap.tps";
    std::filesystem::remove(path);
    {
        auto store = kivo::ClipboardStore::Open(path.string(), true);
        for (int i = 0; i < state.range(0); ++i) {
            kivo::PlayerTransferRecord r;
            r.nombreJugador = "Player " + std::to_string((i * 7919) % 100000);
            store->Append(r);
        }
    }
    for (auto _ : state) {
        auto store = kivo::ClipboardStore::Open(path.string(), true);
        auto listed = store->List();
        benchmark::DoNotOptimize(listed->size());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ClipboardList)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_FormulaEditorRows(benchmark::State& state) {
    const kivo::FormulaSet formulas = kivo::DefaultFormulas();
    for (auto _ : state) {
        kivo::PriceEvaluator prices; // a fresh evaluator: nothing parsed before
        for (const std::string& f : formulas) {
            benchmark::DoNotOptimize(prices.Range(f));
            benchmark::DoNotOptimize(prices.Fault(f, kivo::Skills{}));
            benchmark::DoNotOptimize(kivo::FindSuffixPitfalls(f));
        }
    }
}
BENCHMARK(BM_FormulaEditorRows)->Unit(benchmark::kMicrosecond);

} // namespace
