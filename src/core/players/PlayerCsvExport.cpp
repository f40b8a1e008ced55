#include "core/players/PlayerCsvExport.h"

#include "core/players/PlayerCsv.h"
#include "core/players/PlayerDatabase.h"
#include "core/support/FileAccess.h"

namespace kivo {

Result<std::int64_t> ExportPlayersCsv(PlayerDatabase& database, PlayerOrder order,
                                      std::optional<std::uint8_t> mark, const PlayerQuickFilter& filter,
                                      const std::string& path) {
    auto out = FileReplacement::Begin(path);
    if (!out) return out.error();
    if (Status written = out->Write(PlayerCsvHeader()); !written) return written.error();
    PlayerListRequest request;
    request.order = order;
    request.mark = mark;
    request.limit = 1000;
    std::int64_t count = 0;
    std::string lines;
    for (;;) {
        auto page = ListFilteredPlayers(database, request, filter);
        if (!page) return page.error();
        lines.clear();
        for (const PlayerListEntry& e : page->rows)
            AppendPlayerCsvLine(e.row, lines);
        if (Status written = out->Write(lines); !written) return written.error();
        count += static_cast<std::int64_t>(page->rows.size());
        if (page->atEnd) break;
        request.after = page->lastScanned;
    }
    if (Status done = out->Commit(); !done) return done.error();
    return count;
}

} // namespace kivo
