#include "core/gamefiles/TeamFileImage.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "core/gamefiles/TeamFile.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::size_t HeaderOf(bool cup) {
    return cup ? 0 : kLeagueHeaderSize;
}

} // namespace

std::uint64_t TeamFileImage::teamCount() const {
    const std::size_t header = HeaderOf(cup);
    return bytes.size() < header ? 0 : (bytes.size() - header) / kTeamRecordSize;
}

std::size_t TeamFileImage::offsetOf(std::uint64_t k) const {
    return HeaderOf(cup) + static_cast<std::size_t>(k) * kTeamRecordSize;
}

TeamRecord TeamFileImage::team(std::uint64_t k) const {
    return ParseTeamRecord(
        std::span<const std::uint8_t, kTeamRecordSize>(bytes.data() + offsetOf(k), kTeamRecordSize));
}

void TeamFileImage::setTeam(std::uint64_t k, const TeamRecord& record) {
    const TeamRecordBytes serialised = SerializeTeamRecord(record);
    std::copy(serialised.begin(), serialised.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offsetOf(k)));
}

Result<TeamFileImage> LoadTeamFileImage(const std::string& path) {
    const std::string shown = TrimRight(path);
    TeamFileImage image;
    image.path = FindExistingFile(shown).string();
    image.cup = IsCupFile(shown);
    std::error_code ec;
    if (fs::is_directory(image.path, ec))
        return Error{"Cannot open " + shown + ": it is a directory, not a team file"};
    errno = 0;
    FilePtr file(std::fopen(image.path.c_str(), "rb"));
    if (!file) return Error{"Cannot open " + shown + ": " + SystemErrorText(errno ? errno : ENOENT)};
    if (std::fseek(file.get(), 0, SEEK_END) != 0)
        return Error{"Cannot read " + image.path + ": " + SystemErrorText(errno)};
    const long size = std::ftell(file.get());
    if (size < 0) return Error{"Cannot read " + image.path + ": " + SystemErrorText(errno)};
    const std::size_t header = HeaderOf(image.cup);
    if (static_cast<std::uint64_t>(size) < header)
        return Error{"Cannot read the header of " + image.path + ": the file is shorter than 2 bytes"};
    if ((static_cast<std::uint64_t>(size) - header) / kTeamRecordSize > kMaxTeamsPerFile)
        return Error{image.path + " holds more than " + std::to_string(kMaxTeamsPerFile) +
                     " teams: it is not a team file"};
    image.bytes.resize(static_cast<std::size_t>(size));
    std::rewind(file.get());
    if (std::fread(image.bytes.data(), 1, image.bytes.size(), file.get()) != image.bytes.size())
        return Error{"Cannot read " + image.path + ": " + SystemErrorText(errno ? errno : EIO)};
    return image;
}

Status SaveTeamFileImage(BackupRun& backups, const TeamFileImage& image) {
    // Replacing the file by rename would succeed even on a read-only file: the file itself must take writes.
    errno = 0;
    if (FilePtr probe(std::fopen(image.path.c_str(), "r+b")); !probe)
        return Error{"Cannot write " + image.path + ": " + SystemErrorText(errno ? errno : EACCES) +
                     ". Nothing was changed."};
    if (Status backedUp = backups.EnsureBackedUp(image.path); !backedUp) return backedUp;
    const fs::path temporary = fs::path(image.path).concat(".kivo-writing");
    {
        errno = 0;
        FilePtr out(std::fopen(temporary.string().c_str(), "wb"));
        if (!out)
            return Error{"Cannot write " + temporary.string() + ": " +
                         SystemErrorText(errno ? errno : EACCES) + ". " + image.path + " was not changed."};
        const bool written =
            std::fwrite(image.bytes.data(), 1, image.bytes.size(), out.get()) == image.bytes.size() &&
            std::fflush(out.get()) == 0;
        const int why = errno ? errno : EIO;
        if (!written || std::fclose(out.release()) != 0) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return Error{"Cannot write " + temporary.string() + ": " + SystemErrorText(why) + ". " +
                         image.path + " was not changed."};
        }
    }
    std::error_code ec;
    fs::permissions(temporary, fs::status(image.path, ec).permissions(), ec);
    fs::rename(temporary, image.path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return Error{"Cannot replace " + image.path + ": " + ec.message() + ". The file was not changed."};
    }
    return Status::Ok();
}

} // namespace kivo
