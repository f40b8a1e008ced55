#include "core/market/ArreglarMercado.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/TeamFile.h"
#include "core/market/MarketPoolRecord.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

struct CupFile {
    const char* name;
    const char* backup;
};
constexpr CupFile kCups[] = {
    {"Eurocup.tmd", "Eurocup.bak"}, {"Uefacup.tmd", "Uefacup.bak"}, {"Eurocwc.tmd", "Eurocwc.bak"}};
constexpr const char* kPoolName = "POOLPLYR.DAT";
constexpr const char* kPoolBackup = "POOLPLYR.BAK";

// The directory as typed, trailing blanks removed, then the name: as the messages show the paths.
std::string InDirectory(const std::string& directory, const std::string& name) {
    const std::string dir = TrimRight(directory);
    if (dir.empty()) return name;
    return dir + static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

// Records a message and hands it on at once.
void Say(MarketFixReport& report, const MarketMessageSink& tell, std::string message) {
    report.messages.push_back(std::move(message));
    if (tell) tell(report.messages.back());
}

// Copies `source` over its backup (an existing backup of any letter case is replaced). Empty when done,
// else the message that stops the fix.
std::string WriteBackup(const std::string& source, const std::string& backup, BackupRun& backups,
                        MarketFixReport& report) {
    const auto from = FindExistingFile(source);
    if (Status kept = backups.EnsureBackedUp(from); !kept)
        return kept.error().text + "\n" + source + " has not been changed and the fix is stopped.";
    const auto to = FindExistingFile(backup);
    Status copied = CopyFileWhole(from, to);
    if (copied) {
        report.backupsWritten.push_back(to.string());
        return {};
    }
    return "The backup " + backup + " cannot be written (" + copied.error().text + ").\n" + source +
           " has not been changed and the fix is stopped.";
}

// The cup team's name as the messages show it: 17 bytes, zero bytes as blanks, trailing blanks removed.
std::string CupTeamName(const TeamRecord& team) {
    std::string name(team.nombreEquipo.begin(), team.nombreEquipo.begin() + kPoolTeamNameWidth);
    for (auto& c : name)
        if (c == '\0') c = ' ';
    return TrimRight(name);
}

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Returns false when the fix has to stop.
bool FixCupFile(const std::string& directory, const CupFile& cup, BackupRun& backups, MarketFixReport& report,
                Progress& progress, const MarketMessageSink& tell) {
    const std::string path = InDirectory(directory, cup.name);
    // The copy is made before the file is opened for writing; a file that is not there gets no copy.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(FindExistingFile(path), ec)) {
        Say(report, tell, path + " file cannot be opened");
        return false;
    }
    if (auto failed = WriteBackup(path, InDirectory(directory, cup.backup), backups, report);
        !failed.empty()) {
        Say(report, tell, failed);
        return false;
    }
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadWrite);
    if (!file) {
        Say(report, tell, path + " file cannot be opened");
        return false;
    }
    for (std::uint64_t k = 0;; ++k) {
        auto cupTeam = file->ReadTeam(k);
        if (!cupTeam) break;
        ++report.cupTeams;
        const std::string name = CupTeamName(*cupTeam);
        ProgressState shown;
        shown.title = "Fixing Cups";
        shown.value1 = report.cupTeams;
        shown.label2 = "Team:";
        shown.text2 = name;
        progress.Update(shown);

        const std::string league = BatchTeamFilePath(directory, cupTeam->pais);
        auto leagueFile = TeamFile::Open(league, TeamFile::Mode::ReadOnly);
        if (!leagueFile) {
            Say(report, tell, league + " file cannot be opened");
            return false;
        }
        const std::string team = "Team " + std::to_string(cupTeam->nroEquipo) + " (" + name + ")";
        auto leagueTeam = leagueFile->ReadTeam(cupTeam->nroEquipo);
        if (!leagueTeam) {
            Say(report, tell,
                team + " cannot be found inside " + league + ".\nThis cup team cannot be updated.");
            continue;
        }
        if (leagueTeam->division != 0) {
            Say(report, tell,
                team + " inside " + league +
                    " is not a Premier division team.\nThis cup team cannot be updated.");
            continue;
        }
        TeamRecord updated = *leagueTeam;
        updated.nroEquipoGral = cupTeam->nroEquipoGral;
        if (Status written = file->WriteTeam(k, updated); !written) {
            Say(report, tell,
                "Cup team " + std::to_string(k) + " of " + path + " could not be written back: " +
                    written.error().text + "\nThe fix is stopped; the backup holds the file as it was.");
            return false;
        }
        ++report.cupTeamsRewritten;
    }
    return true;
}

void FixPool(const std::string& directory, BackupRun& backups, MarketFixReport& report, Progress& progress,
             const MarketMessageSink& tell) {
    const std::string path = InDirectory(directory, kPoolName);
    const auto found = FindExistingFile(path);
    errno = 0;
    FileHandle pool(std::fopen(found.c_str(), "r+b"));
    if (!pool) {
        const int error = errno;
        std::error_code ec;
        // The pool is optional: without it there is nothing to refresh. One that is there but cannot be
        // opened for writing is not changed either, and is not taken for a missing one.
        if (!std::filesystem::exists(found, ec)) {
            report.poolMissing = true;
        } else {
            report.poolUnopenable = true;
            report.poolOpenFailure = SystemErrorText(error);
        }
        return;
    }
    if (auto failed = WriteBackup(path, InDirectory(directory, kPoolBackup), backups, report);
        !failed.empty()) {
        Say(report, tell, failed);
        report.stopped = true;
        return;
    }
    for (long index = 0;; ++index) {
        const long offset = index * static_cast<long>(kPoolRecordSize);
        PoolRecordBytes bytes;
        if (std::fseek(pool.get(), offset, SEEK_SET) != 0 ||
            std::fread(bytes.data(), 1, bytes.size(), pool.get()) != bytes.size())
            break;
        MarketPoolRecord entry = ParsePoolRecord(bytes);

        const std::string league = BatchTeamFilePath(directory, entry.nroTeamFile);
        auto leagueFile = TeamFile::Open(league, TeamFile::Mode::ReadOnly);
        if (!leagueFile) {
            Say(report, tell, league + " file cannot be opened");
            report.stopped = true;
            return;
        }
        if (!leagueFile->CheckHeader()) {
            Say(report, tell, league + " file cannot be read");
            report.stopped = true;
            return;
        }
        auto team = leagueFile->ReadTeam(entry.nroEquipo);

        ++report.poolEntries;
        ProgressState shown;
        shown.title = "Fixing Market";
        shown.label1 = "Fixing Market";
        shown.value1 = report.poolEntries;
        shown.label2 = "Team:";
        shown.value2 = entry.nroEquipo;
        progress.Update(shown);

        // An entry naming a team that is not there is never filled from other bytes.
        if (!team) {
            ++report.poolEntriesTeamMissing;
            continue;
        }
        if (entry.reservado1 + 1 > static_cast<int>(kPlayersPerTeam)) continue;
        RefreshPoolRecord(entry, *team, entry.reservado1);
        bytes = SerializePoolRecord(entry);
        errno = 0;
        if (std::fseek(pool.get(), offset, SEEK_SET) != 0 ||
            std::fwrite(bytes.data(), 1, bytes.size(), pool.get()) != bytes.size() ||
            std::fflush(pool.get()) != 0) {
            Say(report, tell,
                "Pool entry " + std::to_string(index) + " of " + path + " could not be written back: " +
                    SystemErrorText(errno) + "\nThe fix is stopped; the backup holds the file as it was.");
            report.stopped = true;
            return;
        }
        ++report.poolEntriesRewritten;
    }
}

} // namespace

MarketFixReport ArreglarMercado(const std::string& directory, BackupRun& backups, Progress& progress,
                                const MarketMessageSink& tell) {
    MarketFixReport report;
    for (const auto& cup : kCups) {
        if (!FixCupFile(directory, cup, backups, report, progress, tell)) {
            report.stopped = true;
            return report;
        }
    }
    FixPool(directory, backups, report, progress, tell);
    return report;
}

MarketFixReport ArreglarMercado(const std::string& directory, Progress& progress) {
    BackupRun backups;
    return ArreglarMercado(directory, backups, progress);
}

} // namespace kivo
