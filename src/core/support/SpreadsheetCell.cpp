#include "core/support/SpreadsheetCell.h"

#include <utility>

namespace kivo {
namespace {

bool StartsFormula(char c) {
    return c == '=' || c == '+' || c == '-' || c == '@';
}

// Whether the cell as written carries the apostrophe KeepAsText put in front of it.
bool Guarded(std::string_view cell) {
    return cell.size() >= 2 && cell[0] == '\'' && (StartsFormula(cell[1]) || cell[1] == '\'');
}

} // namespace

std::string KeepAsText(std::string_view cell) {
    if (cell.empty()) return {};
    if (StartsFormula(cell[0]) || Guarded(cell)) return "'" + std::string(cell);
    return std::string(cell);
}

std::string CellAsWritten(std::string_view cell) {
    return std::string(Guarded(cell) ? cell.substr(1) : cell);
}

std::string CellAsWritten(std::string&& cell) {
    if (Guarded(cell)) cell.erase(0, 1);
    return std::move(cell);
}

} // namespace kivo
