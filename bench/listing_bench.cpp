// The listings of kivo-cli against the sqlite3 shell's own output of the same rows, in the same run:
// `kivo-cli players list --json` beside `sqlite3 -json`, `--csv` beside `sqlite3 -csv`, both to /dev/null,
// on the synthetic sample data at scale 10 (about 240,000 rows). Target: kivo-cli within 1.3x of the shell.
//
// The ratio is printed as the counter "ratio_to_sqlite3" of the kivo-cli rows.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "core/players/CrearArchivoJugadores.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;

struct Workspace {
    fs::path dir;
    Workspace() {
        dir = fs::temp_directory_path() / ("kivo-listing-bench-" + std::to_string(std::random_device{}()));
        auto written = kivo::WriteSampleData((dir / "data").string(), {1, 10});
        if (!written) throw std::runtime_error(written.error().text);
        kivo::NoProgress quiet;
        auto built =
            kivo::CrearArchivoJugadores((dir / "JUGADORES").string(), (dir / "data").string(), quiet);
        if (!built) throw std::runtime_error(built.error().text);
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Workspace& Sample() {
    static Workspace w;
    return w;
}

// The rows of the name order, as `players list` lists them by default: the stored columns (not the folded
// name, which the shell would compute for every row) in the order of key_nombre.
const char* kNameOrder = "SELECT id, pais, nombre_equipo, division, nacionalidad, nro_camiseta, "
                         "nombre_jugador, puesto, pase, tiro, "
                         "cabeceo, quite, gambeta, velocidad, definicion, valor_pase, marca FROM jugadores "
                         "WHERE nombre_clave <> '' "
                         "ORDER BY nombre_clave, id";

double Seconds(const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string In(const std::string& command) {
    return "cd '" + Sample().dir.string() + "' && " + command + " >/dev/null";
}

// Each iteration runs both commands one after the other, so that both meet the same machine load.
void Compare(benchmark::State& state, const std::string& ours, const std::string& shell) {
    double oursTotal = 0, shellTotal = 0;
    Seconds(In(ours)); // warm the page cache for both
    for (auto _ : state) {
        const double a = Seconds(In(ours));
        const double b = Seconds(In(shell));
        oursTotal += a;
        shellTotal += b;
        state.SetIterationTime(a);
    }
    state.counters["sqlite3_seconds"] = shellTotal / static_cast<double>(state.iterations());
    state.counters["ratio_to_sqlite3"] = oursTotal / shellTotal;
}

void BM_ListJsonAgainstSqlite3(benchmark::State& state) {
    Compare(state, std::string("'") + KIVO_CLI_PATH + "' players list --json",
            std::string("sqlite3 -json JUGADORES \"") + kNameOrder + "\"");
}
BENCHMARK(BM_ListJsonAgainstSqlite3)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_ListCsvAgainstSqlite3(benchmark::State& state) {
    Compare(state, std::string("'") + KIVO_CLI_PATH + "' players list --csv",
            std::string("sqlite3 -csv -header JUGADORES \"") + kNameOrder + "\"");
}
BENCHMARK(BM_ListCsvAgainstSqlite3)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace
