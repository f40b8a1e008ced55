#include "core/prices/FormulaCheck.h"

#include <cctype>
#include <cmath>
#include <regex>
#include <vector>

#include <muParser.h>

#include "core/gamefiles/PlayerCodes.h"
#include "core/prices/Formulas.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

constexpr const char* kNames[kSkillCount] = {"pa", "sh", "he", "ta", "bc", "sp", "fi"};

// The expansion of ExpandFormula, lower-cased, remembering for every character of the result the position
// (from 1) of the formula's character it came from.
struct Expanded {
    std::string text;
    std::vector<std::size_t> from;
};

Expanded ExpandTracked(std::string_view formula) {
    const std::string typed = TrimRight(formula);
    Expanded e;
    auto append = [&e](std::string_view piece, std::size_t at) {
        while (!e.text.empty() && e.text.back() == ' ') {
            e.text.pop_back();
            e.from.pop_back();
        }
        for (char c : piece) {
            e.text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            e.from.push_back(at);
        }
    };
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        if (c == 'k' || c == 'K')
            append("000", i + 1);
        else if (c == 'm' || c == 'M')
            append("000000", i + 1);
        else
            append(std::string_view(&c, 1), i + 1);
    }
    if (e.text.size() > kFormulaWidth) {
        e.text.resize(kFormulaWidth);
        e.from.resize(kFormulaWidth);
    }
    return e;
}

// "1500000" as "1,500,000".
std::string Grouped(long long v) {
    std::string digits = std::to_string(v);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::size_t(at), ",");
    return digits;
}

} // namespace

std::optional<std::string> FindFormulaFault(std::string_view formula) {
    const Expanded e = ExpandTracked(formula);
    if (e.text.empty()) return std::nullopt;
    double skills[kSkillCount] = {};
    mu::Parser parser;
    try {
        for (std::size_t i = 0; i < kSkillCount; ++i)
            parser.DefineVar(kNames[i], &skills[i]);
        parser.SetExpr(e.text);
        parser.Eval();
        if (const int n = parser.GetNumResults(); n != 1)
            return "The formula gives " + std::to_string(n) +
                   " values instead of one (a comma separates values; write decimals with a point).";
        return std::nullopt;
    } catch (const mu::Parser::exception_type& fault) {
        // The evaluator counts in the expanded text; the user sees the formula as typed.
        std::string message = std::regex_replace(std::string(fault.GetMsg()),
                                                 std::regex(" at (expression )?position [0-9]+"), "");
        while (!message.empty() && (message.back() == '.' || message.back() == ' '))
            message.pop_back();
        const auto pos = static_cast<std::size_t>(fault.GetPos());
        std::size_t at = e.from.empty() ? 1 : e.from.back() + 1;
        if (fault.GetPos() >= 0 && pos < e.from.size()) at = e.from[pos];
        return message + " (at character " + std::to_string(at) + " of the formula).";
    }
}

std::optional<SuffixPitfall> FindSuffixPitfall(std::string_view formula) {
    const std::string text(formula);
    static const std::regex number(R"(([0-9]*\.[0-9]+)\s*([kKmM]))");
    std::smatch m;
    if (!std::regex_search(text, m, number)) return std::nullopt;
    SuffixPitfall p;
    p.written = m[1].str() + m[2].str();
    const std::string digits = m[1].str();
    p.worth = digits.front() == '.' ? "0" + digits : digits;
    const bool million = m[2].str() == "m" || m[2].str() == "M";
    const double amount = std::stod(p.worth) * (million ? 1e6 : 1e3);
    const long long whole = std::llround(amount);
    p.seemsToBe = Grouped(whole);
    if (million && whole % 1000 == 0)
        p.writeThis = std::to_string(whole / 1000) + "k";
    else
        p.writeThis = std::to_string(whole);
    return p;
}

} // namespace kivo
