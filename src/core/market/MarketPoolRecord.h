#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/gamefiles/TeamRecord.h"

namespace kivo {

inline constexpr std::size_t kPoolRecordSize = 58;
inline constexpr std::size_t kPoolTeamNameWidth = 17;
using PoolRecordBytes = std::array<std::uint8_t, kPoolRecordSize>;

// One entry of the transfer-market pool POOLPLYR.DAT (MER:); every byte has a field.
struct MarketPoolRecord {
    std::uint8_t nroTeamFile = 0;                                // MER:NROTEAMFILE
    std::uint8_t nroEquipo = 0;                                  // MER:NROEQUIPO
    std::uint8_t reservado1 = 0;                                 // MER:RESERVADO1, the slot from 0
    std::array<std::uint8_t, kPoolTeamNameWidth> nombreEquipo{}; // MER:NOMBREEQUIPO
    std::uint8_t nacionalidad = 0;                               // MER:NACIONALIDAD
    std::uint8_t reservado3 = 0;                                 // MER:RESERVADO3
    std::uint8_t nroCamiseta = 0;                                // MER:NROCAMISETA
    std::array<std::uint8_t, kPlayerNameWidth> nombreJugador{};  // MER:NOMBREJUGADOR
    std::uint8_t posicionYAspecto = 0;                           // MER:POSICIONYASPECTO
    std::uint8_t reservado0 = 0;                                 // MER:RESERVADO0
    std::uint8_t passing = 0;                                    // MER:PASSING
    std::uint8_t shootingYHeading = 0;                           // MER:SHOOTINGYHEADING
    std::uint8_t tacklingYBallControl = 0;                       // MER:TACKLINGYBALLCONTROL
    std::uint8_t speedYFinishing = 0;                            // MER:SPEEDYFINISHING
    std::uint8_t valorPase = 0;                                  // MER:VALORPASE
    std::array<std::uint8_t, 5> reservados5{};                   // MER:RESERVADOS5
    bool operator==(const MarketPoolRecord&) const = default;
};

MarketPoolRecord ParsePoolRecord(std::span<const std::uint8_t, kPoolRecordSize> bytes);
PoolRecordBytes SerializePoolRecord(const MarketPoolRecord& record);

// The entry refreshed from its league team: the first 17 bytes of the team name and the player fields of
// slot `slot` (0..15); the file, team, slot and reserved bytes stay.
void RefreshPoolRecord(MarketPoolRecord& record, const TeamRecord& team, std::size_t slot);

} // namespace kivo
