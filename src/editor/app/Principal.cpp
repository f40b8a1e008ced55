#include "editor/app/Principal.h"

#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include "core/prices/Formulas.h"
#include "core/prices/PriceLadder.h"
#include "core/settings/SettingsEntries.h"
#include "editor/app/Presentacion.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/inspect/RevisionDatos.h"
#include "editor/inspect/CopiasSeguridad.h"
#include "editor/market/ElegirDirectorioArreglarMercado.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"
#include "editor/prices/EditarFormulaPrecios.h"
#include "editor/rosters/RosterCommands.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "Principal";

QAction* Entry(QMenu* menu, const QString& text, const QString& status = {}) {
    QAction* a = menu->addAction(text);
    if (!status.isEmpty()) a->setStatusTip(status);
    return a;
}

} // namespace

Principal::Principal(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromLatin1(kProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/program.svg")));
    SetHelpKeyword(this, QString::fromLatin1(kMainHelpKeyword));
    area_ = new QMdiArea;
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setBackground(QColor(0x5a, 0x7d, 0x64));
    setCentralWidget(area_);
    Globals().TaskArea = area_;
    BuildMenus();
    BuildToolBar();
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(1024, 720);
}

Principal::~Principal() = default;

void Principal::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    browseTeams_ = Entry(file, QStringLiteral("&Browse Teams from a Country, Region..."));
    file->addSeparator();
    findPlayers_ = Entry(file, QStringLiteral("&Find Players"));
    createFile_ = Entry(file, QStringLiteral("&Create a File with all the Players"));
    fixMarket_ = Entry(file, QStringLiteral("&Fix Foreign Market Players"));
    QAction* checkFiles = Entry(file, QStringLiteral("Chec&k Game Files\u2026"),
                                QStringLiteral("Check the game files without changing them"));
    connect(checkFiles, &QAction::triggered, this, [] { StartRevisionDatos(); });
    file->addSeparator();
    connect(Entry(file, QString::fromUtf8("Reprice All Players\u2026")), &QAction::triggered, this,
            [this] { RepriceAllPlayersCommand(this); });
    connect(Entry(file, QString::fromUtf8("Export Rosters\u2026")), &QAction::triggered, this,
            [this] { ExportRostersCommand(this); });
    connect(Entry(file, QString::fromUtf8("Import Rosters\u2026")), &QAction::triggered, this,
            [this] { ImportRostersCommand(this); });
    file->addSeparator();
    editFormula_ = Entry(file, QStringLiteral("&Edit Prices Formula"));
    file->addSeparator();
    QAction* exit = Entry(file, QStringLiteral("&Exit"), QStringLiteral("Exit PC Zeltra"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    exit->setShortcutContext(Qt::ApplicationShortcut);
    connect(browseTeams_, &QAction::triggered, this, &Principal::OpenTeamFileForEditing);
    connect(findPlayers_, &QAction::triggered, this, &Principal::FindPlayers);
    connect(createFile_, &QAction::triggered, this, &Principal::CreateFileWithAllPlayers);
    connect(fixMarket_, &QAction::triggered, this, &Principal::FixForeignMarket);
    connect(editFormula_, &QAction::triggered, this, &Principal::EditPricesFormula);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    connect(Entry(options, QStringLiteral("&Printer Setup")), &QAction::triggered, this,
            &Principal::PrinterSetup);

    windowMenu_ = menuBar()->addMenu(QStringLiteral("&Window"));
    clipboard_ =
        Entry(windowMenu_, QStringLiteral("&Players Clipboard"), QStringLiteral("Open Players Clipboard"));
    connect(clipboard_, &QAction::triggered, this, &Principal::OpenPlayersClipboard);
    QAction* backups = Entry(windowMenu_, QStringLiteral("&Backups\u2026"),
                             QStringLiteral("Compare the game files with their backups and restore them"));
    connect(backups, &QAction::triggered, this, [] { StartCopiasSeguridad(); });
    fixedWindowEntries_ << clipboard_ << backups << windowMenu_->addSeparator();
    QAction* tile = Entry(windowMenu_, QStringLiteral("&Tile"));
    QAction* cascade = Entry(windowMenu_, QStringLiteral("&Cascade"));
    QAction* arrange = Entry(windowMenu_, QStringLiteral("&Arrange Icons"));
    connect(tile, &QAction::triggered, area_, &QMdiArea::tileSubWindows);
    connect(cascade, &QAction::triggered, area_, &QMdiArea::cascadeSubWindows);
    connect(arrange, &QAction::triggered, this, &Principal::ArrangeIcons);
    fixedWindowEntries_ << tile << cascade << arrange;
    connect(windowMenu_, &QMenu::aboutToShow, this, &Principal::FillWindowMenu);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setStatusTip(QStringLiteral("Windows Help"));
    connect(Entry(help, QStringLiteral("&Contents"), QStringLiteral("View the contents of the help file")),
            &QAction::triggered, this, [] { ShowHelpContents(); });
    connect(
        Entry(help, QStringLiteral("&Search for Help On..."), QStringLiteral("Search for help on a subject")),
        &QAction::triggered, this, [] { ShowHelpSearch(); });
    connect(Entry(help, QStringLiteral("&How to Use Help"), QStringLiteral("How to use Windows Help")),
            &QAction::triggered, this, [] { ShowHelp(QString::fromLatin1(kHowToUseHelpKeyword)); });
    help->addSeparator();
    connect(Entry(help, QStringLiteral("&About")), &QAction::triggered, this,
            [] { ShowHelp(QString::fromLatin1(kAboutHelpKeyword)); });
}

void Principal::BuildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("Commands"));
    toolBar_->setObjectName(QStringLiteral("Commands"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(28, 28));
    struct Button {
        const char* tip;
        const char* icon;
        void (Principal::*command)();
    };
    const Button buttons[] = {
        {"Open a Team File for Editing", "botequip", &Principal::OpenTeamFileForEditing},
        {"Find Players", "buscar3", &Principal::FindPlayers},
        {"Edit Formulae to Compute Prices", "formula", &Principal::EditPricesFormula},
        {"Create File with all the Players", "creatodo", &Principal::CreateFileWithAllPlayers},
        {"Fix Foreign Market", "mercado", &Principal::FixForeignMarket},
        {"Help", "ayuda", &Principal::HelpOnActiveWindow},
    };
    for (const Button& b : buttons) {
        QAction* a = toolBar_->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(b.icon))),
                                         QString::fromLatin1(b.tip));
        a->setToolTip(QString::fromLatin1(b.tip));
        a->setStatusTip(QString::fromLatin1(b.tip));
        connect(a, &QAction::triggered, this, b.command);
        if (b.command == &Principal::HelpOnActiveWindow) {
            // F1 opens the topic of whichever window is active, the frame's or a window of its own.
            a->setShortcut(QKeySequence::HelpContents);
            a->setShortcutContext(Qt::ApplicationShortcut);
            helpButton_ = a;
        }
    }
}

void Principal::Start(bool showSplash) {
    EditorState& g = Globals();
    g.GlobalRequest = 0;
    g.GlobalResponse = 0;
    std::string dir = g.StartDirectory;
    while (!dir.empty() && dir.back() == ' ')
        dir.pop_back();
    g.ClipboardFilePath = (std::filesystem::path(dir) / "portapap.tps").string();
    (void)PriceLadder(); // the ladder is a constant table: touching it is all that filling it takes
    g.Prices = std::make_shared<PriceEvaluator>();
    g.Formulas = ReadFormulas(VentanasPath());
    show();
    // A laptop screen (or a large scale factor) has less room than the frame's design size.
    KeepWithinRoom(this);
    RestoreWindowPlacement(this, kPlacementFileName, kSection);
    if (showSplash) {
        auto* splash = new Presentacion(this);
        splash_ = splash;
        splash->show();
        // Over the middle of the frame, wherever its placement put it.
        splash->move(frameGeometry().center() - splash->rect().center());
    }
}

void Principal::OpenTeamFileForEditing() {
    EditorState& g = Globals();
    if (g.CatalogueOpen) {
        ShowInformation(QStringLiteral("ERROR"),
                        QStringLiteral("Only ONE File can be Edited at the Same Time"), this);
        return;
    }
    g.CatalogueOpen = true;
    StartEquiposExistentes();
}

void Principal::FindPlayers() {
    StartBrowserBusquedas();
}
void Principal::CreateFileWithAllPlayers() {
    StartElegirDirectorioCrearArchivoJugadores();
}
void Principal::FixForeignMarket() {
    StartElegirDirectorioArreglarMercado();
}
void Principal::EditPricesFormula() {
    StartEditarFormulaPrecios();
}

void Principal::OpenPlayersClipboard() {
    if (Globals().ClipboardThread) return;
    StartVerPortapapeles(this);
}

void Principal::PrinterSetup() {
    // The printer every report prints on, with its paper and orientation; nothing is printed here.
    auto* dialog = new QPrintDialog(SharedPrinter(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Printer Setup"));
    dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (auto* box = dialog->findChild<QDialogButtonBox*>())
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setText(QStringLiteral("OK"));
    dialog->open();
}

QString Principal::ActiveHelpKeyword() const {
    QWidget* active = QApplication::activeWindow();
    if (active && active != this) return HelpKeywordOf(active);
    if (QMdiSubWindow* sub = area_->currentSubWindow(); sub && sub->widget())
        return HelpKeywordOf(sub->widget());
    return QString::fromLatin1(kMainHelpKeyword);
}

void Principal::HelpOnActiveWindow() {
    ShowHelp(ActiveHelpKeyword());
}

void Principal::ArrangeIcons() {
    // Minimised task windows in a row along the bottom of the frame, left to right.
    int x = 0;
    for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area_->viewport()->width()) x = 0;
        sub->move(x, area_->viewport()->height() - size.height());
        x += size.width();
    }
}

void Principal::FillWindowMenu() {
    for (QAction* a : windowMenu_->actions())
        if (!fixedWindowEntries_.contains(a)) {
            windowMenu_->removeAction(a);
            a->deleteLater();
        }
    const QList<QMdiSubWindow*> windows = area_->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    windowMenu_->addSeparator();
    int n = 1;
    for (QMdiSubWindow* sub : windows) {
        const QString prefix = n < 10 ? QStringLiteral("&%1 ").arg(n) : QStringLiteral("%1 ").arg(n);
        QAction* a = windowMenu_->addAction(prefix + sub->windowTitle());
        a->setCheckable(true);
        a->setChecked(sub == area_->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
            if (sub) area_->setActiveSubWindow(sub);
        });
        ++n;
    }
}

void Principal::closeEvent(QCloseEvent* event) {
    if (!findChildren<ProgressWindow*>().isEmpty()) {
        ShowInformation(
            QString::fromLatin1(kProgramTitle),
            QStringLiteral("A long job is still running. Wait for it to end (or cancel it) before "
                           "closing the editor."),
            this);
        event->ignore();
        return;
    }
    // Team editors first, before the catalogue and browser they belong to: one with unsaved edits asks,
    // and No keeps the program running with nothing else closed.
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (qobject_cast<ActualizarEquipo*>(sub->widget()) && !sub->close()) {
            event->ignore();
            return;
        }
    area_->closeAllSubWindows();
    if (!area_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    SaveWindowPlacement(this, kPlacementFileName, kSection);
    if (QWidget* clipboard = Globals().ClipboardThread) clipboard->close();
    if (QWidget* help = Globals().HelpWindow) help->close();
    event->accept();
}

} // namespace kivo::editor
