#include "core/backups/Backups.h"

#include "core/support/FileAccess.h"
#include "core/support/FileLookup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace kivo {
namespace fs = std::filesystem;

static_assert(kMaxSettingsFileBytes >= kMaxPoolFileBytes, "the largest game file bounds every restore");

namespace {

std::string RunName(std::chrono::system_clock::time_point start) {
    const std::time_t t = std::chrono::system_clock::to_time_t(start);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

// The plain part of a run folder's name is its start time, so the names sort by age.
bool IsPlainRunName(const std::string& name) {
    if (name.size() != 19) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool sep = i == 4 || i == 7 || i == 13 || i == 16;
        if (i == 10) {
            if (c != '_') return false;
        } else if (sep) {
            if (c != '-') return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// The "-<n>" suffix of a run that started in the same second as another: 1 for none.
long SuffixOf(const std::string& name) {
    if (name.size() <= 20) return 1;
    return std::strtol(name.c_str() + 20, nullptr, 10);
}

// A file name inside a run folder: no directory part, so a restore never writes outside its directory.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

} // namespace

bool IsBackupRunName(const std::string& name) {
    if (name.size() == 19) return IsPlainRunName(name);
    if (name.size() < 21 || name[19] != '-' || !IsPlainRunName(name.substr(0, 19))) return false;
    if (name[20] == '0' || name.size() > 29) return false;
    return name.find_first_not_of("0123456789", 20) == std::string::npos;
}

bool BackupRunOlder(const std::string& a, const std::string& b) {
    const std::string plainA = a.substr(0, 19), plainB = b.substr(0, 19);
    if (plainA != plainB) return plainA < plainB;
    return SuffixOf(a) < SuffixOf(b);
}

BackupRun::BackupRun(std::chrono::system_clock::time_point start) : name_(RunName(start)) {}

void BackupRun::Protect(const fs::path& backupFolder, const std::string& runName) {
    protected_[fs::absolute(backupFolder).lexically_normal().string()].insert(runName);
}

fs::path BackupRun::BackupPathFor(const fs::path& file) const {
    const fs::path absolute = fs::absolute(file).lexically_normal();
    const fs::path folder = absolute.parent_path() / kBackupFolderName;
    const auto made = folders_.find(folder.string());
    return folder / (made != folders_.end() ? made->second : name_) / absolute.filename();
}

namespace {

// The file's present contents under a second name, at no copying: right before a new file is renamed
// over it, the old file's bytes are never written again. Where a link cannot be made (a folder on
// another file system, one that has no links), the bytes are copied.
Status LinkOrCopy(const fs::path& from, const fs::path& to, bool flush) {
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return flush ? SyncFolder(to.parent_path()) : Status{};
    return CopyFileWhole(from, to);
}

} // namespace

Status BackupRun::EnsureBackedUp(const fs::path& file, Change change) {
    return BackUp(file, change, true);
}

Status BackupRun::EnsureBackedUpBeforeReplacing(const std::vector<fs::path>& files) {
    std::set<fs::path> runFolders;
    for (const fs::path& file : files) {
        if (Status kept = BackUp(file, Change::Replacement, false); !kept) return kept;
        runFolders.insert(BackupPathFor(file).parent_path());
    }
    for (const fs::path& folder : runFolders)
        if (Status synced = SyncFolder(folder); !synced) return synced;
    return Status::Ok();
}

Status BackupRun::BackUp(const fs::path& file, Change change, bool flushLink) {
    const fs::path absolute = fs::absolute(file).lexically_normal();
    if (done_.count(absolute.string())) return Status::Ok();
    const fs::path folder = absolute.parent_path() / kBackupFolderName;
    if (!folders_.count(folder.string())) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        // A folder that already exists belongs to another run of the same second: its copies are that
        // run's originals and must not be overwritten, so this run takes the next free suffix.
        for (int n = 1; !ec && n < 1000; ++n) {
            const std::string candidate = n == 1 ? name_ : name_ + "-" + std::to_string(n);
            if (fs::create_directory(folder / candidate, ec)) {
                folders_[folder.string()] = candidate;
                break;
            }
        }
        // The new folders' entries reach the disk with the copy, or a crash could lose the copy.
        if (!ec && folders_.count(folder.string())) {
            if (Status synced = SyncFolder(folder); !synced) return synced.error();
            if (Status synced = SyncFolder(absolute.parent_path()); !synced) return synced.error();
        }
        if (ec || !folders_.count(folder.string()))
            return Error{"Cannot back up " + absolute.string() + ": no run folder can be made in " +
                         folder.string() + (ec ? " (" + ec.message() + ")" : std::string()) +
                         ". Nothing was changed."};
    }
    const fs::path target = BackupPathFor(absolute);
    const Status copied = change == Change::Replacement ? LinkOrCopy(absolute, target, flushLink)
                                                        : CopyFileWhole(absolute, target);
    if (!copied)
        return Error{"Cannot back up " + absolute.string() + " before changing it: " + copied.error().text +
                     ". Nothing was changed."};
    done_.insert(absolute.string());
    // Pruning never takes this run's own folder (it is the newest) nor one a restore is reading.
    const auto kept = protected_.find(folder.string());
    if (kept == protected_.end()) {
        PruneBackupRuns(folder);
    } else {
        PruneBackupRuns(folder, kBackupRunsKept, kept->second);
    }
    return Status::Ok();
}

Status CopyFileWhole(const fs::path& from, const fs::path& to) {
    auto in = OpenRegularFile(from, false);
    if (!in) return Error{"cannot read " + from.string() + " (" + in.error().text + ")"};
    auto out = FileReplacement::Begin(to);
    if (!out) return out.error();
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(in->get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Error{"reading " + from.string() + " failed (" + SystemErrorText(errno) + ")"};
        if (got == 0) break;
        if (Status written = out->Write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
            !written)
            return written;
    }
    // On disk, folder entry included, before the change it protects is made.
    return out->Commit();
}

namespace {
std::vector<std::string> RunFolders(const fs::path& backupFolder) {
    std::error_code ec;
    std::vector<std::string> runs;
    for (fs::directory_iterator it(backupFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code kind;
        if (IsBackupRunName(name) && it->is_directory(kind)) runs.push_back(name);
    }
    std::sort(runs.begin(), runs.end(), BackupRunOlder);
    return runs;
}
} // namespace

void PruneBackupRuns(const fs::path& backupFolder, int keep) {
    PruneBackupRuns(backupFolder, keep, {});
}

void PruneBackupRuns(const fs::path& backupFolder, int keep, const std::set<std::string>& spared) {
    const std::vector<std::string> runs = RunFolders(backupFolder);
    if (static_cast<int>(runs.size()) <= keep) return;
    for (std::size_t i = 0; i + keep < runs.size(); ++i) {
        if (spared.count(runs[i])) continue;
        std::error_code ignored;
        fs::remove_all(backupFolder / runs[i], ignored);
    }
}

Result<std::vector<BackupRunListing>> ListBackupRuns(const fs::path& directory) {
    const fs::path folder = directory / kBackupFolderName;
    std::error_code ec;
    if (!fs::is_directory(directory, ec)) return Error{directory.string() + " is not a directory"};
    std::vector<BackupRunListing> listing;
    for (const std::string& run : RunFolders(folder)) {
        BackupRunListing entry{run, {}};
        for (fs::directory_iterator it(folder / run, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            // A copy still under its temporary name was never finished.
            if (name.size() > 8 && name.ends_with(".partial")) continue;
            std::error_code kind;
            if (it->is_regular_file(kind)) entry.files.push_back(name);
        }
        std::sort(entry.files.begin(), entry.files.end());
        listing.push_back(std::move(entry));
    }
    return listing;
}

Result<std::vector<std::string>> RestoreBackupRun(const fs::path& directory, const std::string& runName,
                                                  const std::vector<std::string>& files, BackupRun& backups) {
    const fs::path folder = directory / kBackupFolderName;
    if (!IsBackupRunName(runName))
        return Error{"\"" + runName + "\" is not the name of a backup run (like 2026-12-06_20-31-07)"};
    std::error_code ec;
    const fs::path run = folder / runName;
    if (!fs::is_directory(run, ec))
        return Error{"There is no backup run " + runName + " in " + folder.string()};
    std::vector<std::string> names = files;
    if (names.empty()) {
        for (fs::directory_iterator it(run, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            std::error_code kind;
            if (it->is_regular_file(kind) && !name.ends_with(".partial")) names.push_back(name);
        }
        // A run folder that cannot be read restores nothing, and must not say it did.
        if (ec) return Error{"Cannot read the backup run " + run.string() + ": " + ec.message()};
        if (names.empty())
            return Error{"The backup run " + runName + " holds no files; nothing was restored"};
        std::sort(names.begin(), names.end());
    }
    for (const std::string& name : names) {
        std::error_code kind;
        if (!IsPlainFileName(name) || !fs::is_regular_file(run / name, kind))
            return Error{"The backup run " + runName + " holds no file " + name + "; nothing was restored"};
        // No game file is larger than the largest settings file: a copy that is cannot be one, and copying
        // gigabytes back would take minutes.
        if (const auto size = fs::file_size(run / name, kind); !kind && size > kMaxSettingsFileBytes)
            return Error{"The backup run " + runName + " holds " + name + " of " + std::to_string(size) +
                         " bytes, far too large to be a game file; nothing was restored"};
    }
    backups.Protect(folder, runName);
    std::vector<std::string> restored;
    for (const std::string& name : names) {
        const fs::path target = directory / name;
        std::error_code exists;
        if (fs::exists(target, exists)) {
            // The restore replaces the file whole (CopyFileWhole), so its backup may be the file itself.
            if (Status saved = backups.EnsureBackedUp(target, BackupRun::Change::Replacement); !saved)
                return saved.error();
        }
        if (Status copied = CopyFileWhole(run / name, target); !copied)
            return Error{"Cannot restore " + target.string() + ": " + copied.error().text +
                         (restored.empty() ? std::string() : "; restored before it: " + [&] {
                             std::string list;
                             for (const auto& r : restored)
                                 list += (list.empty() ? "" : ", ") + r;
                             return list;
                         }())};
        restored.push_back(name);
    }
    return restored;
}

} // namespace kivo
