#include "editor/teams/TeamEditCommands.h"

namespace kivo::editor {

TeamEditCommand::TeamEditCommand(const QString& text, int mergeId, TeamEditState before, TeamEditState after,
                                 Apply apply)
    : QUndoCommand(text), mergeId_(mergeId), before_(std::move(before)), after_(std::move(after)),
      apply_(std::move(apply)) {}

void TeamEditCommand::undo() {
    apply_(before_);
}

void TeamEditCommand::redo() {
    apply_(after_);
}

bool TeamEditCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const TeamEditCommand*>(other);
    after_ = next->after_;
    // Typing a field back to what it was leaves no step behind.
    setObsolete(SameEdits(before_, after_));
    return true;
}

int FieldMergeId(int row, int field) {
    return 1000 + row * 100 + field;
}

} // namespace kivo::editor
