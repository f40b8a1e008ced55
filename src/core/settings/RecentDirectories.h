#pragma once

#include <string>
#include <vector>

namespace kivo {

// The directories a user worked in last, kept in ventanas.ini beside the other settings, in a section of
// their own ("RecentDirectories", entries "Directory1" to "Directory5", newest first), so that the
// specified entries of "Configuración" are never touched.
inline constexpr const char* kRecentSection = "RecentDirectories";
inline constexpr int kRecentDirectoriesKept = 5;

// The remembered directories, newest first, blanks and repeats left out; at most five.
std::vector<std::string> ReadRecentDirectories(const std::string& ventanasPath);

// Puts `directory` (trailing blanks and one trailing separator removed) first, dropping an older entry of
// the same text and the sixth; only entries that change are written. An empty directory is not kept.
// Returns false when the file could not be written.
bool RememberDirectory(const std::string& ventanasPath, const std::string& directory);

// Where a directory field starts: DirectorioKIVO when the file has it, else the newest remembered
// directory, else the built-in default.
std::string StartingDataDirectory(const std::string& ventanasPath);

// A directory as the program uses it: an absolute one as it is; a relative one (a copied workspace's
// "data") taken from the start directory, so that it never depends on where the process happens to be.
// Trailing blanks are removed first; an empty directory stays empty.
std::string ResolveDirectory(const std::string& directory, const std::string& startDirectory);

} // namespace kivo
