#pragma once

#include <array>

#include <QWidget>

#include "core/gamefiles/PlayerCodes.h"
#include "core/players/MarkingPasses.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace kivo::editor {

// "Set Searching Criteria": the criteria of a search pass and the pass that marks the players found with the
// browser's selected mark. Opened modally on the browser; it stays open after a search so that the user may
// change a criterion and search again. It holds the player database while it is open.
class FormularioBusqueda : public QWidget {
    Q_OBJECT
public:
    explicit FormularioBusqueda(int mark, QWidget* parent = nullptr);
    ~FormularioBusqueda() override;

    // The criteria as the controls hold them: a drop list at "no choice" is no criterion.
    SearchCriteria Criteria() const;
    int mark() const { return mark_; }

    QSpinBox* countryEntry() const { return country_; }
    // The name of the country typed in "Country:", as the player list's "File" column shows it.
    QLabel* countryName() const { return countryName_; }
    QComboBox* divisionList() const { return division_; }
    QComboBox* nationalityList() const { return nationality_; }
    QComboBox* positionList() const { return position_; }
    QSpinBox* skillEntry(std::size_t skill) const { return skills_[skill]; }
    QComboBox* priceList() const { return price_; }
    QPushButton* searchButton() const { return search_; }
    QPushButton* closeButton() const { return close_; }

    // The text of each drop list's first entry, which chooses nothing.
    static QString NoChoiceText();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Search();
    void ShowCountryName(int code);

    int mark_;
    bool holdsDatabase_ = false;
    bool placed_ = false;
    bool searching_ = false;
    QSpinBox* country_;
    QLabel* countryName_;
    QComboBox* division_;
    QComboBox* nationality_;
    QComboBox* position_;
    std::array<QSpinBox*, kSkillCount> skills_{};
    QComboBox* price_;
    QPushButton* search_;
    QPushButton* close_;
};

} // namespace kivo::editor
