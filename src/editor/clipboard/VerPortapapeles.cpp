#include "editor/clipboard/VerPortapapeles.h"

#include "editor/app/EditorState.h"
#include "editor/app/PlaceholderTask.h"

namespace kivo::editor {

QWidget* StartVerPortapapeles(QWidget* frame) {
    EditorState& g = Globals();
    if (g.ClipboardThread) return g.ClipboardThread;
    auto* clipboard = new PlaceholderTask(
        QStringLiteral("Players Clipboard"), QStringLiteral("Multi-Player Clipboard"),
        [] { Globals().ClipboardThread = nullptr; }, frame);
    clipboard->setWindowFlags(Qt::Tool);
    clipboard->setAttribute(Qt::WA_DeleteOnClose);
    g.ClipboardThread = clipboard;
    clipboard->show();
    return clipboard;
}

} // namespace kivo::editor
