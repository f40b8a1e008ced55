#include "../core/TestFiles.h"
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
        PriceCase{"75k*pa", "20 0 0 0 0 0 0", "1.5M"})); // a skill above 15 reaches the formula

struct FaultCase {
    const char* label;
    const char* formula;
    const char* message; // the evaluator's words and the place of the fault
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.label;
}

class PriceFault : public ::testing::TestWithParam<FaultCase> {};

// The editor's value for such a formula stays 0 ("25K-"); the command says why instead.
TEST_P(PriceFault, ExitsOneWithTheEvaluatorsMessageAndThePlace) {
    const CliRun run = RunCli("price " + ShellQuote(GetParam().formula) + " 1 1 1 1 1 1 1");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_EQ(run.err,
              std::string("kivo-cli: the formula cannot be evaluated: ") + GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, PriceFault,
    ::testing::Values(
        FaultCase{"UnclosedParenthesis", "75k*(pa", "Missing parenthesis (at the end of the formula)"},
        FaultCase{"UnknownName", "75 k*xyz", "Unexpected token \"xyz\" found (at character 6: \"xyz\")"},
        FaultCase{"TwoResults", "1,5*pa", "the formula gives 2 results, not one (a comma separates them)"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PriceCommandInput, ADecimalWithASuffixDrawsANote) {
    const CliRun run = RunCli("price '1.5m*pa + 2.25K' 10 0 0 0 0 0 0");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "25K-\n");
    EXPECT_EQ(run.err,
              "kivo-cli: warning: 1.5m means 1.5 (a suffix only appends zeros to the text); for 1500000 "
              "write 1500k\nkivo-cli: warning: 2.25K means 2.25 (a suffix only appends zeros to the "
              "text); for 2250 write 2250\n");
}

TEST(PriceCommandInput, SkillsMustBeBytes) {
    for (const char* skills : {"256 0 0 0 0 0 0", "ten 0 0 0 0 0 0"}) {
        const CliRun run = RunCli(std::string("price 75k*pa ") + skills);
        EXPECT_EQ(run.status, 2) << skills;
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
                                 {"in_range", false},
                                 {"error", nullptr}}));
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

TEST(FormulasCommand, AMissingIniIsAnErrorAndABrokenFormulaCannotBeEvaluated) {
    WorkDir work;
    const CliRun missing = work.Run("formulas --ini nowhere.ini");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "kivo-cli: there is no settings file nowhere.ini; without --ini the formulas are read "
              "from ventanas.ini\n");
    std::filesystem::create_directory(work / "adir.ini");
    EXPECT_EQ(work.Run("formulas --ini adir.ini").status, 1);

    std::ofstream(work / "broken.ini") << "[Formula]\r\nFormulaDelantero=100k*(pa\r\n";
    const json rows = JsonOf(work.Run("formulas --ini broken.ini --json"));
    EXPECT_EQ(rows[4]["error"], "Missing parenthesis");
    EXPECT_TRUE(rows[4]["lowest"].is_null() && rows[4]["highest"].is_null());
    EXPECT_EQ(rows[4]["in_range"], false);
    const CliRun table = work.Run("formulas --ini broken.ini");
    ASSERT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("Attack    cannot be evaluated"), std::string::npos) << table.out;
}

TEST(FormulasCommand, SetWritesOneLineAndKeepsTheRestOfTheFile) {
    WorkDir work;
    const std::string before =
        "; my prices\r\n[Formula]\r\nFormulaDelantero=1k*pa\r\n\r\n[Configuraci\xF3n]\r\n"
        "DirectorioKIVO=c:\\kivo\\data\r\n";
    std::ofstream(work / "ventanas.ini", std::ios::binary) << before;
    const CliRun set = work.Run("formulas set ATTACK '2k*pa'");
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "FormulaDelantero=2k*pa\n");
    const CliRun back = work.Run("formulas set back '75k*he'");
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(kivo::test::ReadText(work / "ventanas.ini"),
              "; my prices\r\n[Formula]\r\nFormulaDelantero=2k*pa\r\nFormulaMarcadorPunta=75k*he\r\n\r\n"
              "[Configuraci\xF3n]\r\nDirectorioKIVO=c:\\kivo\\data\r\n");
    EXPECT_EQ(JsonOf(work.Run("formulas --json"))[0]["formula"], "75k*he");

    const std::string kept = kivo::test::ReadText(work / "ventanas.ini");
    for (const auto& [args, status, message] : std::vector<std::tuple<std::string, int, std::string>>{
             {"formulas set attak 1k", 2, "unknown role \"attak\"; did you mean Attack?"},
             {"formulas set wing '1k*(pa'", 1, "cannot be evaluated: Missing parenthesis"},
             {"formulas set wing " + std::string(201, '1'), 2, "at most 200 characters"}}) {
        const CliRun run = work.Run(args);
        EXPECT_EQ(run.status, status) << args;
        EXPECT_NE(run.err.find(message), std::string::npos) << args << ": " << run.err;
        EXPECT_EQ(kivo::test::ReadText(work / "ventanas.ini"), kept) << args;
    }
    const CliRun other = work.Run("formulas set midfield 5k --ini other.ini");
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(kivo::test::ReadText(work / "other.ini"), "[Formula]\r\nFormulaVolanteCentral=5k\r\n");
}

TEST(CliUsage, UsageErrorsExitWithTwo) {
    for (const char* args : {"", "teams", "no-such-command", "price 75k*pa 1 2 3"})
        EXPECT_EQ(RunCli(args).status, 2) << args;
    EXPECT_EQ(RunCli("--help").status, 0);
}

TEST(CliUsage, VersionAndHelpWithExamples) {
    const CliRun version = RunCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("kivo-cli ", 0), 0u) << version.out;
    for (const char* command :
         {"", "players", "players update", "backups", "formulas", "price", "teams", "clipboard"}) {
        const CliRun help = RunCli(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find("Examples:\n  kivo-cli "), std::string::npos) << command << ": " << help.out;
    }
}

struct Misspelt {
    const char* label;
    const char* args;
    const char* message;
};

void PrintTo(const Misspelt& c, std::ostream* os) {
    *os << c.label;
}

class CliMisspelt : public ::testing::TestWithParam<Misspelt> {};

TEST_P(CliMisspelt, NamesItselfAndTheClosestValidOne) {
    WorkDir work;
    const CliRun run = work.Run(GetParam().args);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, std::string("kivo-cli: ") + GetParam().message + "\n");
    EXPECT_TRUE(std::filesystem::is_empty(work.path())) << "nothing is created";
}

INSTANTIATE_TEST_SUITE_P(
    Words, CliMisspelt,
    ::testing::Values(
        Misspelt{"Command", "plyers list", "unknown command \"plyers\" for kivo-cli; did you mean players?"},
        Misspelt{"Subcommand", "players lst", "unknown command \"lst\" for players; did you mean list?"},
        Misspelt{"Option", "players list --ordr name",
                 "unknown option --ordr for list; did you mean --order?"},
        Misspelt{"OptionAfterAValue", "players list --order name --jsn",
                 "unknown option --jsn for list; did you mean --json?"},
        Misspelt{
            "Order", "players list --order pasing",
            "unknown order \"pasing\"; did you mean passing? Accepted: name, position, passing, shooting, "
            "heading, tackling, ball-control, speed, finishing, price, mark, nationality, country"},
        Misspelt{"BackupsCommand", "backups lst data",
                 "unknown command \"lst\" for backups; did you mean list?"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
