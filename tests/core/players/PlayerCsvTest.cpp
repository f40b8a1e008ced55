#include "core/players/PlayerCsv.h"

#include "PlayersTestSupport.h"

namespace kivo {
namespace {

using testing::MakeTeam;
using testing::SetText;

PlayerRow Row() {
    PlayerRow r = MakePlayerRow(MakeTeam(1, "ARSENAL"), 0);
    r.pais = 1;
    r.division = 0;
    r.nacionalidad = 8; // ENG
    r.nroCamiseta = 9;
    r.puesto = 7;
    r.skills = {1, 2, 3, 4, 5, 6, 15};
    r.valorPase = 20;
    r.marca = 3;
    SetText(r.nombreJugador.data(), r.nombreJugador.size(), "J. Smith");
    return r;
}

TEST(PlayerCsv, HeaderAndALineWithCrlf) {
    EXPECT_EQ(PlayerCsvHeader(),
              "country_name,team,division,nationality,shirt,name,position,passing,shooting,"
              "heading,tackling,ball_control,speed,finishing,price,country,mark\r\n");
    EXPECT_EQ(PlayerCsvLine(Row()), "Austria,ARSENAL,Premier,ENG,9,J. Smith,A,1,2,3,4,5,6,15,550K,1,3\r\n");
}

struct CsvCase {
    const char* label;
    std::string team, name;
    std::string teamField, nameField;
};

void PrintTo(const CsvCase& c, std::ostream* os) {
    *os << c.label;
}

class PlayerCsvQuoting : public ::testing::TestWithParam<CsvCase> {};

TEST_P(PlayerCsvQuoting, QuotesOnlyWhatNeedsIt) {
    PlayerRow r = Row();
    SetText(r.nombreEquipo.data(), r.nombreEquipo.size(), GetParam().team);
    SetText(r.nombreJugador.data(), r.nombreJugador.size(), GetParam().name);
    const std::string line = PlayerCsvLine(r);
    EXPECT_EQ(line, "Austria," + GetParam().teamField + ",Premier,ENG,9," + GetParam().nameField +
                        ",A,1,2,3,4,5,6,15,550K,1,3\r\n");
}

INSTANTIATE_TEST_SUITE_P(Fields, PlayerCsvQuoting,
                         ::testing::Values(CsvCase{"Plain", "LEEDS", "A. B", "LEEDS", "A. B"},
                                           CsvCase{"Comma", "LEEDS, UTD", "A,B", "\"LEEDS, UTD\"", "\"A,B\""},
                                           CsvCase{"Quote", "THE \"REDS\"", "O\"NEIL", "\"THE \"\"REDS\"\"\"",
                                                   "\"O\"\"NEIL\""},
                                           CsvCase{"LeadingBlankAndTrailingBlanksDropped", " SPACED   ",
                                                   "X  ", "\" SPACED\"", "X"},
                                           CsvCase{"Latin1AsUtf8", "M\xDCNCHEN", "Gonz\xE1lez \xD1",
                                                   "M\xC3\x9CNCHEN", "Gonz\xC3\xA1lez \xC3\x91"},
                                           CsvCase{"LineBreak", "A\nB", "C\rD", "\"A\nB\"", "\"C\rD\""},
                                           // A spreadsheet runs a cell starting with = + - @ as a formula.
                                           CsvCase{"FormulaEquals", "=HYPERLINK(\"x\")", "=1+1",
                                                   "\"'=HYPERLINK(\"\"x\"\")\"", "'=1+1"},
                                           CsvCase{"FormulaPlusMinusAt", "+CMD", "-2+3", "'+CMD", "'-2+3"},
                                           CsvCase{"FormulaAt", "@SUM(A1)", "A-B", "'@SUM(A1)", "A-B"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(PlayerCsv, CodesOutsideTheirTablesAreEmptyFields) {
    PlayerRow r = Row();
    r.pais = 200;         // no country name
    r.division = 9;       // no division
    r.nacionalidad = 200; // no nationality
    r.puesto = 8;
    r.valorPase = 60;
    EXPECT_EQ(PlayerCsvLine(r), ",ARSENAL,,,9,J. Smith,,1,2,3,4,5,6,15,,200,3\r\n");
    std::string out = "x";
    AppendPlayerCsvLine(r, out);
    EXPECT_EQ(out, "x" + PlayerCsvLine(r));
}

TEST(PlayerCsv, CsvFieldOfUtf8Text) {
    EXPECT_EQ(CsvField("plain"), "plain");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField(" lead"), "\" lead\"");
    EXPECT_EQ(CsvField("trail "), "\"trail \"");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("=cmd|' /c calc'!A0"), "'=cmd|' /c calc'!A0");
    EXPECT_EQ(CsvField("-1, 2"), "\"'-1, 2\"");
    EXPECT_EQ(CsvField("@x"), "'@x");
}

} // namespace
} // namespace kivo
