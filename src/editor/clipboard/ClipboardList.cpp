#include "editor/clipboard/ClipboardList.h"

#include <QDrag>
#include <QKeyEvent>

#include "editor/clipboard/PlayerDrag.h"

namespace kivo::editor {

namespace {

// The letter-case rule of the clipboard file's name order: a to z and the Latin-1 small letters that have a
// capital there (à to þ, but not ÷) fold to their capitals; ß and ÿ stay as they are.
char16_t Folded(QChar c) {
    const char16_t u = c.unicode();
    const bool small = (u >= u'a' && u <= u'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7);
    return small ? char16_t(u - 0x20) : u;
}

bool BeginsWith(const QString& name, char16_t folded) {
    return !name.isEmpty() && Folded(name.front()) == folded;
}

} // namespace

int TypedHighlight(const std::vector<QString>& names, int current, QChar typed) {
    const int count = int(names.size());
    if (count == 0) return -1;
    const char16_t c = Folded(typed);
    if (current >= 0 && current < count && BeginsWith(names[current], c)) {
        if (current + 1 < count && BeginsWith(names[current + 1], c)) return current + 1;
        int first = current;
        while (first > 0 && BeginsWith(names[first - 1], c))
            --first;
        return first;
    }
    for (int i = 0; i < count; ++i)
        if (!names[i].isEmpty() && Folded(names[i].front()) >= c) return i;
    return count - 1;
}

ClipboardList::ClipboardList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

std::int64_t ClipboardList::highlightedId() const {
    const QListWidgetItem* item = currentItem();
    return item ? item->data(kIdRole).toLongLong() : -1;
}

void ClipboardList::startDrag(Qt::DropActions) {
    const std::int64_t id = highlightedId();
    if (id < 0) return;
    // The entry is re-read from the file when a team editor accepts the drop; it stays in the clipboard.
    auto* drag = new QDrag(this);
    drag->setMimeData(NewPlayerDragData(id));
    drag->exec(Qt::CopyAction);
}

void ClipboardList::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && text.size() == 1 && text.front().isPrint() && !text.front().isSpace()) {
        std::vector<QString> names;
        names.reserve(std::size_t(count()));
        for (int i = 0; i < count(); ++i)
            names.push_back(item(i)->text());
        const int row = TypedHighlight(names, currentRow(), text.front());
        if (row >= 0) setCurrentRow(row);
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace kivo::editor
