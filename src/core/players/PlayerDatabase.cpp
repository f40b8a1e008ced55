#include "core/players/PlayerDatabase.h"

#include <algorithm>
#include <filesystem>

#include <SQLiteCpp/Exception.h>

#include "core/support/FixedText.h"
#include "core/support/NameKey.h"

namespace kivo {
namespace {

// The name order is on the folded name, so letter case is ignored over Latin-1 too ("élan" finds "Élan").
// A name that is empty or all blanks has the empty key and is left out of the name order; every query on
// that order repeats the condition word for word, or SQLite will not use the order.
const KeyedFileSchema& Schema() {
    static const KeyedFileSchema schema{
        "jugadores",
        "CREATE TABLE jugadores (\n"
        "  id INTEGER PRIMARY KEY,\n"
        "  pais INTEGER NOT NULL,\n"
        "  nombre_equipo TEXT NOT NULL,\n"
        "  division INTEGER NOT NULL,\n"
        "  nacionalidad INTEGER NOT NULL,\n"
        "  nro_camiseta INTEGER NOT NULL,\n"
        "  nombre_jugador TEXT NOT NULL COLLATE NOCASE,\n"
        "  puesto INTEGER NOT NULL,\n"
        "  pase INTEGER NOT NULL,\n"
        "  tiro INTEGER NOT NULL,\n"
        "  cabeceo INTEGER NOT NULL,\n"
        "  quite INTEGER NOT NULL,\n"
        "  gambeta INTEGER NOT NULL,\n"
        "  velocidad INTEGER NOT NULL,\n"
        "  definicion INTEGER NOT NULL,\n"
        "  valor_pase INTEGER NOT NULL,\n"
        "  marca INTEGER NOT NULL DEFAULT 0,\n"
        "  nombre_clave TEXT NOT NULL DEFAULT '',\n"
        "  equipo INTEGER NOT NULL DEFAULT -1,\n"
        "  slot INTEGER NOT NULL DEFAULT -1\n"
        ")",
        {
            {"key_nombre", "CREATE INDEX key_nombre ON jugadores(nombre_clave) WHERE nombre_clave <> ''"},
            {"key_nacionalidad", "CREATE INDEX key_nacionalidad ON jugadores(nacionalidad)"},
            {"key_puesto", "CREATE INDEX key_puesto ON jugadores(puesto)"},
            {"key_pase", "CREATE INDEX key_pase ON jugadores(pase DESC)"},
            {"key_tiro", "CREATE INDEX key_tiro ON jugadores(tiro DESC)"},
            {"key_cabeceo", "CREATE INDEX key_cabeceo ON jugadores(cabeceo DESC)"},
            {"key_quite", "CREATE INDEX key_quite ON jugadores(quite DESC)"},
            {"key_gambeta", "CREATE INDEX key_gambeta ON jugadores(gambeta DESC)"},
            {"key_velocidad", "CREATE INDEX key_velocidad ON jugadores(velocidad DESC)"},
            {"key_definicion", "CREATE INDEX key_definicion ON jugadores(definicion DESC)"},
            {"key_precio", "CREATE INDEX key_precio ON jugadores(valor_pase)"},
            {"key_marca", "CREATE INDEX key_marca ON jugadores(marca) WHERE marca <> 0"},
            {"key_pais", "CREATE INDEX key_pais ON jugadores(pais)"},
        },
        {{"nombre_clave",
          {"ALTER TABLE jugadores ADD COLUMN nombre_clave TEXT NOT NULL DEFAULT ''",
           NameKeyFillSql("jugadores", "nombre_jugador", "nombre_clave")}},
         // Rows of an older build cannot tell where their player stands: -1 until the next build.
         {"equipo", {"ALTER TABLE jugadores ADD COLUMN equipo INTEGER NOT NULL DEFAULT -1"}},
         {"slot", {"ALTER TABLE jugadores ADD COLUMN slot INTEGER NOT NULL DEFAULT -1"}}},
    };
    return schema;
}

Error DatabaseError(const std::string& what, const std::string& path, const std::exception& e) {
    return Error{what + " in the player database " + path + ": " + SqliteReason(e)};
}

} // namespace

const KeyedFileSchema& PlayerDatabaseSchema() {
    return Schema();
}

const char* const kPlayerColumns =
    "pais, nombre_equipo, division, nacionalidad, nro_camiseta, nombre_jugador, puesto, pase, tiro, cabeceo, "
    "quite, gambeta, velocidad, definicion, valor_pase, marca, equipo, slot";

const char* const kInsertPlayerSql =
    "INSERT INTO jugadores (pais, nombre_equipo, division, nacionalidad, nro_camiseta, nombre_jugador, "
    "puesto, pase, tiro, cabeceo, quite, gambeta, velocidad, definicion, valor_pase, marca, nombre_clave, "
    "equipo, slot) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19)";

std::string StoredFieldText(std::span<const std::uint8_t> field) {
    std::string text;
    StoreFieldText(field, text);
    return text;
}

void StoreFieldText(std::span<const std::uint8_t> field, std::string& out) {
    out.clear();
    for (std::uint8_t b : field) {
        if (b == 0) break;
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
}

void LoadFieldText(const std::string& stored, std::span<std::uint8_t> field) {
    // Text put there by other tools may hold characters without a Latin-1 form: those bytes are taken as
    // they are rather than losing the row.
    const std::string bytes = Utf8ToLatin1(stored).value_or(stored);
    std::fill(field.begin(), field.end(), std::uint8_t{0});
    std::copy_n(bytes.begin(), std::min(bytes.size(), field.size()), field.begin());
}

PlayerRow ReadPlayerColumns(SQLite::Statement& query, int first) {
    PlayerRow row;
    auto byte = [&](int i) { return static_cast<std::uint8_t>(query.getColumn(first + i).getInt()); };
    row.pais = byte(0);
    LoadFieldText(query.getColumn(first + 1).getString(), row.nombreEquipo);
    row.division = byte(2);
    row.nacionalidad = byte(3);
    row.nroCamiseta = byte(4);
    LoadFieldText(query.getColumn(first + 5).getString(), row.nombreJugador);
    row.puesto = byte(6);
    for (int s = 0; s < static_cast<int>(kSkillCount); ++s)
        row.skills[s] = byte(7 + s);
    row.valorPase = byte(14);
    row.marca = byte(15);
    row.equipo = query.getColumn(first + 16).getInt();
    row.slot = query.getColumn(first + 17).getInt();
    return row;
}

namespace {
void BindPlayerNumbers(SQLite::Statement& statement, const PlayerRow& row) {
    statement.bind(1, row.pais);
    statement.bind(3, row.division);
    statement.bind(4, row.nacionalidad);
    statement.bind(5, row.nroCamiseta);
    statement.bind(7, row.puesto);
    for (int s = 0; s < static_cast<int>(kSkillCount); ++s)
        statement.bind(8 + s, row.skills[s]);
    statement.bind(15, row.valorPase);
    statement.bind(16, row.marca);
    // Statements written before the team's place was kept have fewer parameters.
    if (statement.getBindParameterCount() >= 19) {
        statement.bind(18, row.equipo);
        statement.bind(19, row.slot);
    }
}
} // namespace

void BindPlayerRow(SQLite::Statement& statement, const PlayerRow& row) {
    BindPlayerNumbers(statement, row);
    statement.bind(2, StoredFieldText(row.nombreEquipo));
    statement.bind(6, StoredFieldText(row.nombreJugador));
    // Statements written before the folded name keep their sixteen parameters.
    if (statement.getBindParameterCount() >= 17) statement.bind(17, NameKey(FieldValue(row.nombreJugador)));
}

Result<PlayerDatabase> PlayerDatabase::Open(const std::string& path, bool createIfMissing) {
    auto db = ConnectKeyedFile(Schema(), path, createIfMissing);
    if (!db) return db.error();
    return PlayerDatabase(path, std::move(*db));
}

Result<PlayerDatabase> PlayerDatabase::OpenReadOnly(const std::string& path, OpenAttempt& attempt) {
    auto db = ConnectKeyedFileReadOnly(Schema(), path, attempt);
    if (!db) return db.error();
    return PlayerDatabase(path, std::move(*db));
}

Result<PlayerDatabase> PlayerDatabase::OpenForReplace(const std::string& path) {
    auto db = ConnectKeyedFile(Schema(), path, true);
    if (db) return PlayerDatabase(path, std::move(*db));
    // Not a database (or another kind of database): the build replaces the file whatever it held.
    auto check = OpenKeyedFile(Schema(), path, true, 0);
    if (check.failure != OpenFailure::InvalidFile) return db.error();
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path + suffix, ec);
    db = ConnectKeyedFile(Schema(), path, true);
    if (!db) return db.error();
    return PlayerDatabase(path, std::move(*db));
}

Result<std::int64_t> PlayerDatabase::CountRows() {
    try {
        return static_cast<std::int64_t>(db_.execAndGet("SELECT count(*) FROM jugadores").getInt64());
    } catch (const std::exception& e) {
        return DatabaseError("Cannot count the rows", path_, e);
    }
}

Result<std::int64_t> PlayerDatabase::CountMarked(std::uint8_t mark) {
    try {
        // Both forms are answered by the mark order, which holds only marked rows.
        SQLite::Statement query(db_, mark == 0 ? "SELECT count(*) FROM jugadores WHERE marca <> 0"
                                               : "SELECT count(*) FROM jugadores WHERE marca = ?");
        if (mark != 0) query.bind(1, static_cast<int>(mark));
        query.executeStep();
        return static_cast<std::int64_t>(query.getColumn(0).getInt64());
    } catch (const std::exception& e) {
        return DatabaseError("Cannot count the marked rows", path_, e);
    }
}

Result<std::optional<StoredPlayer>> PlayerDatabase::Get(std::int64_t id) {
    try {
        SQLite::Statement query(db_,
                                std::string("SELECT id, ") + kPlayerColumns + " FROM jugadores WHERE id = ?");
        query.bind(1, static_cast<std::int64_t>(id));
        if (!query.executeStep()) return std::optional<StoredPlayer>{};
        return std::optional<StoredPlayer>{
            StoredPlayer{query.getColumn(0).getInt64(), ReadPlayerColumns(query, 1)}};
    } catch (const std::exception& e) {
        return DatabaseError("Cannot read row " + std::to_string(id), path_, e);
    }
}

Result<std::int64_t> PlayerDatabase::Add(const PlayerRow& row) {
    try {
        SQLite::Statement insert(db_, kInsertPlayerSql);
        BindPlayerRow(insert, row);
        insert.exec();
        return static_cast<std::int64_t>(db_.getLastInsertRowid());
    } catch (const std::exception& e) {
        return DatabaseError("Cannot add a row", path_, e);
    }
}

Status PlayerDatabase::Put(std::int64_t id, const PlayerRow& row) {
    try {
        SQLite::Statement update(
            db_,
            "UPDATE jugadores SET pais = ?1, nombre_equipo = ?2, division = ?3, nacionalidad = ?4, "
            "nro_camiseta = ?5, nombre_jugador = ?6, puesto = ?7, pase = ?8, tiro = ?9, cabeceo = ?10, "
            "quite = ?11, gambeta = ?12, velocidad = ?13, definicion = ?14, valor_pase = ?15, marca = ?16, "
            "nombre_clave = ?17, equipo = ?18, slot = ?19 WHERE id = ?20");
        BindPlayerRow(update, row);
        update.bind(20, static_cast<std::int64_t>(id));
        if (update.exec() != 1)
            return Error{"Cannot rewrite row " + std::to_string(id) + " of " + path_ + ": it is gone"};
        return {};
    } catch (const std::exception& e) {
        return DatabaseError("Cannot rewrite row " + std::to_string(id), path_, e);
    }
}

Status PlayerDatabase::Delete(std::int64_t id) {
    try {
        SQLite::Statement erase(db_, "DELETE FROM jugadores WHERE id = ?");
        erase.bind(1, static_cast<std::int64_t>(id));
        if (erase.exec() != 1)
            return Error{"Cannot delete row " + std::to_string(id) + " of " + path_ + ": it is gone"};
        return {};
    } catch (const std::exception& e) {
        return DatabaseError("Cannot delete row " + std::to_string(id), path_, e);
    }
}

Result<PlayerDatabaseLoad> PlayerDatabaseLoad::Begin(PlayerDatabase& database) {
    auto& db = database.connection();
    try {
        auto transaction = std::make_unique<SQLite::Transaction>(db, SQLite::TransactionBehavior::IMMEDIATE);
        // A larger cache lets the thirteen index sorts of a big build run in memory (about 16 MB at most).
        db.exec("PRAGMA cache_size = -16384");
        // Dropping the table takes its orders with it; rows go in first and the orders are built once.
        db.exec("DROP TABLE IF EXISTS jugadores");
        db.exec(Schema().createTable);
        auto insert = std::make_unique<SQLite::Statement>(db, kInsertPlayerSql);
        return PlayerDatabaseLoad(database, std::move(transaction), std::move(insert));
    } catch (const std::exception& e) {
        return DatabaseError("Cannot start replacing the rows", database.path(), e);
    }
}

Status PlayerDatabaseLoad::Append(const PlayerRow& row) {
    if (!insert_) return Error{"The load of " + database_->path() + " is already finished"};
    try {
        BindPlayerNumbers(*insert_, row);
        // The bulk load binds its texts without copying them once more.
        StoreFieldText(row.nombreEquipo, team_);
        StoreFieldText(row.nombreJugador, name_);
        key_ = NameKey(FieldValue(row.nombreJugador));
        insert_->bindNoCopy(2, team_);
        insert_->bindNoCopy(6, name_);
        insert_->bindNoCopy(17, key_);
        insert_->exec();
        insert_->reset();
        return {};
    } catch (const std::exception& e) {
        return DatabaseError("Cannot append a row", database_->path(), e);
    }
}

Status PlayerDatabaseLoad::Finish() {
    if (!insert_) return Error{"The load of " + database_->path() + " is already finished"};
    insert_.reset();
    try {
        CreateKeyedFileSchema(database_->connection(), Schema());
        transaction_->commit();
        transaction_.reset();
        return {};
    } catch (const std::exception& e) {
        transaction_.reset();
        return DatabaseError("Cannot build the orders", database_->path(), e);
    }
}

} // namespace kivo
