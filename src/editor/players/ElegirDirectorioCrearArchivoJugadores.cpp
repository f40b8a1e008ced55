#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"

#include "editor/app/EditorState.h"
#include "editor/app/PlaceholderTask.h"
#include "editor/app/TaskWindows.h"

namespace kivo::editor {

void StartElegirDirectorioCrearArchivoJugadores() {
    OpenTaskWindow(new PlaceholderTask(QStringLiteral("Start Creating File"),
                                       QStringLiteral("Create Players File"), [] {}));
}

} // namespace kivo::editor
