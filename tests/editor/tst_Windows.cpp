#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <QVBoxLayout>

#include <atomic>

#include "core/settings/IniFile.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"
#include "editor/ui/ControlRescaler.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportDisplayWindow.h"
#include "editor/ui/ReportJumpWindow.h"
#include "editor/ui/ReportPreview.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

Q_DECLARE_METATYPE(kivo::ProgressState)

namespace {

const std::string kIni = "zeltra.ini";
const std::string kSection = "VerEquipos";
const QRect kDesign(40, 50, 300, 200);
const char* const kKeys[] = {"XPosit", "YPosit", "Width", "Height", "Maximize"};

// The stored values in the order of kKeys; a null value is not stored.
void Store(const QStringList& values) {
    for (int i = 0; i < values.size(); ++i)
        if (!values[i].isNull())
            WriteIniText(PlacementIniPath(kIni), kSection, kKeys[i], values[i].toStdString());
}

QStringList Stored() {
    QStringList values;
    for (const char* key : kKeys)
        values << QString::fromStdString(ReadIniText(PlacementIniPath(kIni), kSection, key, "<missing>"));
    return values;
}

// The window placed: a top-level window, or a subwindow of `area` around its content.
QWidget* Placed(bool sub, QMdiArea& area, QWidget& window) {
    if (!sub) return &window;
    area.resize(900, 700);
    area.show();
    return area.addSubWindow(new QWidget);
}

QWidget* Content(QWidget* placed) {
    auto* sub = qobject_cast<QMdiSubWindow*>(placed);
    return sub ? sub->widget() : placed;
}

// Stands in for the clipboard window: counts its refreshes.
class ClipboardStandIn : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE void Refresh() { ++refreshes; }
    int refreshes = 0;
};

struct RestoreCase {
    QStringList stored; // XPosit, YPosit, Width, Height, Maximize; null: not stored
    bool resizable;
    QRect expected;
    bool maximised;
};

} // namespace

Q_DECLARE_METATYPE(RestoreCase)

// Windows: where they open, how their controls follow their size, windows opened modally on a task (progress
// windows of worker jobs, the report preview).
class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void restore_data() {
        QTest::addColumn<bool>("sub");
        QTest::addColumn<RestoreCase>("c");
        const QString none;
        for (bool sub : {false, true}) {
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow((sub ? "subwindow, " : "window, ") + QByteArray(name)) << sub;
            };
            row("nothing stored") << RestoreCase{{none, none, none, none, none}, true, kDesign, false};
            row("x 0 restores nothing, not even the maximised state")
                << RestoreCase{{"0", "80", "420", "260", "Yes"}, true, kDesign, false};
            row("x not a number") << RestoreCase{{"abc", "80", "420", "260", "Yes"}, true, kDesign, false};
            row("y 0 keeps the design place but maximises")
                << RestoreCase{{"120", "0", "420", "260", "Yes"}, true, kDesign, true};
            row("y missing") << RestoreCase{{"120", none, "420", "260", "No"}, true, kDesign, false};
            row("lower-case yes does not maximise")
                << RestoreCase{{"120", "80", "420", "260", "yes"}, true, QRect(120, 80, 420, 260), false};
            row("Yes with trailing blanks maximises")
                << RestoreCase{{"120", "80", "420", "260", "Yes   "}, true, QRect(120, 80, 420, 260), true};
            row("not resizable: stored place, design size")
                << RestoreCase{{"120", "80", "0", "0", "No"}, false, QRect(120, 80, 300, 200), false};
        }
    }
    void restore() {
        QFETCH(bool, sub);
        QFETCH(RestoreCase, c);
        test::Seams seams;
        Store(c.stored);
        QMdiArea area;
        QWidget window;
        QWidget* placed = Placed(sub, area, window);
        placed->setGeometry(kDesign);
        if (!c.resizable) placed->setFixedSize(kDesign.size());
        if (sub) placed->show(); // a subwindow is placed while shown, a window before it shows
        RestoreWindowPlacement(Content(placed), kIni, kSection);
        placed->show();
        QCOMPARE(placed->isMaximized(), c.maximised);
        if (sub && c.maximised) placed->showNormal();
        QCOMPARE(sub ? placed->geometry() : placed->normalGeometry(), c.expected);
        if (c.stored.first().isNull())
            QVERIFY(!QFile::exists(QString::fromStdString(PlacementIniPath(kIni))));
    }

    void save_data() {
        QTest::addColumn<bool>("sub");
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("stored");
        const QStringList normal{"130", "140", "350", "250", "No"},
            maximised{"130", "140", "350", "250", "Yes"};
        QTest::newRow("window") << false << int(Qt::WindowNoState) << normal;
        QTest::newRow("maximised window keeps its normal geometry")
            << false << int(Qt::WindowMaximized) << maximised;
        QTest::newRow("subwindow") << true << int(Qt::WindowNoState) << normal;
        QTest::newRow("maximised subwindow keeps its normal geometry")
            << true << int(Qt::WindowMaximized) << maximised;
        QTest::newRow("minimised subwindow writes nothing")
            << true << int(Qt::WindowMinimized) << QStringList{"11", "22", "333", "444", "Yes"};
    }
    void save() {
        QFETCH(bool, sub);
        QFETCH(int, state);
        QFETCH(QStringList, stored);
        test::Seams seams;
        Store({"11", "22", "333", "444", "Yes"}); // what an earlier run left
        QMdiArea area;
        QWidget window;
        QWidget* placed = Placed(sub, area, window);
        placed->setGeometry(130, 140, 350, 250);
        placed->show();
        if (state != Qt::WindowNoState) placed->setWindowState(Qt::WindowState(state));
        QTRY_COMPARE(int(placed->windowState() & ~Qt::WindowActive), state);
        SaveWindowPlacement(Content(placed), kIni, kSection);
        QCOMPARE(Stored(), stored);
    }

    void controlRules() {
        QCOMPARE(PlacementRatio(400, 300), 1.3333); // kept to four decimals
        QCOMPARE(PlacementRatio(200, 300), 0.6667);
        QCOMPARE(PlacementRatio(200, 0), 1.0);
        // Design 400 x 300, now 600 x 450. A button exactly in the middle counts as near the left and top.
        QCOMPARE(RescaledGeometry(ControlKind::Button, QRect(160, 138, 80, 24), QSize(400, 300),
                                  QSize(600, 450), 1.5, 1.5),
                 QRect(160, 138, 80, 24));
    }

    void controlsFollowTheWindow() {
        QWidget window;
        window.resize(400, 300);
        auto* list = new QListWidget(&window);
        list->setGeometry(10, 10, 380, 200);
        auto* ok = new QPushButton(QStringLiteral("OK"), &window);
        ok->setGeometry(10, 260, 80, 24);
        auto* close = new QPushButton(QStringLiteral("Close"), &window);
        close->setGeometry(300, 260, 80, 24);
        auto* edit = new QLineEdit(&window);
        edit->setGeometry(10, 220, 200, 22);
        auto* check = new QCheckBox(QStringLiteral("Mark"), &window);
        check->setGeometry(10, 250, 100, 20);
        // A group laid out by a layout: the group scales, its contents follow the layout.
        auto* group = new QGroupBox(&window);
        group->setGeometry(290, 220, 100, 30);
        (new QVBoxLayout(group))->addWidget(new QPushButton(QStringLiteral("x")));

        ControlRescaler* rescaler = ControlRescaler::Attach(&window, true);
        window.show();
        QVERIFY(!rescaler->Apply()); // same size as designed: nothing to do
        window.resize(800, 600);     // followed by the rescaler
        QCOMPARE(list->geometry(), QRect(20, 20, 760, 400));
        QCOMPARE(ok->geometry(),
                 QRect(10, 560, 80, 24)); // buttons keep size and distance to the nearer edges
        QCOMPARE(close->geometry(), QRect(700, 560, 80, 24));
        QCOMPARE(edit->geometry(), QRect(20, 440, 400, 22));  // entries keep their height
        QCOMPARE(check->geometry(), QRect(20, 500, 100, 20)); // check boxes keep their size
        QCOMPARE(group->geometry(), QRect(580, 440, 200, 60));
        QVERIFY(!rescaler->Apply());
    }

    void modalOnTask_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("response");
        QTest::newRow("completed") << "finish" << 1;
        QTest::newRow("cancelled") << "finish" << 2;
        QTest::newRow("closed without a response") << "close" << 2;
        QTest::newRow("deleted") << "delete" << 2;
    }
    void modalOnTask() {
        QFETCH(QString, ending);
        QFETCH(int, response);
        test::Seams seams;
        QMdiArea area;
        area.show();
        Globals().TaskArea = &area;
        auto* task = new QLabel;
        QMdiSubWindow* taskSub = OpenTaskWindow(task);
        Globals().GlobalResponse = 99;
        QPointer<QLabel> child = new QLabel;
        std::vector<int> responses;
        OpenModalOnTask(task, child, [&](int r) { responses.push_back(r); });
        QCOMPARE(Globals().GlobalResponse, 0); // cleared as the child starts
        QVERIFY(!taskSub->isEnabled());
        QCOMPARE(area.subWindowList().size(), 2);
        QVERIFY(responses.empty()); // the caller goes on in the continuation, not here
        if (ending == "finish") FinishModal(child, response);
        if (ending == "delete")
            delete child->parentWidget();
        else
            child->parentWidget()->close(); // the subwindow's close box
        QTRY_VERIFY(!child);
        QCOMPARE(responses, std::vector<int>{response});
        QCOMPARE(Globals().GlobalResponse, response);
        QVERIFY(taskSub->isEnabled());
    }

    void continuationSkippedWhenTaskIsGone() {
        test::Seams seams;
        auto* task = new QWidget;
        task->show();
        auto* child = new QWidget;
        bool called = false;
        OpenModalOnTask(
            task, child, [&](int) { called = true; }, ChildPlacement::OwnWindow);
        QVERIFY(child->isWindow());
        QCOMPARE(child->parentWidget(), task);
        delete task; // takes the child with it
        QVERIFY(!called);
    }

    void progressShowsStates_data() {
        QTest::addColumn<ProgressState>("state");
        QTest::addColumn<QStringList>("shown"); // status, line 1, line 2, percent text; "" for hidden
        QTest::addColumn<int>("bar");           // -1: hidden
        QTest::newRow("build") << ProgressState{"Creating File", "", "Reading File:", 8, "Team:", 12}
                               << QStringList{"", "Reading File: 8", "Team: 12", ""} << -1;
        QTest::newRow("cup team name")
            << ProgressState{"Fixing Cups", "", "Fixing Cups", 3, "Team:", -1, "Real Madrid\xe9"}
            << QStringList{"", "Fixing Cups 3", QString::fromUtf8("Team: Real Madrid\u00e9"), ""} << -1;
        QTest::newRow("pass") << ProgressState{.title = "Processing Records",
                                               .status = "Searching Players (12 Found)",
                                               .percent = 7,
                                               .percentText = "  7% Completed"}
                              << QStringList{"Searching Players (12 Found)", "", "", "  7% Completed"} << 7;
        QTest::newRow("pass done") << ProgressState{.title = "Processing Records",
                                                    .percent = 100,
                                                    .percentText = "Process Completed"}
                                   << QStringList{"", "", "", "Process Completed"} << 100;
    }
    void progressShowsStates() {
        QFETCH(ProgressState, state);
        QFETCH(QStringList, shown);
        QFETCH(int, bar);
        ProgressWindow window(true);
        window.show();
        window.Show(state);
        QCOMPARE(window.windowTitle(), QString::fromLatin1(state.title.c_str()));
        QStringList got;
        for (QLabel* label : {window.statusLabel(), window.line1(), window.line2(), window.percentLabel()})
            got << (label->isVisible() ? label->text() : QString());
        QCOMPARE(got, shown);
        QCOMPARE(window.bar()->isVisible() ? window.bar()->value() : -1, bar);
    }

    void workerJob_data() {
        QTest::addColumn<QString>("ending");
        QTest::newRow("runs to the end") << "";
        QTest::newRow("Cancel button") << "cancel";
        QTest::newRow("close box, like Cancel") << "close";
    }
    void workerJob() {
        QFETCH(QString, ending);
        const bool cancellable = !ending.isEmpty();
        test::Seams seams;
        QWidget task;
        task.show();
        std::optional<int> result;
        std::atomic<bool> onWorker{false};
        const Qt::HANDLE gui = QThread::currentThreadId();
        // Fifty reports, or, when it can be cancelled, reports until Update says to stop.
        RunWithProgress<int>(
            &task, QStringLiteral("Processing Records"), cancellable,
            [&](Progress& progress) {
                onWorker = QThread::currentThreadId() != gui;
                int n = 0;
                while (n < (cancellable ? 10'000'000 : 50) &&
                       progress.Update({.label1 = "Team:", .value1 = n})) {
                    ++n;
                    QThread::usleep(100);
                }
                return n;
            },
            [&](int n) { result = n; });
        QVERIFY(!task.isEnabled());
        const auto windows = task.findChildren<ProgressWindow*>();
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows[0]->windowTitle(), QStringLiteral("Processing Records"));
        QCOMPARE(windows[0]->cancelButton()->isVisible(), cancellable);
        QTRY_VERIFY(onWorker);
        if (ending == "cancel") windows[0]->cancelButton()->click();
        if (ending == "close") windows[0]->close(); // the window waits for the job to stop
        if (cancellable) QVERIFY(windows[0]->cancelled());
        QTRY_VERIFY(result.has_value());
        QVERIFY2(cancellable ? *result < 10'000'000 : *result == 50, qPrintable(QString::number(*result)));
        QVERIFY(task.isEnabled());
        QCOMPARE(Globals().GlobalResponse, cancellable ? 2 : 1);
        QTRY_VERIFY(task.findChildren<ProgressWindow*>().isEmpty());
    }

    void clipboardRefreshNotice() {
        test::Seams seams;
        PostClipboardRefresh(); // no clipboard window: nobody to tell, nothing happens
        ClipboardStandIn clipboard;
        Globals().ClipboardThread = &clipboard;
        PostClipboardRefresh();
        QCOMPARE(clipboard.refreshes, 0); // posted, not called from inside the copying window's handler
        QTRY_COMPARE(clipboard.refreshes, 1);
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_Windows.moc"
