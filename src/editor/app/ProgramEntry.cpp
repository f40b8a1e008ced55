#include "editor/app/ProgramEntry.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>

#include "editor/app/Principal.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/StopProgram.h"

static void LoadEditorResources() {
    Q_INIT_RESOURCE(editor);
}

namespace kivo::editor {

void PrepareApplication(QApplication& app) {
    LoadEditorResources();
    QApplication::setOrganizationName(QStringLiteral("kivo"));
    QApplication::setApplicationName(QStringLiteral("kivo-editor"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kProgramTitle));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/program.svg")));
}

int RunProgram(QApplication& app, const StartOptions& options) {
    PrepareApplication(app);
    ResetGlobals();
    if (!options.startDirectory.isEmpty()) {
        if (!QFileInfo(options.startDirectory).isDir() || !QDir::setCurrent(options.startDirectory)) {
            std::fprintf(stderr, "kivo-editor: cannot start in %s: not a directory that can be entered\n",
                         qPrintable(options.startDirectory));
            return 2;
        }
    }
    Globals().StartDirectory = QDir::currentPath().toStdString();
    Globals().HelpFile = QStringLiteral(":/help");
    {
        Principal frame;
        frame.Start(options.showSplash);
        if (!Globals().Stopping) app.exec();
        // Windows closed on the way out (the help viewer) are deleted now, while the frame still exists.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return Globals().Stopping ? kStoppedStatus : 0;
}

} // namespace kivo::editor
