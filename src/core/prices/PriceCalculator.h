#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/gamefiles/PlayerCodes.h"
#include "core/prices/Formulas.h"

namespace kivo {

// Replaces every k/K by "000" and m/M by "000000" and drops blanks: "75 k * pa" gives "75000*pa". The text
// is purely textual (1.5M gives 1.5000000, worth 1.5) and is cut at 200 characters.
std::string ExpandFormula(std::string_view formula);

// A formula's lowest price (all skills 0) and highest price (all skills 15), both snapped to the ladder, and
// whether it spans the whole ladder from 25,000 to 15,000,000.
struct FormulaRange {
    std::uint32_t lowestValue = 0;
    std::uint32_t highestValue = 0;
    std::string lowest;  // ladder text, "25K" .. "15M"
    std::string highest; // ladder text
    bool inRange = false;
};

// Why a formula cannot be evaluated: the evaluator's message (without the place it counts in the expanded
// text) and the place of the fault in the formula as written (1 for its first character; 0 when no place is
// known). A formula that gives several values ("1,5*pa") tells how many in `results`.
struct FormulaFault {
    std::string message;
    std::size_t position = 0;
    std::size_t results = 0; // more than 1 when a comma split the formula into values; else 0
};

// A decimal number with a k or m suffix ("1.5m"), which the suffix rule reads as that number followed by
// zeros ("1.5000000", worth 1.5), and what to write instead for the amount it seems to mean ("1500k").
struct SuffixPitfall {
    std::string written;   // "1.5m", blanks dropped
    std::string worth;     // "1.5" (".5" as "0.5")
    long long amount = 0;  // 1500000
    std::string seemsToBe; // "1,500,000"
    std::string writeThis; // "1500k"
};

// Every such number of the formula, left to right.
std::vector<SuffixPitfall> FindSuffixPitfalls(std::string_view formula);

// The pitfalls as one line each: "1.5m means 1.5 (a suffix only appends zeros to the text); for 1500000
// write 1500k".
std::vector<std::string> FormulaNotes(std::string_view formula);

// Evaluates price formulas over the seven skills (names PA, SH, HE, TA, BC, SP, FI in any letter case).
// Each evaluator has its own bound skill variables, so windows on different threads never share them.
class PriceEvaluator {
public:
    PriceEvaluator();
    ~PriceEvaluator();
    PriceEvaluator(PriceEvaluator&&) noexcept;
    PriceEvaluator& operator=(PriceEvaluator&&) noexcept;

    // The formula's money value for these skills, as a signed 32-bit whole number (fractions truncated,
    // values beyond the range clamped). A formula that cannot be evaluated is worth 0.
    std::int32_t Value(std::string_view formula, const Skills& skills);

    // The price text for these skills: "15M+" above 15,000,000, "25K-" below 25,000, otherwise the text
    // of the nearest ladder step. Trailing blanks removed.
    std::string CalcularPrecio(std::string_view formula, const Skills& skills);

    FormulaRange Range(std::string_view formula);

    // Why the formula cannot be evaluated for these skills, or nothing when it can. Value and
    // CalcularPrecio still give 0 and "25K-" for such a formula, as the editor uses them.
    std::optional<FormulaFault> Fault(std::string_view formula, const Skills& skills);

    // The new price text of a player priced by the formulas: nothing when the position has no formula or
    // its formula is blank (the price then stays as it was).
    std::optional<std::string> PriceForPlayer(const FormulaSet& formulas, const std::string& positionText,
                                              const Skills& skills);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace kivo
