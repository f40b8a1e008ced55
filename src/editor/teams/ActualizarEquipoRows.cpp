// The team editor's row commands: its own keys, a player dropped or pasted on a row, a row's price.

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QUndoStack>

#include "core/clipboard/ClipboardStore.h"
#include "editor/clipboard/PlayerDrag.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/TeamEditCommands.h"
#include "editor/ui/EditorState.h"

namespace kivo::editor {

namespace {

// The keys the window handles itself, taken before the focused field can claim them for its own editing.
const QList<QKeySequence>& WindowKeys() {
    static const QList<QKeySequence> keys = {QKeySequence(Qt::CTRL | Qt::Key_Z),
                                             QKeySequence(Qt::CTRL | Qt::Key_Y),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                             QKeySequence(Qt::CTRL | Qt::Key_Insert),
                                             QKeySequence(Qt::CTRL | Qt::Key_Home),
                                             QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V),
                                             QKeySequence(Qt::CTRL | Qt::Key_Tab),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)};
    return keys;
}

} // namespace

void ActualizarEquipo::WireShortcuts() {
    auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { undo_->undo(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { undo_->redo(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { undo_->redo(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { CopyRowToClipboard(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { ComputeRowPrice(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { ComputeRowOriginalPrice(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { Cancel(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), [this] { PasteHighlightedPlayer(); });
    // Ctrl+Tab steps through the tabs here rather than through the frame's windows.
    const auto step = [this](int by) {
        tabs_->setCurrentIndex((tabs_->currentIndex() + by + tabs_->count()) % tabs_->count());
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), [step] { step(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [step] { step(-1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [step] { step(-1); });
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

bool ActualizarEquipo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination().key() | (key->modifiers() & ~Qt::KeypadModifier));
        // Left unaccepted, the key goes to the window's shortcuts instead of the field's own undo or copy.
        if (WindowKeys().contains(pressed)) return true;
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (watched != rows_[r].name) continue;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (CarriesPlayer(drag->mimeData()))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop:
            DropOnRow(r, static_cast<QDropEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int ActualizarEquipo::FocusedRow() const {
    for (QWidget* w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
        const QVariant row = w->property("kivoRow");
        if (row.isValid()) return row.toInt();
    }
    return -1;
}

void ActualizarEquipo::CopyRowToClipboard() {
    const int r = FocusedRow();
    if (r < 0) return;
    EditorState& g = Globals();
    g.TransferRecord = TransferFromRow(session_.state, static_cast<std::size_t>(r));
    // A failed add is silent: the clipboard is a convenience, the team is not touched.
    if (auto store = ClipboardStore::Open(g.ClipboardFilePath, true)) (void)store->Append(g.TransferRecord);
    PostClipboardRefresh();
}

void ActualizarEquipo::ComputeRowPrice() {
    const int r = FocusedRow();
    if (r < 0) return;
    Change(QStringLiteral("Compute Price of Row %1").arg(r + 1), kNoMerge, [r](TeamEditState& s) {
        kivo::ComputeRowPrice(s, static_cast<std::size_t>(r), *Globals().Prices, Globals().Formulas);
    });
}

void ActualizarEquipo::ComputeRowOriginalPrice() {
    const int r = FocusedRow();
    if (r < 0) return;
    Change(QStringLiteral("Compute Original Price of Row %1").arg(r + 1), kNoMerge,
           [r](TeamEditState& s) { kivo::ComputeRowOriginalPrice(s, static_cast<std::size_t>(r)); });
}

void ActualizarEquipo::DropOnRow(std::size_t r, QDropEvent* event) {
    if (!CarriesPlayer(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    PastePlayer(r, event->mimeData(), QStringLiteral("Drop Player on Row %1"));
}

void ActualizarEquipo::PastePlayer(std::size_t r, const QMimeData* data, const QString& undoText) {
    const std::optional<PlayerTransferRecord> player = AcceptPlayerDrop(data);
    if (!player) return; // the entry left the clipboard since the drag began
    Change(undoText.arg(r + 1), kNoMerge, [r, p = *player](TeamEditState& s) { DropPlayer(s, r, p); });
}

void ActualizarEquipo::PasteHighlightedPlayer() {
    // The keyboard's drop: the player highlighted in the clipboard window onto the focused row.
    const int r = FocusedRow();
    auto* clipboard = qobject_cast<VerPortapapeles*>(Globals().ClipboardThread.data());
    const std::unique_ptr<QMimeData> data(clipboard ? clipboard->DragDataOfHighlighted() : nullptr);
    if (r < 0 || !data) {
        hint_->setText(r < 0 ? QStringLiteral("Ctrl+Shift+V pastes onto the player row that has the cursor.")
                             : QStringLiteral("Ctrl+Shift+V pastes the player highlighted in the Players "
                                              "Clipboard: open it (Window menu) and highlight a player."));
        QApplication::beep();
        return;
    }
    PastePlayer(static_cast<std::size_t>(r), data.get(), QStringLiteral("Paste Player on Row %1"));
}

} // namespace kivo::editor
