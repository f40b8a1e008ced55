#include "editor/app/PlaceholderTask.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/app/EditorState.h"
#include "editor/ui/HelpTopics.h"

namespace kivo::editor {

QString NotAvailableText(const QString& what) {
    return what + QStringLiteral(" is not available yet in this release of the editor.");
}

PlaceholderTask::PlaceholderTask(const QString& title, const QString& helpKeyword,
                                 std::function<void()> onClose, QWidget* parent)
    : QWidget(parent), onClose_(std::move(onClose)) {
    setWindowTitle(title);
    SetHelpKeyword(this, helpKeyword);
    auto* text = new QLabel(NotAvailableText(QStringLiteral("The window \"") + title + QStringLiteral("\"")));
    text->setWordWrap(true);
    auto* close = new QPushButton(QStringLiteral("&Close"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(360, 160);
}

void PlaceholderTask::closeEvent(QCloseEvent* event) {
    if (onClose_) {
        auto onClose = std::move(onClose_);
        onClose_ = nullptr;
        onClose();
    }
    Globals().GlobalResponse = kResponseCancelled;
    QWidget::closeEvent(event);
}

} // namespace kivo::editor
