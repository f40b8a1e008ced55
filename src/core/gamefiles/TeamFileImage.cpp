#include "core/gamefiles/TeamFileImage.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

#include "core/gamefiles/TeamFile.h"
#include "core/support/FileAccess.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace fs = std::filesystem;

namespace {

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
    const std::size_t header = HeaderOf(image.cup);
    auto bytes = ReadWholeFileBytes(image.path, header + (kMaxTeamsPerFile + 1) * kTeamRecordSize - 1);
    if (!bytes) return bytes.error();
    if (bytes->size() < header)
        return Error{"Cannot read the header of " + image.path + ": the file is shorter than 2 bytes"};
    image.bytes = std::move(*bytes);
    return image;
}

namespace {

Status SaveImages(BackupRun& backups, const std::vector<const TeamFileImage*>& images) {
    std::vector<fs::path> paths;
    for (const TeamFileImage* image : images) {
        // Replacing a file by rename would succeed even on a read-only file: the file itself must take
        // writes.
        if (auto probe = OpenRegularFile(image->path, true); !probe)
            return Error{probe.error().text + ". Nothing was changed."};
        paths.emplace_back(image->path);
    }
    if (Status backedUp = backups.EnsureBackedUpBeforeReplacing(paths); !backedUp) return backedUp;
    std::vector<FileReplacement> pending;
    pending.reserve(images.size());
    for (const TeamFileImage* image : images) {
        auto replacement = FileReplacement::Begin(image->path);
        if (!replacement) return Error{replacement.error().text + ". Nothing was changed."};
        const std::string_view bytes(reinterpret_cast<const char*>(image->bytes.data()), image->bytes.size());
        if (Status written = replacement->Write(bytes); !written)
            return Error{written.error().text + ". Nothing was changed."};
        if (Status flushed = replacement->Flush(); !flushed)
            return Error{flushed.error().text + ". Nothing was changed."};
        pending.push_back(std::move(*replacement));
    }
    std::set<fs::path> folders;
    std::string replaced;
    for (FileReplacement& replacement : pending) {
        if (Status renamed = replacement.Commit(false); !renamed)
            return Error{renamed.error().text + ". " + replacement.target().string() + " was not changed" +
                         (replaced.empty() ? std::string(".") : "; replaced before it: " + replaced)};
        replaced += (replaced.empty() ? "" : ", ") + replacement.target().filename().string();
        folders.insert(replacement.target().parent_path());
    }
    for (const fs::path& folder : folders)
        if (Status synced = SyncFolder(folder); !synced) return synced;
    return Status::Ok();
}

} // namespace

Status SaveTeamFileImage(BackupRun& backups, const TeamFileImage& image) {
    return SaveImages(backups, {&image});
}

Status SaveTeamFileImages(BackupRun& backups, const std::vector<TeamFileImage>& images) {
    std::vector<const TeamFileImage*> all;
    for (const TeamFileImage& image : images)
        all.push_back(&image);
    return SaveImages(backups, all);
}

} // namespace kivo
