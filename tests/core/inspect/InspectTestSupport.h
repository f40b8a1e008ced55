#pragma once

// A small, sound game directory for the check and the comparison: TEAM.001 with three teams (team 0 in the
// Premier division, entered in the cup), EUROCUP.TMD holding a fresh copy of team 0, and a pool of two
// entries refreshed from team 0's slots 3 and 8. Tests spoil one thing at a time.

#include <filesystem>
#include <string>
#include <vector>

#include "../TestFiles.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/market/MarketPoolRecord.h"

namespace kivo::test {

inline void PutText(std::uint8_t* field, std::size_t width, const std::string& text) {
    for (std::size_t i = 0; i < width; ++i)
        field[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

inline TeamRecord SoundTeam(std::uint8_t k, const std::string& name, std::uint8_t division) {
    TeamRecord t;
    t.pais = 1;
    t.nroEquipo = k;
    t.nroEquipoGral = static_cast<std::uint16_t>(500 + k);
    t.tactica = static_cast<std::uint8_t>(k % 18);
    t.division = division;
    PutText(t.nombreEquipo.data(), t.nombreEquipo.size(), name);
    PutText(t.nombreEntrenador.data(), t.nombreEntrenador.size(), "Coach " + name);
    t.uniformePrincipal = {1, 2, 3, 4, 5};
    t.uniformeSecundario = {2, 9, 0, 1, 8};
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        t.titularesYSuplentes[i] = static_cast<std::uint8_t>((i + 5) % 16);
        auto& s = t.jugador[i];
        s.nacionalidad = static_cast<std::uint8_t>((i * 9 + k) % 153);
        s.nroCamiseta = static_cast<std::uint8_t>(16 - i);
        PutText(s.nombreJugador.data(), s.nombreJugador.size(),
                name.substr(0, 3) + " Player " + std::to_string(i + 1));
        s.posicionYAspecto = static_cast<std::uint8_t>(((i % 8) << 5) | ((i % 4) << 3));
        s.passing = static_cast<std::uint8_t>((i + k) % 16);
        s.shootingYHeading = static_cast<std::uint8_t>((i % 16) << 4 | ((i * 3) % 16));
        s.tacklingYBallControl = static_cast<std::uint8_t>(((i * 5) % 16) << 4 | ((i + 1) % 16));
        s.speedYFinishing = static_cast<std::uint8_t>(((i + 7) % 16) << 4 | ((i * 11) % 16));
        s.valorPase = static_cast<std::uint8_t>((i * 3) % 50);
        s.reservadosCant5 = {9, 8, 7, 6, static_cast<std::uint8_t>(i)};
    }
    return t;
}

inline Bytes TeamBytes(const std::vector<TeamRecord>& teams, bool header) {
    Bytes bytes;
    if (header) bytes = {0x4B, 0x01}; // the header is never read; a fixed one keeps it out of the comparisons
    for (const auto& t : teams) {
        auto b = SerializeTeamRecord(t);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

inline MarketPoolRecord PoolEntryOf(const TeamRecord& team, std::uint8_t k, std::uint8_t slot) {
    MarketPoolRecord e;
    e.nroTeamFile = team.pais;
    e.nroEquipo = k;
    e.reservado1 = slot;
    e.reservados5 = {1, 2, 3, 4, slot};
    RefreshPoolRecord(e, team, slot);
    return e;
}

inline Bytes PoolBytes(const std::vector<MarketPoolRecord>& entries) {
    Bytes bytes;
    for (const auto& e : entries) {
        auto b = SerializePoolRecord(e);
        bytes.insert(bytes.end(), b.begin(), b.end());
    }
    return bytes;
}

struct SoundGame {
    std::vector<TeamRecord> league{SoundTeam(0, "Sant\xE9 Atl\xE9tico", 0), SoundTeam(1, "Rivera United", 1),
                                   SoundTeam(2, "Old Town", 2)};
    std::vector<TeamRecord> cup{league[0]};
    std::vector<MarketPoolRecord> pool{PoolEntryOf(league[0], 0, 2), PoolEntryOf(league[0], 0, 7)};
    SoundGame() { cup[0].nroEquipoGral = 30000; }

    void Write(const std::filesystem::path& dir) const {
        std::filesystem::create_directories(dir);
        WriteBytes(dir / "TEAM.001", TeamBytes(league, true));
        WriteBytes(dir / "EUROCUP.TMD", TeamBytes(cup, false));
        WriteBytes(dir / "POOLPLYR.DAT", PoolBytes(pool));
    }
};

} // namespace kivo::test
