#pragma once

#include <functional>

class QWidget;

namespace kivo::editor {

// "Marked Players (Mark M)": the players holding mark `mark`, previewed on `task`, then printed if the user
// chooses to. `done` runs on the GUI thread once the preview is answered (and printing is over).
void ImprimirJugadoresMarcados(QWidget* task, int mark, std::function<void()> done);

} // namespace kivo::editor
