#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kivo::editor {

// A directory entry as people pick directories: an editable box that drops down the last five directories
// used (kept in ventanas.ini) and a "Browse…" button with the folder picker. Typing, picking from the list
// and browsing all land in the entry; textChanged follows every change as the entry's own signal does.
class DirectoryField : public QWidget {
    Q_OBJECT
public:
    // `prompt` is the entry's prompt as written ("Team Files Directory:"), its accessible name.
    DirectoryField(const QString& text, const QString& prompt, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* lineEdit() const;
    QComboBox* comboBox() const { return combo_; }
    QPushButton* browseButton() const { return browse_; }

    // The directories offered in the list, newest first.
    QStringList recentDirectories() const;

    // Puts `directory` first in ventanas.ini's list of recent directories (a job is about to use it).
    static void Remember(const QString& directory);

signals:
    void textChanged(const QString& text);
    void editingFinished();

private:
    void Browse();

    QComboBox* combo_;
    QPushButton* browse_;
};

// The directory as the program uses it: a relative one is taken from the start directory.
std::string UsableDirectory(const std::string& directory);

} // namespace kivo::editor
