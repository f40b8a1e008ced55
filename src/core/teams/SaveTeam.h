#pragma once

#include <cstdint>
#include <string>

#include "core/backups/Backups.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/support/Result.h"

namespace kivo {

// Writes team k of the file at its offset for the file's kind, after the run's backup of the file has been
// made; when the backup fails nothing is written and the error says why.
Status SaveTeam(BackupRun& backups, const std::string& path, std::uint64_t k, const TeamRecord& record);

} // namespace kivo
