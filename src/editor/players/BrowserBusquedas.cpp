#include "editor/players/BrowserBusquedas.h"

#include "editor/app/EditorState.h"
#include "editor/app/PlaceholderTask.h"
#include "editor/app/TaskWindows.h"

namespace kivo::editor {

void StartBrowserBusquedas() {
    OpenTaskWindow(
        new PlaceholderTask(QStringLiteral("Browse Players"), QStringLiteral("Find Players"), [] {}));
}

} // namespace kivo::editor
