#include "core/prices/FormulaCheck.h"

#include <gtest/gtest.h>

#include "core/prices/Formulas.h"

namespace kivo {
namespace {

struct FaultCase {
    const char* name;
    const char* formula;
    const char* fault; // null: the formula gives one value; else the text ends with this
};

class FindFormulaFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(FindFormulaFaults, NamesTheFaultWhereItIsTyped) {
    const FaultCase& c = GetParam();
    const auto fault = FindFormulaFault(c.formula);
    if (!c.fault) {
        EXPECT_FALSE(fault.has_value()) << *fault;
        return;
    }
    ASSERT_TRUE(fault.has_value());
    EXPECT_TRUE(fault->ends_with(c.fault)) << *fault;
    EXPECT_EQ(fault->find("position"), std::string::npos) << "the expanded text's position leaks: " << *fault;
}

INSTANTIATE_TEST_SUITE_P(
    FormulaCheck, FindFormulaFaults,
    testing::Values(FaultCase{"default_back", "75k*pa+100k*he+200k*(ta-7)+150k*(bc-4)+150k*(sp-7)", nullptr},
                    FaultCase{"names_in_any_case", "75 K * PA + Fi", nullptr},
                    FaultCase{"blank", "   ", nullptr},
                    // "zz" starts after "75k*pa+" (7 characters), though the evaluator sees 75000*pa+zz.
                    FaultCase{"unknown_name", "75k*pa+zz", "(at character 8 of the formula)."},
                    FaultCase{"missing_parenthesis", "(pa+1", "(at character 6 of the formula)."},
                    FaultCase{"dangling_operator", "2m*", "(at character 4 of the formula)."},
                    FaultCase{"two_values", "1,5*pa",
                              "values instead of one (a comma separates values; write decimals with a "
                              "point)."}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST(FindFormulaFault, EveryDefaultFormulaEvaluates) {
    for (const std::string& f : DefaultFormulas())
        EXPECT_FALSE(FindFormulaFault(f).has_value()) << f;
}

struct PitfallCase {
    const char* name;
    const char* formula;
    const char* written; // null: no pitfall
    const char* worth;
    const char* seemsToBe;
    const char* writeThis;
};

class SuffixPitfalls : public testing::TestWithParam<PitfallCase> {};

TEST_P(SuffixPitfalls, TellsWhatTheNumberIsWorth) {
    const PitfallCase& c = GetParam();
    const auto p = FindSuffixPitfall(c.formula);
    if (!c.written) {
        EXPECT_FALSE(p.has_value()) << p->written;
        return;
    }
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->written, c.written);
    EXPECT_EQ(p->worth, c.worth);
    EXPECT_EQ(p->seemsToBe, c.seemsToBe);
    EXPECT_EQ(p->writeThis, c.writeThis);
}

INSTANTIATE_TEST_SUITE_P(
    FormulaCheck, SuffixPitfalls,
    testing::Values(
        PitfallCase{"million_with_point", "75k*pa + 1.5m", "1.5m", "1.5", "1,500,000", "1500k"},
        PitfallCase{"capital_suffix_and_blank", "2.25 M*fi", "2.25M", "2.25", "2,250,000", "2250k"},
        PitfallCase{"thousands_with_point", "pa*2.5k", "2.5k", "2.5", "2,500", "2500"},
        PitfallCase{"leading_point", ".5m", ".5m", "0.5", "500,000", "500k"},
        PitfallCase{"odd_amount", "1.0000005m", "1.0000005m", "1.0000005", "1,000,001", "1000001"},
        PitfallCase{"whole_numbers_only", "1500k*pa+2m", nullptr, "", "", ""},
        PitfallCase{"point_without_suffix", "1.5*pa", nullptr, "", "", ""}),
    [](const testing::TestParamInfo<PitfallCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace kivo
