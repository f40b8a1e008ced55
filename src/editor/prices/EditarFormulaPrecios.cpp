#include "editor/prices/EditarFormulaPrecios.h"

#include "editor/app/EditorState.h"
#include "editor/app/PlaceholderTask.h"
#include "editor/app/TaskWindows.h"

namespace kivo::editor {

void StartEditarFormulaPrecios() {
    OpenTaskWindow(new PlaceholderTask(QStringLiteral("Formulae to Compute Prices"),
                                       QStringLiteral("Price Formulae"), [] {}));
}

} // namespace kivo::editor
