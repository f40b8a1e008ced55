#include "core/players/KeyedFileOpen.h"

#include "core/clipboard/ClipboardStore.h"
#include "core/players/KeyedFile.h"
#include "core/players/PlayerDatabase.h"

namespace kivo {

OpenAttempt OpenPlayerDatabaseFile(const std::string& path, bool createIfMissing) {
    return OpenKeyedFile(PlayerDatabaseSchema(), path, createIfMissing);
}

OpenAttempt OpenPlayerDatabaseFileQuickly(const std::string& path, bool createIfMissing) {
    return OpenKeyedFile(PlayerDatabaseSchema(), path, createIfMissing, kKeyedFileBusyWaitMs, false);
}

OpenAttempt CheckPlayerDatabasePages(const std::string& path) {
    return CheckKeyedFilePages(path);
}

OpenAttempt RebuildPlayerDatabaseKeys(const std::string& path) {
    return RebuildKeyedFileKeys(PlayerDatabaseSchema(), path);
}

OpenAttempt OpenClipboardFile(const std::string& path, bool createIfMissing) {
    return OpenKeyedFile(ClipboardSchema(), path, createIfMissing);
}

OpenAttempt RebuildClipboardKeys(const std::string& path) {
    return RebuildKeyedFileKeys(ClipboardSchema(), path);
}

} // namespace kivo
