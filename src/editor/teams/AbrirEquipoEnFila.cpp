#include "editor/teams/AbrirEquipoEnFila.h"

#include <QObject>
#include <QString>

#include "core/gamefiles/TeamFile.h"
#include "core/support/FixedText.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/TaskWindows.h"

namespace kivo::editor {

namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

void Refuse(const QString& text, QWidget* parent) {
    ShowInformation(QStringLiteral("ERROR"), text, parent);
}

} // namespace

bool OpenTeamAtRow(QWidget* task, const TeamAtRow& where, std::function<void(const TeamRecord&)> saved) {
    EditorState& g = Globals();
    if (g.CatalogueOpen || g.TeamFileUseCount > 0) {
        const QString which = g.TeamFileUseCount > 0
                                  ? QStringLiteral("The file ") + Latin1(TrimRight(g.TeamFilePath))
                                  : QStringLiteral("The \"Team Files\" window");
        Refuse(QStringLiteral("Only ONE File can be Edited at the Same Time.\n") + which +
                   QStringLiteral(" is open for editing: close it first."),
               task);
        return false;
    }
    // Read here, so that a missing or read-only file is a message and not the end of the program (the
    // editor's own open stops it).
    auto file = TeamFile::Open(where.path, TeamFile::Mode::ReadWrite);
    if (!file) {
        Refuse(Latin1(file.error().text), task);
        return false;
    }
    auto team = file->ReadTeam(static_cast<std::uint64_t>(where.team));
    if (!team) {
        Refuse(Latin1(team.error().text), task);
        return false;
    }
    if (where.slot >= 1 && where.slot <= static_cast<int>(kPlayersPerTeam) && !where.expectedName.empty()) {
        const std::string there =
            FieldValue(team->jugador[static_cast<std::size_t>(where.slot - 1)].nombreJugador);
        if (there != where.expectedName) {
            Refuse(QStringLiteral("Slot %1 of team %2 of %3 holds \"%4\", not \"%5\": the players' database "
                                  "is out of date. Update it from this file (\"Update One Team File\") or "
                                  "build it again.")
                       .arg(where.slot)
                       .arg(where.team)
                       .arg(Latin1(file->path()), Latin1(there), Latin1(where.expectedName)),
                   task);
            return false;
        }
    }
    g.TeamFilePath = file->path();
    g.TeamRecordBuffer = *team;
    g.SelectedTeamIndex = where.team;
    g.CatalogueOpen = true;
    auto* editor = new ActualizarEquipo;
    if (where.slot >= 1) editor->FocusPlayerRow(where.slot - 1);
    // Whatever becomes of the task, the one-file rule ends with the editor.
    QObject::connect(editor, &QObject::destroyed, [] { Globals().CatalogueOpen = false; });
    OpenModalOnTask(task, editor, [saved = std::move(saved)](int response) {
        // The editor leaves the saved record in the buffer.
        if (response == kResponseCompleted && saved) saved(Globals().TeamRecordBuffer);
    });
    return true;
}

} // namespace kivo::editor
