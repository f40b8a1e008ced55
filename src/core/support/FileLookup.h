#pragma once

#include <filesystem>
#include <string>

namespace kivo {

// The game's files come from a case-insensitive file system: `team.074` and `TEAM.074` are one file there.
// Returns `path` itself when it exists, else the one entry of its directory whose name matches it without
// regard to letter case, else `path` unchanged (so a new file is created under the name asked for).
std::filesystem::path FindExistingFile(const std::filesystem::path& path);

// The text of the operating system for errno `code`, as "No such file or directory (2)".
std::string SystemErrorText(int code);

} // namespace kivo
