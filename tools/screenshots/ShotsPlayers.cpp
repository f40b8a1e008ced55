#include <filesystem>
#include <memory>

#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "editor/app/Principal.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/ImprimirJugadoresMarcados.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "tools/screenshots/ShotSupport.h"

namespace kivo::editor {

namespace {

// Keeps the states a pass sends, to show its window as it looks midway.
class StepRecorder final : public Progress {
public:
    bool Update(const ProgressState& state) override {
        states.push_back(state);
        return true;
    }
    std::vector<ProgressState> states;
};

void ShootJobs(Shots& shots, const std::string& database) {
    // The directory windows start at the configured directory and set the global to it: the data is here.
    const std::string data = Globals().BatchDataDirectory;
    ElegirDirectorioCrearArchivoJugadores build;
    Save(shots, &build, "create-file");
    build.hide();

    ActualizarArchivoTodos update;
    // The window as it looks once a team file has been chosen.
    const QString team = QString::fromStdString((std::filesystem::path(data) / "TEAM.005").string());
    ActualizarArchivoTodos::DialogAnswerer() = [team](QWidget* dialog) {
        static_cast<QFileDialog*>(dialog)->selectFile(team);
        static_cast<QDialog*>(dialog)->accept();
    };
    update.selectButton()->click();
    ActualizarArchivoTodos::DialogAnswerer() = nullptr;
    Save(shots, &update, "update-file");
    update.hide();

    FormularioBusqueda form(3);
    form.positionList()->setCurrentText(QStringLiteral("D"));
    form.skillEntry(0)->setValue(10);
    form.skillEntry(3)->setValue(12);
    Save(shots, &form, "search-form");
    const SearchCriteria criteria = form.Criteria();
    form.hide();

    auto db = PlayerDatabase::Open(database, true);
    if (!db) return;
    StepRecorder steps;
    (void)BuscarYMarcar(*db, criteria, 3, steps);
    if (steps.states.empty()) return;
    ProgressWindow progress(true);
    progress.Show(steps.states[steps.states.size() * 2 / 5]);
    Save(shots, &progress, "marking-progress");
    progress.hide();

    NoProgress quiet;
    auto report = kivo::ImprimirJugadoresMarcados(*db, 3, quiet);
    if (!report) return;
    auto blocks = std::make_shared<std::vector<MarkedPlayerBlock>>();
    for (const PlayerListEntry& e : report->rows)
        blocks->push_back(MarkedPlayerBlockOf(e.row));
    ReportPreview preview(MarkedPlayersPages(QString::fromStdString(report->title), blocks));
    Save(shots, &preview, "marked-players");
    preview.hide();
}

} // namespace

void ShootPlayerWindows(Shots& shots, Principal& frame) {
    ShootPlayerBrowser(shots, frame);

    // The jobs' pictures work on a database of their own, built from the workspace's data/, so that the
    // workspace's JUGADORES and its marks stay as they are.
    QTemporaryDir start;
    EditorState& g = Globals();
    const std::string startDirectory = g.StartDirectory;
    const std::string batchDirectory = g.BatchDataDirectory;
    g.StartDirectory = start.path().toStdString();
    g.BatchDataDirectory = (std::filesystem::path(startDirectory) / "data").string();
    NoProgress quiet;
    const std::string database = (std::filesystem::path(g.StartDirectory) / kPlayerDatabaseFileName).string();
    if (CrearArchivoJugadores(database, g.BatchDataDirectory, quiet))
        ShootJobs(shots, database);
    else
        ++shots.failures;
    g.StartDirectory = startDirectory;
    g.BatchDataDirectory = batchDirectory;
}

} // namespace kivo::editor
