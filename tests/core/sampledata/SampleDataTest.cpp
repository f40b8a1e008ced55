#include "core/sampledata/SampleData.h"

#include <set>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::TempDir;

// A fresh data directory written with these options; removed with the test.
struct SampleDir {
    TempDir root;
    fs::path path = root.path() / "data";
    explicit SampleDir(SampleDataOptions options) {
        auto summary = WriteSampleData(path.string(), options);
        EXPECT_TRUE(summary.ok()) << (summary.ok() ? "" : summary.error().text);
    }
    std::size_t Teams(const char* name) const { return (fs::file_size(path / name) - 2) / 684; }
};

TEST(SampleData, SameSeedSameBytesOtherSeedOtherBytes) {
    const SampleDir a({5, 1}), b({5, 1}), c({6, 1});
    for (const char* name : {"TEAM.008", "EUROCUP.TMD", "POOLPLYR.DAT"}) {
        EXPECT_EQ(ReadText(a.path / name), ReadText(b.path / name)) << name;
        EXPECT_NE(ReadText(a.path / name), ReadText(c.path / name)) << name;
    }
}

TEST(SampleData, EveryCatalogueFileExistsWithValidTeams) {
    const SampleDir dir({1, 1});
    long long slots = 0;
    for (const CatalogueTab& tab : CatalogueTabs())
        for (const CatalogueButton& button : tab.buttons) {
            if (!button.fileNumber) continue;
            const fs::path file = dir.path / CatalogueFileName(*button.fileNumber);
            auto teams = ReadTeams(file.string());
            ASSERT_TRUE(teams.ok()) << file;
            EXPECT_EQ((fs::file_size(file) - 2) % 684, 0u);
            EXPECT_GE(teams->size(), 10u);
            EXPECT_LE(teams->size(), 45u);
            for (std::size_t k = 0; k < teams->size(); ++k) {
                const TeamRecord& t = (*teams)[k];
                EXPECT_EQ(t.pais, *button.fileNumber);
                EXPECT_EQ(t.nroEquipo, k);
                EXPECT_TRUE(DivisionText(t.division) && TacticText(t.tactica));
                const std::set<int> lineup(t.titularesYSuplentes.begin(), t.titularesYSuplentes.end());
                EXPECT_TRUE(lineup.size() == 16 && *lineup.rbegin() == 15);
                std::set<int> shirts;
                for (const PlayerSlot& s : t.jugador) {
                    shirts.insert(s.nroCamiseta);
                    EXPECT_TRUE(NationalityText(s.nacionalidad) && PriceText(s.valorPase));
                    EXPECT_LE(FaceCodeOf(s.posicionYAspecto), 2);
                }
                EXPECT_TRUE(shirts.size() == 16 && *shirts.begin() == 1 && *shirts.rbegin() == 16);
                EXPECT_EQ(EncodeTeam(DecodeTeam(t)), t); // normal form: skills within 15, names zero-padded
                slots += 16;
            }
        }
    EXPECT_GT(slots, 20000);
    EXPECT_LT(slots, 34000);
}

TEST(SampleData, ScaleMultipliesTeamsButNeverPast256) {
    const SampleDir one({3, 1}), big({3, 20});
    for (const char* name : {"TEAM.008", "TEAM.035", "TEAM.074"})
        EXPECT_EQ(big.Teams(name), std::min<std::size_t>(256, one.Teams(name) * 20)) << name;
}

// Cup teams are mostly premier division league teams, and one deliberately names no team; every pool entry
// names a league team, and one a player slot beyond the sixteen.
TEST(SampleData, CupsAndPoolReferenceLeagueTeams) {
    const SampleDir dir({1, 1});
    const std::string data = dir.path.string();
    int premier = 0, other = 0, beyond = 0;
    for (const char* cup : {"EUROCUP.TMD", "UEFACUP.TMD", "EUROCWC.TMD"}) {
        EXPECT_EQ(fs::file_size(dir.path / cup) % 684, 0u);
        auto teams = ReadTeams((dir.path / cup).string());
        ASSERT_TRUE(teams.ok());
        for (const TeamRecord& t : *teams) {
            auto league = ReadTeam(BatchTeamFilePath(data, t.pais), t.nroEquipo);
            ++(!league ? beyond : league->division == 0 ? premier : other);
        }
    }
    EXPECT_EQ(beyond, 1);
    EXPECT_GT(premier, 3 * other);
    EXPECT_GT(other, 0);

    const std::string pool = ReadText(dir.path / "POOLPLYR.DAT");
    ASSERT_EQ(pool.size() % 58, 0u);
    EXPECT_GE(pool.size() / 58, 300u);
    int highSlots = 0;
    for (std::size_t at = 0; at < pool.size(); at += 58) {
        highSlots += static_cast<std::uint8_t>(pool[at + 2]) >= 16;
        EXPECT_TRUE(
            ReadTeam(BatchTeamFilePath(data, std::uint8_t(pool[at])), std::uint8_t(pool[at + 1])).ok())
            << "pool entry at " << at;
    }
    EXPECT_EQ(highSlots, 1);
}

TEST(SampleData, AnUnwritableDirectoryIsAnError) {
    TempDir dir;
    test::WriteText(dir.path() / "file", "x");
    EXPECT_FALSE(WriteSampleData((dir.path() / "file" / "data").string(), {1, 1}).ok());
}

} // namespace
} // namespace kivo
