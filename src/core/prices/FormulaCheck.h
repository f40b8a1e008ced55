#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// Why a price formula cannot be evaluated: the evaluator's own message followed by where the fault is,
// counted in the formula as typed (the first character is 1). Nothing when the formula gives one value (a
// blank formula included). A formula that gives several values ("1,5*pa") is a fault too.
std::optional<std::string> FindFormulaFault(std::string_view formula);

// The first number with a decimal point followed by a k or m suffix ("1.5m"), which the suffix rule reads as
// that number followed by zeros ("1.5000000", worth 1.5), and what to write instead for the amount it seems
// to mean ("1500k"). Nothing when the formula has none.
struct SuffixPitfall {
    std::string written;   // "1.5m"
    std::string worth;     // "1.5"
    std::string seemsToBe; // "1,500,000"
    std::string writeThis; // "1500k"
};
std::optional<SuffixPitfall> FindSuffixPitfall(std::string_view formula);

} // namespace kivo
