#include "core/players/ProcesoActualizacionArchivo.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "core/gamefiles/TeamFile.h"
#include "core/players/PlayerDatabase.h"
#include "core/support/FixedText.h"

namespace kivo {

std::uint16_t TeamFileNumberOf(const std::string& fileName) {
    const std::string name = TrimRight(fileName);
    if (name.size() < 3) return 0;
    int number = 0;
    for (char c : name.substr(name.size() - 3)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    return static_cast<std::uint16_t>(number);
}

Status CheckUpdateNumber(const std::string& fileName, std::uint16_t fileNumber) {
    const std::string name = TrimRight(fileName);
    const bool named =
        name.size() >= 3 && name.find_first_not_of("0123456789", name.size() - 3) == std::string::npos;
    if (!named)
        return Error{"The file name " + name +
                     " does not end in a team file number (like TEAM.005): the rows "
                     "of number " +
                     std::to_string(fileNumber) + " would be replaced by players of another file."};
    const std::uint16_t fromName = TeamFileNumberOf(fileName);
    if (fromName != fileNumber)
        return Error{"The file " + name + " is team file number " + std::to_string(fromName) + ", not " +
                     std::to_string(fileNumber) + ": updating would delete the players of number " +
                     std::to_string(fileNumber) + " and add those of " + std::to_string(fromName) +
                     " twice."};
    return {};
}

Result<PlayerUpdateSummary> ProcesoActualizacionArchivo(PlayerDatabase& database, const std::string& fileName,
                                                        std::uint16_t fileNumber, Progress& progress) {
    const std::string shown = TrimRight(fileName);
    auto file = TeamFile::Open(fileName, TeamFile::Mode::ReadOnly);
    if (!file) return Error{"File " + shown + " can not be opened.\nUpdate process is aborted !"};
    if (!file->CheckHeader())
        return Error{"File " + shown + " can not be read.\nUpdate process is aborted !"};

    PlayerUpdateSummary summary;
    auto& db = database.connection();
    try {
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);

        ProgressState deleting;
        deleting.title = "Deleting Players";
        // The number follows the text directly, with no second blank before it.
        deleting.label1 = "Deleting old Players From TEAM: " + std::to_string(fileNumber);
        deleting.label2 = "Deleting Player:";
        progress.Update(deleting);
        // A number above 255 is no country code: no row carries it.
        if (fileNumber <= 255) {
            SQLite::Statement rows(db, "SELECT id, nombre_jugador FROM jugadores WHERE pais = ? ORDER BY id");
            SQLite::Statement erase(db, "DELETE FROM jugadores WHERE id = ?");
            rows.bind(1, fileNumber);
            while (rows.executeStep()) {
                deleting.text2 = Utf8ToLatin1(rows.getColumn(1).getString()).value_or("").substr(0, 20);
                progress.Update(deleting);
                erase.bind(1, rows.getColumn(0).getInt64());
                erase.exec();
                erase.reset();
                ++summary.deleted;
            }
        }

        ProgressState updating;
        updating.title = "Updating File";
        updating.label1 = "Reading File:";
        updating.value1 = fileNumber;
        updating.label2 = "Team:";
        SQLite::Statement insert(db, kInsertPlayerSql);
        for (std::uint64_t k = 0;; ++k) {
            updating.value2 = static_cast<long long>(k) + 1;
            progress.Update(updating);
            auto team = file->ReadTeam(k);
            if (!team) break;
            ++summary.teams;
            for (std::size_t slot = 0; slot < kPlayersPerTeam; ++slot) {
                BindPlayerRow(insert, MakePlayerRow(*team, slot, static_cast<std::int64_t>(k)));
                insert.exec();
                insert.reset();
                ++summary.added;
            }
        }
        transaction.commit();
    } catch (const std::exception& e) {
        return Error{"The player database " + database.path() + " could not be updated from " + shown + ": " +
                     SqliteReason(e) + "\nNothing was changed."};
    }
    ProgressState done;
    done.title = "Updating File";
    done.label1 = "Reading File:";
    progress.Update(done);
    return summary;
}

} // namespace kivo
