#include "core/teams/SaveTeam.h"

#include "core/gamefiles/TeamFile.h"
#include "core/support/FileLookup.h"

namespace kivo {

Status SaveTeam(BackupRun& backups, const std::string& path, std::uint64_t k, const TeamRecord& record) {
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadWrite);
    if (!file) return file.error();
    // Back up the file as it is found on disk, whatever the letter case of the name it was given by.
    if (Status backedUp = backups.EnsureBackedUp(file->path()); !backedUp) return backedUp;
    return file->WriteTeam(k, record);
}

} // namespace kivo
