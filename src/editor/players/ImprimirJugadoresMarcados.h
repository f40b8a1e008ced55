#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/players/PlayerRow.h"
#include "editor/ui/ReportPageView.h"

class QPrinter;
class QWidget;

namespace kivo::editor {

// "Marked Players (Mark M)": the players holding mark `mark`, read on a worker with the "Generating Report"
// progress window, previewed on `task`, then printed on the shared printer if the user chooses to. A mark
// with no players, a cancel or a failure shows no preview. `done` runs on the GUI thread at the end.
void ImprimirJugadoresMarcados(QWidget* task, int mark, std::function<void()> done);

// One player's two lines: the cells under "Cty" .. "Price", then the name under "Team".
struct MarkedPlayerBlock {
    QStringList cells;
    QString player;
};
MarkedPlayerBlock MarkedPlayerBlockOf(const PlayerRow& row);

// The headings of the report's first heading line.
QStringList MarkedPlayersHeadings();
// "Pág. N", the page number in full.
QString MarkedPlayersFooter(int page);

// The report page by page: as many pages as the blocks need (one page when there are none).
PagedReport MarkedPlayersPages(const QString& title,
                               std::shared_ptr<const std::vector<MarkedPlayerBlock>> blocks);

// Paints the report on `printer`; returns the number of pages (0 when the printer cannot be painted on).
int PaintMarkedPlayers(QPrinter* printer, const QString& title, const std::vector<MarkedPlayerBlock>& blocks);

} // namespace kivo::editor
