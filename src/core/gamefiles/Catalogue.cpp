#include "core/gamefiles/Catalogue.h"

#include <cstdio>
#include <filesystem>

#include "core/support/FixedText.h"

namespace kivo {

namespace {

constexpr CatalogueButton kEurope[] = {{"Albania", 0},    {"Austria", 1},           {"Belarus", 76},
                                       {"Belgium", 2},    {"Bulgaria", 3},          {"Croatia", 4},
                                       {"Cyprus", 5},     {"Czech Republic", 6},    {"Denmark", 7},
                                       {"England", 8},    {"Estonia", 10},          {"Faroe Islands", 11},
                                       {"Finland", 12},   {"France", 13},           {"Germany", 14},
                                       {"Greece", 15},    {"Holland", 25},          {"Hungary", 16},
                                       {"Iceland", 17},   {"Israel", 19},           {"Italy", 20},
                                       {"Latvia", 21},    {"Lithuania", 22},        {"Luxembourg", 23},
                                       {"Malta", 24},     {"Northern Ireland", 26}, {"Norway", 27},
                                       {"Poland", 28},    {"Portugal", 29},         {"Republic Ireland", 18},
                                       {"Romania", 30},   {"Russia", 31},           {"San Marino", 32},
                                       {"Scotland", 33},  {"Slovakia", 78},         {"Slovenia", 34},
                                       {"Spain", 35},     {"Sweden", 36},           {"Switzerland", 37},
                                       {"Turkey", 38},    {"Ukraine", 39},          {"Wales", 40},
                                       {"Yugoslavia", 41}};
constexpr CatalogueButton kSouthAmerica[] = {
    {"Argentina", 43}, {"Bolivia", 45}, {"Brazil", 46},  {"Chile", 48},   {"Colombia", 49}, {"Ecuador", 50},
    {"Paraguay", 64},  {"Peru", 65},    {"Uruguay", 71}, {"Surinam", 66}, {"Venezuela", 77}};
constexpr CatalogueButton kNorthAmerica[] = {
    {"Costa Rica", 47}, {"El Salvador", 51}, {"Mexico", 60}, {"USA", 73}};
constexpr CatalogueButton kAfrica[] = {
    {"Algeria", 42}, {"Ghana", 79}, {"South Africa", 69}, {"Tanzania", 70}};
constexpr CatalogueButton kAsia[] = {{"India", 75}, {"Japan", 55}, {"South Korea", 57}, {"Taiwan", 67}};
constexpr CatalogueButton kOceania[] = {{"Australia", 44}, {"Malaysia", 59}, {"New Zealand", 62}};
constexpr CatalogueButton kNational[] = {
    {"Europe", 80}, {"South America", 82}, {"North America", 83}, {"Middle East / Asia", 84},
    {"Africa", 81}, {"Oceania", 85},       {"World Cup", 74}};
constexpr CatalogueButton kAnyFile[] = {{"Open Any File", std::nullopt}};

constexpr CatalogueTab kTabs[] = {{"Europe", kEurope},
                                  {"South America", kSouthAmerica},
                                  {"North America", kNorthAmerica},
                                  {"Africa", kAfrica},
                                  {"Asia", kAsia},
                                  {"Oceania", kOceania},
                                  {"National Teams", kNational},
                                  {"Any File", kAnyFile}};

std::string Digits(int number, int width) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, number);
    return buffer;
}

std::string Join(const std::string& directory, const std::string& name) {
    std::string dir = TrimRight(directory);
    if (dir.empty()) return name;
    // Joined as text, not with operator/, so that a directory typed with a trailing separator keeps it
    // ("dir//TEAM.005"), as the game's tools did; the file system reads both the same.
    return dir + static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

} // namespace

std::span<const CatalogueTab> CatalogueTabs() {
    return kTabs;
}

std::string CatalogueFileName(int fileNumber) {
    return "TEAM." + Digits(fileNumber, 3);
}

std::string CatalogueTeamFilePath(const std::string& directory, int fileNumber) {
    return Join(directory, "team." + Digits(fileNumber, 3));
}

std::string BatchTeamFilePath(const std::string& directory, int fileNumber) {
    return Join(directory, "TEAM.0" + Digits(fileNumber, 2));
}

} // namespace kivo
