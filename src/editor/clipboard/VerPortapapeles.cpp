#include "editor/clipboard/VerPortapapeles.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/ui/AccessibleNames.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/WindowPlacement.h"
#include "editor/clipboard/ClipboardList.h"
#include "editor/clipboard/PlayerDrag.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/StockMessages.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "VerPortapapeles";
constexpr const char* kHelpKeyword = "Multi-Player Clipboard";
constexpr std::size_t kPageSize = 100;

QString Shown(const std::string& latin1) {
    return QString::fromLatin1(TrimRight(latin1).c_str());
}

QString FileLabel() {
    return QString::fromLatin1(kClipboardFileLabel);
}

// A tool window is a plain widget to the accessibility tree; the clipboard is announced as the window it is.
QAccessibleInterface* ClipboardWindowAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(VerPortapapeles::staticMetaObject.className())) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

QString ClipboardDetailText(const PlayerTransferRecord& r) {
    static constexpr const char* kHeadings[] = {"PA", "SH", "HE", "TA", "BC", "SP", "FI"};
    QString skills;
    for (std::size_t s = 0; s < kSkillCount; ++s) {
        if (s) skills += QLatin1Char(' ');
        skills += QLatin1String(kHeadings[s]) + QLatin1Char(' ') + QString::number(r.skills[s]);
    }
    return QStringLiteral("Nat. ") + Shown(r.nacionalidad) + QStringLiteral("  Pos. ") + Shown(r.puesto) +
           QStringLiteral("  ") + skills + QStringLiteral("  Price ") + Shown(r.valorPase);
}

QWidget* StartVerPortapapeles(QWidget* frame) {
    EditorState& g = Globals();
    if (g.ClipboardThread) return g.ClipboardThread;
    auto* clipboard = new VerPortapapeles(frame);
    if (!clipboard->usable()) {
        delete clipboard;
        return nullptr;
    }
    return g.ClipboardThread;
}

VerPortapapeles::VerPortapapeles(QWidget* frame) : QWidget(frame, Qt::Tool) {
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(ClipboardWindowAccessible);
        return true;
    }();
    (void)accessibleAsWindow;
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Players Clipboard"));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));
    Globals().GlobalRequest = 0;
    Globals().GlobalResponse = 0;

    auto* heading = new QLabel(QStringLiteral("Player"));
    heading->setAlignment(Qt::AlignCenter);
    heading->setFrameShape(QFrame::StyledPanel);
    list_ = new ClipboardList;
    list_->setAccessibleName(QStringLiteral("Players in Clipboard"));
    list_->setStatusTip(QStringLiteral("Browsing Players in Clipboard"));
    list_->setToolTip(QStringLiteral("Drag the player you want to paste"));
    detail_ = new QLineEdit;
    detail_->setReadOnly(true);
    detail_->setFocusPolicy(Qt::NoFocus);
    detail_->setAccessibleName(QStringLiteral("Highlighted Player"));
    delete_ = new QPushButton(QStringLiteral("Delete"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    auto* help = new QPushButton(QStringLiteral("Help"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(4);
    layout->addWidget(heading);
    layout->addWidget(list_, 1);
    layout->addWidget(detail_);
    layout->addLayout(buttons);
    resize(470, 420);

    connect(delete_, &QPushButton::clicked, this, &VerPortapapeles::DeleteHighlighted);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });
    connect(list_, &QListWidget::currentRowChanged, this, &VerPortapapeles::ShowHighlighted);
    NameControls(this);

    if (!UseClipboardFile()) return; // the program is being stopped
    usingFile_ = true;
    if (!Load(-1, 0)) return;
    usable_ = true;
    Globals().ClipboardThread = this;
    show();
    PlaceBesideFrame();
    RestoreWindowPlacement(this, kPlacementFileName, kSection);
    list_->setFocus();
}

VerPortapapeles::~VerPortapapeles() {
    CutChildConnections(this);
    if (usingFile_) ReleaseClipboardFile();
    if (Globals().ClipboardThread == this) Globals().ClipboardThread = nullptr;
}

void VerPortapapeles::PlaceBesideFrame() {
    // First use (no placement kept yet): beside the task window in use (a team editor to drag players to),
    // on its right or else its left, so as not to hide it; otherwise beside the frame, on its right, or over
    // its right edge when the screen has no room there.
    QWidget* frame = parentWidget();
    if (!frame) return;
    const QRect room = AvailableArea(frame);
    QRect beside = frame->frameGeometry();
    int y = beside.top() + 40;
    if (QMdiArea* area = Globals().TaskArea; area && area->window() == frame)
        if (QMdiSubWindow* task = area->activeSubWindow(); task && task->isVisible()) {
            beside = QRect(task->mapToGlobal(QPoint(0, 0)), task->size());
            y = beside.top();
        }
    // Narrower than its design width rather than over the window it stands beside.
    const int right = room.right() - beside.right() - 8;
    const int left = beside.left() - 8 - room.left();
    const int least = std::max(minimumSizeHint().width(), 320);
    int x = std::max(room.left(), room.right() - width());
    if (right >= width()) {
        x = beside.right() + 8;
    } else if (left >= width()) {
        x = beside.left() - 8 - width();
    } else if (right >= least) {
        resize(right, height());
        x = beside.right() + 8;
    } else if (left >= least) {
        resize(left, height());
        x = room.left();
    }
    y = std::clamp(y, room.top(), std::max(room.top(), room.bottom() - height()));
    move(x, y);
    KeepWithinRoom(this);
}

bool VerPortapapeles::Load(std::int64_t keepId, int fallbackRow) {
    auto store = ClipboardStore::Open(Globals().ClipboardFilePath, true);
    std::vector<ClipboardEntry> entries;
    std::optional<Error> failed;
    if (!store) failed = store.error();
    // A page at a time in name order, each page starting after the last entry of the one before.
    while (!failed) {
        auto page = store->List(entries.empty() ? std::nullopt : std::optional(entries.back()), kPageSize);
        if (!page) {
            failed = page.error();
            break;
        }
        const bool last = page->size() < kPageSize;
        entries.insert(entries.end(), page->begin(), page->end());
        if (last) break;
    }
    if (failed) {
        RaiseStockMessage(StockMessage::RecordRetrieval, StorageErrorText(failed->text), FileLabel(), {},
                          this);
        entries_.clear();
        list_->clear();
        // Back to the previous window: this one closes.
        if (usable_) QTimer::singleShot(0, this, &QWidget::close);
        return false;
    }
    entries_ = std::move(entries);
    const QSignalBlocker block(list_);
    list_->clear();
    int row = -1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        auto* item = new QListWidgetItem(Shown(entries_[i].record.nombreJugador));
        item->setData(ClipboardList::kIdRole, QVariant::fromValue<qlonglong>(entries_[i].id));
        list_->addItem(item);
        if (entries_[i].id == keepId) row = int(i);
    }
    if (row < 0 && !entries_.empty()) row = std::clamp(fallbackRow, 0, int(entries_.size()) - 1);
    list_->setCurrentRow(row);
    ShowHighlighted();
    return true;
}

void VerPortapapeles::Refresh() {
    if (closed_) return;
    Load(list_->highlightedId(), std::max(0, list_->currentRow()));
}

void VerPortapapeles::ShowHighlighted() {
    const int row = list_->currentRow();
    const bool any = row >= 0 && row < int(entries_.size());
    detail_->setText(any ? ClipboardDetailText(entries_[std::size_t(row)].record) : QString());
    detail_->setCursorPosition(0); // the line starts with the nationality, whatever its width
    detail_->setToolTip(detail_->text());
    delete_->setEnabled(any);
}

QMimeData* VerPortapapeles::DragDataOfHighlighted() const {
    const std::int64_t id = list_->highlightedId();
    return id < 0 ? nullptr : NewPlayerDragData(id);
}

void VerPortapapeles::DeleteHighlighted() {
    const int row = list_->currentRow();
    const std::int64_t id = list_->highlightedId();
    if (id < 0) return;
    if (RaiseStockMessage(StockMessage::ConfirmDelete, {}, {}, {}, this) != MessageButton::Ok) return;
    if (!UseClipboardFile()) return;
    bool deleted = false;
    for (;;) {
        auto store = ClipboardStore::Open(Globals().ClipboardFilePath, true);
        ClipboardDeleteOutcome outcome;
        if (!store)
            outcome = {ClipboardDeleteFailure::TransactionNotStarted, store.error().text};
        else
            outcome = store->Delete(id);
        if (outcome.ok()) {
            deleted = true;
            break;
        }
        const QString reason = QString::fromStdString(outcome.reason);
        if (outcome.failure == ClipboardDeleteFailure::TransactionNotStarted)
            RaiseStockMessage(StockMessage::TransactionFraming, reason, FileLabel(), QStringLiteral("Delete"),
                              this);
        else
            RaiseStockMessage(StockMessage::DeleteOperation, reason, FileLabel(), {}, this);
        if (RaiseStockMessage(StockMessage::DeleteRetry, {}, {}, {}, this) != MessageButton::Yes) break;
    }
    ReleaseClipboardFile();
    // The row that took the deleted entry's place is highlighted next; a failed delete keeps the entry.
    Load(deleted ? -1 : id, row);
}

void VerPortapapeles::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        SaveWindowPlacement(this, kPlacementFileName, kSection);
        if (Globals().ClipboardThread == this) Globals().ClipboardThread = nullptr;
        if (usingFile_) {
            usingFile_ = false;
            ReleaseClipboardFile();
        }
        Globals().GlobalResponse = kResponseCancelled;
    }
    QWidget::closeEvent(event);
}

} // namespace kivo::editor
