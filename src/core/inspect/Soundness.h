#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/gamefiles/TeamRecord.h"
#include "core/support/Progress.h"
#include "core/support/Result.h"

namespace kivo {

// One thing found wrong in a game file: which file (its name as in the directory), team (from 0), slot
// (1..16) or pool entry (from 0) where these apply, a code and a message in plain words. Texts are the
// game's bytes (Latin-1).
struct GameFileFinding {
    std::string file;
    std::optional<std::int64_t> team;
    std::optional<int> slot;
    std::optional<std::int64_t> entry;
    std::string code;
    std::string message;
    bool operator==(const GameFileFinding&) const = default;
};

// The codes, in the order a summary lists them.
const std::vector<std::string>& GameFileFindingCodes();

struct GameFilesCheckResult {
    std::vector<GameFileFinding> findings;
    int files = 0;          // game files read
    std::int64_t teams = 0; // team records read (league and cup)
};

// Reads every league file TEAM.NNN, the cup files and POOLPLYR.DAT of `directory` and reports what the
// game or the editor would trip on; nothing is written. Fails (naming it) when the directory or one of
// its game files cannot be read.
Result<GameFilesCheckResult> CheckGameFiles(const std::string& directory, Progress& progress);

// The findings of one team record (every code but trailing-bytes, cup-stale and pool-stale).
void CheckTeamRecord(const std::string& file, std::int64_t team, const TeamRecord& record,
                     std::vector<GameFileFinding>& findings);

} // namespace kivo
