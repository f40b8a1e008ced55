#include "core/players/KeyedFile.h"

#include "core/players/KeyedFileCompanions.h"
#include "core/players/KeyedFileHeader.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>

#include <unistd.h>

#include <sqlite3.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

namespace kivo {
namespace {

enum class Check { Ok, NoTable, KeysInvalid };

OpenFailure FailureOf(const std::exception& e) {
    switch (ErrorCode(e)) {
    case SQLITE_NOTADB:
        return OpenFailure::InvalidFile;
    case SQLITE_CORRUPT:
        return OpenFailure::KeysInvalid;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return OpenFailure::Locked;
    default:
        return OpenFailure::Other;
    }
}

// Runs `work` again while another process holds a lock that SQLite reports at once instead of waiting for
// it: two processes creating the same new file, or switching it to WAL, meet such locks. Gives up, with the
// last error, once the busy wait is spent.
template <class Work> auto RetryWhileBusy(int busyWaitMs, Work&& work) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyWaitMs);
    for (;;) {
        try {
            return work();
        } catch (const std::exception& e) {
            if (!IsBusy(e) || std::chrono::steady_clock::now() >= deadline) throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A connection that failed for want of room (or on an I/O error) may leave the -wal and -shm files it began.
void AfterFailedOpen(const std::string& path, const std::exception& e) {
    const int code = ErrorCode(e) & 0xFF;
    if (code == SQLITE_FULL || code == SQLITE_IOERR) RemoveIdleCompanions(path);
}

bool IsEmptyDatabase(SQLite::Database& db) {
    return db.execAndGet("SELECT count(*) FROM sqlite_master").getInt() == 0;
}

// Whether SQLite finds the file's pages and orders sound: a read of the whole file.
Check CheckPages(SQLite::Database& db, std::string& reason) {
    SQLite::Statement check(db, "PRAGMA quick_check");
    if (check.executeStep()) {
        const std::string result = check.getColumn(0).getString();
        if (result != "ok") {
            reason = result + " (11)";
            return Check::KeysInvalid;
        }
    }
    return Check::Ok;
}

// Entries are found again by their id, the table's rowid: a table where it is not (a damaged column type)
// is not a file of this kind, for any connection.
bool IdIsRowid(SQLite::Database& db, const std::string& table) {
    SQLite::Statement id(db, "SELECT type, pk FROM pragma_table_info(?) WHERE name = 'id'");
    id.bind(1, table);
    return id.executeStep() && id.getColumn(0).getString() == "INTEGER" && id.getColumn(1).getInt() == 1;
}

// Whether the file holds our table and exactly our orders, and (with checkPages) whether SQLite finds its
// pages sound.
Check CheckSchema(SQLite::Database& db, const KeyedFileSchema& schema, std::string& reason,
                  bool checkPages = true) {
    if (std::string problem = HeaderProblem(db); !problem.empty()) {
        reason = problem;
        return Check::KeysInvalid;
    }
    std::map<std::string, std::string> stored;
    SQLite::Statement query(db, "SELECT name, sql FROM sqlite_master WHERE tbl_name = ?");
    query.bind(1, schema.table);
    bool hasTable = false;
    while (query.executeStep()) {
        const std::string name = query.getColumn(0).getString();
        if (name == schema.table) hasTable = true;
        stored[name] = query.getColumn(1).getString();
    }
    if (!hasTable) {
        reason = "no table " + schema.table + " (1)";
        return Check::NoTable;
    }
    if (!IdIsRowid(db, schema.table)) {
        reason = "table " + schema.table + " has no INTEGER PRIMARY KEY id (1)";
        return Check::NoTable;
    }
    for (const auto& order : schema.orders) {
        auto it = stored.find(order.name);
        if (it == stored.end() || it->second != order.createIndex) {
            reason =
                "order " + order.name + (it == stored.end() ? " is missing" : " is not as expected") + " (1)";
            return Check::KeysInvalid;
        }
    }
    // A file made before a column was added lacks it; the key rebuild adds it.
    for (const auto& column : schema.addedColumns) {
        SQLite::Statement has(db, "SELECT count(*) FROM pragma_table_xinfo(?) WHERE name = ?");
        has.bind(1, schema.table);
        has.bind(2, column.name);
        if (has.executeStep() && has.getColumn(0).getInt() == 0) {
            reason = "column " + column.name + " is missing (1)";
            return Check::KeysInvalid;
        }
    }
    return checkPages ? CheckPages(db, reason) : Check::Ok;
}

SQLite::Database Connect(const std::string& path, bool create, int busyWaitMs) {
    // SQLite would open a file it may not write read-only, leaving -wal and -shm files beside it that it
    // cannot remove; such a file is refused before SQLite touches it.
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    // A FIFO or a device would block SQLite's first read for ever.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw SQLite::Exception("the file is not a regular file", SQLITE_CANTOPEN);
    if (std::filesystem::exists(status) && ::access(path.c_str(), W_OK) != 0)
        throw SQLite::Exception("attempt to write a readonly database", SQLITE_READONLY);
    const int flags = SQLite::OPEN_READWRITE | (create ? SQLite::OPEN_CREATE : 0);
    SQLite::Database db(path, flags, busyWaitMs);
    return db;
}

void PrepareConnection(SQLite::Database& db) {
    // WAL lets browsers read while a pass writes; NORMAL sync is durable across crashes of the program.
    SQLite::Statement mode(db, "PRAGMA journal_mode=WAL");
    mode.executeStep();
    db.exec("PRAGMA synchronous=NORMAL");
    // Room for the whole database of a normal build, so that a pass does not read its pages twice.
    db.exec("PRAGMA cache_size=-8192");
}

} // namespace

std::string SqliteReason(const std::exception& e) {
    std::string text = e.what();
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text + " (" + std::to_string(ErrorCode(e)) + ")";
}

void CreateKeyedFileSchema(SQLite::Database& db, const KeyedFileSchema& schema) {
    if (!db.tableExists(schema.table)) db.exec(schema.createTable);
    for (const auto& column : schema.addedColumns) {
        // table_xinfo lists generated columns too.
        SQLite::Statement has(db, "SELECT count(*) FROM pragma_table_xinfo(?) WHERE name = ?");
        has.bind(1, schema.table);
        has.bind(2, column.name);
        has.executeStep();
        if (has.getColumn(0).getInt() != 0) continue;
        has.reset();
        for (const std::string& statement : column.statements)
            db.exec(statement);
    }
    for (const auto& order : schema.orders) {
        SQLite::Statement exists(db, "SELECT sql FROM sqlite_master WHERE type = 'index' AND name = ?");
        exists.bind(1, order.name);
        if (exists.executeStep()) {
            if (exists.getColumn(0).getString() == order.createIndex) continue;
            exists.reset();
            db.exec("DROP INDEX \"" + order.name + "\"");
        }
        db.exec(order.createIndex);
    }
}

OpenAttempt OpenKeyedFile(const KeyedFileSchema& schema, const std::string& path, bool createIfMissing,
                          int busyWaitMs, bool checkPages) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (!exists) {
        if (!createIfMissing) return {OpenFailure::NotFound, "No such file or directory (2)"};
        try {
            RetryWhileBusy(busyWaitMs, [&] {
                auto db = Connect(path, true, busyWaitMs);
                PrepareConnection(db);
                SQLite::Transaction create(db, SQLite::TransactionBehavior::IMMEDIATE);
                CreateKeyedFileSchema(db, schema);
                create.commit();
            });
        } catch (const std::exception& e) {
            // A file that could not be made (a full disk) must not stay behind empty, to be taken later for
            // a database with nothing in it.
            const int code = ErrorCode(e) & 0xFF;
            if (code == SQLITE_FULL || code == SQLITE_IOERR) RemoveEmptyKeyedFile(path);
            return {OpenFailure::CreateFailed, SqliteReason(e)};
        }
        try {
            auto db = Connect(path, false, busyWaitMs);
            std::string reason;
            if (CheckSchema(db, schema, reason) != Check::Ok) return {OpenFailure::OpenCreatedFailed, reason};
        } catch (const std::exception& e) {
            AfterFailedOpen(path, e);
            return {OpenFailure::OpenCreatedFailed, SqliteReason(e)};
        }
        return {};
    }
    try {
        return RetryWhileBusy(busyWaitMs, [&]() -> OpenAttempt {
            auto db = Connect(path, false, busyWaitMs);
            // A zero-length file is a database with nothing in it yet: give it its table like a new one.
            bool empty = false;
            try {
                empty = IsEmptyDatabase(db);
            } catch (const std::exception& e) {
                // SQLite refuses some damaged headers (an unknown schema format) as a plain error.
                if (IsBusy(e)) throw;
                if (std::string problem = HeaderProblem(db); !problem.empty())
                    return {OpenFailure::KeysInvalid, problem};
                throw;
            }
            if (empty) {
                PrepareConnection(db);
                SQLite::Transaction create(db, SQLite::TransactionBehavior::IMMEDIATE);
                if (IsEmptyDatabase(db)) CreateKeyedFileSchema(db, schema);
                create.commit();
            }
            // SQLite quietly opens a file it may not write read-only; every change would then fail later.
            if (sqlite3_db_readonly(db.getHandle(), "main") == 1)
                return {OpenFailure::Other, "attempt to write a readonly database (8)"};
            std::string reason;
            switch (CheckSchema(db, schema, reason, checkPages)) {
            case Check::Ok:
                PrepareConnection(db);
                return {};
            case Check::NoTable:
                return {OpenFailure::InvalidFile, reason};
            case Check::KeysInvalid:
                return {OpenFailure::KeysInvalid, reason};
            }
            return {};
        });
    } catch (const std::exception& e) {
        AfterFailedOpen(path, e);
        return {FailureOf(e), SqliteReason(e)};
    }
    return {};
}

OpenAttempt CheckKeyedFilePages(const std::string& path, int busyWaitMs) {
    try {
        // Read-write at the file level, as every other connection to the file, so that its WAL files are
        // handled as usual; query_only keeps the check from changing anything.
        SQLite::Database db(path, SQLite::OPEN_READWRITE, busyWaitMs);
        db.exec("PRAGMA query_only = 1");
        std::string reason;
        if (CheckPages(db, reason) != Check::Ok) return {OpenFailure::KeysInvalid, reason};
    } catch (const std::exception& e) {
        return {FailureOf(e), SqliteReason(e)};
    }
    return {};
}

OpenAttempt RebuildKeyedFileKeys(const KeyedFileSchema& schema, const std::string& path, int busyWaitMs) {
    try {
        auto db = Connect(path, false, busyWaitMs);
        if (!db.tableExists(schema.table))
            return {OpenFailure::InvalidFile, "no table " + schema.table + " (1)"};
        SQLite::Transaction rebuild(db, SQLite::TransactionBehavior::IMMEDIATE);
        CreateKeyedFileSchema(db, schema);
        db.exec("REINDEX \"" + schema.table + "\"");
        rebuild.commit();
        std::string reason;
        if (CheckSchema(db, schema, reason) != Check::Ok) return {OpenFailure::Other, reason};
    } catch (const std::exception& e) {
        AfterFailedOpen(path, e);
        return {OpenFailure::Other, SqliteReason(e)};
    }
    return {};
}

Result<SQLite::Database> ConnectKeyedFileReadOnly(const KeyedFileSchema& schema, const std::string& path,
                                                  OpenAttempt& attempt, int busyWaitMs) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        attempt = {OpenFailure::NotFound, "No such file or directory (2)"};
        return Error{"There is no file " + path};
    }
    try {
        // Read-write at the file level needs a folder where SQLite may make its -wal and -shm files.
        const std::string folder = std::filesystem::absolute(path).parent_path().string();
        const bool writable = ::access(path.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
        std::optional<SQLite::Database> db;
        if (writable) {
            // Read-write at the file level, so that the last connection to close removes the -wal and -shm
            // files as usual; query_only keeps every statement from changing anything.
            db.emplace(path, SQLite::OPEN_READWRITE, busyWaitMs);
            db->exec("PRAGMA query_only = 1");
        } else {
            std::string uri = "file:";
            for (char c : std::filesystem::absolute(path).string()) {
                if (c == '%' || c == '?' || c == '#') {
                    static const char hex[] = "0123456789ABCDEF";
                    uri += '%';
                    uri += hex[static_cast<unsigned char>(c) >> 4];
                    uri += hex[c & 15];
                } else {
                    uri += c;
                }
            }
            db.emplace(uri + "?immutable=1", SQLite::OPEN_READONLY | SQLite::OPEN_URI, busyWaitMs);
        }
        std::string reason;
        switch (CheckSchema(*db, schema, reason)) {
        case Check::Ok:
            attempt = {};
            return std::move(*db);
        case Check::NoTable:
            attempt = {OpenFailure::InvalidFile, reason};
            break;
        case Check::KeysInvalid:
            attempt = {OpenFailure::KeysInvalid, reason};
            break;
        }
        return Error{path + " is damaged: " + reason};
    } catch (const std::exception& e) {
        AfterFailedOpen(path, e);
        attempt = {FailureOf(e), SqliteReason(e)};
        return Error{"Cannot open " + path + ": " + SqliteReason(e)};
    }
}

Result<SQLite::Database> ConnectKeyedFile(const KeyedFileSchema& schema, const std::string& path,
                                          bool createIfMissing, int busyWaitMs) {
    std::error_code exists;
    const bool existed = std::filesystem::exists(path, exists);
    try {
        return RetryWhileBusy(busyWaitMs, [&]() -> Result<SQLite::Database> {
            auto db = Connect(path, createIfMissing, busyWaitMs);
            // Refused before the connection changes anything (WAL mode is written into the file).
            if (db.tableExists(schema.table) && !IdIsRowid(db, schema.table))
                return Error{path + " is damaged: table " + schema.table +
                             " has no INTEGER PRIMARY KEY id (1)"};
            PrepareConnection(db);
            if (!db.tableExists(schema.table)) {
                SQLite::Transaction create(db, SQLite::TransactionBehavior::IMMEDIATE);
                if (!IsEmptyDatabase(db) && !db.tableExists(schema.table))
                    return Error{path + " is not a file of this kind: it has no table " + schema.table};
                CreateKeyedFileSchema(db, schema);
                create.commit();
            }
            return db;
        });
    } catch (const std::exception& e) {
        const int code = ErrorCode(e) & 0xFF;
        if (!existed && (code == SQLITE_FULL || code == SQLITE_IOERR)) RemoveEmptyKeyedFile(path);
        AfterFailedOpen(path, e);
        return Error{"Cannot open " + path + ": " + SqliteReason(e)};
    }
}

Result<std::string> SetAsideDamagedFile(const std::string& path) {
    const std::string keptAs = path + ".damaged";
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::error_code ec;
        const std::string from = path + suffix;
        if (!std::filesystem::exists(from, ec)) {
            // A companion of an older copy must not be taken for this file's.
            std::filesystem::remove(keptAs + suffix, ec);
            continue;
        }
        std::filesystem::rename(from, keptAs + suffix, ec);
        if (ec) return Error{path + " cannot be moved to " + keptAs + suffix + " (" + ec.message() + ")"};
    }
    return keptAs;
}

} // namespace kivo
