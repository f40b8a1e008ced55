#pragma once

class QWidget;

namespace kivo::editor {

// The directory window of the all-players build, a task window inside the frame.
void StartElegirDirectorioCrearArchivoJugadores();

} // namespace kivo::editor
