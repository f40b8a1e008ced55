#pragma once

#include <string>
#include <vector>

namespace kivo {

// The catalogue's directory entry: trailing blanks removed, then one trailing separator ("\" or "/")
// removed. A bare root ("/") is kept, so it still names the root.
std::string TrimDirectory(const std::string& directory);

// The names, in upper case and sorted, of the entries of `directory` (trailing blanks removed) that match
// "team.*" without regard to letter case, files and directories alike. A missing or unreadable directory
// gives an empty listing.
std::vector<std::string> ListTeamFiles(const std::string& directory);

// Whether the listing holds "TEAM." followed by the three-digit file number.
bool ListingHasFile(const std::vector<std::string>& listing, int fileNumber);

// The any-file directory remembered after "Open Any File": the chosen file's own directory, whatever the
// length of its name.
std::string DirectoryOfChosenFile(const std::string& chosenPath);

} // namespace kivo
