#include <iomanip>
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "core/prices/Formulas.h"
#include "core/prices/PriceCalculator.h"
#include "core/settings/SettingsEntries.h"

namespace kivo::cli {

namespace {

using nlohmann::json;

void PrintPrice(const std::string& formula, const std::vector<std::string>& skillTexts) {
    static const char* names[kSkillCount] = {"PA", "SH", "HE", "TA", "BC", "SP", "FI"};
    Skills skills{};
    for (std::size_t i = 0; i < kSkillCount; ++i) {
        const long v = ParseNumber(skillTexts[i], names[i]);
        if (v < 0 || v > 255) Fail(std::string(names[i]) + " must be from 0 to 255, not " + skillTexts[i]);
        skills[i] = static_cast<std::uint8_t>(v);
    }
    PriceEvaluator evaluator;
    std::cout << evaluator.CalcularPrecio(formula, skills) << '\n';
}

void PrintFormulas(const std::string& ini, bool asJson) {
    const FormulaSet formulas = ReadFormulas(ini);
    PriceEvaluator evaluator;
    json out = json::array();
    for (const FormulaInfo& info : FormulaInfos()) {
        const std::string& text = formulas[static_cast<std::size_t>(info.role)];
        const FormulaRange range = evaluator.Range(text);
        out.push_back({{"role", std::string(info.name)},
                       {"key", std::string(info.key)},
                       {"formula", Show(text)},
                       {"lowest", range.lowest},
                       {"highest", range.highest},
                       {"in_range", range.inRange}});
    }
    if (asJson) {
        std::cout << out.dump(2) << '\n';
        return;
    }
    std::cout << std::left << std::setw(10) << "Role" << std::setw(11) << "MIN VALUE" << std::setw(11)
              << "MAX VALUE" << std::setw(10) << "In range"
              << "Formula\n";
    for (const json& row : out)
        std::cout << std::left << std::setw(10) << row["role"].get<std::string>() << std::setw(11)
                  << row["lowest"].get<std::string>() << std::setw(11) << row["highest"].get<std::string>()
                  << std::setw(10) << (row["in_range"].get<bool>() ? "yes" : "no")
                  << row["formula"].get<std::string>() << '\n';
}

} // namespace

void AddPriceCommands(CLI::App& app) {
    auto* price = app.add_subcommand("price", "Compute the price text a formula gives for seven skills");
    auto formula = std::make_shared<std::string>();
    auto skills = std::make_shared<std::vector<std::string>>();
    price->add_option("FORMULA", *formula, "formula over pa, sh, he, ta, bc, sp, fi with k and m suffixes")
        ->required();
    price->add_option("SKILLS", *skills, "PA SH HE TA BC SP FI")->required()->expected(7);
    price->callback([=] { PrintPrice(*formula, *skills); });

    auto* formulas =
        app.add_subcommand("formulas", "The five price formulas in force, with their price range");
    auto ini = std::make_shared<std::string>(kVentanasFileName);
    auto asJson = std::make_shared<bool>(false);
    formulas->add_option("--ini", *ini, "settings file holding the formulas")->capture_default_str();
    formulas->add_flag("--json", *asJson, "JSON output");
    formulas->callback([=] { PrintFormulas(*ini, *asJson); });
}

} // namespace kivo::cli
