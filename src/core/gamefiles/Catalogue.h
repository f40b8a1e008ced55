#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kivo {

// One button of the team-file catalogue: its label and the league file number it opens; the "Open Any File"
// button has no file number.
struct CatalogueButton {
    std::string_view label;
    std::optional<int> fileNumber;
};

struct CatalogueTab {
    std::string_view title;
    std::span<const CatalogueButton> buttons;
};

// The catalogue's tabs in display order, each with its buttons in display order.
std::span<const CatalogueTab> CatalogueTabs();

// "TEAM." followed by the three-digit file number, as the catalogue's presence test compares it.
std::string CatalogueFileName(int fileNumber);

// The catalogue's path for a file number: the directory, trailing blanks removed, then "team." and three
// digits, joined with the platform's separator.
std::string CatalogueTeamFilePath(const std::string& directory, int fileNumber);

// The batch jobs' path for a file number: the directory, then "TEAM.0" and two digits.
std::string BatchTeamFilePath(const std::string& directory, int fileNumber);

} // namespace kivo
