// The marked-players report on the sample database (about 27,000 players): painting its pages on a PDF
// printer and opening its preview, for 500 marked players (the figure the report's progress is sized on)
// and for every player marked (a search with no criterion). Times are per whole report.

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPrinter>

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "core/sampledata/SampleData.h"
#include "editor/app/ProgramEntry.h"
#include "editor/players/ImprimirJugadoresMarcados.h"
#include "editor/ui/ReportPreview.h"

namespace {

namespace fs = std::filesystem;
using namespace kivo;
using namespace kivo::editor;

QApplication& App() {
    static int argc = 1;
    static char name[] = "marked_report_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static const bool prepared = (PrepareApplication(app), true);
    (void)prepared;
    return app;
}

// The sample database with mark 1 on every player and mark 2 on the first 500.
struct Sample {
    fs::path dir;
    std::vector<MarkedPlayerBlock> all, first500;
    Sample() {
        dir = fs::temp_directory_path() / ("kivo-report-bench-" + std::to_string(std::random_device{}()));
        const std::string data = (dir / "data").string();
        if (auto written = WriteSampleData(data, {1, 1}); !written)
            throw std::runtime_error(written.error().text);
        const std::string path = (dir / "JUGADORES").string();
        NoProgress quiet;
        if (auto built = CrearArchivoJugadores(path, data, quiet); !built)
            throw std::runtime_error(built.error().text);
        auto db = PlayerDatabase::Open(path, true);
        if (!db) throw std::runtime_error(db.error().text);
        db->connection().exec("UPDATE jugadores SET marca = CASE WHEN id <= 500 THEN 2 ELSE 1 END");
        for (int mark : {1, 2}) {
            auto report = kivo::ImprimirJugadoresMarcados(*db, static_cast<std::uint8_t>(mark), quiet);
            if (!report) throw std::runtime_error(report.error().text);
            for (const PlayerListEntry& e : report->rows)
                (mark == 1 ? all : first500).push_back(MarkedPlayerBlockOf(e.row));
        }
        all.insert(all.begin(), first500.begin(), first500.end());
    }
    ~Sample() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

Sample& Data() {
    App();
    static Sample s;
    return s;
}

const std::vector<MarkedPlayerBlock>& Blocks(const benchmark::State& state) {
    return state.range(0) == 0 ? Data().first500 : Data().all;
}

void BM_PaintReportOnPdf(benchmark::State& state) {
    const auto& blocks = Blocks(state);
    const std::string pdf = (Data().dir / "report.pdf").string();
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        pages = PaintMarkedPlayers(&printer, QStringLiteral("Marked Players (Mark 1)"), blocks);
    }
    state.counters["players"] = static_cast<double>(blocks.size());
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PaintReportOnPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenPreview(benchmark::State& state) {
    const auto& blocks = Blocks(state);
    int pages = 0;
    for (auto _ : state) {
        ReportPreview preview([&blocks](QPrinter* printer) {
            PaintMarkedPlayers(printer, QStringLiteral("Marked Players"), blocks);
        });
        pages = preview.pageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_OpenPreview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
