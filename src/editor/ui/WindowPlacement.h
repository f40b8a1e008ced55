#pragma once

#include <string>

#include <QRect>
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
// resizable window) keeps the designed geometry; "Yes" exactly (trailing blanks ignored) maximises. A stored
// placement that no longer fits (a smaller screen since) is brought within the room of KeepWithinRoom.
void SaveWindowPlacement(QWidget* window, const std::string& iniName, const std::string& section);
void RestoreWindowPlacement(QWidget* window, const std::string& iniName, const std::string& section);

// The part of the screen windows may take: Globals().AvailableArea when set, otherwise the available area
// of the window's screen (the primary screen without a window).
QRect AvailableArea(const QWidget* window = nullptr);

// Keeps a window where it is seen whole: a task window within the frame's task area, a window of its own
// within the available area. One larger than its room is made smaller (never below its minimum size), then
// moved in. A maximised window is left alone.
void KeepWithinRoom(QWidget* window);

// Places a window of its own over the middle of `over` (a task window: of its frame), within the available
// area.
void CentreOver(QWidget* window, const QWidget* over);

} // namespace kivo::editor
