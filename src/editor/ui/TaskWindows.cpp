#include "editor/ui/TaskWindows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

#include "editor/ui/AccessibleNames.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

// Belongs to the child window; ends the modal state once, by FinishModal or when the child goes away.
class ModalLink : public QObject {
public:
    static constexpr const char* kName = "kivoModalLink";

    ModalLink(QWidget* child, QWidget* disabled, std::function<void(int)> continuation)
        : QObject(child), disabled_(disabled), continuation_(std::move(continuation)) {
        setObjectName(kName);
        if (!disabled_) return;
        disabled_->setEnabled(false);
        // A widget tells it is going before it deletes its children, this child among them.
        connect(disabled_, &QObject::destroyed, this, [this] { taskGone_ = true; });
    }
    ~ModalLink() override { Finish(kResponseCancelled); }

    void Finish(int response) {
        if (done_) return;
        done_ = true;
        Globals().GlobalResponse = response;
        if (!disabled_ || taskGone_) return;
        disabled_->setEnabled(true);
        if (continuation_) continuation_(response);
    }

private:
    QPointer<QWidget> disabled_;
    std::function<void(int)> continuation_;
    bool done_ = false;
    bool taskGone_ = false;
};

// A subwindow around `content`, at the size the content was given (its design size) when it was given
// one, and within the task area.
QMdiSubWindow* AddSubWindow(QMdiArea* area, QWidget* content) {
    const bool sized = content->testAttribute(Qt::WA_Resized);
    const QSize design = content->size();
    QMdiSubWindow* sub = area->addSubWindow(content);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    if (sized) sub->resize(sub->size() - content->size() + design);
    KeepWithinRoom(sub);
    area->setActiveSubWindow(sub);
    return sub;
}

void ClearRequestAndResponse() {
    Globals().GlobalRequest = 0;
    Globals().GlobalResponse = 0;
}

} // namespace

void CutChildConnections(QObject* window) {
    for (QObject* child : window->findChildren<QObject*>())
        QObject::disconnect(child, nullptr, window, nullptr);
}

QWidget* TaskFrameOf(QWidget* w) {
    for (QWidget* p = w; p; p = p->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p)) return sub;
        if (p->isWindow()) return p;
    }
    return w;
}

QMdiSubWindow* OpenTaskWindow(QWidget* content) {
    ClearRequestAndResponse();
    NameControls(content);
    content->setAttribute(Qt::WA_DeleteOnClose);
    QMdiArea* area = Globals().TaskArea;
    if (!area) {
        content->show();
        return nullptr;
    }
    return AddSubWindow(area, content);
}

void OpenModalOnTask(QWidget* task, QWidget* child, std::function<void(int)> continuation,
                     ChildPlacement placement) {
    QWidget* disabled = TaskFrameOf(task);
    NameControls(child);
    new ModalLink(child, disabled, std::move(continuation));
    ClearRequestAndResponse();
    child->setAttribute(Qt::WA_DeleteOnClose);
    QMdiArea* area = Globals().TaskArea;
    if (placement == ChildPlacement::InFrame && area && qobject_cast<QMdiSubWindow*>(disabled)) {
        AddSubWindow(area, child);
        return;
    }
    // A window of its own, kept above the task's top-level window and deleted with it, over its middle.
    // Placed before it shows, so that a window that restores its own placement as it shows keeps that.
    child->setParent(task->window(), child->windowFlags() | Qt::Window);
    // The size showing would give it, known now.
    if (!child->testAttribute(Qt::WA_Resized)) child->adjustSize();
    CentreOver(child, task);
    child->show();
    KeepWithinRoom(child);
    child->activateWindow();
}

void FinishModal(QWidget* child, int response) {
    // Found by name: the link has no meta-object of its own to be told apart by.
    if (auto* link = child->findChild<QObject*>(QLatin1String(ModalLink::kName), Qt::FindDirectChildrenOnly))
        static_cast<ModalLink*>(link)->Finish(response);
}

} // namespace kivo::editor
