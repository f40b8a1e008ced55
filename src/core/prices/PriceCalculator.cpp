#include "core/prices/PriceCalculator.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <list>
#include <regex>

#include <muParser.h>

#include "core/prices/PriceLadder.h"
#include "core/support/FixedText.h"

namespace kivo {

namespace {

constexpr const char* kSkillNames[kSkillCount] = {"pa", "sh", "he", "ta", "bc", "sp", "fi"};
// Parsed formulas kept per evaluator; a team uses at most five formulas.
constexpr std::size_t kCachedFormulas = 8;

std::int32_t ToMoney(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

} // namespace

namespace {

// The expansion, with the place in the formula of every character of the result.
std::string Expand(std::string_view formula, std::vector<std::size_t>* origin) {
    const std::string text = TrimRight(formula);
    std::string out;
    auto append = [&](std::string_view piece, std::size_t from) {
        while (!out.empty() && out.back() == ' ') {
            out.pop_back();
            if (origin) origin->pop_back();
        }
        out += piece;
        if (origin) origin->insert(origin->end(), piece.size(), from);
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == 'k' || c == 'K')
            append("000", i);
        else if (c == 'm' || c == 'M')
            append("000000", i);
        else
            append(std::string_view(&c, 1), i);
    }
    if (out.size() > kFormulaWidth) {
        out.resize(kFormulaWidth);
        if (origin) origin->resize(kFormulaWidth);
    }
    return out;
}

} // namespace

std::string ExpandFormula(std::string_view formula) {
    return Expand(formula, nullptr);
}

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// "1500000" as "1,500,000".
std::string Grouped(long long v) {
    std::string digits = std::to_string(v);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(std::size_t(at), ",");
    return digits;
}

// The evaluator counts its place in the expanded text; the user sees the formula as typed.
std::string WithoutExpandedPlace(std::string message) {
    message = std::regex_replace(message, std::regex(" at (expression )?position [0-9]+"), "");
    while (!message.empty() && (message.back() == '.' || message.back() == ' '))
        message.pop_back();
    return message;
}

} // namespace

std::vector<SuffixPitfall> FindSuffixPitfalls(std::string_view formula) {
    std::vector<SuffixPitfall> found;
    std::string text;
    for (char c : formula)
        if (c != ' ') text += c;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(IsDigit(text[i]) || text[i] == '.') || (i > 0 && (IsDigit(text[i - 1]) || text[i - 1] == '.')))
            continue;
        std::size_t j = i;
        while (j < text.size() && IsDigit(text[j]))
            ++j;
        if (j >= text.size() || text[j] != '.') continue;
        std::size_t k = j + 1;
        while (k < text.size() && IsDigit(text[k]))
            ++k;
        if (k == j + 1 || k >= text.size()) continue;
        const char suffix = static_cast<char>(std::tolower(static_cast<unsigned char>(text[k])));
        if (suffix != 'k' && suffix != 'm') continue;
        SuffixPitfall p;
        p.written = text.substr(i, k - i + 1);
        const std::string number = text.substr(i, k - i);
        p.worth = number.front() == '.' ? "0" + number : number;
        // A number far beyond any price (hundreds of digits) has no amount to suggest; no note for it.
        const double amount = std::strtod(p.worth.c_str(), nullptr) * (suffix == 'k' ? 1e3 : 1e6);
        if (!(amount < 1e15)) continue;
        p.amount = std::llround(amount);
        p.seemsToBe = Grouped(p.amount);
        if (p.amount % 1000000 == 0)
            p.writeThis = std::to_string(p.amount / 1000000) + "m";
        else if (p.amount % 1000 == 0)
            p.writeThis = std::to_string(p.amount / 1000) + "k";
        else
            p.writeThis = std::to_string(p.amount);
        found.push_back(std::move(p));
    }
    return found;
}

std::vector<std::string> FormulaNotes(std::string_view formula) {
    std::vector<std::string> notes;
    for (const SuffixPitfall& p : FindSuffixPitfalls(formula))
        notes.push_back(p.written + " means " + p.worth + " (a suffix only appends zeros to the text); for " +
                        std::to_string(p.amount) + " write " + p.writeThis);
    return notes;
}

struct PriceEvaluator::State {
    double skills[kSkillCount] = {};
    struct Entry {
        std::string expanded;
        mu::Parser parser;
        bool valid = true;
    };
    std::list<Entry> cache; // most recently used first
    // Formulas as written and their expansions: a whole game's repricing asks for the same five formulas
    // hundreds of thousands of times.
    std::vector<std::pair<std::string, std::string>> expansions;

    const std::string& ExpandedOf(std::string_view formula) {
        for (const auto& [written, expanded] : expansions)
            if (written == formula) return expanded;
        if (expansions.size() >= kCachedFormulas) expansions.erase(expansions.begin());
        expansions.emplace_back(std::string(formula), ExpandFormula(formula));
        return expansions.back().second;
    }

    Entry& ParserFor(const std::string& expanded) {
        for (auto it = cache.begin(); it != cache.end(); ++it) {
            if (it->expanded == expanded) {
                cache.splice(cache.begin(), cache, it);
                return cache.front();
            }
        }
        if (cache.size() >= kCachedFormulas) cache.pop_back();
        cache.emplace_front();
        Entry& e = cache.front();
        e.expanded = expanded;
        try {
            for (std::size_t i = 0; i < kSkillCount; ++i)
                e.parser.DefineVar(kSkillNames[i], &skills[i]);
            std::string lower = expanded;
            for (char& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            e.parser.SetExpr(lower.empty() ? std::string("0") : lower);
        } catch (const mu::Parser::exception_type&) {
            e.valid = false;
        }
        return e;
    }
};

PriceEvaluator::PriceEvaluator() : state_(std::make_unique<State>()) {}
PriceEvaluator::~PriceEvaluator() = default;
PriceEvaluator::PriceEvaluator(PriceEvaluator&&) noexcept = default;
PriceEvaluator& PriceEvaluator::operator=(PriceEvaluator&&) noexcept = default;

std::int32_t PriceEvaluator::Value(std::string_view formula, const Skills& skills) {
    State::Entry& e = state_->ParserFor(state_->ExpandedOf(formula));
    if (!e.valid) return 0;
    for (std::size_t i = 0; i < kSkillCount; ++i)
        state_->skills[i] = skills[i];
    try {
        double v = e.parser.Eval();
        // "1,5*pa" is two results, not a price.
        if (e.parser.GetNumResults() != 1) return 0;
        return ToMoney(v);
    } catch (const mu::Parser::exception_type&) {
        e.valid = false;
        return 0;
    }
}

std::optional<FormulaFault> PriceEvaluator::Fault(std::string_view formula, const Skills& skills) {
    std::vector<std::size_t> origin;
    std::string expanded = Expand(formula, &origin);
    for (char& c : expanded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    mu::Parser parser;
    double vars[kSkillCount];
    for (std::size_t i = 0; i < kSkillCount; ++i) {
        vars[i] = skills[i];
        parser.DefineVar(kSkillNames[i], &vars[i]);
    }
    try {
        parser.SetExpr(expanded.empty() ? std::string("0") : expanded);
        parser.Eval();
        if (parser.GetNumResults() != 1)
            return FormulaFault{"the formula gives " + std::to_string(parser.GetNumResults()) +
                                    " results, not one (a comma separates them)",
                                0, static_cast<std::size_t>(parser.GetNumResults())};
        return std::nullopt;
    } catch (const mu::Parser::exception_type& e) {
        FormulaFault fault{WithoutExpandedPlace(e.GetMsg()), 0};
        const auto at = static_cast<std::size_t>(e.GetPos());
        if (!origin.empty()) fault.position = (at < origin.size() ? origin[at] : origin.back() + 1) + 1;
        return fault;
    }
}

std::string PriceEvaluator::CalcularPrecio(std::string_view formula, const Skills& skills) {
    const std::int32_t v = Value(formula, skills);
    if (v > 15'000'000) return "15M+";
    if (v < 25'000) return "25K-";
    return LadderPriceText(SnapToPriceLadder(v));
}

FormulaRange PriceEvaluator::Range(std::string_view formula) {
    FormulaRange r;
    Skills zero{};
    Skills top;
    top.fill(15);
    r.lowestValue = SnapToPriceLadder(Value(formula, zero));
    r.highestValue = SnapToPriceLadder(Value(formula, top));
    r.lowest = LadderPriceText(r.lowestValue);
    r.highest = LadderPriceText(r.highestValue);
    r.inRange = r.lowestValue <= PriceLadder().front() && r.highestValue >= PriceLadder().back();
    return r;
}

std::optional<std::string> PriceEvaluator::PriceForPlayer(const FormulaSet& formulas,
                                                          const std::string& positionText,
                                                          const Skills& skills) {
    auto role = RoleOfPosition(positionText);
    if (!role) return std::nullopt;
    const std::string& formula = formulas[static_cast<std::size_t>(*role)];
    if (formula.find_first_not_of(' ') == std::string::npos) return std::nullopt;
    return CalcularPrecio(formula, skills);
}

} // namespace kivo
