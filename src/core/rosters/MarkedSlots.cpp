#include "core/rosters/MarkedSlots.h"

#include <map>
#include <optional>

#include <SQLiteCpp/Statement.h>

#include "core/gamefiles/Catalogue.h"
#include "core/gamefiles/TeamFileImage.h"
#include "core/players/KeyedFile.h"
#include "core/players/PlayerDatabase.h"
#include "core/support/FixedText.h"

namespace kivo {

Result<MarkedSlots> FindMarkedSlots(PlayerDatabase& database, const std::string& dataDirectory, int mark) {
    MarkedSlots out;
    std::map<int, std::optional<TeamFileImage>> images;
    std::string problems;
    std::size_t problemCount = 0;
    auto problem = [&](const PlayerRow& row, const std::string& why) {
        if (++problemCount <= 20)
            problems += "\n  " + Latin1ToUtf8(FieldValue(row.nombreJugador)) + " (file " +
                        std::to_string(row.pais) + ", team " + std::to_string(row.equipo) + ", slot " +
                        std::to_string(row.slot) + "): " + why;
    };
    try {
        SQLite::Statement query(database.connection(),
                                std::string("SELECT ") + kPlayerColumns +
                                    " FROM jugadores WHERE marca = ? ORDER BY pais, equipo, slot");
        query.bind(1, mark);
        while (query.executeStep()) {
            const PlayerRow row = ReadPlayerColumns(query, 0);
            ++out.players;
            if (row.equipo < 0 || row.slot < 1 || row.slot > static_cast<int>(kPlayersPerTeam)) {
                problem(row, "the players file does not keep this player's team and slot");
                continue;
            }
            auto [it, added] = images.try_emplace(row.pais);
            if (added) {
                auto image = LoadTeamFileImage(BatchTeamFilePath(dataDirectory, row.pais));
                if (image) {
                    it->second = std::move(*image);
                    out.files.push_back(it->second->path);
                }
            }
            if (!it->second) {
                problem(row, "its team file cannot be read");
                continue;
            }
            const TeamFileImage& image = *it->second;
            if (static_cast<std::uint64_t>(row.equipo) >= image.teamCount()) {
                problem(row, "its file has no such team");
                continue;
            }
            const TeamRecord team = image.team(static_cast<std::uint64_t>(row.equipo));
            const std::size_t slot = static_cast<std::size_t>(row.slot - 1);
            if (FieldValue(team.jugador[slot].nombreJugador) != FieldValue(row.nombreJugador) ||
                FieldValue(team.nombreEquipo) != FieldValue(row.nombreEquipo)) {
                problem(row, "the slot holds another player now");
                continue;
            }
            out.selection.insert({image.path, static_cast<std::uint64_t>(row.equipo), slot});
        }
    } catch (const std::exception& e) {
        return Error{"The player database " + database.path() + " could not be read: " + SqliteReason(e)};
    }
    if (problemCount > 0)
        return Error{std::to_string(problemCount) + " marked players cannot be found in the team files of " +
                     dataDirectory + "; rebuild the players file (kivo-cli players build " + dataDirectory +
                     ") and mark them again. Nothing was priced." + problems +
                     (problemCount > 20 ? "\n  ..." : "")};
    return out;
}

} // namespace kivo
