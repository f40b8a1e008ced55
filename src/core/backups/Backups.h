#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/support/Result.h"

namespace kivo {

// The folder, beside each game file, that holds the copies made before the file's first change in a run.
inline constexpr const char* kBackupFolderName = "kivo-backups";
// How many run folders are kept in one kivo-backups/ folder; older ones are removed.
inline constexpr int kBackupRunsKept = 30;

// One run of the editor or of a kivo-cli command. Before the first change to a game file in the run, the
// whole file is copied into kivo-backups/<date>_<time>/ in the file's own directory; a change whose copy
// cannot be made must not happen. A copy is written under a temporary name and renamed when whole, so a
// failed copy never leaves a cut file behind.
class BackupRun {
public:
    explicit BackupRun(std::chrono::system_clock::time_point start = std::chrono::system_clock::now());

    // The run folder's name, "2026-12-06_20-31-07" (local time of the run's start). When a folder of that
    // name already exists (another run started within the same second) this run takes "<name>-2", "-3", ...
    // in that kivo-backups/ folder; BackupPathFor tells which.
    const std::string& name() const { return name_; }

    // Keeps a run folder of `backupFolder` from being pruned by this run (the run a restore reads from).
    void Protect(const std::filesystem::path& backupFolder, const std::string& runName);

    // How the change that follows a backup writes the file.
    enum class Change {
        InPlace,     // bytes written into the file itself
        Replacement, // a new file renamed over it (the old file's bytes are never written again)
    };

    // Makes sure `file` has been copied in this run. Before a replacement the copy may be a second name
    // (a hard link) for the file as it stands, which the rename then leaves untouched. The error names
    // the file and the backup.
    Status EnsureBackedUp(const std::filesystem::path& file, Change change = Change::InPlace);
    // The same for files that are about to be replaced together; the run folders are flushed once, after
    // the last of them, before any file changes. Stops at the first failure, which names the file.
    Status EnsureBackedUpBeforeReplacing(const std::vector<std::filesystem::path>& files);

    // Where this run keeps the copy of `file` (made or not).
    std::filesystem::path BackupPathFor(const std::filesystem::path& file) const;

private:
    Status BackUp(const std::filesystem::path& file, Change change, bool flushLink);

    std::string name_;
    std::set<std::string> done_;                 // the files already copied in this run, by their full path
    std::map<std::string, std::string> folders_; // per kivo-backups/ folder, the run folder made in it
    std::map<std::string, std::set<std::string>> protected_;
};

// The runs kept in one kivo-backups/ folder, oldest first, with the files each holds.
struct BackupRunListing {
    std::string name;
    std::vector<std::string> files;
};
Result<std::vector<BackupRunListing>> ListBackupRuns(const std::filesystem::path& directory);

// Puts the files of run `runName` (all of them when `files` is empty) back into `directory`, each current
// file first backed up in `backups` like any change. Stops at the first failure; what was restored stays.
// Returns the names restored.
Result<std::vector<std::string>> RestoreBackupRun(const std::filesystem::path& directory,
                                                  const std::string& runName,
                                                  const std::vector<std::string>& files, BackupRun& backups);

// Whether a folder name is a run's: "2026-12-06_20-31-07", optionally followed by "-<n>".
bool IsBackupRunName(const std::string& name);
// Run names in age order (a "-<n>" suffix after the plain name, by its number).
bool BackupRunOlder(const std::string& a, const std::string& b);

// Copies `from` to `to` through a temporary file beside `to`, renamed when the copy is whole; an existing
// `to` is replaced only then. The error names both files and the operating system's text.
Status CopyFileWhole(const std::filesystem::path& from, const std::filesystem::path& to);

// Removes the oldest run folders of `backupFolder` (a kivo-backups/ folder) beyond the newest `keep`.
void PruneBackupRuns(const std::filesystem::path& backupFolder, int keep = kBackupRunsKept);
// The same, never removing the runs named in `spared`.
void PruneBackupRuns(const std::filesystem::path& backupFolder, int keep,
                     const std::set<std::string>& spared);

} // namespace kivo
