#include "core/gamefiles/TeamRecord.h"

#include <random>

#include <gtest/gtest.h>

#include "../TestFiles.h"

namespace kivo {
namespace {

// Every field at its offset (first and last byte of the wider ones), written out as numbers independent of
// the layout constants in the code. Byte i of the parsed record holds (i * 7 + 3) % 251, so a field read from
// a neighbouring offset shows up.
TEST(ParseTeamRecord, ReadsEveryFieldAtItsOffset) {
    TeamRecordBytes b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251);
    const TeamRecord r = ParseTeamRecord(b);
    const Kit &k1 = r.uniformePrincipal, &k2 = r.uniformeSecundario;
    const std::uint8_t team[] = {r.pais,
                                 r.nroEquipo,
                                 std::uint8_t(r.nroEquipoGral & 0xFF),
                                 std::uint8_t(r.nroEquipoGral >> 8),
                                 r.nroCero,
                                 r.nombreEquipo[0],
                                 r.nombreEquipo[18],
                                 r.tactica,
                                 r.division,
                                 k1.disenioCamiseta,
                                 k1.colorBaseCamiseta,
                                 k1.colorOtroCamiseta,
                                 k1.colorPantalon,
                                 k1.colorMedias,
                                 k2.disenioCamiseta,
                                 k2.colorMedias,
                                 r.nombreEntrenador[0],
                                 r.nombreEntrenador[23],
                                 r.titularesYSuplentes[0],
                                 r.titularesYSuplentes[15]};
    const std::size_t teamAt[] = {0, 1, 2, 3, 4, 5, 23, 24, 25, 26, 27, 28, 29, 30, 31, 35, 36, 59, 60, 75};
    for (std::size_t i = 0; i < std::size(teamAt); ++i)
        EXPECT_EQ(team[i], b[teamAt[i]]) << "team byte " << teamAt[i];
    for (std::size_t k : {0, 1, 15}) {
        const PlayerSlot& s = r.jugador[k];
        const std::uint8_t slot[] = {s.nacionalidad,         s.reservado,         s.nroCamiseta,
                                     s.nombreJugador[0],     s.nombreJugador[22], s.posicionYAspecto,
                                     s.reservado0,           s.passing,           s.shootingYHeading,
                                     s.tacklingYBallControl, s.speedYFinishing,   s.valorPase,
                                     s.reservadosCant5[0],   s.reservadosCant5[4]};
        const std::size_t slotAt[] = {0, 1, 2, 3, 25, 26, 27, 28, 29, 30, 31, 32, 33, 37};
        for (std::size_t i = 0; i < std::size(slotAt); ++i)
            EXPECT_EQ(slot[i], b[76 + 38 * k + slotAt[i]]) << "slot " << k << " byte " << slotAt[i];
    }
}

// Every byte of the record has a field, so any bytes at all survive parse and serialise unchanged.
TEST(TeamRecordRoundTrip, AnyBytesComeBackUnchanged) {
    std::mt19937 rng(20260);
    for (int n = 0; n < 500; ++n) {
        const test::Bytes random = test::RandomBytes(rng, kTeamRecordSize);
        TeamRecordBytes bytes;
        std::copy(random.begin(), random.end(), bytes.begin());
        ASSERT_EQ(SerializeTeamRecord(ParseTeamRecord(bytes)), bytes) << "record " << n;
        std::array<std::uint8_t, kPlayerSlotSize> slot{};
        SerializePlayerSlot(ParsePlayerSlot(std::span<const std::uint8_t, kPlayerSlotSize>(bytes.data(), 38)),
                            slot);
        ASSERT_TRUE(std::equal(slot.begin(), slot.end(), bytes.begin())) << "slot of record " << n;
    }
}

} // namespace
} // namespace kivo
