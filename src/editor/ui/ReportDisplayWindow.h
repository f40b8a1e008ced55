#pragma once

#include <QDialog>

class QSpinBox;

namespace kivo::editor {

// "Change the Report Display": how many pages the preview shows across and down.
class ReportDisplayWindow : public QDialog {
    Q_OBJECT
public:
    ReportDisplayWindow(int across, int down, QWidget* parent = nullptr);
    int across() const;
    int down() const;
    QSpinBox* acrossEntry() const { return across_; }
    QSpinBox* downEntry() const { return down_; }

private:
    QSpinBox* across_;
    QSpinBox* down_;
};

} // namespace kivo::editor
