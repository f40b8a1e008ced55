#pragma once

class QWidget;

namespace kivo::editor {

// The directory window of the market fix, a task window inside the frame.
void StartElegirDirectorioArreglarMercado();

} // namespace kivo::editor
