#pragma once

#include <functional>

class QWidget;

namespace kivo::editor {

// Clears mark `mark` (0: every mark) in JUGADORES on a worker, with the passes' progress window modal on
// `task`; `done` runs on the GUI thread once the pass is over, whether completed, cancelled or failed.
void RunClearMarks(QWidget* task, int mark, std::function<void()> done);

} // namespace kivo::editor
