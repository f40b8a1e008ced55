// The game-file check and the comparison of a whole sample directory (scale 1: the league files, three cups
// and the pool), each timed beside a plain read of the same files through their readers with every team
// decoded. Target: check and diff each under 1.5 times that read (the diff reads two directories, so its
// read is of both). The counters check_ratio and diff_ratio are the ratios; the run's times are medians.

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/gamefiles/PlayerCodes.h"
#include "core/inspect/DataFolder.h"
#include "core/inspect/Soundness.h"
#include "core/inspect/Comparison.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Sample {
    fs::path dir;
    Sample() {
        dir = fs::temp_directory_path() / ("kivo-check-bench-" + std::to_string(std::random_device{}()));
        for (const char* side : {"a", "b"})
            if (auto written = kivo::WriteSampleData((dir / side).string(), {1, 1}); !written)
                throw std::runtime_error(written.error().text);
    }
    ~Sample() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

// Every game file read through its reader and every team decoded as the editor decodes it.
std::size_t PlainRead(const fs::path& dir) {
    std::size_t decoded = 0;
    auto files = kivo::ListGameFiles(dir);
    if (!files) throw std::runtime_error(files.error().text);
    for (const auto& f : *files) {
        auto loaded = kivo::LoadGameFile(f.path.string(), f.kind);
        if (!loaded) throw std::runtime_error(loaded.error().text);
        for (const auto& team : loaded->teams)
            decoded += kivo::DecodeTeam(team).players.size();
        decoded += loaded->entries.size();
    }
    return decoded;
}

template <class Work> double Seconds(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void BM_CheckAndDiffAgainstPlainRead(benchmark::State& state) {
    Sample sample;
    const fs::path a = sample.dir / "a", b = sample.dir / "b";
    kivo::NoProgress quiet;
    std::vector<double> plain, plainBoth, check, diff;
    std::size_t findings = 0, differences = 0;
    for (auto _ : state) {
        plain.push_back(Seconds([&] { benchmark::DoNotOptimize(PlainRead(a)); }));
        plainBoth.push_back(Seconds([&] { benchmark::DoNotOptimize(PlainRead(a) + PlainRead(b)); }));
        check.push_back(Seconds([&] {
            auto result = kivo::CheckGameFiles(a.string(), quiet);
            if (!result) throw std::runtime_error(result.error().text);
            findings = result->findings.size();
        }));
        diff.push_back(Seconds([&] {
            auto result = kivo::DiffGamePaths(a.string(), b.string());
            if (!result) throw std::runtime_error(result.error().text);
            differences = result->size();
        }));
    }
    state.counters["plain_ms"] = Median(plain) * 1000;
    state.counters["check_ms"] = Median(check) * 1000;
    state.counters["diff_ms"] = Median(diff) * 1000;
    state.counters["check_ratio"] = Median(check) / Median(plain);
    state.counters["diff_ratio"] = Median(diff) / Median(plainBoth);
    state.counters["findings"] = static_cast<double>(findings);
    state.counters["differences"] = static_cast<double>(differences);
}
BENCHMARK(BM_CheckAndDiffAgainstPlainRead)->Unit(benchmark::kMillisecond)->Iterations(15);

} // namespace
