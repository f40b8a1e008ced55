#include "core/players/KeyedFileCompanions.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace kivo {
namespace {

// Whether any process holds a lock on the file. Read from the system's list of locks by device and inode,
// not through a descriptor of the file: closing any descriptor of a file drops this process's locks on it,
// and SQLite's connections of this process rely on theirs.
std::optional<bool> LockedByAnyone(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::ifstream locks("/proc/locks");
    if (!locks) return std::nullopt;
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%llu", ::major(st.st_dev), ::minor(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    // "1: POSIX  ADVISORY  READ 1234 00:2d:5678 128 128", a waiting lock with "->" before its type.
    for (std::string line; std::getline(locks, line);) {
        std::istringstream words(line);
        for (std::string word; words >> word;)
            if (word == id) return true;
    }
    return false;
}

} // namespace

void RemoveIdleCompanions(const std::string& path) {
    namespace fs = std::filesystem;
    const std::string wal = path + "-wal", shm = path + "-shm";
    std::error_code ec;
    const bool hasWal = fs::is_regular_file(wal, ec), hasShm = fs::is_regular_file(shm, ec);
    if (!hasWal && !hasShm) return;
    if (hasWal && (fs::file_size(wal, ec) != 0 || ec)) return; // a log with frames may hold commits
    for (const std::string& file : {path, shm}) {
        if (!fs::exists(file, ec)) continue;
        const auto locked = LockedByAnyone(file);
        if (!locked || *locked) return;
    }
    fs::remove(wal, ec);
    fs::remove(shm, ec);
}

void RemoveEmptyKeyedFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) != 0 || ec)
        return;
    std::filesystem::remove(path, ec);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const std::string side = path + suffix;
        if (std::filesystem::is_regular_file(side, ec) && std::filesystem::file_size(side, ec) == 0)
            std::filesystem::remove(side, ec);
    }
}

} // namespace kivo
