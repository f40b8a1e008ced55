#pragma once

#include <cstdint>
#include <vector>

#include <QWidget>

#include "core/clipboard/ClipboardStore.h"

class QLineEdit;
class QMimeData;
class QPushButton;

namespace kivo::editor {

class ClipboardList;

// The players clipboard window ("Players Clipboard"), a tool window of `frame`; one at a time: it is kept in
// ClipboardThread while open and clears it when it closes. Returns the open window (the one already open,
// or null when the clipboard file could not be opened).
QWidget* StartVerPortapapeles(QWidget* frame);

// The file's label in the warnings about the clipboard.
inline constexpr const char* kClipboardFileLabel = "PortapapelesJugadores";

// The clipboard's entries by name; drag one onto a team editor's player row to paste it there.
class VerPortapapeles : public QWidget {
    Q_OBJECT
public:
    explicit VerPortapapeles(QWidget* frame);
    ~VerPortapapeles() override;

    // Reloads the list from the file, keeping the highlighted entry when it is still there. The refresh
    // notice of the windows that copy players calls it by name.
    Q_INVOKABLE void Refresh();

    // Asks "Confirm Delete", then deletes the highlighted entry (with the warnings and the retry question
    // when the file refuses).
    void DeleteHighlighted();

    // What a drag of the highlighted entry carries; null when nothing is highlighted.
    QMimeData* DragDataOfHighlighted() const;

    ClipboardList* list() const { return list_; }
    QLineEdit* detail() const { return detail_; }
    QPushButton* deleteButton() const { return delete_; }
    // Whether the file could be opened and listed; a window that could not closes itself.
    bool usable() const { return usable_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Fills the list; highlights the entry `keepId`, else the row `fallbackRow` (clamped). False after the
    // retrieval warning when the file cannot be read.
    bool Load(std::int64_t keepId, int fallbackRow);
    void ShowHighlighted();
    void PlaceBesideFrame();

    ClipboardList* list_;
    QLineEdit* detail_;
    QPushButton* delete_;
    std::vector<ClipboardEntry> entries_;
    bool usingFile_ = false;
    bool usable_ = false;
    bool closed_ = false;
};

// The highlighted player as the line under the list shows it: nationality, position, the seven skills and
// the price.
QString ClipboardDetailText(const PlayerTransferRecord& record);

} // namespace kivo::editor
