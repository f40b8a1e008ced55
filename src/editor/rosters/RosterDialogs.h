#pragma once

#include <string>
#include <vector>

#include <QString>

class QWidget;

namespace kivo::editor {

enum class PathKind { OpenFile, SaveFile, Directory };

// A file or directory chosen by the user (empty when cancelled), through Globals().TeamFileDialog when
// tests have set it.
QString ChoosePath(QWidget* parent, PathKind kind, const QString& title, const QString& filter,
                   const QString& initial);

// Lines for a message box: the first `shown` of them, then how many more there are.
QString ListedLines(const std::vector<std::string>& lines, std::size_t shown = 25);

// The data directory batch jobs start from: the last one chosen, else the directory of the team file.
QString InitialDataDirectory();

} // namespace kivo::editor
