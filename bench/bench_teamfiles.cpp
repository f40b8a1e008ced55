// Decoding, encoding and reading every team of the synthetic sample data (about 1,700 teams at scale 1).

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;

// The sample data, generated once per run into a scratch directory that goes away at exit.
struct SampleSet {
    fs::path dir;
    std::vector<std::string> files;             // every TEAM.NNN and cup file
    std::vector<kivo::TeamRecordBytes> records; // every team of every file, as bytes

    SampleSet() {
        dir = fs::temp_directory_path() / ("kivo-bench-" + std::to_string(std::random_device{}()));
        auto written = kivo::WriteSampleData(dir.string(), {/*seed=*/1, /*scale=*/1});
        if (!written) throw std::runtime_error(written.error().text);
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("TEAM.", 0) == 0 || kivo::IsCupFile(name)) files.push_back(entry.path().string());
        }
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) {
            auto teams = kivo::ReadTeams(file);
            if (!teams) throw std::runtime_error(teams.error().text);
            for (const auto& team : *teams)
                records.push_back(kivo::SerializeTeamRecord(team));
        }
    }
    ~SampleSet() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const SampleSet& Sample() {
    static const SampleSet sample;
    return sample;
}

void BM_DecodeAllSampleTeams(benchmark::State& state) {
    const auto& records = Sample().records;
    for (auto _ : state) {
        for (const auto& bytes : records) {
            kivo::DecodedTeam team = kivo::DecodeTeam(kivo::ParseTeamRecord(bytes));
            benchmark::DoNotOptimize(team);
        }
    }
    state.counters["teams"] = static_cast<double>(records.size());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records.size()));
}
BENCHMARK(BM_DecodeAllSampleTeams)->Unit(benchmark::kMillisecond);

void BM_EncodeAllSampleTeams(benchmark::State& state) {
    std::vector<kivo::DecodedTeam> decoded;
    for (const auto& bytes : Sample().records)
        decoded.push_back(kivo::DecodeTeam(kivo::ParseTeamRecord(bytes)));
    for (auto _ : state) {
        for (const auto& team : decoded) {
            kivo::TeamRecordBytes bytes = kivo::SerializeTeamRecord(kivo::EncodeTeam(team));
            benchmark::DoNotOptimize(bytes);
        }
    }
    state.counters["teams"] = static_cast<double>(decoded.size());
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(decoded.size()));
}
BENCHMARK(BM_EncodeAllSampleTeams)->Unit(benchmark::kMillisecond);

// Opening, checking the header of and reading every team file and cup file (warm file cache).
void BM_ReadAllSampleTeamFiles(benchmark::State& state) {
    const auto& files = Sample().files;
    std::size_t teams = 0;
    for (auto _ : state) {
        teams = 0;
        for (const std::string& file : files) {
            auto read = kivo::ReadTeams(file);
            if (!read) {
                state.SkipWithError(read.error().text.c_str());
                return;
            }
            teams += read->size();
            benchmark::DoNotOptimize(read);
        }
    }
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["teams"] = static_cast<double>(teams);
}
BENCHMARK(BM_ReadAllSampleTeamFiles)->Unit(benchmark::kMillisecond);

} // namespace
