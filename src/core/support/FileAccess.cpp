#include "core/support/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/support/FileLookup.h"

namespace kivo {
namespace fs = std::filesystem;

namespace {

Error SystemError(const std::string& what, const fs::path& path, int code) {
    return Error{what + " " + path.string() + ": " + SystemErrorText(code ? code : EIO)};
}

// Writes all of `bytes`, going on after a short write; a write that makes no progress is an error.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FileHandle::~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
}

int FileHandle::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

Result<FileHandle> OpenRegularFile(const fs::path& path, bool writable) {
    // O_NONBLOCK: opening a FIFO with no writer would otherwise wait for one for ever.
    const int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return SystemError("Cannot open", path, errno);
    FileHandle file(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return SystemError("Cannot open", path, errno);
    if (S_ISDIR(st.st_mode)) return Error{"Cannot open " + path.string() + ": it is a directory"};
    if (!S_ISREG(st.st_mode)) return Error{"Cannot open " + path.string() + ": it is not a regular file"};
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return SystemError("Cannot open", path, errno);
    return file;
}

Result<std::uint64_t> FileSizeOf(const FileHandle& file, const fs::path& path) {
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) return SystemError("Cannot read the size of", path, errno);
    return static_cast<std::uint64_t>(st.st_size);
}

namespace {

// The file's bytes, read straight into the container that keeps them.
template <class Bytes> Result<Bytes> ReadAll(const fs::path& path, std::uint64_t maxBytes) {
    auto file = OpenRegularFile(path, false);
    if (!file) return file.error();
    auto size = FileSizeOf(*file, path);
    if (!size) return size.error();
    if (*size > maxBytes)
        return Error{"Cannot read " + path.string() + ": at " + std::to_string(*size) +
                     " bytes it is far too large for its kind"};
    Bytes bytes(static_cast<std::size_t>(*size) + 1, 0); // one more: a file that grows is seen to
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(got + (1 << 16));
        const ssize_t n = ::read(file->get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return SystemError("Cannot read", path, errno);
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
        // A file that grows while it is read is held to the same limit.
        if (got > maxBytes)
            return Error{"Cannot read " + path.string() + ": it is far too large for its kind"};
    }
    bytes.resize(got);
    return bytes;
}

} // namespace

Result<std::string> ReadWholeFile(const fs::path& path, std::uint64_t maxBytes) {
    return ReadAll<std::string>(path, maxBytes);
}

Result<std::vector<std::uint8_t>> ReadWholeFileBytes(const fs::path& path, std::uint64_t maxBytes) {
    return ReadAll<std::vector<std::uint8_t>>(path, maxBytes);
}

Result<fs::path> WriteTarget(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    const fs::path target = fs::canonical(path, ec);
    if (ec)
        return Error{"Cannot write " + path.string() + ": it is a link to a file that cannot be reached (" +
                     ec.message() + ")"};
    return target;
}

Status SyncFolder(const fs::path& folder) {
    const fs::path shown = folder.empty() ? fs::path(".") : folder;
    const int fd = ::open(shown.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return SystemError("Cannot flush the folder", shown, errno);
    FileHandle handle(fd);
    // Some file systems cannot flush a folder; their renames are as safe as they can be made.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
        return SystemError("Cannot flush the folder", shown, errno);
    return {};
}

Result<FileReplacement> FileReplacement::Begin(const fs::path& path) {
    auto target = WriteTarget(path);
    if (!target) return target.error();
    int mode = -1;
    struct stat st {};
    if (::stat(target->c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return Error{"Cannot write " + path.string() + ": it is not a regular file"};
        mode = static_cast<int>(st.st_mode & 07777);
    }
    fs::path temporary = *target;
    temporary += ".partial";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return SystemError("Cannot write", temporary, errno);
    return FileReplacement(*target, temporary, FileHandle(fd), mode);
}

FileReplacement::~FileReplacement() {
    if (file_.get() < 0) return;
    file_ = FileHandle();
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

Status FileReplacement::Write(std::string_view bytes) {
    if (!WriteAll(file_.get(), bytes)) return SystemError("Cannot write", temporary_, errno);
    return {};
}

Status FileReplacement::Flush() {
    if (flushed_) return {};
    // The mode first: a file the user made read-only stays read-only after the change.
    if (mode_ >= 0 && ::fchmod(file_.get(), static_cast<mode_t>(mode_)) != 0)
        return SystemError("Cannot keep the permissions of", target_, errno);
    if (::fsync(file_.get()) != 0) return SystemError("Cannot flush", temporary_, errno);
    flushed_ = true;
    return {};
}

Status FileReplacement::Commit(bool flushFolder) {
    if (Status flushed = Flush(); !flushed) return flushed;
    if (::close(file_.release()) != 0) {
        const int code = errno;
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        return SystemError("Cannot write", temporary_, code);
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int code = errno;
        std::error_code ignored;
        fs::remove(temporary_, ignored);
        return Error{"Cannot rename " + temporary_.string() + " to " + target_.string() + ": " +
                     SystemErrorText(code)};
    }
    return flushFolder ? SyncFolder(target_.parent_path()) : Status{};
}

Status ReplaceFileWhole(const fs::path& path, std::string_view bytes) {
    auto replacement = FileReplacement::Begin(path);
    if (!replacement) return replacement.error();
    if (Status written = replacement->Write(bytes); !written) return written;
    return replacement->Commit();
}

} // namespace kivo
