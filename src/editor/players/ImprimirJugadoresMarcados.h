#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/players/PlayerRow.h"

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

// Paints the report on `printer`, as many pages as the blocks need (one page when there are none); returns
// the number of pages.
int PaintMarkedPlayers(QPrinter* printer, const QString& title, const std::vector<MarkedPlayerBlock>& blocks);

} // namespace kivo::editor
