#include "core/gamefiles/PlayerCodes.h"

#include <algorithm>
#include <numeric>
#include <random>

#include <gtest/gtest.h>

namespace kivo {
namespace {

TEST(DecodePlayerSlot, TakesPositionAndFaceFromTheHighBitsAndSkillsFromTheNibbles) {
    const std::tuple<std::uint8_t, const char*, std::uint8_t> cases[] = {
        {0xFF, "A ", 3}, {0x10, "G ", 2}, {0x07, "G ", 0}, {0x28, "RB", 1}, {0xD8, "M ", 3}};
    for (const auto& [byte, position, face] : cases) {
        PlayerSlot slot;
        slot.posicionYAspecto = byte;
        slot.shootingYHeading = 0xC5;
        const DecodedPlayer p = DecodePlayerSlot(slot);
        EXPECT_EQ(p.position, position) << int(byte);
        EXPECT_EQ(p.face, face) << int(byte);
        EXPECT_EQ(p.skills[1], 12);
        EXPECT_EQ(p.skills[2], 5);
    }
}

TEST(EncodePlayer, PacksPositionFaceAndSkillsClampedTo15) {
    const std::tuple<const char*, std::uint8_t, Skills, std::array<std::uint8_t, 5>> cases[] = {
        {"D", 2, {}, {0x70, 0, 0, 0, 0}},
        {"A", 0, {}, {0xE0, 0, 0, 0, 0}},
        {"D ", 1, {}, {0x68, 0, 0, 0, 0}},
        {"M", 0, {0, 12, 5, 0, 0, 0, 0}, {0xC0, 0, 0xC5, 0, 0}},
        {"RW", 3, {20, 20, 16, 255, 15, 99, 200}, {0x98, 15, 0xFF, 0xFF, 0xFF}},
        {"LW", 0, {9, 2, 3, 4, 5, 6, 7}, {0xA0, 9, 0x23, 0x45, 0x67}}};
    for (const auto& [position, face, skills, bytes] : cases) {
        PlayerSlot slot;
        slot.posicionYAspecto = 0x07; // low bits set, to see them cleared
        DecodedPlayer p = DecodePlayerSlot(slot);
        p.position = position;
        p.face = face;
        p.skills = skills;
        EncodePlayerSlot(p, slot);
        EXPECT_EQ((std::array<std::uint8_t, 5>{slot.posicionYAspecto, slot.passing, slot.shootingYHeading,
                                               slot.tacklingYBallControl, slot.speedYFinishing}),
                  bytes)
            << position << int(face);
    }
}

// Texts outside the tables (not offered by the editor's lists) keep the slot's codes.
TEST(EncodePlayer, WritesCodesAndNameAndLeavesTheOtherBytes) {
    PlayerSlot slot;
    slot.reservado = 0xA1;
    slot.reservado0 = 0xA2;
    slot.reservadosCant5 = {1, 2, 3, 4, 5};
    slot.nroCamiseta = 9;
    slot.nombreJugador.fill('Z');
    DecodedPlayer p = DecodePlayerSlot(slot);
    p.position = "M";
    p.nationality = "URU";
    p.price = "2.25M";
    p.shirt = 3;
    p.name = "Juan Perez  ";
    PlayerSlot expected = slot;
    expected.posicionYAspecto = 0xC0;
    expected.nacionalidad = 76;
    expected.valorPase = 36;
    expected.nombreJugador = {'J', 'u', 'a', 'n', ' ', 'P', 'e', 'r', 'e', 'z'};
    EncodePlayerSlot(p, slot);
    EXPECT_EQ(slot, expected);
    slot.nacionalidad = 200;
    slot.valorPase = 77;
    p = DecodePlayerSlot(slot);
    EXPECT_EQ(p.nationality + p.price, "");
    p.position = "XX";
    expected = slot;
    EncodePlayerSlot(p, slot);
    EXPECT_EQ(slot, expected);
}

using Shirts = std::array<std::uint8_t, 16>;

Shirts Normalised(const Shirts& before) {
    TeamRecord r;
    for (std::size_t i = 0; i < 16; ++i)
        r.jugador[i].nroCamiseta = before[i];
    NormaliseShirtNumbers(r);
    Shirts after{};
    for (std::size_t i = 0; i < 16; ++i)
        after[i] = r.jugador[i].nroCamiseta;
    return after;
}

TEST(NormaliseShirtNumbers, RenumbersLaterDuplicatesAndOutOfRangeNumbers) {
    const Shirts shuffled{16, 3, 1, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12, 15, 14};
    EXPECT_EQ(Normalised(shuffled), shuffled);
    const Shirts ordered{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(Normalised({1, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}), ordered);
    EXPECT_EQ(Normalised({0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17}), ordered);
    // The first carrier keeps its number even when it is late; the others take free numbers in slot order.
    EXPECT_EQ(Normalised({3, 3, 255, 1, 1, 16, 16, 2, 200, 8, 9, 10, 11, 12, 13, 14}),
              (Shirts{3, 4, 5, 1, 6, 16, 7, 2, 15, 8, 9, 10, 11, 12, 13, 14}));
}

TEST(OriginalPriceCode, SumsEverySkillModuloEightUpTo49) {
    EXPECT_EQ(OriginalPriceCode({7, 7, 7, 7, 7, 7, 7}), 49);
    EXPECT_EQ(OriginalPriceCode({8, 8, 8, 8, 8, 8, 8}), 0);
    EXPECT_EQ(OriginalPriceCode({15, 9, 0, 0, 0, 0, 0}), 8);
    EXPECT_EQ(OriginalPriceCode({20, 0, 0, 0, 0, 0, 0}), 4); // not clamped to 15 first
}

TEST(LineupPlace, GivesEachSlotItsPlaceAndIgnoresBytesBeyondTheSlots) {
    TeamRecord r;
    r.titularesYSuplentes = {3, 0, 200, 255, 16, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(LineupPlace(r), (Shirts{2, 6, 7, 1, 8, 9, 10, 11, 12, 13, 14, 15, 16, 0, 0, 0}));
}

TEST(TeamPoints, SumsAllSevenSkillsOfAllSixteenPlayers) {
    TeamRecord r;
    EXPECT_EQ(TeamPoints(r), 0u);
    for (auto& s : r.jugador) {
        s.passing = s.shootingYHeading = s.tacklingYBallControl = s.speedYFinishing = 0xFF;
        s.valorPase = s.nacionalidad = 200; // not skills
    }
    EXPECT_EQ(TeamPoints(r), 5520u);
}

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
    std::array<std::uint8_t, kTeamRecordSize> random{};
    for (auto& b : random)
        b = pick(0, 255);
    TeamRecord r = ParseTeamRecord(random);
    name(r.nombreEquipo);
    name(r.nombreEntrenador);
    r.uniformePrincipal.disenioCamiseta = pick(0, 3);
    r.uniformeSecundario.disenioCamiseta = pick(0, 3);
    Shirts shirts{};
    std::iota(shirts.begin(), shirts.end(), 1);
    std::shuffle(shirts.begin(), shirts.end(), rng);
    for (std::size_t i = 0; i < 16; ++i) {
        PlayerSlot& s = r.jugador[i];
        s.nacionalidad = pick(0, 152);
        s.nroCamiseta = shirts[i];
        name(s.nombreJugador);
        s.posicionYAspecto = static_cast<std::uint8_t>(pick(0, 7) << 5 | pick(0, 3) << 3);
        s.passing = pick(0, 15);
        s.valorPase = pick(0, 49);
    }
    return SerializeTeamRecord(r);
}

// Records in normal form come back as the same bytes. Whatever else a record holds, encoding changes only the
// bytes the editor owns: team and coach names, kit designs, and in each slot the shirt number, name, position
// and face, and skills; nationality and price bytes come back as they were.
TEST(TeamCodesRoundTrip, DecodeThenEncodeGivesBackTheBytesItDoesNotOwn) {
    auto owned = [](std::size_t i) {
        if (i < 76) return (i >= 5 && i < 24) || (i >= 36 && i < 60) || i == 26 || i == 31;
        const std::size_t at = (i - 76) % 38;
        return at >= 2 && at <= 31 && at != 27;
    };
    auto roundTrip = [](const TeamRecordBytes& b) {
        return SerializeTeamRecord(EncodeTeam(DecodeTeam(ParseTeamRecord(b))));
    };
    std::mt19937 rng(1740);
    for (int n = 0; n < 2000; ++n) {
        const TeamRecordBytes normal = NormalRecord(rng);
        ASSERT_EQ(roundTrip(normal), normal) << "record " << n;
        TeamRecordBytes bytes{};
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(rng());
        const TeamRecordBytes after = roundTrip(bytes);
        for (std::size_t i = 0; i < kTeamRecordSize; ++i)
            ASSERT_TRUE(owned(i) || after[i] == bytes[i]) << "record " << n << " byte " << i;
    }
}

TEST(EncodeTeam, EncodesKitLettersAndNormalisesTypedShirtNumbers) {
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
