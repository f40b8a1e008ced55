#include "editor/market/ElegirDirectorioArreglarMercado.h"

#include "editor/app/EditorState.h"
#include "editor/app/PlaceholderTask.h"
#include "editor/app/TaskWindows.h"

namespace kivo::editor {

void StartElegirDirectorioArreglarMercado() {
    OpenTaskWindow(
        new PlaceholderTask(QStringLiteral("Start Fixing Market"), QStringLiteral("Fix Market"), [] {}));
}

} // namespace kivo::editor
