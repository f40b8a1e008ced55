#include "core/players/MarkingPasses.h"

#include <iterator>

#include "core/players/PassProgress.h"
#include "core/players/PlayerDatabase.h"

namespace kivo {
namespace {

// The report's percent counts against this many rows, whatever the mark holds.
constexpr std::int64_t kReportExpected = 500;

} // namespace

Result<MarkedPlayersReport> ImprimirJugadoresMarcados(PlayerDatabase& database, std::uint8_t mark,
                                                      Progress& progress) {
    MarkedPlayersReport report;
    report.title = "Marked Players (Mark " + std::to_string(mark) + ")";
    PassProgress shown(progress, "Generating Report", "", kReportExpected);
    PlayerListRequest request;
    request.order = PlayerOrder::Mark;
    request.mark = mark;
    request.limit = kPassSlice;
    for (;;) {
        auto page = ListPlayers(database, request);
        if (!page) return page.error();
        if (page->empty()) break;
        // The page must start after the last row read (one mark, so by place), or the report never ends.
        if (request.after && page->front().id <= request.after->id)
            return Error{"Cannot read the marked players of " + database.path() +
                         ": the mark order leads back to rows already read (the file is damaged)"};
        shown.Read(static_cast<std::int64_t>(page->size()));
        request.after = page->back();
        std::move(page->begin(), page->end(), std::back_inserter(report.rows));
        if (!shown.Continue()) {
            report.cancelled = true;
            report.rows.clear();
            return report;
        }
    }
    shown.Finish();
    return report;
}

} // namespace kivo
