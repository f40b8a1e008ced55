#pragma once

class QWidget;

namespace kivo::editor {

// The players clipboard window ("Players Clipboard"), a tool window of `frame`; one at a time: it is kept in
// ClipboardThread while open and clears it when it closes.
QWidget* StartVerPortapapeles(QWidget* frame);

} // namespace kivo::editor
