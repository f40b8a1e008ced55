#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "core/settings/IniFile.h"
#include "editor/app/Principal.h"
#include "editor/app/ProgramEntry.h"
#include "editor/ui/HelpViewer.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

QMenu* MenuOf(QMainWindow& frame, const QString& title) {
    for (QAction* a : frame.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

QAction* EntryOf(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

QStringList Texts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

QStringList SubWindowTitles(QMdiArea* area) {
    QStringList titles;
    for (QMdiSubWindow* sub : area->subWindowList())
        titles << sub->windowTitle();
    return titles;
}

} // namespace

class PrincipalTest : public QObject {
    Q_OBJECT
private slots:
    void menus_data();
    void menus();
    void statusTexts_data();
    void statusTexts();
    void toolBar();
    void catalogueGuard_data();
    void catalogueGuard();
    void clipboardGuard();
    void laterCommandsSayNotAvailable_data();
    void laterCommandsSayNotAvailable();
    void startUpReadsFormulasAndWritesNothing_data();
    void startUpReadsFormulasAndWritesNothing();
    void startUpRestoresAndCloseSavesPlacement();
    void windowMenuListsTaskWindows();
    void helpFollowsTheActiveWindow();
    void arrangeIconsLinesUpMinimisedWindows();
    void programEndsWithStatusZero();
};

void PrincipalTest::menus_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("File") << "&File"
                          << QStringList{"&Browse Teams from a Country, Region...",
                                         "-",
                                         "&Find Players",
                                         "&Create a File with all the Players",
                                         "&Fix Foreign Market Players",
                                         "-",
                                         "&Edit Prices Formula",
                                         "-",
                                         "&Exit"};
    QTest::newRow("Options") << "&Options" << QStringList{"&Printer Setup"};
    QTest::newRow("Window") << "&Window"
                            << QStringList{"&Players Clipboard", "-", "&Tile", "&Cascade", "&Arrange Icons"};
    QTest::newRow("Help") << "&Help"
                          << QStringList{"&Contents", "&Search for Help On...", "&How to Use Help", "-",
                                         "&About"};
}

void PrincipalTest::menus() {
    QFETCH(QString, menu);
    QFETCH(QStringList, entries);
    test::Seams seams;
    Principal frame;
    QCOMPARE(frame.windowTitle(), QStringLiteral("PC KIVO EDITOR 1.40"));
    QStringList bar;
    for (QAction* a : frame.menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{"&File", "&Options", "&Window", "&Help"}));
    QMenu* m = MenuOf(frame, menu);
    QVERIFY(m);
    QCOMPARE(Texts(m), entries);
}

void PrincipalTest::statusTexts_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("status");
    QTest::newRow("Exit") << "&File"
                          << "&Exit"
                          << "Exit PC Zeltra";
    QTest::newRow("Clipboard") << "&Window"
                               << "&Players Clipboard"
                               << "Open Players Clipboard";
    QTest::newRow("Contents") << "&Help"
                              << "&Contents"
                              << "View the contents of the help file";
    QTest::newRow("Search") << "&Help"
                            << "&Search for Help On..."
                            << "Search for help on a subject";
    QTest::newRow("How to") << "&Help"
                            << "&How to Use Help"
                            << "How to use Windows Help";
}

void PrincipalTest::statusTexts() {
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QString, status);
    test::Seams seams;
    Principal frame;
    QAction* a = EntryOf(MenuOf(frame, menu), entry);
    QVERIFY(a);
    QCOMPARE(a->statusTip(), status);
    QCOMPARE(MenuOf(frame, QStringLiteral("&Help"))->menuAction()->statusTip(),
             QStringLiteral("Windows Help"));
}

void PrincipalTest::toolBar() {
    test::Seams seams;
    Principal frame;
    QStringList tips;
    for (QAction* a : frame.toolBar()->actions()) {
        tips << a->toolTip();
        QCOMPARE(a->statusTip(), a->toolTip());
        QVERIFY2(!a->icon().pixmap(24, 24).isNull(), qPrintable(a->toolTip()));
    }
    QCOMPARE(tips,
             (QStringList{"Open a Team File for Editing", "Find Players", "Edit Formulae to Compute Prices",
                          "Create File with all the Players", "Fix Foreign Market", "Help"}));
}

void PrincipalTest::catalogueGuard_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("toolbar button") << "toolbar";
    QTest::newRow("File menu entry") << "menu";
}

void PrincipalTest::catalogueGuard() {
    QFETCH(QString, how);
    test::Seams seams;
    Principal frame;
    frame.show();
    auto press = [&] {
        if (how == QLatin1String("toolbar"))
            frame.toolBar()->actions().at(0)->trigger();
        else
            EntryOf(MenuOf(frame, QStringLiteral("&File")),
                    QStringLiteral("&Browse Teams from a Country, Region..."))
                ->trigger();
    };
    press();
    QVERIFY(Globals().CatalogueOpen);
    QCOMPARE(SubWindowTitles(frame.taskArea()), QStringList{"Team Files"});
    QVERIFY(seams.messages.empty());

    press();
    QCOMPARE(SubWindowTitles(frame.taskArea()), QStringList{"Team Files"});
    QCOMPARE(seams.messages.size(), std::size_t(1));
    QCOMPARE(seams.messages[0].title, QStringLiteral("ERROR"));
    QCOMPARE(seams.messages[0].text, QStringLiteral("Only ONE File can be Edited at the Same Time"));
    QCOMPARE(seams.messages[0].icon, MessageIcon::Information);
    QCOMPARE(seams.messages[0].buttons, MessageButtons(MessageButton::Ok));

    frame.taskArea()->subWindowList().at(0)->close();
    QVERIFY(!Globals().CatalogueOpen);
    QTRY_VERIFY(frame.taskArea()->subWindowList().isEmpty());
    press();
    QCOMPARE(SubWindowTitles(frame.taskArea()), QStringList{"Team Files"});
    QCOMPARE(seams.messages.size(), std::size_t(1));
}

void PrincipalTest::clipboardGuard() {
    test::Seams seams;
    Principal frame;
    frame.show();
    QAction* entry = EntryOf(MenuOf(frame, QStringLiteral("&Window")), QStringLiteral("&Players Clipboard"));
    entry->trigger();
    QPointer<QWidget> first = Globals().ClipboardThread;
    QVERIFY(first);
    QCOMPARE(first->windowTitle(), QStringLiteral("Players Clipboard"));
    QVERIFY(first->isVisible());

    entry->trigger(); // does nothing while it is open
    QCOMPARE(Globals().ClipboardThread.data(), first.data());
    int open = 0;
    for (QWidget* w : frame.findChildren<QWidget*>())
        open += w->isWindow() && w->isVisible() && w->windowTitle() == QLatin1String("Players Clipboard");
    QCOMPARE(open, 1);
    QVERIFY(seams.messages.empty());

    first->close();
    QVERIFY(!Globals().ClipboardThread);
    QTRY_VERIFY(!first);
    entry->trigger();
    QVERIFY(Globals().ClipboardThread);
    QVERIFY(Globals().ClipboardThread->isVisible());
}

void PrincipalTest::laterCommandsSayNotAvailable_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("Find Players") << 1;
    QTest::newRow("Edit Formulae") << 2;
    QTest::newRow("Create File") << 3;
    QTest::newRow("Fix Foreign Market") << 4;
}

void PrincipalTest::laterCommandsSayNotAvailable() {
    QFETCH(int, button);
    test::Seams seams;
    Principal frame;
    frame.toolBar()->actions().at(button)->trigger();
    QCOMPARE(seams.messages.size(), std::size_t(1));
    QVERIFY(seams.messages[0].text.contains(QStringLiteral("not available yet")));
    QVERIFY(frame.taskArea()->subWindowList().isEmpty());
}

void PrincipalTest::startUpReadsFormulasAndWritesNothing_data() {
    QTest::addColumn<QByteArray>("ventanas"); // empty: no file at all
    QTest::addColumn<QString>("attack");
    const QString builtIn = QString::fromStdString(DefaultFormulas()[std::size_t(FormulaRole::Attack)]);
    QTest::newRow("no ventanas.ini") << QByteArray() << builtIn;
    QTest::newRow("no Formula section")
        << QByteArray("[Configuraci\xf3n]\r\nDirectorioKIVO=/x\r\n") << builtIn;
    QTest::newRow("Formula section") << QByteArray("[Formula]\r\nFormulaDelantero=100k*FI\r\n") << "100k*FI";
}

void PrincipalTest::startUpReadsFormulasAndWritesNothing() {
    QFETCH(QByteArray, ventanas);
    QFETCH(QString, attack);
    test::Seams seams;
    const QString path = QDir(seams.start.path()).filePath(QStringLiteral("ventanas.ini"));
    if (!ventanas.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ventanas);
    }
    Principal frame;
    frame.Start(false);
    QCOMPARE(QString::fromStdString(Globals().Formulas[std::size_t(FormulaRole::Attack)]), attack);
    QCOMPARE(QString::fromStdString(Globals().ClipboardFilePath),
             QDir(seams.start.path()).filePath(QStringLiteral("portapap.tps")));
    QVERIFY(Globals().Prices);
    QCOMPARE(QFile::exists(path), !ventanas.isEmpty());
    if (!ventanas.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), ventanas);
    }
    QCOMPARE(QDir(seams.start.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(),
             ventanas.isEmpty() ? 0 : 1);
    QVERIFY(!QFile::exists(QDir(seams.placement.path()).filePath(QStringLiteral("zeltra.ini"))));
}

void PrincipalTest::startUpRestoresAndCloseSavesPlacement() {
    test::Seams seams;
    const std::string ini = QDir(seams.placement.path()).filePath(QStringLiteral("zeltra.ini")).toStdString();
    WriteIniText(ini, "Principal", "XPosit", "70");
    WriteIniText(ini, "Principal", "YPosit", "60");
    WriteIniText(ini, "Principal", "Width", "800");
    WriteIniText(ini, "Principal", "Height", "560");
    {
        Principal frame;
        frame.Start(false);
        QCOMPARE(frame.geometry(), QRect(70, 60, 800, 560));
        frame.setGeometry(90, 95, 700, 500);
        frame.close();
    }
    QCOMPARE(ReadIniText(ini, "Principal", "XPosit", ""), std::string("90"));
    QCOMPARE(ReadIniText(ini, "Principal", "YPosit", ""), std::string("95"));
    QCOMPARE(ReadIniText(ini, "Principal", "Width", ""), std::string("700"));
    QCOMPARE(ReadIniText(ini, "Principal", "Maximize", ""), std::string("No"));
}

void PrincipalTest::windowMenuListsTaskWindows() {
    test::Seams seams;
    Principal frame;
    frame.show();
    frame.OpenTeamFileForEditing();
    QMenu* menu = MenuOf(frame, QStringLiteral("&Window"));
    emit menu->aboutToShow();
    QVERIFY(Texts(menu).contains(QStringLiteral("&1 Team Files")));
    frame.taskArea()->closeAllSubWindows();
    QTRY_VERIFY(frame.taskArea()->subWindowList().isEmpty());
    emit menu->aboutToShow();
    QCOMPARE(Texts(menu), (QStringList{"&Players Clipboard", "-", "&Tile", "&Cascade", "&Arrange Icons"}));
}

void PrincipalTest::helpFollowsTheActiveWindow() {
    test::Seams seams;
    Principal frame;
    frame.show();
    QApplication::setActiveWindow(&frame);
    QCOMPARE(frame.ActiveHelpKeyword(), QStringLiteral("Main"));
    frame.OpenTeamFileForEditing();
    QCOMPARE(frame.ActiveHelpKeyword(), QStringLiteral("Opening Teams"));
    frame.HelpOnActiveWindow();
    HelpViewer* viewer = HelpViewer::Instance();
    QCOMPARE(viewer->currentKeyword(), QStringLiteral("Opening Teams"));
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("Refresh")));
    viewer->close();
    QTRY_VERIFY(!Globals().HelpWindow);

    // F1 in the frame with no task window open: the frame's own topic.
    frame.taskArea()->closeAllSubWindows();
    QTRY_VERIFY(frame.taskArea()->subWindowList().isEmpty());
    QApplication::setActiveWindow(&frame);
    QTest::keyClick(&frame, Qt::Key_F1);
    QVERIFY(Globals().HelpWindow);
    QCOMPARE(HelpViewer::Instance()->currentKeyword(), QStringLiteral("Main"));
    HelpViewer::Instance()->close();
}

void PrincipalTest::arrangeIconsLinesUpMinimisedWindows() {
    test::Seams seams;
    Principal frame;
    frame.resize(900, 700);
    frame.show();
    frame.OpenTeamFileForEditing();
    QMdiSubWindow* catalogue = frame.taskArea()->currentSubWindow();
    catalogue->move(300, 200);
    catalogue->showMinimized();
    frame.OpenPlayersClipboard(); // a window of its own: not arranged
    frame.ArrangeIcons();
    const int bottom = frame.taskArea()->viewport()->height();
    QCOMPARE(catalogue->x(), 0);
    QCOMPARE(catalogue->y() + catalogue->height(), bottom);
}

void PrincipalTest::programEndsWithStatusZero() {
    test::Seams seams;
    QDir::setCurrent(seams.start.path());
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* frame = qobject_cast<Principal*>(w)) {
                frame->close();
                // Should another window have kept the program alive, end it anyway; the check is the status.
                QTimer::singleShot(0, frame, [] { QCoreApplication::quit(); });
            }
    });
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    QCOMPARE(RunProgram(*app, StartOptions{false}), 0);
    QVERIFY(QFile::exists(QDir(seams.placement.path()).filePath(QStringLiteral("zeltra.ini"))));
    QVERIFY(!QFile::exists(QDir(seams.start.path()).filePath(QStringLiteral("ventanas.ini"))));
}

QTEST_MAIN(PrincipalTest)
#include "tst_Principal.moc"
