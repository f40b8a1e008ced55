#include "core/settings/RecentDirectories.h"

#include <algorithm>
#include <filesystem>

#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "core/teams/CatalogueListing.h"

namespace kivo {

namespace {

std::string EntryName(int n) {
    return "Directory" + std::to_string(n);
}

} // namespace

std::vector<std::string> ReadRecentDirectories(const std::string& ventanasPath) {
    std::vector<std::string> kept;
    for (int n = 1; n <= kRecentDirectoriesKept; ++n) {
        const std::string dir = TrimDirectory(ReadIniText(ventanasPath, kRecentSection, EntryName(n), ""));
        if (!dir.empty() && std::find(kept.begin(), kept.end(), dir) == kept.end()) kept.push_back(dir);
    }
    return kept;
}

bool RememberDirectory(const std::string& ventanasPath, const std::string& directory) {
    const std::string dir = TrimDirectory(directory);
    if (dir.empty()) return true;
    std::vector<std::string> before;
    for (int n = 1; n <= kRecentDirectoriesKept; ++n)
        before.push_back(ReadIniText(ventanasPath, kRecentSection, EntryName(n), ""));
    std::vector<std::string> after{dir};
    for (const std::string& old : ReadRecentDirectories(ventanasPath))
        if (old != dir && static_cast<int>(after.size()) < kRecentDirectoriesKept) after.push_back(old);
    after.resize(kRecentDirectoriesKept);
    bool written = true;
    for (int n = 0; n < kRecentDirectoriesKept; ++n)
        if (after[n] != before[n])
            written = WriteIniText(ventanasPath, kRecentSection, EntryName(n + 1), after[n]) && written;
    return written;
}

std::string StartingDataDirectory(const std::string& ventanasPath) {
    // A sentinel no directory can be: it holds a line break, which an entry never does.
    const std::string missing = "\n";
    const std::string configured = ReadIniText(ventanasPath, kConfigSection, kDirectorioKivo, missing);
    if (configured != missing) return configured;
    const std::vector<std::string> recent = ReadRecentDirectories(ventanasPath);
    return recent.empty() ? DefaultDataDirectory() : recent.front();
}

std::string ResolveDirectory(const std::string& directory, const std::string& startDirectory) {
    const std::string dir = TrimRight(directory);
    if (dir.empty() || startDirectory.empty()) return dir;
    const std::filesystem::path path(dir);
    if (path.is_absolute()) return dir;
    return (std::filesystem::path(startDirectory) / path).string();
}

} // namespace kivo
