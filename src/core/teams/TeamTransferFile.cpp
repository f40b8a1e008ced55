#include "core/teams/TeamTransferFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>

#include "core/backups/Backups.h"
#include "core/gamefiles/TeamFile.h"
#include "core/support/FileAccess.h"
#include "core/support/FileLookup.h"
#include "core/teams/SaveTeam.h"
#include "core/teams/TeamBrowsing.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "KIVO TEAM 1";
constexpr std::size_t kMaxHeader = 1024;

Error NotATeamFile(const std::string& why) {
    return Error{"This is not a saved team (.kteam) file: " + why + "."};
}

Result<std::string> ReadSmallFile(const std::string& path) {
    std::error_code ec;
    const fs::path found = FindExistingFile(path);
    if (fs::is_directory(found, ec)) return Error{"Cannot open " + path + ": it is a directory"};
    if (const auto size = fs::file_size(found, ec); !ec && size > kMaxHeader + kTeamRecordSize)
        return Error{path + " is not a saved team (.kteam) file: it is " + std::to_string(size) +
                     " bytes long, far more than a team."};
    return ReadWholeFile(found, kMaxHeader + kTeamRecordSize);
}

} // namespace

std::string TeamTransferBytes(const SavedTeam& team) {
    std::string out = std::string(kMagic) + "\r\nfile: " + team.sourceFile +
                      "\r\nteam: " + std::to_string(team.sourceTeam) + "\r\n\r\n";
    out.append(team.bytes.begin(), team.bytes.end());
    return out;
}

Result<SavedTeam> ParseTeamTransfer(std::string_view bytes) {
    const std::size_t end = bytes.substr(0, kMaxHeader).find("\r\n\r\n");
    if (bytes.substr(0, kMagic.size() + 2) != std::string(kMagic) + "\r\n" || end == std::string_view::npos)
        return NotATeamFile("it does not start with the line \"" + std::string(kMagic) + "\"");
    if (bytes.size() - end - 4 != kTeamRecordSize)
        return NotATeamFile("a team is " + std::to_string(kTeamRecordSize) + " bytes after the header, not " +
                            std::to_string(bytes.size() - end - 4));
    SavedTeam saved;
    bool haveFile = false, haveTeam = false;
    std::string_view header = bytes.substr(kMagic.size() + 2, end - kMagic.size() - 2 + 2);
    while (!header.empty()) {
        const std::size_t eol = header.find("\r\n");
        const std::string_view line = header.substr(0, eol);
        header.remove_prefix(eol == std::string_view::npos ? header.size() : eol + 2);
        if (line.substr(0, 6) == "file: ") {
            saved.sourceFile = std::string(line.substr(6));
            haveFile = true;
        } else if (line.substr(0, 6) == "team: ") {
            const std::string_view digits = line.substr(6);
            auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), saved.sourceTeam);
            if (ec != std::errc() || ptr != digits.data() + digits.size())
                return NotATeamFile("the team line holds no index");
            haveTeam = true;
        }
        // Other lines are for later versions and are skipped.
    }
    if (!haveFile || !haveTeam) return NotATeamFile("the header does not name its file and team");
    std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.data()) + end + 4, kTeamRecordSize,
                saved.bytes.begin());
    return saved;
}

Result<SavedTeam> ReadTeamTransferFile(const std::string& path) {
    auto text = ReadSmallFile(path);
    if (!text) return text.error();
    auto saved = ParseTeamTransfer(*text);
    if (!saved) return Error{path + ": " + saved.error().text};
    return saved;
}

Status SaveTeamToFile(const std::string& from, std::uint64_t k, const std::string& to) {
    auto team = ReadTeam(from, k);
    if (!team) return team.error();
    std::error_code ec;
    if (fs::exists(to, ec)) {
        auto existing = ReadSmallFile(to);
        if (!existing || !ParseTeamTransfer(*existing))
            return Error{to + " exists and is not a saved team (.kteam) file; it was left as it is. Choose "
                              "another name."};
    }
    SavedTeam saved;
    saved.sourceFile = FindExistingFile(from).filename().string();
    saved.sourceTeam = k;
    saved.bytes = SerializeTeamRecord(*team);
    const std::string bytes = TeamTransferBytes(saved);
    if (Status written = ReplaceFileWhole(to, bytes); !written)
        return Error{"Cannot write " + to + ": " + written.error().text};
    return Status::Ok();
}

Result<TeamRecord> LoadTeamFromFile(BackupRun& backups, const SavedTeam& saved, const std::string& file,
                                    std::uint64_t k) {
    auto before = ReadTeam(file, k);
    if (!before) return before.error();
    const std::string buffer(saved.bytes.begin(), saved.bytes.end());
    if (const TeamSaveResult written = SaveTeam(backups, file, k, PastedTeam(buffer, *before)); !written)
        return written.error;
    return before;
}

} // namespace kivo
