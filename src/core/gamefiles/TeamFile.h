#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/gamefiles/TeamRecord.h"
#include "core/support/Result.h"

namespace kivo {

// Team positions are single bytes, so the game holds at most 256 teams in a file; a larger file is not a
// team file (a sparse or damaged one would be read into millions of blank teams). Every reader refuses it.
inline constexpr std::uint64_t kMaxTeamsPerFile = 256;

// A cup file (Eurocup.tmd, ...) has no header; any other file is a league team file TEAM.NNN.
// The game's files are often upper case (EUROCUP.TMD), so the extension is compared without regard to
// letter case: taking a cup file for a league file would shift every record by two bytes.
bool IsCupFile(const std::string& path);

// Byte position of team k: 2 + 684 k in a league file, 684 k in a cup file.
std::uint64_t TeamRecordOffset(const std::string& path, std::uint64_t k);

// An open team or cup file. Every read and write is checked; errors name the file, the team and the
// offset and carry the operating system's text. The file is closed when the object goes away.
class TeamFile {
public:
    enum class Mode { ReadOnly, ReadWrite };

    // Opens an existing file, found without regard to letter case when the exact name is missing.
    static Result<TeamFile> Open(const std::string& path, Mode mode);

    const std::string& path() const { return path_; }
    bool isCup() const { return cup_; }

    // Reads the first two bytes and checks the size (CheckSize): the test every reader makes that the file
    // is readable.
    Status CheckHeader();

    // Fails for a file of more than kMaxTeamsPerFile teams.
    Status CheckSize();

    // Team k, or an error; reading past the last whole record, or at kMaxTeamsPerFile or beyond, is an
    // error ("no team k").
    Result<TeamRecord> ReadTeam(std::uint64_t k);

    // All whole records from team 0 on; bytes after the last whole record are ignored.
    Result<std::vector<TeamRecord>> ReadAllTeams();

    // Overwrites the 684 bytes of team k and nothing else. Team k must already exist: the file never
    // grows.
    Status WriteTeam(std::uint64_t k, const TeamRecord& record);

    // Number of whole records in the file.
    Result<std::uint64_t> CountTeams();

    // The file's length, and the bytes outside the records (a league file's header, bytes after the last
    // whole record): what the comparisons and the check look at beside the teams. Reads at most `count`
    // bytes from `offset`, fewer at the end of the file.
    Result<std::uint64_t> SizeInBytes() { return Size(); }
    Result<std::vector<std::uint8_t>> ReadBytesAt(std::uint64_t offset, std::size_t count);

private:
    struct Closer {
        void operator()(std::FILE* f) const {
            if (f) std::fclose(f);
        }
    };
    TeamFile(std::string path, std::unique_ptr<std::FILE, Closer> file, bool cup)
        : path_(std::move(path)), file_(std::move(file)), cup_(cup) {}
    Result<std::uint64_t> Size();

    std::string path_;
    std::unique_ptr<std::FILE, Closer> file_;
    bool cup_ = false;
};

// One-call forms for callers that open, act and close.
Status CheckTeamFileHeader(const std::string& path);
Result<std::vector<TeamRecord>> ReadTeams(const std::string& path);
Result<TeamRecord> ReadTeam(const std::string& path, std::uint64_t k);
Status WriteTeam(const std::string& path, std::uint64_t k, const TeamRecord& record);

} // namespace kivo
