#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <atomic>

#include "editor/app/TaskWindows.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportDisplayWindow.h"
#include "editor/ui/ReportJumpWindow.h"
#include "editor/ui/ReportPreview.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

Q_DECLARE_METATYPE(kivo::ProgressState)

namespace {

ReportPainter Pages(int count) {
    return [count](QPrinter* printer) {
        QPainter painter(printer);
        for (int page = 1; page <= count; ++page) {
            if (page > 1) printer->newPage();
            painter.drawText(100, 100, QStringLiteral("Marked Players, page %1").arg(page));
        }
    };
}

} // namespace

// Windows opened on a task: modal children, progress windows of worker jobs and the report preview.
class TaskWindowsTest : public QObject {
    Q_OBJECT
private slots:
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
        QTRY_VERIFY(result.has_value());
        QVERIFY2(cancellable ? *result < 10'000'000 : *result == 50, qPrintable(QString::number(*result)));
        QVERIFY(task.isEnabled());
        QCOMPARE(Globals().GlobalResponse, cancellable ? 2 : 1);
        QTRY_VERIFY(task.findChildren<ProgressWindow*>().isEmpty());
    }

    void previewPaging_data() {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<QString>("steps"); // n next, p previous, digits jump
        QTest::addColumn<QList<int>>("seen");
        QTest::newRow("one page") << 1 << 1 << 1 << "np2" << QList<int>{1, 1, 1};
        QTest::newRow("one at a time") << 3 << 1 << 1 << "nnnpp" << QList<int>{2, 3, 3, 2, 1};
        QTest::newRow("two across") << 5 << 2 << 1 << "nnnpp" << QList<int>{3, 5, 5, 3, 1};
        QTest::newRow("jump and back") << 4 << 1 << 1 << "4p9p" << QList<int>{4, 3, 3, 2};
        QTest::newRow("group bigger than the rest") << 3 << 2 << 2 << "np" << QList<int>{1, 1};
    }
    void previewPaging() {
        QFETCH(int, pages);
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(QString, steps);
        QFETCH(QList<int>, seen);
        test::Seams seams;
        ReportPreview preview(Pages(pages));
        preview.show();
        QCOMPARE(preview.pageCount(), pages);
        QCOMPARE(preview.pageEntry()->minimum(), 1); // the page entry takes only pages there are
        QCOMPARE(preview.pageEntry()->maximum(), pages);
        preview.SetDisplay(across, down);
        QList<int> got;
        for (QChar step : steps) {
            if (step == 'n')
                preview.nextAction()->trigger();
            else if (step == 'p')
                preview.previousAction()->trigger();
            else
                preview.JumpTo(step.digitValue());
            got << preview.currentPage();
            QCOMPARE(preview.pageEntry()->value(), preview.currentPage());
            QCOMPARE(preview.pageStatus()->text(), QString("Page %1 of %2").arg(got.last()).arg(pages));
        }
        QCOMPARE(got, seen);
    }

    void previewJumpAndDisplayWindows() {
        test::Seams seams;
        ReportPreview preview(Pages(4));
        preview.show();
        preview.jumpAction()->trigger();
        auto* jump = preview.findChild<ReportJumpWindow*>();
        QCOMPARE(jump->pageEntry()->maximum(), 4);
        jump->pageEntry()->setValue(3);
        jump->accept();
        QCOMPARE(preview.currentPage(), 3);
        preview.pageEntry()->setValue(2); // the page entry on the toolbar jumps too
        QCOMPARE(preview.currentPage(), 2);
        preview.displayAction()->trigger();
        auto* display = preview.findChild<ReportDisplayWindow*>();
        display->acrossEntry()->setValue(2);
        display->downEntry()->setValue(3);
        display->accept();
        QCOMPARE(QPoint(preview.pagesAcross(), preview.pagesDown()), QPoint(2, 3));
    }

    void previewAnswers_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("print");
        QTest::newRow("Print") << "print" << true;
        QTest::newRow("Exit") << "exit" << false;
        QTest::newRow("close box") << "close" << false;
    }
    void previewAnswers() {
        QFETCH(QString, how);
        QFETCH(bool, print);
        test::Seams seams;
        QWidget task;
        task.show();
        std::vector<bool> answers;
        PreviewReport(&task, Pages(2), [&](bool p) { answers.push_back(p); });
        QPointer<ReportPreview> preview = task.findChild<ReportPreview*>();
        QVERIFY(preview && preview->isWindow());
        QVERIFY(!task.isEnabled());
        if (how == "print")
            preview->printAction()->trigger();
        else if (how == "exit")
            preview->exitAction()->trigger();
        else
            preview->close();
        QCOMPARE(answers, std::vector<bool>{print});
        QVERIFY(task.isEnabled());
        QCOMPARE(Globals().GlobalResponse, print ? 1 : 2);
        QTRY_VERIFY(!preview);
    }

    void previewSavesPdf() {
        test::Seams seams;
        ReportPreview preview(Pages(2));
        const QString path = seams.StartFile("report.pdf");
        QVERIFY(preview.SaveAsPdf(path));
        QCOMPARE(test::ReadFile(path).left(5), QByteArray("%PDF-"));
        QVERIFY(!preview.SaveAsPdf(seams.StartFile("missing/dir/report.pdf")));
        QCOMPARE(seams.Shown().size(), 1); // told it could not be written
    }
};

QTEST_MAIN(TaskWindowsTest)
#include "tst_TaskWindows.moc"
