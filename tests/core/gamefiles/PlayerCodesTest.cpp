#include "core/gamefiles/PlayerCodes.h"

#include <algorithm>
#include <numeric>
#include <random>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

// ---- Decoding the position and appearance byte ----

struct PositionByteCase {
    std::uint8_t byte;
    const char* position; // blank-padded to 2
    std::uint8_t face;
};

class PositionAndFace : public ::testing::TestWithParam<PositionByteCase> {};

TEST_P(PositionAndFace, DecodeFromTheHighBits) {
    PlayerSlot slot;
    slot.posicionYAspecto = GetParam().byte;
    const DecodedPlayer p = DecodePlayerSlot(slot);
    EXPECT_EQ(p.position, GetParam().position);
    EXPECT_EQ(p.face, GetParam().face);
}

INSTANTIATE_TEST_SUITE_P(Bytes, PositionAndFace,
                         ::testing::Values(PositionByteCase{0xFF, "A ", 3}, PositionByteCase{0x10, "G ", 2},
                                           PositionByteCase{0x07, "G ", 0}, PositionByteCase{0x70, "D ", 2},
                                           PositionByteCase{0xE0, "A ", 0}, PositionByteCase{0x28, "RB", 1},
                                           PositionByteCase{0x5F, "LB", 3}, PositionByteCase{0x80, "RW", 0},
                                           PositionByteCase{0xA7, "LW", 0}, PositionByteCase{0xD8, "M ", 3}));

TEST(PositionAndFace, EveryByteDecodesToATableEntry) {
    for (int b = 0; b < 256; ++b) {
        PlayerSlot slot;
        slot.posicionYAspecto = static_cast<std::uint8_t>(b);
        const DecodedPlayer p = DecodePlayerSlot(slot);
        EXPECT_EQ(p.position, *PositionText(static_cast<std::uint8_t>(b >> 5))) << b;
        EXPECT_EQ(p.face, (b >> 3) & 3) << b;
    }
}

// ---- Encoding one player ----

DecodedPlayer Player(const char* position, std::uint8_t face, Skills skills) {
    DecodedPlayer p;
    p.position = position;
    p.face = face;
    p.skills = skills;
    p.nationality = "ESP";
    p.price = "1M";
    p.shirt = 1;
    p.name = "Nobody";
    return p;
}

struct EncodeCase {
    const char* label;
    DecodedPlayer player;
    std::uint8_t posicionYAspecto, passing, shootingYHeading, tacklingYBallControl, speedYFinishing;
};

class EncodePlayer : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodePlayer, PacksTheCodedBytes) {
    PlayerSlot slot;
    slot.posicionYAspecto = 0x07; // low bits set, to see them cleared
    EncodePlayerSlot(GetParam().player, slot);
    EXPECT_EQ(slot.posicionYAspecto, GetParam().posicionYAspecto);
    EXPECT_EQ(slot.passing, GetParam().passing);
    EXPECT_EQ(slot.shootingYHeading, GetParam().shootingYHeading);
    EXPECT_EQ(slot.tacklingYBallControl, GetParam().tacklingYBallControl);
    EXPECT_EQ(slot.speedYFinishing, GetParam().speedYFinishing);
}

INSTANTIATE_TEST_SUITE_P(
    Players, EncodePlayer,
    ::testing::Values(
        EncodeCase{"DefenderFace2", Player("D", 2, {0, 0, 0, 0, 0, 0, 0}), 0x70, 0, 0, 0, 0},
        EncodeCase{"AttackerFace0", Player("A", 0, {0, 0, 0, 0, 0, 0, 0}), 0xE0, 0, 0, 0, 0},
        EncodeCase{"PaddedPositionText", Player("D ", 1, {0, 0, 0, 0, 0, 0, 0}), 0x68, 0, 0, 0, 0},
        EncodeCase{"Passing9IsTheWholeByte", Player("G", 0, {9, 0, 0, 0, 0, 0, 0}), 0x00, 9, 0, 0, 0},
        EncodeCase{"Shooting12Heading5", Player("M", 0, {0, 12, 5, 0, 0, 0, 0}), 0xC0, 0, 0xC5, 0, 0},
        EncodeCase{"SkillsAbove15BecomeFifteen", Player("RW", 3, {20, 20, 16, 255, 15, 99, 200}), 0x98, 15,
                   0xFF, 0xFF, 0xFF},
        EncodeCase{"AllSkillsDistinct", Player("LW", 0, {1, 2, 3, 4, 5, 6, 7}), 0xA0, 1, 0x23, 0x45, 0x67}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(EncodePlayer, ShootingAndHeadingByteDecodesBack) {
    PlayerSlot slot;
    slot.shootingYHeading = 0xC5;
    const DecodedPlayer p = DecodePlayerSlot(slot);
    EXPECT_EQ(p.skills[1], 12);
    EXPECT_EQ(p.skills[2], 5);
}

TEST(EncodePlayer, WritesCodesNameAndLeavesTheOtherBytes) {
    PlayerSlot slot;
    slot.reservado = 0xA1;
    slot.reservado0 = 0xA2;
    slot.reservadosCant5 = {1, 2, 3, 4, 5};
    slot.nroCamiseta = 9;
    slot.nombreJugador.fill('Z');
    DecodedPlayer p = Player("M", 0, {});
    p.nationality = "URU";
    p.price = "2.25M";
    p.shirt = 3;
    p.name = "Juan Perez  ";
    EncodePlayerSlot(p, slot);
    EXPECT_EQ(slot.nacionalidad, 76);
    EXPECT_EQ(slot.valorPase, 36);
    EXPECT_EQ(FieldValue(slot.nombreJugador), "Juan Perez");
    EXPECT_TRUE(std::all_of(slot.nombreJugador.begin() + 10, slot.nombreJugador.end(),
                            [](auto b) { return b == 0; }));
    EXPECT_EQ(slot.reservado, 0xA1);
    EXPECT_EQ(slot.reservado0, 0xA2);
    EXPECT_EQ(slot.reservadosCant5, (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
}

// Texts that cannot come from the editor's lists never produce a code outside the tables.
TEST(EncodePlayer, UnknownTextsKeepTheSlotBytes) {
    PlayerSlot slot;
    slot.nacionalidad = 200;
    slot.valorPase = 77;
    slot.posicionYAspecto = 0x60; // D
    DecodedPlayer p = DecodePlayerSlot(slot);
    EXPECT_EQ(p.nationality, "");
    EXPECT_EQ(p.price, "");
    p.position = "XX";
    EncodePlayerSlot(p, slot);
    EXPECT_EQ(slot.nacionalidad, 200);
    EXPECT_EQ(slot.valorPase, 77);
    EXPECT_EQ(slot.posicionYAspecto >> 5, 3);
}

// ---- Shirt numbers ----

using Shirts = std::array<std::uint8_t, 16>;

struct ShirtCase {
    const char* label;
    Shirts before;
    Shirts after;
};

class NormaliseShirts : public ::testing::TestWithParam<ShirtCase> {};

TEST_P(NormaliseShirts, RenumbersLaterDuplicatesAndOutOfRangeNumbers) {
    TeamRecord r;
    for (std::size_t i = 0; i < 16; ++i)
        r.jugador[i].nroCamiseta = GetParam().before[i];
    NormaliseShirtNumbers(r);
    Shirts got{};
    for (std::size_t i = 0; i < 16; ++i)
        got[i] = r.jugador[i].nroCamiseta;
    EXPECT_EQ(got, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Teams, NormaliseShirts,
    ::testing::Values(
        ShirtCase{"AlreadyNormal",
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        ShirtCase{"AlreadyNormalShuffled",
                  {16, 3, 1, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14},
                  {16, 3, 1, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14}},
        ShirtCase{"SecondSlotRepeatsOne",
                  {1, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        ShirtCase{"ZeroAndSeventeen",
                  {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17},
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        ShirtCase{"SeventeenBeforeZero",
                  {17, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0},
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        ShirtCase{"AllZero",
                  {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                  {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        ShirtCase{"AllTheSame",
                  {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5},
                  {5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        // The first carrier keeps its number even when it is late; listed slots take free numbers in order.
        ShirtCase{"DuplicatesAndGapsMixed",
                  {3, 3, 255, 1, 1, 16, 16, 2, 200, 8, 9, 10, 11, 12, 13, 14},
                  {3, 4, 5, 1, 6, 16, 7, 2, 15, 8, 9, 10, 11, 12, 13, 14}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NormaliseShirts, AlwaysGivesSixteenDifferentNumbers) {
    std::mt19937 rng(16);
    std::uniform_int_distribution<int> number(0, 20);
    for (int n = 0; n < 1000; ++n) {
        TeamRecord r;
        for (auto& s : r.jugador)
            s.nroCamiseta = static_cast<std::uint8_t>(number(rng));
        const TeamRecord before = r;
        NormaliseShirtNumbers(r);
        Shirts got{};
        for (std::size_t i = 0; i < 16; ++i)
            got[i] = r.jugador[i].nroCamiseta;
        Shirts sorted = got;
        std::sort(sorted.begin(), sorted.end());
        Shirts expected{};
        std::iota(expected.begin(), expected.end(), 1);
        ASSERT_EQ(sorted, expected) << "team " << n;
        // A number inside 1..16 that no earlier slot carries is kept.
        std::array<bool, 256> seen{};
        for (std::size_t i = 0; i < 16; ++i) {
            const std::uint8_t was = before.jugador[i].nroCamiseta;
            if (was >= 1 && was <= 16 && !seen[was]) ASSERT_EQ(got[i], was) << "team " << n << " slot " << i;
            seen[was] = true;
        }
    }
}

// ---- Original prices, line-up places, points ----

struct OriginalPriceCase {
    Skills skills;
    std::uint8_t code;
    const char* text;
};

class OriginalPrice : public ::testing::TestWithParam<OriginalPriceCase> {};

TEST_P(OriginalPrice, SumsTheLowThreeBitsOfEverySkill) {
    const std::uint8_t code = OriginalPriceCode(GetParam().skills);
    EXPECT_EQ(code, GetParam().code);
    EXPECT_EQ(PriceText(code), std::optional<std::string>(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Skills, OriginalPrice,
                         ::testing::Values(OriginalPriceCase{{7, 7, 7, 7, 7, 7, 7}, 49, "15M+ "},
                                           OriginalPriceCase{{8, 8, 8, 8, 8, 8, 8}, 0, "25K- "},
                                           OriginalPriceCase{{15, 9, 0, 0, 0, 0, 0}, 8, "100K "},
                                           OriginalPriceCase{{0, 0, 0, 0, 0, 0, 0}, 0, "25K- "},
                                           OriginalPriceCase{{15, 15, 15, 15, 15, 15, 15}, 49, "15M+ "},
                                           OriginalPriceCase{{6, 6, 6, 6, 6, 6, 6}, 42, "6M   "},
                                           // Not yet clamped: 20 counts as 20 mod 8 = 4.
                                           OriginalPriceCase{{20, 0, 0, 0, 0, 0, 0}, 4, "50K  "},
                                           OriginalPriceCase{{255, 1, 2, 3, 4, 5, 6}, 28, "1M   "}));

TEST(LineupPlace, GivesEachSlotItsPlace) {
    TeamRecord r;
    for (std::size_t i = 0; i < 16; ++i)
        r.titularesYSuplentes[i] = static_cast<std::uint8_t>(15 - i);
    const auto place = LineupPlace(r);
    for (std::size_t slot = 0; slot < 16; ++slot)
        EXPECT_EQ(place[slot], 16 - slot) << slot;
}

TEST(LineupPlace, StaysInsideItsSixteenEntriesForAnyBytes) {
    TeamRecord r;
    r.titularesYSuplentes = {0, 0, 200, 255, 16, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const auto place = LineupPlace(r);
    for (auto p : place)
        EXPECT_LE(p, 16);
    EXPECT_EQ(place[1], 6); // slot 1 stands at place 6
    EXPECT_EQ(place[11], 16);
    EXPECT_NE(place[0], 0); // named at places 1 and 2
}

TEST(TeamPoints, SumsAllSevenSkillsOfAllSixteenPlayers) {
    TeamRecord r;
    EXPECT_EQ(TeamPoints(r), 0u);
    for (auto& s : r.jugador) {
        s.passing = 255;
        s.shootingYHeading = 0xFF;
        s.tacklingYBallControl = 0xFF;
        s.speedYFinishing = 0xFF;
        s.valorPase = 49; // not a skill
        s.nacionalidad = 200;
    }
    EXPECT_EQ(TeamPoints(r), 5520u);
    r.jugador[3] = PlayerSlot{};
    r.jugador[3].passing = 10;
    r.jugador[3].shootingYHeading = 0x12;
    r.jugador[3].tacklingYBallControl = 0x34;
    r.jugador[3].speedYFinishing = 0x56;
    EXPECT_EQ(TeamPoints(r), 5520u - 345u + 10 + 1 + 2 + 3 + 4 + 5 + 6);
}

// ---- Whole teams ----

// A record in the form the editor writes: names zero-padded, skills within 15, low position bits clear,
// codes inside their tables, shirt numbers 1..16 once each, kit designs 0..3.
TeamRecordBytes NormalRecord(std::mt19937& rng) {
    auto pick = [&rng](int lo, int hi) {
        return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
    };
    auto name = [&](std::span<std::uint8_t> field) {
        const std::size_t length = std::uniform_int_distribution<std::size_t>(0, field.size())(rng);
        for (std::size_t i = 0; i < field.size(); ++i)
            field[i] = i < length ? pick(32, 255) : 0;
        if (length > 0 && field[length - 1] == ' ') field[length - 1] = 'x';
    };
    TeamRecord r;
    r.pais = pick(0, 255);
    r.nroEquipo = pick(0, 255);
    r.nroEquipoGral = static_cast<std::uint16_t>(pick(0, 255) | (pick(0, 255) << 8));
    r.nroCero = pick(0, 255);
    name(r.nombreEquipo);
    r.tactica = pick(0, 255);
    r.division = pick(0, 255);
    for (Kit* kit : {&r.uniformePrincipal, &r.uniformeSecundario}) {
        kit->disenioCamiseta = pick(0, 3);
        kit->colorBaseCamiseta = pick(0, 255);
        kit->colorOtroCamiseta = pick(0, 255);
        kit->colorPantalon = pick(0, 255);
        kit->colorMedias = pick(0, 255);
    }
    name(r.nombreEntrenador);
    for (auto& b : r.titularesYSuplentes)
        b = pick(0, 255);
    std::array<std::uint8_t, 16> shirts{};
    std::iota(shirts.begin(), shirts.end(), 1);
    std::shuffle(shirts.begin(), shirts.end(), rng);
    for (std::size_t i = 0; i < 16; ++i) {
        PlayerSlot& s = r.jugador[i];
        s.nacionalidad = pick(0, 152);
        s.reservado = pick(0, 255);
        s.nroCamiseta = shirts[i];
        name(s.nombreJugador);
        s.posicionYAspecto = static_cast<std::uint8_t>(pick(0, 7) << 5 | pick(0, 3) << 3);
        s.reservado0 = pick(0, 255);
        s.passing = pick(0, 15);
        s.shootingYHeading = pick(0, 255);
        s.tacklingYBallControl = pick(0, 255);
        s.speedYFinishing = pick(0, 255);
        s.valorPase = pick(0, 49);
        for (auto& b : s.reservadosCant5)
            b = pick(0, 255);
    }
    return SerializeTeamRecord(r);
}

TEST(TeamCodesRoundTrip, DecodeThenEncodeGivesBackTheSameBytes) {
    std::mt19937 rng(1740);
    for (int n = 0; n < 2000; ++n) {
        const TeamRecordBytes bytes = NormalRecord(rng);
        const TeamRecordBytes again = SerializeTeamRecord(EncodeTeam(DecodeTeam(ParseTeamRecord(bytes))));
        ASSERT_EQ(again, bytes) << "record " << n;
    }
}

// Whatever the record holds, encoding never touches the bytes the editor does not own.
TEST(TeamCodesRoundTrip, EncodingKeepsTheUneditedBytesOfAnyRecord) {
    std::mt19937 rng(99);
    for (int n = 0; n < 1000; ++n) {
        const test::Bytes random = test::RandomBytes(rng, kTeamRecordSize);
        TeamRecordBytes bytes;
        std::copy(random.begin(), random.end(), bytes.begin());
        const TeamRecord before = ParseTeamRecord(bytes);
        const TeamRecord after = EncodeTeam(DecodeTeam(before));
        ASSERT_EQ(after.pais, before.pais);
        ASSERT_EQ(after.nroEquipo, before.nroEquipo);
        ASSERT_EQ(after.nroEquipoGral, before.nroEquipoGral);
        ASSERT_EQ(after.nroCero, before.nroCero);
        ASSERT_EQ(after.tactica, before.tactica);
        ASSERT_EQ(after.division, before.division);
        ASSERT_EQ(after.titularesYSuplentes, before.titularesYSuplentes);
        for (const auto& [a, b] : {std::pair{after.uniformePrincipal, before.uniformePrincipal},
                                   std::pair{after.uniformeSecundario, before.uniformeSecundario}}) {
            ASSERT_EQ(a.colorBaseCamiseta, b.colorBaseCamiseta);
            ASSERT_EQ(a.colorOtroCamiseta, b.colorOtroCamiseta);
            ASSERT_EQ(a.colorPantalon, b.colorPantalon);
            ASSERT_EQ(a.colorMedias, b.colorMedias);
            ASSERT_LE(a.disenioCamiseta, 3);
        }
        for (std::size_t i = 0; i < 16; ++i) {
            const PlayerSlot &a = after.jugador[i], &b = before.jugador[i];
            ASSERT_EQ(a.reservado, b.reservado);
            ASSERT_EQ(a.reservado0, b.reservado0);
            ASSERT_EQ(a.reservadosCant5, b.reservadosCant5);
            ASSERT_EQ(a.posicionYAspecto & 0x07, 0);
            ASSERT_LE(a.passing, 15);
            // Out-of-table bytes are written back unchanged, in-table ones stay what they were.
            ASSERT_EQ(a.nacionalidad, b.nacionalidad);
            ASSERT_EQ(a.valorPase, b.valorPase);
        }
    }
}

TEST(EncodeTeam, StoresTeamAndCoachNamesWithZeroPadding) {
    TeamRecord r;
    r.nombreEquipo.fill('Q');
    r.nombreEntrenador.fill('Q');
    DecodedTeam t = DecodeTeam(r);
    t.teamName = "ABC                ";
    t.coachName = "Coach Name";
    const TeamRecordBytes b = SerializeTeamRecord(EncodeTeam(t));
    test::Bytes team(b.begin() + 5, b.begin() + 24);
    test::Bytes expectedTeam{'A', 'B', 'C'};
    expectedTeam.resize(19, 0);
    EXPECT_EQ(team, expectedTeam);
    test::Bytes coach(b.begin() + 36, b.begin() + 60);
    test::Bytes expectedCoach{'C', 'o', 'a', 'c', 'h', ' ', 'N', 'a', 'm', 'e'};
    expectedCoach.resize(24, 0);
    EXPECT_EQ(coach, expectedCoach);
}

TEST(EncodeTeam, NineteenCharacterNameHasNoZeroByte) {
    DecodedTeam t = DecodeTeam(TeamRecord{});
    t.teamName = "Real Sociedad FC 19";
    ASSERT_EQ(t.teamName.size(), 19u);
    const TeamRecordBytes b = SerializeTeamRecord(EncodeTeam(t));
    EXPECT_EQ(std::string(b.begin() + 5, b.begin() + 24), "Real Sociedad FC 19");
}

TEST(EncodeTeam, KitLettersAndShirtNumbersAreEncoded) {
    TeamRecord r;
    for (std::size_t i = 0; i < 16; ++i)
        r.jugador[i].nroCamiseta = static_cast<std::uint8_t>(i + 1);
    DecodedTeam t = DecodeTeam(r);
    t.mainKitDesign = 'V';
    t.secondKitDesign = 'H';
    t.players[1].shirt = 1; // a duplicate typed by the user
    const TeamRecord out = EncodeTeam(t);
    EXPECT_EQ(out.uniformePrincipal.disenioCamiseta, 2);
    EXPECT_EQ(out.uniformeSecundario.disenioCamiseta, 3);
    EXPECT_EQ(out.jugador[0].nroCamiseta, 1);
    EXPECT_EQ(out.jugador[1].nroCamiseta, 2);
}

} // namespace
} // namespace kivo
