#include "core/players/CrearArchivoJugadores.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/TeamFile.h"
#include "core/players/KeyedFileOpen.h"
#include "core/players/PlayerDatabase.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

constexpr int kFirstFile = 1;
constexpr int kLastFile = 85;

ProgressState Reading(int file, std::int64_t team) {
    ProgressState s;
    s.title = "Creating File";
    s.label1 = "Reading File:";
    s.value1 = file;
    s.label2 = "Team:";
    s.value2 = team;
    // The bar runs with the file numbers; the last tenth is left for the keys.
    s.percent = (file - kFirstFile) * 90 / (kLastFile - kFirstFile + 1);
    return s;
}

// Why the directory cannot be built from, or empty when it holds at least one league team file.
std::string DirectoryProblem(const std::string& dataDirectory) {
    const std::string shown = TrimRight(dataDirectory);
    std::error_code ec;
    const auto status = std::filesystem::status(shown, ec);
    if (!std::filesystem::exists(status)) return "The team files directory " + shown + " does not exist.";
    if (!std::filesystem::is_directory(status)) return shown + " is not a directory.";
    for (int n = kFirstFile; n <= kLastFile; ++n) {
        std::error_code found;
        if (std::filesystem::is_regular_file(FindExistingFile(BatchTeamFilePath(dataDirectory, n)), found))
            return {};
    }
    return "The directory " + shown + " holds none of the team files TEAM.001 to TEAM.085.";
}

// A file the keyed-file checks find damaged: replaced by the build, once moved out of the way.
bool IsDamaged(OpenFailure failure) {
    return failure == OpenFailure::InvalidFile || failure == OpenFailure::KeysInvalid;
}

Status MoveAside(const std::string& path, std::string& keptAs) {
    auto moved = SetAsideDamagedFile(path);
    if (!moved) return Error{"The damaged player database " + moved.error().text + "; nothing was built."};
    keptAs = *moved;
    return {};
}

Status BuildInto(const std::string& databasePath, const std::string& dataDirectory, Progress& progress,
                 PlayerDatabaseBuildSummary& summary) {
    auto database = PlayerDatabase::OpenForReplace(databasePath);
    if (!database) return database.error();
    auto load = PlayerDatabaseLoad::Begin(*database);
    if (!load) return load.error();

    for (int n = kFirstFile; n <= kLastFile; ++n) {
        progress.Update(Reading(n, -1));
        const std::string path = BatchTeamFilePath(dataDirectory, n);
        auto file = TeamFile::Open(path, TeamFile::Mode::ReadOnly);
        if (!file) {
            // A gap in the numbering is no news; a file that is there and cannot be opened is.
            std::error_code ec;
            if (std::filesystem::exists(FindExistingFile(path), ec))
                summary.skipped.push_back(file.error().text);
            continue;
        }
        // A file far too large to be a team file is left out with a note, rather than read for hours.
        if (Status size = file->CheckSize(); !size) {
            summary.skipped.push_back(size.error().text);
            continue;
        }
        if (!file->CheckHeader()) {
            summary.stoppedAtFile = n;
            break;
        }
        ++summary.filesRead;
        // One read per file; a file that cannot be read whole (a read error, or far too large) is read team
        // by team up to the first failure, without holding its teams in memory.
        auto teams = file->ReadAllTeams();
        std::optional<TeamRecord> single;
        for (std::uint64_t k = 0;; ++k) {
            progress.Update(Reading(n, static_cast<std::int64_t>(k) + 1));
            const TeamRecord* team = nullptr;
            if (teams) {
                if (k < teams->size()) team = &(*teams)[k];
            } else if (auto one = file->ReadTeam(k)) {
                single = std::move(*one);
                team = &*single;
            }
            if (!team) break;
            ++summary.teams;
            for (std::size_t slot = 0; slot < kPlayersPerTeam; ++slot) {
                if (Status appended = load->Append(MakePlayerRow(*team, slot, static_cast<std::int64_t>(k))); !appended) return appended;
                ++summary.rows;
            }
        }
    }

    ProgressState keys;
    keys.title = "Creating File";
    keys.label1 = "Building File Keys";
    keys.percent = 90;
    progress.Update(keys);
    return load->Finish();
}

} // namespace

Result<PlayerDatabaseBuildSummary>
CrearArchivoJugadores(const std::string& databasePath, const std::string& dataDirectory, Progress& progress) {
    if (std::string problem = DirectoryProblem(dataDirectory); !problem.empty())
        return Error{problem + " The player database was not changed."};
    std::string keptAs;
    const OpenAttempt before = OpenPlayerDatabaseFile(databasePath, false);
    if (before.failure == OpenFailure::Locked)
        return Error{"The player database " + databasePath + " is locked by another program (" +
                     before.reason + "); it was not changed."};
    if (IsDamaged(before.failure)) {
        if (Status moved = MoveAside(databasePath, keptAs); !moved) return moved.error();
    }
    PlayerDatabaseBuildSummary summary;
    Status built = BuildInto(databasePath, dataDirectory, progress, summary);
    if (!built) return built.error();
    // The finished file must pass the checks every opening makes: a damage that only the build met (a file
    // that opened but does not keep what is written) must not end in a success over an unusable file.
    OpenAttempt after = OpenPlayerDatabaseFile(databasePath, false);
    if (!after.ok() && keptAs.empty()) {
        if (Status moved = MoveAside(databasePath, keptAs); !moved) return moved.error();
        summary = {};
        built = BuildInto(databasePath, dataDirectory, progress, summary);
        if (!built) return built.error();
        after = OpenPlayerDatabaseFile(databasePath, false);
    }
    if (!after.ok())
        return Error{"The player database " + databasePath + " was built but fails its checks (" +
                     after.reason + ")."};
    summary.damagedKeptAs = keptAs;
    return summary;
}

} // namespace kivo
