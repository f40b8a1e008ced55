#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamRecord.h"

namespace kivo {

struct PlayerRow;

inline constexpr std::size_t kClipboardRecordSize = 42;
using ClipboardRecordBytes = std::array<std::uint8_t, kClipboardRecordSize>;

// One player on its way between windows, and one entry of the players clipboard (POR:). Texts are kept
// blank-padded to their widths, as Latin-1 bytes; nationality, position and price are display texts.
struct PlayerTransferRecord {
    std::string nacionalidad = std::string(3, ' ');   // POR:NACIONALIDAD
    std::uint8_t nroCamiseta = 0;                     // POR:NROCAMISETA
    std::string nombreJugador = std::string(23, ' '); // POR:NOMBREJUGADOR
    std::uint8_t aspecto = 0;                         // POR:ASPECTO
    std::string puesto = std::string(2, ' ');         // POR:PUESTO
    Skills skills{};                                  // POR:PASE .. POR:DEFINICION
    std::string valorPase = std::string(5, ' ');      // POR:VALORPASE
    bool operator==(const PlayerTransferRecord&) const = default;
};

// The 42-byte layout: texts blank-padded (cut to their widths), numbers one byte each.
ClipboardRecordBytes SerializeClipboardRecord(const PlayerTransferRecord& record);
PlayerTransferRecord ParseClipboardRecord(std::span<const std::uint8_t, kClipboardRecordSize> bytes);

// Every text cut or blank-padded to its field's width.
PlayerTransferRecord Normalised(PlayerTransferRecord record);

// From a team editor row: what the row shows (nationality, position, skills, face, price), with the shirt
// number and the name taken from the team record's slot.
PlayerTransferRecord TransferFromTeamRow(const DecodedPlayer& shown, const PlayerSlot& slot);

// From a row of the all-players database: the browser's texts for nationality, position and price, the
// row's shirt, name and skills, and face 0 (the database keeps no appearance).
PlayerTransferRecord TransferFromDatabaseRow(const PlayerRow& row);

} // namespace kivo
