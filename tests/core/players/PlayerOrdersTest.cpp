#include "core/players/PlayerOrders.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "PlayersTestSupport.h"

namespace kivo {
namespace {

// NOCASE folds ASCII letters only; other bytes compare as they are.
std::string UpperName(const PlayerRow& r) {
    std::string n(r.nombreJugador.begin(), std::find(r.nombreJugador.begin(), r.nombreJugador.end(), 0));
    for (auto& c : n)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return n;
}

std::vector<std::int64_t> Ids(const std::vector<PlayerListEntry>& page) {
    std::vector<std::int64_t> ids;
    for (const auto& e : page)
        ids.push_back(e.id);
    return ids;
}

// 60 rows with many equal keys, names in mixed case, some blank, some marked.
class OrdersTest : public testing::TeamFilesTest, public ::testing::WithParamInterface<PlayerOrder> {
protected:
    std::optional<PlayerDatabase> db;
    std::vector<StoredPlayer> rows;

    void SetUp() override {
        db.emplace(OpenDatabase());
        const char* names[] = {"alba", "Alba", "BRUNO",       "bruno", "Carlos",
                               "",     "   ",  "\321and\372", "zeta",  "ab"};
        for (int i = 0; i < 60; ++i) {
            PlayerRow r = MakePlayerRow(
                testing::MakeTeam(static_cast<std::uint8_t>(i % 4), "T", static_cast<std::uint8_t>(i % 5), i),
                i % 16);
            testing::SetText(r.nombreJugador.data(), r.nombreJugador.size(), names[i % 10]);
            r.marca = static_cast<std::uint8_t>(i % 7 == 0 ? 0 : i % 3);
            rows.push_back({*db->Add(r), r});
        }
    }

    // The order written out in C++ (ties by place in the database), to compare SQL's with.
    std::vector<std::int64_t> Expected(PlayerOrder order, std::optional<std::uint8_t> mark) {
        auto key = [&](const PlayerRow& r) -> int {
            const int skill = static_cast<int>(order) - static_cast<int>(PlayerOrder::Passing);
            if (skill >= 0 && skill < static_cast<int>(kSkillCount)) return -r.skills[skill]; // best first
            const std::map<PlayerOrder, int> keys = {{PlayerOrder::Position, r.puesto},
                                                     {PlayerOrder::Price, r.valorPase},
                                                     {PlayerOrder::Mark, r.marca},
                                                     {PlayerOrder::Nationality, r.nacionalidad},
                                                     {PlayerOrder::Country, r.pais}};
            return keys.at(order);
        };
        std::vector<StoredPlayer> kept;
        for (const auto& r : rows)
            if (!(order == PlayerOrder::Name &&
                  UpperName(r.row).find_first_not_of(' ') == std::string::npos) &&
                !(order == PlayerOrder::Mark && r.row.marca == 0) && (!mark || r.row.marca == *mark))
                kept.push_back(r);
        std::stable_sort(kept.begin(), kept.end(), [&](const StoredPlayer& a, const StoredPlayer& b) {
            return order == PlayerOrder::Name ? UpperName(a.row) < UpperName(b.row) : key(a.row) < key(b.row);
        });
        std::vector<std::int64_t> ids;
        for (const auto& r : kept)
            ids.push_back(r.id);
        return ids;
    }
};

TEST_P(OrdersTest, WholeOrderAndKeyPagingBothWays) {
    const PlayerOrder order = GetParam();
    for (std::optional<std::uint8_t> mark : {std::optional<std::uint8_t>{}, std::optional<std::uint8_t>{1}}) {
        const auto expected = Expected(order, mark);
        ASSERT_FALSE(expected.empty());
        auto all = ListPlayers(*db, {.order = order, .mark = mark, .limit = 0});
        ASSERT_TRUE(all.ok()) << all.error().text;
        EXPECT_EQ(Ids(*all), expected);
        EXPECT_EQ(*CountPlayers(*db, order, mark), static_cast<std::int64_t>(expected.size()));

        std::vector<std::int64_t> forward; // pages of 7 from the start
        for (PlayerListRequest request{.order = order, .mark = mark, .limit = 7};;) {
            auto page = ListPlayers(*db, request);
            if (page->empty()) break;
            ASSERT_LE(page->size(), 7u);
            for (auto id : Ids(*page))
                forward.push_back(id);
            request.after = page->back();
        }
        EXPECT_EQ(forward, expected);

        std::vector<std::int64_t> backward = {all->back().id}; // pages of 5 back from the last row
        for (PlayerListRequest request{.order = order, .mark = mark, .before = all->back(), .limit = 5};;) {
            auto page = ListPlayers(*db, request);
            if (page->empty()) break;
            auto ids = Ids(*page);
            backward.insert(backward.begin(), ids.begin(), ids.end());
            request.before = page->front();
        }
        EXPECT_EQ(backward, expected);
    }
}

std::string OrderName(PlayerOrder order) {
    static const char* names[] = {"Name",     "Position",    "Passing", "Shooting",  "Heading",
                                  "Tackling", "BallControl", "Speed",   "Finishing", "Price",
                                  "Mark",     "Nationality", "Country"};
    return names[static_cast<int>(order)];
}

INSTANTIATE_TEST_SUITE_P(AllOrders, OrdersTest,
                         ::testing::Values(PlayerOrder::Name, PlayerOrder::Position, PlayerOrder::Passing,
                                           PlayerOrder::Shooting, PlayerOrder::Heading, PlayerOrder::Tackling,
                                           PlayerOrder::BallControl, PlayerOrder::Speed,
                                           PlayerOrder::Finishing, PlayerOrder::Price, PlayerOrder::Mark,
                                           PlayerOrder::Nationality, PlayerOrder::Country),
                         [](const auto& info) { return OrderName(info.param); });

TEST_F(OrdersTest, LocatorsStartAtTheValueInTheOrdersDirection) {
    auto b = ListPlayers(*db, {.order = PlayerOrder::Name, .fromName = "b", .limit = 1});
    EXPECT_EQ(UpperName(b->at(0).row), "BRUNO");
    auto past = ListPlayers(*db, {.order = PlayerOrder::Name, .fromName = "ZZ", .limit = 0});
    ASSERT_EQ(past->size(), 6u); // only the Latin-1 name sorts after "ZZ"
    EXPECT_EQ(past->front().row.nombreJugador[0], 0xD1);
    // Passing values are all even here, best first: the first at or below 9 is 8.
    auto passing = ListPlayers(*db, {.order = PlayerOrder::Passing, .fromValue = 9, .limit = 0});
    EXPECT_EQ(passing->front().row.skills[0], 8);
    EXPECT_EQ(passing->back().row.skills[0], 0);
}

TEST(RowTexts, CodesOutsideTheTablesShowEmptyExceptTheCountry) {
    const auto t = RowTexts({.pais = 9, .division = 7, .nacionalidad = 200, .puesto = 9, .valorPase = 60});
    EXPECT_EQ((std::vector<std::string>{t.country, t.division, t.nationality, t.position, t.price, t.name}),
              (std::vector<std::string>{"9", "", "", "", "", std::string(23, ' ')}));
}

} // namespace

void PrintTo(PlayerOrder order, std::ostream* os) {
    *os << static_cast<int>(order);
}

} // namespace kivo
