#include "editor/ui/StopProgram.h"

#include <QApplication>
#include <QWidget>

#include "editor/ui/EditorState.h"
#include "editor/ui/MessageBox.h"

namespace kivo::editor {

void StopProgram(const QString& text) {
    EditorState& g = Globals();
    if (g.StopRoutine) {
        g.StopRoutine(text);
        return;
    }
    if (g.Stopping) return;
    g.Stopping = true;
    ShowMessage({QStringLiteral("PC KIVO EDITOR 1.40"), text, MessageIcon::Error, MessageButton::Ok,
                 MessageButton::Ok});
    // Hide rather than close: closing would run the windows' own questions ("Are you sure...?").
    for (QWidget* w : QApplication::topLevelWidgets())
        w->hide();
    QCoreApplication::exit(kStoppedStatus);
}

} // namespace kivo::editor
