#include "core/market/MarketFixRules.h"

namespace kivo {

CupTeamFix FixCupTeam(const TeamRecord& cupTeam, const TeamRecord* leagueTeam) {
    CupTeamFix fix;
    fix.record = cupTeam;
    if (!leagueTeam) {
        fix.verdict = CupTeamVerdict::LeagueMissing;
        return fix;
    }
    if (leagueTeam->division != 0) {
        fix.verdict = CupTeamVerdict::NotPremier;
        return fix;
    }
    fix.verdict = CupTeamVerdict::Replaced;
    fix.record = *leagueTeam;
    fix.record.nroEquipoGral = cupTeam.nroEquipoGral;
    return fix;
}

bool PoolEntryFixable(const MarketPoolRecord& entry, const TeamRecord* leagueTeam) {
    return leagueTeam && entry.reservado1 < kPlayersPerTeam;
}

MarketPoolRecord FixPoolEntry(const MarketPoolRecord& entry, const TeamRecord* leagueTeam) {
    MarketPoolRecord fixed = entry;
    if (PoolEntryFixable(entry, leagueTeam)) RefreshPoolRecord(fixed, *leagueTeam, entry.reservado1);
    return fixed;
}

} // namespace kivo
