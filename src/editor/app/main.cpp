#include <QApplication>

#include "editor/app/ProgramEntry.h"

int main(int argc, char** argv) {
    // Answered on the terminal before the application exists, so that they need no display.
    if (const auto status = kivo::editor::AnswerOnTerminal(argc, argv)) return *status;
    QApplication app(argc, argv);
    return kivo::editor::RunProgram(app);
}
