// Any bytes as a saved team (.kteam): parsed into a team or refused with a message; a team that parses
// serialises back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/teams/TeamTransferFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto saved = kivo::ParseTeamTransfer(bytes);
    if (!saved) return saved.error().text.empty() ? (std::abort(), 0) : 0;
    // What was read is written back as a canonical file, which reads back to the same team.
    auto again = kivo::ParseTeamTransfer(kivo::TeamTransferBytes(*saved));
    if (!again || again->bytes != saved->bytes || again->sourceTeam != saved->sourceTeam) std::abort();
    return 0;
}
