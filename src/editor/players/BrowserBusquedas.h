#pragma once

class QWidget;

namespace kivo::editor {

// The player browser ("Browse Players"), a task window inside the frame.
void StartBrowserBusquedas();

} // namespace kivo::editor
