#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

class QMdiSubWindow;
class QWidget;

namespace kivo::editor {

// A task runs as its own window inside the frame. Opens `content` as a subwindow of the frame's MDI area
// (a top-level window when there is no frame, as in tests); the subwindow and the content are deleted when
// it closes. GlobalRequest and GlobalResponse are cleared, as every window does when it starts.
QMdiSubWindow* OpenTaskWindow(QWidget* content);

enum class ChildPlacement {
    InFrame,   // a subwindow of the frame, beside its task
    OwnWindow, // a window of its own above the frame (previews, progress)
};

// Shows `child` modally on the task that `task` belongs to: the task's window is disabled until the child
// closes, then enabled again and `continuation` runs with the child's response. No nested event loop: the
// caller returns at once and goes on in the continuation. The child reports its response by calling
// FinishModal as it closes; a child that closes or is deleted without doing so reports "cancelled" (2).
// The continuation does not run when the task itself has gone.
void OpenModalOnTask(QWidget* task, QWidget* child, std::function<void(int response)> continuation,
                     ChildPlacement placement = ChildPlacement::InFrame);

// Called by a child window opened with OpenModalOnTask while it closes: sets GlobalResponse and ends the
// modal state. Does nothing for a window that is not modal on a task, or a second time.
void FinishModal(QWidget* child, int response);

// Cuts every connection from the signals of `window`'s children to `window` itself. A window's lambdas
// capture `this`; Qt cuts such connections only in ~QObject, after the children are deleted, and a child
// that signals while it goes (an undo stack clearing itself) would call into a window that is no longer
// of its own type. Every window that connects its children to itself calls this first in its destructor.
void CutChildConnections(QObject* window);

// The window a task's disabling acts on: its subwindow inside the frame, or its top-level window.
QWidget* TaskFrameOf(QWidget* w);

} // namespace kivo::editor
