#include <SQLiteCpp/Statement.h>

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/KeyedFileOpen.h"
#include "core/players/ProcesoActualizacionArchivo.h"
#include "core/players/TeamRowsRefresh.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;

// Files 1 and 3 with three and two teams, built.
class PlayerPlacesTest : public testing::TeamFilesTest {
protected:
    std::optional<PlayerDatabase> db;

    void SetUp() override {
        WriteTeamFile(1, {MakeTeam(1, "ONE A", 0, 1), MakeTeam(1, "ONE B", 0, 2), MakeTeam(1, "ONE C", 0, 3)});
        WriteTeamFile(3, {MakeTeam(3, "THREE A", 0, 4), MakeTeam(3, "THREE B", 0, 5)});
        ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
        db.emplace(OpenDatabase());
    }
    // "team/slot=name" of every row of one country, in team and slot order.
    std::string Places(int pais) {
        SQLite::Statement q(db->connection(), "SELECT equipo, slot, nombre_jugador FROM jugadores WHERE pais = ? "
                                              "ORDER BY equipo, slot");
        q.bind(1, pais);
        std::string out;
        while (q.executeStep())
            out += q.getColumn(0).getString() + "/" + q.getColumn(1).getString() + "=" +
                   q.getColumn(2).getString() + ";";
        return out;
    }
    static std::string Expected(const std::vector<std::string>& teams) {
        std::string out;
        for (std::size_t t = 0; t < teams.size(); ++t)
            for (int s = 1; s <= 16; ++s)
                out += std::to_string(t) + "/" + std::to_string(s) + "=" + teams[t] + " P" + std::to_string(s) +
                       ";";
        return out;
    }
};

TEST_F(PlayerPlacesTest, TheBuildAndTheUpdateKeepEachPlayersTeamAndSlot) {
    EXPECT_EQ(Places(1), Expected({"ONE A", "ONE B", "ONE C"}));
    EXPECT_EQ(Places(3), Expected({"THREE A", "THREE B"}));
    EXPECT_EQ(*DatabaseKeepsPlayerPlaces(*db), true);
    WriteTeamFile(3, {MakeTeam(3, "NEW A", 0, 6), MakeTeam(3, "NEW B", 0, 7), MakeTeam(3, "NEW C", 0, 8)});
    ASSERT_TRUE(ProcesoActualizacionArchivo(*db, TeamFile(3), 3, quiet).ok());
    EXPECT_EQ(Places(3), Expected({"NEW A", "NEW B", "NEW C"}));
    // Read back through the row reader too.
    auto stored = db->Get(16 + 2);
    ASSERT_TRUE(stored.ok() && stored->has_value());
    EXPECT_EQ((*stored)->row.equipo, 1);
    EXPECT_EQ((*stored)->row.slot, 2);
}

TEST_F(PlayerPlacesTest, ARefreshRewritesOneTeamsRowsKeepingTheirMarks) {
    db->connection().exec("UPDATE jugadores SET marca = 7 WHERE pais = 1 AND equipo = 1 AND slot IN (2, 9)");
    db->connection().exec("UPDATE jugadores SET marca = 3 WHERE pais = 1 AND equipo = 2 AND slot = 2");
    // Slot 16's row went missing (a row deleted by hand): the refresh adds it back.
    db->connection().exec("DELETE FROM jugadores WHERE pais = 1 AND equipo = 1 AND slot = 16");
    TeamRecord saved = MakeTeam(1, "RENAMED", 2, 40);
    auto summary = RefreshTeamRows(*db, 1, 1, saved);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(summary->rewritten, 15);
    EXPECT_EQ(summary->added, 1);
    EXPECT_EQ(Places(1), Expected({"ONE A", "RENAMED", "ONE C"}));
    EXPECT_EQ(Count("pais = 1 AND equipo = 1 AND marca = 7"), 2);
    EXPECT_EQ(Count("pais = 1 AND equipo = 1 AND slot = 9 AND marca = 7 AND division = 2"), 1);
    EXPECT_EQ(Count("pais = 1 AND equipo = 2 AND slot = 2 AND marca = 3"), 1);
    EXPECT_EQ(Count("pais = 1 AND equipo = 1 AND slot = 16 AND marca = 0"), 1);
    // Every field of a refreshed row is the one the build makes.
    SQLite::Statement q(db->connection(),
                        std::string("SELECT ") + kPlayerColumns + " FROM jugadores WHERE pais = 1 AND equipo = 1 "
                                                                  "AND slot = 5");
    ASSERT_TRUE(q.executeStep());
    EXPECT_EQ(ReadPlayerColumns(q, 0), MakePlayerRow(saved, 4, 1));
    EXPECT_EQ(Count("1"), 5 * 16);
}

TEST_F(PlayerPlacesTest, AnOlderDatabaseIsMendedByTheKeyRebuildAndSaysItLacksThePlaces) {
    db->connection().exec("UPDATE jugadores SET marca = 4 WHERE id = 2");
    db->connection().exec("ALTER TABLE jugadores DROP COLUMN equipo");
    db->connection().exec("ALTER TABLE jugadores DROP COLUMN slot");
    db.reset();
    const OpenAttempt older = OpenPlayerDatabaseFile(dbPath, false);
    EXPECT_EQ(older.failure, OpenFailure::KeysInvalid);
    EXPECT_EQ(older.reason, "column equipo is missing (1)");
    ASSERT_TRUE(RebuildPlayerDatabaseKeys(dbPath).ok());
    ASSERT_TRUE(OpenPlayerDatabaseFile(dbPath, false).ok());
    db.emplace(OpenDatabase());
    EXPECT_EQ(Count("marca = 4"), 1);
    EXPECT_EQ(Count("equipo = -1 AND slot = -1"), 5 * 16);
    EXPECT_EQ(*DatabaseKeepsPlayerPlaces(*db), false);
    db.reset();
    ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
    db.emplace(OpenDatabase());
    EXPECT_EQ(*DatabaseKeepsPlayerPlaces(*db), true);
    EXPECT_EQ(Places(1), Expected({"ONE A", "ONE B", "ONE C"}));
}

} // namespace
} // namespace kivo
