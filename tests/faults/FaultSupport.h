#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"

namespace kivo::faults {

namespace fs = std::filesystem;

// Paths of the programs under test, from the build.
std::string CliPath();
std::string WriterPath();

// A scratch directory removed with everything in it, mounts first.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& path() const { return path_; }
    // Mounts a tmpfs of `bytes` on `where` (inside this directory); false when it cannot be done here.
    bool MountSmall(const fs::path& where, unsigned long bytes);

private:
    fs::path path_;
    std::vector<fs::path> mounts_;
};

// Every regular file under `root` by its path relative to root, with its bytes; symbolic links by their
// target, as "-> target". The backup folders are left out (they are compared on their own).
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const fs::path& root);

// The rows of every table of an SQLite file as text, after recovery from a journal left by a killed
// writer (done on a copy, so the file looked at is not changed); nullopt when it is not a database.
std::optional<std::string> DatabaseRows(const fs::path& file);

// The copies made in kivo-backups/ run folders under `root`: relative path of the file they copy (the
// folder of kivo-backups/ plus the file's name) → the copy's bytes, for every copy not in `before`.
std::multimap<std::string, std::string> NewBackupCopies(const fs::path& root,
                                                        const std::set<std::string>& before);
std::set<std::string> BackupCopyPaths(const fs::path& root);

// Recursive copy keeping modes and links.
void CopyTree(const fs::path& from, const fs::path& to);

std::string ReadBytes(const fs::path& file);
// Bytes used by the files under `root` (their sizes rounded up to whole 4 KiB pages).
unsigned long long PagesUsed(const fs::path& root);

// One short line for a report: printable, at most `width` characters.
std::string Shorten(const std::string& text, std::size_t width = 110);

} // namespace kivo::faults
