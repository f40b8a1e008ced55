#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kivo::editor {

class DirectoryField;

// Chooses a file for "Open Any File": parent, dialog title, filter, initial file name; returns the chosen
// path or an empty text when the user cancelled. Tests replace it.
using TeamFileChooser = std::function<QString(QWidget* parent, const QString& title, const QString& filter,
                                              const QString& initial)>;
void SetTeamFileChooser(TeamFileChooser chooser);

// "Team Files": one button per league team file, grouped by continent on tabs, enabled when the file is in
// the team-files directory; a button opens the team browser on that file.
class EquiposExistentes : public QWidget {
    Q_OBJECT
public:
    explicit EquiposExistentes(QWidget* parent = nullptr);

    QTabWidget* tabs() const { return tabs_; }
    QLineEdit* directoryEntry() const;
    DirectoryField* directoryField() const { return directory_; }
    // The button of a league file number, or null.
    QPushButton* fileButton(int fileNumber) const;
    QPushButton* anyFileButton() const { return anyFile_; }
    QPushButton* refreshButton() const { return refresh_; }
    QPushButton* helpButton() const { return help_; }
    QPushButton* closeButton() const { return close_; }

    // Lists the team-files directory again and enables the buttons of the files found.
    void Refresh();
    void OpenFile(int fileNumber);
    void OpenAnyFile();
    // The file dialog's filter of "Open Any File": the league files ("team.*") and the three cup files.
    static QString AnyFileFilter();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void EnableButtons();
    void AcceptDirectory();
    void OpenBrowser();

    QTabWidget* tabs_;
    DirectoryField* directory_;
    QPushButton* anyFile_ = nullptr;
    QPushButton* refresh_;
    QPushButton* help_;
    QPushButton* close_;
    std::map<int, QPushButton*> buttons_;
    std::vector<std::string> listing_;
    std::string anyFileDirectory_;
    std::string startDirectory_;
    bool closed_ = false;
};

// The team-file catalogue ("Team Files"), a task window inside the frame; clears CatalogueOpen when it
// closes.
void StartEquiposExistentes();

} // namespace kivo::editor
