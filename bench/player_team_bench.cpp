// Opening a found player's team from "Browse Players" on a scale-10 sample (its database of about 270,000
// rows): Enter on a row until the team editor is on screen at the player's row, then Cancel. Target: under
// 100 ms.

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "core/players/CrearArchivoJugadores.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/app/ProgramEntry.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/players/PlayerListModel.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"

namespace {

namespace fs = std::filesystem;
using kivo::editor::Globals;

QApplication& App() {
    static int argc = 1;
    static char name[] = "player_team_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static const bool prepared = (kivo::editor::PrepareApplication(app), true);
    (void)prepared;
    return app;
}

kivo::editor::ActualizarEquipo* OpenEditor() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* e = qobject_cast<kivo::editor::ActualizarEquipo*>(w); e && e->isVisible()) return e;
    return nullptr;
}

void BM_OpenPlayersTeamFromBrowser(benchmark::State& state) {
    App();
    const fs::path dir =
        fs::temp_directory_path() / ("kivo-team-bench-" + std::to_string(std::random_device{}()));
    const std::string data = (dir / "data").string();
    if (auto written = kivo::WriteSampleData(data, {1, 10}); !written)
        throw std::runtime_error(written.error().text);
    kivo::NoProgress quiet;
    if (auto built = kivo::CrearArchivoJugadores((dir / "JUGADORES").string(), data, quiet); !built)
        throw std::runtime_error(built.error().text);
    auto& g = Globals();
    g.StartDirectory = dir.string();
    g.PlacementDirectory = QString::fromStdString(dir.string());
    g.ClipboardFilePath = (dir / "portapap.tps").string();
    // Cancel never asks: nothing is edited.
    g.MessageAnswerer = [](const kivo::editor::MessageSpec&) { return kivo::editor::MessageButton::Yes; };
    kivo::WriteIniText(kivo::editor::VentanasPath(), kivo::kConfigSection, kivo::kDirectorioKivo, data);

    auto* browser = new kivo::editor::BrowserBusquedas;
    browser->resize(1000, 600);
    browser->show();
    QTableView* list = browser->list();
    for (int round = 0; round < 100000 && !browser->model()->settled(); ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    int row = 0;
    for (auto _ : state) {
        list->setCurrentIndex(browser->model()->index(row, 0));
        row = (row + 37) % 40;
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(list, Qt::Key_Return);
        kivo::editor::ActualizarEquipo* editor = OpenEditor();
        QCoreApplication::processEvents();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (!editor) throw std::runtime_error("the team editor did not open");
        QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    browser->close();
    delete browser;
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_OpenPlayersTeamFromBrowser)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

} // namespace
