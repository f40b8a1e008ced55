#include "core/teams/SaveTeam.h"

#include "core/gamefiles/TeamFile.h"
#include "core/support/FileLookup.h"

namespace kivo {

TeamSaveResult SaveTeam(BackupRun& backups, const std::string& path, std::uint64_t k,
                        const TeamRecord& record) {
    TeamSaveResult result;
    // The backup first and on its own, of the file as it is found on disk whatever the letter case of the
    // name it was given by: after a refusal nothing has been touched.
    if (Status backedUp = backups.EnsureBackedUp(FindExistingFile(path)); !backedUp) {
        result.failure = TeamSaveResult::Failure::BackupRefused;
        result.error = backedUp.error();
        return result;
    }
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadWrite);
    Status written = file ? file->WriteTeam(k, record) : Status(file.error());
    if (!written) {
        result.failure = TeamSaveResult::Failure::WriteFailed;
        result.error = written.error();
    }
    return result;
}

} // namespace kivo
