#pragma once

#include <cstdint>
#include <string>

#include "core/backups/Backups.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/support/Result.h"

namespace kivo {

// What writing a team came to. A refused backup has touched nothing, so the window keeps its work and
// the program runs on; a failed write may have written part of the record.
struct TeamSaveResult {
    enum class Failure { None, BackupRefused, WriteFailed };
    Failure failure = Failure::None;
    Error error; // why, ready to show
    bool ok() const { return failure == Failure::None; }
    explicit operator bool() const { return ok(); }
};

// Writes team k of the file at its offset for the file's kind, after the run's backup of the file has been
// made; when the backup fails nothing is written and the result says so.
TeamSaveResult SaveTeam(BackupRun& backups, const std::string& path, std::uint64_t k,
                        const TeamRecord& record);

} // namespace kivo
