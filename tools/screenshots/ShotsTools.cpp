#include <filesystem>

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>

#include "core/clipboard/ClipboardStore.h"
#include "core/gamefiles/TeamFile.h"
#include "core/market/ArreglarMercado.h"
#include "core/sampledata/SampleData.h"
#include "editor/app/Principal.h"
#include "editor/clipboard/ClipboardList.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/market/MarketProgress.h"
#include "editor/prices/EditarFormulaPrecios.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"
#include "tools/screenshots/ShotSupport.h"

namespace kivo::editor {

namespace {

// The screen with the frame and a tool window of its own where each stands on it.
void SaveScreen(Shots& shots, QWidget* frame, QWidget* tool, const char* name) {
    frame->show();
    tool->show();
    tool->raise();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QRect screen = AvailableArea(frame);
    QPixmap both(screen.size());
    both.fill(QColor(0x3b, 0x44, 0x4b));
    QPainter painter(&both);
    painter.drawPixmap(frame->pos() - screen.topLeft(), frame->grab());
    // A grab has no window-manager frame: the tool window's title is drawn over its top, as its frame shows
    // it.
    const QPoint at = tool->pos() - screen.topLeft();
    painter.drawPixmap(at, tool->grab());
    const QRect title(at, QSize(tool->width(), 22));
    painter.fillRect(title, QColor(0x30, 0x8c, 0xc6));
    painter.setPen(Qt::white);
    painter.drawText(title, Qt::AlignCenter, tool->windowTitle());
    painter.end();
    const QString path = QDir(shots.out).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!both.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++shots.failures;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

// A few players of the sample data in a clipboard of its own, so that the workspace's clipboard is left
// alone.
void FillClipboard(const std::string& path) {
    auto store = ClipboardStore::Open(path, true);
    auto teams = ReadTeams((std::filesystem::path("data") / "TEAM.008").string());
    if (!store || !teams || teams->empty()) return;
    for (std::size_t t = 0; t < std::min<std::size_t>(2, teams->size()); ++t)
        for (std::size_t s = 0; s < 16; s += 3) {
            const PlayerSlot& slot = (*teams)[t].jugador[s];
            store->Append(TransferFromTeamRow(DecodePlayerSlot(slot), slot));
        }
}

// A team editor on the first team of England's sample file, on its Players tab: the rows a player from the
// clipboard is dropped on. Its subwindow, or null when the file cannot be read.
QWidget* OpenTeamEditorOnPlayers(Principal& frame) {
    EditorState& g = Globals();
    g.TeamFilePath = (std::filesystem::path("data") / "TEAM.008").string();
    auto team = ReadTeam(g.TeamFilePath, 0);
    if (!team) return nullptr;
    g.SelectedTeamIndex = 0;
    g.TeamRecordBuffer = *team;
    auto* task = new QWidget;
    task->setWindowTitle(QStringLiteral("Browse Teams"));
    OpenTaskWindow(task);
    // The browser's frame stands wholly behind the editor, as the real browser is covered by it.
    if (QWidget* taskFrame = TaskFrameOf(task)) taskFrame->setGeometry(8, 8, 160, 80);
    auto* editor = new ActualizarEquipo;
    OpenModalOnTask(task, editor, nullptr);
    editor->tabs()->setCurrentIndex(3);
    QWidget* window = TaskFrameOf(editor);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window)) frame.taskArea()->setActiveSubWindow(sub);
    return window;
}

// The states the market fix sends, taken from a run over a copy of the sample data.
std::vector<ProgressState> MarketStates() {
    struct Recorder : Progress {
        bool Update(const ProgressState& s) override {
            states.push_back(s);
            return true;
        }
        std::vector<ProgressState> states;
    } recorder;
    QTemporaryDir dir;
    if (WriteSampleData(dir.path().toStdString(), {}).ok())
        ArreglarMercado(dir.path().toStdString(), recorder);
    return recorder.states;
}

} // namespace

void ShootClipboardPricesAndMarket(Shots& shots, Principal& frame) {
    QTemporaryDir clipboardDir;
    const std::string kept = Globals().ClipboardFilePath;
    Globals().ClipboardFilePath =
        QDir(clipboardDir.path()).filePath(QStringLiteral("portapap.tps")).toStdString();
    FillClipboard(Globals().ClipboardFilePath);
    if (QWidget* editor = OpenTeamEditorOnPlayers(frame)) {
        if (auto* clipboard = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame))) {
            clipboard->list()->setCurrentRow(2);
            SaveScreen(shots, &frame, clipboard, "clipboard");
            clipboard->close();
        }
        editor->close(); // its close box: the workspace is not written
    } else {
        std::fprintf(stderr, "clipboard: no team editor\n");
        ++shots.failures;
    }
    frame.taskArea()->closeAllSubWindows();
    Globals().ClipboardFilePath = kept;

    // The defaults: a cross on the Back row, a tick on the Attack row; a decimal with a suffix draws its
    // hint.
    frame.EditPricesFormula();
    if (QMdiSubWindow* sub = frame.taskArea()->currentSubWindow()) {
        auto* editor = qobject_cast<EditarFormulaPrecios*>(sub->widget());
        if (editor) {
            const auto& wing = editor->row(FormulaRole::Wing);
            wing.entry->setText(wing.entry->text() + QStringLiteral("+1.5m"));
            editor->Accept(FormulaRole::Wing);
        }
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        Save(shots, sub, "formulas");
    }
    frame.taskArea()->closeAllSubWindows();
    Globals().Formulas = DefaultFormulas();

    const std::vector<ProgressState> states = MarketStates();
    const ProgressState* cups = nullptr;
    const ProgressState* market = nullptr;
    for (const ProgressState& s : states) {
        if (s.title == "Fixing Cups" && s.value1 == 5) cups = &s;
        if (s.title == "Fixing Market" && s.value1 == 12) market = &s;
    }
    for (const auto& [state, name] : {std::pair{cups, "fix-cups"}, std::pair{market, "fix-market"}}) {
        if (!state) {
            std::fprintf(stderr, "no progress state for %s\n", name);
            ++shots.failures;
            continue;
        }
        // Inside a window frame, so that the picture shows the window's title.
        QMdiArea area;
        auto* window = new ProgressWindow(false);
        window->Show(MarketProgressState(*state));
        QMdiSubWindow* sub = area.addSubWindow(window);
        sub->setWindowFlags(Qt::Dialog);
        area.resize(sub->sizeHint() + QSize(8, 8));
        area.show();
        sub->show();
        sub->move(0, 0);
        Save(shots, sub, name);
    }
}

} // namespace kivo::editor
