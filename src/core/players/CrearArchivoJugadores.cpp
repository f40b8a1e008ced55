#include "core/players/CrearArchivoJugadores.h"

#include <optional>
#include <vector>

#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/TeamFile.h"
#include "core/players/PlayerDatabase.h"

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
    return s;
}

} // namespace

Result<PlayerDatabaseBuildSummary>
CrearArchivoJugadores(const std::string& databasePath, const std::string& dataDirectory, Progress& progress) {
    auto database = PlayerDatabase::OpenForReplace(databasePath);
    if (!database) return database.error();
    auto load = PlayerDatabaseLoad::Begin(*database);
    if (!load) return load.error();

    PlayerDatabaseBuildSummary summary;
    for (int n = kFirstFile; n <= kLastFile; ++n) {
        progress.Update(Reading(n, -1));
        auto file = TeamFile::Open(BatchTeamFilePath(dataDirectory, n), TeamFile::Mode::ReadOnly);
        if (!file) continue;
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
                if (Status appended = load->Append(MakePlayerRow(*team, slot)); !appended)
                    return appended.error();
                ++summary.rows;
            }
        }
    }

    ProgressState keys;
    keys.title = "Creating File";
    keys.label1 = "Building File Keys";
    progress.Update(keys);
    if (Status finished = load->Finish(); !finished) return finished.error();
    return summary;
}

} // namespace kivo
