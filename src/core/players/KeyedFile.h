#pragma once

#include <string>
#include <vector>

#include <SQLiteCpp/Database.h>

#include "core/support/OpenAttempt.h"
#include "core/support/Result.h"

namespace kivo {

// One of the program's keyed files kept as an SQLite database: a table and its orders (indexes).
// The statements are compared word for word with the ones stored in the file, so a changed order is found.
struct KeyedFileSchema {
    std::string table;
    std::string createTable;
    struct Order {
        std::string name;
        std::string createIndex;
    };
    std::vector<Order> orders;
    // Columns added to the table after files of it were made: a file that lacks one gets it (and its values)
    // from these statements when its orders are rebuilt, so an older file is mended by the key rebuild.
    struct AddedColumn {
        std::string name;
        std::vector<std::string> statements;
    };
    std::vector<AddedColumn> addedColumns;
};

// How long a connection waits for another process's write lock before giving up.
inline constexpr int kKeyedFileBusyWaitMs = 10000;

// The SQLite error text and code in the form the open messages show: "file is not a database (26)".
std::string SqliteReason(const std::exception& e);

// The checks behind the OpenXxxFile functions, with the busy wait as a parameter so that a lock can be
// tested without waiting ten seconds. Without checkPages the read of every page (PRAGMA quick_check) is
// left out, for CheckKeyedFilePages to make later; the header, table and orders are checked all the same.
OpenAttempt OpenKeyedFile(const KeyedFileSchema& schema, const std::string& path, bool createIfMissing,
                          int busyWaitMs = kKeyedFileBusyWaitMs, bool checkPages = true);
// The check of every page and order of an existing file: KeysInvalid (with SQLite's finding) when it is
// damaged. Changes nothing.
OpenAttempt CheckKeyedFilePages(const std::string& path, int busyWaitMs = kKeyedFileBusyWaitMs);
OpenAttempt RebuildKeyedFileKeys(const KeyedFileSchema& schema, const std::string& path,
                                 int busyWaitMs = kKeyedFileBusyWaitMs);

// A connection for work on the file: WAL journal (readers never wait for writers), a busy wait, and the
// table and orders created when the file is new or empty. The file must exist unless createIfMissing.
Result<SQLite::Database> ConnectKeyedFile(const KeyedFileSchema& schema, const std::string& path,
                                          bool createIfMissing, int busyWaitMs = kKeyedFileBusyWaitMs);

// A connection that only reads: no file is created or changed (a missing file is NotFound), and the
// checks of OpenKeyedFile are made. A file this process may not write (a read-only JUGADORES on a CD or
// with its write bits off) is opened as immutable, so that no -wal or -shm file is left beside it.
Result<SQLite::Database> ConnectKeyedFileReadOnly(const KeyedFileSchema& schema, const std::string& path,
                                                  OpenAttempt& attempt,
                                                  int busyWaitMs = kKeyedFileBusyWaitMs);

// Moves a damaged keyed file, with its -wal and -shm companions, out of the way to "<path>.damaged" (an
// older set-aside copy of that name is replaced), so that a new file can be made under its name. Returns
// the name it is kept under; on failure nothing more is moved and the error names both files.
Result<std::string> SetAsideDamagedFile(const std::string& path);

// Creates the table and every order that is missing. Runs inside the caller's transaction, if any.
void CreateKeyedFileSchema(SQLite::Database& db, const KeyedFileSchema& schema);

} // namespace kivo
