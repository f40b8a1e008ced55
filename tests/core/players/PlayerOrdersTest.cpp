#include "core/players/PlayerOrders.h"

#include <algorithm>
#include <cctype>

#include <gtest/gtest.h>

#include "core/players/PlayerDatabase.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::TempDir;

std::string Upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// 60 rows with many equal keys, names in mixed case, some blank, some marked.
class OrdersTest : public ::testing::TestWithParam<PlayerOrder> {
protected:
    TempDir dir;
    std::optional<PlayerDatabase> db;
    std::vector<StoredPlayer> rows;

    void SetUp() override {
        auto opened = PlayerDatabase::Open(dir.file("JUGADORES"), true);
        ASSERT_TRUE(opened.ok());
        db.emplace(std::move(*opened));
        const char* names[] = {"alba", "Alba", "BRUNO", "bruno", "Carlos", "", "   ", "Ñandú", "zeta", "ab"};
        for (int i = 0; i < 60; ++i) {
            PlayerRow r = MakePlayerRow(
                MakeTeam(static_cast<std::uint8_t>(i % 4), "TEAM", static_cast<std::uint8_t>(i % 5), i),
                i % 16);
            testing::SetText(r.nombreJugador.data(), r.nombreJugador.size(), names[i % 10]);
            r.marca = static_cast<std::uint8_t>(i % 7 == 0 ? 0 : i % 3);
            auto id = db->Add(r);
            ASSERT_TRUE(id.ok());
            rows.push_back({*id, r});
        }
    }

    // The order written out in C++ (ties by place in the database), for comparing with SQL's.
    std::vector<std::int64_t> Expected(PlayerOrder order, std::optional<std::uint8_t> mark) {
        auto key = [&](const PlayerRow& r) -> long long {
            switch (order) {
            case PlayerOrder::Position:
                return r.puesto;
            case PlayerOrder::Price:
                return r.valorPase;
            case PlayerOrder::Mark:
                return r.marca;
            case PlayerOrder::Nationality:
                return r.nacionalidad;
            case PlayerOrder::Country:
                return r.pais;
            case PlayerOrder::Name:
                return 0;
            default:
                return -r.skills[static_cast<int>(order) - static_cast<int>(PlayerOrder::Passing)];
            }
        };
        auto name = [](const PlayerRow& r) {
            std::string n;
            for (auto b : r.nombreJugador)
                if (b == 0)
                    break;
                else
                    n += static_cast<char>(b);
            return n;
        };
        std::vector<StoredPlayer> kept;
        for (const auto& r : rows) {
            if (order == PlayerOrder::Name && name(r.row).find_first_not_of(' ') == std::string::npos)
                continue;
            if (order == PlayerOrder::Mark && r.row.marca == 0) continue;
            if (mark && r.row.marca != *mark) continue;
            kept.push_back(r);
        }
        std::stable_sort(kept.begin(), kept.end(), [&](const StoredPlayer& a, const StoredPlayer& b) {
            // NOCASE folds ASCII letters only; other bytes compare as they are.
            if (order == PlayerOrder::Name) return Upper(name(a.row)) < Upper(name(b.row));
            return key(a.row) < key(b.row);
        });
        std::vector<std::int64_t> ids;
        for (const auto& r : kept)
            ids.push_back(r.id);
        return ids;
    }
    static std::vector<std::int64_t> Ids(const std::vector<PlayerListEntry>& page) {
        std::vector<std::int64_t> ids;
        for (const auto& e : page)
            ids.push_back(e.id);
        return ids;
    }
};

TEST_P(OrdersTest, WholeOrderAndKeyPagingBothWays) {
    const PlayerOrder order = GetParam();
    for (std::optional<std::uint8_t> mark : {std::optional<std::uint8_t>{}, std::optional<std::uint8_t>{1}}) {
        const auto expected = Expected(order, mark);
        auto all = ListPlayers(*db, {.order = order, .mark = mark, .limit = 0});
        ASSERT_TRUE(all.ok()) << all.error().text;
        EXPECT_EQ(Ids(*all), expected);
        EXPECT_EQ(*CountPlayers(*db, order, mark), static_cast<std::int64_t>(expected.size()));

        // Forward by pages of 7.
        std::vector<std::int64_t> forward;
        PlayerListRequest request{.order = order, .mark = mark, .limit = 7};
        for (;;) {
            auto page = ListPlayers(*db, request);
            ASSERT_TRUE(page.ok());
            if (page->empty()) break;
            ASSERT_LE(page->size(), 7u);
            auto ids = Ids(*page);
            forward.insert(forward.end(), ids.begin(), ids.end());
            request.after = page->back();
        }
        EXPECT_EQ(forward, expected);

        // Backward from the last row by pages of 5.
        if (expected.empty()) continue;
        std::vector<std::int64_t> backward = {all->back().id};
        PlayerListRequest back{.order = order, .mark = mark, .before = all->back(), .limit = 5};
        for (;;) {
            auto page = ListPlayers(*db, back);
            ASSERT_TRUE(page.ok());
            if (page->empty()) break;
            auto ids = Ids(*page);
            backward.insert(backward.begin(), ids.begin(), ids.end());
            back.before = page->front();
        }
        EXPECT_EQ(backward, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(AllOrders, OrdersTest,
                         ::testing::Values(PlayerOrder::Name, PlayerOrder::Position, PlayerOrder::Passing,
                                           PlayerOrder::Shooting, PlayerOrder::Heading, PlayerOrder::Tackling,
                                           PlayerOrder::BallControl, PlayerOrder::Speed,
                                           PlayerOrder::Finishing, PlayerOrder::Price, PlayerOrder::Mark,
                                           PlayerOrder::Nationality, PlayerOrder::Country));

TEST_F(OrdersTest, NameLocatorIgnoresCase) {
    auto page = ListPlayers(*db, {.order = PlayerOrder::Name, .fromName = "b", .limit = 1});
    ASSERT_TRUE(page.ok());
    ASSERT_EQ(page->size(), 1u);
    EXPECT_EQ(Upper(page->front().texts.name.substr(0, 5)), "BRUNO");
    auto past = ListPlayers(*db, {.order = PlayerOrder::Name, .fromName = "ZZ", .limit = 0});
    ASSERT_TRUE(past.ok());
    // Only the Latin-1 name (0xD1 ...) sorts after "ZZ".
    ASSERT_EQ(past->size(), 6u);
    EXPECT_EQ(static_cast<unsigned char>(past->front().texts.name[0]), 0xC3); // stored as written by the test
}

TEST_F(OrdersTest, SkillLocatorStartsAtValueInDescendingOrder) {
    auto page = ListPlayers(*db, {.order = PlayerOrder::Passing, .fromValue = 9, .limit = 0});
    ASSERT_TRUE(page.ok());
    ASSERT_FALSE(page->empty());
    // Passing values are all even here: the first at or below 9 is 8.
    EXPECT_EQ(page->front().row.skills[0], 8);
    EXPECT_EQ(page->back().row.skills[0], 0);
}

TEST(PlayerOrderNamed, CommandLineNames) {
    EXPECT_EQ(PlayerOrderNamed("ball-control"), PlayerOrder::BallControl);
    EXPECT_EQ(PlayerOrderNamed("country"), PlayerOrder::Country);
    EXPECT_EQ(PlayerOrderNamed("mark"), PlayerOrder::Mark);
    EXPECT_FALSE(PlayerOrderNamed("Name").has_value());
}

TEST(RowTexts, CodesOutsideTheTablesShowEmptyOrAsNumbers) {
    PlayerRow r;
    r.pais = 9;
    r.division = 7;
    r.nacionalidad = 200;
    r.puesto = 9;
    r.valorPase = 60;
    auto t = RowTexts(r);
    EXPECT_EQ(t.country, "9");
    EXPECT_EQ(t.division, "");
    EXPECT_EQ(t.nationality, "");
    EXPECT_EQ(t.position, "");
    EXPECT_EQ(t.price, "");
    EXPECT_EQ(t.name, std::string(23, ' '));
    r.pais = 74;
    r.division = 0;
    r.nacionalidad = 99;
    r.puesto = 3;
    r.valorPase = 0;
    t = RowTexts(r);
    EXPECT_EQ(t.nationality, "KEN");
    EXPECT_EQ(t.position, "D ");
    EXPECT_EQ(t.division.size(), 10u);
}

} // namespace
} // namespace kivo
