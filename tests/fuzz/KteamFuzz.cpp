// Any bytes as a saved team (.kteam): parsed into a team or refused with a message; a team that parses
// is written back as a canonical file, which reads back to the same team.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/teams/TeamTransferFile.h"
#include "FuzzSupport.h"

using namespace kivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto saved = ParseTeamTransfer(bytes);
    if (!saved) {
        if (saved.error().text.empty()) fuzz::Finding("a refused saved team has no message");
        return 0;
    }
    auto again = ParseTeamTransfer(TeamTransferBytes(*saved));
    if (!again) fuzz::Finding("a saved team written back does not read");
    if (again->bytes != saved->bytes || again->sourceTeam != saved->sourceTeam ||
        again->sourceFile != saved->sourceFile)
        fuzz::Finding("a saved team written back reads as another team");
    return 0;
}
