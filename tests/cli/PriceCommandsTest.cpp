#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "CliRunner.h"

namespace {

namespace fs = std::filesystem;
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
        PriceCase{"(((", "1 1 1 1 1 1 1", "25K-"}, PriceCase{"xyz*2", "1 1 1 1 1 1 1", "25K-"}));

TEST(PriceCommandInput, SkillsMustBeBytes) {
    EXPECT_EQ(RunCli("price 75k*pa 256 0 0 0 0 0 0").status, 1);
    EXPECT_EQ(RunCli("price 75k*pa ten 0 0 0 0 0 0").status, 1);
    // A skill above 15 reaches the formula unchanged.
    EXPECT_EQ(RunCli("price 75k*pa 20 0 0 0 0 0 0").out, "1.5M\n");
}

class FormulasCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kivo-cli-formulas-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(FormulasCommand, DefaultsWhenTheFileIsMissingAndNothingIsCreated) {
    const CliRun run = RunCli("formulas --json", dir_);
    ASSERT_EQ(run.status, 0) << run.err;
    const json rows = json::parse(run.out);
    ASSERT_EQ(rows.size(), 5u);
    const char* roles[] = {"Back", "Defender", "Wing", "Midfield", "Attack"};
    const char* keys[] = {"FormulaMarcadorPunta", "FormulaMarcadorCentral", "FormulaVolanteLateral",
                          "FormulaVolanteCentral", "FormulaDelantero"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(rows[i]["role"], roles[i]);
        EXPECT_EQ(rows[i]["key"], keys[i]);
    }
    EXPECT_EQ(rows[0]["lowest"], "25K");
    EXPECT_EQ(rows[0]["highest"], "7M");
    EXPECT_EQ(rows[0]["in_range"], false);
    EXPECT_EQ(rows[4]["lowest"], "25K");
    EXPECT_EQ(rows[4]["highest"], "15M");
    EXPECT_EQ(rows[4]["in_range"], true);
    EXPECT_FALSE(fs::exists(dir_ / "ventanas.ini"));
}

TEST_F(FormulasCommand, ReadsTheFormulasInForceFromTheIniFile) {
    std::ofstream(dir_ / "custom.ini")
        << "[Formula]\r\nFormulaDelantero=20m\r\nFormulaMarcadorPunta=1m*pa+k\r\n";
    const CliRun run = RunCli("formulas --ini custom.ini --json", dir_);
    ASSERT_EQ(run.status, 0) << run.err;
    const json rows = json::parse(run.out);
    EXPECT_EQ(rows[4]["formula"], "20m");
    EXPECT_EQ(rows[4]["lowest"], "15M");
    EXPECT_EQ(rows[4]["highest"], "15M");
    EXPECT_EQ(rows[4]["in_range"], false);
    EXPECT_EQ(rows[0]["formula"], "1m*pa+k");
    EXPECT_EQ(rows[0]["in_range"], true);
    // Roles the file does not name keep their default.
    EXPECT_EQ(rows[2]["formula"], "200k*(pa-7)+200k*(sh-5)+75k*(ta-2)+200k*(bc-8)+200k*(sp-7)+150k*(fi-2)");
}

} // namespace
