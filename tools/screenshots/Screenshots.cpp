// Renders the editor's windows to PNG files for the documentation, each at the size it opens with:
//   kivo-editor-screenshots OUTDIR [--team-editor-only]
// run in the workspace directory (its data/TEAM.008 fills the sample report).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include "core/gamefiles/TeamFile.h"
#include "core/players/PlayerRow.h"
#include "core/support/FixedText.h"
#include "editor/app/Presentacion.h"
#include "editor/app/Principal.h"
#include "editor/app/ProgramEntry.h"
#include "editor/players/ImprimirJugadoresMarcados.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportDisplayWindow.h"
#include "editor/ui/ReportJumpWindow.h"
#include "editor/ui/ReportPreview.h"
#include "tools/screenshots/ShotSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

// A real marked-players report over the sample data: the players of a few teams of England's file, as the
// report of a search that marked them prints them (two pages).
PagedReport SampleReport() {
    auto blocks = std::make_shared<std::vector<MarkedPlayerBlock>>();
    if (Result<std::vector<TeamRecord>> teams =
            ReadTeams((std::filesystem::path("data") / "TEAM.008").string()))
        for (std::size_t t = 0; t < teams->size() && blocks->size() < 40; ++t)
            for (std::size_t slot = 0; slot < kPlayersPerTeam; slot += 2)
                blocks->push_back(MarkedPlayerBlockOf(MakePlayerRow((*teams)[t], slot)));
    return MarkedPlayersPages(QStringLiteral("Marked Players (Mark 1)"), blocks);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kivo-editor-screenshots OUTDIR [--team-editor-only]\n");
        return 2;
    }
    // A second run at another scale factor renders just the team editor, under names of their own.
    const bool editorOnly = argc > 2 && std::string(argv[2]) == "--team-editor-only";
    Shots shots{QString::fromLocal8Bit(argv[1])};
    QDir().mkpath(shots.out);
    PrepareApplication(app);
    ResetGlobals();
    QTemporaryDir placement; // the user's own window placement stays out of the pictures
    Globals().PlacementDirectory = placement.path();
    Globals().StartDirectory = QDir::currentPath().toStdString();
    Globals().HelpFile = QStringLiteral(":/help");

    Principal frame;
    frame.Start(false);
    if (editorOnly) {
        ShootTeamEditor(shots, frame, "-scale2");
        frame.close();
        return shots.failures == 0 ? 0 : 1;
    }
    Save(shots, &frame, "frame");

    frame.OpenTeamFileForEditing();
    Save(shots, &frame, "frame-task");
    frame.taskArea()->closeAllSubWindows();

    Presentacion splash;
    splash.timer()->stop();
    Save(shots, &splash, "splash");
    splash.hide();

    ReportPreview preview(SampleReport());
    Save(shots, &preview, "preview");
    preview.SetDisplay(2, 1);
    Save(shots, &preview, "preview-two-pages");

    ReportJumpWindow jump(1, preview.pageCount());
    Save(shots, &jump, "preview-jump");
    ReportDisplayWindow display(2, 1);
    Save(shots, &display, "preview-display");
    preview.hide();

    HelpViewer* help = HelpViewer::Instance();
    help->ShowKeyword(QStringLiteral("Main"));
    Save(shots, help, "help");
    help->ShowSearch();
    help->searchField()->setText(QStringLiteral("clipboard"));
    QMetaObject::invokeMethod(help->searchField(), "returnPressed");
    Save(shots, help, "help-search");
    help->hide();

    // The build of the players' file, reading England's file.
    ProgressWindow progress(false);
    ProgressState state;
    state.title = "Creating File";
    state.label1 = "Reading File:";
    state.value1 = 8;
    state.label2 = "Team:";
    state.value2 = 12;
    state.percent = 7 * 90 / 85;
    progress.Show(state);
    Save(shots, &progress, "progress");

    QMessageBox box(QMessageBox::Information, QStringLiteral("ERROR"),
                    QStringLiteral("Only ONE File can be Edited at the Same Time"), QMessageBox::Ok);
    Save(shots, &box, "message");

    ShootTeamWindows(shots, frame);
    ShootPlayerWindows(shots, frame);
    ShootClipboardPricesAndMarket(shots, frame);

    frame.close();
    return shots.failures == 0 ? 0 : 1;
}
