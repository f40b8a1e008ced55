#include "FaultSupport.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace kivo::faults {

std::string CliPath() {
    return KIVO_CLI_PATH;
}
std::string WriterPath() {
    return KIVO_FAULT_WRITER_PATH;
}

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "kivo-faults-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    fs::permissions(path_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
}

ScratchDir::~ScratchDir() {
    for (auto it = mounts_.rbegin(); it != mounts_.rend(); ++it)
        ::umount2(it->c_str(), MNT_DETACH);
    std::error_code ec;
    // Read-only folders left by a case must not stop the removal.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ec))
        if (entry.is_directory(ec) && !entry.is_symlink(ec))
            fs::permissions(entry.path(), fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
}

bool ScratchDir::MountSmall(const fs::path& where, unsigned long bytes) {
    if (!RunningAsRoot()) return false;
    fs::create_directories(where);
    const std::string data = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tmpfs", where.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, data.c_str()) != 0) return false;
    mounts_.push_back(where);
    return true;
}

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

static bool InBackups(const fs::path& relative) {
    for (const auto& part : relative)
        if (part == "kivo-backups") return true;
    return false;
}

Snapshot TakeSnapshot(const fs::path& root) {
    Snapshot shot;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path relative = it->path().lexically_relative(root);
        if (InBackups(relative)) {
            if (it->is_directory()) it.disable_recursion_pending();
            continue;
        }
        if (it->is_symlink())
            shot[relative.string()] = "-> " + fs::read_symlink(it->path()).string();
        else if (it->is_regular_file())
            shot[relative.string()] = ReadBytes(it->path());
    }
    return shot;
}

std::optional<std::string> DatabaseRows(const fs::path& file) {
    if (!fs::is_regular_file(file)) return std::nullopt;
    ScratchDir scratch;
    const fs::path copy = scratch.path() / "db";
    for (const char* suffix : {"", "-journal", "-wal"}) {
        const fs::path from = file.string() + suffix;
        if (fs::exists(from)) fs::copy_file(from, copy.string() + suffix);
    }
    try {
        SQLite::Database db(copy.string(), SQLite::OPEN_READWRITE);
        std::string rows;
        SQLite::Statement tables(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name");
        while (tables.executeStep()) {
            const std::string table = tables.getColumn(0).getString();
            rows += "table " + table + "\n";
            SQLite::Statement select(db, "SELECT * FROM \"" + table + "\" ORDER BY rowid");
            while (select.executeStep()) {
                for (int c = 0; c < select.getColumnCount(); ++c)
                    rows += (c ? "|" : "") + select.getColumn(c).getString();
                rows += "\n";
            }
        }
        return rows;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::set<std::string> BackupCopyPaths(const fs::path& root) {
    std::set<std::string> paths;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_regular_file() && InBackups(it->path().lexically_relative(root)))
            paths.insert(it->path().string());
    return paths;
}

std::multimap<std::string, std::string> NewBackupCopies(const fs::path& root,
                                                        const std::set<std::string>& before) {
    std::multimap<std::string, std::string> copies;
    for (const std::string& path : BackupCopyPaths(root)) {
        // A copy still under its temporary name was cut off by a kill: never taken for a backup.
        if (before.count(path) || path.ends_with(".partial")) continue;
        // <dir>/kivo-backups/<run>/<name> copies <dir>/<name>
        const fs::path p(path);
        const fs::path original = p.parent_path().parent_path().parent_path() / p.filename();
        copies.emplace(original.lexically_relative(root).string(), ReadBytes(p));
    }
    return copies;
}

void CopyTree(const fs::path& from, const fs::path& to) {
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

unsigned long long PagesUsed(const fs::path& root) {
    unsigned long long bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        bytes += entry.is_regular_file() ? (entry.file_size() + 4095) / 4096 * 4096 : 4096;
    return bytes;
}

std::string Shorten(const std::string& text, std::size_t width) {
    std::string line;
    for (unsigned char c : text) {
        if (c == '\n') break;
        line += std::isprint(c) ? char(c) : '?';
    }
    if (line.size() > width) line = line.substr(0, width - 3) + "...";
    return line;
}

} // namespace kivo::faults
