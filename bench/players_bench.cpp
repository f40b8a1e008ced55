// The all-players database on the synthetic sample data: the build beside a floor that does the same reads
// and inserts with nothing of the project's code, the marking passes, the one-file update and the listings.
//
// Targets: build at scale 1 under 0.5 s and within 1.5x of the floor, scale 10 under 12x scale 1; a pass
// with no criterion under 100 ms, a nationality pass under 10 ms, a one-file update under 50 ms, the first
// 100 rows of any order under 5 ms, all rows under 150 ms.

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "core/gamefiles/Catalogue.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerOrders.h"
#include "core/players/ProcesoActualizacionArchivo.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;

// Sample data of one scale and a database built from it, made once per run.
struct Workspace {
    fs::path dir;
    std::string data;
    std::string database;
    std::int64_t rows = 0;

    explicit Workspace(std::uint32_t scale) {
        dir = fs::temp_directory_path() / ("kivo-players-bench-" + std::to_string(std::random_device{}()));
        data = (dir / "data").string();
        database = (dir / "JUGADORES").string();
        auto written = kivo::WriteSampleData(data, {1, scale});
        if (!written) throw std::runtime_error(written.error().text);
        kivo::NoProgress quiet;
        auto built = kivo::CrearArchivoJugadores(database, data, quiet);
        if (!built) throw std::runtime_error(built.error().text);
        rows = built->rows;
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Workspace& Sample(std::uint32_t scale) {
    static std::map<std::uint32_t, std::unique_ptr<Workspace>> workspaces;
    auto& w = workspaces[scale];
    if (!w) w = std::make_unique<Workspace>(scale);
    return *w;
}

kivo::PlayerDatabase Open(const Workspace& w) {
    auto db = kivo::PlayerDatabase::Open(w.database, false);
    if (!db) throw std::runtime_error(db.error().text);
    return std::move(*db);
}

void Check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(sqlite3_errmsg(db));
}

void BM_Build(benchmark::State& state) {
    Workspace& w = Sample(static_cast<std::uint32_t>(state.range(0)));
    const std::string target = (w.dir / "JUGADORES.build").string();
    kivo::NoProgress quiet;
    for (auto _ : state) {
        auto built = kivo::CrearArchivoJugadores(target, w.data, quiet);
        if (!built) state.SkipWithError(built.error().text.c_str());
    }
    state.counters["rows"] = static_cast<double>(w.rows);
}

// The least the build can cost: the same files read whole, the same fields taken from the same offsets,
// one prepared INSERT in one transaction, then the thirteen CREATE INDEX statements, into a new file with
// the same journal and sync settings.
void BM_BuildFloor(benchmark::State& state) {
    Workspace& w = Sample(static_cast<std::uint32_t>(state.range(0)));
    const std::string target = (w.dir / "JUGADORES.floor").string();
    for (auto _ : state) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            std::remove((target + suffix).c_str());
        sqlite3* db = nullptr;
        Check(sqlite3_open(target.c_str(), &db), db);
        // The same storage settings as the database's own: WAL (other processes keep reading) and NORMAL
        // sync.
        Check(sqlite3_exec(
                  db,
                  "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; CREATE TABLE j (id INTEGER PRIMARY "
                  "KEY, pais INT, nombre_equipo TEXT, division INT, "
                  "nacionalidad INT, nro_camiseta INT, nombre_jugador TEXT COLLATE NOCASE, puesto INT, "
                  "pase INT, tiro INT, cabeceo INT, quite INT, gambeta INT, velocidad INT, definicion INT, "
                  "valor_pase INT, marca INT); BEGIN",
                  nullptr, nullptr, nullptr),
              db);
        sqlite3_stmt* insert = nullptr;
        Check(sqlite3_prepare_v2(db, "INSERT INTO j VALUES (NULL,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,0)", -1,
                                 &insert, nullptr),
              db);
        std::vector<unsigned char> bytes;
        for (int n = 1; n <= 85; ++n) {
            std::FILE* f = std::fopen(kivo::BatchTeamFilePath(w.data, n).c_str(), "rb");
            if (!f) continue;
            std::fseek(f, 0, SEEK_END);
            bytes.resize(static_cast<std::size_t>(std::ftell(f)));
            std::fseek(f, 0, SEEK_SET);
            const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
            if (got < 2) break;
            for (std::size_t at = 2; at + 684 <= got; at += 684) {
                const unsigned char* t = bytes.data() + at;
                for (int s = 0; s < 16; ++s) {
                    const unsigned char* p = t + 76 + 38 * s;
                    auto text = [](const unsigned char* field, int width) {
                        int len = 0;
                        while (len < width && field[len] != 0)
                            ++len;
                        return len;
                    };
                    sqlite3_bind_int(insert, 1, t[0]);
                    sqlite3_bind_text(insert, 2, reinterpret_cast<const char*>(t + 5), text(t + 5, 19),
                                      SQLITE_STATIC);
                    sqlite3_bind_int(insert, 3, t[25]);
                    sqlite3_bind_int(insert, 4, p[0]);
                    sqlite3_bind_int(insert, 5, p[2]);
                    sqlite3_bind_text(insert, 6, reinterpret_cast<const char*>(p + 3), text(p + 3, 23),
                                      SQLITE_STATIC);
                    sqlite3_bind_int(insert, 7, p[26] >> 5);
                    sqlite3_bind_int(insert, 8, p[28]);
                    sqlite3_bind_int(insert, 9, p[29] >> 4);
                    sqlite3_bind_int(insert, 10, p[29] & 15);
                    sqlite3_bind_int(insert, 11, p[30] >> 4);
                    sqlite3_bind_int(insert, 12, p[30] & 15);
                    sqlite3_bind_int(insert, 13, p[31] >> 4);
                    sqlite3_bind_int(insert, 14, p[31] & 15);
                    sqlite3_bind_int(insert, 15, p[32]);
                    Check(sqlite3_step(insert), db);
                    sqlite3_reset(insert);
                }
            }
        }
        sqlite3_finalize(insert);
        Check(sqlite3_exec(db,
                           "CREATE INDEX a ON j(nombre_jugador) WHERE rtrim(nombre_jugador) <> '';"
                           "CREATE INDEX b ON j(nacionalidad); CREATE INDEX c ON j(puesto);"
                           "CREATE INDEX d ON j(pase DESC); CREATE INDEX e ON j(tiro DESC);"
                           "CREATE INDEX f ON j(cabeceo DESC); CREATE INDEX g ON j(quite DESC);"
                           "CREATE INDEX h ON j(gambeta DESC); CREATE INDEX i ON j(velocidad DESC);"
                           "CREATE INDEX k ON j(definicion DESC); CREATE INDEX l ON j(valor_pase);"
                           "CREATE INDEX m ON j(marca) WHERE marca <> 0; CREATE INDEX n ON j(pais); COMMIT",
                           nullptr, nullptr, nullptr),
              db);
        sqlite3_close(db);
    }
}

BENCHMARK(BM_Build)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BuildFloor)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(5);

// Every row changes each time: the marks alternate between 1 and 2.
void BM_MarkNoCriterion(benchmark::State& state) {
    Workspace& w = Sample(1);
    auto db = Open(w);
    kivo::NoProgress quiet;
    std::uint8_t mark = 1;
    std::int64_t found = 0;
    for (auto _ : state) {
        auto outcome = kivo::BuscarYMarcar(db, {}, mark, quiet);
        if (!outcome) state.SkipWithError(outcome.error().text.c_str());
        found = outcome->found;
        mark = mark == 1 ? 2 : 1;
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_MarkNoCriterion)->Unit(benchmark::kMillisecond);

void BM_MarkNationality(benchmark::State& state) {
    Workspace& w = Sample(1);
    auto db = Open(w);
    kivo::NoProgress quiet;
    kivo::SearchCriteria criteria;
    criteria.nacionalidad = 99; // Kenya
    std::uint8_t mark = 3;
    std::int64_t found = 0;
    for (auto _ : state) {
        auto outcome = kivo::BuscarYMarcar(db, criteria, mark, quiet);
        if (!outcome) state.SkipWithError(outcome.error().text.c_str());
        found = outcome->found;
        mark = mark == 3 ? 4 : 3;
    }
    state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_MarkNationality)->Unit(benchmark::kMillisecond);

void BM_ClearMarks(benchmark::State& state) {
    Workspace& w = Sample(1);
    auto db = Open(w);
    kivo::NoProgress quiet;
    for (auto _ : state) {
        state.PauseTiming();
        db.connection().exec("UPDATE jugadores SET marca = 1 + id % 5");
        state.ResumeTiming();
        auto outcome = kivo::BorrarMarcas(db, 0, quiet);
        if (!outcome) state.SkipWithError(outcome.error().text.c_str());
    }
}
BENCHMARK(BM_ClearMarks)->Unit(benchmark::kMillisecond);

// The team file with the most teams.
void BM_UpdateOneFile(benchmark::State& state) {
    Workspace& w = Sample(1);
    auto db = Open(w);
    int biggest = 1;
    std::uintmax_t size = 0;
    for (int n = 1; n <= 85; ++n) {
        std::error_code ec;
        const auto s = fs::file_size(kivo::BatchTeamFilePath(w.data, n), ec);
        if (!ec && s > size) size = s, biggest = n;
    }
    kivo::NoProgress quiet;
    const std::string file = kivo::BatchTeamFilePath(w.data, biggest);
    for (auto _ : state) {
        auto summary =
            kivo::ProcesoActualizacionArchivo(db, file, static_cast<std::uint16_t>(biggest), quiet);
        if (!summary) state.SkipWithError(summary.error().text.c_str());
    }
    state.counters["rows"] = static_cast<double>((size - 2) / 684 * 16);
}
BENCHMARK(BM_UpdateOneFile)->Unit(benchmark::kMillisecond);

void BM_ListFirst100(benchmark::State& state) {
    Workspace& w = Sample(1);
    auto db = Open(w);
    const auto order = static_cast<kivo::PlayerOrder>(state.range(0));
    for (auto _ : state) {
        auto rows = kivo::ListPlayers(db, {.order = order, .limit = 100});
        if (!rows) state.SkipWithError(rows.error().text.c_str());
        benchmark::DoNotOptimize(rows->data());
    }
}
BENCHMARK(BM_ListFirst100)->DenseRange(0, 12)->Unit(benchmark::kMillisecond);

void BM_ListAll(benchmark::State& state) {
    Workspace& w = Sample(1);
    auto db = Open(w);
    // The mark order holds only marked rows: mark every row first so that it lists them all.
    if (state.range(0) == static_cast<int>(kivo::PlayerOrder::Mark))
        db.connection().exec("UPDATE jugadores SET marca = 1");
    const auto order = static_cast<kivo::PlayerOrder>(state.range(0));
    std::size_t count = 0;
    for (auto _ : state) {
        auto rows = kivo::ListPlayers(db, {.order = order, .limit = 0});
        if (!rows) state.SkipWithError(rows.error().text.c_str());
        count = rows->size();
    }
    state.counters["rows"] = static_cast<double>(count);
}
BENCHMARK(BM_ListAll)->DenseRange(0, 12)->Unit(benchmark::kMillisecond);

} // namespace
