#pragma once

#include <functional>

#include "core/teams/TeamSheet.h"

class QPainter;
class QPrinter;
class QRectF;
class QWidget;

namespace kivo::editor {

// Paints the one-page team sheet within `page` (the band is laid out for a portrait page).
void PaintTeamSheet(QPainter& painter, const QRectF& page, const TeamSheet& sheet);
// The sheet as one page of `printer`; false when the printer could not start or finish the page.
bool PaintOn(QPrinter* printer, const TeamSheet& sheet);

// The team sheet of team SelectedTeamIndex of TeamFilePath, modal on `task`: reads the team into the shared
// record buffer, shows "Generating Report" (with "Cancel"), then the preview; the page goes to the printer
// only when the preview is accepted. `done` runs when it is all over (also after Cancel); it does not run
// when the program was stopped on a failed read.
void ImprimeEquipo(QWidget* task, std::function<void()> done = {});

} // namespace kivo::editor
