#pragma once

#include <string>

#include <QWidget>

#include "core/inspect/Soundness.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kivo::editor {

class DirectoryField;

// File > "Check Game Files…", a task window inside the frame.
void StartRevisionDatos();

// "Check Game Files": the check of the configured game directory, its findings in a sortable list; a
// double-click on a team or slot finding opens that team in the team editor at that row.
class RevisionDatos : public QWidget {
    Q_OBJECT
public:
    explicit RevisionDatos(QWidget* parent = nullptr);

    QLineEdit* directoryEntry() const;
    QTreeWidget* findings() const { return list_; }
    QLabel* summary() const { return summary_; }
    QPushButton* checkButton() const { return check_; }

    // Reads the directory's game files again and lists what is found.
    void Check();
    // The editor on the team of the finding in `item`; nothing for a finding without a team.
    void OpenFinding(QTreeWidgetItem* item);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::string Directory() const;

    DirectoryField* directory_;
    QTreeWidget* list_;
    QLabel* summary_;
    QPushButton* check_;
    bool placed_ = false;
    bool closed_ = false;
};

} // namespace kivo::editor
