#include "core/gamefiles/Catalogue.h"

#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"

namespace kivo {
namespace {

// Each tab as "title: label number, label number, ...", in display order.
const char* const kExpected[] = {
    "Europe: Albania 0, Austria 1, Belarus 76, Belgium 2, Bulgaria 3, Croatia 4, Cyprus 5, Czech Republic 6, "
    "Denmark 7, England 8, Estonia 10, Faroe Islands 11, Finland 12, France 13, Germany 14, Greece 15, "
    "Holland 25, "
    "Hungary 16, Iceland 17, Israel 19, Italy 20, Latvia 21, Lithuania 22, Luxembourg 23, Malta 24, "
    "Northern Ireland 26, Norway 27, Poland 28, Portugal 29, Republic Ireland 18, Romania 30, Russia 31, "
    "San Marino 32, Scotland 33, Slovakia 78, Slovenia 34, Spain 35, Sweden 36, Switzerland 37, Turkey 38, "
    "Ukraine 39, Wales 40, Yugoslavia 41",
    "South America: Argentina 43, Bolivia 45, Brazil 46, Chile 48, Colombia 49, Ecuador 50, Paraguay 64, "
    "Peru 65, "
    "Uruguay 71, Surinam 66, Venezuela 77",
    "North America: Costa Rica 47, El Salvador 51, Mexico 60, USA 73",
    "Africa: Algeria 42, Ghana 79, South Africa 69, Tanzania 70",
    "Asia: India 75, Japan 55, South Korea 57, Taiwan 67",
    "Oceania: Australia 44, Malaysia 59, New Zealand 62",
    "National Teams: Europe 80, South America 82, North America 83, Middle East / Asia 84, Africa 81, "
    "Oceania 85, "
    "World Cup 74",
    "Any File: Open Any File -"};

TEST(Catalogue, HasTheTabsAndButtonsInDisplayOrder) {
    const auto tabs = CatalogueTabs();
    ASSERT_EQ(tabs.size(), std::size(kExpected));
    for (std::size_t t = 0; t < tabs.size(); ++t) {
        std::string shown = std::string(tabs[t].title) + ":";
        for (std::size_t b = 0; b < tabs[t].buttons.size(); ++b) {
            const CatalogueButton& button = tabs[t].buttons[b];
            shown += (b ? ", " : " ") + std::string(button.label) + " " +
                     (button.fileNumber ? std::to_string(*button.fileNumber) : "-");
        }
        EXPECT_EQ(shown, kExpected[t]);
    }
}

TEST(Catalogue, HasSeventySixFileButtonsAndNoneForTheUnusedNumbers) {
    std::multiset<int> numbers;
    for (const auto& tab : CatalogueTabs())
        for (const auto& button : tab.buttons)
            if (button.fileNumber) numbers.insert(*button.fileNumber);
    EXPECT_EQ(numbers.size(), 76u);
    const std::set<int> unused{9, 52, 53, 54, 56, 58, 61, 63, 68, 72};
    for (int n = 0; n <= 85; ++n) {
        EXPECT_EQ(numbers.count(n), unused.count(n) ? 0u : 1u) << n;
        EXPECT_EQ(HasCountryName(std::uint8_t(n)), !unused.count(n)) << n; // every button names a country
    }
}

TEST(Catalogue, FileNames) {
    EXPECT_EQ(CatalogueFileName(74), "TEAM.074");
    EXPECT_EQ(CatalogueFileName(0), "TEAM.000");
    const std::string sep(1, static_cast<char>(std::filesystem::path::preferred_separator));
    EXPECT_EQ(CatalogueTeamFilePath("/data", 74), "/data" + sep + "team.074");
    EXPECT_EQ(CatalogueTeamFilePath("/data   ", 5), "/data" + sep + "team.005");
    EXPECT_EQ(BatchTeamFilePath("/data  ", 5), "/data" + sep + "TEAM.005");
    EXPECT_EQ(BatchTeamFilePath("/data", 99), "/data" + sep + "TEAM.099");
}

} // namespace
} // namespace kivo
