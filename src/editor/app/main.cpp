#include <QApplication>

#include "editor/app/ProgramEntry.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return kivo::editor::RunProgram(app);
}
