#include <filesystem>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/MarkingPasses.h"
#include "core/players/PlayerDatabase.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/app/Principal.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/players/PlayerListModel.h"
#include "tools/screenshots/ShotSupport.h"

namespace kivo::editor {

namespace {

// Runs events until the list has read what it shows.
void Settle(BrowserBusquedas& browser) {
    QElapsedTimer timer;
    timer.start();
    int quiet = 0;
    while (timer.elapsed() < 5000 && quiet < 5) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        quiet = browser.model()->settled() ? quiet + 1 : 0;
    }
}

void Shoot(Shots& shots, BrowserBusquedas& browser, int tab, const char* name) {
    browser.tabs()->setCurrentIndex(tab);
    Settle(browser);
    Save(shots, &browser, name);
}

} // namespace

void ShootPlayerBrowser(Shots& shots, Principal&) {
    // A database of its own, built from the workspace's data/ with a few players marked 3, so that the
    // workspace's JUGADORES and its marks stay as they are.
    QTemporaryDir start;
    EditorState& g = Globals();
    const std::string startDirectory = g.StartDirectory;
    g.StartDirectory = start.path().toStdString();
    const std::string data = (std::filesystem::path(startDirectory) / "data").string();
    NoProgress quiet;
    bool built = CrearArchivoJugadores(PlayerDatabasePath(), data, quiet).ok();
    if (built) {
        auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
        SearchCriteria strong;
        strong.minimums[0] = 12;
        strong.minimums[6] = 12;
        built = db && BuscarYMarcar(*db, strong, 3, quiet).ok();
    }
    if (!built) {
        ++shots.failures;
        g.StartDirectory = startDirectory;
        return;
    }
    {
        BrowserBusquedas browser;
        browser.show();
        Shoot(shots, browser, BrowserBusquedas::kNameTab, "browse-players-name");
        Shoot(shots, browser, 2, "browse-players-passing");
        browser.markEntry()->setText(QStringLiteral("3"));
        Shoot(shots, browser, BrowserBusquedas::kMarkTab, "browse-players-mark");
        browser.filterEntry()->setText(QStringLiteral("ar"));
        Shoot(shots, browser, 9, "browse-players-quick-filter");
        browser.close();
    }
    g.StartDirectory = startDirectory;
}

} // namespace kivo::editor
