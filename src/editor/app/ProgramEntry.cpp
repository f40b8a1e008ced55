#include "editor/app/ProgramEntry.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>
#include <string_view>

#include "editor/app/Principal.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/StopProgram.h"

static void LoadEditorResources() {
    Q_INIT_RESOURCE(editor);
}

namespace kivo::editor {

namespace {

constexpr const char* kUsage =
    "Usage: kivo-editor [options] [DIR]\n"
    "\n"
    "The KIVO Editor: edits the teams of KIVO's team files, finds players across all of them, keeps a\n"
    "clipboard of players and fixes the foreign market. It reads and writes JUGADORES, portapap.tps and\n"
    "ventanas.ini in the directory it is started in (DIR when given), and backs up every game file before it first changes\n"
    "it (Help, \"Backups\").\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this text and end\n"
    "  --version      show the version and end\n"
    "  Qt's own options (for example -platform offscreen, -style fusion) are passed on to Qt.\n"
    "\n"
    "The same jobs without windows, for scripts: kivo-cli --help\n";

} // namespace

std::optional<int> AnswerOnTerminal(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i] ? argv[i] : "";
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (arg == "--version") {
            std::printf("kivo-editor %s\n", KIVO_VERSION);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    return std::nullopt;
}

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
