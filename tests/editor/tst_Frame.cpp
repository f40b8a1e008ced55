#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "core/settings/IniFile.h"
#include "editor/app/Presentacion.h"
#include "editor/app/Principal.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ReportPreview.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

QStringList Titles(QMdiArea* area) {
    QStringList titles;
    for (QMdiSubWindow* sub : area->subWindowList())
        titles << sub->windowTitle();
    return titles;
}

} // namespace

// The main frame with its menus and commands and the help (the splash: tst_Splash).
class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void menusAndToolBar() {
        test::Seams seams;
        Principal frame;
        QCOMPARE(frame.windowTitle(), QStringLiteral("PC KIVO EDITOR 1.40"));
        QCOMPARE(test::Entries(frame.menuBar()->actions()),
                 (QStringList{"&File", "&Options", "&Window", "&Help|Windows Help"}));
        QCOMPARE(
            test::Entries(test::MenuOf(frame, "&File")->actions()),
            (QStringList{"&Browse Teams from a Country, Region...", "-", "&Find Players",
                         "&Create a File with all the Players", "&Fix Foreign Market Players",
                         "Chec&k Game Files\u2026|Check the game files without changing them", "-",
                         QString::fromUtf8("Reprice All Players\u2026"),
                         QString::fromUtf8("Export Rosters\u2026"), QString::fromUtf8("Import Rosters\u2026"),
                         "-", "&Edit Prices Formula", "-", "&Exit|Exit PC Zeltra"}));
        QCOMPARE(test::Entries(test::MenuOf(frame, "&Options")->actions()), QStringList{"&Printer Setup"});
        QCOMPARE(test::Entries(test::MenuOf(frame, "&Window")->actions()),
                 (QStringList{"&Players Clipboard|Open Players Clipboard",
                              "&Backups\u2026|Compare the game files with their backups and restore them",
                              "-", "&Tile", "&Cascade", "&Arrange Icons"}));
        QCOMPARE(test::Entries(test::MenuOf(frame, "&Help")->actions()),
                 (QStringList{"&Contents|View the contents of the help file",
                              "&Search for Help On...|Search for help on a subject",
                              "&How to Use Help|How to use Windows Help", "-", "&About"}));
        QStringList tips;
        for (QAction* a : frame.toolBar()->actions()) {
            tips << a->toolTip();
            QCOMPARE(a->statusTip(), a->toolTip());
            QVERIFY2(!a->icon().pixmap(24, 24).isNull(), qPrintable(a->toolTip()));
        }
        QCOMPARE(tips, (QStringList{"Open a Team File for Editing", "Find Players",
                                    "Edit Formulae to Compute Prices", "Create File with all the Players",
                                    "Fix Foreign Market", "Help"}));
        // Each task command opens its own window inside the frame.
        QStringList titles;
        for (int button : {1, 2, 3, 4}) {
            frame.toolBar()->actions().at(button)->trigger();
            QMdiSubWindow* sub = frame.taskArea()->currentSubWindow();
            QVERIFY(sub && sub->widget());
            titles << sub->widget()->windowTitle();
            sub->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(titles, (QStringList{"Browse Players", "Formulae to Compute Prices", "Start Creating File",
                                      "Start Fixing Market"}));
        QVERIFY(seams.messages.empty());
    }

    void everyCommandOpensItsWindow_data() {
        QTest::addColumn<QString>("menu");  // a menu's title, or "toolbar"
        QTest::addColumn<QString>("entry"); // the entry's text, or the button's tool tip
        QTest::addColumn<QString>("title"); // the window it opens
        const QStringList file{"&Browse Teams from a Country, Region...",
                               "Team Files",
                               "&Find Players",
                               "Browse Players",
                               "&Create a File with all the Players",
                               "Start Creating File",
                               "&Fix Foreign Market Players",
                               "Start Fixing Market",
                               "Chec&k Game Files\u2026",
                               "Check Game Files",
                               "&Edit Prices Formula",
                               "Formulae to Compute Prices"};
        for (int i = 0; i < file.size(); i += 2)
            QTest::newRow(qPrintable("File " + file[i])) << "&File" << file[i] << file[i + 1];
        QTest::newRow("Options &Printer Setup") << "&Options"
                                                << "&Printer Setup"
                                                << "Printer Setup";
        QTest::newRow("Window &Players Clipboard") << "&Window"
                                                   << "&Players Clipboard"
                                                   << "Players Clipboard";
        QTest::newRow("Window &Backups") << "&Window"
                                         << "&Backups\u2026"
                                         << "Backups";
        for (const char* entry : {"&Contents", "&Search for Help On...", "&How to Use Help", "&About"})
            QTest::newRow(qPrintable(QStringLiteral("Help ") + entry))
                << "&Help" << entry << "KIVO Editor Help";
        const QStringList tools{"Open a Team File for Editing",
                                "Team Files",
                                "Find Players",
                                "Browse Players",
                                "Edit Formulae to Compute Prices",
                                "Formulae to Compute Prices",
                                "Create File with all the Players",
                                "Start Creating File",
                                "Fix Foreign Market",
                                "Start Fixing Market",
                                "Help",
                                "KIVO Editor Help"};
        for (int i = 0; i < tools.size(); i += 2)
            QTest::newRow(qPrintable("toolbar " + tools[i])) << "toolbar" << tools[i] << tools[i + 1];
    }
    void everyCommandOpensItsWindow() {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(QString, title);
        test::Seams seams;
        Globals().ClipboardFilePath = seams.StartFile("portapap.tps").toStdString();
        Principal frame;
        frame.show();
        QAction* action = nullptr;
        const QList<QAction*> actions =
            menu == "toolbar" ? frame.toolBar()->actions() : test::MenuOf(frame, menu)->actions();
        for (QAction* a : actions)
            if ((menu == "toolbar" ? a->toolTip() : a->text()) == entry) action = a;
        QVERIFY(action);
        action->trigger();
        QList<QWidget*> opened;
        for (QMdiSubWindow* sub : frame.taskArea()->subWindowList())
            opened << sub->widget();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &frame && w->isVisible()) opened << w;
        for (QWidget* w : frame.findChildren<QWidget*>())
            if (w->isWindow() && w->isVisible() && !opened.contains(w)) opened << w;
        QStringList titles;
        QStringList texts;
        for (QWidget* w : opened) {
            titles << w->windowTitle();
            for (QLabel* label : w->findChildren<QLabel*>())
                texts << label->text();
        }
        QVERIFY2(titles.contains(title), qPrintable(titles.join('|')));
        QVERIFY(seams.messages.empty());
        QVERIFY2(texts.filter(QStringLiteral("is not available yet")).isEmpty(), qPrintable(texts.join('|')));
        // What a screen reader reads: every control of the window has a name.
        QStringList unnamed;
        for (QWidget* w : opened)
            for (QWidget* control : w->findChildren<QWidget*>()) {
                const bool isControl =
                    qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                    qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractSpinBox*>(control) ||
                    qobject_cast<QAbstractItemView*>(control);
                if (!isControl || !control->isVisibleTo(w) ||
                    control->parentWidget()->inherits("QComboBox") || control->inherits("QMdiSubWindow") ||
                    control->inherits("QHeaderView"))
                    continue;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
                if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(' ') +
                                   control->objectName();
            }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('|')));
        for (QWidget* w : opened)
            if (w->isWindow()) w->close();
        frame.taskArea()->closeAllSubWindows();
        if (Globals().HelpWindow) Globals().HelpWindow->close();
    }

    void windowArrangements() {
        test::Seams seams;
        Principal frame;
        frame.resize(900, 700);
        frame.show();
        frame.EditPricesFormula();
        frame.FixForeignMarket();
        QList<QMdiSubWindow*> subs = frame.taskArea()->subWindowList();
        QCOMPARE(subs.size(), 2);
        auto trigger = [&](const char* text) {
            for (QAction* a : test::MenuOf(frame, "&Window")->actions())
                if (a->text() == QLatin1String(text)) a->trigger();
        };
        trigger("&Tile"); // side by side, neither over the other
        QVERIFY(!subs[0]->geometry().intersects(subs[1]->geometry()));
        trigger("&Cascade"); // one over the other, shifted
        QVERIFY(subs[0]->geometry().intersects(subs[1]->geometry()));
        QVERIFY(subs[0]->pos() != subs[1]->pos());
        subs[0]->showMinimized();
        subs[1]->showMinimized();
        trigger("&Arrange Icons"); // the minimised ones in a row along the bottom
        QCOMPARE(subs[0]->y(), subs[1]->y());
        QCOMPARE(subs[0]->geometry().bottom(), frame.taskArea()->viewport()->height() - 1);
        QVERIFY(subs[0]->x() < subs[1]->x());
        frame.taskArea()->closeAllSubWindows();
    }

    void singleWindowGuards() {
        test::Seams seams;
        Globals().ClipboardFilePath = seams.StartFile("portapap.tps").toStdString();
        Principal frame;
        frame.show();
        QAction* button = frame.toolBar()->actions().at(0);
        QAction* entry = test::MenuOf(frame, "&File")->actions().at(0);
        button->trigger();
        QVERIFY(Globals().CatalogueOpen);
        QVERIFY(seams.messages.empty());
        button->trigger();
        entry->trigger(); // the File menu entry obeys the same guard
        QCOMPARE(Titles(frame.taskArea()), QStringList{"Team Files"});
        QMenu* windows = test::MenuOf(frame, "&Window"); // lists the task windows
        emit windows->aboutToShow();
        QCOMPARE(test::Entries(windows->actions()).mid(6), (QStringList{"-", "&1 Team Files"}));
        const QString refused = "ERROR: Only ONE File can be Edited at the Same Time";
        QCOMPARE(seams.Shown(), (QStringList{refused, refused}));
        frame.taskArea()->subWindowList().at(0)->close();
        QVERIFY(!Globals().CatalogueOpen);
        QTRY_VERIFY(frame.taskArea()->subWindowList().isEmpty());
        emit windows->aboutToShow();
        QCOMPARE(windows->actions().size(), 6);
        entry->trigger(); // after closing it opens again
        QCOMPARE(Titles(frame.taskArea()), QStringList{"Team Files"});
        QCOMPARE(seams.messages.size(), std::size_t(2));
        // The clipboard: a second press does nothing while it is open.
        entry = windows->actions().at(0);
        entry->trigger();
        QPointer<QWidget> first = Globals().ClipboardThread;
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->windowTitle(), QStringLiteral("Players Clipboard"));
        entry->trigger(); // does nothing while it is open
        QCOMPARE(Globals().ClipboardThread.data(), first.data());
        int clipboards = 0;
        for (VerPortapapeles* w : frame.findChildren<VerPortapapeles*>())
            clipboards += w->isVisible();
        QCOMPARE(clipboards, 1);
        QCOMPARE(seams.messages.size(), std::size_t(2));
        first->close();
        QVERIFY(!Globals().ClipboardThread);
        QTRY_VERIFY(!first);
        entry->trigger(); // after closing it opens again
        QVERIFY(Globals().ClipboardThread && Globals().ClipboardThread->isVisible());
    }

    void programRunsAndWritesNothing_data() {
        QTest::addColumn<QByteArray>("ventanas"); // null: no file at all
        QTest::addColumn<QString>("attack");
        const QString builtIn = QString::fromStdString(DefaultFormulas()[std::size_t(FormulaRole::Attack)]);
        QTest::newRow("no ventanas.ini") << QByteArray() << builtIn;
        QTest::newRow("no Formula section")
            << QByteArray("[Configuraci\xf3n]\r\nDirectorioKIVO=/x\r\n") << builtIn;
        QTest::newRow("Formula section")
            << QByteArray("[Formula]\r\nFormulaDelantero=100k*FI\r\n") << "100k*FI";
    }
    void programRunsAndWritesNothing() {
        QFETCH(QByteArray, ventanas);
        QFETCH(QString, attack);
        test::Seams seams;
        const QString path = seams.StartFile("ventanas.ini");
        if (!ventanas.isNull()) QVERIFY(test::WriteFile(path, ventanas));
        QDir::setCurrent(seams.start.path());
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* frame = qobject_cast<Principal*>(w)) {
                    frame->close();
                    // Should another window have kept the program alive, end it anyway; the check is the
                    // status.
                    QTimer::singleShot(0, frame, [] { QCoreApplication::quit(); });
                }
        });
        QCOMPARE(RunProgram(*qobject_cast<QApplication*>(QCoreApplication::instance()), StartOptions{false}),
                 0);
        QCOMPARE(QString::fromStdString(Globals().Formulas[std::size_t(FormulaRole::Attack)]), attack);
        QCOMPARE(QString::fromStdString(Globals().ClipboardFilePath), seams.StartFile("portapap.tps"));
        QVERIFY(Globals().Prices);
        // Nothing is written to the start directory; the frame's placement is saved on the way out.
        QCOMPARE(test::ReadFile(path), ventanas);
        QCOMPARE(QDir(seams.start.path()).entryList(QDir::Files).size(), ventanas.isNull() ? 0 : 1);
        QCOMPARE(ReadIniText(seams.PlacementIni(), "Principal", "Maximize", ""), std::string("No"));
    }

    // `kivo-editor DIR`: the settings and the clipboard are those of DIR, whatever directory it was started
    // from; a DIR that cannot be entered ends the program with a message before any window opens.
    void programStartsInTheDirectoryNamed() {
        test::Seams seams;
        QTemporaryDir elsewhere;
        QVERIFY(test::WriteFile(seams.StartFile("ventanas.ini"), "[Formula]\r\nFormulaDelantero=7k*FI\r\n"));
        QDir::setCurrent(elsewhere.path());
        QTimer::singleShot(0, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* frame = qobject_cast<Principal*>(w)) {
                    frame->close();
                    QTimer::singleShot(0, frame, [] { QCoreApplication::quit(); });
                }
        });
        auto& app = *qobject_cast<QApplication*>(QCoreApplication::instance());
        QCOMPARE(RunProgram(app, StartOptions{false, seams.start.path()}), 0);
        QCOMPARE(QString::fromStdString(Globals().StartDirectory), QDir(seams.start.path()).absolutePath());
        QCOMPARE(QString::fromStdString(Globals().ClipboardFilePath), seams.StartFile("portapap.tps"));
        QCOMPARE(QString::fromStdString(Globals().Formulas[std::size_t(FormulaRole::Attack)]), "7k*FI");
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files).size(), 0);

        const QString missing = QDir(elsewhere.path()).filePath("no-such-folder");
        QCOMPARE(RunProgram(app, StartOptions{false, missing}), 2);
        QVERIFY(!QFileInfo::exists(missing));
    }

    void helpFollowsTheActiveWindow() {
        test::Seams seams;
        Principal frame;
        frame.show();
        QApplication::setActiveWindow(&frame);
        QCOMPARE(frame.ActiveHelpKeyword(), QStringLiteral("Main"));
        QCOMPARE(HelpKeywordOf(frame.toolBar()), QStringLiteral("Main")); // taken from the parent
        frame.OpenTeamFileForEditing();
        QCOMPARE(frame.ActiveHelpKeyword(), QStringLiteral("Opening Teams"));
        frame.toolBar()->actions().at(5)->trigger(); // the Help button
        QCOMPARE(HelpViewer::Instance()->currentKeyword(), QStringLiteral("Opening Teams"));
        QVERIFY(HelpViewer::Instance()->browser()->toPlainText().contains(QStringLiteral("Refresh")));
        HelpViewer::Instance()->close();
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

    void keyboardOfTheFrame() {
        test::Seams seams;
        Principal frame;
        frame.show();
        QApplication::setActiveWindow(&frame);
        QAction* exit = test::MenuOf(frame, "&File")->actions().last();
        QCOMPARE(exit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(frame.helpButton()->shortcut(), QKeySequence(Qt::Key_F1));
        QTest::keyClick(&frame, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!frame.isVisible());
    }

    void printerSetupChoosesThePrinter() {
        test::Seams seams;
        Principal frame;
        frame.show();
        test::MenuOf(frame, "&Options")->actions().at(0)->trigger();
        auto* dialog = frame.findChild<QPrintDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Printer Setup"));
        QCOMPARE(dialog->printer(), SharedPrinter()); // every report prints on what is chosen here
        QVERIFY(dialog->testOption(QAbstractPrintDialog::PrintToFile));
        dialog->reject();
        QVERIFY(seams.messages.empty());
    }
};

QTEST_MAIN(FrameTest)
#include "tst_Frame.moc"
