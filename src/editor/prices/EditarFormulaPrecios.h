#pragma once

class QWidget;

namespace kivo::editor {

// The formula editor ("Formulae to Compute Prices"), a task window inside the frame.
void StartEditarFormulaPrecios();

} // namespace kivo::editor
