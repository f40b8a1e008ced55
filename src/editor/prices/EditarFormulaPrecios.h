#pragma once

#include <array>

#include <QWidget>

#include "core/prices/Formulas.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace kivo::editor {

// The formula editor ("Formulae to Compute Prices"), a task window inside the frame.
void StartEditarFormulaPrecios();

// The five formulas with their lowest and highest prices and whether each spans the price ladder. Each
// entry edits the program-wide formula text as soon as it is accepted; Save writes the five to
// ventanas.ini, Cancel writes nothing.
class EditarFormulaPrecios : public QWidget {
    Q_OBJECT
public:
    EditarFormulaPrecios();

    struct Row {
        QLabel* prompt = nullptr;
        QLineEdit* entry = nullptr;
        QLabel* lowest = nullptr;
        QLabel* highest = nullptr;
        QLabel* status = nullptr; // the tick or the cross; its tool tip says why a formula fails
        QLabel* hint = nullptr;   // the suffix rule, when the formula trips over it
        bool inRange = true;
    };
    const Row& row(FormulaRole role) const { return rows_[std::size_t(role)]; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Accepting an entry: the text becomes the role's formula and its row is computed again.
    void Accept(FormulaRole role);
    void Save();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Compute(FormulaRole role);
    void CloseTask();

    std::array<Row, kFormulaCount> rows_;
    QPushButton* save_;
    QPushButton* cancel_;
    bool closed_ = false;
};

// What the status picture's tool tip and the hint say.
inline constexpr const char* kInRangeTip = "The formula spans every price from 25K to 15M";
inline constexpr const char* kOutOfRangeTip = "The formula does not span every price from 25K to 15M";

} // namespace kivo::editor
