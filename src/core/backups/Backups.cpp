#include "core/backups/Backups.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <system_error>
#include <vector>

namespace kivo {
namespace fs = std::filesystem;

namespace {

std::string RunName(std::chrono::system_clock::time_point start) {
    const std::time_t t = std::chrono::system_clock::to_time_t(start);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

// A run folder's name is its start time, so the names sort by age.
bool IsRunFolderName(const std::string& name) {
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

} // namespace

BackupRun::BackupRun(std::chrono::system_clock::time_point start) : name_(RunName(start)) {}

fs::path BackupRun::BackupPathFor(const fs::path& file) const {
    const fs::path absolute = fs::absolute(file);
    return absolute.parent_path() / kBackupFolderName / name_ / absolute.filename();
}

Status BackupRun::EnsureBackedUp(const fs::path& file) {
    const fs::path absolute = fs::absolute(file).lexically_normal();
    if (done_.count(absolute.string())) return Status::Ok();
    const fs::path target = BackupPathFor(absolute);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec)
        return Error{"Cannot back up " + absolute.string() + ": the folder " + target.parent_path().string() +
                     " cannot be made (" + ec.message() + "). Nothing was changed."};
    if (Status copied = CopyFileWhole(absolute, target); !copied)
        return Error{"Cannot back up " + absolute.string() + " before changing it: " + copied.error().text +
                     ". Nothing was changed."};
    done_.insert(absolute.string());
    PruneBackupRuns(target.parent_path().parent_path());
    return Status::Ok();
}

Status CopyFileWhole(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in)
        return Error{"cannot read " + from.string() + " (" +
                     std::error_code(errno, std::generic_category()).message() + ")"};
    const fs::path temporary = fs::path(to).concat(".partial");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return Error{"cannot write " + temporary.string() + " (" +
                         std::error_code(errno, std::generic_category()).message() + ")"};
        std::vector<char> buffer(1 << 16);
        while (in) {
            in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            const std::streamsize got = in.gcount();
            if (got > 0 && !out.write(buffer.data(), got)) break;
        }
        const bool readFailed = in.bad();
        out.flush();
        if (readFailed || !out) {
            const std::string why = std::error_code(errno, std::generic_category()).message();
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return Error{(readFailed ? "reading " + from.string() : "writing " + temporary.string()) +
                         " failed (" + why + ")"};
        }
    }
    std::error_code ec;
    fs::rename(temporary, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Error{"cannot rename " + temporary.string() + " to " + to.string() + " (" + ec.message() +
                     ")"};
    }
    return Status::Ok();
}

void PruneBackupRuns(const fs::path& backupFolder, int keep) {
    std::error_code ec;
    std::vector<std::string> runs;
    for (fs::directory_iterator it(backupFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (IsRunFolderName(name) && it->is_directory(ec)) runs.push_back(name);
    }
    if (static_cast<int>(runs.size()) <= keep) return;
    std::sort(runs.begin(), runs.end());
    for (std::size_t i = 0; i + keep < runs.size(); ++i) {
        std::error_code ignored;
        fs::remove_all(backupFolder / runs[i], ignored);
    }
}

} // namespace kivo
