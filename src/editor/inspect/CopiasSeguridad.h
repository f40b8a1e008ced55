#pragma once

#include <string>
#include <vector>

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace kivo::editor {

class DirectoryField;

// Window > "Backups…", a task window inside the frame.
void StartCopiasSeguridad();

// "Backups": the runs kept in the configured game directory's kivo-backups/, newest first, each with its
// files; choosing a run lists what changed since it; "Restore" puts back the chosen files of the run (all
// of them when none is ticked) after a question, the current files first backed up as any change is.
class CopiasSeguridad : public QWidget {
    Q_OBJECT
public:
    explicit CopiasSeguridad(QWidget* parent = nullptr);

    QLineEdit* directoryEntry() const;
    QTreeWidget* runs() const { return runs_; }
    QListWidget* changes() const { return changes_; }
    QPushButton* restoreButton() const { return restore_; }

    // Lists the runs of the directory again.
    void Reload();
    // The run of the current item, or empty.
    std::string ChosenRun() const;
    // The ticked files of the chosen run (all of its files when none is ticked).
    std::vector<std::string> ChosenFiles() const;
    void ShowChanges();
    void Restore();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::string Directory() const;

    DirectoryField* directory_;
    QTreeWidget* runs_;
    QListWidget* changes_;
    QLabel* status_;
    QPushButton* restore_;
    bool placed_ = false;
    bool closed_ = false;
};

} // namespace kivo::editor
