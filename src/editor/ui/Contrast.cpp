#include "editor/ui/Contrast.h"

#include <cmath>

#include <QWidget>

namespace kivo::editor {

namespace {

constexpr double kReadable = 4.5;

double Channel(double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c) {
    return 0.2126 * Channel(c.redF()) + 0.7152 * Channel(c.greenF()) + 0.0722 * Channel(c.blueF());
}

int Towards(int from, int to, double share) {
    return static_cast<int>(std::lround(from + (to - from) * share));
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background) {
    // Light: the background reads better against black than against white.
    if (ContrastRatio(background, Qt::black) >= ContrastRatio(background, Qt::white)) return wanted;
    for (int step = 0; step <= 20; ++step) {
        const double share = step / 20.0;
        const QColor lighter(Towards(wanted.red(), 255, share), Towards(wanted.green(), 255, share),
                             Towards(wanted.blue(), 255, share));
        if (ContrastRatio(lighter, background) >= kReadable) return lighter;
    }
    return Qt::white;
}

void SetTextColour(QWidget* widget, const QColor& wanted) {
    const QColor shown = ReadableOn(wanted, widget->palette().color(widget->backgroundRole()));
    widget->setStyleSheet(
        QStringLiteral("color: rgb(%1, %2, %3)").arg(shown.red()).arg(shown.green()).arg(shown.blue()));
}

} // namespace kivo::editor
