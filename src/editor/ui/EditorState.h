#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QMdiArea>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "core/backups/Backups.h"
#include "core/clipboard/PlayerTransferRecord.h"
#include "core/gamefiles/TeamRecord.h"
#include "core/prices/Formulas.h"
#include "core/prices/PriceCalculator.h"
#include "core/support/Progress.h"

class QPrinter;

namespace kivo::editor {

struct MessageSpec;
enum class MessageButton;

// GlobalResponse values a closing window leaves for its caller.
inline constexpr int kResponseCompleted = 1;
inline constexpr int kResponseCancelled = 2;

// The editor's shared state: every window reads and writes it on the GUI thread only; a worker thread gets a
// copy of what it needs. Texts are kept as the game's bytes (Latin-1) or, for paths, as the file system's.
struct EditorState {
    std::string TeamFilePath;
    std::string ClipboardFilePath;
    std::string PoolFilePath;
    std::string TeamCopyBuffer;
    // The shared team record buffer: the team browser reads the chosen team into it, the team editor and
    // the team sheet work on it.
    TeamRecord TeamRecordBuffer;
    // The last player copied or dragged; every copy or drag overwrites it.
    PlayerTransferRecord TransferRecord;
    // A file may hold more than 256 teams, so the index is wide.
    std::int64_t SelectedTeamIndex = 0;
    int TeamFileUseCount = 0;
    int PlayerFileUseCount = 0;
    int ClipboardFileUseCount = 0;
    bool CatalogueOpen = false;
    // The clipboard window while it is open; null otherwise. Refresh notices go to it as a signal.
    QPointer<QWidget> ClipboardThread;
    std::string BatchDataDirectory;
    int GlobalRequest = 0;
    int GlobalResponse = 0;

    // This run's backups of the game files: every write to a team, cup or pool file asks it first.
    std::shared_ptr<BackupRun> Backups = std::make_shared<BackupRun>();

    FormulaSet Formulas;
    // The skill variables are bound once per evaluator; all windows share this one on the GUI thread.
    std::shared_ptr<PriceEvaluator> Prices;

    // Where the program was started: ventanas.ini, JUGADORES, portapap.tps and presenta.wav live there.
    std::string StartDirectory;
    // The root of the help pages (the program's help file).
    QString HelpFile;
    // The frame's MDI area, where task windows open.
    QPointer<QMdiArea> TaskArea;
    // The help viewer while it is open.
    QPointer<QWidget> HelpWindow;
    // The printer chosen with Printer Setup, shared by every report; made when first needed.
    std::shared_ptr<QPrinter> Printer;
    // Set once the program is being stopped, so that nothing new starts on the way out.
    bool Stopping = false;

    // Test seams: who answers message boxes and what stopping the program does. Empty means the real ones.
    std::function<MessageButton(const MessageSpec&)> MessageAnswerer;
    std::function<void(const QString&)> StopRoutine;
    // Who answers the file dialogs (the team file to open, the export's file, the update's dialog) and what
    // sees each step of a job's progress (called on the job's worker).
    std::function<QString(QWidget* parent, const QString& title, const QString& filter,
                          const QString& initial)>
        TeamFileDialog;
    std::function<QString()> ExportPathDialog;
    // Who answers the folder picker of the directory fields ("Browse..."): the chosen folder, or empty.
    std::function<QString(QWidget* parent, const QString& title, const QString& initial)> DirectoryDialog;
    std::function<void(QWidget* dialog)> UpdateFileDialog;
    std::function<void(const ProgressState&)> JobStepHook;
    // Where zeltra.ini is kept; empty means the platform's configuration directory.
    QString PlacementDirectory;
    // The part of the screen windows may take, in device-independent pixels; empty means the screen's own
    // available area (tests fake a small laptop screen with it).
    QRect AvailableArea;
};

// The one instance, alive for the whole run.
EditorState& Globals();

// Start-up step 1: every global back to its initial value (the test seams are kept).
void ResetGlobals();

// Tells an open clipboard window, later, that a player was added to the clipboard file, so that it reloads
// its list: the window's invokable Refresh() runs once the current event is done. No window, no notice.
void PostClipboardRefresh();

// ventanas.ini of the start directory.
std::string VentanasPath();

} // namespace kivo::editor
