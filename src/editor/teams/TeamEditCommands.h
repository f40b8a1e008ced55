#pragma once

#include <functional>

#include <QUndoCommand>

#include "core/teams/TeamEditing.h"

namespace kivo::editor {

// One change of an open team editor: the working state before and after it. Undo and redo hand the whole
// state to the window, which shows it; consecutive changes of one field (typing) merge into one step.
class TeamEditCommand : public QUndoCommand {
public:
    using Apply = std::function<void(const TeamEditState&)>;

    TeamEditCommand(const QString& text, int mergeId, TeamEditState before, TeamEditState after, Apply apply);

    void undo() override;
    void redo() override;
    int id() const override { return mergeId_; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    int mergeId_;
    TeamEditState before_;
    TeamEditState after_;
    Apply apply_;
};

// Merge ids of the fields whose typing merges; -1 (no merging) for everything else.
inline constexpr int kNoMerge = -1;
int FieldMergeId(int row, int field);

} // namespace kivo::editor
