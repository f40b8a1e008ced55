#include "core/gamefiles/TeamRecord.h"

#include <random>

#include <gtest/gtest.h>

#include "../TestFiles.h"

namespace kivo {
namespace {

using TeamByte = std::uint8_t (*)(const TeamRecord&);
using SlotByte = std::uint8_t (*)(const PlayerSlot&);

// Every field at its offset, written out as numbers independent of the layout constants in the code. Byte i
// of the parsed record holds (i * 7 + 3) % 251, so a field read from a neighbouring offset shows up.
TEST(ParseTeamRecord, ReadsEveryFieldAtItsOffset) {
    TeamRecordBytes b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251);
    const TeamRecord r = ParseTeamRecord(b);
    const std::pair<std::size_t, TeamByte> team[] = {
        {0, [](const TeamRecord& t) { return t.pais; }},
        {1, [](const TeamRecord& t) { return t.nroEquipo; }},
        {2, [](const TeamRecord& t) { return std::uint8_t(t.nroEquipoGral & 0xFF); }}, // low byte first
        {3, [](const TeamRecord& t) { return std::uint8_t(t.nroEquipoGral >> 8); }},
        {4, [](const TeamRecord& t) { return t.nroCero; }},
        {5, [](const TeamRecord& t) { return t.nombreEquipo[0]; }},
        {23, [](const TeamRecord& t) { return t.nombreEquipo[18]; }},
        {24, [](const TeamRecord& t) { return t.tactica; }},
        {25, [](const TeamRecord& t) { return t.division; }},
        {26, [](const TeamRecord& t) { return t.uniformePrincipal.disenioCamiseta; }},
        {27, [](const TeamRecord& t) { return t.uniformePrincipal.colorBaseCamiseta; }},
        {28, [](const TeamRecord& t) { return t.uniformePrincipal.colorOtroCamiseta; }},
        {29, [](const TeamRecord& t) { return t.uniformePrincipal.colorPantalon; }},
        {30, [](const TeamRecord& t) { return t.uniformePrincipal.colorMedias; }},
        {31, [](const TeamRecord& t) { return t.uniformeSecundario.disenioCamiseta; }},
        {35, [](const TeamRecord& t) { return t.uniformeSecundario.colorMedias; }},
        {36, [](const TeamRecord& t) { return t.nombreEntrenador[0]; }},
        {59, [](const TeamRecord& t) { return t.nombreEntrenador[23]; }},
        {60, [](const TeamRecord& t) { return t.titularesYSuplentes[0]; }},
        {75, [](const TeamRecord& t) { return t.titularesYSuplentes[15]; }}};
    for (const auto& [offset, get] : team)
        EXPECT_EQ(get(r), b[offset]) << "team byte " << offset;
    const std::pair<std::size_t, SlotByte> slot[] = {
        {0, [](const PlayerSlot& s) { return s.nacionalidad; }},
        {1, [](const PlayerSlot& s) { return s.reservado; }},
        {2, [](const PlayerSlot& s) { return s.nroCamiseta; }},
        {3, [](const PlayerSlot& s) { return s.nombreJugador[0]; }},
        {25, [](const PlayerSlot& s) { return s.nombreJugador[22]; }},
        {26, [](const PlayerSlot& s) { return s.posicionYAspecto; }},
        {27, [](const PlayerSlot& s) { return s.reservado0; }},
        {28, [](const PlayerSlot& s) { return s.passing; }},
        {29, [](const PlayerSlot& s) { return s.shootingYHeading; }},
        {30, [](const PlayerSlot& s) { return s.tacklingYBallControl; }},
        {31, [](const PlayerSlot& s) { return s.speedYFinishing; }},
        {32, [](const PlayerSlot& s) { return s.valorPase; }},
        {33, [](const PlayerSlot& s) { return s.reservadosCant5[0]; }},
        {37, [](const PlayerSlot& s) { return s.reservadosCant5[4]; }}};
    for (std::size_t k : {0, 1, 15})
        for (const auto& [offset, get] : slot)
            EXPECT_EQ(get(r.jugador[k]), b[76 + 38 * k + offset]) << "slot " << k << " byte " << offset;
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
