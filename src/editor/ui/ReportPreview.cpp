#include "editor/ui/ReportPreview.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>

#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ReportDisplayWindow.h"
#include "editor/ui/ReportJumpWindow.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

struct ZoomChoice {
    const char* menuText;
    const char* listText;
    double factor; // 0: fit the page; -1: fit the width
};

constexpr ZoomChoice kZooms[] = {
    {"No &Zoom", "No Zoom", 0},    {"Page &Width", "Page Width", -1}, {"&50 Percent", "50%", 0.5},
    {"&75 Percent", "75%", 0.75},  {"&100 Percent", "100%", 1.0},     {"&200 Percent", "200%", 2.0},
    {"&300 Percent", "300%", 3.0},
};
constexpr int kZoomCount = int(std::size(kZooms));

QAction* Command(QObject* parent, const QString& text, const QString& tip) {
    auto* a = new QAction(text, parent);
    a->setToolTip(tip);
    a->setStatusTip(tip);
    return a;
}

} // namespace

ReportPreview::ReportPreview(PagedReport report, QWidget* parent)
    : QMainWindow(parent), report_(std::make_shared<const PagedReport>(std::move(report))),
      printer_(std::make_unique<QPrinter>()) {
    // Laid out for the printer of Printer Setup, so that the pages look as they will print.
    if (SharedPrinter()->outputFormat() == QPrinter::NativeFormat)
        printer_->setPrinterName(SharedPrinter()->printerName());
    printer_->setPageLayout(SharedPrinter()->pageLayout());
    setWindowTitle(QStringLiteral("Report Preview"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/print.svg")));
    SetHelpKeyword(this, QStringLiteral("Report Preview"));
    // A whole page in view, on any screen it fits.
    resize(QSize(820, 900).boundedTo(AvailableArea(parent).size()));
    preview_ = new ReportPageView(report_, printer_->pageLayout(), printer_->resolution(), this);
    preview_->setAccessibleName(QStringLiteral("Report Preview"));
    groupView_ = new QWidget;
    views_ = new QStackedWidget;
    views_->addWidget(preview_);
    views_->addWidget(groupView_);
    setCentralWidget(views_);
    // Scrolling to another page shows its number.
    connect(preview_, &ReportPageView::currentPageChanged, this, [this] {
        if (Group() == 1) Refresh();
    });
    BuildMenus();
    BuildToolBar();
    pageStatus_ = new QLabel;
    statusBar()->addPermanentWidget(pageStatus_);
    SetZoom(0);
    Refresh();
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    print_action_ = Command(this, QStringLiteral("&Print"), QStringLiteral("Print the report"));
    print_action_->setShortcut(QKeySequence::Print);
    print_action_->setIcon(QIcon(QStringLiteral(":/icons/print.svg")));
    auto* pdf =
        Command(this, QStringLiteral("Save as P&DF..."), QStringLiteral("Save the report as a PDF file"));
    exit_action_ = Command(this, QStringLiteral("E&xit"), QStringLiteral("Exit without printing the report"));
    exit_action_->setIcon(QIcon(QStringLiteral(":/icons/exit.svg")));
    exit_action_->setShortcut(QKeySequence(Qt::Key_Escape));
    file->addAction(print_action_);
    file->addAction(pdf);
    file->addSeparator();
    file->addAction(exit_action_);
    connect(print_action_, &QAction::triggered, this, [this] {
        print_ = true;
        close();
    });
    connect(exit_action_, &QAction::triggered, this, [this] {
        print_ = false;
        close();
    });
    connect(pdf, &QAction::triggered, this, &ReportPreview::ChooseAndSavePdf);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    const QString nextTip = QStringLiteral("View the next page or pages of the report");
    next_ = Command(this, QStringLiteral("&Next Page(s)"), nextTip);
    next_->setShortcut(QKeySequence(Qt::Key_PageDown));
    previous_ = Command(this, QStringLiteral("&Previous Page(s)"), nextTip);
    previous_->setShortcut(QKeySequence(Qt::Key_PageUp));
    jump_ = Command(this, QStringLiteral("&Jump to a page"),
                    QStringLiteral("Jump to a specific page of the report"));
    display_ = Command(this, QStringLiteral("&Change Display"),
                       QStringLiteral("Change the number of pages displayed"));
    view->addActions({next_, previous_, jump_, display_});
    connect(next_, &QAction::triggered, this, &ReportPreview::NextPages);
    connect(previous_, &QAction::triggered, this, &ReportPreview::PreviousPages);
    connect(jump_, &QAction::triggered, this, &ReportPreview::OpenJumpWindow);
    connect(display_, &QAction::triggered, this, &ReportPreview::OpenDisplayWindow);

    QMenu* zoom = menuBar()->addMenu(QStringLiteral("&Zoom"));
    for (int i = 0; i < kZoomCount; ++i) {
        QAction* a = zoom->addAction(QString::fromLatin1(kZooms[i].menuText));
        connect(a, &QAction::triggered, this, [this, i] { SetZoom(i); });
    }
}

void ReportPreview::BuildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Report"));
    bar->setMovable(false);
    auto* print = bar->addAction(print_action_->icon(), QStringLiteral("Print"));
    print->setToolTip(QStringLiteral("Print this report"));
    print->setStatusTip(print->toolTip());
    connect(print, &QAction::triggered, print_action_, &QAction::trigger);
    auto* exit = bar->addAction(exit_action_->icon(), QStringLiteral("Exit"));
    exit->setToolTip(QStringLiteral("Exit without printing the report"));
    exit->setStatusTip(exit->toolTip());
    connect(exit, &QAction::triggered, exit_action_, &QAction::trigger);
    bar->addSeparator();
    auto* zoomIn = bar->addAction(QIcon(QStringLiteral(":/icons/zoom.svg")), QStringLiteral("Zoom"));
    zoomIn->setToolTip(QStringLiteral("Zoom in on a page of the report"));
    zoomIn->setStatusTip(zoomIn->toolTip());
    connect(zoomIn, &QAction::triggered, this, [this] { SetZoom((zoom_ + 1) % kZoomCount); });
    zoomList_ = new QComboBox;
    for (const ZoomChoice& z : kZooms)
        zoomList_->addItem(QString::fromLatin1(z.listText));
    zoomList_->setToolTip(zoomIn->toolTip());
    bar->addWidget(zoomList_);
    connect(zoomList_, &QComboBox::activated, this, &ReportPreview::SetZoom);
    bar->addSeparator();
    auto* pageLabel = new QLabel(QStringLiteral("&Page:"));
    pageEntry_ = new QSpinBox;
    pageEntry_->setMinimumWidth(60);
    pageEntry_->setKeyboardTracking(false);
    pageLabel->setBuddy(pageEntry_);
    bar->addWidget(pageLabel);
    bar->addWidget(pageEntry_);
    connect(pageEntry_, &QSpinBox::valueChanged, this, [this](int page) {
        if (page != currentPage()) JumpTo(page);
    });
}

int ReportPreview::pageCount() const {
    return preview_->pageCount();
}
int ReportPreview::currentPage() const {
    // With one page in view the widget knows best (the user may have scrolled); with several side by side
    // its notion of the current page is whichever is nearest the middle, so the first of the group is kept.
    if (Group() == 1 && preview_->currentPage() > 0) current_ = preview_->currentPage();
    return std::clamp(current_, 1, std::max(1, pageCount()));
}

void ReportPreview::Refresh() {
    const int count = std::max(1, pageCount());
    const QSignalBlocker block(pageEntry_);
    pageEntry_->setRange(1, count);
    pageEntry_->setValue(currentPage());
    const QString tip = QStringLiteral("Enter a page number from 1 to ") + QString::number(count);
    pageEntry_->setToolTip(tip);
    pageEntry_->setStatusTip(tip);
    pageStatus_->setText(QStringLiteral("Page ") + QString::number(currentPage()) + QStringLiteral(" of ") +
                         QString::number(count));
    const QSignalBlocker blockZoom(zoomList_);
    zoomList_->setCurrentIndex(zoom_);
}

void ReportPreview::NextPages() {
    if (currentPage() + Group() <= pageCount()) JumpTo(currentPage() + Group());
}

void ReportPreview::PreviousPages() {
    if (currentPage() > 1) JumpTo(std::max(1, currentPage() - Group()));
}

void ReportPreview::JumpTo(int page) {
    if (page < 1 || page > pageCount()) return;
    current_ = page;
    preview_->setCurrentPage(page);
    ShowGroup();
    Refresh();
}

void ReportPreview::SetDisplay(int across, int down) {
    const int page = currentPage();
    across_ = std::max(1, across);
    down_ = std::max(1, down);
    BuildGroupView();
    current_ = page;
    ShowGroup();
    Refresh();
}

void ReportPreview::BuildGroupView() {
    qDeleteAll(thumbnails_);
    thumbnails_.clear();
    delete groupView_->layout();
    if (Group() == 1) {
        views_->setCurrentWidget(preview_);
        return;
    }
    auto* grid = new QGridLayout(groupView_);
    grid->setSpacing(6);
    for (int row = 0; row < down_; ++row)
        for (int column = 0; column < across_; ++column) {
            auto* thumbnail = new ReportPageView(report_, printer_->pageLayout(), printer_->resolution());
            // Each place shows its one page: no scrolling to the pages of the other places.
            thumbnail->setSinglePage(true);
            grid->addWidget(thumbnail, row, column);
            thumbnails_ << thumbnail;
        }
    views_->setCurrentWidget(groupView_);
}

void ReportPreview::ShowGroup() {
    const int first = currentPage();
    for (int i = 0; i < thumbnails_.size(); ++i) {
        ReportPageView* thumbnail = thumbnails_[i];
        const int page = first + i;
        // Places past the last page stay empty.
        thumbnail->setVisible(page <= pageCount());
        if (page > pageCount()) continue;
        thumbnail->setCurrentPage(page);
        thumbnail->setProperty("page", page);
        thumbnail->setAccessibleName(QStringLiteral("Page %1").arg(page));
    }
}

QList<int> ReportPreview::shownPages() const {
    if (thumbnails_.isEmpty()) return {currentPage()};
    QList<int> pages;
    for (ReportPageView* thumbnail : thumbnails_)
        if (!thumbnail->isHidden()) pages << thumbnail->property("page").toInt();
    return pages;
}

void ReportPreview::SetZoom(int index) {
    if (index < 0 || index >= kZoomCount) return;
    zoom_ = index;
    const double f = kZooms[index].factor;
    if (f == 0)
        preview_->setZoom(ReportPageView::Zoom::FitInView);
    else if (f < 0)
        preview_->setZoom(ReportPageView::Zoom::FitToWidth);
    else
        preview_->setZoom(ReportPageView::Zoom::Factor, f);
    Refresh();
}

void ReportPreview::OpenJumpWindow() {
    auto* jump = new ReportJumpWindow(currentPage(), pageCount(), this);
    jump->setAttribute(Qt::WA_DeleteOnClose);
    connect(jump, &QDialog::accepted, this, [this, jump] { JumpTo(jump->page()); });
    jump->open();
}

void ReportPreview::OpenDisplayWindow() {
    auto* display = new ReportDisplayWindow(across_, down_, this);
    display->setAttribute(Qt::WA_DeleteOnClose);
    connect(display, &QDialog::accepted, this,
            [this, display] { SetDisplay(display->across(), display->down()); });
    display->open();
}

bool ReportPreview::SaveAsPdf(const QString& path) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    pdf.setPageLayout(printer_->pageLayout());
    PaintReport(&pdf, *report_);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
        ShowInformation(QStringLiteral("ERROR"),
                        QStringLiteral("The report could not be saved as ") + path + QStringLiteral("."));
        return false;
    }
    return true;
}

void ReportPreview::ChooseAndSavePdf() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save the Report as PDF"),
                                                      QString(), QStringLiteral("PDF files (*.pdf)"));
    if (!path.isEmpty()) SaveAsPdf(path);
}

void ReportPreview::closeEvent(QCloseEvent* event) {
    if (!answered_) {
        answered_ = true;
        FinishModal(this, print_ ? kResponseCompleted : kResponseCancelled);
        emit answered(print_);
    }
    QMainWindow::closeEvent(event);
}

QPrinter* SharedPrinter() {
    std::shared_ptr<QPrinter>& printer = Globals().Printer;
    if (!printer) printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    return printer.get();
}

bool PrintReport(const ReportPainter& paint, QWidget* parent) {
    QPrinter* printer = SharedPrinter();
    // Without a printer Qt falls back to a PDF file, which needs a name: otherwise nothing would be printed
    // and nobody told.
    const bool noFile = printer->outputFormat() == QPrinter::PdfFormat && printer->outputFileName().isEmpty();
    if (!printer->isValid() || noFile) {
        ShowInformation(QStringLiteral("ERROR"),
                        QStringLiteral("The report cannot be printed: no printer is available. Choose one "
                                       "with Options > Printer Setup."),
                        parent);
        return false;
    }
    if (paint) paint(printer);
    return true;
}

bool PaintReport(QPrinter* printer, const PagedReport& report) {
    QPainter painter(printer);
    if (!painter.isActive()) return false;
    // The painter's origin is the top-left corner of the printable area.
    const QRect page(QPoint(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
    for (int n = 1; n <= report.pages; ++n) {
        if (n > 1 && !printer->newPage()) return false;
        painter.save();
        if (report.paintPage) report.paintPage(painter, page, n);
        painter.restore();
    }
    return true;
}

ReportPainter PainterOf(const PagedReport& report) {
    return [report](QPrinter* printer) { PaintReport(printer, report); };
}

void PreviewReport(QWidget* task, PagedReport report, std::function<void(bool)> answer) {
    auto* preview = new ReportPreview(std::move(report));
    OpenModalOnTask(
        task, preview,
        [answer](int response) {
            if (answer) answer(response == kResponseCompleted);
        },
        ChildPlacement::OwnWindow);
}

} // namespace kivo::editor
