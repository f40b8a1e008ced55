#pragma once

#include <string>

namespace kivo {

// After an open that failed on a full disk, SQLite leaves the -wal and -shm files it had begun beside the
// database. They are removed when they hold nothing and nothing uses them: the log is empty (so it holds
// no commit), and no process, this one included, holds a lock on the database or on the shared-memory file
// (every open connection holds one there). Files in use, or whose use cannot be told, are left alone.
void RemoveIdleCompanions(const std::string& path);

// Removes a database file left empty (by a creation that failed before its first page) with its empty
// companions; a file with anything in it is left alone.
void RemoveEmptyKeyedFile(const std::string& path);

} // namespace kivo
