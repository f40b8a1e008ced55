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
#include <QScrollBar>
#include <QSpinBox>
#include <QtTest>
#include <QVBoxLayout>

#include <atomic>
#include <set>

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

PagedReport Pages(int count) {
    return {count, [](QPainter& painter, const QRect&, int page) {
                painter.drawText(100, 100, QStringLiteral("Marked Players, page %1").arg(page));
            }};
}

} // namespace

// The report preview: paging, Across x Down pages, jump, zoom, its answer and PDF.
class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void previewPaging_data() {
        QTest::addColumn<int>("pages");
        QTest::addColumn<QSize>("display"); // pages across and down
        QTest::addColumn<QString>("steps"); // n next, p previous, digits jump
        QTest::addColumn<QList<int>>("seen");
        QTest::newRow("one page") << 1 << QSize(1, 1) << "np2" << QList<int>{1, 1, 1};
        QTest::newRow("one at a time") << 3 << QSize(1, 1) << "nnnpp" << QList<int>{2, 3, 3, 2, 1};
        QTest::newRow("two across") << 5 << QSize(2, 1) << "nnnpp" << QList<int>{3, 5, 5, 3, 1};
        QTest::newRow("jump and back") << 4 << QSize(1, 1) << "4p9p" << QList<int>{4, 3, 3, 2};
        QTest::newRow("group bigger than the rest") << 3 << QSize(2, 2) << "np" << QList<int>{1, 1};
    }
    void previewPaging() {
        QFETCH(int, pages);
        QFETCH(QSize, display);
        QFETCH(QString, steps);
        QFETCH(QList<int>, seen);
        test::Seams seams;
        ReportPreview preview(Pages(pages));
        preview.show();
        QCOMPARE(preview.pageCount(), pages);
        QCOMPARE(preview.pageEntry()->minimum(), 1); // the page entry takes only pages there are
        QCOMPARE(preview.pageEntry()->maximum(), pages);
        preview.SetDisplay(display.width(), display.height());
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

    void previewShowsAcrossTimesDownPages_data() {
        QTest::addColumn<QSize>("display");
        QTest::addColumn<int>("from");
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QList<int>>("afterNext");
        QTest::newRow("2 x 1 of six pages shows two")
            << QSize(2, 1) << 1 << QList<int>{1, 2} << QList<int>{3, 4};
        QTest::newRow("3 x 1 from page 4") << QSize(3, 1) << 4 << QList<int>{4, 5, 6} << QList<int>{4, 5, 6};
        QTest::newRow("2 x 2, the last places empty")
            << QSize(2, 2) << 5 << QList<int>{5, 6} << QList<int>{5, 6};
        QTest::newRow("1 x 2") << QSize(1, 2) << 2 << QList<int>{2, 3} << QList<int>{4, 5};
        QTest::newRow("back to one page") << QSize(1, 1) << 3 << QList<int>{3} << QList<int>{4};
    }
    void previewShowsAcrossTimesDownPages() {
        QFETCH(QSize, display);
        QFETCH(int, from);
        QFETCH(QList<int>, shown);
        QFETCH(QList<int>, afterNext);
        test::Seams seams;
        ReportPreview preview(Pages(6));
        preview.show();
        preview.SetDisplay(3, 3); // whatever was shown before
        preview.JumpTo(from);
        preview.SetDisplay(display.width(), display.height());
        QVERIFY(!preview.grab().isNull()); // every page in view painted
        QCOMPARE(preview.shownPages(), shown);
        preview.nextAction()->trigger();
        QVERIFY(!preview.grab().isNull());
        QCOMPARE(preview.shownPages(), afterNext);
        QCOMPARE(preview.currentPage(), afterNext.first());
    }

    // A long report: only the pages that come into view are painted, when they do.
    void previewPaintsOnlyThePagesInView() {
        test::Seams seams;
        std::set<int> painted;
        ReportPreview preview({1000, [&](QPainter&, const QRect&, int page) { painted.insert(page); }});
        preview.show();
        QCOMPARE(preview.pageStatus()->text(), QStringLiteral("Page 1 of 1000"));
        QVERIFY(!preview.grab().isNull());
        QCOMPARE(painted, std::set<int>{1}); // a whole page in view, and no other
        preview.JumpTo(700);
        QVERIFY(!preview.grab().isNull());
        QCOMPARE(painted, (std::set<int>{1, 700}));
        // Scrolling a screen down brings the next page to the top, and its number to the status bar.
        QScrollBar* bar = preview.pageView()->verticalScrollBar();
        bar->setValue(bar->value() + bar->pageStep());
        QVERIFY(!preview.grab().isNull());
        QCOMPARE(preview.currentPage(), 701);
        QCOMPARE(preview.pageStatus()->text(), QStringLiteral("Page 701 of 1000"));
        QCOMPARE(painted, (std::set<int>{1, 700, 701, 702})); // 702 shows its top edge
        // Painted pages are kept: scrolling back paints nothing again.
        const int before = preview.pageView()->pagesPainted();
        preview.JumpTo(700);
        QVERIFY(!preview.grab().isNull());
        QCOMPARE(preview.pageView()->pagesPainted(), before);
        // Two pages side by side paint just those two.
        painted.clear();
        preview.SetDisplay(2, 1);
        QVERIFY(!preview.grab().isNull());
        QCOMPARE(painted, (std::set<int>{700, 701}));
    }

    void previewJumpDisplayAndZoom() {
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
        preview.SetZoom(9); // not a zoom: ignored
        QCOMPARE(preview.zoomIndex(), 0);
        preview.SetZoom(4);
        QCOMPARE(preview.zoomList()->currentText(), QStringLiteral("100%"));
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
    void reportsUseThePrinterOfPrinterSetup() {
        test::Seams seams;
        // What Printer Setup leaves: printing to a PDF file, landscape.
        QPrinter* chosen = SharedPrinter();
        chosen->setOutputFormat(QPrinter::PdfFormat);
        const QString path = seams.StartFile("printed.pdf");
        chosen->setOutputFileName(path);
        chosen->setPageOrientation(QPageLayout::Landscape);
        ReportPreview preview(Pages(2));
        QCOMPARE(preview.pageView()->pageLayout().orientation(), QPageLayout::Landscape); // as it will print
        QVERIFY(PrintReport(PainterOf(Pages(2))));
        QCOMPARE(test::ReadFile(path).left(5), QByteArray("%PDF-"));
        QVERIFY(seams.messages.empty());
    }
    void printingWithoutAPrinterIsTold() {
        test::Seams seams;
        SharedPrinter()->setOutputFormat(QPrinter::PdfFormat); // no printer and no file chosen
        SharedPrinter()->setOutputFileName(QString());
        bool painted = false;
        QVERIFY(!PrintReport([&](QPrinter*) { painted = true; }));
        QVERIFY(!painted);
        QCOMPARE(seams.Shown(),
                 QStringList{"ERROR: The report cannot be printed: no printer is available. Choose "
                             "one with Options > Printer Setup."});
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_Preview.moc"
