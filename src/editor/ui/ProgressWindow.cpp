#include "editor/ui/ProgressWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/ui/EditorState.h"
#include "editor/ui/TaskWindows.h"

namespace kivo::editor {

namespace {

QString Text(const std::string& latin1) {
    return QString::fromLatin1(latin1.data(), qsizetype(latin1.size()));
}

QString Line(const std::string& label, long long value) {
    if (value < 0) return Text(label);
    return Text(label) + QLatin1Char(' ') + QString::number(value);
}

} // namespace

ProgressWindow::ProgressWindow(bool cancellable, QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Progress..."));
    setMinimumWidth(380);
    status_ = new QLabel;
    line1_ = new QLabel;
    line2_ = new QLabel;
    bar_ = new QProgressBar;
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    percent_ = new QLabel;
    percent_->setAlignment(Qt::AlignCenter);
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    cancel_->setVisible(cancellable);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(line1_);
    layout->addWidget(line2_);
    layout->addWidget(bar_);
    layout->addWidget(percent_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    buttons->addStretch();
    layout->addLayout(buttons);
    for (QWidget* w :
         {static_cast<QWidget*>(status_), static_cast<QWidget*>(line1_), static_cast<QWidget*>(line2_),
          static_cast<QWidget*>(bar_), static_cast<QWidget*>(percent_)})
        w->hide();

    connect(cancel_, &QPushButton::clicked, this, [this] {
        cancelled_ = true;
        cancel_->setEnabled(false);
        emit cancelRequested();
    });
}

void ProgressWindow::Show(const ProgressState& s) {
    if (!s.title.empty()) setWindowTitle(Text(s.title));
    status_->setText(Text(s.status));
    status_->setVisible(!s.status.empty());
    line1_->setText(Line(s.label1, s.value1));
    line1_->setVisible(!s.label1.empty() || s.value1 >= 0);
    line2_->setText(s.text2.empty() ? Line(s.label2, s.value2)
                                    : Text(s.label2) + QLatin1Char(' ') + Text(s.text2));
    line2_->setVisible(!s.label2.empty() || s.value2 >= 0 || !s.text2.empty());
    bar_->setVisible(s.percent >= 0);
    if (s.percent >= 0) bar_->setValue(std::min(s.percent, 100));
    percent_->setText(Text(s.percentText));
    percent_->setVisible(!s.percentText.empty());
}

void ProgressWindow::JobFinished() {
    finished_ = true;
    close();
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
    // The close box cancels a job that can be cancelled; the window itself goes when the job has stopped.
    if (!finished_) {
        event->ignore();
        if (cancel_->isVisible() && cancel_->isEnabled()) cancel_->click();
        return;
    }
    FinishModal(this, cancelled_ ? kResponseCancelled : kResponseCompleted);
    QWidget::closeEvent(event);
}

ProgressAdapter::ProgressAdapter(ProgressWindow* window) : QObject(window), window_(window) {
    connect(window, &ProgressWindow::cancelRequested, this, [this] { cancelled_ = true; });
}

bool ProgressAdapter::Update(const ProgressState& state) {
    bool post = false;
    {
        std::lock_guard lock(mutex_);
        post = !pending_.has_value();
        pending_ = state;
    }
    if (post)
        QMetaObject::invokeMethod(
            this, [this] { ShowPending(); }, Qt::QueuedConnection);
    return !cancelled_;
}

void ProgressAdapter::ShowPending() {
    std::optional<ProgressState> state;
    {
        std::lock_guard lock(mutex_);
        state.swap(pending_);
    }
    if (state && window_) window_->Show(*state);
}

std::pair<ProgressWindow*, ProgressAdapter*> OpenProgressWindow(QWidget* task, const QString& title,
                                                                bool cancellable) {
    auto* window = new ProgressWindow(cancellable);
    window->setWindowTitle(title);
    auto* adapter = new ProgressAdapter(window);
    OpenModalOnTask(task, window, nullptr, ChildPlacement::OwnWindow);
    return {window, adapter};
}

void CloseProgressWindow(ProgressWindow* window) {
    window->JobFinished();
}

} // namespace kivo::editor
