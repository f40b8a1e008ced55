#pragma once

#include <functional>

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QSpinBox;

namespace kivo::editor {

// "Updating the File with All the Players": replaces one team file's players in JUGADORES with the file's
// current ones. Opened modally on the browser; it stays open after an update for another one. It holds the
// player database while it is open.
class ActualizarArchivoTodos : public QWidget {
    Q_OBJECT
public:
    explicit ActualizarArchivoTodos(QWidget* parent = nullptr);
    ~ActualizarArchivoTodos() override;

    QString fileName() const { return fileName_; }
    int fileNumber() const;

    QPushButton* selectButton() const { return select_; }
    QSpinBox* numberEntry() const { return number_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* closeButton() const { return close_; }
    QLabel* fileNameDisplay() const { return nameDisplay_; }

    // Test seam: answers the "Choose the TEAM file" dialog in place of the user (given the dialog, which is
    // open and modal); empty means the user does.
    static std::function<void(QWidget* dialog)>& DialogAnswerer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SelectFile();
    void Start();

    QString fileName_;
    bool holdsDatabase_ = false;
    bool placed_ = false;
    bool updating_ = false;
    QPushButton* select_;
    QSpinBox* number_;
    QPushButton* start_;
    QPushButton* close_;
    QLabel* nameDisplay_;
};

} // namespace kivo::editor
