#include "core/support/SpreadsheetCell.h"

namespace kivo {

std::string KeepAsText(std::string_view cell) {
    if (cell.empty()) return {};
    if (StartsFormula(cell[0]) || GuardedCell(cell)) return "'" + std::string(cell);
    return std::string(cell);
}

} // namespace kivo
