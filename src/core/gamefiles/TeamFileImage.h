#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/backups/Backups.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/support/Result.h"

namespace kivo {

// A whole team or cup file held in memory, for jobs that change many teams of a file: read once, changed
// in memory, written back whole. Bytes after the last whole record are kept as they are.
struct TeamFileImage {
    std::string path; // the file as found on disk (letter case resolved)
    bool cup = false;
    std::vector<std::uint8_t> bytes;

    std::uint64_t teamCount() const;
    std::size_t offsetOf(std::uint64_t k) const;
    TeamRecord team(std::uint64_t k) const; // k below teamCount()
    void setTeam(std::uint64_t k, const TeamRecord& record);
};

// Reads the whole file. A league file shorter than its 2-byte header, a directory, or a file of more than
// kMaxTeamsPerFile teams is refused with a message naming the file.
Result<TeamFileImage> LoadTeamFileImage(const std::string& path);

// Writes the image over its file, whole or not at all: the file must be writable, the run's backup of it
// is made first, and the new contents go to a temporary file beside it that replaces the file only when
// complete. A failure leaves the file as it was and says why.
Status SaveTeamFileImage(BackupRun& backups, const TeamFileImage& image);

// Writes many images over their files, all or none as far as a crash or a failure allows: first every
// file's backup, then every new file in full beside its file, on disk, and only then the renames, each
// folder flushed once after them. A failure before the renames leaves every file as it was; the rare
// failure of a rename names the files already replaced.
Status SaveTeamFileImages(BackupRun& backups, const std::vector<TeamFileImage>& images);

} // namespace kivo
