#pragma once

#include <array>
#include <functional>
#include <memory>

#include <QWidget>

#include "core/teams/TeamEditing.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStringListModel;
class QTabWidget;
class QToolButton;
class QUndoStack;

namespace kivo::editor {

class KitPreview;

// The controls of one player row of the Players tab.
struct TeamEditorRow {
    QLineEdit* name = nullptr;
    QComboBox* nationality = nullptr;
    QSpinBox* shirt = nullptr;
    QComboBox* position = nullptr;
    QToolButton* face = nullptr;
    std::array<QSpinBox*, kSkillCount> skills{};
    QComboBox* price = nullptr;
    QLabel* place = nullptr;
};

// The controls of one kit tab.
struct TeamEditorKitTab {
    std::array<QRadioButton*, 4> designs{}; // Plain, Colored Sleeves, Vertical, Horizontal
    std::array<QComboBox*, 4> colours{};    // main shirt, secondary shirt, shorts, socks
    KitPreview* preview = nullptr;
};

// "Update Team ...": edits the team of Globals().TeamRecordBuffer, team SelectedTeamIndex of TeamFilePath.
// Opened with OpenModalOnTask; ends with FinishModal(this, 1) after OK wrote the team, 2 otherwise. Every
// change is a step on an undo stack; nothing is written before OK.
class ActualizarEquipo : public QWidget {
    Q_OBJECT
public:
    explicit ActualizarEquipo(QWidget* parent = nullptr);
    ~ActualizarEquipo() override;

    const TeamEditSession& session() const { return session_; }
    QUndoStack* undoStack() const { return undo_; }
    QTabWidget* tabs() const { return tabs_; }
    QLineEdit* teamNameField() const { return teamName_; }
    QLineEdit* coachNameField() const { return coachName_; }
    QComboBox* tacticsList() const { return tactics_; }
    QComboBox* divisionList() const { return division_; }
    const TeamEditorKitTab& kitTab(KitWhich kit) const {
        return kit == KitWhich::Main ? mainKit_ : secondKit_;
    }
    const TeamEditorRow& row(std::size_t r) const { return rows_[r]; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* helpButton() const { return help_; }
    QPushButton* undoButton() const { return undoButton_; }
    QPushButton* redoButton() const { return redoButton_; }
    QPushButton* computeOriginalButton() const { return computeOriginal_; }
    QPushButton* computeAllButton() const { return computeAll_; }
    // The hint shown when a typed character cannot be stored in the game's files.
    QLabel* hintLabel() const { return hint_; }

    // The player row holding the focused control, or -1.
    int FocusedRow() const;

    // Shows `state` in every control (used by undo and redo).
    void ShowState(const TeamEditState& state);

    // Opens on the Players tab with row `r` (slot r + 1) focused, instead of the team name.
    void FocusPlayerRow(int r);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildGeneralTab();
    QWidget* BuildKitTab(KitWhich kit);
    QWidget* BuildPlayersTab();
    void BuildRow(std::size_t r, class QGridLayout* grid, int gridRow);
    void WireShortcuts();
    // Applies one change to the working state as one undo step; nothing happens when it changes nothing.
    // Steps with the same nonzero merge id that follow each other become one (typing in one field).
    void Change(const QString& text, int mergeId, const std::function<void(TeamEditState&)>& edit);
    void ShowRows(const TeamEditState& state);
    void RefreshKit(KitWhich kit);
    void RefreshFace(std::size_t r);
    void UpdateTitle();
    void Ok();
    void Cancel();
    void CopyRowToClipboard();
    void ComputeRowPrice();
    void ComputeRowOriginalPrice();
    void DropOnRow(std::size_t r, class QDropEvent* event);
    // A drop's effect: the player a drag carries onto row r, one undo step.
    void PastePlayer(std::size_t r, const QMimeData* data, const QString& undoText);
    void PasteHighlightedPlayer();
    void RefuseCharacter();
    void WatchTextField(QLineEdit* field, int maxLength, const QString& stored,
                        const std::function<void(const std::string&)>& store);
    void CloseFrame();
    // Asks "Are you sure you want to cancel ?" when closing would lose edits; true when the window may go.
    bool ConfirmLeavingEdits();
    void ReleaseFiles();

    TeamEditSession session_;
    QUndoStack* undo_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* teamName_ = nullptr;
    QLineEdit* coachName_ = nullptr;
    QComboBox* tactics_ = nullptr;
    QComboBox* division_ = nullptr;
    TeamEditorKitTab mainKit_;
    TeamEditorKitTab secondKit_;
    std::array<TeamEditorRow, kPlayersPerTeam> rows_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QPushButton* redoButton_ = nullptr;
    QPushButton* computeOriginal_ = nullptr;
    QPushButton* computeAll_ = nullptr;
    QLabel* hint_ = nullptr;
    QStringListModel* nationalities_ = nullptr; // alphabetical, shared by the sixteen rows
    QStringListModel* positions_ = nullptr;
    QStringListModel* prices_ = nullptr;
    bool usesTeamFile_ = false;
    bool usesClipboardFile_ = false;
    bool finished_ = false;
    bool leaving_ = false; // OK or Cancel is closing the window: the question is settled
    bool showing_ = false;
    bool placed_ = false;
    int response_ = 0;
    int focusRow_ = -1;
};

} // namespace kivo::editor
