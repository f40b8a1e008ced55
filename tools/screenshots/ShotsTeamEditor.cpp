#include <string>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "core/gamefiles/TeamFile.h"
#include "editor/app/Principal.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/TaskWindows.h"
#include "tools/screenshots/ShotSupport.h"

namespace kivo::editor {

namespace {

// The sample team whose two kits look most unlike: different designs, the main one not plain.
std::int64_t ColourfulTeam(const std::vector<TeamRecord>& teams) {
    for (std::size_t k = 0; k < teams.size(); ++k) {
        const Kit& a = teams[k].uniformePrincipal;
        const Kit& b = teams[k].uniformeSecundario;
        if (a.disenioCamiseta != 0 && a.disenioCamiseta != b.disenioCamiseta &&
            a.colorBaseCamiseta != a.colorOtroCamiseta && b.colorBaseCamiseta != b.colorOtroCamiseta)
            return static_cast<std::int64_t>(k);
    }
    return 0;
}

} // namespace

// The four tabs of the team editor on a team of England's sample file; closed by its close box, so the
// workspace is not written.
void ShootTeamEditor(Shots& shots, Principal& frame, const char* suffix) {
    EditorState& g = Globals();
    g.TeamFilePath = "data/TEAM.008";
    auto teams = ReadTeams(g.TeamFilePath);
    if (!teams.ok() || teams->empty()) {
        std::fprintf(stderr, "team editor: %s\n", teams.ok() ? "no teams" : teams.error().text.c_str());
        ++shots.failures;
        return;
    }
    g.SelectedTeamIndex = ColourfulTeam(*teams);
    g.TeamRecordBuffer = (*teams)[static_cast<std::size_t>(g.SelectedTeamIndex)];

    auto* task = new QWidget;
    task->setWindowTitle(QStringLiteral("Browse Teams"));
    OpenTaskWindow(task);
    auto* editor = new ActualizarEquipo;
    OpenModalOnTask(task, editor, nullptr);
    QWidget* window = TaskFrameOf(editor);
    if (window->parentWidget() != nullptr && frame.taskArea())
        frame.taskArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window));
    const char* names[] = {"editor-general", "editor-main-kit", "editor-secondary-kit", "editor-players"};
    for (int tab = 0; tab < 4; ++tab) {
        editor->tabs()->setCurrentIndex(tab);
        // The Players tab after a price computation, so that the undo button tells what it would undo.
        if (tab == 3) editor->computeAllButton()->click();
        const std::string name = std::string(names[tab]) + suffix;
        Save(shots, window, name.c_str());
    }
    // Where it stands in the frame, as a user sees it.
    Save(shots, &frame, (std::string("editor-in-frame") + suffix).c_str());
    // The computed prices are edits: the close box asks whether to drop them; they are dropped.
    Globals().MessageAnswerer = [](const MessageSpec&) { return MessageButton::Yes; };
    window->close();
    Globals().MessageAnswerer = nullptr;
    if (QWidget* taskFrame = TaskFrameOf(task)) taskFrame->close();
}

} // namespace kivo::editor
