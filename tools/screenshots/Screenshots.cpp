// Renders the editor's windows to PNG files for the documentation:
//   kivo-editor-screenshots OUTDIR
// run in the workspace directory (its data/TEAM.008 fills the sample report).
#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include "core/gamefiles/TeamFile.h"
#include "core/support/FixedText.h"
#include "editor/ui/EditorState.h"
#include "editor/app/Presentacion.h"
#include "editor/app/Principal.h"
#include "editor/app/ProgramEntry.h"
#include "tools/screenshots/ShotSupport.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportDisplayWindow.h"
#include "editor/ui/ReportJumpWindow.h"
#include "editor/ui/ReportPreview.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

QString Text(const auto& field) {
    return QString::fromStdString(Latin1ToUtf8(TrimRight(FieldValue(field))));
}

// A sample report over the sample data: the teams of a few league files, as many pages as they take.
ReportPainter SampleReport() {
    struct Row {
        QString file;
        QString team;
        QString coach;
    };
    std::vector<Row> rows;
    for (const char* name : {"TEAM.000", "TEAM.001", "TEAM.002", "TEAM.008"}) {
        Result<std::vector<TeamRecord>> teams = ReadTeams((std::filesystem::path("data") / name).string());
        if (!teams.ok()) continue;
        for (const TeamRecord& t : *teams)
            rows.push_back({QString::fromLatin1(name), Text(t.nombreEquipo), Text(t.nombreEntrenador)});
    }
    return [rows](QPrinter* printer) {
        QPainter p(printer);
        const QRect page = p.viewport();
        const int line = page.height() / 60;
        const QFont title(QStringLiteral("DejaVu Sans"), 16, QFont::Bold);
        const QFont head(QStringLiteral("DejaVu Sans"), 10, QFont::Bold);
        const QFont body(QStringLiteral("DejaVu Sans"), 10);
        const int columns[] = {0, page.width() / 10, page.width() / 4, page.width() * 3 / 5};
        std::size_t i = 0;
        int pageNo = 1;
        do {
            if (pageNo > 1) printer->newPage();
            p.setFont(title);
            p.drawText(QRect(0, 0, page.width(), line * 3), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("Sample Teams"));
            p.setFont(head);
            int y = line * 4;
            const char* headings[] = {"No.", "File", "Team", "Coach"};
            for (int c = 0; c < 4; ++c)
                p.drawText(columns[c], y, QString::fromLatin1(headings[c]));
            p.drawLine(0, y + line / 3, page.width(), y + line / 3);
            p.setFont(body);
            y += line * 3 / 2;
            for (; i < rows.size() && y < page.height() - line * 2; ++i, y += line) {
                p.drawText(columns[0], y, QString::number(i + 1));
                p.drawText(columns[1], y, rows[i].file);
                p.drawText(columns[2], y, rows[i].team);
                p.drawText(columns[3], y, rows[i].coach);
            }
            p.drawText(QRect(0, page.height() - line, page.width(), line), Qt::AlignRight,
                       QStringLiteral("Page %1").arg(pageNo));
            ++pageNo;
        } while (i < rows.size());
    };
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kivo-editor-screenshots OUTDIR\n");
        return 2;
    }
    Shots shots{QString::fromLocal8Bit(argv[1])};
    QDir().mkpath(shots.out);
    PrepareApplication(app);
    ResetGlobals();
    QTemporaryDir placement; // the user's own window placement stays out of the pictures
    Globals().PlacementDirectory = placement.path();
    Globals().StartDirectory = QDir::currentPath().toStdString();
    Globals().HelpFile = QStringLiteral(":/help");

    Principal frame;
    frame.Start(false);
    frame.resize(1024, 700);
    Save(shots, &frame, "frame");

    frame.OpenTeamFileForEditing();
    if (QMdiSubWindow* sub = frame.taskArea()->currentSubWindow()) {
        // At its own size, so that the catalogue's buttons are readable.
        sub->resize(sub->sizeHint().expandedTo(QSize(640, 380)));
        sub->move(30, 30);
    }
    Save(shots, &frame, "frame-task");
    frame.taskArea()->closeAllSubWindows();

    Presentacion splash;
    splash.timer()->stop();
    Save(shots, &splash, "splash");
    splash.hide();

    ReportPreview preview(SampleReport());
    preview.resize(820, 900);
    Save(shots, &preview, "preview");
    preview.SetDisplay(2, 1);
    preview.resize(1100, 760);
    Save(shots, &preview, "preview-two-pages");

    ReportJumpWindow jump(1, preview.pageCount());
    Save(shots, &jump, "preview-jump");
    ReportDisplayWindow display(2, 1);
    Save(shots, &display, "preview-display");
    preview.hide();

    HelpViewer* help = HelpViewer::Instance();
    help->ShowKeyword(QStringLiteral("Main"));
    help->resize(980, 680);
    Save(shots, help, "help");
    help->ShowSearch();
    help->searchField()->setText(QStringLiteral("clipboard"));
    QMetaObject::invokeMethod(help->searchField(), "returnPressed");
    Save(shots, help, "help-search");
    help->hide();

    ProgressWindow progress(true);
    ProgressState state;
    state.title = "Processing Records";
    state.status = "Searching Players (12 Found)";
    state.percent = 42;
    state.percentText = " 42% Completed";
    progress.Show(state);
    Save(shots, &progress, "progress");

    QMessageBox box(QMessageBox::Information, QStringLiteral("ERROR"),
                    QStringLiteral("Only ONE File can be Edited at the Same Time"), QMessageBox::Ok);
    Save(shots, &box, "message");

    ShootTeamWindows(shots, frame);
    ShootPlayerWindows(shots, frame);
    ShootClipboardPricesAndMarket(shots, frame);

    frame.close();
    return shots.failures == 0 ? 0 : 1;
}
