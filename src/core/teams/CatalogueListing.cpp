#include "core/teams/CatalogueListing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/gamefiles/Catalogue.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

} // namespace

std::string TrimDirectory(const std::string& directory) {
    std::string trimmed = TrimRight(directory);
    if (trimmed.size() > 1 && IsSeparator(trimmed.back())) trimmed.pop_back();
    return trimmed;
}

std::vector<std::string> ListTeamFiles(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(TrimRight(directory), error);
    if (error) return names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error) break;
        const std::string name = Upper(it->path().filename().string());
        if (name.rfind("TEAM.", 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool ListingHasFile(const std::vector<std::string>& listing, int fileNumber) {
    return std::binary_search(listing.begin(), listing.end(), CatalogueFileName(fileNumber));
}

std::string DirectoryOfChosenFile(const std::string& chosenPath) {
    return std::filesystem::path(TrimRight(chosenPath)).parent_path().string();
}

} // namespace kivo
