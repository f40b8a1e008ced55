#include "editor/teams/EquiposExistentes.h"

#include "editor/app/EditorState.h"
#include "editor/app/PlaceholderTask.h"
#include "editor/app/TaskWindows.h"

namespace kivo::editor {

void StartEquiposExistentes() {
    OpenTaskWindow(new PlaceholderTask(QStringLiteral("Team Files"), QStringLiteral("Opening Teams"),
                                       [] { Globals().CatalogueOpen = false; }));
}

} // namespace kivo::editor
