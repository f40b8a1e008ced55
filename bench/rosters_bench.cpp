// Whole-game batch edits against the plain cost of their files, on the synthetic sample data at scale 10:
//
// - reprice: every league file priced (alternately by the formulas and by the original rule, so that each
//   run changes prices), written whole through the backups, against reading and writing those files once
//   as a safe writer does (flushed before the rename); target: ratio_to_read_write below 2. The ratio to
//   the unflushed floor is reported beside it;
// - import: the full CSV export of the directory imported (two exports whose prices differ, alternately, so
//   that every run changes every team), against reading and writing the files it covers once; target below
//   2; and the export imported back as it came out (checked whole, nothing written);
// - export: `kivo-cli export DATA_DIR` against `kivo-cli players list --csv` (which lists the league files'
//   rows only; the export also covers the cup files); target: ratio_to_players_list at most 1.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "core/players/CrearArchivoJugadores.h"
#include "core/rosters/Reprice.h"
#include "core/rosters/RosterExport.h"
#include "core/rosters/RosterFiles.h"
#include "core/rosters/RosterImport.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Workspace {
    fs::path dir;
    std::string data;
    std::string exports[2];
    Workspace() {
        dir = fs::temp_directory_path() / ("kivo-rosters-bench-" + std::to_string(std::random_device{}()));
        data = (dir / "data").string();
        auto written = kivo::WriteSampleData(data, {1, 10});
        if (!written) throw std::runtime_error(written.error().text);
        kivo::NoProgress quiet;
        auto built = kivo::CrearArchivoJugadores((dir / "JUGADORES").string(), data, quiet);
        if (!built) throw std::runtime_error(built.error().text);
        // Two full exports whose prices differ: by the original rule and by the formulas.
        for (int e = 0; e < 2; ++e) {
            Reprice(e == 0);
            auto text = kivo::ExportRosters(kivo::RosterFiles(data), kivo::RosterFormat::Csv);
            if (!text) throw std::runtime_error(text.error().text);
            exports[e] = *text;
        }
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    void Reprice(bool original) const {
        kivo::RepriceOptions options;
        options.original = original;
        auto plan = kivo::PlanReprice(kivo::LeagueTeamFiles(data), options);
        if (!plan) throw std::runtime_error(plan.error().text);
        kivo::BackupRun backups;
        if (auto st = kivo::ApplyReprice(backups, *plan); !st) throw std::runtime_error(st.error().text);
    }
};

Workspace& Sample() {
    static Workspace w;
    return w;
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Each file read whole and written back whole through a temporary file renamed over it. `durable`: as any
// writer that keeps a game file safe writes it (and as the jobs must): the temporary flushed to disk before
// its rename, the folder flushed once at the end. Without: the bare floor, which no safe write reaches.
double ReadWriteOnce(const std::vector<std::string>& files, bool durable) {
    const auto start = Clock::now();
    for (const std::string& f : files) {
        std::string bytes;
        {
            std::ifstream in(f, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            bytes = text.str();
        }
        const std::string temporary = f + ".bench";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            (durable && ::fsync(fd) != 0) || ::close(fd) != 0)
            throw std::runtime_error("cannot write " + temporary);
        fs::rename(temporary, f);
    }
    if (durable && !files.empty()) {
        const int dir = ::open(fs::path(files.front()).parent_path().c_str(), O_RDONLY | O_DIRECTORY);
        if (dir < 0 || ::fsync(dir) != 0 || ::close(dir) != 0) throw std::runtime_error("cannot flush");
    }
    return Since(start);
}

// Reports the job's time against both floors.
void Ratios(benchmark::State& state, double ours, double durable, double bare) {
    const auto n = static_cast<double>(state.iterations());
    state.counters["read_write_seconds"] = durable / n;
    state.counters["ratio_to_read_write"] = ours / durable;
    state.counters["ratio_to_unflushed_read_write"] = ours / bare;
}

// Times `job` in each iteration, then reads and writes the files once each way.
template <class Job>
void AgainstReadWrite(benchmark::State& state, const std::vector<std::string>& files, Job job) {
    double durable = 0, bare = 0, ours = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        job();
        const double a = Since(start);
        ours += a;
        durable += ReadWriteOnce(files, true);
        bare += ReadWriteOnce(files, false);
        state.SetIterationTime(a);
    }
    Ratios(state, ours, durable, bare);
}

void BM_RepriceAgainstReadWrite(benchmark::State& state) {
    Workspace& w = Sample();
    bool original = true;
    AgainstReadWrite(state, kivo::LeagueTeamFiles(w.data), [&] { w.Reprice(original = !original); });
}
BENCHMARK(BM_RepriceAgainstReadWrite)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);

void BM_ImportFullExportAgainstReadWrite(benchmark::State& state) {
    Workspace& w = Sample();
    int which = 1;
    AgainstReadWrite(state, kivo::RosterFiles(w.data), [&] {
        which = 1 - which;
        const auto plan = kivo::PlanRosterImport(w.data, w.exports[which]);
        if (!plan.ok()) throw std::runtime_error(kivo::ProblemLine(plan.problems.front()));
        kivo::BackupRun backups;
        if (auto st = kivo::ApplyRosterImport(backups, plan); !st) throw std::runtime_error(st.error().text);
        state.counters["teams_written"] = static_cast<double>(plan.teams.size());
    });
}
BENCHMARK(BM_ImportFullExportAgainstReadWrite)->UseManualTime()->Iterations(6)->Unit(benchmark::kMillisecond);

// The export imported back as it came out: every row checked, nothing to write.
void BM_ImportUnchangedExportAgainstReadWrite(benchmark::State& state) {
    Workspace& w = Sample();
    const auto files = kivo::RosterFiles(w.data);
    const auto current = kivo::ExportRosters(files, kivo::RosterFormat::Csv);
    if (!current) throw std::runtime_error(current.error().text);
    AgainstReadWrite(state, files, [&] {
        const auto plan = kivo::PlanRosterImport(w.data, *current);
        if (!plan.ok() || !plan.teams.empty())
            throw std::runtime_error("the export does not import back unchanged");
    });
}
BENCHMARK(BM_ImportUnchangedExportAgainstReadWrite)
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);

double CommandSeconds(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(("cd '" + Sample().dir.string() + "' && " + command + " >/dev/null").c_str()) != 0)
        throw std::runtime_error("failed: " + command);
    return Since(start);
}

void BM_ExportAgainstPlayersList(benchmark::State& state) {
    const std::string cli = std::string("'") + KIVO_CLI_PATH + "'";
    double ours = 0, list = 0;
    CommandSeconds(cli + " export data"); // warm the page cache
    for (auto _ : state) {
        const double a = CommandSeconds(cli + " export data");
        ours += a;
        list += CommandSeconds(cli + " players list --csv");
        state.SetIterationTime(a);
    }
    state.counters["players_list_seconds"] = list / static_cast<double>(state.iterations());
    state.counters["ratio_to_players_list"] = ours / list;
}
BENCHMARK(BM_ExportAgainstPlayersList)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
