#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <QWidget>

#include "core/support/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace kivo::editor {

// The progress window of a long job: status line, two labelled values (or a text under the second label),
// a bar with its percent text, and "Cancel" for jobs that can be cancelled. Parts a job does not use stay
// hidden.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(bool cancellable, QWidget* parent = nullptr);

    void Show(const ProgressState& state);
    bool cancelled() const { return cancelled_; }
    // The job has returned: the window may close now, and does.
    void JobFinished();

    QLabel* statusLabel() const { return status_; }
    QLabel* line1() const { return line1_; }
    QLabel* line2() const { return line2_; }
    QProgressBar* bar() const { return bar_; }
    QLabel* percentLabel() const { return percent_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* status_;
    QLabel* line1_;
    QLabel* line2_;
    QProgressBar* bar_;
    QLabel* percent_;
    QPushButton* cancel_;
    bool cancelled_ = false;
    bool finished_ = false;
};

// kivo::Progress for a job on a worker thread: each Update hands the newest state to the window on the GUI
// thread (states that arrive faster than the window can show them are folded into the newest) and returns
// false once the user has pressed Cancel.
class ProgressAdapter : public QObject, public Progress {
    Q_OBJECT
public:
    explicit ProgressAdapter(ProgressWindow* window);
    bool Update(const ProgressState& state) override;
    void Cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

private:
    void ShowPending();

    QPointer<ProgressWindow> window_;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::optional<ProgressState> pending_;
};

// Runs `job` on a worker thread with a progress window modal on `task`; the window closes when the job
// returns and `done` gets its result on the GUI thread. The frame stays responsive meanwhile.
template <class R>
void RunWithProgress(QWidget* task, const QString& title, bool cancellable, std::function<R(Progress&)> job,
                     std::function<void(R)> done);

// The window's part of RunWithProgress: opens the window modal on the task and returns it with its adapter.
std::pair<ProgressWindow*, ProgressAdapter*> OpenProgressWindow(QWidget* task, const QString& title,
                                                                bool cancellable);
// Closes the window when its job is over.
void CloseProgressWindow(ProgressWindow* window);

template <class R>
void RunWithProgress(QWidget* task, const QString& title, bool cancellable, std::function<R(Progress&)> job,
                     std::function<void(R)> done) {
    auto [window, adapter] = OpenProgressWindow(task, title, cancellable);
    auto* watcher = new QFutureWatcher<R>(window);
    QObject::connect(watcher, &QFutureWatcher<R>::finished, window, [window, watcher, done] {
        R result = watcher->result();
        CloseProgressWindow(window);
        if (done) done(std::move(result));
    });
    Progress* progress = adapter;
    watcher->setFuture(QtConcurrent::run([job, progress]() -> R { return job(*progress); }));
}

} // namespace kivo::editor
