#include "CliRunner.h"

namespace {

using nlohmann::json;

struct PriceCase {
    const char* formula;
    const char* skills;
    const char* price;
};

class PriceCommand : public ::testing::TestWithParam<PriceCase> {};

TEST_P(PriceCommand, PrintsThePriceText) {
    const PriceCase& c = GetParam();
    const CliRun run = RunCli("price " + ShellQuote(c.formula) + " " + c.skills);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, std::string(c.price) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, PriceCommand,
    ::testing::Values(
        PriceCase{"75 k*PA", "10 0 0 0 0 0 0", "750K"}, PriceCase{"75000*pa", "10 0 0 0 0 0 0", "750K"},
        PriceCase{"1.5M*pa", "10 0 0 0 0 0 0", "25K-"}, PriceCase{"165k", "0 0 0 0 0 0 0", "150K"},
        PriceCase{"15000001", "0 0 0 0 0 0 0", "15M+"},
        PriceCase{"100k*pa+300k*(sh-6)+250k*(he-5)+25k*ta+300k*(bc-8)+300k*(sp-6)+350k*(fi-9)",
                  "15 15 15 15 15 15 15", "15M"},
        PriceCase{"75k*pa+100k*he+200k*(ta-7)+150k*(bc-4)+150k*(sp-7)", "15 15 15 15 15 15 15", "7M"},
        PriceCase{"(((", "1 1 1 1 1 1 1", "25K-"}, PriceCase{"xyz*2", "1 1 1 1 1 1 1", "25K-"},
        PriceCase{"75k*pa", "20 0 0 0 0 0 0", "1.5M"})); // a skill above 15 reaches the formula

TEST(PriceCommandInput, SkillsMustBeBytes) {
    for (const char* skills : {"256 0 0 0 0 0 0", "ten 0 0 0 0 0 0"}) {
        const CliRun run = RunCli(std::string("price 75k*pa ") + skills);
        EXPECT_EQ(run.status, 1) << skills;
        EXPECT_EQ(run.err.rfind("kivo-cli: PA must be", 0), 0u) << run.err;
    }
}

TEST(FormulasCommand, DefaultsWithoutTheFileAndTheFormulasOfTheFile) {
    WorkDir work;
    const json defaults = JsonOf(work.Run("formulas --json"));
    ASSERT_EQ(defaults.size(), 5u);
    std::string roles;
    for (const json& row : defaults)
        roles += row["role"].get<std::string>() + "=" + row["key"].get<std::string>() + " ";
    EXPECT_EQ(roles, "Back=FormulaMarcadorPunta Defender=FormulaMarcadorCentral Wing=FormulaVolanteLateral "
                     "Midfield=FormulaVolanteCentral Attack=FormulaDelantero ");
    EXPECT_EQ(defaults[0], (json{{"role", "Back"},
                                 {"key", "FormulaMarcadorPunta"},
                                 {"formula", defaults[0]["formula"]},
                                 {"lowest", "25K"},
                                 {"highest", "7M"},
                                 {"in_range", false}}));
    EXPECT_EQ(defaults[4]["highest"], "15M");
    EXPECT_EQ(defaults[4]["in_range"], true);
    EXPECT_FALSE(std::filesystem::exists(work / "ventanas.ini")) << "nothing is created";

    std::ofstream(work / "custom.ini")
        << "[Formula]\r\nFormulaDelantero=20m\r\nFormulaMarcadorPunta=1m*pa+k\r\n";
    const json custom = JsonOf(work.Run("formulas --ini custom.ini --json"));
    EXPECT_EQ(custom[4]["formula"], "20m");
    EXPECT_EQ(custom[4]["lowest"], "15M");
    EXPECT_EQ(custom[4]["in_range"], false);
    EXPECT_EQ(custom[0]["formula"], "1m*pa+k");
    EXPECT_EQ(custom[0]["in_range"], true);
    EXPECT_EQ(custom[2], defaults[2]) << "roles the file does not name keep their default";
    EXPECT_EQ(defaults[2]["formula"],
              "200k*(pa-7)+200k*(sh-5)+75k*(ta-2)+200k*(bc-8)+200k*(sp-7)+150k*(fi-2)");
}

TEST(CliUsage, UsageErrorsExitWithTwo) {
    for (const char* args : {"", "teams", "no-such-command", "price 75k*pa 1 2 3"})
        EXPECT_EQ(RunCli(args).status, 2) << args;
    EXPECT_EQ(RunCli("--help").status, 0);
}

} // namespace
