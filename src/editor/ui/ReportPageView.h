#pragma once

#include <functional>
#include <memory>

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QPageLayout>

class QPainter;

namespace kivo::editor {

// A report laid out page by page, independently of the paper it is painted on: its number of pages is
// known before any page is painted, and each page paints on its own. So a preview paints only the pages in
// view, however long the report.
struct PagedReport {
    int pages = 0;
    // Paints page `number` (from 1) with `painter`, whose origin is the top-left corner of the page's
    // printable area; `page` is that area, in the device's units.
    std::function<void(QPainter& painter, const QRect& page, int number)> paintPage;
};

// The report's pages one under the other, scrolled and zoomed; only the pages in view are painted, each
// once for a zoom (a few are kept for scrolling back).
class ReportPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Zoom { FitInView, FitToWidth, Factor };

    ReportPageView(std::shared_ptr<const PagedReport> report, const QPageLayout& layout, int resolution,
                   QWidget* parent = nullptr);

    int pageCount() const { return report_->pages; }
    const QPageLayout& pageLayout() const { return layout_; }
    // The page at the top of the view (the one jumped to, while the view has not been scrolled since).
    int currentPage() const;
    void setCurrentPage(int page);
    // Factor 1 shows the page at its printed size.
    void setZoom(Zoom zoom, double factor = 1.0);
    // Shows only the current page, fitted to the view (one place of a group of pages side by side).
    void setSinglePage(bool single);
    // How many page pictures have been painted so far.
    int pagesPainted() const { return painted_; }

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    double Scale() const;
    QSize ShownPageSize() const;
    int Stride() const;
    void UpdateScrollBars();
    const QImage& Picture(int page, const QSize& size);

    std::shared_ptr<const PagedReport> report_;
    QPageLayout layout_;
    int resolution_;
    Zoom zoom_ = Zoom::FitInView;
    double factor_ = 1.0;
    bool single_ = false;
    int wanted_ = 1;
    int wantedAt_ = -1; // the scroll position that shows wanted_ at the top
    int painted_ = 0;
    QHash<int, QImage> pictures_;
    QSize picturesSize_;
};

} // namespace kivo::editor
