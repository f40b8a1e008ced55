// Measures start-up: from the program entry to the main frame shown and painted, splash excluded. Run it in
// the workspace directory; it prints the milliseconds and exits.
#include <chrono>
#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QTimer>

#include "editor/ui/EditorState.h"
#include "editor/app/Principal.h"
#include "editor/app/ProgramEntry.h"

int main(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    kivo::editor::PrepareApplication(app);
    kivo::editor::ResetGlobals();
    kivo::editor::Globals().StartDirectory = QDir::currentPath().toStdString();
    kivo::editor::Globals().HelpFile = QStringLiteral(":/help");
    kivo::editor::Principal frame;
    frame.Start(false);
    // The first pass of the event loop paints the frame; the measurement ends after it.
    QTimer::singleShot(0, &app, [&] {
        const auto ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("start-up to frame: %.1f ms\n", ms);
        frame.close();
        app.quit();
    });
    return app.exec();
}
