#include "core/clipboard/ClipboardStore.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/support/FixedText.h"
#include "core/support/NameKey.h"

namespace kivo {
namespace {

// The name order is on the folded name: letter case is ignored over Latin-1 ("GONZÁLEZ" finds "gonzález").
const KeyedFileSchema& Schema() {
    static const KeyedFileSchema schema{
        "portapapeles",
        "CREATE TABLE portapapeles (\n"
        "  id INTEGER PRIMARY KEY,\n"
        "  nacionalidad TEXT NOT NULL,\n"
        "  nro_camiseta INTEGER NOT NULL,\n"
        "  nombre_jugador TEXT NOT NULL COLLATE NOCASE,\n"
        "  aspecto INTEGER NOT NULL,\n"
        "  puesto TEXT NOT NULL,\n"
        "  pase INTEGER NOT NULL,\n"
        "  tiro INTEGER NOT NULL,\n"
        "  cabeceo INTEGER NOT NULL,\n"
        "  quite INTEGER NOT NULL,\n"
        "  gambeta INTEGER NOT NULL,\n"
        "  velocidad INTEGER NOT NULL,\n"
        "  definicion INTEGER NOT NULL,\n"
        "  valor_pase TEXT NOT NULL,\n"
        "  nombre_clave TEXT NOT NULL DEFAULT ''\n"
        ")",
        {
            {"key_nombre", "CREATE INDEX key_nombre ON portapapeles(nombre_clave) WHERE nombre_clave <> ''"},
        },
        {{"nombre_clave",
          {"ALTER TABLE portapapeles ADD COLUMN nombre_clave TEXT NOT NULL DEFAULT ''",
           NameKeyFillSql("portapapeles", "nombre_jugador", "nombre_clave")}}},
    };
    return schema;
}

constexpr const char* kColumns =
    "id, nacionalidad, nro_camiseta, nombre_jugador, aspecto, puesto, pase, tiro, "
    "cabeceo, quite, gambeta, velocidad, definicion, valor_pase";

std::string Stored(const std::string& latin1) {
    return Latin1ToUtf8(latin1);
}
std::string Loaded(const std::string& stored, std::size_t width) {
    return PadBlank(Utf8ToLatin1(stored).value_or(stored), width);
}

ClipboardEntry ReadEntry(SQLite::Statement& q) {
    ClipboardEntry e;
    e.id = q.getColumn(0).getInt64();
    auto& r = e.record;
    r.nacionalidad = Loaded(q.getColumn(1).getString(), 3);
    r.nroCamiseta = static_cast<std::uint8_t>(q.getColumn(2).getInt());
    r.nombreJugador = Loaded(q.getColumn(3).getString(), 23);
    r.aspecto = static_cast<std::uint8_t>(q.getColumn(4).getInt());
    r.puesto = Loaded(q.getColumn(5).getString(), 2);
    for (int s = 0; s < static_cast<int>(kSkillCount); ++s)
        r.skills[s] = static_cast<std::uint8_t>(q.getColumn(6 + s).getInt());
    r.valorPase = Loaded(q.getColumn(13).getString(), 5);
    return e;
}

Error StoreError(const std::string& what, const std::string& path, const std::exception& e) {
    return Error{what + " in the players clipboard " + path + ": " + SqliteReason(e)};
}

} // namespace

const KeyedFileSchema& ClipboardSchema() {
    return Schema();
}

Result<ClipboardStore> ClipboardStore::OpenReadOnly(const std::string& path, OpenAttempt& attempt) {
    auto db = ConnectKeyedFileReadOnly(Schema(), path, attempt);
    if (!db) return db.error();
    return ClipboardStore(path, std::move(*db));
}

Result<ClipboardStore> ClipboardStore::Open(const std::string& path, bool createIfMissing) {
    auto db = ConnectKeyedFile(Schema(), path, createIfMissing);
    if (!db) return db.error();
    return ClipboardStore(path, std::move(*db));
}

Result<std::int64_t> ClipboardStore::Append(const PlayerTransferRecord& record) {
    const PlayerTransferRecord r = Normalised(record);
    try {
        SQLite::Statement insert(db_, "INSERT INTO portapapeles (nacionalidad, nro_camiseta, nombre_jugador, "
                                      "aspecto, puesto, pase, tiro, cabeceo, quite, gambeta, velocidad, "
                                      "definicion, valor_pase, nombre_clave) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.bind(1, Stored(r.nacionalidad));
        insert.bind(2, r.nroCamiseta);
        insert.bind(3, Stored(r.nombreJugador));
        insert.bind(4, r.aspecto);
        insert.bind(5, Stored(r.puesto));
        for (int s = 0; s < static_cast<int>(kSkillCount); ++s)
            insert.bind(6 + s, r.skills[s]);
        insert.bind(13, Stored(r.valorPase));
        insert.bind(14, NameKey(r.nombreJugador));
        insert.exec();
        return static_cast<std::int64_t>(db_.getLastInsertRowid());
    } catch (const std::exception& e) {
        return StoreError("Cannot add the player", path_, e);
    }
}

Result<std::vector<ClipboardEntry>> ClipboardStore::List(const std::optional<ClipboardEntry>& after,
                                                         std::size_t limit) {
    try {
        std::string sql = std::string("SELECT ") + kColumns + " FROM portapapeles WHERE nombre_clave <> ''";
        if (after) sql += " AND (nombre_clave > ?1 OR (nombre_clave = ?1 AND id > ?2))";
        sql += " ORDER BY nombre_clave, id LIMIT ?3";
        SQLite::Statement query(db_, sql);
        if (after) {
            query.bind(1, NameKey(after->record.nombreJugador));
            query.bind(2, static_cast<std::int64_t>(after->id));
        }
        query.bind(3, limit == 0 ? std::int64_t{-1} : static_cast<std::int64_t>(limit));
        std::vector<ClipboardEntry> entries;
        while (query.executeStep())
            entries.push_back(ReadEntry(query));
        return entries;
    } catch (const std::exception& e) {
        return StoreError("Cannot list the players", path_, e);
    }
}

Result<std::optional<ClipboardEntry>> ClipboardStore::Get(std::int64_t id) {
    try {
        SQLite::Statement query(db_, std::string("SELECT ") + kColumns + " FROM portapapeles WHERE id = ?");
        query.bind(1, static_cast<std::int64_t>(id));
        if (!query.executeStep()) return std::optional<ClipboardEntry>{};
        return std::optional<ClipboardEntry>{ReadEntry(query)};
    } catch (const std::exception& e) {
        return StoreError("Cannot read entry " + std::to_string(id), path_, e);
    }
}

ClipboardDeleteOutcome ClipboardStore::Delete(std::int64_t id, int waitMs) {
    struct RestoreWait {
        SQLite::Database& db;
        ~RestoreWait() { db.setBusyTimeout(kKeyedFileBusyWaitMs); }
    } restore{db_};
    db_.setBusyTimeout(waitMs);
    std::unique_ptr<SQLite::Transaction> transaction;
    try {
        transaction = std::make_unique<SQLite::Transaction>(db_, SQLite::TransactionBehavior::IMMEDIATE);
    } catch (const std::exception& e) {
        return {ClipboardDeleteFailure::TransactionNotStarted, SqliteReason(e)};
    }
    try {
        SQLite::Statement erase(db_, "DELETE FROM portapapeles WHERE id = ?");
        erase.bind(1, static_cast<std::int64_t>(id));
        if (erase.exec() != 1)
            return {ClipboardDeleteFailure::DeleteFailed, "the entry is no longer in the clipboard (0)"};
        transaction->commit();
        return {};
    } catch (const std::exception& e) {
        return {ClipboardDeleteFailure::DeleteFailed, SqliteReason(e)};
    }
}

} // namespace kivo
