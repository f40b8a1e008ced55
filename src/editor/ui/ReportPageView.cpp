#include "editor/ui/ReportPageView.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

namespace kivo::editor {

namespace {

// Around the pages and between them, in pixels of the view.
constexpr int kMargin = 10;
constexpr int kGap = 10;
// Page pictures kept for scrolling back: a few screens' worth.
constexpr int kKeptPictures = 16;

} // namespace

ReportPageView::ReportPageView(std::shared_ptr<const PagedReport> report, const QPageLayout& layout,
                               int resolution, QWidget* parent)
    : QAbstractScrollArea(parent), report_(std::move(report)), layout_(layout),
      resolution_(std::max(1, resolution)) {
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    UpdateScrollBars();
}

double ReportPageView::Scale() const {
    const QSizeF page = layout_.fullRectPixels(resolution_).size();
    const double across = std::max(1, viewport()->width() - 2 * kMargin) / std::max(1.0, page.width());
    const double down = std::max(1, viewport()->height() - 2 * kMargin) / std::max(1.0, page.height());
    if (single_ || zoom_ == Zoom::FitInView) return std::min(across, down);
    if (zoom_ == Zoom::FitToWidth) return across;
    return factor_ * logicalDpiX() / resolution_;
}

QSize ReportPageView::ShownPageSize() const {
    const QSizeF page = layout_.fullRectPixels(resolution_).size();
    const double scale = Scale();
    return {std::max(1, static_cast<int>(std::lround(page.width() * scale))),
            std::max(1, static_cast<int>(std::lround(page.height() * scale)))};
}

int ReportPageView::Stride() const {
    return ShownPageSize().height() + kGap;
}

int ReportPageView::currentPage() const {
    if (single_ || verticalScrollBar()->value() == wantedAt_) return wanted_;
    return std::clamp(verticalScrollBar()->value() / Stride() + 1, 1, std::max(1, pageCount()));
}

void ReportPageView::setCurrentPage(int page) {
    wanted_ = std::clamp(page, 1, std::max(1, pageCount()));
    if (!single_) {
        verticalScrollBar()->setValue((wanted_ - 1) * Stride());
        wantedAt_ = verticalScrollBar()->value();
    }
    viewport()->update();
    emit currentPageChanged(wanted_);
}

void ReportPageView::setZoom(Zoom zoom, double factor) {
    const int page = currentPage();
    zoom_ = zoom;
    factor_ = factor > 0 ? factor : 1.0;
    UpdateScrollBars();
    setCurrentPage(page);
}

void ReportPageView::setSinglePage(bool single) {
    single_ = single;
    const Qt::ScrollBarPolicy policy = single ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    UpdateScrollBars();
    viewport()->update();
}

void ReportPageView::UpdateScrollBars() {
    const QSize shown = ShownPageSize();
    const QSize view = viewport()->size();
    const int height = single_ ? 0 : 2 * kMargin + pageCount() * (shown.height() + kGap) - kGap;
    const int width = single_ ? 0 : 2 * kMargin + shown.width();
    verticalScrollBar()->setRange(0, std::max(0, height - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(std::max(20, shown.height() / 20));
    horizontalScrollBar()->setRange(0, std::max(0, width - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(20);
}

void ReportPageView::resizeEvent(QResizeEvent* event) {
    const int page = currentPage();
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    if (!single_) {
        const QSignalBlocker quiet(this);
        setCurrentPage(page);
    }
}

void ReportPageView::scrollContentsBy(int, int) {
    viewport()->update();
    emit currentPageChanged(currentPage());
}

void ReportPageView::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const QSize shown = ShownPageSize();
    const QSize view = viewport()->size();
    const int x = std::max(kMargin, (view.width() - shown.width()) / 2) - horizontalScrollBar()->value();
    auto place = [&](int page, int y) {
        const QRect target(QPoint(x, y), shown);
        p.fillRect(target.translated(3, 3), palette().color(QPalette::Shadow));
        p.drawImage(target, Picture(page, shown));
    };
    if (pageCount() < 1) return;
    if (single_) {
        place(wanted_, std::max(0, (view.height() - shown.height()) / 2));
        return;
    }
    const int top = verticalScrollBar()->value();
    const int stride = shown.height() + kGap;
    for (int page = std::max(1, (top - kMargin) / stride + 1); page <= pageCount(); ++page) {
        const int y = kMargin + (page - 1) * stride - top;
        if (y >= view.height()) break;
        if (y + shown.height() > 0) place(page, y);
    }
}

const QImage& ReportPageView::Picture(int page, const QSize& size) {
    if (size != picturesSize_) {
        pictures_.clear();
        picturesSize_ = size;
    }
    if (auto found = pictures_.constFind(page); found != pictures_.constEnd()) return *found;
    if (pictures_.size() >= kKeptPictures) {
        // The page farthest from this one goes.
        int farthest = pictures_.constBegin().key();
        for (auto it = pictures_.constBegin(); it != pictures_.constEnd(); ++it)
            if (std::abs(it.key() - page) > std::abs(farthest - page)) farthest = it.key();
        pictures_.remove(farthest);
    }
    const qreal ratio = devicePixelRatioF();
    QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                               QPainter::SmoothPixmapTransform);
        const double scale =
            size.width() / std::max<double>(1.0, layout_.fullRectPixels(resolution_).size().width());
        painter.scale(scale, scale);
        const QRect printable = layout_.paintRectPixels(resolution_);
        painter.translate(printable.topLeft());
        const QRect area(QPoint(0, 0), printable.size());
        painter.setClipRect(area);
        if (report_->paintPage) report_->paintPage(painter, area, page);
    }
    ++painted_;
    return *pictures_.insert(page, std::move(picture));
}

} // namespace kivo::editor
