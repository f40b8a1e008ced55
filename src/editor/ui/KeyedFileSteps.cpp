// The keyed files' open and rebuild steps, as the core's player and clipboard stores offer them.
#include "editor/ui/CheckOpen.h"

#include "core/players/KeyedFile.h"
#include "core/players/KeyedFileOpen.h"

namespace kivo::editor {

OpenSteps PlayerDatabaseSteps() {
    return {&OpenPlayerDatabaseFileQuickly, &RebuildPlayerDatabaseKeys, &CheckPlayerDatabasePages};
}

OpenSteps ClipboardFileSteps() {
    return {&OpenClipboardFile, &RebuildClipboardKeys, {}, &SetAsideDamagedFile, "an empty players clipboard"};
}

} // namespace kivo::editor
