#pragma once

#include <cstdint>
#include <string>

#include "core/backups/Backups.h"
#include "core/support/Result.h"

namespace kivo {

struct SampleDataOptions {
    std::uint32_t seed = 1;
    // Multiplies the teams per file (never past 256 teams in a file).
    std::uint32_t scale = 1;
};

// What a generated directory holds, for tests and benchmarks that need to know.
struct SampleDataSummary {
    int teamFiles = 0;
    long long teams = 0;
    long long playerSlots = 0;
    int poolEntries = 0;
};

// Writes a complete synthetic data directory the way the game ships it, upper-case names: TEAM.NNN for every
// catalogue file number and a few more, EUROCUP.TMD, UEFACUP.TMD, EUROCWC.TMD and POOLPLYR.DAT. The same
// seed and scale always give the same bytes. The directory is created when missing.
Result<SampleDataSummary> WriteSampleData(const std::string& directory, const SampleDataOptions& options);
// The same, each file that is already there first copied into `backups` (none when null).
Result<SampleDataSummary> WriteSampleData(const std::string& directory, const SampleDataOptions& options,
                                          BackupRun* backups);

} // namespace kivo
