#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/players/KeyedFile.h"
#include "core/players/PlayerRow.h"
#include "core/support/Result.h"

namespace kivo {

// The all-players database's file name in the start directory; it has no extension.
inline constexpr const char* kPlayerDatabaseFileName = "JUGADORES";

// The table, one column per JUGS: field, and its thirteen orders.
const KeyedFileSchema& PlayerDatabaseSchema();

// A row and its place in the database (the rowid, which is also the natural order of a build).
struct StoredPlayer {
    std::int64_t id = 0;
    PlayerRow row;
};

// Texts are stored as UTF-8 (so that sqlite3 shows them) of the field's bytes up to the first zero byte;
// these convert both ways without loss.
std::string StoredFieldText(std::span<const std::uint8_t> field);
void StoreFieldText(std::span<const std::uint8_t> field, std::string& out); // into a reused buffer
void LoadFieldText(const std::string& stored, std::span<std::uint8_t> field);

// The columns of a row in table order, for SELECT lists; ReadPlayerColumns reads them from `first` on.
extern const char* const kPlayerColumns;
PlayerRow ReadPlayerColumns(SQLite::Statement& query, int first);

// An open connection to the all-players database, shared with other connections and processes: writers
// take turns with a busy wait; readers see only committed work.
class PlayerDatabase {
public:
    // Opens an existing database (or creates an empty one when asked).
    static Result<PlayerDatabase> Open(const std::string& path, bool createIfMissing = true);

    // Opens an existing database to read it only (listings): nothing is created or changed, and the
    // checks of OpenPlayerDatabaseFile are made; `attempt` tells what failed.
    static Result<PlayerDatabase> OpenReadOnly(const std::string& path, OpenAttempt& attempt);

    // Opens the database for a build, creating it when missing and starting over when the file is not a
    // database at all.
    static Result<PlayerDatabase> OpenForReplace(const std::string& path);

    const std::string& path() const { return path_; }
    SQLite::Database& connection() { return db_; }

    Result<std::int64_t> CountRows();
    // The players that carry mark `mark`; with 0, those that carry any mark.
    Result<std::int64_t> CountMarked(std::uint8_t mark);
    Result<std::optional<StoredPlayer>> Get(std::int64_t id);
    Result<std::int64_t> Add(const PlayerRow& row);
    Status Put(std::int64_t id, const PlayerRow& row);
    Status Delete(std::int64_t id);

private:
    PlayerDatabase(std::string path, SQLite::Database db) : path_(std::move(path)), db_(std::move(db)) {}
    std::string path_;
    SQLite::Database db_;
};

// Binds a row to an INSERT or UPDATE written with the columns of kPlayerColumns as ?1..?16, and the folded
// name (nombre_clave, the key of the name order) as ?17 when the statement has it. kInsertPlayerSql has.
void BindPlayerRow(SQLite::Statement& statement, const PlayerRow& row);
extern const char* const kInsertPlayerSql;

// The bulk load of a build: the table is emptied and its orders dropped, rows are appended without
// maintaining orders, and Finish builds the thirteen orders and commits. All of it is one transaction,
// so other connections see the old contents until Finish and never a half-built database; if the load is
// abandoned (or fails) nothing changes.
class PlayerDatabaseLoad {
public:
    static Result<PlayerDatabaseLoad> Begin(PlayerDatabase& database);
    Status Append(const PlayerRow& row);
    Status Finish();

private:
    PlayerDatabaseLoad(PlayerDatabase& database, std::unique_ptr<SQLite::Transaction> transaction,
                       std::unique_ptr<SQLite::Statement> insert)
        : database_(&database), transaction_(std::move(transaction)), insert_(std::move(insert)) {}
    PlayerDatabase* database_;
    std::unique_ptr<SQLite::Transaction> transaction_;
    std::unique_ptr<SQLite::Statement> insert_;
    std::string team_, name_, key_; // the texts being bound, reused row after row
};

} // namespace kivo
