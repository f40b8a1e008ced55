#include "core/players/PlayerDatabase.h"

#include <gtest/gtest.h>

#include "core/players/PlayerOrders.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::TempDir;

class PlayerDatabaseTest : public ::testing::Test {
protected:
    TempDir dir;
    std::optional<PlayerDatabase> db;
    void SetUp() override {
        auto opened = PlayerDatabase::Open(dir.file("JUGADORES"), true);
        ASSERT_TRUE(opened.ok()) << opened.error().text;
        db.emplace(std::move(*opened));
    }
};

// Every byte but zero survives the trip through the database; the field ends at its first zero byte.
TEST_F(PlayerDatabaseTest, TextFieldsKeepTheirBytes) {
    for (int start = 1; start < 256; start += 23) {
        PlayerRow row = MakePlayerRow(MakeTeam(1, "X"), 0);
        for (std::size_t i = 0; i < row.nombreJugador.size(); ++i)
            row.nombreJugador[i] = static_cast<std::uint8_t>(std::min(255, start + static_cast<int>(i)));
        for (std::size_t i = 0; i < row.nombreEquipo.size(); ++i)
            row.nombreEquipo[i] = static_cast<std::uint8_t>(std::max(1, 255 - start - static_cast<int>(i)));
        auto id = db->Add(row);
        ASSERT_TRUE(id.ok());
        auto back = db->Get(*id);
        ASSERT_TRUE(back.ok() && back->has_value());
        EXPECT_EQ((*back)->row, row) << start;
    }
    PlayerRow cut = MakePlayerRow(MakeTeam(1, "X"), 0);
    testing::SetText(cut.nombreJugador.data(), cut.nombreJugador.size(), "AB");
    cut.nombreJugador[5] = 'Z'; // after the zero byte: not part of the name
    auto id = db->Add(cut);
    auto back = db->Get(*id);
    cut.nombreJugador[5] = 0;
    EXPECT_EQ((*back)->row, cut);
}

TEST_F(PlayerDatabaseTest, PutAndDeleteKeepTheOrders) {
    PlayerRow row = MakePlayerRow(MakeTeam(1, "X"), 0);
    auto id = db->Add(row);
    ASSERT_TRUE(id.ok());
    row.marca = 9;
    row.skills[0] = 15;
    ASSERT_TRUE(db->Put(*id, row).ok());
    auto marked = ListPlayers(*db, {.order = PlayerOrder::Mark, .mark = 9, .limit = 0});
    ASSERT_EQ(marked->size(), 1u);
    EXPECT_EQ(marked->front().row, row);
    EXPECT_EQ(ListPlayers(*db, {.order = PlayerOrder::Passing, .fromValue = 15, .limit = 1})->front().id,
              *id);

    ASSERT_TRUE(db->Delete(*id).ok());
    EXPECT_EQ(*db->CountRows(), 0);
    EXPECT_TRUE(ListPlayers(*db, {.order = PlayerOrder::Mark, .limit = 0})->empty());
    EXPECT_FALSE(db->Put(*id, row).ok());
    EXPECT_FALSE(db->Delete(*id).ok());
    EXPECT_FALSE(db->Get(*id)->has_value());
}

TEST_F(PlayerDatabaseTest, OpeningWithoutCreatingAMissingFileFails) {
    auto missing = PlayerDatabase::Open(dir.file("NOPE"), false);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().text.find("NOPE"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("NOPE")));
}

} // namespace
} // namespace kivo
