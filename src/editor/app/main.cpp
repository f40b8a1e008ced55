#include <QApplication>
#include <QStringList>

#include "editor/app/ProgramEntry.h"

int main(int argc, char** argv) {
    // Answered on the terminal before the application exists, so that they need no display.
    if (const auto status = kivo::editor::AnswerOnTerminal(argc, argv)) return *status;
    QApplication app(argc, argv);
    kivo::editor::StartOptions options;
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) options.startDirectory = arguments.at(1);
    return kivo::editor::RunProgram(app, options);
}
