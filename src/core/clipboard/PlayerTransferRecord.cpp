#include "core/clipboard/PlayerTransferRecord.h"

#include <algorithm>

#include "core/players/PlayerRow.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

constexpr std::size_t kNationalityOffset = 0, kShirtOffset = 3, kNameOffset = 4, kFaceOffset = 27,
                      kPositionOffset = 28, kSkillsOffset = 30, kPriceOffset = 37;

void PutText(ClipboardRecordBytes& bytes, std::size_t offset, std::size_t width, const std::string& text) {
    const std::string padded = PadBlank(text, width);
    std::copy(padded.begin(), padded.end(), bytes.begin() + offset);
}

std::string GetText(std::span<const std::uint8_t, kClipboardRecordSize> bytes, std::size_t offset,
                    std::size_t width) {
    return std::string(bytes.begin() + offset, bytes.begin() + offset + width);
}

} // namespace

ClipboardRecordBytes SerializeClipboardRecord(const PlayerTransferRecord& record) {
    ClipboardRecordBytes bytes{};
    PutText(bytes, kNationalityOffset, 3, record.nacionalidad);
    bytes[kShirtOffset] = record.nroCamiseta;
    PutText(bytes, kNameOffset, 23, record.nombreJugador);
    bytes[kFaceOffset] = record.aspecto;
    PutText(bytes, kPositionOffset, 2, record.puesto);
    std::copy(record.skills.begin(), record.skills.end(), bytes.begin() + kSkillsOffset);
    PutText(bytes, kPriceOffset, 5, record.valorPase);
    return bytes;
}

PlayerTransferRecord ParseClipboardRecord(std::span<const std::uint8_t, kClipboardRecordSize> bytes) {
    PlayerTransferRecord r;
    r.nacionalidad = GetText(bytes, kNationalityOffset, 3);
    r.nroCamiseta = bytes[kShirtOffset];
    r.nombreJugador = GetText(bytes, kNameOffset, 23);
    r.aspecto = bytes[kFaceOffset];
    r.puesto = GetText(bytes, kPositionOffset, 2);
    std::copy_n(bytes.begin() + kSkillsOffset, kSkillCount, r.skills.begin());
    r.valorPase = GetText(bytes, kPriceOffset, 5);
    return r;
}

PlayerTransferRecord Normalised(PlayerTransferRecord record) {
    record.nacionalidad = PadBlank(record.nacionalidad, 3);
    record.nombreJugador = PadBlank(record.nombreJugador, 23);
    record.puesto = PadBlank(record.puesto, 2);
    record.valorPase = PadBlank(record.valorPase, 5);
    return record;
}

PlayerTransferRecord TransferFromTeamRow(const DecodedPlayer& shown, const PlayerSlot& slot) {
    PlayerTransferRecord r;
    r.nacionalidad = shown.nationality;
    r.nroCamiseta = slot.nroCamiseta;
    r.nombreJugador = FieldTextPadded(slot.nombreJugador);
    r.aspecto = shown.face;
    r.puesto = shown.position;
    r.skills = shown.skills;
    r.valorPase = shown.price;
    return Normalised(std::move(r));
}

PlayerTransferRecord TransferFromDatabaseRow(const PlayerRow& row) {
    const PlayerRowTexts texts = RowTexts(row);
    PlayerTransferRecord r;
    r.nacionalidad = texts.nationality;
    r.nroCamiseta = row.nroCamiseta;
    r.nombreJugador = texts.name;
    r.aspecto = 0;
    r.puesto = texts.position;
    r.skills = row.skills;
    r.valorPase = texts.price;
    return Normalised(std::move(r));
}

} // namespace kivo
