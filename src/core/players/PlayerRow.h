#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamRecord.h"

namespace kivo {

// One row of the all-players database (JUGS:): the team's fields and one player slot, decoded. Text fields
// keep the bytes of the team record.
struct PlayerRow {
    std::uint8_t pais = 0;                                      // JUGS:PAIS
    std::array<std::uint8_t, kTeamNameWidth> nombreEquipo{};    // JUGS:NOMBREEQUIPO
    std::uint8_t division = 0;                                  // JUGS:DIVISION
    std::uint8_t nacionalidad = 0;                              // JUGS:NACIONALIDAD
    std::uint8_t nroCamiseta = 0;                               // JUGS:NROCAMISETA
    std::array<std::uint8_t, kPlayerNameWidth> nombreJugador{}; // JUGS:NOMBREJUGADOR
    std::uint8_t puesto = 0;                                    // JUGS:PUESTO
    Skills skills{};                                            // JUGS:PASE .. JUGS:DEFINICION
    std::uint8_t valorPase = 0;                                 // JUGS:VALORPASE
    std::uint8_t marca = 0;                                     // JUGS:MARCA
    // Beside the 56-byte row: where the player stands, so that a found player's team can be opened. The
    // file is the one numbered `pais`. -1 in rows of a database built before these were kept.
    int equipo = -1; // the team's index in its file, from 0
    int slot = -1;   // the player slot, 1..16
    bool operator==(const PlayerRow&) const = default;
};

// The row of slot `slot` (0..15) of a team, mark 0; `teamIndex` is the team's index in its file (-1 when
// unknown).
PlayerRow MakePlayerRow(const TeamRecord& team, std::size_t slot, std::int64_t teamIndex = -1);

// The texts the browser and the report show for a row. A code outside its table shows as an empty text,
// except the country, which shows as its number.
struct PlayerRowTexts {
    std::string country;     // "File": CountryNameTable, unpadded
    std::string team;        // "Team Name": 19 characters, blank-padded
    std::string division;    // "Div.": DivisionTable, 10 characters
    std::string nationality; // "Nat.": 3 characters
    std::string name;        // "Player Name": 23 characters, blank-padded
    std::string position;    // "Pos.": 2 characters
    std::string price;       // "Price": 5 characters
};
PlayerRowTexts RowTexts(const PlayerRow& row);

} // namespace kivo
