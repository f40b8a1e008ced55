#include "editor/ui/ReportDisplayWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kivo::editor {

namespace {

QSpinBox* Entry(int value, const char* tip) {
    auto* spin = new QSpinBox;
    spin->setRange(1, 8);
    spin->setValue(value);
    spin->setToolTip(QString::fromLatin1(tip));
    spin->setStatusTip(spin->toolTip());
    return spin;
}

} // namespace

ReportDisplayWindow::ReportDisplayWindow(int across, int down, QWidget* parent) : QDialog(parent) {
    setMinimumWidth(280);
    setWindowTitle(QStringLiteral("Change the Report Display"));
    across_ = Entry(across, "Select the number of thumbnails in a row");
    down_ = Entry(down, "Select the number of thumbnails in a column");
    auto* acrossLabel = new QLabel(QStringLiteral("&Across:"));
    acrossLabel->setBuddy(across_);
    auto* downLabel = new QLabel(QStringLiteral("&Down:"));
    downLabel->setBuddy(down_);

    auto* group = new QGroupBox(QStringLiteral("Pages Displayed"));
    auto* form = new QFormLayout(group);
    form->addRow(acrossLabel, across_);
    form->addRow(downLabel, down_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

int ReportDisplayWindow::across() const {
    return across_->value();
}
int ReportDisplayWindow::down() const {
    return down_->value();
}

} // namespace kivo::editor
