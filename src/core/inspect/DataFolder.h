#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/gamefiles/TeamRecord.h"
#include "core/market/MarketPoolRecord.h"
#include "core/support/Result.h"

namespace kivo {

// The game files the check and the comparison look at: league files TEAM.NNN, the three cup files and the
// market pool, each named without regard to letter case (the game's own file system ignores it).
enum class GameFileKind { League, Cup, Pool };

// The kind of a file by its name alone; nothing for any other name (a .bak, a JUGADORES, ...).
std::optional<GameFileKind> GameFileKindOf(const std::string& fileName);

struct GameFileName {
    std::string name; // as in the directory
    std::filesystem::path path;
    GameFileKind kind;
};

// The game files of a directory: league files by number, then Eurocup, Uefacup, Eurocwc, then the pool.
// Fails when the directory cannot be listed.
Result<std::vector<GameFileName>> ListGameFiles(const std::filesystem::path& directory);

// A game file read whole through its reader, with the bytes that no record holds.
struct LoadedGameFile {
    GameFileKind kind = GameFileKind::League;
    std::uint64_t size = 0;
    std::vector<std::uint8_t> header; // a league file's two header bytes (fewer in a shorter file)
    std::vector<TeamRecord> teams;
    std::vector<MarketPoolRecord> entries;
    std::uint64_t trailingOffset = 0;   // where the bytes after the last whole record start
    std::vector<std::uint8_t> trailing; // those bytes
    // Where record k (team or pool entry) starts in the file.
    std::uint64_t RecordOffset(std::uint64_t k) const;
};

Result<LoadedGameFile> LoadGameFile(const std::string& path, GameFileKind kind);

} // namespace kivo
