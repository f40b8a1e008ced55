// Opening the team editor on a team of the sample data, and pressing OK (encode, write the record).
#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include "core/gamefiles/TeamFile.h"
#include "core/sampledata/SampleData.h"
#include "editor/ui/EditorState.h"
#include "editor/app/ProgramEntry.h"
#include "editor/teams/ActualizarEquipo.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

// One application and one sample data directory for the whole run.
struct Setting {
    Setting() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
        PrepareApplication(*app);
        dir = std::filesystem::temp_directory_path() / ("kivo-editor-bench-" + std::to_string(::getpid()));
        WriteSampleData(dir.string(), {});
        ResetGlobals();
        EditorState& g = Globals();
        g.StartDirectory = dir.string();
        g.PlacementDirectory = QString::fromStdString(dir.string());
        g.TeamFilePath = (dir / "TEAM.008").string();
        g.ClipboardFilePath = (dir / "portapap.tps").string();
        g.Prices = std::make_shared<PriceEvaluator>();
        g.SelectedTeamIndex = 2;
    }
    ~Setting() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    void LoadTeam() { Globals().TeamRecordBuffer = *ReadTeam(Globals().TeamFilePath, 2); }

    int argc = 1;
    char name[20] = "team_editor_bench";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
    std::filesystem::path dir;
};

Setting& Shared() {
    static Setting setting;
    return setting;
}

// From the constructor to the window shown and laid out, as the browser's Edit Team opens it.
void BM_OpenTeamEditor(benchmark::State& state) {
    Setting& s = Shared();
    s.LoadTeam();
    for (auto _ : state) {
        auto* editor = new ActualizarEquipo;
        editor->show();
        QApplication::processEvents();
        state.PauseTiming();
        editor->close();
        delete editor;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTeamEditor)->Unit(benchmark::kMillisecond);

// OK on an open editor with a changed team: encode, back up (once per run), write, close.
void BM_PressOk(benchmark::State& state) {
    Setting& s = Shared();
    for (auto _ : state) {
        state.PauseTiming();
        s.LoadTeam();
        auto* editor = new ActualizarEquipo;
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->show();
        QApplication::processEvents();
        editor->computeOriginalButton()->click();
        state.ResumeTiming();
        editor->okButton()->click();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_PressOk)->Unit(benchmark::kMillisecond);

} // namespace
