#pragma once

#include <functional>

#include <QString>

#include "core/players/MarkingPasses.h"
#include "core/support/Progress.h"
#include "editor/ui/StockMessages.h"

class QWidget;

namespace kivo::editor {

// Clears mark `mark` (0: every mark) in JUGADORES on a worker, with the passes' progress window modal on
// `task`; `done` runs on the GUI thread once the pass is over, whether completed, cancelled or failed.
void RunClearMarks(QWidget* task, int mark, std::function<void()> done);

// Clearing every mark ("Clear ALL Marks", or "Clear Marks" with Selected Mark 0) cannot be undone: asks
// first, naming how many players carry a mark. True when the pass may run (also when no player is marked).
bool ConfirmClearingEveryMark(QWidget* parent);

// The search form's pass: every player meeting `criteria` gets mark `mark`, the same way.
void RunSearchPass(QWidget* task, const SearchCriteria& criteria, int mark, std::function<void()> done);

// Test seam: runs on the worker before each progress step of a player job (the passes, the report, the
// one-file update) reaches its window, with the state the window gets; a test can hold the job there while
// it presses Cancel. Empty in the program.
std::function<void(const ProgressState&)>& JobStepHook();

// A job's progress passed through the hook above.
class HookedProgress final : public Progress {
public:
    explicit HookedProgress(Progress& inner) : inner_(inner) {}
    bool Update(const ProgressState& state) override;

private:
    Progress& inner_;
};

} // namespace kivo::editor
