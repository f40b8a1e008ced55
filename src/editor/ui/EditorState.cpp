#include "editor/ui/EditorState.h"

#include <filesystem>

#include <QMetaObject>
#include <QPrinter>

#include "core/settings/SettingsEntries.h"

namespace kivo::editor {

EditorState& Globals() {
    static EditorState state;
    return state;
}

void ResetGlobals() {
    EditorState& g = Globals();
    auto answerer = std::move(g.MessageAnswerer);
    auto stop = std::move(g.StopRoutine);
    auto teamFileDialog = std::move(g.TeamFileDialog);
    auto exportPathDialog = std::move(g.ExportPathDialog);
    auto updateFileDialog = std::move(g.UpdateFileDialog);
    auto jobStepHook = std::move(g.JobStepHook);
    QString placement = g.PlacementDirectory;
    const QRect available = g.AvailableArea;
    QPointer<QWidget> help = g.HelpWindow;
    g = EditorState{};
    g.BatchDataDirectory = DefaultDataDirectory();
    g.Formulas = DefaultFormulas();
    g.MessageAnswerer = std::move(answerer);
    g.StopRoutine = std::move(stop);
    g.TeamFileDialog = std::move(teamFileDialog);
    g.ExportPathDialog = std::move(exportPathDialog);
    g.UpdateFileDialog = std::move(updateFileDialog);
    g.JobStepHook = std::move(jobStepHook);
    g.PlacementDirectory = placement;
    g.AvailableArea = available;
    g.HelpWindow = help;
}

void PostClipboardRefresh() {
    if (QWidget* clipboard = Globals().ClipboardThread)
        QMetaObject::invokeMethod(clipboard, "Refresh", Qt::QueuedConnection);
}

std::string VentanasPath() {
    const std::string& dir = Globals().StartDirectory;
    if (dir.empty()) return kVentanasFileName;
    return (std::filesystem::path(dir) / kVentanasFileName).string();
}

} // namespace kivo::editor
