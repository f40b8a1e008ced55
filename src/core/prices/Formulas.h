#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

// The five playing roles that have a price formula, in the order the formula editor shows and saves them.
enum class FormulaRole { Back, Defender, Wing, Midfield, Attack };
inline constexpr std::size_t kFormulaCount = 5;
inline constexpr std::size_t kFormulaWidth = 200;

struct FormulaInfo {
    FormulaRole role;
    std::string_view name;        // "Back"
    std::string_view caption;     // "Back Formula:"
    std::string_view key;         // FormulaMarcadorPunta, in section Formula of ventanas.ini
    std::string_view defaultText; // the built-in formula
};

const std::array<FormulaInfo, kFormulaCount>& FormulaInfos();
const FormulaInfo& Info(FormulaRole role);

// The five formula texts, indexed by role.
using FormulaSet = std::array<std::string, kFormulaCount>;

FormulaSet DefaultFormulas();

// Reads the five formulas from the ventanas.ini at `path`; a missing file, section or key gives the default.
// Reading never creates the file.
FormulaSet ReadFormulas(const std::string& path);

// Writes the five formulas in the order Back, Defender, Wing, Midfield, Attack. False when the file
// cannot be written.
bool WriteFormulas(const std::string& path, const FormulaSet& formulas);

// Writes one formula, leaving the rest of the file as it is. False when the file cannot be written.
bool WriteFormula(const std::string& path, FormulaRole role, const std::string& text);

// "back", "defender", "wing", "midfield", "attack" (any letter case).
std::optional<FormulaRole> FormulaRoleNamed(std::string_view name);

// The role whose formula prices a position text: LB and RB Back, D Defender, RW and LW Wing, M Midfield,
// A Attack; a goalkeeper and anything else has none.
std::optional<FormulaRole> RoleOfPosition(std::string_view positionText);

} // namespace kivo
