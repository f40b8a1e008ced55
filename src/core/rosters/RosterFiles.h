#pragma once

#include <string>
#include <vector>

namespace kivo {

// Whether a plain file name is a league file TEAM.NNN or one of the cup files EUROCUP.TMD, UEFACUP.TMD,
// EUROCWC.TMD, in any letter case.
bool IsTeamFileName(const std::string& name);

// The league files TEAM.001 to TEAM.085 that exist in `directory`, in number order, each as found on disk.
std::vector<std::string> LeagueTeamFiles(const std::string& directory);

// The files a roster of `directory` covers: the league files, then the cup files that exist.
std::vector<std::string> RosterFiles(const std::string& directory);

} // namespace kivo
