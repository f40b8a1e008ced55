#pragma once

#include <QScrollArea>
#include <QScrollBar>

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
    // Room for a vertical scroll bar too, so that a window cut short in height still shows the page's width.
    QSize sizeHint() const override {
        return widget()->sizeHint() + QSize(verticalScrollBar()->sizeHint().width(), 0);
    }
};

} // namespace kivo::editor
