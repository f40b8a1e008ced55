#include "core/rosters/RosterFiles.h"

#include <cctype>
#include <filesystem>

#include "core/gamefiles/Catalogue.h"
#include "core/support/FileLookup.h"

namespace kivo {
namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void AddExisting(const std::filesystem::path& path, std::vector<std::string>& files) {
    const std::filesystem::path found = FindExistingFile(path);
    std::error_code ec;
    if (std::filesystem::is_regular_file(found, ec)) files.push_back(found.string());
}

} // namespace

bool IsTeamFileName(const std::string& name) {
    const std::string n = Upper(name);
    if (n == "EUROCUP.TMD" || n == "UEFACUP.TMD" || n == "EUROCWC.TMD") return true;
    return n.size() == 8 && n.rfind("TEAM.", 0) == 0 &&
           n.find_first_not_of("0123456789", 5) == std::string::npos;
}

std::vector<std::string> LeagueTeamFiles(const std::string& directory) {
    std::vector<std::string> files;
    for (int n = 1; n <= 85; ++n)
        AddExisting(BatchTeamFilePath(directory, n), files);
    return files;
}

std::vector<std::string> RosterFiles(const std::string& directory) {
    std::vector<std::string> files = LeagueTeamFiles(directory);
    for (const char* cup : {"EUROCUP.TMD", "UEFACUP.TMD", "EUROCWC.TMD"})
        AddExisting(std::filesystem::path(directory) / cup, files);
    return files;
}

} // namespace kivo
