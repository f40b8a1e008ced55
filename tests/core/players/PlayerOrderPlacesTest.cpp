#include "core/players/PlayerOrderPlaces.h"

#include "PlayersTestSupport.h"

namespace kivo {
namespace {

struct PlacesCase {
    const char* name;
    PlayerOrder order;
    std::optional<std::uint8_t> mark;
};

// 90 rows with many equal keys, mixed-case and blank names, three marks; every place must be the place
// at which ListPlayers yields the row.
class PlacesTest : public testing::TeamFilesTest, public ::testing::WithParamInterface<PlacesCase> {
protected:
    std::optional<PlayerDatabase> db;

    void SetUp() override {
        db.emplace(OpenDatabase());
        // Accented capitals and small letters too: whatever the name order does with letter case, a place
        // counted here must agree with it.
        const char* names[] = {"alba", "Alba", "BRUNO",   "\311lan", "bruno", "",
                               "   ",  "zeta", "\351lan", "ab",      "Carlos"};
        for (int i = 0; i < 90; ++i) {
            PlayerRow r =
                MakePlayerRow(testing::MakeTeam(static_cast<std::uint8_t>(i % 5), "T", 0, i), i % 16);
            testing::SetText(r.nombreJugador.data(), r.nombreJugador.size(), names[i % 11]);
            r.marca = static_cast<std::uint8_t>(i % 4);
            ASSERT_TRUE(db->Add(r).ok());
        }
    }
    std::vector<PlayerListEntry> Listed(const PlacesCase& c) {
        return *ListPlayers(*db, {.order = c.order, .mark = c.mark, .limit = 0});
    }
};

TEST_P(PlacesTest, EveryRowsPlaceIsWhereTheListingHasIt) {
    const auto listed = Listed(GetParam());
    ASSERT_FALSE(listed.empty());
    const auto count = static_cast<std::int64_t>(listed.size());
    for (std::int64_t p = 0; p < count; ++p) {
        const PlayerListEntry& e = listed[static_cast<std::size_t>(p)];
        auto place = PlaceInOrder(*db, GetParam().order, GetParam().mark, e);
        ASSERT_TRUE(place.ok()) << place.error().text;
        EXPECT_EQ(*place, p) << "row " << e.id;
        for (auto known : {std::optional<std::int64_t>{}, std::optional<std::int64_t>{count}}) {
            auto at = PlayerAtPlace(*db, GetParam().order, GetParam().mark, p, known);
            ASSERT_TRUE(at.ok()) << at.error().text;
            ASSERT_TRUE(at->has_value()) << "place " << p;
            EXPECT_EQ((*at)->id, e.id) << "place " << p << (known ? " from the nearer end" : "");
            EXPECT_EQ((*at)->row, e.row);
            EXPECT_EQ((*at)->texts.name, e.texts.name);
        }
    }
    EXPECT_FALSE(PlayerAtPlace(*db, GetParam().order, GetParam().mark, count)->has_value());
    EXPECT_FALSE(PlayerAtPlace(*db, GetParam().order, GetParam().mark, count, count)->has_value());
    EXPECT_FALSE(PlayerAtPlace(*db, GetParam().order, GetParam().mark, -1)->has_value());
}

TEST_P(PlacesTest, GroupsCoverTheOrderInItsDirection) {
    const auto listed = Listed(GetParam());
    auto groups = KeyGroups(*db, GetParam().order, GetParam().mark);
    ASSERT_TRUE(groups.ok()) << groups.error().text;
    if (GetParam().order == PlayerOrder::Name) {
        // The name order has no numeric key to group by, nor a letter step (the locator serves it).
        EXPECT_TRUE(groups->empty());
        EXPECT_FALSE(NextPlaceStartingWith(*db, PlayerOrder::Name, GetParam().mark, -1, 'a')->has_value());
        return;
    }
    std::size_t at = 0;
    for (const KeyGroup& g : *groups) {
        for (std::int64_t k = 0; k < g.rows; ++k, ++at) {
            ASSERT_LT(at, listed.size());
            const PlayerRow& r = listed[at].row;
            const int key =
                GetParam().order == PlayerOrder::Mark          ? r.marca
                : GetParam().order == PlayerOrder::Nationality ? r.nacionalidad
                : GetParam().order == PlayerOrder::Position    ? r.puesto
                : GetParam().order == PlayerOrder::Price       ? r.valorPase
                : GetParam().order == PlayerOrder::Country
                    ? r.pais
                    : r.skills[static_cast<int>(GetParam().order) - static_cast<int>(PlayerOrder::Passing)];
            EXPECT_EQ(key, g.key) << "place " << at;
        }
    }
    EXPECT_EQ(at, listed.size());
}

INSTANTIATE_TEST_SUITE_P(Orders, PlacesTest,
                         ::testing::Values(PlacesCase{"Name", PlayerOrder::Name, {}},
                                           PlacesCase{"Position", PlayerOrder::Position, {}},
                                           PlacesCase{"PassingBestFirst", PlayerOrder::Passing, {}},
                                           PlacesCase{"FinishingBestFirst", PlayerOrder::Finishing, {}},
                                           PlacesCase{"Price", PlayerOrder::Price, {}},
                                           PlacesCase{"MarkedOnly", PlayerOrder::Mark, {}},
                                           PlacesCase{"MarkTwo", PlayerOrder::Mark, 2},
                                           PlacesCase{"NameOfMarkOne", PlayerOrder::Name, 1},
                                           PlacesCase{"Nationality", PlayerOrder::Nationality, {}},
                                           PlacesCase{"SpeedOfMarkThree", PlayerOrder::Speed, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

class NamePlacesTest : public testing::TeamFilesTest {};

TEST_F(NamePlacesTest, LocatorPlaceIsTheFirstNameAtOrAfterTheTextLetterCaseIgnored) {
    auto db = OpenDatabase();
    for (const char* n : {"Bravo", "alpha", "", "CHARLIE", "bravo", "Delta"}) {
        PlayerRow r;
        testing::SetText(r.nombreJugador.data(), r.nombreJugador.size(), n);
        ASSERT_TRUE(db.Add(r).ok());
    }
    // alpha, Bravo, bravo, CHARLIE, Delta (the blank name is not in the order)
    const std::pair<const char*, std::int64_t> cases[] = {
        {"a", 0}, {"ALPHA", 0}, {"alphb", 1}, {"BRAVO", 1}, {"c", 3}, {"charliez", 4}, {"zz", 5}, {"", 0}};
    for (const auto& [text, want] : cases) {
        auto place = PlaceOfName(db, std::nullopt, text);
        ASSERT_TRUE(place.ok()) << place.error().text;
        EXPECT_EQ(*place, want) << text;
    }
}

TEST_F(NamePlacesTest, TypedLetterStepsToTheNextRowWhoseFieldStartsWithItAndGoesRound) {
    auto db = OpenDatabase();
    // Positions by code: G 0, RB 1, LB 2, D 3, RW 4, LW 5, M 6, A 7. Rows: G G RB D D M A (places 0..6).
    for (int code : {3, 0, 6, 1, 0, 3, 7}) {
        PlayerRow r;
        r.puesto = static_cast<std::uint8_t>(code);
        ASSERT_TRUE(db.Add(r).ok());
    }
    struct Step {
        std::int64_t current;
        char letter;
        std::optional<std::int64_t> want;
    };
    const Step steps[] = {{-1, 'd', 3}, {3, 'D', 4}, {4, 'd', 3}, {0, 'g', 1},           {1, 'g', 0},
                          {2, 'a', 6},  {6, 'a', 6}, {0, 'r', 2}, {0, 'x', std::nullopt}};
    for (const Step& s : steps) {
        auto next = NextPlaceStartingWith(db, PlayerOrder::Position, std::nullopt, s.current, s.letter);
        ASSERT_TRUE(next.ok()) << next.error().text;
        EXPECT_EQ(*next, s.want) << "from " << s.current << " with " << s.letter;
    }
    // Skills are written as numbers, best first: 12 12 9 1 -> '1' from the top is 12, after 12s is 1.
    auto skills = OpenDatabase();
    skills.connection().exec("DELETE FROM jugadores");
    for (int pase : {1, 12, 9, 12}) {
        PlayerRow r;
        r.skills[0] = static_cast<std::uint8_t>(pase);
        ASSERT_TRUE(skills.Add(r).ok());
    }
    EXPECT_EQ(*NextPlaceStartingWith(skills, PlayerOrder::Passing, std::nullopt, -1, '1'), 0);
    EXPECT_EQ(*NextPlaceStartingWith(skills, PlayerOrder::Passing, std::nullopt, 1, '1'), 3);
    EXPECT_EQ(*NextPlaceStartingWith(skills, PlayerOrder::Passing, std::nullopt, 0, '9'), 2);
    EXPECT_EQ(SortFieldText(PlayerOrder::Price, 0), "25K- ");
    EXPECT_EQ(SortFieldText(PlayerOrder::Nationality, 200), "200");
}

} // namespace
} // namespace kivo
