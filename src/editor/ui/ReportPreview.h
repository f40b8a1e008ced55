#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QMainWindow>

#include "editor/ui/ReportPageView.h"

class QAction;
class QComboBox;
class QLabel;
class QPrinter;
class QSpinBox;
class QStackedWidget;

namespace kivo::editor {

// Paints a report's pages on a printer: the first page as it comes, printer->newPage() before each next one.
using ReportPainter = std::function<void(QPrinter* printer)>;

// Paints every page of the report on the printer, each within the printable area; false when the printer
// cannot be painted on.
bool PaintReport(QPrinter* printer, const PagedReport& report);
// The report as a painter of all its pages.
ReportPainter PainterOf(const PagedReport& report);

// "Report Preview": shows the report's pages and answers whether the user wants them printed. Print and
// Exit both close it; closing it any other way answers "not to be printed". Only the pages in view are
// painted, so a report of a thousand pages opens as fast as one of a single page.
class ReportPreview : public QMainWindow {
    Q_OBJECT
public:
    explicit ReportPreview(PagedReport report, QWidget* parent = nullptr);
    ~ReportPreview() override;

    int pageCount() const;
    int currentPage() const;
    bool printChosen() const { return print_; }

    void NextPages();
    void PreviousPages();
    void JumpTo(int page);
    void SetDisplay(int across, int down);
    // Index into the zoom list: No Zoom, Page Width, 50%, 75%, 100%, 200%, 300%.
    void SetZoom(int index);
    int zoomIndex() const { return zoom_; }
    int pagesAcross() const { return across_; }
    // The pages in view: the current one, or the group of Across x Down pages that starts with it.
    QList<int> shownPages() const;
    int pagesDown() const { return down_; }
    // Writes the pages to a PDF file; false (after a message) when it cannot be written.
    bool SaveAsPdf(const QString& path);

    QAction* printAction() const { return print_action_; }
    QAction* exitAction() const { return exit_action_; }
    QAction* nextAction() const { return next_; }
    QAction* previousAction() const { return previous_; }
    QAction* jumpAction() const { return jump_; }
    QAction* displayAction() const { return display_; }
    QSpinBox* pageEntry() const { return pageEntry_; }
    QComboBox* zoomList() const { return zoomList_; }
    QLabel* pageStatus() const { return pageStatus_; }
    ReportPageView* pageView() const { return preview_; }

signals:
    void answered(bool print);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void Refresh();
    void OpenJumpWindow();
    void OpenDisplayWindow();
    void ChooseAndSavePdf();
    int Group() const { return across_ * down_; }
    void BuildGroupView();
    void ShowGroup();

    std::shared_ptr<const PagedReport> report_;
    std::unique_ptr<QPrinter> printer_;
    ReportPageView* preview_;
    // Several pages at once: one small view per place of the Across x Down grid, each showing its page.
    QStackedWidget* views_ = nullptr;
    QWidget* groupView_ = nullptr;
    QList<ReportPageView*> thumbnails_;
    QAction* print_action_ = nullptr;
    QAction* exit_action_ = nullptr;
    QAction* next_ = nullptr;
    QAction* previous_ = nullptr;
    QAction* jump_ = nullptr;
    QAction* display_ = nullptr;
    QSpinBox* pageEntry_ = nullptr;
    QComboBox* zoomList_ = nullptr;
    QLabel* pageStatus_ = nullptr;
    mutable int current_ = 1;
    int zoom_ = 0;
    int across_ = 1;
    int down_ = 1;
    bool print_ = false;
    bool answered_ = false;
};

// The printer of Printer Setup, shared by every report.
QPrinter* SharedPrinter();

// Prints a report on the printer chosen with Printer Setup. False, after telling the user, when the printer
// cannot be used.
bool PrintReport(const ReportPainter& paint, QWidget* parent = nullptr);

// Shows the preview modally on `task`; `answer` is told whether the user chose to print. The caller prints
// only on that answer.
void PreviewReport(QWidget* task, PagedReport report, std::function<void(bool print)> answer);

} // namespace kivo::editor
