#pragma once

#include <functional>
#include <vector>

#include <QWidget>

#include "core/teams/TeamBrowsing.h"

class QPushButton;
class QTreeWidget;

namespace kivo::editor {

// "Browse Teams": every team of the file named by TeamFilePath, with Edit, Print, Copy and Paste Team.
class VerEquipos : public QWidget {
    Q_OBJECT
public:
    // Use StartVerEquipos: it checks the file and reads its teams first.
    VerEquipos(std::vector<TeamRow> rows, QWidget* parent = nullptr);

    QTreeWidget* list() const { return list_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* printButton() const { return print_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* pasteButton() const { return paste_; }
    QPushButton* closeButton() const { return close_; }
    QPushButton* helpButton() const { return help_; }
    QPushButton* saveToFileButton() const { return saveToFile_; }
    QPushButton* loadFromFileButton() const { return loadFromFile_; }

    // The row commands, on the selected row; they do nothing when the list is empty.
    void EditTeam();
    void PrintTeam();
    void CopyTeam();
    void PasteTeam();
    // "Save Team to File..." and "Load Team from File..." (a .kteam file pasted as Paste Team pastes).
    void SaveTeamToFile();
    void LoadTeamFromFile();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The selected row's team position, or -1 when no row is selected.
    int SelectedRow() const;
    // Reads team k into the shared record buffer; false after the program was stopped.
    bool ReadChosenTeam(int k);
    void ShowRow(int n, const TeamRow& row);
    // Paste Team's question, then the team of `buffer` written over team k.
    void PasteOver(int k, const std::string& buffer);

    QTreeWidget* list_;
    QPushButton* edit_;
    QPushButton* print_;
    QPushButton* copy_;
    QPushButton* paste_;
    QPushButton* close_;
    QPushButton* help_;
    QPushButton* saveToFile_;
    QPushButton* loadFromFile_;
    std::vector<TeamRow> rows_;
    bool closed_ = false;
};

// Opens the browser modally on `task` for Globals().TeamFilePath. Returns null, opening nothing, when the
// file is not available (after the message) or cannot be read (after the program was stopped). `continuation`
// runs with the browser's response when it closes.
VerEquipos* StartVerEquipos(QWidget* task, std::function<void(int response)> continuation = {});

// A team window closed by itself (its Close button, or by the program) takes its frame inside the main
// window along, so that no empty frame is left behind; a frame that is closing already is left to it.
void CloseFrameToo(QWidget* window);

} // namespace kivo::editor
