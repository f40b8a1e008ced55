// The market fix over the synthetic sample data at scale 1: three cup files and the pool, backups included.
// Target: under 200 ms.

#include <filesystem>
#include <random>
#include <stdexcept>

#include <benchmark/benchmark.h>

#include "core/market/ArreglarMercado.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;

void BM_MarketFix(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("kivo-market-bench-" + std::to_string(std::random_device{}()));
    auto written = kivo::WriteSampleData(dir.string(), {1, 1});
    if (!written) throw std::runtime_error(written.error().text);
    kivo::NoProgress quiet;
    kivo::MarketFixReport report;
    for (auto _ : state)
        report = kivo::ArreglarMercado(dir.string(), quiet);
    state.counters["cup_teams"] = static_cast<double>(report.cupTeams);
    state.counters["pool_entries"] = static_cast<double>(report.poolEntries);
    fs::remove_all(dir);
}
BENCHMARK(BM_MarketFix)->Unit(benchmark::kMillisecond);

} // namespace
