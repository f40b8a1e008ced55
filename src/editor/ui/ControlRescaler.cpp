#include "editor/ui/ControlRescaler.h"

#include <cmath>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QWidget>

namespace kivo::editor {

namespace {

ControlKind KindOf(const QWidget* w) {
    if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) return ControlKind::Check;
    if (qobject_cast<const QAbstractButton*>(w)) return ControlKind::Button;
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
        qobject_cast<const QAbstractSpinBox*>(w))
        return ControlKind::Entry;
    return ControlKind::Other;
}

// Keeps the design distance to the nearer of the two edges.
int Anchored(int pos, int extent, int designSpan, int nowSpan) {
    const int before = pos;
    const int after = designSpan - (pos + extent);
    if (before <= after) return pos;
    return nowSpan - (designSpan - pos);
}

int Scaled(int v, double ratio) {
    return static_cast<int>(v * ratio);
}

} // namespace

double PlacementRatio(int now, int design) {
    if (design <= 0) return 1.0;
    return std::round(static_cast<double>(now) / design * 10000.0) / 10000.0;
}

QRect RescaledGeometry(ControlKind kind, const QRect& d, const QSize& parentDesign, const QSize& parentNow,
                       double rx, double ry) {
    switch (kind) {
    case ControlKind::Button:
        return {Anchored(d.x(), d.width(), parentDesign.width(), parentNow.width()),
                Anchored(d.y(), d.height(), parentDesign.height(), parentNow.height()), d.width(),
                d.height()};
    case ControlKind::Check:
        return {Scaled(d.x(), rx), Scaled(d.y(), ry), d.width(), d.height()};
    case ControlKind::Entry:
        return {Scaled(d.x(), rx), Scaled(d.y(), ry), Scaled(d.width(), rx), d.height()};
    case ControlKind::Other:
        break;
    }
    return {Scaled(d.x(), rx), Scaled(d.y(), ry), Scaled(d.width(), rx), Scaled(d.height(), ry)};
}

ControlRescaler::ControlRescaler(QWidget* window) : QObject(window), window_(window) {
    design_ = window->size();
    applied_ = design_;
    Record(window);
}

ControlRescaler* ControlRescaler::Attach(QWidget* window, bool followResizes) {
    auto* rescaler = new ControlRescaler(window);
    if (followResizes) window->installEventFilter(rescaler);
    return rescaler;
}

void ControlRescaler::Record(QWidget* parent) {
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || qobject_cast<QMenuBar*>(w) || qobject_cast<QMenu*>(w)) continue;
        // Controls inside a composite control (a spin box's editor, a combo box's view) belong to it.
        if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent)) continue;
        if (!parent->layout()) controls_.push_back({w, w->geometry(), parent->size()});
        Record(w);
    }
}

bool ControlRescaler::Apply() {
    const QSize now = window_->size();
    if (now == applied_) return false;
    applied_ = now;
    const double rx = PlacementRatio(now.width(), design_.width());
    const double ry = PlacementRatio(now.height(), design_.height());
    // Parents come before their children, so a child sees its parent's new size.
    for (const Control& c : controls_) {
        if (!c.widget) continue;
        const QSize parentNow = c.widget->parentWidget()->size();
        c.widget->setGeometry(
            RescaledGeometry(KindOf(c.widget), c.design, c.parentDesign, parentNow, rx, ry));
    }
    return true;
}

bool ControlRescaler::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_ && event->type() == QEvent::Resize) Apply();
    return QObject::eventFilter(watched, event);
}

} // namespace kivo::editor
