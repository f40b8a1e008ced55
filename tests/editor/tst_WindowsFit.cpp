// Every window at the size it opens with on a 1366x768 laptop screen (and the team editor at scale factor 2,
// where the same screen has half the room): every button it shows lies inside it, and it lies inside the
// frame (a window of its own: inside the screen's available area).

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "core/players/CrearArchivoJugadores.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/app/Principal.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/market/ElegirDirectorioArreglarMercado.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/prices/EditarFormulaPrecios.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/teams/VerEquipos.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

// The laptop screen in device-independent pixels: at scale factor 2 it offers half as many.
QRect LaptopScreen() {
    const qreal scale = qApp->devicePixelRatio();
    return {0, 0, static_cast<int>(1366 / scale), static_cast<int>(768 / scale)};
}

QString NameOf(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w); b && !b->text().isEmpty()) return b->text();
    if (!w->accessibleName().isEmpty()) return w->accessibleName();
    return w->toolTip().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->toolTip();
}

// The buttons that show but do not lie whole within every widget they stand in up to `window`. A button in
// a scrolling area (a grid of rows) is scrolled to, and left out.
QStringList ButtonsOutside(QWidget* window) {
    QStringList outside;
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(window)) continue;
        bool scrolls = false;
        for (QWidget* p = b->parentWidget(); p && p != window; p = p->parentWidget())
            scrolls = scrolls || qobject_cast<QAbstractScrollArea*>(p) != nullptr;
        if (scrolls) continue;
        for (QWidget* p = b->parentWidget(); p; p = p->parentWidget()) {
            const QRect at(b->mapTo(p, QPoint(0, 0)), b->size());
            if (!p->rect().contains(at)) {
                outside << NameOf(b) + QStringLiteral(" outside ") +
                               QString::fromLatin1(p->metaObject()->className());
                break;
            }
            if (p == window) break;
        }
    }
    return outside;
}

// The window a user sees for `content`: its subwindow in the frame, or its own window.
QWidget* Shown(QWidget* content) {
    return TaskFrameOf(content);
}

// Whether the shown window lies inside the frame's task area, or (its own window) inside the screen.
bool InsideItsRoom(QWidget* shown) {
    if (!shown->isWindow()) return shown->parentWidget()->rect().contains(shown->geometry());
    return LaptopScreen().contains(shown->frameGeometry());
}

#define CHECK_FITS(content)                                                                                  \
    do {                                                                                                     \
        QWidget* shown_ = Shown(content);                                                                    \
        QVERIFY2(InsideItsRoom(shown_), qPrintable(NameOf(content) + QStringLiteral(" runs off its room"))); \
        const QStringList outside_ = ButtonsOutside(shown_);                                                 \
        QVERIFY2(outside_.isEmpty(), qPrintable(outside_.join(QStringLiteral(", "))));                       \
    } while (false)

// Whether a window of its own stands over the middle of the frame, as far as the screen lets it.
bool CentredOn(const QWidget* own, const QWidget& frame) {
    QRect centred(QPoint(0, 0), own->frameGeometry().size());
    centred.moveCenter(frame.frameGeometry().center());
    const QRect screen = LaptopScreen();
    centred.moveLeft(std::clamp(centred.left(), screen.left(), screen.right() + 1 - centred.width()));
    centred.moveTop(std::clamp(centred.top(), screen.top(), screen.bottom() + 1 - centred.height()));
    return (own->frameGeometry().topLeft() - centred.topLeft()).manhattanLength() <= 2;
}

template <class W> W* Current(Principal& frame) {
    QMdiSubWindow* sub = frame.taskArea()->currentSubWindow();
    return sub ? qobject_cast<W*>(sub->widget()) : nullptr;
}

// The sample data, its players' file, and ventanas.ini pointing the catalogue at the data.
struct Workspace {
    Workspace() {
        Globals().AvailableArea = LaptopScreen();
        data = seams.StartFile(QStringLiteral("data")).toStdString();
        if (!WriteSampleData(data, {}).ok()) qFatal("no sample data");
        NoProgress quiet;
        if (!CrearArchivoJugadores(PlayerDatabasePath(), data, quiet).ok()) qFatal("no players' file");
        WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, data);
        Globals().ClipboardFilePath = seams.StartFile(QStringLiteral("portapap.tps")).toStdString();
    }
    ~Workspace() { Globals().AvailableArea = QRect(); }
    test::Seams seams;
    std::string data;
};

// The catalogue, England's teams and the team editor on the third team, inside a started frame.
struct TeamWindows {
    explicit TeamWindows(Principal& frame) {
        frame.OpenTeamFileForEditing();
        catalogue = Current<EquiposExistentes>(frame);
        if (!catalogue) return;
        if (QPushButton* england = catalogue->fileButton(8)) england->click();
        browser = Current<VerEquipos>(frame);
        if (!browser) return;
        browser->list()->setCurrentItem(browser->list()->topLevelItem(2));
        browser->EditTeam();
        editor = Current<ActualizarEquipo>(frame);
    }
    QPointer<EquiposExistentes> catalogue;
    QPointer<VerEquipos> browser;
    QPointer<ActualizarEquipo> editor;
};

void Settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class WindowsFitTest : public QObject {
    Q_OBJECT
private slots:
    // The team editor, whose sixteen rows need more room than a small screen has: its button rows stay in
    // view, the grid scrolls, the names show whole. Also run at scale factor 2.
    void teamEditorFits() {
        Workspace w;
        Principal frame;
        frame.Start(false);
        QVERIFY(LaptopScreen().contains(frame.frameGeometry()));
        TeamWindows team(frame);
        QVERIFY(team.editor);
        Settle();
        for (int tab = 0; tab < 4; ++tab) {
            team.editor->tabs()->setCurrentIndex(tab);
            Settle();
            CHECK_FITS(team.editor);
        }
        for (QPushButton* b :
             {team.editor->okButton(), team.editor->cancelButton(), team.editor->helpButton(),
              team.editor->undoButton(), team.editor->redoButton(), team.editor->computeAllButton(),
              team.editor->computeOriginalButton()})
            QVERIFY2(b->isVisibleTo(team.editor), qPrintable(b->text()));
        // An undo text of any length keeps the button row within the window.
        team.editor->row(15).skills[4]->setValue(14);
        team.editor->computeAllButton()->click();
        Settle();
        CHECK_FITS(team.editor);

        // Whole names: 22 capitals in a player's name field, 16 in the team's, 24 in the coach's.
        const struct {
            QLineEdit* field;
            int characters;
        } names[] = {{team.editor->row(0).name, 22},
                     {team.editor->row(15).name, 22},
                     {team.editor->teamNameField(), 16},
                     {team.editor->coachNameField(), 24}};
        for (const auto& n : names) {
            const int text =
                n.field->fontMetrics().horizontalAdvance(QString(n.characters, QLatin1Char('X')));
            QVERIFY2(text <= n.field->width() - 8, qPrintable(n.field->accessibleName()));
        }
    }

    void everyWindowFitsOnALaptopScreen() {
        Workspace w;
        Principal frame;
        frame.Start(false);
        QVERIFY(LaptopScreen().contains(frame.frameGeometry()));
        QVERIFY(ButtonsOutside(&frame).isEmpty());

        TeamWindows team(frame);
        QVERIFY(team.catalogue && team.browser && team.editor);
        CHECK_FITS(team.catalogue);
        CHECK_FITS(team.browser);
        // Browse Teams shows its five columns whole.
        int columns = 0;
        for (int c = 0; c < 5; ++c)
            columns += team.browser->list()->columnWidth(c);
        QVERIFY(columns <= team.browser->list()->viewport()->width());

        // The clipboard opens beside the team editor, not over it.
        frame.OpenPlayersClipboard();
        auto* clipboard = qobject_cast<VerPortapapeles*>(Globals().ClipboardThread.data());
        QVERIFY(clipboard);
        CHECK_FITS(clipboard);
        QWidget* editorShown = Shown(team.editor);
        const QRect editorOnScreen(editorShown->mapToGlobal(QPoint(0, 0)), editorShown->size());
        QVERIFY(!clipboard->frameGeometry().intersects(editorOnScreen));
        clipboard->close();
        Shown(team.editor)->close();
        Settle();

        // The team sheet's preview, a window of its own, over the middle of the frame.
        team.browser->PrintTeam();
        QTRY_VERIFY(frame.findChild<ReportPreview*>());
        auto* preview = frame.findChild<ReportPreview*>();
        CHECK_FITS(preview);
        QVERIFY(CentredOn(preview, frame));
        preview->exitAction()->trigger();
        Settle();
        frame.taskArea()->closeAllSubWindows();
        Settle();

        // A progress window opens centred on the frame.
        auto* task = new QWidget;
        OpenTaskWindow(task);
        auto [progress, adapter] = OpenProgressWindow(task, QStringLiteral("Creating File"), false);
        (void)adapter;
        CHECK_FITS(progress);
        QVERIFY(CentredOn(progress, frame));
        CloseProgressWindow(progress);
        frame.taskArea()->closeAllSubWindows();
        Settle();

        // The player browser with twenty rows in view, its search form and its update window.
        frame.FindPlayers();
        auto* players = Current<BrowserBusquedas>(frame);
        QVERIFY(players);
        CHECK_FITS(players);
        const int rows =
            players->list()->viewport()->height() / players->list()->verticalHeader()->defaultSectionSize();
        QVERIFY2(rows >= 20, qPrintable(QString::number(rows)));
        players->button(QStringLiteral("Set Search Criteria and Search"))->click();
        auto* form = Current<FormularioBusqueda>(frame);
        QVERIFY(form);
        CHECK_FITS(form);
        Shown(form)->close();
        Settle();
        players->button(QStringLiteral("Update One Team File"))->click();
        auto* update = Current<ActualizarArchivoTodos>(frame);
        QVERIFY(update);
        CHECK_FITS(update);
        frame.taskArea()->closeAllSubWindows();
        Settle();

        frame.CreateFileWithAllPlayers();
        QVERIFY(Current<ElegirDirectorioCrearArchivoJugadores>(frame));
        CHECK_FITS(Current<ElegirDirectorioCrearArchivoJugadores>(frame));
        frame.FixForeignMarket();
        QVERIFY(Current<ElegirDirectorioArreglarMercado>(frame));
        CHECK_FITS(Current<ElegirDirectorioArreglarMercado>(frame));

        // The formula editor shows each formula whole.
        frame.EditPricesFormula();
        auto* formulas = Current<EditarFormulaPrecios>(frame);
        QVERIFY(formulas);
        CHECK_FITS(formulas);
        for (const FormulaInfo& info : FormulaInfos()) {
            QLineEdit* entry = formulas->row(info.role).entry;
            QVERIFY2(entry->fontMetrics().horizontalAdvance(entry->text()) <= entry->width() - 8,
                     qPrintable(entry->text()));
        }
        frame.taskArea()->closeAllSubWindows();
        Settle();

        ShowHelp(QStringLiteral("Main"));
        QWidget* help = Globals().HelpWindow;
        QVERIFY(help);
        CHECK_FITS(help);
        help->close();
        frame.close();
    }

    // A placement kept from a larger screen is brought back within the smaller one.
    void aStoredPlacementIsKeptWithinTheScreen() {
        Workspace w;
        const std::string ini = PlacementIniPath(kPlacementFileName);
        for (const auto& [key, value] :
             {std::pair{kPlacementXPosit, "300"}, std::pair{kPlacementYPosit, "200"},
              std::pair{kPlacementWidth, "1800"}, std::pair{kPlacementHeight, "1100"}})
            WriteIniText(ini, "Principal", key, value);
        Principal frame;
        frame.Start(false);
        QVERIFY(LaptopScreen().contains(frame.frameGeometry()));
        QCOMPARE(frame.frameGeometry().size(), LaptopScreen().size());
        frame.close();
    }
};

QTEST_MAIN(WindowsFitTest)
#include "tst_WindowsFit.moc"
