#include "core/prices/PriceCalculator.h"

#include <gtest/gtest.h>

#include "core/prices/Formulas.h"

namespace kivo {
namespace {

constexpr Skills kZero{0, 0, 0, 0, 0, 0, 0};
constexpr Skills kTop{15, 15, 15, 15, 15, 15, 15};

// ---- Suffix expansion ----

struct ExpandCase {
    const char* label;
    std::string formula;
    std::string expanded;
};

class Expand : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(Expand, ReplacesSuffixesAndDropsBlanks) {
    EXPECT_EQ(ExpandFormula(GetParam().formula), GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, Expand,
    ::testing::Values(
        ExpandCase{"Thousands", "75k*pa", "75000*pa"}, ExpandCase{"BlanksDropped", "75 k * pa", "75000*pa"},
        ExpandCase{"UpperCaseSuffixAndName", "75 K*PA", "75000*PA"},
        ExpandCase{"Millions", "1.5M*pa", "1.5000000*pa"}, ExpandCase{"LowerMillions", "2m", "2000000"},
        ExpandCase{"LeadingAndTrailingBlanks", "   100k + 2   ", "100000+2"},
        ExpandCase{"SuffixAnywhere", "mk", "000000000"}, ExpandCase{"NoSuffix", "(sp-7)*fi", "(sp-7)*fi"},
        ExpandCase{"Empty", "", ""}, ExpandCase{"BlanksOnly", "     ", ""},
        ExpandCase{"DefaultBack", "75k*pa+100k*he+200k*(ta-7)+150k*(bc-4)+150k*(sp-7)",
                   "75000*pa+100000*he+200000*(ta-7)+150000*(bc-4)+150000*(sp-7)"},
        // Held in 200 characters: the rest is dropped.
        ExpandCase{"CutAt200", std::string(199, '1') + "k", std::string(199, '1') + "0"},
        ExpandCase{"LongInputCut", std::string(250, '2'), std::string(200, '2')},
        ExpandCase{"BlanksDoNotCount", std::string(100, '3') + std::string(150, ' ') + "4",
                   std::string(100, '3') + "4"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- Prices ----

struct PriceCase {
    const char* label;
    std::string formula;
    Skills skills;
    const char* price;
};

class Calcular : public ::testing::TestWithParam<PriceCase> {};

TEST_P(Calcular, GivesThePriceText) {
    PriceEvaluator evaluator;
    EXPECT_EQ(evaluator.CalcularPrecio(GetParam().formula, GetParam().skills), GetParam().price)
        << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Values, Calcular,
    ::testing::Values(
        PriceCase{"Below25K", "24999", kZero, "25K-"}, PriceCase{"Exactly25K", "25000", kZero, "25K"},
        PriceCase{"HalfwayGoesDown", "27500", kZero, "25K"},
        PriceCase{"PastHalfwayGoesUp", "27501", kZero, "30K"},
        PriceCase{"HalfwayTo180KGoesTo150K", "165000", kZero, "150K"},
        PriceCase{"NearTo180K", "170000", kZero, "180K"},
        PriceCase{"HalfwayTo15MGoesTo12M", "13500000", kZero, "12M"},
        PriceCase{"PastHalfwayTo15M", "13500001", kZero, "15M"},
        PriceCase{"Exactly15M", "15000000", kZero, "15M"}, PriceCase{"Above15M", "15000001", kZero, "15M+"},
        PriceCase{"Negative", "-5", kZero, "25K-"}, PriceCase{"NegativeSkills", "100k*(pa-7)", kZero, "25K-"},
        PriceCase{"HugeIsStill15MPlus", "1000m*1000", kZero, "15M+"},
        PriceCase{"HugeNegative", "-1000m*1000", kZero, "25K-"},
        PriceCase{"FractionIsTruncated", "25000.9", kZero, "25K"},
        PriceCase{"FractionBelow25KIsTruncated", "24999.9", kZero, "25K-"},
        // 1.5M is 1.5000000, worth 1.5: the expansion is purely textual.
        PriceCase{"OnePointFiveMIsOnePointFive", "1.5M*pa", {10, 0, 0, 0, 0, 0, 0}, "25K-"},
        PriceCase{"BlanksAndCase", "75 k*PA", {10, 0, 0, 0, 0, 0, 0}, "750K"},
        PriceCase{"PlainLowerCase", "75000*pa", {10, 0, 0, 0, 0, 0, 0}, "750K"},
        PriceCase{"MixedCaseName", "1k*Sh + 1k*hE + 1k*Fi", {0, 10, 10, 0, 0, 0, 10}, "30K"},
        PriceCase{"EverySkillItsOwnName",
                  "1k*pa+2k*sh+4k*he+8k*ta+16k*bc+32k*sp+64k*fi",
                  {1, 0, 1, 0, 1, 0, 0},
                  "25K-"},
        PriceCase{"EverySkillWeighted",
                  "100k*pa+200k*sh+400k*he+800k*ta+1600k*bc+3200k*sp+6400k*fi",
                  {0, 0, 0, 0, 0, 1, 0},
                  "3M"},
        PriceCase{"FinishingIsTheLastSkill", "1m*fi", {0, 0, 0, 0, 0, 0, 7}, "7M"},
        PriceCase{"SkillsAbove15ReachTheFormula", "1k*pa", {200, 0, 0, 0, 0, 0, 0}, "200K"},
        PriceCase{"Precedence", "2+3*100k", kZero, "300K"},
        PriceCase{"UnaryMinus", "-(-200k)", kZero, "200K"}, PriceCase{"Division", "900k/3", kZero, "300K"}),
    [](const auto& info) { return std::string(info.param.label); });

// A formula that cannot be evaluated is worth 0: "25K-".
class Unevaluable : public ::testing::TestWithParam<std::string> {};

TEST_P(Unevaluable, IsWorthZero) {
    PriceEvaluator evaluator;
    EXPECT_EQ(evaluator.Value(GetParam(), kTop), 0) << GetParam();
    EXPECT_EQ(evaluator.CalcularPrecio(GetParam(), kTop), "25K-") << GetParam();
    // Asked again, from the evaluator's cache, the answer is the same.
    EXPECT_EQ(evaluator.CalcularPrecio(GetParam(), kTop), "25K-") << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Formulas, Unevaluable,
                         ::testing::Values("1,5*pa", "75k*", "(pa", "pa)", "xx*1000", "pa pa", "100k**pa",
                                           "*", "1m*pa,2m", "", "   "));

TEST(Calcular, BlanksAndLetterCaseDoNotChangeThePrice) {
    PriceEvaluator evaluator;
    for (std::uint8_t pa = 0; pa <= 15; ++pa) {
        const Skills s{pa, 3, 4, 5, 6, 7, 8};
        EXPECT_EQ(evaluator.CalcularPrecio("75 k*PA", s), evaluator.CalcularPrecio("75000*pa", s)) << int(pa);
        EXPECT_EQ(evaluator.Value("75 k*PA", s), 75'000 * pa);
    }
}

struct DefaultCase {
    FormulaRole role;
    Skills skills;
    std::int32_t value;
    const char* price;
};

class DefaultFormula : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(DefaultFormula, HasTheWorkedValue) {
    PriceEvaluator evaluator;
    const std::string formula = DefaultFormulas()[static_cast<std::size_t>(GetParam().role)];
    EXPECT_EQ(evaluator.Value(formula, GetParam().skills), GetParam().value);
    EXPECT_EQ(evaluator.CalcularPrecio(formula, GetParam().skills), GetParam().price);
}

INSTANTIATE_TEST_SUITE_P(
    AllFifteenAndAllZero, DefaultFormula,
    ::testing::Values(DefaultCase{FormulaRole::Attack, kTop, 13'975'000, "15M"},
                      DefaultCase{FormulaRole::Back, kTop, 7'075'000, "7M"},
                      DefaultCase{FormulaRole::Defender, kTop, 4'700'000, "4.5M"},
                      DefaultCase{FormulaRole::Wing, kTop, 9'525'000, "10M"},
                      DefaultCase{FormulaRole::Midfield, kTop, 11'200'000, "12M"},
                      DefaultCase{FormulaRole::Back, kZero, -3'050'000, "25K-"},
                      DefaultCase{FormulaRole::Attack, kZero, -10'400'000, "25K-"},
                      // 100k*8+300k*(9-6)+250k*(7-5)+25k*5+300k*(10-8)+300k*(11-6)+350k*(12-9)
                      DefaultCase{FormulaRole::Attack, {8, 9, 7, 5, 10, 11, 12}, 5'475'000, "5M"}));

// ---- Lowest and highest price of a formula ----

struct RangeCase {
    const char* label;
    std::string formula;
    const char* lowest;
    const char* highest;
    bool inRange;
};

class FormulaRangeRows : public ::testing::TestWithParam<RangeCase> {};

TEST_P(FormulaRangeRows, ShowLadderTextsAndTheRangeFlag) {
    PriceEvaluator evaluator;
    const FormulaRange r = evaluator.Range(GetParam().formula);
    EXPECT_EQ(r.lowest, GetParam().lowest);
    EXPECT_EQ(r.highest, GetParam().highest);
    EXPECT_EQ(r.inRange, GetParam().inRange);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormulaRangeRows,
    ::testing::Values(
        RangeCase{"DefaultBack", std::string(Info(FormulaRole::Back).defaultText), "25K", "7M", false},
        RangeCase{"DefaultAttack", std::string(Info(FormulaRole::Attack).defaultText), "25K", "15M", true},
        RangeCase{"ConstantAbove15M", "20m", "15M", "15M", false},
        RangeCase{"ConstantAt15M", "15m", "15M", "15M", false},
        RangeCase{"Unevaluable", "75k*", "25K", "25K", false},
        RangeCase{"TwoResults", "1,5*pa", "25K", "25K", false}, RangeCase{"Blank", "", "25K", "25K", false},
        // At all-0 the value snaps to the first step up to 27,500; at all-15 to the last from 13,500,001.
        RangeCase{"LowestAtHalfway", "27500+1m*pa", "25K", "15M", true},
        RangeCase{"LowestPastHalfway", "27501+1m*pa", "30K", "15M", false},
        RangeCase{"HighestPastHalfway", "13500001*pa/15", "25K", "15M", true},
        RangeCase{"HighestAtHalfway", "13500000*pa/15", "25K", "12M", false}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- Choosing the formula of a player ----

FormulaSet DistinctFormulas() {
    FormulaSet f;
    f[static_cast<std::size_t>(FormulaRole::Back)] = "25k";
    f[static_cast<std::size_t>(FormulaRole::Defender)] = "30k";
    f[static_cast<std::size_t>(FormulaRole::Wing)] = "40k";
    f[static_cast<std::size_t>(FormulaRole::Midfield)] = "50k";
    f[static_cast<std::size_t>(FormulaRole::Attack)] = "65k";
    return f;
}

struct PlayerCase {
    const char* position;
    std::optional<std::string> price;
};

class PriceOfPlayer : public ::testing::TestWithParam<PlayerCase> {};

TEST_P(PriceOfPlayer, UsesTheFormulaOfThePositionsRole) {
    PriceEvaluator evaluator;
    EXPECT_EQ(evaluator.PriceForPlayer(DistinctFormulas(), GetParam().position, kTop), GetParam().price)
        << '"' << GetParam().position << '"';
}

INSTANTIATE_TEST_SUITE_P(Positions, PriceOfPlayer,
                         ::testing::Values(PlayerCase{"RB", "25K"}, PlayerCase{"LB", "25K"},
                                           PlayerCase{"D ", "30K"}, PlayerCase{"D", "30K"},
                                           PlayerCase{"RW", "40K"}, PlayerCase{"LW", "40K"},
                                           PlayerCase{"M ", "50K"}, PlayerCase{"A ", "65K"},
                                           PlayerCase{"G ", std::nullopt}, PlayerCase{"G", std::nullopt},
                                           PlayerCase{"", std::nullopt}, PlayerCase{"XX", std::nullopt},
                                           PlayerCase{"rb", std::nullopt}));

TEST(PriceOfPlayer, ABlankFormulaLeavesThePriceAlone) {
    PriceEvaluator evaluator;
    FormulaSet f = DistinctFormulas();
    f[static_cast<std::size_t>(FormulaRole::Wing)] = "";
    f[static_cast<std::size_t>(FormulaRole::Attack)] = "     ";
    EXPECT_EQ(evaluator.PriceForPlayer(f, "RW", kTop), std::nullopt);
    EXPECT_EQ(evaluator.PriceForPlayer(f, "A ", kTop), std::nullopt);
    EXPECT_EQ(evaluator.PriceForPlayer(f, "M ", kTop), std::optional<std::string>("50K"));
}

TEST(PriceOfPlayer, AnUnevaluableFormulaGivesTheLowestPrice) {
    PriceEvaluator evaluator;
    FormulaSet f = DistinctFormulas();
    f[static_cast<std::size_t>(FormulaRole::Back)] = "75k*";
    EXPECT_EQ(evaluator.PriceForPlayer(f, "LB", kTop), std::optional<std::string>("25K-"));
}

// ---- The evaluator as a whole ----

TEST(PriceEvaluator, GivesTheSameAnswersWhateverItEvaluatedBefore) {
    // More formulas than the evaluator keeps parsed, valid and broken ones mixed, asked in turn.
    std::vector<std::pair<std::string, std::int32_t>> cases;
    for (int i = 1; i <= 12; ++i)
        cases.push_back({std::to_string(i) + "k*pa", 1000 * i * 10});
    cases.push_back({"75k*", 0});
    cases.push_back({"1,5", 0});
    const Skills s{10, 1, 1, 1, 1, 1, 1};
    PriceEvaluator evaluator;
    for (int round = 0; round < 3; ++round)
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const auto& [formula, value] = cases[(i * 5 + round) % cases.size()];
            ASSERT_EQ(evaluator.Value(formula, s), value) << formula << " round " << round;
        }
}

TEST(PriceEvaluator, UsesTheSkillsOfEachCall) {
    PriceEvaluator evaluator;
    EXPECT_EQ(evaluator.Value("1k*sp", {0, 0, 0, 0, 0, 3, 0}), 3000);
    EXPECT_EQ(evaluator.Value("1k*sp", {0, 0, 0, 0, 0, 9, 0}), 9000);
}

TEST(PriceEvaluator, KeepsWorkingAfterAMove) {
    PriceEvaluator first;
    EXPECT_EQ(first.Value("1k*he", {0, 0, 4, 0, 0, 0, 0}), 4000);
    PriceEvaluator moved(std::move(first));
    EXPECT_EQ(moved.Value("1k*he", {0, 0, 6, 0, 0, 0, 0}), 6000);
    PriceEvaluator assigned;
    assigned = std::move(moved);
    EXPECT_EQ(assigned.Value("1k*he", {0, 0, 8, 0, 0, 0, 0}), 8000);
}

} // namespace
} // namespace kivo
