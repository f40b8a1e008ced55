#pragma once

#include <cstdint>
#include <string>

#include "core/support/Progress.h"
#include "core/support/Result.h"

namespace kivo {

class PlayerDatabase;

struct PlayerUpdateSummary {
    std::int64_t deleted = 0;
    std::int64_t teams = 0;
    std::int64_t added = 0;
};

// Replaces the rows of one team file: deletes every row whose JUGS:PAIS is `fileNumber` (none when the
// number is above 255) and adds 16 rows, mark 0, for each team read from `fileName`, carrying the file's
// own country codes. A file that cannot be opened or whose header cannot be read gives the message
// "File <name> can not be opened." / "... can not be read." and "Update process is aborted !" and
// changes nothing. The deletes and adds are one transaction: a failure of the database undoes all of it.
// Progress: "Deleting Players" with each deleted name, then "Updating File" with the team ordinal.
Result<PlayerUpdateSummary> ProcesoActualizacionArchivo(PlayerDatabase& database, const std::string& fileName,
                                                        std::uint16_t fileNumber, Progress& progress);

// Whether `fileNumber` is the number that `fileName` ends in. Another number deletes one country's players
// and doubles another's, so callers refuse it unless the user insists; the error says what would happen.
Status CheckUpdateNumber(const std::string& fileName, std::uint16_t fileNumber);

// The file number the update window derives from a path: its last three characters, trailing blanks
// removed, read as a decimal number; 0 when they are not three digits.
std::uint16_t TeamFileNumberOf(const std::string& fileName);

} // namespace kivo
