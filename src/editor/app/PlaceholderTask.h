#pragma once

#include <functional>

#include <QWidget>

namespace kivo::editor {

// Stands in for a task window that this release does not have yet: titled like the real one, it says so and
// offers Close. `onClose` runs as it closes, so that the guards around the real window already hold.
class PlaceholderTask : public QWidget {
    Q_OBJECT
public:
    PlaceholderTask(const QString& title, const QString& helpKeyword, std::function<void()> onClose,
                    QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> onClose_;
};

// The text every missing command shows.
QString NotAvailableText(const QString& what);

} // namespace kivo::editor
