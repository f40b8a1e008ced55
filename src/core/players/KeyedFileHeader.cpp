#include "core/players/KeyedFileHeader.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <sqlite3.h>
#include <SQLiteCpp/Exception.h>

namespace kivo {

int ErrorCode(const std::exception& e) {
    if (auto* s = dynamic_cast<const SQLite::Exception*>(&e)) return s->getErrorCode();
    return SQLITE_ERROR;
}

bool IsBusy(const std::exception& e) {
    const int code = ErrorCode(e) & 0xFF;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

namespace {

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Reads through SQLite's own open file: closing a second descriptor of the database would drop every
// POSIX lock this process holds on it, and another process could then write beside a reader or a writer.
bool ReadThrough(sqlite3_file* file, void* into, int amount, sqlite3_int64 offset) {
    return file && file->pMethods && file->pMethods->xRead(file, into, amount, offset) == SQLITE_OK;
}

// Adds `bytes` to a WAL checksum, as SQLite computes it (native or big-endian words, by the log's magic).
void WalChecksum(bool bigEndian, const unsigned char* bytes, std::size_t size, std::uint32_t (&sum)[2]) {
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        std::uint32_t a, b;
        if (bigEndian) {
            a = BigEndian32(bytes + i);
            b = BigEndian32(bytes + i + 4);
        } else {
            std::memcpy(&a, bytes + i, 4);
            std::memcpy(&b, bytes + i + 4, 4);
        }
        sum[0] += a + sum[1];
        sum[1] += b + sum[0];
    }
}

// The newest committed copy of the first page's header in the write-ahead log, if it holds one: a file in
// WAL mode keeps its current first page there until a checkpoint copies it back. Only frames whose
// checksums hold are taken, so a frame another process is still writing is never read as the header.
bool HeaderFromWal(sqlite3_file* wal, unsigned char (&h)[100]) {
    unsigned char header[32];
    if (!ReadThrough(wal, header, sizeof header, 0)) return false;
    const std::uint32_t magic = BigEndian32(header);
    if (magic != 0x377f0682 && magic != 0x377f0683) return false;
    const bool bigEndian = (magic & 1) != 0;
    const std::uint32_t pageSize = BigEndian32(header + 8);
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) return false;
    std::uint32_t sum[2] = {0, 0};
    WalChecksum(bigEndian, header, 24, sum);
    if (sum[0] != BigEndian32(header + 24) || sum[1] != BigEndian32(header + 28)) return false;
    bool found = false;
    unsigned char pending[100];
    bool pendingSet = false;
    std::vector<unsigned char> page(pageSize);
    for (sqlite3_int64 at = 32;; at += 24 + pageSize) {
        unsigned char frame[24];
        if (!ReadThrough(wal, frame, sizeof frame, at) ||
            !ReadThrough(wal, page.data(), int(pageSize), at + 24))
            break;
        // Frames of an older generation of the log carry other salts.
        if (std::memcmp(frame + 8, header + 16, 8) != 0) break;
        WalChecksum(bigEndian, frame, 8, sum);
        WalChecksum(bigEndian, page.data(), pageSize, sum);
        if (sum[0] != BigEndian32(frame + 16) || sum[1] != BigEndian32(frame + 20)) break;
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

sqlite3_file* OpenFileOf(SQLite::Database& db, int op) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db.getHandle(), "main", op, &file) != SQLITE_OK) return nullptr;
    return file;
}

// Ends the read transaction HeaderProblem opens, however it leaves.
struct ReadTransaction {
    SQLite::Database& db;
    bool began = false;
    explicit ReadTransaction(SQLite::Database& d) : db(d) {
        if (sqlite3_get_autocommit(db.getHandle()) == 0) return; // the caller's transaction holds the locks
        db.exec("BEGIN");
        began = true;
    }
    ~ReadTransaction() {
        if (began) db.tryExec("ROLLBACK");
    }
};

} // namespace

std::string HeaderProblem(SQLite::Database& db) {
    // Read under a read lock, so that no process changes the first page (or creates the file) meanwhile.
    // The statement reads no schema: a file SQLite refuses to read (a schema format it does not know) is
    // judged by its header alone. It also opens the log of a file in WAL mode.
    ReadTransaction reading(db);
    try {
        db.execAndGet("PRAGMA schema_version");
    } catch (const std::exception& e) {
        if (IsBusy(e)) throw;
    }
    unsigned char h[100];
    if (!ReadThrough(OpenFileOf(db, SQLITE_FCNTL_FILE_POINTER), h, sizeof h, 0)) return {};
    // The log is open once the connection has read in WAL mode; without it, the file's own page is current.
    HeaderFromWal(OpenFileOf(db, SQLITE_FCNTL_JOURNAL_POINTER), h);
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

} // namespace kivo
