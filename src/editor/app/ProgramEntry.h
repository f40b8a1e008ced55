#pragma once

class QApplication;

namespace kivo::editor {

struct StartOptions {
    bool showSplash = true;
};

// The program: clears the global state, names the help pages, runs the frame until it closes and returns
// the exit status, 0 after a normal end.
int RunProgram(QApplication& app, const StartOptions& options = {});

// Names the program for the platform (where its settings go) and loads its resources. Done once per process.
void PrepareApplication(QApplication& app);

} // namespace kivo::editor
