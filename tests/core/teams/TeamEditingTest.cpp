#include "core/teams/TeamEditing.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "../TestFiles.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/TeamFile.h"
#include "core/prices/PriceLadder.h"
#include "core/support/FixedText.h"
#include "EditedTeam.h"

namespace kivo {
namespace {

using test::Bytes;
using test::BytesOf;
using test::NormalTeam;
using test::PutText;

TEST(OpenTeamEdit, KeepsTheOpenedBytesAndTheSlotsLineUpPlaces) {
    const TeamRecord r = NormalTeam();
    const TeamEditSession s = OpenTeamEdit(r);
    EXPECT_EQ(s.savedCopy, SerializeTeamRecord(r));
    for (std::size_t place = 1; place <= kPlayersPerTeam; ++place)
        EXPECT_EQ(s.lineupPlaces[r.titularesYSuplentes[place - 1]], place);
    EXPECT_EQ(s.state.team.teamName, PadBlank("NORTH UNITED", 19));
    EXPECT_EQ(s.state.team.mainKitDesign, 'H');
    EXPECT_EQ(s.state.team.secondKitDesign, 'M');
    EXPECT_FALSE(s.state.dropped);
    EXPECT_TRUE(SameEdits(s.state, s.opened));
    // Unchanged, a record in normal form is given back as it was.
    EXPECT_EQ(BytesOf(EncodeEdits(s.state)), BytesOf(r));
}

// What an unchanged editor writes for a record that is not in normal form, byte by byte.
TEST(EncodeEdits, WithoutChangesRewritesTheRecordInNormalForm) {
    TeamRecord odd = NormalTeam();
    std::fill(odd.nombreEquipo.begin(), odd.nombreEquipo.end(), ' ');
    std::copy_n("ABC", 3, odd.nombreEquipo.begin());
    std::fill(odd.nombreEntrenador.begin(), odd.nombreEntrenador.end(), ' ');
    std::fill(odd.jugador[4].nombreJugador.begin(), odd.jugador[4].nombreJugador.end(), ' ');
    std::copy_n("BLANKS", 6, odd.jugador[4].nombreJugador.begin());
    odd.jugador[2].posicionYAspecto = 0x67; // D, face 0, low bits set
    odd.jugador[6].passing = 20;
    odd.jugador[9].nroCamiseta = 7; // slot 7 already has 7
    odd.jugador[11].nroCamiseta = 0;

    TeamRecord expected = odd;
    PutText(expected.nombreEquipo, "ABC");
    PutText(expected.nombreEntrenador, "");
    PutText(expected.jugador[4].nombreJugador, "BLANKS");
    expected.jugador[2].posicionYAspecto = 0x60;
    expected.jugador[6].passing = 15;
    expected.jugador[9].nroCamiseta = 10; // the free numbers, smallest first
    expected.jugador[11].nroCamiseta = 12;

    const TeamEditSession s = OpenTeamEdit(odd);
    EXPECT_EQ(BytesOf(EncodeEdits(s.state)), BytesOf(expected));
    // The same difference makes an untouched window ask on Cancel.
    EXPECT_TRUE(CancelNeedsQuestion(s));
}

TEST(EncodeEdits, TwoRowsWithOneShirtNumberKeepItInTheUpperRow) {
    TeamEditSession s = OpenTeamEdit(NormalTeam());
    SetShirtNumber(s.state, 3, 7);  // row 4 takes row 7's number; 4 becomes free
    SetShirtNumber(s.state, 12, 7); // and row 13 too; 13 becomes free
    const TeamRecord out = EncodeEdits(s.state);
    EXPECT_EQ(out.jugador[3].nroCamiseta, 7);
    EXPECT_EQ(out.jugador[6].nroCamiseta, 4);
    EXPECT_EQ(out.jugador[12].nroCamiseta, 13);
}

// A stored name longer than its field, or with bytes after its zero byte, is kept until edited.
TEST(EncodeEdits, ANameLeftAloneKeepsItsStoredBytes) {
    TeamRecord r = NormalTeam();
    std::fill(r.jugador[0].nombreJugador.begin(), r.jugador[0].nombreJugador.end(), 'W'); // 23, no zero
    std::fill(r.nombreEquipo.begin(), r.nombreEquipo.end(), 'T');                         // 19, no zero
    const std::string odd("AB\0CD  ", 7);
    PutText(r.nombreEntrenador, "");
    PutText(r.jugador[3].nombreJugador, "");
    std::copy(odd.begin(), odd.end(), r.nombreEntrenador.begin());
    std::copy(odd.begin(), odd.end(), r.jugador[3].nombreJugador.begin());
    TeamEditSession s = OpenTeamEdit(r);
    EXPECT_EQ(BytesOf(EncodeEdits(s.state)), BytesOf(r));
    SetPlayerName(s.state, 0, "SHORT");
    SetTeamName(s.state, "NEW NAME");
    SetCoachName(s.state, "AB X");
    const TeamRecord out = EncodeEdits(s.state);
    EXPECT_EQ(FieldValue(out.jugador[0].nombreJugador), "SHORT");
    EXPECT_EQ(FieldValue(out.nombreEquipo), "NEW NAME");
    EXPECT_EQ(out.nombreEquipo[8], 0);
    EXPECT_EQ(FieldValue(out.nombreEntrenador), "AB X");
    EXPECT_EQ(out.nombreEntrenador[4], 0);
    EXPECT_EQ(out.jugador[3].nombreJugador, r.jugador[3].nombreJugador);
}

struct CancelCase {
    const char* name;
    void (*edit)(TeamEditState&);
    bool asks;
};

class CancelQuestion : public testing::TestWithParam<CancelCase> {};

TEST_P(CancelQuestion, AsksExactlyWhenTheEncodingDiffersOrAPlayerWasDropped) {
    TeamEditSession s = OpenTeamEdit(NormalTeam());
    GetParam().edit(s.state);
    EXPECT_EQ(CancelNeedsQuestion(s), GetParam().asks);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CancelQuestion,
    testing::Values(
        CancelCase{"Nothing", [](TeamEditState&) {}, false},
        CancelCase{"TeamName", [](TeamEditState& s) { SetTeamName(s, "OTHER"); }, true},
        CancelCase{"NameRetypedAsItWas", [](TeamEditState& s) { SetTeamName(s, "NORTH UNITED"); }, false},
        CancelCase{"TrailingBlanksOnly", [](TeamEditState& s) { SetCoachName(s, "OLD COACH   "); }, false},
        CancelCase{"Tactic", [](TeamEditState& s) { SetTactic(s, 0); }, true},
        CancelCase{"KitColour",
                   [](TeamEditState& s) { SetKitColour(s, KitWhich::Secondary, KitColour::Socks, 9); }, true},
        CancelCase{"KitDesign", [](TeamEditState& s) { SetKitDesign(s, KitWhich::Main, 'V'); }, true},
        CancelCase{"SkillAbove15OnA15", [](TeamEditState& s) { SetSkill(s, 15, 0, 40); }, false},
        CancelCase{"Skill", [](TeamEditState& s) { SetSkill(s, 0, 6, 1); }, true},
        CancelCase{"FaceThreeClicks",
                   [](TeamEditState& s) {
                       for (int i = 0; i < 3; ++i)
                           ClickFace(s, 5);
                   },
                   false},
        CancelCase{"DroppedTheSamePlayer", [](TeamEditState& s) { DropPlayer(s, 2, TransferFromRow(s, 2)); },
                   true}),
    [](const testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

TEST(ClickFace, CyclesThroughTheThreeFacesAndAFaceThreeBecomesOne) {
    for (std::uint8_t start = 0; start <= 3; ++start) {
        TeamRecord r = NormalTeam();
        r.jugador[0].posicionYAspecto = static_cast<std::uint8_t>(0x60 | (start << 3));
        TeamEditSession s = OpenTeamEdit(r);
        std::vector<int> seen;
        for (int i = 0; i < 3; ++i) {
            ClickFace(s.state, 0);
            seen.push_back(s.state.team.players[0].face);
        }
        const std::vector<std::vector<int>> expected = {{1, 2, 0}, {2, 0, 1}, {0, 1, 2}, {1, 2, 0}};
        EXPECT_EQ(seen, expected[start]) << "start face " << int(start);
        EXPECT_EQ(EncodeEdits(s.state).jugador[0].posicionYAspecto, 0x60 | (seen.back() << 3));
    }
}

// Row 0 is a goalkeeper (position code 0) with skills 15, 9, 0, ...: original price code 8, "100K".
TeamEditState KeeperTeam() {
    TeamRecord r = NormalTeam();
    r.jugador[0].posicionYAspecto = 0x00;
    r.jugador[0].passing = 15;
    r.jugador[0].shootingYHeading = 0x90;
    r.jugador[0].tacklingYBallControl = 0;
    r.jugador[0].speedYFinishing = 0;
    r.jugador[0].valorPase = 30;
    return OpenTeamEdit(r).state;
}

TEST(ComputeOriginalPrices, PricesEveryRowButTheGoalkeepersAndOneRowEvenAGoalkeeper) {
    TeamEditState s = KeeperTeam();
    TeamEditState one = s;
    ComputeOriginalPrices(s);
    EXPECT_EQ(s.team.players[0].price, "1.3M ");
    for (std::size_t i = 1; i < kPlayersPerTeam; ++i) {
        const std::string expected = TrimRight(s.team.players[i].position) == "G"
                                         ? *PriceText(NormalTeam().jugador[i].valorPase)
                                         : *PriceText(OriginalPriceCode(s.team.players[i].skills));
        EXPECT_EQ(s.team.players[i].price, expected) << "row " << i;
    }
    EXPECT_EQ(EncodeEdits(s).jugador[0].valorPase, 30);
    ComputeRowOriginalPrice(one, 0);
    EXPECT_EQ(one.team.players[0].price, "100K ");
    EXPECT_EQ(EncodeEdits(one).jugador[0].valorPase, 8);
    EXPECT_EQ(one.team.players[1].price, *PriceText(3)); // other rows untouched
}

TEST(ComputeAllPrices, UsesEachRolesFormulaAndLeavesBlankFormulasAndGoalkeepersAlone) {
    TeamEditState s = KeeperTeam();
    const TeamEditState before = s;
    FormulaSet formulas;
    formulas[static_cast<std::size_t>(FormulaRole::Back)] = "1m";
    formulas[static_cast<std::size_t>(FormulaRole::Defender)] = "2m";
    formulas[static_cast<std::size_t>(FormulaRole::Wing)] = "3m";
    formulas[static_cast<std::size_t>(FormulaRole::Midfield)] = "pa*100k";
    formulas[static_cast<std::size_t>(FormulaRole::Attack)] = "   ";
    PriceEvaluator prices;
    ComputeAllPrices(s, prices, formulas);
    for (std::size_t i = 0; i < kPlayersPerTeam; ++i) {
        const DecodedPlayer& p = s.team.players[i];
        const std::string pos = TrimRight(p.position);
        std::string expected = before.team.players[i].price;
        if (pos == "RB" || pos == "LB") expected = "1M   ";
        if (pos == "D") expected = "2M   ";
        if (pos == "RW" || pos == "LW") expected = "3M   ";
        if (pos == "M") expected = PadBlank(prices.CalcularPrecio("pa*100k", p.skills), 5);
        EXPECT_EQ(p.price, expected) << "row " << i << " " << pos;
        EXPECT_EQ(PriceText(EncodeEdits(s).jugador[i].valorPase), expected) << "row " << i;
    }
    // One row at a time, as Ctrl+Home does it.
    TeamEditState one = before;
    ComputeRowPrice(one, 3, prices, formulas); // row 3 is a "D"
    EXPECT_EQ(one.team.players[3].price, "2M   ");
    EXPECT_EQ(one.team.players[1].price, before.team.players[1].price);
}

// Every price a formula can give is a text of the price list, so a computed price is always stored.
TEST(ComputeAllPrices, EveryLadderStepAndBothEndsArePricesOfTheList) {
    PriceEvaluator prices;
    std::vector<std::string> formulas = {"1", "15000001", "99999999"};
    for (std::uint32_t value : PriceLadder())
        formulas.push_back(std::to_string(value));
    for (const std::string& formula : formulas) {
        TeamEditState s = OpenTeamEdit(NormalTeam()).state;
        FormulaSet set;
        set.fill(formula);
        ComputeAllPrices(s, prices, set);
        const DecodedPlayer& midfielder = s.team.players[6]; // position code 6, "M"
        const std::string expected = PadBlank(prices.CalcularPrecio(formula, midfielder.skills), kPriceWidth);
        EXPECT_EQ(midfielder.price, expected) << formula;
        EXPECT_EQ(PriceText(EncodeEdits(s).jugador[6].valorPase), expected) << formula;
    }
}

TEST(DropPlayer, TheRowTakesThePlayerAndTheLineUpPlacesStayButTextsOutsideTheirTablesAreNotTaken) {
    TeamEditSession s = OpenTeamEdit(NormalTeam());
    PlayerTransferRecord p;
    p.nacionalidad = "URU";
    p.nroCamiseta = 1;
    p.nombreJugador = "DROPPED STAR";
    p.aspecto = 2;
    p.puesto = "A";
    p.skills = {1, 2, 3, 4, 5, 6, 7};
    p.valorPase = "1.1M";
    DropPlayer(s.state, 9, p);
    SetPosition(s.state, 4, "LW");
    SetPlayerName(s.state, 5, "RETYPED");
    EXPECT_TRUE(s.state.dropped);
    const TeamRecord out = EncodeEdits(s.state);
    const PlayerSlot& slot = out.jugador[9];
    EXPECT_EQ(slot.nacionalidad, *NationalityCode("URU"));
    EXPECT_EQ(FieldValue(slot.nombreJugador), "DROPPED STAR");
    EXPECT_EQ(slot.posicionYAspecto, 0xE0 | (2 << 3));
    EXPECT_EQ((Skills{slot.passing, 2, 3, 4, 5, 6, 7}), SlotSkills(slot));
    EXPECT_EQ(slot.valorPase, 29);
    // The dropped shirt number 1 repeats row 1's: the lower row gets the smallest free number, 10.
    EXPECT_EQ(out.jugador[0].nroCamiseta, 1);
    EXPECT_EQ(slot.nroCamiseta, 10);
    EXPECT_EQ(slot.reservado, NormalTeam().jugador[9].reservado);
    EXPECT_EQ(slot.reservadosCant5, NormalTeam().jugador[9].reservadosCant5);
    EXPECT_EQ(out.titularesYSuplentes, NormalTeam().titularesYSuplentes);
    EXPECT_EQ(LineupPlace(out), s.lineupPlaces);
    // Texts outside their tables leave the row's own values.
    const DecodedPlayer before = s.state.team.players[2];
    p.nacionalidad = "XYZ";
    p.puesto = "Q";
    p.valorPase = "7K";
    p.aspecto = 9;
    DropPlayer(s.state, 2, p);
    const DecodedPlayer& after = s.state.team.players[2];
    EXPECT_EQ(after.nationality, before.nationality);
    EXPECT_EQ(after.position, before.position);
    EXPECT_EQ(after.price, before.price);
    EXPECT_EQ(after.face, 0);
    EXPECT_EQ(EncodeEdits(s.state).jugador[2].nacionalidad, NormalTeam().jugador[2].nacionalidad);
}

TEST(TransferFromRow, CarriesWhatTheRowShows) {
    TeamEditState s = OpenTeamEdit(NormalTeam()).state;
    SetPlayerName(s, 4, "COPIED");
    SetShirtNumber(s, 4, 14);
    ClickFace(s, 4); // row 4 had face 1
    const PlayerTransferRecord r = TransferFromRow(s, 4);
    EXPECT_EQ(r.nombreJugador, PadBlank("COPIED", 23));
    EXPECT_EQ(r.nroCamiseta, 14);
    EXPECT_EQ(r.aspecto, 2);
    EXPECT_EQ(r.puesto, "RW");
    EXPECT_EQ(r.nacionalidad, *NationalityText(36));
    EXPECT_EQ(r.valorPase, *PriceText(12));
    EXPECT_EQ(r.skills, SlotSkills(NormalTeam().jugador[4]));
    // Dropping it back on another row makes that row the same player.
    DropPlayer(s, 7, r);
    EXPECT_EQ(TransferFromRow(s, 7), r);
}

TEST(SetFields, ListChoicesOutsideTheTablesAreNotTaken) {
    TeamEditState s = OpenTeamEdit(NormalTeam()).state;
    const TeamEditState before = s;
    SetNationality(s, 0, 153);
    SetPrice(s, 0, 50);
    SetPosition(s, 0, "XX");
    EXPECT_TRUE(SameEdits(s, before));
    SetNationality(s, 0, 152);
    EXPECT_EQ(s.team.players[0].nationality, "CUS");
}

} // namespace
} // namespace kivo
