#pragma once

#include <optional>

#include "core/gamefiles/TeamRecord.h"
#include "core/market/MarketPoolRecord.h"

namespace kivo {

// The market fix's rules without its files: what a cup team or a pool entry becomes. The fix writes what
// these give; the game-file check compares them with what is there, so that both judge alike.

enum class CupTeamVerdict {
    Replaced,      // the league team replaces the cup team
    LeagueMissing, // no such team in the league file: left as it is
    NotPremier,    // the league team is not in the Premier division: left as it is
};

struct CupTeamFix {
    CupTeamVerdict verdict = CupTeamVerdict::LeagueMissing;
    TeamRecord record; // the cup team as the fix leaves it
};

// `leagueTeam` is the team at COP:NROEQUIPO of league file COP:PAIS, when there is one.
CupTeamFix FixCupTeam(const TeamRecord& cupTeam, const TeamRecord* leagueTeam);

// The pool entry as the fix leaves it: refreshed from its league team's slot; unchanged when that team is
// missing (null) or the entry's slot is beyond the sixteenth.
MarketPoolRecord FixPoolEntry(const MarketPoolRecord& entry, const TeamRecord* leagueTeam);

// Whether the fix touches the entry at all (it rewrites every entry whose team and slot exist).
bool PoolEntryFixable(const MarketPoolRecord& entry, const TeamRecord* leagueTeam);

} // namespace kivo
