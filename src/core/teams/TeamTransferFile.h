#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/backups/Backups.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/support/Result.h"

namespace kivo {

// A team saved to a file of its own (.kteam): a short text header naming the file and index it came from,
// then the team's 684 record bytes as they stood.
//
//   KIVO TEAM 1<CR><LF>file: TEAM.008<CR><LF>team: 3<CR><LF><CR><LF><684 bytes>
struct SavedTeam {
    std::string sourceFile; // the file's name, UTF-8
    std::uint64_t sourceTeam = 0;
    TeamRecordBytes bytes{};
};

std::string TeamTransferBytes(const SavedTeam& team);

// The saved team, or why the bytes are not a .kteam file.
Result<SavedTeam> ParseTeamTransfer(std::string_view bytes);

// Team k of the team or cup file `from` written to `to`. An existing `to` is replaced only when it is
// itself a .kteam file: anything else there is kept and the save refused.
Status SaveTeamToFile(const std::string& from, std::uint64_t k, const std::string& to);

// Reads a .kteam file; a file that is not one (or is far too long to be one) is refused with a message.
Result<SavedTeam> ReadTeamTransferFile(const std::string& path);

// The saved team over team k of `file` as Paste Team writes it: the target keeps its EQU:NROEQUIPO and
// EQU:NROEQUIPOGRAL, the rest comes from the saved team; written through the run's backups. Returns the
// record as it was before.
Result<TeamRecord> LoadTeamFromFile(BackupRun& backups, const SavedTeam& saved, const std::string& file,
                                    std::uint64_t k);

} // namespace kivo
