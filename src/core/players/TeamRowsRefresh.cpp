#include "core/players/TeamRowsRefresh.h"

#include "core/gamefiles/TeamFile.h"

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <utility>
#include <vector>

namespace kivo {
namespace {

// The rows of one team rewritten inside the caller's transaction.
Status RefreshRows(PlayerDatabase& database, int pais, std::int64_t teamIndex, const TeamRecord& team,
                   TeamRowsRefreshSummary& summary) {
    auto& db = database.connection();
    SQLite::Statement find(db, "SELECT id, marca FROM jugadores WHERE pais = ? AND equipo = ? AND slot = ?");
    for (std::size_t slot = 0; slot < kPlayersPerTeam; ++slot) {
        PlayerRow row = MakePlayerRow(team, slot, teamIndex);
        find.bind(1, pais);
        find.bind(2, static_cast<std::int64_t>(teamIndex));
        find.bind(3, static_cast<int>(slot) + 1);
        // The rows are read before any is rewritten, so that no rewrite moves under the query.
        std::vector<std::pair<std::int64_t, std::uint8_t>> rows;
        while (find.executeStep())
            rows.emplace_back(find.getColumn(0).getInt64(), static_cast<std::uint8_t>(find.getColumn(1).getInt()));
        find.reset();
        for (const auto& [id, mark] : rows) {
            row.marca = mark;
            if (Status put = database.Put(id, row); !put) return put;
            ++summary.rewritten;
        }
        if (rows.empty()) {
            row.marca = 0;
            if (auto added = database.Add(row); !added) return added.error();
            ++summary.added;
        }
    }
    return {};
}

} // namespace

Result<TeamRowsRefreshSummary> RefreshTeamRows(PlayerDatabase& database, int pais, std::int64_t teamIndex,
                                               const TeamRecord& team) {
    TeamRowsRefreshSummary summary;
    try {
        SQLite::Transaction transaction(database.connection(), SQLite::TransactionBehavior::IMMEDIATE);
        if (Status done = RefreshRows(database, pais, teamIndex, team, summary); !done) return done.error();
        transaction.commit();
    } catch (const std::exception& e) {
        return Error{"The players of team " + std::to_string(teamIndex) + " could not be refreshed in " +
                     database.path() + ": " + SqliteReason(e)};
    }
    return summary;
}

Result<TeamRowsRefreshSummary> RefreshFileRows(PlayerDatabase& database, const std::string& path,
                                               int fileNumber) {
    auto teams = ReadTeams(path);
    if (!teams) return teams.error();
    TeamRowsRefreshSummary summary;
    try {
        auto& db = database.connection();
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        for (std::size_t k = 0; k < teams->size(); ++k)
            if (Status done = RefreshRows(database, fileNumber, static_cast<std::int64_t>(k), (*teams)[k], summary);
                !done)
                return done.error();
        SQLite::Statement gone(db, "DELETE FROM jugadores WHERE pais = ? AND equipo >= ?");
        gone.bind(1, fileNumber);
        gone.bind(2, static_cast<std::int64_t>(teams->size()));
        gone.exec();
        transaction.commit();
    } catch (const std::exception& e) {
        return Error{"The players of " + path + " could not be refreshed in " + database.path() + ": " +
                     SqliteReason(e)};
    }
    return summary;
}

Result<bool> DatabaseKeepsPlayerPlaces(PlayerDatabase& database) {
    try {
        SQLite::Statement q(database.connection(),
                            "SELECT EXISTS (SELECT 1 FROM jugadores WHERE equipo < 0 OR slot < 1)");
        q.executeStep();
        return q.getColumn(0).getInt() == 0;
    } catch (const std::exception& e) {
        return Error{"Cannot read " + database.path() + ": " + SqliteReason(e)};
    }
}

} // namespace kivo
