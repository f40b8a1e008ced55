#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/support/Result.h"

namespace kivo {

// The one way the core opens, reads and replaces files. Game files are opened without blocking and only
// when they are regular files (a FIFO or a device in place of a team file would hang or read for ever);
// every kind of file has a size past which it is refused unread; a file is replaced through a temporary
// beside it that is flushed to disk before it is renamed over the file, and the folder is flushed after the
// rename, so a crash leaves the old file or the new one, never half of either.

// Sizes past which a file is not of its kind. Team files are bounded by their team count (TeamFile.h).
inline constexpr std::uint64_t kMaxSettingsFileBytes = 4u << 20;
inline constexpr std::uint64_t kMaxPoolFileBytes = 58u * 65536u;

// An open file descriptor, closed when it goes away.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    ~FileHandle();
    int get() const { return fd_; }
    int release();

private:
    int fd_ = -1;
};

// Opens an existing regular file, read-only or for reading and writing, without waiting on a FIFO or a
// device. The error names the file and says why ("it is not a regular file", the system's text).
Result<FileHandle> OpenRegularFile(const std::filesystem::path& path, bool writable);

// The size of an open file.
Result<std::uint64_t> FileSizeOf(const FileHandle& file, const std::filesystem::path& path);

// The whole file, refused when larger than `maxBytes`; every read error is an error.
Result<std::string> ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes);
Result<std::vector<std::uint8_t>> ReadWholeFileBytes(const std::filesystem::path& path,
                                                     std::uint64_t maxBytes);

// The file a write to `path` lands on: a symbolic link is followed to its target, so the user's file is
// changed and the link stays a link. A link that leads nowhere is refused.
Result<std::filesystem::path> WriteTarget(const std::filesystem::path& path);

// Flushes a folder's entries (a rename or a new file in it) to disk.
Status SyncFolder(const std::filesystem::path& folder);

// A file written whole or not at all: the bytes go to a temporary file beside the target; Commit flushes
// it, gives it the old file's permissions (0644 less the umask for a new file), renames it over the target
// and flushes the folder. Without Commit (a failure on the way) the temporary is removed and the target
// stays as it was.
class FileReplacement {
public:
    static Result<FileReplacement> Begin(const std::filesystem::path& path);
    FileReplacement(FileReplacement&& other) noexcept = default;
    FileReplacement& operator=(FileReplacement&&) noexcept = delete;
    ~FileReplacement();

    Status Write(std::string_view bytes);
    // Gives the temporary its permissions and puts it on disk; Commit does so when it has not been done.
    Status Flush();
    // Renames the temporary over the target and, with `flushFolder`, flushes the folder (a caller that
    // renames many files in one folder flushes it once, after the last).
    Status Commit(bool flushFolder = true);
    const std::filesystem::path& target() const { return target_; }

private:
    FileReplacement(std::filesystem::path target, std::filesystem::path temporary, FileHandle file, int mode)
        : target_(std::move(target)), temporary_(std::move(temporary)), file_(std::move(file)), mode_(mode) {}
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    FileHandle file_;
    int mode_ = -1; // the permissions to give the new file; -1 for the default
    bool flushed_ = false;
};

// Replaces the file at `path` (through a link, see WriteTarget) by `bytes`, whole or not at all.
Status ReplaceFileWhole(const std::filesystem::path& path, std::string_view bytes);

} // namespace kivo
