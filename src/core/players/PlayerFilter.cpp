#include "core/players/PlayerFilter.h"

#include <algorithm>

#include "core/players/PlayerDatabase.h"

namespace kivo {
namespace {

// The field's bytes up to its first zero byte, trailing blanks (the padding) left out, folded.
template <std::size_t N> std::string FoldedField(const std::array<std::uint8_t, N>& field) {
    std::size_t n = 0;
    while (n < N && field[n] != 0)
        ++n;
    while (n > 0 && field[n - 1] == ' ')
        --n;
    return FoldLatin1Case(std::string_view(reinterpret_cast<const char*>(field.data()), n));
}

constexpr std::size_t kSlice = 512;

} // namespace

std::string FoldLatin1Case(std::string_view latin1) {
    std::string folded(latin1);
    for (char& c : folded) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 0x20);
    }
    return folded;
}

PlayerQuickFilter::PlayerQuickFilter(std::string_view latin1) : folded_(FoldLatin1Case(latin1)) {}

bool PlayerQuickFilter::Matches(const PlayerRow& row) const {
    if (folded_.empty()) return true;
    return FoldedField(row.nombreJugador).find(folded_) != std::string::npos ||
           FoldedField(row.nombreEquipo).find(folded_) != std::string::npos;
}

Result<FilteredPlayers> ListFilteredPlayers(PlayerDatabase& database, PlayerListRequest request,
                                            const PlayerQuickFilter& filter, std::int64_t scanLimit) {
    const std::size_t wanted = request.limit;
    request.before.reset();
    FilteredPlayers page;
    for (;;) {
        std::size_t slice = kSlice;
        if (scanLimit > 0) slice = std::min<std::int64_t>(slice, scanLimit - page.scanned);
        request.limit = slice;
        auto rows = ListPlayers(database, request);
        if (!rows) return rows.error();
        for (PlayerListEntry& e : *rows) {
            ++page.scanned;
            page.lastScanned = e;
            if (filter.Matches(e.row)) {
                page.rows.push_back(std::move(e));
                if (wanted != 0 && page.rows.size() == wanted) return page;
            }
        }
        if (rows->size() < slice) {
            page.atEnd = true;
            return page;
        }
        if (scanLimit > 0 && page.scanned >= scanLimit) return page;
        request.after = page.lastScanned;
        request.fromName.reset();
        request.fromValue.reset();
    }
}

} // namespace kivo
