#include "editor/app/ProgramEntry.h"

#include <QApplication>
#include <QDir>
#include <QIcon>

#include "editor/app/EditorState.h"
#include "editor/app/Principal.h"
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
    Globals().StartDirectory = QDir::currentPath().toStdString();
    Globals().HelpFile = QStringLiteral(":/help");
    int status = 0;
    {
        Principal frame;
        frame.Start(options.showSplash);
        if (!Globals().Stopping) status = app.exec();
    }
    return Globals().Stopping ? kStoppedStatus : (status == kStoppedStatus ? status : 0);
}

} // namespace kivo::editor
