#include <filesystem>
#include <iomanip>
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "core/prices/Formulas.h"
#include "core/prices/PriceCalculator.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"

namespace kivo::cli {

namespace {

using nlohmann::json;

void PrintPrice(const std::string& formula, const std::vector<std::string>& skillTexts) {
    static const char* names[kSkillCount] = {"PA", "SH", "HE", "TA", "BC", "SP", "FI"};
    Skills skills{};
    for (std::size_t i = 0; i < kSkillCount; ++i) {
        const long v = ParseNumber(skillTexts[i], names[i]);
        if (v < 0 || v > 255)
            UsageFail(std::string(names[i]) + " must be from 0 to 255, not " + skillTexts[i]);
        skills[i] = static_cast<std::uint8_t>(v);
    }
    PriceEvaluator evaluator;
    const auto latin1 = Utf8ToLatin1(formula).value_or(formula);
    for (const std::string& note : FormulaNotes(latin1))
        Warn(note);
    if (auto fault = evaluator.Fault(latin1, skills))
        Fail("the formula cannot be evaluated: " + fault->message +
             (fault->position == 0 ? std::string()
              : fault->position > latin1.size()
                  ? " (at the end of the formula)"
                  : " (at character " + std::to_string(fault->position) + ": \"" +
                        Latin1ToUtf8(latin1.substr(fault->position - 1)) + "\")"));
    std::cout << evaluator.CalcularPrecio(latin1, skills) << '\n';
}

constexpr const char* kCannotEvaluate = "cannot be evaluated";

void PrintFormulas(const std::string& ini, bool iniGiven, bool asJson) {
    std::error_code ec;
    if (iniGiven && !std::filesystem::is_regular_file(ini, ec))
        Fail("there is no settings file " + ini +
             (std::filesystem::exists(ini, ec) ? " (it is not a file)" : std::string()) +
             "; without --ini the formulas are read from " + kVentanasFileName);
    const FormulaSet formulas = ReadFormulas(ini);
    PriceEvaluator evaluator;
    json out = json::array();
    const Skills top = [] {
        Skills s;
        s.fill(15);
        return s;
    }();
    for (const FormulaInfo& info : FormulaInfos()) {
        const std::string& text = formulas[static_cast<std::size_t>(info.role)];
        const auto fault = evaluator.Fault(text, top);
        const FormulaRange range = evaluator.Range(text);
        json row = {{"role", std::string(info.name)},
                    {"key", std::string(info.key)},
                    {"formula", Show(text)},
                    {"lowest", fault ? json(nullptr) : json(range.lowest)},
                    {"highest", fault ? json(nullptr) : json(range.highest)},
                    {"in_range", !fault && range.inRange},
                    {"error", fault ? json(fault->message) : json(nullptr)}};
        out.push_back(row);
    }
    if (asJson) {
        std::cout << out.dump(2) << '\n';
        return;
    }
    std::cout << std::left << std::setw(10) << "Role" << std::setw(11) << "MIN VALUE" << std::setw(11)
              << "MAX VALUE" << std::setw(10) << "In range"
              << "Formula\n";
    for (const json& row : out) {
        std::cout << std::left << std::setw(10) << row["role"].get<std::string>();
        if (row["error"].is_null())
            std::cout << std::setw(11) << row["lowest"].get<std::string>() << std::setw(11)
                      << row["highest"].get<std::string>() << std::setw(10)
                      << (row["in_range"].get<bool>() ? "yes" : "no");
        else
            std::cout << std::setw(32) << kCannotEvaluate;
        std::cout << Printable(row["formula"].get<std::string>()) << '\n';
    }
}

void SetFormula(const std::string& roleName, const std::string& text, const std::string& ini) {
    const auto role = FormulaRoleNamed(roleName);
    if (!role) {
        std::vector<std::string> names;
        for (const FormulaInfo& info : FormulaInfos())
            names.push_back(std::string(info.name));
        UsageFail("unknown role \"" + roleName + "\"; did you mean " + Closest(roleName, names) +
                  "? Accepted: back, defender, wing, midfield, attack");
    }
    const auto latin1 = Utf8ToLatin1(text);
    if (!latin1) UsageFail("the formula has characters that the settings file cannot hold");
    if (latin1->size() > kFormulaWidth)
        UsageFail("a formula is at most " + std::to_string(kFormulaWidth) + " characters, not " +
                  std::to_string(latin1->size()));
    for (const std::string& note : FormulaNotes(*latin1))
        Warn(note);
    PriceEvaluator evaluator;
    Skills top;
    top.fill(15);
    if (!TrimRight(*latin1).empty()) {
        if (auto fault = evaluator.Fault(*latin1, top))
            Fail("the formula cannot be evaluated: " + fault->message +
                 (fault->position ? " (at character " + std::to_string(fault->position) + ")"
                                  : std::string()) +
                 "; nothing was written");
    }
    if (!WriteFormula(ini, *role, *latin1)) Fail("cannot write " + ini + "; nothing was written");
    std::cout << Info(*role).key << '=' << text << '\n';
}

} // namespace

void AddPriceCommands(CLI::App& app) {
    auto* price = app.add_subcommand("price", "Compute the price text a formula gives for seven skills");
    auto formula = std::make_shared<std::string>();
    auto skills = std::make_shared<std::vector<std::string>>();
    price->add_option("FORMULA", *formula, "formula over pa, sh, he, ta, bc, sp, fi with k and m suffixes")
        ->required();
    price->add_option("SKILLS", *skills, "PA SH HE TA BC SP FI")->required()->expected(7);
    price->footer(
        "Examples:\n  kivo-cli price '75k*pa+100k*he' 10 5 8 7 9 11 3\n"
        "  kivo-cli price \"$(kivo-cli formulas --json | jq -r '.[4].formula')\" 15 15 15 15 15 15 15");
    price->callback([=] { PrintPrice(*formula, *skills); });

    auto* formulas =
        app.add_subcommand("formulas", "The five price formulas in force, with their price range");
    auto ini = std::make_shared<std::string>(kVentanasFileName);
    auto asJson = std::make_shared<bool>(false);
    auto* iniOption =
        formulas->add_option("--ini", *ini, "settings file holding the formulas")->capture_default_str();
    formulas->add_flag("--json", *asJson, "JSON output");
    formulas->footer(
        "Examples:\n  kivo-cli formulas\n  kivo-cli formulas --ini /games/kivo/ventanas.ini --json\n"
        "  kivo-cli formulas set attack '100k*pa+300k*(sh-6)'");
    formulas->require_subcommand(0, 1);

    auto* set = formulas->add_subcommand("set", "Write the formula of ROLE into the settings file");
    auto role = std::make_shared<std::string>();
    auto text = std::make_shared<std::string>();
    auto setIni = std::make_shared<std::string>(kVentanasFileName);
    set->add_option("ROLE", *role, "back, defender, wing, midfield or attack")->required();
    set->add_option("TEXT", *text, "the formula, up to 200 characters")->required();
    set->add_option("--ini", *setIni, "settings file to write (created when missing)")->capture_default_str();
    set->callback([=] { SetFormula(*role, *text, *setIni); });

    formulas->callback([=] {
        if (set->parsed()) return;
        PrintFormulas(*ini, iniOption->count() > 0, *asJson);
    });
}

} // namespace kivo::cli
