#include "core/support/SpreadsheetCell.h"

#include <gtest/gtest.h>

namespace kivo {
namespace {

struct CellCase {
    std::string text;
    std::string written;
};

TEST(SpreadsheetCell, FormulaLikeCellsStayTextAndReadBackExactly) {
    const CellCase cases[] = {
        {"=SUM(A1:A9)", "'=SUM(A1:A9)"},
        {"+44", "'+44"},
        {"-1", "'-1"},
        {"@me", "'@me"},
        {"'=x", "''=x"},
        {"''", "'''"},
        {"'Tis", "'Tis"},
        {"'", "'"},
        {"", ""},
        {"J. Costa", "J. Costa"},
        {"4-4-2", "4-4-2"},
        {" =x", " =x"},
    };
    for (const CellCase& c : cases) {
        EXPECT_EQ(KeepAsText(c.text), c.written) << c.text;
        EXPECT_EQ(CellAsWritten(c.written), c.text) << c.written;
    }
}

} // namespace
} // namespace kivo
