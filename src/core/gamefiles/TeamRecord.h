#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kivo {

inline constexpr std::size_t kTeamRecordSize = 684;
inline constexpr std::size_t kPlayerSlotSize = 38;
inline constexpr std::size_t kPlayersPerTeam = 16;
inline constexpr std::size_t kLeagueHeaderSize = 2;

using TeamRecordBytes = std::array<std::uint8_t, kTeamRecordSize>;

// Byte offsets of the team record's fields. League files name them EQU:..., cup files COP:...; both share
// one layout.
namespace team_offset {
inline constexpr std::size_t PAIS = 0;                 // EQU:PAIS
inline constexpr std::size_t NROEQUIPO = 1;            // EQU:NROEQUIPO
inline constexpr std::size_t NROEQUIPOGRAL = 2;        // EQU:NROEQUIPOGRAL, 16 bits, low byte first
inline constexpr std::size_t NROCERO = 4;              // EQU:NROCERO
inline constexpr std::size_t NOMBREEQUIPO = 5;         // EQU:NOMBREEQUIPO, 19 bytes
inline constexpr std::size_t TACTICA = 24;             // EQU:TACTICA
inline constexpr std::size_t DIVISION = 25;            // EQU:DIVISION
inline constexpr std::size_t UNIFORMEPRINCIPAL = 26;   // EQU:UNIFORMEPRINCIPAL, 5 bytes
inline constexpr std::size_t UNIFORMESECUNDARIO = 31;  // EQU:UNIFORMESECUNDARIO, 5 bytes
inline constexpr std::size_t NOMBREENTRENADOR = 36;    // EQU:NOMBREENTRENADOR, 24 bytes
inline constexpr std::size_t TITULARESYSUPLENTES = 60; // EQU:TITULARESYSUPLENTES, 16 bytes
inline constexpr std::size_t JUGADOR = 76;             // EQU:JUGADOR, 16 slots of 38 bytes
} // namespace team_offset

// Offsets within a kit group (EQU:UNIFORMEPRINCIPAL / EQU:UNIFORMESECUNDARIO).
namespace kit_offset {
inline constexpr std::size_t DISENIOCAMISETA = 0;   // EQU:DISENIOCAMISETAPRINCIPAL / ...SECUNDARIA
inline constexpr std::size_t COLORBASECAMISETA = 1; // EQU:COLORBASECAMISETAPRINCIPAL / ...SECUNDARIA
inline constexpr std::size_t COLOROTROCAMISETA = 2; // EQU:COLOROTROCAMISETAPRINCIPAL / ...SECUNDARIA
inline constexpr std::size_t COLORPANTALON = 3;     // EQU:COLORPANTALONPRINCIPAL / ...SECUNDARIO
inline constexpr std::size_t COLORMEDIAS = 4;       // EQU:COLORMEDIASPRINCIPALES / ...SECUNDARIAS
} // namespace kit_offset

// Offsets within a player slot (EQU:JUGADOR[i]).
namespace slot_offset {
inline constexpr std::size_t NACIONALIDAD = 0;          // EQU:NACIONALIDAD
inline constexpr std::size_t RESERVADO = 1;             // EQU:RESERVADO
inline constexpr std::size_t NROCAMISETA = 2;           // EQU:NROCAMISETA
inline constexpr std::size_t NOMBREJUGADOR = 3;         // EQU:NOMBREJUGADOR, 23 bytes
inline constexpr std::size_t POSICIONYASPECTO = 26;     // EQU:POSICIONYASPECTO
inline constexpr std::size_t RESERVADO0 = 27;           // EQU:RESERVADO0
inline constexpr std::size_t PASSING = 28;              // EQU:PASSING
inline constexpr std::size_t SHOOTINGYHEADING = 29;     // EQU:SHOOTINGYHEADING
inline constexpr std::size_t TACKLINGYBALLCONTROL = 30; // EQU:TACKLINGYBALLCONTROL
inline constexpr std::size_t SPEEDYFINISHING = 31;      // EQU:SPEEDYFINISHING
inline constexpr std::size_t VALORPASE = 32;            // EQU:VALORPASE
inline constexpr std::size_t RESERVADOSCANT5 = 33;      // EQU:RESERVADOSCANT5, 5 bytes
} // namespace slot_offset

inline constexpr std::size_t kTeamNameWidth = 19;   // EQU:NOMBREEQUIPO
inline constexpr std::size_t kCoachNameWidth = 24;  // EQU:NOMBREENTRENADOR
inline constexpr std::size_t kPlayerNameWidth = 23; // EQU:NOMBREJUGADOR

// One shirt design and four colours.
struct Kit {
    std::uint8_t disenioCamiseta = 0;   // EQU:DISENIOCAMISETA...
    std::uint8_t colorBaseCamiseta = 0; // EQU:COLORBASECAMISETA...
    std::uint8_t colorOtroCamiseta = 0; // EQU:COLOROTROCAMISETA...
    std::uint8_t colorPantalon = 0;     // EQU:COLORPANTALON...
    std::uint8_t colorMedias = 0;       // EQU:COLORMEDIAS...
    bool operator==(const Kit&) const = default;
};

// One of the sixteen 38-byte player groups of a team record; every byte has a field.
struct PlayerSlot {
    std::uint8_t nacionalidad = 0;                              // EQU:NACIONALIDAD
    std::uint8_t reservado = 0;                                 // EQU:RESERVADO
    std::uint8_t nroCamiseta = 0;                               // EQU:NROCAMISETA
    std::array<std::uint8_t, kPlayerNameWidth> nombreJugador{}; // EQU:NOMBREJUGADOR
    std::uint8_t posicionYAspecto = 0;                          // EQU:POSICIONYASPECTO
    std::uint8_t reservado0 = 0;                                // EQU:RESERVADO0
    std::uint8_t passing = 0;                                   // EQU:PASSING
    std::uint8_t shootingYHeading = 0;                          // EQU:SHOOTINGYHEADING
    std::uint8_t tacklingYBallControl = 0;                      // EQU:TACKLINGYBALLCONTROL
    std::uint8_t speedYFinishing = 0;                           // EQU:SPEEDYFINISHING
    std::uint8_t valorPase = 0;                                 // EQU:VALORPASE
    std::array<std::uint8_t, 5> reservadosCant5{};              // EQU:RESERVADOSCANT5
    bool operator==(const PlayerSlot&) const = default;
};

// The 684-byte team record of league (EQU:) and cup (COP:) files, decoded field by field; every byte of
// the record has a field, so parsing and serialising give back the same bytes.
struct TeamRecord {
    std::uint8_t pais = 0;                                           // EQU:PAIS
    std::uint8_t nroEquipo = 0;                                      // EQU:NROEQUIPO
    std::uint16_t nroEquipoGral = 0;                                 // EQU:NROEQUIPOGRAL
    std::uint8_t nroCero = 0;                                        // EQU:NROCERO
    std::array<std::uint8_t, kTeamNameWidth> nombreEquipo{};         // EQU:NOMBREEQUIPO
    std::uint8_t tactica = 0;                                        // EQU:TACTICA
    std::uint8_t division = 0;                                       // EQU:DIVISION
    Kit uniformePrincipal;                                           // EQU:UNIFORMEPRINCIPAL
    Kit uniformeSecundario;                                          // EQU:UNIFORMESECUNDARIO
    std::array<std::uint8_t, kCoachNameWidth> nombreEntrenador{};    // EQU:NOMBREENTRENADOR
    std::array<std::uint8_t, kPlayersPerTeam> titularesYSuplentes{}; // EQU:TITULARESYSUPLENTES
    std::array<PlayerSlot, kPlayersPerTeam> jugador{};               // EQU:JUGADOR
    bool operator==(const TeamRecord&) const = default;
};

PlayerSlot ParsePlayerSlot(std::span<const std::uint8_t, kPlayerSlotSize> bytes);
void SerializePlayerSlot(const PlayerSlot& slot, std::span<std::uint8_t, kPlayerSlotSize> bytes);

TeamRecord ParseTeamRecord(std::span<const std::uint8_t, kTeamRecordSize> bytes);
TeamRecordBytes SerializeTeamRecord(const TeamRecord& record);

} // namespace kivo
