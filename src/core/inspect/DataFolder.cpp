#include "core/inspect/DataFolder.h"

#include <algorithm>
#include <array>

#include "core/gamefiles/TeamFile.h"
#include "core/market/PoolFile.h"

namespace kivo {
namespace {

constexpr std::array<const char*, 3> kCupNames = {"EUROCUP.TMD", "UEFACUP.TMD", "EUROCWC.TMD"};

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// League files first by number, then the cups in the market fix's order, then the pool.
int SortKey(const GameFileName& f) {
    const std::string n = Upper(f.name);
    switch (f.kind) {
    case GameFileKind::League:
        return std::stoi(n.substr(5));
    case GameFileKind::Cup:
        return 1000 + static_cast<int>(std::find(kCupNames.begin(), kCupNames.end(), n) - kCupNames.begin());
    case GameFileKind::Pool:
        return 2000;
    }
    return 3000;
}

} // namespace

std::optional<GameFileKind> GameFileKindOf(const std::string& fileName) {
    const std::string n = Upper(fileName);
    if (std::find(kCupNames.begin(), kCupNames.end(), n) != kCupNames.end()) return GameFileKind::Cup;
    if (n == "POOLPLYR.DAT") return GameFileKind::Pool;
    if (n.size() == 8 && n.rfind("TEAM.", 0) == 0 &&
        n.find_first_not_of("0123456789", 5) == std::string::npos)
        return GameFileKind::League;
    return std::nullopt;
}

Result<std::vector<GameFileName>> ListGameFiles(const std::filesystem::path& directory) {
    std::error_code ec;
    if (!std::filesystem::is_directory(directory, ec))
        return Error{"Cannot read " + directory.string() + ": it is not a directory"};
    std::vector<GameFileName> files;
    std::filesystem::directory_iterator it(directory, ec);
    if (ec) return Error{"Cannot read the directory " + directory.string() + ": " + ec.message()};
    for (std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return Error{"Cannot read the directory " + directory.string() + ": " + ec.message()};
        const std::string name = it->path().filename().string();
        const auto kind = GameFileKindOf(name);
        if (!kind || it->is_directory(ec)) continue;
        files.push_back({name, it->path(), *kind});
    }
    // Two names that differ only in letter case are one file to the game; the order between them is kept
    // stable by the name itself.
    std::sort(files.begin(), files.end(), [](const GameFileName& a, const GameFileName& b) {
        const int ka = SortKey(a), kb = SortKey(b);
        return ka != kb ? ka < kb : a.name < b.name;
    });
    return files;
}

std::uint64_t LoadedGameFile::RecordOffset(std::uint64_t k) const {
    switch (kind) {
    case GameFileKind::League:
        return kLeagueHeaderSize + k * kTeamRecordSize;
    case GameFileKind::Cup:
        return k * kTeamRecordSize;
    case GameFileKind::Pool:
        return k * kPoolRecordSize;
    }
    return 0;
}

Result<LoadedGameFile> LoadGameFile(const std::string& path, GameFileKind kind) {
    LoadedGameFile loaded;
    loaded.kind = kind;
    if (kind == GameFileKind::Pool) {
        auto pool = ReadPoolFile(path);
        if (!pool) return pool.error();
        loaded.entries = std::move(pool->entries);
        loaded.trailing = std::move(pool->trailing);
        loaded.trailingOffset = loaded.RecordOffset(loaded.entries.size());
        loaded.size = loaded.trailingOffset + loaded.trailing.size();
        return loaded;
    }
    auto file = TeamFile::Open(path, TeamFile::Mode::ReadOnly);
    if (!file) return file.error();
    auto size = file->SizeInBytes();
    if (!size) return size.error();
    loaded.size = *size;
    if (kind == GameFileKind::League) {
        auto header = file->ReadBytesAt(0, kLeagueHeaderSize);
        if (!header) return header.error();
        loaded.header = std::move(*header);
    }
    auto teams = file->ReadAllTeams();
    if (!teams) return teams.error();
    loaded.teams = std::move(*teams);
    loaded.trailingOffset = std::min(loaded.size, loaded.RecordOffset(loaded.teams.size()));
    // Fewer than one record's bytes: ReadAllTeams took every whole one.
    auto trailing = file->ReadBytesAt(loaded.trailingOffset,
                                      static_cast<std::size_t>(loaded.size - loaded.trailingOffset));
    if (!trailing) return trailing.error();
    loaded.trailing = std::move(*trailing);
    return loaded;
}

} // namespace kivo
