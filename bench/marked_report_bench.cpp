// The marked-players report on the sample database (about 27,000 players): painting its pages on a PDF
// printer (time per whole report), and its preview: opening it until its first page shows, and scrolling
// it; for 500 marked players (the figure the report's progress is sized on) and for every player marked (a
// search with no criterion).

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QPrinter>
#include <QScrollBar>

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

// From the user's choice to the first page on the screen: the preview opened, shown and painted. Target:
// within the 100 ms budget of a step, whatever the number of pages.
void BM_PreviewFirstPage(benchmark::State& state) {
    const auto blocks = std::make_shared<const std::vector<MarkedPlayerBlock>>(Blocks(state));
    int pages = 0;
    double slowest = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        ReportPreview preview(MarkedPlayersPages(QStringLiteral("Marked Players"), blocks));
        preview.resize(820, 700);
        preview.show();
        const QPixmap shown = preview.grab();
        const double s = static_cast<double>(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(s);
        slowest = std::max(slowest, s);
        pages = preview.pageCount();
        benchmark::DoNotOptimize(shown);
    }
    state.counters["pages"] = pages;
    state.counters["slowest_ms"] = slowest * 1000.0;
    state.counters["budget_ms"] = 100;
}
BENCHMARK(BM_PreviewFirstPage)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Scrolling the preview of every player a screen at a time, from its first page on: each step until the
// pages then in view are painted.
void BM_PreviewScroll(benchmark::State& state) {
    const auto blocks = std::make_shared<const std::vector<MarkedPlayerBlock>>(Data().all);
    ReportPreview preview(MarkedPlayersPages(QStringLiteral("Marked Players"), blocks));
    preview.resize(820, 700);
    preview.show();
    (void)preview.grab();
    QScrollBar* bar = preview.pageView()->verticalScrollBar();
    double slowest = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
        const QPixmap shown = preview.pageView()->viewport()->grab();
        const double s = static_cast<double>(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(s);
        slowest = std::max(slowest, s);
        benchmark::DoNotOptimize(shown);
    }
    state.counters["pages"] = preview.pageCount();
    state.counters["slowest_ms"] = slowest * 1000.0;
    state.counters["budget_ms"] = 100;
}
BENCHMARK(BM_PreviewScroll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
