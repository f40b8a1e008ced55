#include "core/teams/TeamBrowsing.h"

#include <gtest/gtest.h>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/support/FixedText.h"

namespace kivo {
namespace {

TeamRecord Team(std::uint8_t country, std::uint8_t division, const char* name, const char* coach) {
    TeamRecord r;
    r.pais = country;
    r.division = division;
    StoreText(r.nombreEquipo, name);
    StoreText(r.nombreEntrenador, coach);
    return r;
}

TEST(TeamRow, CountryNameDivisionCoachAndPointsFromZeroToFiftyFiveTwenty) {
    TeamRecord r = Team(74, 1, "ARSENAL", "GRAHAM");
    r.jugador[0].passing = 200;
    r.jugador[0].shootingYHeading = 0x12;
    r.jugador[15].speedYFinishing = 0xF0;
    const TeamRow row = MakeTeamRow(r);
    EXPECT_EQ(row.country, 74);
    EXPECT_EQ(row.teamName, "ARSENAL            ");
    EXPECT_EQ(row.division, "First     ");
    EXPECT_EQ(row.coach, "GRAHAM                  ");
    EXPECT_EQ(row.points, 200u + 1 + 2 + 15);
    // From 0 to 16 x (255 + 6 x 15).
    EXPECT_EQ(MakeTeamRow(TeamRecord{}).points, 0u);
    for (PlayerSlot& s : r.jugador) {
        s.passing = 255;
        s.shootingYHeading = s.tacklingYBallControl = s.speedYFinishing = 0xFF;
    }
    EXPECT_EQ(MakeTeamRow(r).points, 5520u);
}

TEST(TeamRow, DivisionWithoutTextKeepsTheRowBuffersText) {
    const std::vector<TeamRecord> teams = {Team(1, 9, "A", ""), Team(1, 0, "B", ""), Team(1, 200, "C", ""),
                                           Team(1, 4, "D", "")};
    const std::vector<TeamRow> rows = MakeTeamRows(teams);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].division, "          "); // blank for the first row of a new list
    EXPECT_EQ(rows[1].division, *DivisionText(0));
    EXPECT_EQ(rows[2].division, *DivisionText(0)); // the previous row's text
    EXPECT_EQ(rows[3].division, *DivisionText(4));
    // A rebuilt row keeps its own earlier text.
    EXPECT_EQ(MakeTeamRow(teams[2], rows[3].division).division, *DivisionText(4));
    EXPECT_TRUE(MakeTeamRows({}).empty());
}

TEST(TeamCopyBuffer, RecordBytesThenBlanks) {
    TeamRecord r = Team(8, 2, "LEEDS", "WILKINSON");
    r.nroEquipoGral = 0x1234;
    const std::string buffer = TeamCopyBufferOf(r);
    ASSERT_EQ(buffer.size(), 1000u);
    const TeamRecordBytes bytes = SerializeTeamRecord(r);
    EXPECT_EQ(buffer.substr(0, 684), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(buffer.substr(684), std::string(316, ' '));
    EXPECT_TRUE(HoldsCopiedTeam(buffer));
    EXPECT_TRUE(HoldsCopiedTeam(TeamCopyBufferOf(TeamRecord{}))); // zero bytes are not blanks
    EXPECT_FALSE(HoldsCopiedTeam(""));
    EXPECT_FALSE(HoldsCopiedTeam(std::string(1000, ' ')));
}

TEST(PasteTeam, KeepsTheTargetsTwoNumbersAndTakesTheSourcesCountry) {
    TeamRecord source = Team(8, 1, "LIVERPOOL", "DALGLISH");
    source.nroEquipo = 3;
    source.nroEquipoGral = 300;
    source.nroCero = 9;
    source.jugador[4].passing = 77;
    TeamRecord target = Team(35, 0, "BETIS", "SERRA");
    target.nroEquipo = 11;
    target.nroEquipoGral = 0xABCD;
    const TeamRecord pasted = PastedTeam(TeamCopyBufferOf(source), target);
    TeamRecord expected = source;
    expected.nroEquipo = 11;
    expected.nroEquipoGral = 0xABCD;
    EXPECT_EQ(pasted, expected);
    EXPECT_EQ(MakeTeamRow(pasted).country, 8);
    // Copy then paste on the same team rewrites it unchanged.
    EXPECT_EQ(PastedTeam(TeamCopyBufferOf(target), target), target);
    // Nothing copied: the target stays.
    EXPECT_EQ(PastedTeam("", target), target);
}

} // namespace
} // namespace kivo
