#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/gamefiles/TeamRecord.h"

namespace kivo {

// One decoded value of a team that differs between two versions of its record. Texts are UTF-8 without
// trailing blanks; `slot` is 1..16, or 0 for a value of the team itself.
struct TeamChange {
    std::string file; // the file's name, "TEAM.008"
    std::uint64_t team = 0;
    std::string teamName; // as it was
    std::size_t slot = 0;
    std::string player; // as it was, for a slot's change
    std::string field;  // "passing", "price", "name", ... as the roster columns name them
    std::string before;
    std::string after;
};

// Every decoded value that differs, team values first, then slot by slot in column order.
std::vector<TeamChange> TeamChanges(const std::string& file, std::uint64_t team, const TeamRecord& before,
                                    const TeamRecord& after);

// One line per change: TEAM.008 team 3 "Santé Atlético" slot 6 "J. Costa": passing 12 -> 14
// (texts of names in quotes, codes and numbers bare).
std::string ChangeLine(const TeamChange& change);

} // namespace kivo
