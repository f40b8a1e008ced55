#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <atomic>

#include "editor/app/TaskWindows.h"
#include "editor/ui/ProgressWindow.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

Q_DECLARE_METATYPE(kivo::ProgressState)

// Stands in for the clipboard window: counts its refreshes.
class ClipboardStandIn : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE void Refresh() { ++refreshes; }
    int refreshes = 0;
};

class TaskWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void modalOnTask_data();
    void modalOnTask();
    void chainOfModalWindows();
    void continuationSkippedWhenTaskIsGone();
    void progressShowsStates_data();
    void progressShowsStates();
    void jobOnWorkerRunsToTheEnd();
    void cancelReachesTheJob();
    void clipboardRefreshNotice();
};

void TaskWindowsTest::modalOnTask_data() {
    QTest::addColumn<QString>("ending");
    QTest::addColumn<int>("response");
    QTest::newRow("completed") << "finish1" << 1;
    QTest::newRow("cancelled") << "finish2" << 2;
    QTest::newRow("closed without a response") << "close" << 2;
    QTest::newRow("deleted") << "delete" << 2;
}

void TaskWindowsTest::modalOnTask() {
    QFETCH(QString, ending);
    QFETCH(int, response);
    test::Seams seams;
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    Globals().TaskArea = &area;
    auto* task = new QLabel(QStringLiteral("task"));
    QMdiSubWindow* taskSub = OpenTaskWindow(task);
    QVERIFY(taskSub);

    Globals().GlobalResponse = 99;
    auto* child = new QLabel(QStringLiteral("child"));
    QPointer<QLabel> childGuard(child);
    std::vector<int> responses;
    OpenModalOnTask(task, child, [&](int r) { responses.push_back(r); });
    QCOMPARE(Globals().GlobalResponse, 0); // cleared as the child starts
    QVERIFY(!taskSub->isEnabled());
    QCOMPARE(area.subWindowList().size(), 2);
    QVERIFY(responses.empty()); // the caller goes on in the continuation, not here

    if (ending == QLatin1String("finish1") || ending == QLatin1String("finish2")) {
        FinishModal(child, response);
        TaskFrameOf(child)->close();
    } else if (ending == QLatin1String("close")) {
        child->parentWidget()->close(); // the subwindow's close box
    } else {
        delete child->parentWidget();
    }
    QTRY_VERIFY(!childGuard);
    QCOMPARE(responses, std::vector<int>{response});
    QCOMPARE(Globals().GlobalResponse, response);
    QVERIFY(taskSub->isEnabled());
    FinishModal(task, 1); // not modal on anything: no effect
    QCOMPARE(responses.size(), std::size_t(1));
    Globals().TaskArea = nullptr;
}

void TaskWindowsTest::chainOfModalWindows() {
    test::Seams seams;
    QMdiArea area;
    area.show();
    Globals().TaskArea = &area;
    auto* catalogue = new QLabel;
    QMdiSubWindow* catalogueSub = OpenTaskWindow(catalogue);
    auto* browser = new QLabel;
    QStringList order;
    OpenModalOnTask(catalogue, browser, [&](int) { order << QStringLiteral("browser"); });
    auto* editor = new QLabel;
    OpenModalOnTask(browser, editor, [&](int r) { order << QStringLiteral("editor %1").arg(r); });
    QWidget* browserSub = TaskFrameOf(browser);
    QVERIFY(!catalogueSub->isEnabled());
    QVERIFY(!browserSub->isEnabled());
    FinishModal(editor, 1);
    QVERIFY(browserSub->isEnabled());
    QVERIFY(!catalogueSub->isEnabled());
    FinishModal(browser, 2);
    QVERIFY(catalogueSub->isEnabled());
    QCOMPARE(order, (QStringList{"editor 1", "browser"}));
    Globals().TaskArea = nullptr;
}

void TaskWindowsTest::continuationSkippedWhenTaskIsGone() {
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

void TaskWindowsTest::progressShowsStates_data() {
    QTest::addColumn<ProgressState>("state");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::addColumn<int>("bar"); // -1: hidden
    QTest::addColumn<QString>("percent");
    ProgressState build;
    build.title = "Creating File";
    build.label1 = "Reading File:";
    build.value1 = 8;
    build.label2 = "Team:";
    build.value2 = 12;
    QTest::newRow("build") << build << "Reading File: 8"
                           << "Team: 12" << -1 << QString();
    ProgressState keys = build;
    keys.label1 = "Building File Keys";
    keys.value1 = -1;
    keys.value2 = -1;
    keys.label2.clear();
    QTest::newRow("keys, team hidden") << keys << "Building File Keys" << QString() << -1 << QString();
    ProgressState cups;
    cups.title = "Fixing Cups";
    cups.label1 = "Fixing Cups";
    cups.value1 = 3;
    cups.label2 = "Team:";
    cups.text2 = "Real Madrid\xe9";
    QTest::newRow("cup team name") << cups << "Fixing Cups 3" << QString::fromUtf8("Team: Real Madrid\u00e9")
                                   << -1 << QString();
    ProgressState pass;
    pass.title = "Processing Records";
    pass.status = "Searching Players (12 Found)";
    pass.percent = 7;
    pass.percentText = "  7% Completed";
    QTest::newRow("pass") << pass << QString() << QString() << 7 << "  7% Completed";
}

void TaskWindowsTest::progressShowsStates() {
    QFETCH(ProgressState, state);
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    QFETCH(int, bar);
    QFETCH(QString, percent);
    ProgressWindow window(true);
    window.show();
    window.Show(state);
    QCOMPARE(window.windowTitle(), QString::fromLatin1(state.title.c_str()));
    QCOMPARE(window.line1()->isVisible(), !line1.isEmpty());
    if (!line1.isEmpty()) QCOMPARE(window.line1()->text(), line1);
    QCOMPARE(window.line2()->isVisible(), !line2.isEmpty());
    if (!line2.isEmpty()) QCOMPARE(window.line2()->text(), line2);
    QCOMPARE(window.bar()->isVisible(), bar >= 0);
    if (bar >= 0) QCOMPARE(window.bar()->value(), bar);
    QCOMPARE(window.percentLabel()->isVisible(), !percent.isEmpty());
    QCOMPARE(window.percentLabel()->text(), percent);
    QCOMPARE(window.statusLabel()->text(), QString::fromLatin1(state.status.c_str()));
}

void TaskWindowsTest::jobOnWorkerRunsToTheEnd() {
    test::Seams seams;
    QWidget task;
    task.show();
    std::optional<int> result;
    std::atomic<bool> onWorker{false};
    const Qt::HANDLE gui = QThread::currentThreadId();
    RunWithProgress<int>(
        &task, QStringLiteral("Creating File"), false,
        [&](Progress& progress) {
            onWorker = QThread::currentThreadId() != gui;
            int n = 0;
            for (int i = 0; i < 50; ++i) {
                ProgressState s;
                s.label1 = "Reading File:";
                s.value1 = i;
                if (progress.Update(s)) ++n;
            }
            return n;
        },
        [&](int n) { result = n; });
    QVERIFY(!task.isEnabled());
    auto windows = task.findChildren<ProgressWindow*>();
    QCOMPARE(windows.size(), 1);
    QCOMPARE(windows[0]->windowTitle(), QStringLiteral("Creating File"));
    QVERIFY(!windows[0]->cancelButton()->isVisible());
    QTRY_VERIFY(result.has_value());
    QCOMPARE(*result, 50);
    QVERIFY(onWorker);
    QVERIFY(task.isEnabled());
    QTRY_VERIFY(task.findChildren<ProgressWindow*>().isEmpty());
}

void TaskWindowsTest::cancelReachesTheJob() {
    test::Seams seams;
    QWidget task;
    task.show();
    std::optional<int> result;
    std::atomic<bool> started{false};
    RunWithProgress<int>(
        &task, QStringLiteral("Processing Records"), true,
        [&](Progress& progress) {
            started = true;
            int slices = 0;
            ProgressState s;
            s.status = "Searching Players";
            // Runs until the user cancels; each slice reports and asks.
            while (progress.Update(s) && slices < 10'000'000) {
                ++slices;
                QThread::usleep(100);
            }
            return slices;
        },
        [&](int n) { result = n; });
    auto windows = task.findChildren<ProgressWindow*>();
    QCOMPARE(windows.size(), 1);
    QTRY_VERIFY(started);
    QVERIFY(windows[0]->cancelButton()->isVisible());
    windows[0]->close(); // the close box asks the job to stop, like Cancel; the window waits for it
    QVERIFY(windows[0]->cancelled());
    QTRY_VERIFY(result.has_value());
    QVERIFY(*result < 10'000'000);
    QVERIFY(task.isEnabled());
    QCOMPARE(Globals().GlobalResponse, 2);
}

void TaskWindowsTest::clipboardRefreshNotice() {
    test::Seams seams;
    PostClipboardRefresh(); // no clipboard window: nobody to tell, nothing happens
    ClipboardStandIn clipboard;
    Globals().ClipboardThread = &clipboard;
    PostClipboardRefresh();
    QCOMPARE(clipboard.refreshes, 0); // posted, not called from inside the copying window's handler
    QTRY_COMPARE(clipboard.refreshes, 1);
    Globals().ClipboardThread = nullptr;
}

QTEST_MAIN(TaskWindowsTest)
#include "tst_TaskWindows.moc"
