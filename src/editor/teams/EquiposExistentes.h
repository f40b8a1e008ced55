#pragma once

class QWidget;

namespace kivo::editor {

// The team-file catalogue ("Team Files"), a task window inside the frame; clears CatalogueOpen when it
// closes.
void StartEquiposExistentes();

} // namespace kivo::editor
