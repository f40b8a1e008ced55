#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/sampledata/SampleData.h"

namespace {

namespace fs = std::filesystem;
using namespace kivo;

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SampleData : public ::testing::Test {
protected:
    fs::path Make(const std::string& name, SampleDataOptions options) {
        fs::path dir = fs::temp_directory_path() / ("kivo-sample-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        made_.push_back(dir);
        auto summary = WriteSampleData(dir.string(), options);
        EXPECT_TRUE(summary.ok()) << (summary.ok() ? "" : summary.error().text);
        return dir;
    }
    void TearDown() override {
        for (const auto& d : made_)
            fs::remove_all(d);
    }
    std::vector<fs::path> made_;
};

TEST_F(SampleData, SameSeedSameBytesOtherSeedOtherBytes) {
    const fs::path a = Make("a", {5, 1}), b = Make("b", {5, 1}), c = Make("c", {6, 1});
    for (const char* name : {"TEAM.008", "EUROCUP.TMD", "POOLPLYR.DAT"}) {
        EXPECT_EQ(Bytes(a / name), Bytes(b / name)) << name;
        EXPECT_NE(Bytes(a / name), Bytes(c / name)) << name;
    }
}

TEST_F(SampleData, EveryCatalogueFileExistsWithValidTeams) {
    const fs::path dir = Make("valid", {1, 1});
    long long slots = 0;
    for (const CatalogueTab& tab : CatalogueTabs()) {
        for (const CatalogueButton& button : tab.buttons) {
            if (!button.fileNumber) continue;
            const fs::path file = dir / CatalogueFileName(*button.fileNumber);
            ASSERT_TRUE(fs::exists(file)) << file;
            auto teams = ReadTeams(file.string());
            ASSERT_TRUE(teams.ok());
            EXPECT_GE(teams->size(), 10u);
            EXPECT_LE(teams->size(), 45u);
            EXPECT_EQ((fs::file_size(file) - 2) % 684, 0u);
            for (std::size_t k = 0; k < teams->size(); ++k) {
                const TeamRecord& t = (*teams)[k];
                EXPECT_EQ(t.pais, *button.fileNumber);
                EXPECT_EQ(t.nroEquipo, k);
                EXPECT_TRUE(DivisionText(t.division) && TacticText(t.tactica));
                std::set<int> lineup(t.titularesYSuplentes.begin(), t.titularesYSuplentes.end());
                EXPECT_EQ(lineup.size(), 16u);
                EXPECT_EQ(*lineup.rbegin(), 15);
                std::set<int> shirts;
                for (const PlayerSlot& s : t.jugador) {
                    shirts.insert(s.nroCamiseta);
                    EXPECT_TRUE(NationalityText(s.nacionalidad) && PriceText(s.valorPase));
                    EXPECT_LE(s.passing, 15);
                    EXPECT_LE(FaceCodeOf(s.posicionYAspecto), 2);
                }
                EXPECT_EQ(shirts, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
                // Records in normal form encode back to themselves.
                EXPECT_EQ(EncodeTeam(DecodeTeam(t)), t);
                slots += 16;
            }
        }
    }
    EXPECT_GT(slots, 20000);
    EXPECT_LT(slots, 34000);
}

TEST_F(SampleData, ScaleMultipliesTeamsButNeverPast256) {
    const fs::path one = Make("s1", {3, 1}), big = Make("s20", {3, 20});
    for (const char* name : {"TEAM.008", "TEAM.035", "TEAM.074"}) {
        const auto small = fs::file_size(one / name), large = fs::file_size(big / name);
        const auto teamsSmall = (small - 2) / 684, teamsLarge = (large - 2) / 684;
        EXPECT_EQ(teamsLarge, std::min<std::uintmax_t>(256, teamsSmall * 20)) << name;
    }
}

TEST_F(SampleData, CupsAndPoolNameLeagueTeams) {
    const fs::path dir = Make("cups", {1, 1});
    int premier = 0, other = 0, beyond = 0;
    for (const char* cup : {"EUROCUP.TMD", "UEFACUP.TMD", "EUROCWC.TMD"}) {
        auto teams = ReadTeams((dir / cup).string());
        ASSERT_TRUE(teams.ok());
        EXPECT_EQ(fs::file_size(dir / cup) % 684, 0u);
        for (const TeamRecord& t : *teams) {
            auto league = ReadTeam(BatchTeamFilePath(dir.string(), t.pais), t.nroEquipo);
            if (!league) {
                ++beyond;
                continue;
            }
            (league->division == 0 ? premier : other)++;
        }
    }
    EXPECT_EQ(beyond, 1);
    EXPECT_GT(premier, 3 * other);
    EXPECT_GT(other, 0);

    const std::string pool = Bytes(dir / "POOLPLYR.DAT");
    ASSERT_EQ(pool.size() % 58, 0u);
    EXPECT_GE(pool.size() / 58, 300u);
    int highSlots = 0;
    for (std::size_t at = 0; at < pool.size(); at += 58) {
        const auto file = static_cast<std::uint8_t>(pool[at]);
        const auto team = static_cast<std::uint8_t>(pool[at + 1]);
        if (static_cast<std::uint8_t>(pool[at + 2]) >= 16) ++highSlots;
        EXPECT_TRUE(ReadTeam(BatchTeamFilePath(dir.string(), file), team).ok()) << "pool entry at " << at;
    }
    EXPECT_EQ(highSlots, 1);
}

TEST(SampleDataErrors, AnUnwritableDirectoryIsAnError) {
    const fs::path file = fs::temp_directory_path() / ("kivo-sample-file-" + std::to_string(::getpid()));
    std::ofstream(file) << "x";
    auto result = WriteSampleData((file / "data").string(), {1, 1});
    EXPECT_FALSE(result.ok());
    fs::remove(file);
}

} // namespace
