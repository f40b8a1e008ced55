#pragma once

// The team the team-editing tests open: every field set, in normal form.

#include <algorithm>
#include <span>
#include <string>

#include "../TestFiles.h"
#include "core/gamefiles/TeamRecord.h"

namespace kivo::test {

inline void PutText(std::span<std::uint8_t> field, const std::string& text) {
    std::fill(field.begin(), field.end(), 0);
    std::copy(text.begin(), text.end(), field.begin());
}

// A team already in normal form: names zero-padded, distinct shirt numbers, skills within 0..15, the low
// three bits of every position byte clear; reserved bytes carry values to see them kept.
inline TeamRecord NormalTeam() {
    TeamRecord r;
    r.pais = 8;
    r.nroEquipo = 3;
    r.nroEquipoGral = 0x1234;
    r.nroCero = 0x55;
    PutText(r.nombreEquipo, "NORTH UNITED");
    r.tactica = 5;
    r.division = 1;
    r.uniformePrincipal = {3, 4, 1, 2, 1};
    r.uniformeSecundario = {1, 1, 5, 1, 5};
    PutText(r.nombreEntrenador, "OLD COACH");
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        r.titularesYSuplentes[i] = static_cast<std::uint8_t>((i * 5 + 3) % 16);
        PlayerSlot& s = r.jugador[i];
        s.nacionalidad = static_cast<std::uint8_t>(i * 9);
        s.reservado = static_cast<std::uint8_t>(0xA0 + i);
        s.nroCamiseta = static_cast<std::uint8_t>(i + 1);
        PutText(s.nombreJugador, "PLAYER " + std::to_string(i + 1));
        s.posicionYAspecto = static_cast<std::uint8_t>(((i % 8) << 5) | ((i % 3) << 3));
        s.reservado0 = static_cast<std::uint8_t>(0xB0 + i);
        s.passing = static_cast<std::uint8_t>(i % 16);
        s.shootingYHeading = static_cast<std::uint8_t>(0x10 * (i % 16) + 5);
        s.tacklingYBallControl = 0x9A;
        s.speedYFinishing = 0x3C;
        s.valorPase = static_cast<std::uint8_t>(i * 3);
        s.reservadosCant5 = {1, 2, 3, static_cast<std::uint8_t>(i), 0xFF};
    }
    return r;
}

inline Bytes BytesOf(const TeamRecord& r) {
    const TeamRecordBytes b = SerializeTeamRecord(r);
    return Bytes(b.begin(), b.end());
}

} // namespace kivo::test
