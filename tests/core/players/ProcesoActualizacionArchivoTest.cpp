#include "core/players/ProcesoActualizacionArchivo.h"

#include <gtest/gtest.h>
#include <SQLiteCpp/Database.h>

#include "core/gamefiles/Catalogue.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/players/PlayerDatabase.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::RecordingProgress;
using testing::TeamFileBytes;
using testing::TempDir;
using testing::WriteBytes;

// Files 1, 2 and 3 with two teams each, built; the tests then edit one file and update it.
class UpdateTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string data = dir.file("data");
    std::string dbPath = dir.file("JUGADORES");
    std::optional<PlayerDatabase> db;

    void SetUp() override {
        std::filesystem::create_directories(data);
        for (std::uint8_t n = 1; n <= 3; ++n)
            WriteTeamFile(n, {MakeTeam(n, "OLD A" + std::to_string(n), 0, n),
                              MakeTeam(n, "OLD B" + std::to_string(n), 1, n + 10)});
        NoProgress quiet;
        ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
        auto opened = PlayerDatabase::Open(dbPath, false);
        ASSERT_TRUE(opened.ok());
        db.emplace(std::move(*opened));
    }
    std::string FilePath(int n) { return BatchTeamFilePath(data, n); }
    void WriteTeamFile(int n, const std::vector<TeamRecord>& teams) {
        WriteBytes(FilePath(n), TeamFileBytes(teams));
    }

    // (pais, team name, mark) of every row, in the database's order.
    std::vector<std::tuple<int, std::string, int>> Snapshot() {
        std::vector<std::tuple<int, std::string, int>> rows;
        SQLite::Statement q(
            db->connection(),
            "SELECT pais, nombre_equipo || '/' || nombre_jugador, marca FROM jugadores ORDER BY pais, id");
        while (q.executeStep())
            rows.emplace_back(q.getColumn(0).getInt(), q.getColumn(1).getString(), q.getColumn(2).getInt());
        return rows;
    }
    int Count(const std::string& where) {
        return db->connection().execAndGet("SELECT count(*) FROM jugadores WHERE " + where).getInt();
    }
};

TEST_F(UpdateTest, ReplacesTheRowsOfTheFileAndDropsTheirMarks) {
    db->connection().exec("UPDATE jugadores SET marca = 5 WHERE id % 2 = 0");
    const int marksElsewhere = Count("pais <> 2 AND marca = 5");
    WriteTeamFile(2, {MakeTeam(2, "NEW A", 0, 50), MakeTeam(2, "NEW B", 0, 51), MakeTeam(2, "NEW C", 0, 52)});
    RecordingProgress progress;
    auto summary = ProcesoActualizacionArchivo(*db, FilePath(2), 2, progress);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(summary->deleted, 32);
    EXPECT_EQ(summary->teams, 3);
    EXPECT_EQ(summary->added, 48);
    EXPECT_EQ(Count("pais = 2"), 48);
    EXPECT_EQ(Count("pais = 2 AND nombre_equipo LIKE 'NEW%'"), 48);
    EXPECT_EQ(Count("pais = 2 AND marca <> 0"), 0);
    EXPECT_EQ(Count("pais <> 2 AND marca = 5"), marksElsewhere);
    EXPECT_EQ(Count("1"), 32 + 48 + 32);

    // Deleting shows each name cut to 20 characters; reading shows the team ordinal from 1.
    std::vector<std::string> names;
    std::vector<long long> teams;
    for (const auto& s : progress.states) {
        if (s.title == "Deleting Players" && !s.text2.empty()) names.push_back(s.text2);
        if (s.title == "Updating File" && s.value2 > 0) teams.push_back(s.value2);
        if (s.title == "Deleting Players") EXPECT_EQ(s.value1, 2);
    }
    ASSERT_EQ(names.size(), 32u);
    EXPECT_EQ(names[0], "OLD A2 P1");
    EXPECT_EQ(teams, (std::vector<long long>{1, 2, 3, 4}));
}

TEST_F(UpdateTest, TwiceIsTheSameAsOnce) {
    WriteTeamFile(3, {MakeTeam(3, "NEW", 2, 70)});
    NoProgress progress;
    ASSERT_TRUE(ProcesoActualizacionArchivo(*db, FilePath(3), 3, progress).ok());
    const auto once = Snapshot();
    ASSERT_TRUE(ProcesoActualizacionArchivo(*db, FilePath(3), 3, progress).ok());
    EXPECT_EQ(Snapshot(), once);
}

TEST_F(UpdateTest, NumberOtherThanTheFilesCodesDeletesThatNumber) {
    NoProgress progress;
    // File 1's teams carry code 1, but the user typed 2: file 2's rows go, file 1's appear twice.
    ASSERT_TRUE(ProcesoActualizacionArchivo(*db, FilePath(1), 2, progress).ok());
    EXPECT_EQ(Count("pais = 2"), 0);
    EXPECT_EQ(Count("pais = 1"), 64);
}

TEST_F(UpdateTest, NumberAbove255DeletesNothingButAdds) {
    NoProgress progress;
    auto summary = ProcesoActualizacionArchivo(*db, FilePath(1), 257, progress);
    ASSERT_TRUE(summary.ok());
    EXPECT_EQ(summary->deleted, 0);
    EXPECT_EQ(Count("pais = 1"), 64);
    EXPECT_EQ(Count("1"), 128);
}

TEST_F(UpdateTest, HeaderOnlyFileDeletesAndAddsNothing) {
    WriteBytes(FilePath(3), {0, 0});
    NoProgress progress;
    auto summary = ProcesoActualizacionArchivo(*db, FilePath(3), 3, progress);
    ASSERT_TRUE(summary.ok());
    EXPECT_EQ(summary->added, 0);
    EXPECT_EQ(Count("pais = 3"), 0);
    EXPECT_EQ(Count("1"), 64);
}

TEST_F(UpdateTest, UnopenableOrUnreadableFileAbortsBeforeAnyDelete) {
    const auto before = Snapshot();
    NoProgress progress;
    auto missing = ProcesoActualizacionArchivo(*db, dir.file("nothing/TEAM.002") + "   ", 2, progress);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().text,
              "File " + dir.file("nothing/TEAM.002") + " can not be opened.\nUpdate process is aborted !");
    WriteBytes(FilePath(2), {});
    auto empty = ProcesoActualizacionArchivo(*db, FilePath(2), 2, progress);
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().text, "File " + FilePath(2) + " can not be read.\nUpdate process is aborted !");
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(UpdateTest, DatabaseFailureUndoesTheDeletesAndAdds) {
    const auto before = Snapshot();
    db->connection().exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON jugadores WHEN NEW.nombre_jugador = 'NEW P9' "
        "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    WriteTeamFile(2, {MakeTeam(2, "NEW")});
    NoProgress progress;
    auto summary = ProcesoActualizacionArchivo(*db, FilePath(2), 2, progress);
    ASSERT_FALSE(summary.ok());
    EXPECT_NE(summary.error().text.find("disk is full"), std::string::npos) << summary.error().text;
    EXPECT_EQ(Snapshot(), before);
}

TEST(TeamFileNumberOf, LastThreeCharacters) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"/data/TEAM.005", 5},
        {"c:\\kivo\\data\\TEAM.074  ", 74},
        {"TEAM.255", 255},
        {"TEAM.999", 999},
        {"Eurocup.tmd", 0},
        {"05", 0},
        {"", 0},
        {"TEAM.0x5", 0},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(TeamFileNumberOf(name), number) << name;
}

} // namespace
} // namespace kivo
