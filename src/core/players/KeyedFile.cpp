#include "core/players/KeyedFile.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <thread>
#include <vector>

#include <unistd.h>

#include <sqlite3.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

namespace kivo {
namespace {

enum class Check { Ok, NoTable, KeysInvalid };

int ErrorCode(const std::exception& e) {
    if (auto* s = dynamic_cast<const SQLite::Exception*>(&e)) return s->getErrorCode();
    return SQLITE_ERROR;
}

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

bool IsBusy(const std::exception& e) {
    const int code = ErrorCode(e) & 0xFF;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
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

void RemoveEmptyFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || std::filesystem::file_size(path, ec) != 0 || ec)
        return;
    std::filesystem::remove(path, ec);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const std::string side = path + suffix;
        if (std::filesystem::is_regular_file(side, ec) && std::filesystem::file_size(side, ec) == 0)
            std::filesystem::remove(side, ec);
    }
}

bool IsEmptyDatabase(SQLite::Database& db) {
    return db.execAndGet("SELECT count(*) FROM sqlite_master").getInt() == 0;
}

// The file header fields that SQLite trusts without checking them all: a damaged schema format number
// makes it ignore DESC in the orders (the skill orders then come out ascending), and a stray
// incremental-vacuum flag makes later reads fail. Empty when sound (or not yet written: a new file keeps
// its first page in the journal).
std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// The newest committed copy of the first page's header in the -wal file, if it holds one: a file in WAL
// mode keeps its current first page there until a checkpoint copies it back.
bool HeaderFromWal(const std::string& path, unsigned char (&h)[100]) {
    std::ifstream wal(path + "-wal", std::ios::binary);
    unsigned char header[32];
    if (!wal.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    const std::uint32_t magic = BigEndian32(header);
    if (magic != 0x377f0682 && magic != 0x377f0683) return false;
    const std::uint32_t pageSize = BigEndian32(header + 8);
    if (pageSize < 512 || pageSize > 65536) return false;
    bool found = false;
    unsigned char pending[100];
    bool pendingSet = false;
    std::vector<char> page(pageSize);
    for (;;) {
        unsigned char frame[24];
        if (!wal.read(reinterpret_cast<char*>(frame), sizeof frame)) break;
        if (!wal.read(page.data(), pageSize)) break;
        // Frames of an older generation of the log carry other salts.
        if (std::memcmp(frame + 8, header + 16, 8) != 0) break;
        if (BigEndian32(frame) == 1) {
            std::memcpy(pending, page.data(), sizeof pending);
            pendingSet = true;
        }
        if (BigEndian32(frame + 4) != 0 && pendingSet) { // a commit frame
            std::memcpy(h, pending, sizeof pending);
            found = true;
        }
    }
    return found;
}

std::string HeaderProblem(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char h[100];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return {};
    HeaderFromWal(path, h);
    auto u32 = [&](int at) { return BigEndian32(h + at); };
    if (std::memcmp(h, "SQLite format 3", 16) != 0) return {}; // SQLite itself reports "not a database"
    const std::uint32_t pageSize = (std::uint32_t{h[16]} << 8) | h[17];
    const bool pageSizeOk =
        pageSize == 1 || (pageSize >= 512 && pageSize <= 32768 && (pageSize & (pageSize - 1)) == 0);
    if (!pageSizeOk || h[21] != 64 || h[22] != 32 || h[23] != 32) return "the file header is damaged (11)";
    // Format 4 is the one that keeps descending orders; every file this program makes has it.
    if (u32(44) != 4)
        return "the schema format number in the file header is " + std::to_string(u32(44)) + ", not 4 (11)";
    if (u32(52) == 0 && u32(64) != 0) return "the incremental-vacuum flag is set without auto-vacuum (11)";
    const std::uint32_t encoding = u32(56);
    if (encoding < 1 || encoding > 3) return "the text encoding in the file header is damaged (11)";
    return {};
}

// Whether the file holds our table and exactly our orders, and whether SQLite finds its pages sound.
Check CheckSchema(SQLite::Database& db, const KeyedFileSchema& schema, std::string& reason) {
    if (std::string problem = HeaderProblem(db.getFilename()); !problem.empty()) {
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
    for (const auto& order : schema.orders) {
        auto it = stored.find(order.name);
        if (it == stored.end() || it->second != order.createIndex) {
            reason =
                "order " + order.name + (it == stored.end() ? " is missing" : " is not as expected") + " (1)";
            return Check::KeysInvalid;
        }
    }
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

SQLite::Database Connect(const std::string& path, bool create, int busyWaitMs) {
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
                          int busyWaitMs) {
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
            if (code == SQLITE_FULL || code == SQLITE_IOERR) RemoveEmptyFile(path);
            return {OpenFailure::CreateFailed, SqliteReason(e)};
        }
        try {
            auto db = Connect(path, false, busyWaitMs);
            std::string reason;
            if (CheckSchema(db, schema, reason) != Check::Ok) return {OpenFailure::OpenCreatedFailed, reason};
        } catch (const std::exception& e) {
            return {OpenFailure::OpenCreatedFailed, SqliteReason(e)};
        }
        return {};
    }
    try {
        return RetryWhileBusy(busyWaitMs, [&]() -> OpenAttempt {
            auto db = Connect(path, false, busyWaitMs);
            // A zero-length file is a database with nothing in it yet: give it its table like a new one.
            if (IsEmptyDatabase(db)) {
                PrepareConnection(db);
                SQLite::Transaction create(db, SQLite::TransactionBehavior::IMMEDIATE);
                if (IsEmptyDatabase(db)) CreateKeyedFileSchema(db, schema);
                create.commit();
            }
            // SQLite quietly opens a file it may not write read-only; every change would then fail later.
            if (sqlite3_db_readonly(db.getHandle(), "main") == 1)
                return {OpenFailure::Other, "attempt to write a readonly database (8)"};
            std::string reason;
            switch (CheckSchema(db, schema, reason)) {
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
        const bool writable = ::access(path.c_str(), W_OK) == 0;
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
        if (!existed && (code == SQLITE_FULL || code == SQLITE_IOERR)) RemoveEmptyFile(path);
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
