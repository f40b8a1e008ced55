#include "core/prices/PriceCalculator.h"

#include <gtest/gtest.h>

#include "core/prices/Formulas.h"

namespace kivo {
namespace {

constexpr Skills kZero{0, 0, 0, 0, 0, 0, 0};
constexpr Skills kTop{15, 15, 15, 15, 15, 15, 15};

// Purely textual: 1.5M gives 1.5000000, worth 1.5.
TEST(ExpandFormula, ReplacesSuffixesDropsBlanksAndKeeps200Characters) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"75 k * pa", "75000*pa"}, {"75 K*PA", "75000*PA"}, {"1.5M*pa", "1.5000000*pa"}, {"2m", "2000000"},
        {"   100k + 2   ", "100000+2"}, {"mk", "000000000"}, {"(sp-7)*fi", "(sp-7)*fi"}, {"", ""},
        {"     ", ""},
        {std::string(199, '1') + "k", std::string(199, '1') + "0"},
        {std::string(100, '3') + std::string(150, ' ') + "4", std::string(100, '3') + "4"}};
    // clang-format on
    for (const auto& [formula, expanded] : cases)
        EXPECT_EQ(ExpandFormula(formula), expanded) << formula;
}

TEST(PriceEvaluator, BindsEachSkillNameInAnyLetterCase) {
    PriceEvaluator evaluator;
    EXPECT_EQ(evaluator.Value("pa+10*sh+100*he+1000*ta+10000*bc+100000*sp+1000000*fi", {1, 2, 3, 4, 5, 6, 7}),
              7'654'321);
    EXPECT_EQ(evaluator.Value("PA+10*Sh+100*hE+1000*TA+10000*Bc+100000*sP+1000000*FI", {7, 6, 5, 4, 3, 2, 1}),
              1'234'567);
    EXPECT_EQ(evaluator.Value("2+3*100k-(-200k)+900k/3", kZero), 800'002);
    EXPECT_EQ(evaluator.Value("1k*pa", {200, 0, 0, 0, 0, 0, 0}), 200'000); // skills above 15 count
}

struct PriceCase {
    std::string formula;
    Skills skills;
    const char* price;
};

TEST(CalcularPrecio, GivesThePriceText) {
    const Skills pa10{10, 0, 0, 0, 0, 0, 0};
    // clang-format off
    const PriceCase cases[] = {
        {"24999", kZero, "25K-"}, {"25000", kZero, "25K"}, {"27500", kZero, "25K"}, {"27501", kZero, "30K"},
        {"165000", kZero, "150K"}, {"15000000", kZero, "15M"}, {"15000001", kZero, "15M+"},
        {"-5", kZero, "25K-"},
        {"1000m*1000", kZero, "15M+"}, {"-1000m*1000", kZero, "25K-"}, {"25000.9", kZero, "25K"},
        {"24999.9", kZero, "25K-"}, {"1.5M*pa", pa10, "25K-"}, {"75 k*PA", pa10, "750K"},
        {"1k*Sh + 1k*hE", {0, 10, 20, 0, 0, 0, 0}, "30K"}};
    // clang-format on
    PriceEvaluator evaluator;
    for (const PriceCase& c : cases)
        EXPECT_EQ(evaluator.CalcularPrecio(c.formula, c.skills), c.price) << c.formula;
}

// A formula that cannot be evaluated is worth 0: "25K-", also when asked again from the evaluator's cache.
TEST(CalcularPrecio, AnUnevaluableFormulaIsWorthZero) {
    PriceEvaluator evaluator;
    for (int round = 0; round < 2; ++round)
        for (const char* formula :
             {"1,5*pa", "75k*", "(pa", "pa)", "xx*1000", "pa pa", "100k**pa", "", "   "}) {
            EXPECT_EQ(evaluator.Value(formula, kTop), 0) << formula;
            EXPECT_EQ(evaluator.CalcularPrecio(formula, kTop), "25K-") << formula;
        }
}

TEST(CalcularPrecio, DefaultFormulasHaveTheirWorkedValues) {
    const std::tuple<FormulaRole, Skills, std::int32_t, const char*> cases[] = {
        // clang-format off
        {FormulaRole::Attack, kTop, 13'975'000, "15M"}, {FormulaRole::Back, kTop, 7'075'000, "7M"},
        {FormulaRole::Defender, kTop, 4'700'000, "4.5M"}, {FormulaRole::Wing, kTop, 9'525'000, "10M"},
        {FormulaRole::Midfield, kTop, 11'200'000, "12M"}, {FormulaRole::Back, kZero, -3'050'000, "25K-"},
        // clang-format on
        // 100k*8+300k*(9-6)+250k*(7-5)+25k*5+300k*(10-8)+300k*(11-6)+350k*(12-9)
        {FormulaRole::Attack, {8, 9, 7, 5, 10, 11, 12}, 5'475'000, "5M"}};
    PriceEvaluator evaluator;
    for (const auto& [role, skills, value, price] : cases) {
        const std::string formula = DefaultFormulas()[static_cast<std::size_t>(role)];
        EXPECT_EQ(evaluator.Value(formula, skills), value) << formula;
        EXPECT_EQ(evaluator.CalcularPrecio(formula, skills), price) << formula;
    }
}

// The formula editor's rows: lowest price at all-0, highest at all-15, and whether they span the ladder.
TEST(FormulaRange, ShowsLadderTextsAndTheRangeFlag) {
    const std::tuple<std::string, const char*, const char*, bool> rows[] = {
        {std::string(Info(FormulaRole::Back).defaultText), "25K", "7M", false},
        {std::string(Info(FormulaRole::Attack).defaultText), "25K", "15M", true},
        // clang-format off
        {"20m", "15M", "15M", false}, {"75k*", "25K", "25K", false}, {"1,5*pa", "25K", "25K", false},
        {"", "25K", "25K", false},
        // At all-0 the value snaps to the first step up to 27,500; at all-15 to the last from 13,500,001.
        {"27500+1m*pa", "25K", "15M", true}, {"27501+1m*pa", "30K", "15M", false},
        {"13500001*pa/15", "25K", "15M", true}, {"13500000*pa/15", "25K", "12M", false}};
    // clang-format on
    PriceEvaluator evaluator;
    for (const auto& [formula, lowest, highest, inRange] : rows) {
        const FormulaRange r = evaluator.Range(formula);
        EXPECT_EQ(r.lowest, lowest) << formula;
        EXPECT_EQ(r.highest, highest) << formula;
        EXPECT_EQ(r.inRange, inRange) << formula;
    }
}

TEST(PriceForPlayer, UsesThePositionsFormulaAndKeepsAKeepersOrABlankFormulasPrice) {
    FormulaSet f = {"25k", "30k", "40k", "50k",
                    "75k*"}; // Back, Defender, Wing, Midfield, Attack (unevaluable)
    // clang-format off
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"RB", "25K"}, {"LB", "25K"}, {"D ", "30K"}, {"D", "30K"}, {"RW", "40K"}, {"LW", "40K"}, {"M ", "50K"},
        {"A ", "25K-"}, {"G ", std::nullopt}, {"", std::nullopt}, {"XX", std::nullopt}, {"rb", std::nullopt}};
    // clang-format on
    PriceEvaluator evaluator;
    for (const auto& [position, price] : cases)
        EXPECT_EQ(evaluator.PriceForPlayer(f, position, kTop), price) << '"' << position << '"';
    f[static_cast<std::size_t>(FormulaRole::Wing)] = "";
    f[static_cast<std::size_t>(FormulaRole::Midfield)] = "     ";
    EXPECT_EQ(evaluator.PriceForPlayer(f, "RW", kTop), std::nullopt);
    EXPECT_EQ(evaluator.PriceForPlayer(f, "M ", kTop), std::nullopt);
}

// More formulas than the evaluator keeps parsed, valid and broken mixed, asked in turn with other skills.
TEST(PriceEvaluator, GivesTheSameAnswersWhateverItEvaluatedBefore) {
    std::vector<std::pair<std::string, std::int32_t>> cases;
    for (int i = 1; i <= 12; ++i)
        cases.push_back({std::to_string(i) + "k*pa", 1000 * i});
    cases.push_back({"75k*", 0});
    PriceEvaluator evaluator;
    for (std::uint8_t pa = 1; pa <= 3; ++pa)
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const auto& [formula, value] = cases[(i * 5 + pa) % cases.size()];
            ASSERT_EQ(evaluator.Value(formula, {pa, 1, 1, 1, 1, 1, 1}), value * pa)
                << formula << " pa " << int(pa);
        }
    PriceEvaluator moved(std::move(evaluator));
    EXPECT_EQ(moved.Value("1k*he", {0, 0, 6, 0, 0, 0, 0}), 6000);
}

} // namespace
} // namespace kivo

namespace kivo {
namespace {

struct FaultCase {
    const char* label;
    const char* formula;
    bool fault;
    std::size_t position; // of the fault in the formula as written, from 1; 0 for none known
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.label;
}

class FormulaFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FormulaFaults, TellWhyAndWhereWhileTheValueStaysZero) {
    PriceEvaluator evaluator;
    Skills skills;
    skills.fill(7);
    const auto fault = evaluator.Fault(GetParam().formula, skills);
    ASSERT_EQ(fault.has_value(), GetParam().fault);
    if (!fault) return;
    EXPECT_FALSE(fault->message.empty());
    EXPECT_EQ(fault->position, GetParam().position) << fault->message;
    EXPECT_EQ(evaluator.Value(GetParam().formula, skills), 0);
    EXPECT_EQ(evaluator.CalcularPrecio(GetParam().formula, skills), "25K-");
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulaFaults,
    // The place counts in the formula as typed, before the suffixes are expanded and the blanks dropped.
    ::testing::Values(FaultCase{"Sound", "75k*pa+100k*he", false, 0}, FaultCase{"Blank", "   ", false, 0},
                      FaultCase{"UnknownNameAfterSuffixAndBlanks", "75 k * xyz", true, 8},
                      FaultCase{"UnclosedParenthesis", "(pa", true, 4},
                      FaultCase{"OperatorAtTheEnd", "100k*pa+", true, 9},
                      FaultCase{"TwoResults", "1,5*pa", true, 0},
                      // "zz" starts after "75k*pa+" (7 characters), though the evaluator sees 75000*pa+zz.
                      FaultCase{"UnknownNameAfterSuffix", "75k*pa+zz", true, 8},
                      FaultCase{"ParenthesisLeftOpen", "(pa+1", true, 6},
                      FaultCase{"OperatorAfterSuffix", "2m*", true, 4},
                      FaultCase{"NamesInAnyCase", "75 K * PA + Fi", false, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FormulaFault, TheExpandedTextsPlaceDoesNotLeakIntoTheMessage) {
    PriceEvaluator evaluator;
    const auto fault = evaluator.Fault("75k*pa+zz", Skills{});
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->message, "Unexpected token \"zz\" found");
    EXPECT_EQ(fault->results, 0u);
}

TEST(FormulaFault, SeveralValuesTellHowMany) {
    PriceEvaluator evaluator;
    const auto fault = evaluator.Fault("1,5*pa,3", Skills{});
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->results, 3u);
    EXPECT_EQ(fault->message, "the formula gives 3 results, not one (a comma separates them)");
}

TEST(FormulaFault, EveryDefaultFormulaEvaluates) {
    PriceEvaluator evaluator;
    for (const std::string& f : DefaultFormulas())
        EXPECT_FALSE(evaluator.Fault(f, Skills{}).has_value()) << f;
}

struct PitfallCase {
    const char* label;
    const char* formula;
    const char* written; // null: no pitfall
    const char* worth;
    long long amount;
    const char* seemsToBe;
    const char* writeThis;
};

void PrintTo(const PitfallCase& c, std::ostream* os) {
    *os << c.label;
}

class SuffixPitfalls : public ::testing::TestWithParam<PitfallCase> {};

TEST_P(SuffixPitfalls, TellWhatTheNumberIsWorth) {
    const PitfallCase& c = GetParam();
    const auto found = FindSuffixPitfalls(c.formula);
    if (!c.written) {
        EXPECT_TRUE(found.empty()) << found.front().written;
        return;
    }
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].written, c.written);
    EXPECT_EQ(found[0].worth, c.worth);
    EXPECT_EQ(found[0].amount, c.amount);
    EXPECT_EQ(found[0].seemsToBe, c.seemsToBe);
    EXPECT_EQ(found[0].writeThis, c.writeThis);
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, SuffixPitfalls,
    ::testing::Values(
        PitfallCase{"MillionWithPoint", "75k*pa + 1.5m", "1.5m", "1.5", 1500000, "1,500,000", "1500k"},
        PitfallCase{"CapitalSuffixAfterBlank", "2.25 M*fi", "2.25M", "2.25", 2250000, "2,250,000", "2250k"},
        PitfallCase{"ThousandsWithPoint", "pa*2.5k", "2.5k", "2.5", 2500, "2,500", "2500"},
        PitfallCase{"LeadingPoint", ".5m", ".5m", "0.5", 500000, "500,000", "500k"},
        PitfallCase{"LeadingPointAfterOperator", "pa*.25k", ".25k", "0.25", 250, "250", "250"},
        PitfallCase{"WholeMillion", "2.0M", "2.0M", "2.0", 2000000, "2,000,000", "2m"},
        PitfallCase{"OddAmount", "1.0000005m", "1.0000005m", "1.0000005", 1000001, "1,000,001", "1000001"},
        PitfallCase{"WholeNumbersOnly", "1500k*pa+2m", nullptr, "", 0, "", ""},
        PitfallCase{"PointWithoutSuffix", "1.5*pa", nullptr, "", 0, "", ""}),
    [](const auto& info) { return std::string(info.param.label); });

// A number of hundreds of digits is no price: no note (no amount to suggest), and never an abort or an
// amount that wrapped round.
TEST(FormulaNotes, AHugeNumberGivesNoNoteAndNoCrash) {
    for (const std::string& digits : {std::string(20, '9'), std::string(309, '9'), std::string(400, '1')}) {
        for (const char* suffix : {".5k", ".5m"}) {
            SCOPED_TRACE(digits.size());
            const auto notes = FormulaNotes(digits + suffix + "*pa");
            EXPECT_TRUE(notes.empty()) << notes.front();
            PriceEvaluator evaluator;
            Skills top;
            top.fill(15);
            EXPECT_FALSE(evaluator.CalcularPrecio(digits + suffix, top).empty());
        }
    }
}

TEST(FormulaNotes, ADecimalWithASuffixIsNoted) {
    EXPECT_TRUE(FormulaNotes("75k*pa+1500k*he").empty());
    EXPECT_TRUE(FormulaNotes("1.5*pa").empty());
    EXPECT_EQ(FormulaNotes("1.5m*pa + 0.75 K"),
              (std::vector<std::string>{
                  "1.5m means 1.5 (a suffix only appends zeros to the text); for 1500000 write 1500k",
                  "0.75K means 0.75 (a suffix only appends zeros to the text); for 750 write 750"}));
    EXPECT_EQ(FormulaNotes("2.0M").size(), 1u);
    EXPECT_EQ(FormulaNotes("2.0M")[0],
              "2.0M means 2.0 (a suffix only appends zeros to the text); for 2000000 write 2m");
}

} // namespace
} // namespace kivo
