#include "editor/ui/ReportJumpWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kivo::editor {

ReportJumpWindow::ReportJumpWindow(int currentPage, int pageCount, QWidget* parent) : QDialog(parent) {
    setMinimumWidth(280);
    setWindowTitle(QStringLiteral("Jump to a Report Page"));
    page_ = new QSpinBox;
    page_->setRange(1, std::max(1, pageCount));
    page_->setValue(currentPage);
    page_->setToolTip(QStringLiteral("Select a page of the report"));
    page_->setStatusTip(page_->toolTip());
    auto* label = new QLabel(QStringLiteral("&Page:"));
    label->setBuddy(page_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setToolTip(QStringLiteral("Jump to the selected page"));
    buttons->button(QDialogButtonBox::Cancel)->setToolTip(QStringLiteral("Cancel this selection"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(label, page_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    page_->selectAll();
}

int ReportJumpWindow::page() const {
    return page_->value();
}

} // namespace kivo::editor
