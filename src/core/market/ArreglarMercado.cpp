#include "core/market/ArreglarMercado.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/TeamFile.h"
#include "core/gamefiles/TeamFileImage.h"
#include "core/market/MarketFixRules.h"
#include "core/market/MarketPoolRecord.h"
#include "core/support/FileAccess.h"
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
    // Refused before any copy is made: a file far too large to be a cup file is not copied nor read.
    if (auto probe = TeamFile::Open(path, TeamFile::Mode::ReadOnly); probe) {
        if (Status size = probe->CheckSize(); !size) {
            Say(report, tell,
                size.error().text + "\n" + path + " has not been changed and the fix is stopped.");
            return false;
        }
    }
    if (auto failed = WriteBackup(path, InDirectory(directory, cup.backup), backups, report);
        !failed.empty()) {
        Say(report, tell, failed);
        return false;
    }
    // Fixed in memory and written whole, once: a fix cut short (a kill, a full disk) leaves the file as
    // it was, never half fixed.
    auto image = LoadTeamFileImage(FindExistingFile(path).string());
    if (!image) {
        Say(report, tell, path + " file cannot be opened");
        return false;
    }
    std::uint64_t rewritten = 0;
    // What has been fixed is written when the fix stops on the way, as it would have been team by team.
    auto write = [&] {
        if (rewritten == 0) return true;
        if (Status written = SaveTeamFileImage(backups, *image); !written) {
            Say(report, tell,
                path + " could not be written: " + written.error().text +
                    "\nThe fix is stopped; the backup holds the file as it was.");
            return false;
        }
        report.cupTeamsRewritten += rewritten;
        return true;
    };
    for (std::uint64_t k = 0; k < image->teamCount(); ++k) {
        const TeamRecord cupTeam = image->team(k);
        ++report.cupTeams;
        const std::string name = CupTeamName(cupTeam);
        ProgressState shown;
        shown.title = "Fixing Cups";
        shown.value1 = report.cupTeams;
        shown.label2 = "Team:";
        shown.text2 = name;
        progress.Update(shown);

        const std::string league = BatchTeamFilePath(directory, cupTeam.pais);
        auto leagueFile = TeamFile::Open(league, TeamFile::Mode::ReadOnly);
        if (!leagueFile) {
            Say(report, tell, league + " file cannot be opened");
            write();
            return false;
        }
        const std::string team = "Team " + std::to_string(cupTeam.nroEquipo) + " (" + name + ")";
        auto leagueTeam = leagueFile->ReadTeam(cupTeam.nroEquipo);
        const CupTeamFix fix = FixCupTeam(cupTeam, leagueTeam ? &*leagueTeam : nullptr);
        if (fix.verdict == CupTeamVerdict::LeagueMissing) {
            Say(report, tell,
                team + " cannot be found inside " + league + ".\nThis cup team cannot be updated.");
            continue;
        }
        if (fix.verdict == CupTeamVerdict::NotPremier) {
            Say(report, tell,
                team + " inside " + league +
                    " is not a Premier division team.\nThis cup team cannot be updated.");
            continue;
        }
        image->setTeam(k, fix.record);
        ++rewritten;
    }
    return write();
}

void FixPool(const std::string& directory, BackupRun& backups, MarketFixReport& report, Progress& progress,
             const MarketMessageSink& tell) {
    const std::string path = InDirectory(directory, kPoolName);
    const auto found = FindExistingFile(path);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(found, ec))) {
        // The pool is optional: without it there is nothing to refresh.
        report.poolMissing = true;
        return;
    }
    // A pool that is there but cannot be opened for the fix (read-only, not a regular file) is a failure,
    // and is not taken for a missing one.
    auto handle = OpenRegularFile(found, true);
    if (!handle) {
        report.poolUnopenable = true;
        report.poolOpenFailure = handle.error().text;
        Say(report, tell, handle.error().text);
        report.stopped = true;
        return;
    }
    if (auto size = FileSizeOf(*handle, found); !size || *size > kMaxPoolFileBytes) {
        Say(report, tell,
            size ? "Cannot read " + path + ": at " + std::to_string(*size) +
                       " bytes it is far too large to be a market pool"
                 : size.error().text);
        report.stopped = true;
        return;
    }
    if (auto failed = WriteBackup(path, InDirectory(directory, kPoolBackup), backups, report);
        !failed.empty()) {
        Say(report, tell, failed);
        report.stopped = true;
        return;
    }
    // Fixed in memory and written whole, as the cups are.
    auto pool = ReadWholeFile(found, kMaxPoolFileBytes);
    if (!pool) {
        Say(report, tell, pool.error().text);
        report.stopped = true;
        return;
    }
    std::uint64_t rewritten = 0;
    auto write = [&] {
        if (rewritten == 0) return;
        if (Status written = ReplaceFileWhole(found, *pool); !written) {
            Say(report, tell,
                path + " could not be written: " + written.error().text +
                    "\nThe fix is stopped; the backup holds the file as it was.");
            report.stopped = true;
            return;
        }
        report.poolEntriesRewritten += rewritten;
    };
    for (std::size_t offset = 0; offset + kPoolRecordSize <= pool->size(); offset += kPoolRecordSize) {
        PoolRecordBytes bytes;
        std::copy_n(pool->data() + offset, bytes.size(), reinterpret_cast<char*>(bytes.data()));
        MarketPoolRecord entry = ParsePoolRecord(bytes);

        const std::string league = BatchTeamFilePath(directory, entry.nroTeamFile);
        auto leagueFile = TeamFile::Open(league, TeamFile::Mode::ReadOnly);
        if (!leagueFile || !leagueFile->CheckHeader()) {
            Say(report, tell, league + (leagueFile ? " file cannot be read" : " file cannot be opened"));
            write();
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
        if (!PoolEntryFixable(entry, &*team)) continue;
        bytes = SerializePoolRecord(FixPoolEntry(entry, &*team));
        std::copy(bytes.begin(), bytes.end(), pool->begin() + static_cast<std::ptrdiff_t>(offset));
        ++rewritten;
    }
    write();
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
