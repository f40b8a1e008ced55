#pragma once

#include <QString>

#include <optional>

class QApplication;

namespace kivo::editor {

struct StartOptions {
    bool showSplash = true;
    // `kivo-editor DIR`: the directory the editor starts in (its settings, players file and clipboard are
    // those of DIR). Empty: the current directory.
    QString startDirectory;
};

// The program: clears the global state, names the help pages, runs the frame until it closes and returns
// the exit status, 0 after a normal end; 2, after a message, when the start directory cannot be entered.
int RunProgram(QApplication& app, const StartOptions& options = {});

// "--help" and "--version" (or "-h") among the arguments: the answer is written to standard output and the
// exit status returned, before anything needs a display. Nothing for any other command line.
std::optional<int> AnswerOnTerminal(int argc, const char* const* argv);

// Names the program for the platform (where its settings go) and loads its resources. Done once per process.
void PrepareApplication(QApplication& app);

} // namespace kivo::editor
