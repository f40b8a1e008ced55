#pragma once

#include <cstdint>
#include <vector>

#include <QListWidget>

namespace kivo::editor {

// Where typing `typed` moves the highlight in a list of names in key order (letter case ignored, over
// Latin-1 as the order folds it: "é" steps to names starting with "É"): to the
// next name with that first letter when the highlighted one has it and the next one too, back to the first
// name with it when the next one has not; otherwise to the first name at or after the letter, the last name
// when every name comes before it. -1 for an empty list.
int TypedHighlight(const std::vector<QString>& names, int current, QChar typed);

// The clipboard's list: each item carries its entry's id; a drag carries the highlighted entry as a player
// ("Jugador"), and typing a character moves the highlight as the clipboard does.
class ClipboardList : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kIdRole = Qt::UserRole;

    explicit ClipboardList(QWidget* parent = nullptr);

    // The id of the highlighted entry, or -1.
    std::int64_t highlightedId() const;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace kivo::editor
