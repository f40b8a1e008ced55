#include "editor/clipboard/PlayerDrag.h"

#include <QMimeData>

#include "core/clipboard/ClipboardStore.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"

namespace kivo::editor {

QMimeData* NewPlayerDragData(std::int64_t entryId) {
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kPlayerDragFormat),
                  QByteArray::number(static_cast<qlonglong>(entryId)));
    return data;
}

bool CarriesPlayer(const QMimeData* data) {
    return data && data->hasFormat(QString::fromLatin1(kPlayerDragFormat));
}

std::optional<PlayerTransferRecord> AcceptPlayerDrop(const QMimeData* data) {
    if (!CarriesPlayer(data)) return std::nullopt;
    bool ok = false;
    const qlonglong id = data->data(QString::fromLatin1(kPlayerDragFormat)).toLongLong(&ok);
    if (!ok) return std::nullopt;
    if (!UseClipboardFile()) return std::nullopt;
    std::optional<PlayerTransferRecord> record;
    if (auto store = ClipboardStore::Open(Globals().ClipboardFilePath, true)) {
        if (auto entry = store->Get(id); entry && entry->has_value()) {
            Globals().TransferRecord = (*entry)->record;
            record = Globals().TransferRecord;
        }
    }
    ReleaseClipboardFile();
    return record;
}

} // namespace kivo::editor
