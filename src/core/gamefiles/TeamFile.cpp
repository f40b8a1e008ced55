#include "core/gamefiles/TeamFile.h"

#include <cerrno>
#include <limits>
#include <system_error>

#include "core/support/FileAccess.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

// A position whose record would end past the largest file offset names no team. Without this check the
// offset of a huge position wraps round to the bytes of a real team.
bool TeamPositionFits(std::uint64_t k) {
    constexpr std::uint64_t maxOffset = static_cast<std::uint64_t>(std::numeric_limits<long>::max());
    return k <= (maxOffset - kLeagueHeaderSize - kTeamRecordSize) / kTeamRecordSize;
}

Error NoSuchTeam(const std::string& what, const std::string& path, std::uint64_t k) {
    return Error{what + " team " + std::to_string(k) + " of " + path + ": the file has no team " +
                 std::to_string(k)};
}

Error IoError(const std::string& what, const std::string& path, int code) {
    return Error{what + " " + path + ": " + SystemErrorText(code)};
}

} // namespace

bool IsCupFile(const std::string& path) {
    std::string trimmed = TrimRight(path);
    if (trimmed.size() < 3) return false;
    std::string ext = trimmed.substr(trimmed.size() - 3);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "tmd";
}

std::uint64_t TeamRecordOffset(const std::string& path, std::uint64_t k) {
    return (IsCupFile(path) ? 0 : kLeagueHeaderSize) + kTeamRecordSize * k;
}

Result<TeamFile> TeamFile::Open(const std::string& path, Mode mode) {
    std::string trimmed = TrimRight(path);
    std::filesystem::path found = FindExistingFile(trimmed);
    auto handle = OpenRegularFile(found, mode == Mode::ReadWrite);
    if (!handle) {
        std::error_code ec;
        if (std::filesystem::is_directory(found, ec))
            return Error{"Cannot open " + trimmed + ": it is a directory, not a team file"};
        return Error{handle.error().text};
    }
    errno = 0;
    std::FILE* f = ::fdopen(handle->get(), mode == Mode::ReadOnly ? "rb" : "r+b");
    if (!f) return IoError("Cannot open", trimmed, errno ? errno : EIO);
    handle->release();
    return TeamFile(found.string(), std::unique_ptr<std::FILE, Closer>(f), IsCupFile(trimmed));
}

Result<std::uint64_t> TeamFile::Size() {
    errno = 0;
    if (std::fseek(file_.get(), 0, SEEK_END) != 0) return IoError("Cannot seek in", path_, errno);
    long size = std::ftell(file_.get());
    if (size < 0) return IoError("Cannot seek in", path_, errno);
    return static_cast<std::uint64_t>(size);
}

Status TeamFile::CheckHeader() {
    std::uint8_t header[kLeagueHeaderSize];
    errno = 0;
    std::clearerr(file_.get());
    if (std::fseek(file_.get(), 0, SEEK_SET) != 0) return IoError("Cannot read the header of", path_, errno);
    if (std::fread(header, 1, sizeof header, file_.get()) != sizeof header) {
        if (std::ferror(file_.get())) return IoError("Cannot read the header of", path_, errno);
        return Error{"Cannot read the header of " + path_ + ": the file is shorter than 2 bytes"};
    }
    return CheckSize();
}

Status TeamFile::CheckSize() {
    auto size = Size();
    if (!size) return size.error();
    const std::uint64_t start = TeamRecordOffset(path_, 0);
    if (*size > start && (*size - start) / kTeamRecordSize > kMaxTeamsPerFile)
        return Error{"Cannot read " + path_ + ": at " + std::to_string(*size) +
                     " bytes it is far too large to be a team file"};
    return {};
}

Result<TeamRecord> TeamFile::ReadTeam(std::uint64_t k) {
    // Every reader stops here at the latest, so that no loop over a huge (or sparse) file runs for ever.
    if (!TeamPositionFits(k) || k >= kMaxTeamsPerFile) return NoSuchTeam("Cannot read", path_, k);
    const std::uint64_t offset = TeamRecordOffset(path_, k);
    TeamRecordBytes bytes;
    errno = 0;
    std::clearerr(file_.get());
    const std::string where =
        "team " + std::to_string(k) + " of " + path_ + " at offset " + std::to_string(offset);
    if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0)
        return Error{"Cannot read " + where + ": " + SystemErrorText(errno)};
    std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file_.get());
    if (got != bytes.size()) {
        if (std::ferror(file_.get())) return Error{"Cannot read " + where + ": " + SystemErrorText(errno)};
        return Error{"Cannot read " + where + ": the file has no team " + std::to_string(k)};
    }
    return ParseTeamRecord(bytes);
}

Result<std::vector<TeamRecord>> TeamFile::ReadAllTeams() {
    auto size = Size();
    if (!size) return size.error();
    const std::uint64_t start = TeamRecordOffset(path_, 0);
    std::vector<TeamRecord> teams;
    if (*size < start) return teams;
    const std::uint64_t count = (*size - start) / kTeamRecordSize;
    if (count > kMaxTeamsPerFile)
        return Error{"Cannot read " + path_ + ": at " + std::to_string(*size) +
                     " bytes it is far too large to be a team file"};
    std::vector<std::uint8_t> buffer(count * kTeamRecordSize);
    errno = 0;
    std::clearerr(file_.get());
    if (std::fseek(file_.get(), static_cast<long>(start), SEEK_SET) != 0)
        return IoError("Cannot read the teams of", path_, errno);
    std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_.get());
    if (got != buffer.size() && std::ferror(file_.get()))
        return IoError("Cannot read the teams of", path_, errno);
    // A file that shrank between the size check and the read simply has fewer teams.
    const std::size_t whole = got / kTeamRecordSize;
    teams.reserve(whole);
    for (std::size_t k = 0; k < whole; ++k)
        teams.push_back(ParseTeamRecord(std::span<const std::uint8_t, kTeamRecordSize>(
            buffer.data() + k * kTeamRecordSize, kTeamRecordSize)));
    return teams;
}

Status TeamFile::WriteTeam(std::uint64_t k, const TeamRecord& record) {
    if (!TeamPositionFits(k)) return NoSuchTeam("Cannot write", path_, k);
    const std::uint64_t offset = TeamRecordOffset(path_, k);
    const std::string where =
        "team " + std::to_string(k) + " of " + path_ + " at offset " + std::to_string(offset);
    auto size = Size();
    if (!size) return size.error();
    if (offset + kTeamRecordSize > *size)
        return Error{"Cannot write " + where + ": the file has no team " + std::to_string(k)};
    TeamRecordBytes bytes = SerializeTeamRecord(record);
    errno = 0;
    std::clearerr(file_.get());
    if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size() ||
        std::fflush(file_.get()) != 0)
        return Error{"Cannot write " + where + ": " + SystemErrorText(errno ? errno : EIO)};
    return {};
}

Result<std::uint64_t> TeamFile::CountTeams() {
    auto size = Size();
    if (!size) return size.error();
    const std::uint64_t start = TeamRecordOffset(path_, 0);
    return *size < start ? 0 : (*size - start) / kTeamRecordSize;
}

Result<std::vector<std::uint8_t>> TeamFile::ReadBytesAt(std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    errno = 0;
    std::clearerr(file_.get());
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<long>::max()) ||
        std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0)
        return IoError("Cannot read", path_, errno ? errno : EINVAL);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file_.get());
    if (got != bytes.size() && std::ferror(file_.get())) return IoError("Cannot read", path_, errno);
    bytes.resize(got);
    return bytes;
}

Status CheckTeamFileHeader(const std::string& path) {
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadOnly);
    if (!file) return file.error();
    return file->CheckHeader();
}

Result<std::vector<TeamRecord>> ReadTeams(const std::string& path) {
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadOnly);
    if (!file) return file.error();
    if (auto header = file->CheckHeader(); !header) return header.error();
    return file->ReadAllTeams();
}

Result<TeamRecord> ReadTeam(const std::string& path, std::uint64_t k) {
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadOnly);
    if (!file) return file.error();
    return file->ReadTeam(k);
}

Status WriteTeam(const std::string& path, std::uint64_t k, const TeamRecord& record) {
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadWrite);
    if (!file) return file.error();
    return file->WriteTeam(k, record);
}

} // namespace kivo
