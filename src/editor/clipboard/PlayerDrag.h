#pragma once

#include <cstdint>
#include <optional>

#include "core/clipboard/PlayerTransferRecord.h"

class QMimeData;

namespace kivo::editor {

// The drag identifier "Jugador": a drag from the players clipboard carries this format, whose data is the
// dragged entry's id in the clipboard file (decimal text).
inline constexpr const char* kPlayerDragFormat = "application/x-kivo-jugador";

// The data of a drag of clipboard entry `entryId`; the caller's QDrag takes ownership.
QMimeData* NewPlayerDragData(std::int64_t entryId);

// Whether a drag carries a player (the drop targets accept only these).
bool CarriesPlayer(const QMimeData* data);

// Accepting a drop: the dragged entry is re-read from the clipboard file (ClipboardFilePath) and copied into
// the shared TransferRecord, which is returned. Nothing when the drag carries no player or the entry is
// no longer in the file.
std::optional<PlayerTransferRecord> AcceptPlayerDrop(const QMimeData* data);

} // namespace kivo::editor
