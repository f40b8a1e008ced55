#include "editor/rosters/RosterDialogs.h"

#include <filesystem>

#include <QFileDialog>

#include "editor/ui/EditorState.h"

namespace kivo::editor {

QString ChoosePath(QWidget* parent, PathKind kind, const QString& title, const QString& filter,
                   const QString& initial) {
    if (Globals().TeamFileDialog) return Globals().TeamFileDialog(parent, title, filter, initial);
    switch (kind) {
    case PathKind::OpenFile:
        return QFileDialog::getOpenFileName(parent, title, initial, filter);
    case PathKind::SaveFile:
        return QFileDialog::getSaveFileName(parent, title, initial, filter);
    case PathKind::Directory:
        return QFileDialog::getExistingDirectory(parent, title, initial);
    }
    return {};
}

QString ListedLines(const std::vector<std::string>& lines, std::size_t shown) {
    QString text;
    for (std::size_t i = 0; i < lines.size() && i < shown; ++i)
        text += QString::fromStdString(lines[i]) + QLatin1Char('\n');
    if (lines.size() > shown) text += QStringLiteral("... and %1 more\n").arg(lines.size() - shown);
    return text;
}

QString InitialDataDirectory() {
    const EditorState& g = Globals();
    if (!g.BatchDataDirectory.empty()) return QString::fromStdString(g.BatchDataDirectory);
    if (!g.TeamFilePath.empty())
        return QString::fromStdString(std::filesystem::path(g.TeamFilePath).parent_path().string());
    return {};
}

} // namespace kivo::editor
