#include "core/inspect/Comparison.h"

#include <filesystem>
#include <map>

#include "core/backups/Backups.h"
#include "core/inspect/DataFolder.h"
#include "core/inspect/FieldComparison.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

GameFileDifference WholeFile(const std::string& name, bool inOld, bool inNew) {
    GameFileDifference d;
    d.file = name;
    d.field = "file";
    if (inOld) d.oldValue = DiffValue::Of(name);
    if (inNew) d.newValue = DiffValue::Of(name);
    return d;
}

void DiffLoaded(const std::string& name, const LoadedGameFile& a, const LoadedGameFile& b,
                std::vector<GameFileDifference>& out) {
    DiffLooseBytes(name, 0, a.header, b.header, out);
    const bool pool = a.kind == GameFileKind::Pool;
    const std::size_t na = pool ? a.entries.size() : a.teams.size();
    const std::size_t nb = pool ? b.entries.size() : b.teams.size();
    for (std::size_t k = 0; k < std::max(na, nb); ++k) {
        const auto index = static_cast<std::int64_t>(k);
        if (k < na && k < nb) {
            // Most records are the same on both sides: they are passed by without taking them apart.
            if (pool ? a.entries[k] == b.entries[k] : a.teams[k] == b.teams[k]) continue;
            if (pool)
                DiffPoolEntries(name, index, b.RecordOffset(k), a.entries[k], b.entries[k], out);
            else
                DiffTeamRecords(name, index, b.RecordOffset(k), a.teams[k], b.teams[k], out);
            continue;
        }
        // A record on one side only.
        GameFileDifference d;
        d.file = name;
        d.field = pool ? "entry" : "team";
        const DiffValue shown =
            pool ? DiffValue::Of(TrimRight(
                       FieldValue(k < na ? a.entries[k].nombreJugador : b.entries[k].nombreJugador)))
                 : DiffValue::Of(
                       TrimRight(FieldValue(k < na ? a.teams[k].nombreEquipo : b.teams[k].nombreEquipo)));
        (k < na ? d.oldValue : d.newValue) = shown;
        if (pool) {
            d.entry = index;
            d.playerName = shown.text;
        } else {
            d.team = index;
            d.teamName = shown.text;
        }
        out.push_back(std::move(d));
    }
    // The bytes after the last whole record, compared from where the longer side's records end.
    if (a.trailing != b.trailing || a.trailingOffset != b.trailingOffset) {
        const std::uint64_t from = std::max(a.trailingOffset, b.trailingOffset);
        auto tail = [&](const LoadedGameFile& f) {
            const std::size_t skip =
                static_cast<std::size_t>(std::min<std::uint64_t>(from - f.trailingOffset, f.trailing.size()));
            return std::vector<std::uint8_t>(f.trailing.begin() + static_cast<std::ptrdiff_t>(skip),
                                             f.trailing.end());
        };
        DiffLooseBytes(name, from, tail(a), tail(b), out);
    }
}

Result<std::map<std::string, GameFileName>> GameFilesByName(const std::string& directory) {
    auto files = ListGameFiles(directory);
    if (!files) return files.error();
    std::map<std::string, GameFileName> byName;
    for (auto& f : *files)
        byName.emplace(Upper(f.name), f); // of two names alike but for letter case, the first listed
    return byName;
}

} // namespace

Result<std::vector<GameFileDifference>> DiffGameFile(const std::string& name, const std::string& oldPath,
                                                     const std::string& newPath) {
    const auto kind = GameFileKindOf(name);
    if (!kind)
        return Error{
            "Cannot compare " + name +
            ": it is named neither TEAM.NNN, Eurocup.tmd, Uefacup.tmd, Eurocwc.tmd nor POOLPLYR.DAT"};
    auto a = LoadGameFile(oldPath, *kind);
    if (!a) return a.error();
    auto b = LoadGameFile(newPath, *kind);
    if (!b) return b.error();
    std::vector<GameFileDifference> out;
    DiffLoaded(name, *a, *b, out);
    return out;
}

Result<std::vector<GameFileDifference>> DiffGamePaths(const std::string& oldPath,
                                                      const std::string& newPath) {
    std::error_code ec;
    for (const std::string& p : {oldPath, newPath})
        if (!fs::exists(FindExistingFile(p), ec)) return Error{"Cannot compare: there is no " + p};
    const bool oldDir = fs::is_directory(oldPath, ec), newDir = fs::is_directory(newPath, ec);
    if (oldDir != newDir)
        return Error{"Cannot compare a directory with a file: give two data directories or two game files"};
    if (!oldDir) {
        const std::string newName = fs::path(FindExistingFile(newPath)).filename().string();
        const std::string oldName = fs::path(FindExistingFile(oldPath)).filename().string();
        const auto kn = GameFileKindOf(newName), ko = GameFileKindOf(oldName);
        if (kn && ko && kn != ko)
            return Error{"Cannot compare " + oldName + " with " + newName +
                         ": they are different kinds of file"};
        return DiffGameFile(kn ? newName : oldName, FindExistingFile(oldPath).string(),
                            FindExistingFile(newPath).string());
    }
    auto a = GameFilesByName(oldPath);
    if (!a) return a.error();
    auto b = GameFilesByName(newPath);
    if (!b) return b.error();
    // Every name of either side, in the order of the new side's listing, then the old side's leftovers.
    std::vector<std::string> order;
    auto newFiles = ListGameFiles(newPath);
    auto oldFiles = ListGameFiles(oldPath);
    if (!newFiles) return newFiles.error();
    if (!oldFiles) return oldFiles.error();
    for (const auto& f : *newFiles)
        if (b->at(Upper(f.name)).path == f.path) order.push_back(Upper(f.name));
    for (const auto& f : *oldFiles)
        if (!b->count(Upper(f.name)) && a->at(Upper(f.name)).path == f.path) order.push_back(Upper(f.name));
    std::vector<GameFileDifference> out;
    for (const std::string& key : order) {
        auto ia = a->find(key);
        auto ib = b->find(key);
        if (ia == a->end() || ib == b->end()) {
            out.push_back(WholeFile(ib != b->end() ? ib->second.name : ia->second.name, ia != a->end(),
                                    ib != b->end()));
            continue;
        }
        auto diffs = DiffGameFile(ib->second.name, ia->second.path.string(), ib->second.path.string());
        if (!diffs) return diffs.error();
        out.insert(out.end(), diffs->begin(), diffs->end());
    }
    return out;
}

Result<std::vector<GameFileDifference>> DiffBackupRun(const std::string& directory, const std::string& run) {
    if (!IsBackupRunName(run))
        return Error{"\"" + run + "\" is not the name of a backup run (like 2026-12-06_20-31-07)"};
    auto runs = ListBackupRuns(directory);
    if (!runs) return runs.error();
    const BackupRunListing* found = nullptr;
    for (const auto& r : *runs)
        if (r.name == run) found = &r;
    if (!found)
        return Error{"There is no backup run " + run + " in " +
                     (fs::path(directory) / kBackupFolderName).string()};
    const fs::path runFolder = fs::path(directory) / kBackupFolderName / run;
    std::vector<GameFileDifference> out;
    for (const std::string& name : found->files) {
        if (!GameFileKindOf(name)) continue;
        const fs::path current = FindExistingFile(fs::path(directory) / name);
        std::error_code ec;
        if (!fs::is_regular_file(current, ec)) {
            out.push_back(WholeFile(name, true, false));
            continue;
        }
        auto diffs = DiffGameFile(name, (runFolder / name).string(), current.string());
        if (!diffs) return diffs.error();
        out.insert(out.end(), diffs->begin(), diffs->end());
    }
    return out;
}

std::string DifferenceLine(const GameFileDifference& d) {
    auto value = [](const DiffValue& v) -> std::string {
        switch (v.kind) {
        case DiffValue::Kind::None:
            return "(none)";
        case DiffValue::Kind::Number:
            return std::to_string(v.number);
        case DiffValue::Kind::Text:
            return "\"" + v.text + "\"";
        case DiffValue::Kind::Numbers: {
            std::string text = "[";
            for (std::size_t i = 0; i < v.numbers.size(); ++i)
                text += (i ? " " : "") + std::to_string(v.numbers[i]);
            return text + "]";
        }
        }
        return {};
    };
    std::string line = d.file;
    if (d.team) line += " team " + std::to_string(*d.team) + " \"" + TrimRight(d.teamName) + "\"";
    if (d.entry) line += " entry " + std::to_string(*d.entry) + " \"" + TrimRight(d.playerName) + "\"";
    if (d.slot) line += " slot " + std::to_string(*d.slot) + " \"" + TrimRight(d.playerName) + "\"";
    line += ": " + d.field;
    if (d.offset) line += " at offset " + std::to_string(*d.offset);
    if (d.field == "bytes") {
        // Hex bytes read better without quotes.
        auto raw = [&](const DiffValue& v) { return v.kind == DiffValue::Kind::Text ? v.text : value(v); };
        return line + " " + raw(d.oldValue) + " -> " + raw(d.newValue);
    }
    return line + " " + value(d.oldValue) + " -> " + value(d.newValue);
}

} // namespace kivo
