#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace kivo {
struct PlayerDatabaseBuildSummary;
}

namespace kivo::editor {

class DirectoryField;

// The directory window of the all-players build, a task window inside the frame.
void StartElegirDirectorioCrearArchivoJugadores();

// "Start Creating File": the team-files directory (BatchDataDirectory) and the command that builds
// JUGADORES from it, on a worker with the "Creating File" progress window; the window closes after the build.
class ElegirDirectorioCrearArchivoJugadores : public QWidget {
    Q_OBJECT
public:
    explicit ElegirDirectorioCrearArchivoJugadores(QWidget* parent = nullptr);

    QLineEdit* directoryEntry() const;
    DirectoryField* directoryField() const { return directory_; }
    QPushButton* beginButton() const { return begin_; }
    QPushButton* closeButton() const { return close_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Begin();
    void CloseFrame();

    bool placed_ = false;
    bool building_ = false;
    bool built_ = false;
    DirectoryField* directory_;
    QPushButton* begin_;
    QPushButton* close_;
};

// The short summary a build ends with: players, teams, files read, files skipped and why, and a damaged
// database set aside.
QString BuildSummary(const PlayerDatabaseBuildSummary& summary);

} // namespace kivo::editor
