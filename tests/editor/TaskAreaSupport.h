#pragma once

#include <QMdiArea>
#include <QMdiSubWindow>

#include "editor/ui/EditorState.h"

namespace kivo::editor::test {

// The task windows open inside this area, as inside the frame.
struct TaskArea {
    TaskArea() {
        area.resize(1000, 700);
        area.show();
        Globals().TaskArea = &area;
    }
    ~TaskArea() { Globals().TaskArea = nullptr; }
    TaskArea(const TaskArea&) = delete;
    TaskArea& operator=(const TaskArea&) = delete;
    // The window of the current subwindow, when it is a W.
    template <class W> W* Current() {
        QMdiSubWindow* sub = area.currentSubWindow();
        return sub ? qobject_cast<W*>(sub->widget()) : nullptr;
    }
    QMdiArea area;
};

} // namespace kivo::editor::test
