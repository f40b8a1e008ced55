#include "core/players/ProcesoActualizacionArchivo.h"

#include "core/players/CrearArchivoJugadores.h"
#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;

// Files 1, 2 and 3 with two teams each, built; the tests then edit one file and update it.
class UpdateTest : public testing::TeamFilesTest {
protected:
    std::optional<PlayerDatabase> db;

    void SetUp() override {
        for (std::uint8_t n = 1; n <= 3; ++n)
            WriteTeamFile(n, {MakeTeam(n, "OLD A" + std::to_string(n), 0, n),
                              MakeTeam(n, "OLD B" + std::to_string(n), 1, n + 10)});
        ASSERT_TRUE(CrearArchivoJugadores(dbPath, data, quiet).ok());
        db.emplace(OpenDatabase());
    }
    Result<PlayerUpdateSummary> Update(const std::string& file, int number) {
        return ProcesoActualizacionArchivo(*db, file, static_cast<std::uint16_t>(number), quiet);
    }
    // Country, team, player name and mark of every row, in the database's order.
    std::string Snapshot() {
        return db->connection()
            .execAndGet(
                "SELECT group_concat(pais || '/' || nombre_equipo || '/' || nombre_jugador || '/' || marca, "
                "';') FROM (SELECT * FROM jugadores ORDER BY pais, id)")
            .getString();
    }
};

TEST_F(UpdateTest, ReplacesTheRowsOfTheFileAndDropsOnlyTheirMarks) {
    db->connection().exec("UPDATE jugadores SET marca = 5 WHERE id % 2 = 0");
    const int marksElsewhere = Count("pais <> 2 AND marca = 5");
    WriteTeamFile(2, {MakeTeam(2, "NEW A", 0, 50), MakeTeam(2, "NEW B", 0, 51), MakeTeam(2, "NEW C", 0, 52)});
    testing::RecordingProgress progress;
    auto summary = ProcesoActualizacionArchivo(*db, TeamFile(2), 2, progress);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    // The deleting line has the number right after its text: no second number a display would add a blank
    // before.
    ASSERT_FALSE(progress.states.empty());
    EXPECT_EQ(progress.states[0].title, "Deleting Players");
    EXPECT_EQ(progress.states[0].label1, "Deleting old Players From TEAM: 2");
    EXPECT_EQ(progress.states[0].value1, -1);
    EXPECT_EQ(summary->deleted, 32);
    EXPECT_EQ(summary->teams, 3);
    EXPECT_EQ(summary->added, 48);
    EXPECT_EQ(Count("pais = 2 AND nombre_equipo LIKE 'NEW%' AND marca = 0"), 48);
    EXPECT_EQ(Count("pais <> 2 AND marca = 5"), marksElsewhere);
    EXPECT_EQ(Count("1"), 32 + 48 + 32);
}

TEST(CheckUpdateNumber, TheNumberMustBeTheOneTheFileNameEndsIn) {
    EXPECT_TRUE(CheckUpdateNumber("/data/TEAM.005", 5).ok());
    EXPECT_TRUE(CheckUpdateNumber("c:\\kivo\\data\\team.074  ", 74).ok());
    const Status other = CheckUpdateNumber("/data/TEAM.005", 6);
    ASSERT_FALSE(other.ok());
    EXPECT_EQ(other.error().text,
              "The file /data/TEAM.005 is team file number 5, not 6: updating would delete "
              "the players of number 6 and add those of 5 twice.");
    const Status unnamed = CheckUpdateNumber("/data/EUROCUP.TMD", 0);
    ASSERT_FALSE(unnamed.ok());
    EXPECT_NE(unnamed.error().text.find("does not end in a team file number"), std::string::npos);
    EXPECT_FALSE(CheckUpdateNumber("5", 5).ok());
}

TEST_F(UpdateTest, TwiceIsTheSameAsOnce) {
    WriteTeamFile(3, {MakeTeam(3, "NEW", 2, 70)});
    ASSERT_TRUE(Update(TeamFile(3), 3).ok());
    const auto once = Snapshot();
    ASSERT_TRUE(Update(TeamFile(3), 3).ok());
    EXPECT_EQ(Snapshot(), once);
}

// The rows of the number typed go; the file's teams come in with their own codes.
struct NumberCase {
    const char* name;
    int file;
    bool headerOnly;
    int number;
    int deleted, added, rowsOfNumber, rowsOfFileCode, total;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.name;
}

class UpdateNumberTest : public UpdateTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(UpdateNumberTest, DeletesTheNumbersRowsAndAddsTheFiles) {
    const NumberCase& c = GetParam();
    if (c.headerOnly) testing::WriteBytes(TeamFile(c.file), {0, 0});
    auto summary = Update(TeamFile(c.file), c.number);
    ASSERT_TRUE(summary.ok()) << summary.error().text;
    EXPECT_EQ(summary->deleted, c.deleted);
    EXPECT_EQ(summary->added, c.added);
    EXPECT_EQ(Count("pais = " + std::to_string(c.number)), c.rowsOfNumber);
    EXPECT_EQ(Count("pais = " + std::to_string(c.file)), c.rowsOfFileCode);
    EXPECT_EQ(Count("1"), c.total);
}

INSTANTIATE_TEST_SUITE_P(Numbers, UpdateNumberTest,
                         ::testing::Values(NumberCase{"other", 1, false, 2, 32, 32, 0, 64, 96},
                                           NumberCase{"above255", 1, false, 257, 0, 32, 0, 64, 128},
                                           NumberCase{"headerOnly", 3, true, 3, 32, 0, 0, 0, 64}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateTest, FailuresLeaveTheDatabaseAsItWas) {
    const auto before = Snapshot();
    auto missing = Update(dir.file("nothing/TEAM.002") + "   ", 2);
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().text,
              "File " + dir.file("nothing/TEAM.002") + " can not be opened.\nUpdate process is aborted !");
    testing::WriteBytes(TeamFile(2), {});
    auto empty = Update(TeamFile(2), 2);
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().text, "File " + TeamFile(2) + " can not be read.\nUpdate process is aborted !");

    // A database step that fails after the deletes undoes them.
    db->connection().exec(
        "CREATE TRIGGER refuse BEFORE INSERT ON jugadores WHEN NEW.nombre_jugador = 'NEW P9' "
        "BEGIN SELECT RAISE(ABORT, 'disk is full'); END");
    WriteTeamFile(2, {MakeTeam(2, "NEW")});
    auto failed = Update(TeamFile(2), 2);
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().text.find("disk is full"), std::string::npos) << failed.error().text;
    EXPECT_EQ(Snapshot(), before);
}

TEST(TeamFileNumberOf, LastThreeCharactersOrZero) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"/data/TEAM.005", 5}, {"c:\\data\\TEAM.074  ", 74}, {"TEAM.999", 999}, {"Eurocup.tmd", 0}, {"05", 0},
        {"TEAM.0x5", 0}};
    for (const auto& [name, number] : cases)
        EXPECT_EQ(TeamFileNumberOf(name), number) << name;
}

} // namespace
} // namespace kivo
