#include "core/players/PlayerCsvExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/players/PlayerCsv.h"
#include "core/players/PlayerDatabase.h"

namespace kivo {

Result<std::int64_t> ExportPlayersCsv(PlayerDatabase& database, PlayerOrder order,
                                      std::optional<std::uint8_t> mark, const PlayerQuickFilter& filter,
                                      const std::string& path) {
    const std::string part = path + ".part";
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) return Error{"Cannot write " + part + ": " + std::strerror(errno)};
    out << PlayerCsvHeader();
    PlayerListRequest request;
    request.order = order;
    request.mark = mark;
    request.limit = 1000;
    std::int64_t written = 0;
    std::error_code ec;
    for (;;) {
        auto page = ListFilteredPlayers(database, request, filter);
        if (!page) {
            out.close();
            std::filesystem::remove(part, ec);
            return page.error();
        }
        for (const PlayerListEntry& e : page->rows)
            out << PlayerCsvLine(e.row);
        written += static_cast<std::int64_t>(page->rows.size());
        if (page->atEnd) break;
        request.after = page->lastScanned;
    }
    out.flush();
    const bool ok = static_cast<bool>(out);
    out.close();
    if (!ok) {
        std::filesystem::remove(part, ec);
        return Error{"Cannot write " + path + ": the disk refused the data"};
    }
    std::filesystem::rename(part, path, ec);
    if (ec) {
        std::filesystem::remove(part, ec);
        return Error{"Cannot write " + path + ": " + ec.message()};
    }
    return written;
}

} // namespace kivo
