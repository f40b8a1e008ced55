#include <QApplication>
#include <QStringList>

#include "editor/app/ProgramEntry.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kivo::editor::StartOptions options;
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) options.startDirectory = arguments.at(1);
    return kivo::editor::RunProgram(app, options);
}
