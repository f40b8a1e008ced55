#pragma once

#include <QDialog>

class QSpinBox;

namespace kivo::editor {

// "Jump to a Report Page": a page number from 1 to the number of pages.
class ReportJumpWindow : public QDialog {
    Q_OBJECT
public:
    ReportJumpWindow(int currentPage, int pageCount, QWidget* parent = nullptr);
    int page() const;
    QSpinBox* pageEntry() const { return page_; }

private:
    QSpinBox* page_;
};

} // namespace kivo::editor
