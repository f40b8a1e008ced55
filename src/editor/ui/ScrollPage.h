#pragma once

#include <QScrollArea>

namespace kivo::editor {

// A page (or part of one) that scrolls inside its window when the screen has too little room for it, while
// asking for room for the whole page, so that a large enough screen shows it without scroll bars.
class ScrollPage : public QScrollArea {
public:
    explicit ScrollPage(QWidget* page, QWidget* parent = nullptr) : QScrollArea(parent) {
        setWidget(page);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
    }
    QSize sizeHint() const override { return widget()->sizeHint(); }
};

} // namespace kivo::editor
