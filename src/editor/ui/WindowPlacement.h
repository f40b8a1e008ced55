#pragma once

#include <string>

#include <QString>

class QWidget;

namespace kivo::editor {

// Where a settings file named without a directory (zeltra.ini) is kept: Globals().PlacementDirectory when
// set (tests), otherwise the platform's configuration directory for this program.
std::string PlacementIniPath(const std::string& iniName);

// A window's placement in its section of the placement file. A task window inside the frame is placed as
// its subwindow within the frame's MDI area; a top-level window as itself. A window whose minimum and
// maximum sizes are equal cannot be resized: it gets its stored position and keeps its size.
// Save: writes Maximize ("Yes"/"No") and the normal (un-maximised) x, y, width and height; a minimised window
// writes nothing. Restore: a stored XPosit of 0 restores nothing; x or y of 0 (or width or height of 0 for a
// resizable window) keeps the designed geometry; "Yes" exactly (trailing blanks ignored) maximises.
void SaveWindowPlacement(QWidget* window, const std::string& iniName, const std::string& section);
void RestoreWindowPlacement(QWidget* window, const std::string& iniName, const std::string& section);

} // namespace kivo::editor
