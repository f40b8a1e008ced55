#include "editor/players/PlayersWindowSupport.h"

#include <QMdiSubWindow>
#include <QWidget>

#include "editor/ui/CheckOpen.h"
#include "editor/ui/WindowPlacement.h"
#include "editor/ui/ControlRescaler.h"

namespace kivo::editor {

void CloseWithFrame(QWidget* w) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        sub->close();
    else
        w->close();
}

void PlaceOnFirstShow(QWidget* w, const char* section, bool& placed, bool rescaled) {
    if (placed) return;
    placed = true;
    ControlRescaler* rescaler = rescaled ? ControlRescaler::Attach(w, true) : nullptr;
    RestoreWindowPlacement(w, "zeltra.ini", section);
    if (rescaler) rescaler->Apply();
}

void LeaveWindow(QWidget* w, const char* section, bool& holdsDatabase) {
    SaveWindowPlacement(w, "zeltra.ini", section);
    if (holdsDatabase) {
        holdsDatabase = false;
        ReleasePlayerDatabase();
    }
}

} // namespace kivo::editor
