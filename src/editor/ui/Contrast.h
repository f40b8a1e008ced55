#pragma once

#include <QColor>

class QWidget;

namespace kivo::editor {

// The contrast ratio of two colours as the accessibility guidelines define it: 1 (none) to 21.
double ContrastRatio(const QColor& a, const QColor& b);

// A fixed colour as it is shown on `background`: unchanged on a light background, where the design chose
// it; on a dark one the same hue made lighter until it reads (a contrast of at least 4.5).
QColor ReadableOn(const QColor& wanted, const QColor& background);

// Shows the widget's text in `wanted`, kept readable on the widget's own background of the palette in use.
void SetTextColour(QWidget* widget, const QColor& wanted);

} // namespace kivo::editor
