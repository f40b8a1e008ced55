#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/support/Result.h"

namespace kivo {

// A value as the comparison shows it: a text for a coded field (the code's number when it has no text),
// a number for the rest, a list of numbers for the line-up, nothing for a side that has no such thing.
// Texts are the game's bytes (Latin-1), trailing blanks removed.
struct DiffValue {
    enum class Kind { None, Number, Text, Numbers };
    Kind kind = Kind::None;
    long long number = 0;
    std::string text;
    std::vector<int> numbers;
    static DiffValue Of(long long n) { return {Kind::Number, n, {}, {}}; }
    static DiffValue Of(std::string t) { return {Kind::Text, 0, std::move(t), {}}; }
    static DiffValue Of(std::vector<int> ns) { return {Kind::Numbers, 0, {}, std::move(ns)}; }
    bool operator==(const DiffValue&) const = default;
};

// One difference between two versions of a game file. `field` is a team field (name, coach, tactic,
// division, lineup, kit1.design ... kit2.socks), a player field (name, nationality, shirt, position, face,
// passing ... finishing, price; a pool entry also has team_name), "bytes" for bytes no field covers (with
// `offset`, where they start in the file, and the bytes as hex texts), "team" / "entry" for a record present
// on one side only, "file" for a file present on one side only.
struct GameFileDifference {
    std::string file;
    std::optional<std::int64_t> team;
    std::optional<int> slot;
    std::optional<std::int64_t> entry;
    std::string field;
    DiffValue oldValue;
    DiffValue newValue;
    std::optional<std::uint64_t> offset;
    // For the line in words: the team's and the player's names (the new side's, else the old one's).
    std::string teamName;
    std::string playerName;
};

// Compares two versions of one game file, named `name`; its kind comes from the name (a TEAM.NNN, a cup
// file or POOLPLYR.DAT), else fails.
Result<std::vector<GameFileDifference>> DiffGameFile(const std::string& name, const std::string& oldPath,
                                                     const std::string& newPath);

// OLD and NEW each a data directory or one game file. Directories pair their game files by name, letter
// case ignored. Fails on a path that cannot be read, or a directory compared with a file.
Result<std::vector<GameFileDifference>> DiffGamePaths(const std::string& oldPath, const std::string& newPath);

// Each game file of backup run `run` (in DIR/kivo-backups/) compared with the current file of that name.
Result<std::vector<GameFileDifference>> DiffBackupRun(const std::string& directory, const std::string& run);

// The difference in words, one line: TEAM.008 team 3 "Santé Atlético" slot 6 "J. Costa": passing 12 -> 14
std::string DifferenceLine(const GameFileDifference& difference);

} // namespace kivo
