#pragma once

class QWidget;

namespace kivo::editor {

// The steps every window of the players group takes alike, so that they stay alike.

// Closes the frame's subwindow around `w` (which goes with it), or `w` itself when it has none.
void CloseWithFrame(QWidget* w);

// The first time `w` shows: its placement saved in `section` of zeltra.ini. With `rescaled` its controls
// follow its size; the design sizes are taken before the placement changes them.
void PlaceOnFirstShow(QWidget* w, const char* section, bool& placed, bool rescaled);

// As `w` closes: its placement saved in `section` of zeltra.ini, and the players database let go when `w`
// holds it (once: `holdsDatabase` is cleared).
void LeaveWindow(QWidget* w, const char* section, bool& holdsDatabase);

} // namespace kivo::editor
