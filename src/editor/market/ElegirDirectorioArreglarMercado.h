#pragma once

#include <QString>
#include <QWidget>

#include "core/market/ArreglarMercado.h"

class QLineEdit;
class QPushButton;

namespace kivo::editor {

class DirectoryField;

// The directory window of the market fix, a task window inside the frame.
void StartElegirDirectorioArreglarMercado();

// "Start Fixing Market": the data directory (BatchDataDirectory), then, after the question, the fix on a
// worker with its progress windows; the window closes when the fix returns.
class ElegirDirectorioArreglarMercado : public QWidget {
    Q_OBJECT
public:
    ElegirDirectorioArreglarMercado();

    QLineEdit* directoryEntry() const;
    DirectoryField* directoryField() const { return directory_; }
    QPushButton* beginButton() const { return begin_; }
    QPushButton* closeButton() const { return close_; }

    void Begin();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Finished(const MarketFixReport& report, const std::string& directory, const std::string& runFolder);
    void CloseTask();

    DirectoryField* directory_;
    QPushButton* begin_;
    QPushButton* close_;
    bool closed_ = false;
};

// The one message after the fix: cup teams refreshed and skipped, pool entries refreshed and left, and
// where the copies of the files as they were are kept: only the .bak copies this fix wrote.
// `runFolder` is where the fix's run kept the copies of the files as they were before its first change.
QString MarketFixSummary(const MarketFixReport& report, const std::string& directory,
                         const std::string& runFolder = {});

} // namespace kivo::editor
