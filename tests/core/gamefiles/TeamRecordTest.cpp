#include "core/gamefiles/TeamRecord.h"

#include <random>

#include <gtest/gtest.h>

#include "../support/TestFiles.h"

namespace kivo {
namespace {

// A record whose byte i is a value that differs from its neighbours, so a field read from the wrong offset
// shows up as the wrong value.
TeamRecordBytes Numbered() {
    TeamRecordBytes b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251);
    return b;
}

// The offsets here are written out as numbers on purpose, independent of the layout constants in the code.
TEST(ParseTeamRecord, ReadsEveryTeamFieldAtItsOffset) {
    const TeamRecordBytes b = Numbered();
    const TeamRecord r = ParseTeamRecord(b);
    EXPECT_EQ(r.pais, b[0]);
    EXPECT_EQ(r.nroEquipo, b[1]);
    EXPECT_EQ(r.nroEquipoGral, b[2] | (b[3] << 8)); // least significant byte first
    EXPECT_EQ(r.nroCero, b[4]);
    for (std::size_t i = 0; i < 19; ++i)
        EXPECT_EQ(r.nombreEquipo[i], b[5 + i]) << i;
    EXPECT_EQ(r.tactica, b[24]);
    EXPECT_EQ(r.division, b[25]);
    EXPECT_EQ(r.uniformePrincipal.disenioCamiseta, b[26]);
    EXPECT_EQ(r.uniformePrincipal.colorBaseCamiseta, b[27]);
    EXPECT_EQ(r.uniformePrincipal.colorOtroCamiseta, b[28]);
    EXPECT_EQ(r.uniformePrincipal.colorPantalon, b[29]);
    EXPECT_EQ(r.uniformePrincipal.colorMedias, b[30]);
    EXPECT_EQ(r.uniformeSecundario.disenioCamiseta, b[31]);
    EXPECT_EQ(r.uniformeSecundario.colorBaseCamiseta, b[32]);
    EXPECT_EQ(r.uniformeSecundario.colorOtroCamiseta, b[33]);
    EXPECT_EQ(r.uniformeSecundario.colorPantalon, b[34]);
    EXPECT_EQ(r.uniformeSecundario.colorMedias, b[35]);
    for (std::size_t i = 0; i < 24; ++i)
        EXPECT_EQ(r.nombreEntrenador[i], b[36 + i]) << i;
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_EQ(r.titularesYSuplentes[i], b[60 + i]) << i;
}

TEST(ParseTeamRecord, ReadsEveryPlayerSlotFieldAtItsOffset) {
    const TeamRecordBytes b = Numbered();
    const TeamRecord r = ParseTeamRecord(b);
    for (std::size_t slot = 0; slot < 16; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot + 1));
        const std::size_t at = 76 + 38 * slot;
        const PlayerSlot& s = r.jugador[slot];
        EXPECT_EQ(s.nacionalidad, b[at + 0]);
        EXPECT_EQ(s.reservado, b[at + 1]);
        EXPECT_EQ(s.nroCamiseta, b[at + 2]);
        for (std::size_t i = 0; i < 23; ++i)
            EXPECT_EQ(s.nombreJugador[i], b[at + 3 + i]);
        EXPECT_EQ(s.posicionYAspecto, b[at + 26]);
        EXPECT_EQ(s.reservado0, b[at + 27]);
        EXPECT_EQ(s.passing, b[at + 28]);
        EXPECT_EQ(s.shootingYHeading, b[at + 29]);
        EXPECT_EQ(s.tacklingYBallControl, b[at + 30]);
        EXPECT_EQ(s.speedYFinishing, b[at + 31]);
        EXPECT_EQ(s.valorPase, b[at + 32]);
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(s.reservadosCant5[i], b[at + 33 + i]);
    }
}

TEST(SerializeTeamRecord, WritesTheTeamNumberLowByteFirst) {
    TeamRecord r;
    r.nroEquipoGral = 0x1234;
    const TeamRecordBytes b = SerializeTeamRecord(r);
    EXPECT_EQ(b[2], 0x34);
    EXPECT_EQ(b[3], 0x12);
}

TEST(SerializeTeamRecord, PlacesTheLastSlotAtTheRecordEnd) {
    TeamRecord r;
    r.jugador[15].nacionalidad = 0x11;
    r.jugador[15].reservadosCant5[4] = 0x99;
    const TeamRecordBytes b = SerializeTeamRecord(r);
    EXPECT_EQ(b[76 + 38 * 15], 0x11);
    EXPECT_EQ(b[683], 0x99);
}

// Every byte of the record has a field, so any bytes at all survive parse and serialise unchanged.
TEST(TeamRecordRoundTrip, AnyBytesComeBackUnchanged) {
    std::mt19937 rng(20260);
    for (int n = 0; n < 500; ++n) {
        const test::Bytes random = test::RandomBytes(rng, kTeamRecordSize);
        TeamRecordBytes bytes;
        std::copy(random.begin(), random.end(), bytes.begin());
        ASSERT_EQ(SerializeTeamRecord(ParseTeamRecord(bytes)), bytes) << "record " << n;
    }
}

TEST(PlayerSlotRoundTrip, AnyBytesComeBackUnchanged) {
    std::mt19937 rng(77);
    for (int n = 0; n < 200; ++n) {
        const test::Bytes random = test::RandomBytes(rng, kPlayerSlotSize);
        std::array<std::uint8_t, kPlayerSlotSize> in{}, out{};
        std::copy(random.begin(), random.end(), in.begin());
        SerializePlayerSlot(ParsePlayerSlot(in), out);
        ASSERT_EQ(out, in) << "slot " << n;
    }
}

} // namespace
} // namespace kivo
