#pragma once

#include "core/support/OpenAttempt.h"

#include <string>

namespace kivo {

// Opening the program's two keyed files (the all-players database and the players clipboard), step by
// step, so that the editor can word each failure and ask before repairing. Each call opens and closes its
// own connection: it checks the file and leaves nothing open.
//
// A locked file is waited for (busy wait) before Locked is reported. A missing file is created (with its
// table and orders) only when createIfMissing is true; otherwise NotFound. A file that is not an SQLite
// database, or one without the expected table, is InvalidFile. A failed integrity check of the orders is
// KeysInvalid; RebuildXxxKeys then runs REINDEX (Other on failure).
OpenAttempt OpenPlayerDatabaseFile(const std::string& path, bool createIfMissing);
OpenAttempt RebuildPlayerDatabaseKeys(const std::string& path);
// The open without the read of every page, which takes a while on a large database, and that read on its
// own (KeysInvalid when it finds damage), to be made after the open, away from the user's wait.
OpenAttempt OpenPlayerDatabaseFileQuickly(const std::string& path, bool createIfMissing);
OpenAttempt CheckPlayerDatabasePages(const std::string& path);

OpenAttempt OpenClipboardFile(const std::string& path, bool createIfMissing);
OpenAttempt RebuildClipboardKeys(const std::string& path);

} // namespace kivo
