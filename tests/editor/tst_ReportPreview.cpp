#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "editor/ui/ReportDisplayWindow.h"
#include "editor/ui/ReportJumpWindow.h"
#include "editor/ui/ReportPreview.h"
#include "TestSupport.h"

using namespace kivo::editor;

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

QStringList Texts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    return texts;
}

QMenu* MenuOf(QMainWindow& w, const QString& title) {
    for (QAction* a : w.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

} // namespace

class ReportPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void menusAndTips();
    void toolBar();
    void onePageReport();
    void paging_data();
    void paging();
    void jumpAndDisplayWindows();
    void zoom();
    void answers_data();
    void answers();
    void saveAsPdf();
};

void ReportPreviewTest::menusAndTips() {
    test::Seams seams;
    ReportPreview preview(Pages(1));
    QCOMPARE(preview.windowTitle(), QStringLiteral("Report Preview"));
    QCOMPARE(Texts(MenuOf(preview, QStringLiteral("&File"))),
             (QStringList{"&Print", "Save as P&DF...", "E&xit"}));
    QCOMPARE(Texts(MenuOf(preview, QStringLiteral("&View"))),
             (QStringList{"&Next Page(s)", "&Previous Page(s)", "&Jump to a page", "&Change Display"}));
    QCOMPARE(Texts(MenuOf(preview, QStringLiteral("&Zoom"))),
             (QStringList{"No &Zoom", "Page &Width", "&50 Percent", "&75 Percent", "&100 Percent",
                          "&200 Percent", "&300 Percent"}));
    QCOMPARE(preview.printAction()->toolTip(), QStringLiteral("Print the report"));
    QCOMPARE(preview.exitAction()->toolTip(), QStringLiteral("Exit without printing the report"));
    QCOMPARE(preview.nextAction()->toolTip(), QStringLiteral("View the next page or pages of the report"));
    QCOMPARE(preview.previousAction()->toolTip(),
             QStringLiteral("View the next page or pages of the report"));
    QCOMPARE(preview.jumpAction()->toolTip(), QStringLiteral("Jump to a specific page of the report"));
    QCOMPARE(preview.displayAction()->toolTip(), QStringLiteral("Change the number of pages displayed"));
}

void ReportPreviewTest::toolBar() {
    test::Seams seams;
    ReportPreview preview(Pages(3));
    QToolBar* bar = preview.findChild<QToolBar*>();
    QStringList tips;
    for (QAction* a : bar->actions())
        if (!a->isSeparator() && !a->toolTip().isEmpty() && a->text() != QString()) tips << a->toolTip();
    QCOMPARE(tips.mid(0, 3), (QStringList{"Print this report", "Exit without printing the report",
                                          "Zoom in on a page of the report"}));
    QStringList zooms;
    for (int i = 0; i < preview.zoomList()->count(); ++i)
        zooms << preview.zoomList()->itemText(i);
    QCOMPARE(zooms, (QStringList{"No Zoom", "Page Width", "50%", "75%", "100%", "200%", "300%"}));
    QCOMPARE(preview.pageEntry()->statusTip(), QStringLiteral("Enter a page number from 1 to 3"));
    QCOMPARE(preview.pageStatus()->text(), QStringLiteral("Page 1 of 3"));
}

void ReportPreviewTest::onePageReport() {
    test::Seams seams;
    ReportPreview preview(Pages(1));
    preview.show();
    QCOMPARE(preview.pageCount(), 1);
    preview.nextAction()->trigger();
    QCOMPARE(preview.currentPage(), 1);
    preview.previousAction()->trigger();
    QCOMPARE(preview.currentPage(), 1);
    QCOMPARE(preview.pageEntry()->minimum(), 1);
    QCOMPARE(preview.pageEntry()->maximum(), 1);
    preview.JumpTo(2);
    QCOMPARE(preview.currentPage(), 1);
    ReportJumpWindow jump(1, preview.pageCount());
    QCOMPARE(jump.pageEntry()->maximum(), 1);
    QCOMPARE(preview.pageStatus()->text(), QStringLiteral("Page 1 of 1"));
}

void ReportPreviewTest::paging_data() {
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("across");
    QTest::addColumn<int>("down");
    QTest::addColumn<QString>("steps"); // n next, p previous, digits jump
    QTest::addColumn<QList<int>>("seen");
    QTest::newRow("one at a time") << 3 << 1 << 1 << "nnnpp" << QList<int>{2, 3, 3, 2, 1};
    QTest::newRow("two across") << 5 << 2 << 1 << "nnnpp" << QList<int>{3, 5, 5, 3, 1};
    QTest::newRow("jump and back") << 4 << 1 << 1 << "4p9p" << QList<int>{4, 3, 3, 2};
    QTest::newRow("group bigger than the rest") << 3 << 2 << 2 << "np" << QList<int>{1, 1};
}

void ReportPreviewTest::paging() {
    QFETCH(int, pages);
    QFETCH(int, across);
    QFETCH(int, down);
    QFETCH(QString, steps);
    QFETCH(QList<int>, seen);
    test::Seams seams;
    ReportPreview preview(Pages(pages));
    preview.show();
    QCOMPARE(preview.pageCount(), pages);
    preview.SetDisplay(across, down);
    QList<int> got;
    for (QChar step : steps) {
        if (step == QLatin1Char('n'))
            preview.nextAction()->trigger();
        else if (step == QLatin1Char('p'))
            preview.previousAction()->trigger();
        else
            preview.JumpTo(step.digitValue());
        got << preview.currentPage();
        QCOMPARE(preview.pageEntry()->value(), preview.currentPage());
    }
    QCOMPARE(got, seen);
}

void ReportPreviewTest::jumpAndDisplayWindows() {
    test::Seams seams;
    ReportPreview preview(Pages(4));
    preview.show();
    preview.jumpAction()->trigger();
    auto* jump = preview.findChild<ReportJumpWindow*>();
    QVERIFY(jump);
    QCOMPARE(jump->windowTitle(), QStringLiteral("Jump to a Report Page"));
    QCOMPARE(jump->pageEntry()->toolTip(), QStringLiteral("Select a page of the report"));
    QCOMPARE(jump->pageEntry()->maximum(), 4);
    jump->pageEntry()->setValue(3);
    jump->reject(); // Cancel changes nothing
    QCOMPARE(preview.currentPage(), 1);
    QTRY_VERIFY(!preview.findChild<ReportJumpWindow*>());

    preview.jumpAction()->trigger();
    jump = preview.findChild<ReportJumpWindow*>();
    jump->pageEntry()->setValue(3);
    jump->accept();
    QCOMPARE(preview.currentPage(), 3);

    // The page entry on the toolbar jumps too.
    preview.pageEntry()->setValue(2);
    QCOMPARE(preview.currentPage(), 2);

    preview.displayAction()->trigger();
    auto* display = preview.findChild<ReportDisplayWindow*>();
    QVERIFY(display);
    QCOMPARE(display->windowTitle(), QStringLiteral("Change the Report Display"));
    QCOMPARE(display->acrossEntry()->toolTip(), QStringLiteral("Select the number of thumbnails in a row"));
    QCOMPARE(display->downEntry()->toolTip(), QStringLiteral("Select the number of thumbnails in a column"));
    display->acrossEntry()->setValue(2);
    display->downEntry()->setValue(2);
    display->accept();
    QCOMPARE(preview.pagesAcross(), 2);
    QCOMPARE(preview.pagesDown(), 2);
}

void ReportPreviewTest::zoom() {
    test::Seams seams;
    ReportPreview preview(Pages(2));
    QCOMPARE(preview.zoomIndex(), 0);
    preview.SetZoom(4);
    QCOMPARE(preview.zoomList()->currentText(), QStringLiteral("100%"));
    preview.SetZoom(9); // not a zoom: ignored
    QCOMPARE(preview.zoomIndex(), 4);
    QMenu* zoomMenu = MenuOf(preview, QStringLiteral("&Zoom"));
    zoomMenu->actions().at(1)->trigger();
    QCOMPARE(preview.zoomList()->currentText(), QStringLiteral("Page Width"));
}

void ReportPreviewTest::answers_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("print");
    QTest::newRow("Print") << "print" << true;
    QTest::newRow("Exit") << "exit" << false;
    QTest::newRow("close box") << "close" << false;
}

void ReportPreviewTest::answers() {
    QFETCH(QString, how);
    QFETCH(bool, print);
    test::Seams seams;
    QWidget task;
    task.show();
    std::vector<bool> answers;
    PreviewReport(&task, Pages(2), [&](bool p) { answers.push_back(p); });
    auto* preview = task.findChild<ReportPreview*>();
    QVERIFY(preview);
    QVERIFY(preview->isWindow());
    QVERIFY(!task.isEnabled());
    QPointer<ReportPreview> guard(preview);
    if (how == QLatin1String("print"))
        preview->printAction()->trigger();
    else if (how == QLatin1String("exit"))
        preview->exitAction()->trigger();
    else
        preview->close();
    QCOMPARE(answers, std::vector<bool>{print});
    QVERIFY(task.isEnabled());
    QCOMPARE(Globals().GlobalResponse, print ? 1 : 2);
    QTRY_VERIFY(!guard);
}

void ReportPreviewTest::saveAsPdf() {
    test::Seams seams;
    ReportPreview preview(Pages(2));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(preview.SaveAsPdf(path));
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(seams.messages.empty());

    QVERIFY(!preview.SaveAsPdf(dir.filePath(QStringLiteral("missing/dir/report.pdf"))));
    QCOMPARE(seams.messages.size(), std::size_t(1));
    QCOMPARE(seams.messages[0].title, QStringLiteral("ERROR"));
}

QTEST_MAIN(ReportPreviewTest)
#include "tst_ReportPreview.moc"
