#include "editor/teams/ActualizarEquipo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolTip>
#include <QUndoStack>
#include <QValidator>
#include <QVBoxLayout>

#include "core/clipboard/ClipboardStore.h"
#include "core/support/FixedText.h"
#include "editor/clipboard/PlayerDrag.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/teams/TeamEditCommands.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/Contrast.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ScrollPage.h"
#include "editor/ui/StopProgram.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kPlacementFile = "zeltra.ini";
constexpr const char* kSection = "ActualizarEquipo";
constexpr const char* kHelpKeyword = "Edit Teams";

// The keys the window handles itself, taken before the focused field can claim them for its own editing.
const QList<QKeySequence>& WindowKeys() {
    static const QList<QKeySequence> keys = {QKeySequence(Qt::CTRL | Qt::Key_Z),
                                             QKeySequence(Qt::CTRL | Qt::Key_Y),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                             QKeySequence(Qt::CTRL | Qt::Key_Insert),
                                             QKeySequence(Qt::CTRL | Qt::Key_Home),
                                             QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V),
                                             QKeySequence(Qt::CTRL | Qt::Key_Tab),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)};
    return keys;
}

// Refuses text with a character that has no single-byte Latin-1 form, and says so once per refusal.
// "Undo" or "Redo" and what it would undo or redo, cut short so that the button row keeps fitting a small
// screen; the whole text is the button's tool tip.
void ShowCommandText(QPushButton* button, const QString& verb, const QString& what) {
    const QString text = what.isEmpty() ? verb : verb + QLatin1Char(' ') + what;
    const QFontMetrics metrics = button->fontMetrics();
    button->setText(metrics.elidedText(text, Qt::ElideRight, metrics.horizontalAdvance(QString(24, 'x'))));
    button->setToolTip(text);
}

class Latin1Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c.unicode() > 0xFF) {
                refused = true;
                return Invalid;
            }
        return Acceptable;
    }
    mutable bool refused = false;
};

} // namespace

ActualizarEquipo::ActualizarEquipo(QWidget* parent) : QWidget(parent) {
    EditorState& g = Globals();
    session_ = OpenTeamEdit(g.TeamRecordBuffer);
    // The frame makes the one shared evaluator; a window opened without it (tests) makes it here.
    if (!g.Prices) g.Prices = std::make_shared<PriceEvaluator>();
    // Lists announce their first entry as they are built; none of that is an edit.
    showing_ = true;
    undo_ = new QUndoStack(this);
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));

    tabs_ = new QTabWidget;
    tabs_->setAccessibleName(QStringLiteral("Update Team"));
    tabs_->addTab(new ScrollPage(BuildGeneralTab()), QStringLiteral("&General"));
    tabs_->addTab(new ScrollPage(BuildKitTab(KitWhich::Main)), QStringLiteral("&Main Kit"));
    tabs_->addTab(new ScrollPage(BuildKitTab(KitWhich::Secondary)), QStringLiteral("&Secondary Kit"));
    // The Players tab scrolls its grid only: the price buttons under it stay in view.
    tabs_->addTab(BuildPlayersTab(), QStringLiteral("&Players"));

    hint_ = new QLabel;
    hint_->setAccessibleName(QStringLiteral("Hint"));
    SetTextColour(hint_, QColor(160, 0, 0));

    auto button = [this](const QString& text) {
        auto* b = new QPushButton(text);
        b->setAccessibleName(text);
        b->setAutoDefault(false);
        return b;
    };
    undoButton_ = button(QStringLiteral("Undo"));
    redoButton_ = button(QStringLiteral("Redo"));
    ok_ = button(QStringLiteral("OK"));
    cancel_ = button(QStringLiteral("Cancel"));
    help_ = button(QStringLiteral("Help"));
    undoButton_->setEnabled(false);
    redoButton_->setEnabled(false);
    connect(undoButton_, &QPushButton::clicked, undo_, &QUndoStack::undo);
    connect(redoButton_, &QPushButton::clicked, undo_, &QUndoStack::redo);
    connect(undo_, &QUndoStack::canUndoChanged, undoButton_, &QWidget::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, redoButton_, &QWidget::setEnabled);
    connect(undo_, &QUndoStack::undoTextChanged, this,
            [this](const QString& text) { ShowCommandText(undoButton_, QStringLiteral("Undo"), text); });
    connect(undo_, &QUndoStack::redoTextChanged, this,
            [this](const QString& text) { ShowCommandText(redoButton_, QStringLiteral("Redo"), text); });
    connect(ok_, &QPushButton::clicked, this, &ActualizarEquipo::Ok);
    connect(cancel_, &QPushButton::clicked, this, &ActualizarEquipo::Cancel);
    connect(help_, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(undoButton_);
    buttons->addWidget(redoButton_);
    buttons->addSpacing(12);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(hint_);
    layout->addLayout(buttons);

    WireShortcuts();
    ShowState(session_.state);
    showing_ = false;

    // The team file is already open for the browser; the clipboard file is made when missing.
    usesTeamFile_ = UseTeamFile();
    if (!usesTeamFile_) return; // the program is being stopped
    usesClipboardFile_ = UseClipboardFile();
}

ActualizarEquipo::~ActualizarEquipo() {
    CutChildConnections(this);
    ReleaseFiles();
}

void ActualizarEquipo::WireShortcuts() {
    auto shortcut = [this](const QKeySequence& keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { undo_->undo(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { undo_->redo(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { undo_->redo(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert), [this] { CopyRowToClipboard(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { ComputeRowPrice(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { ComputeRowOriginalPrice(); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { Cancel(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V), [this] { PasteHighlightedPlayer(); });
    // Ctrl+Tab steps through the tabs here rather than through the frame's windows.
    const auto step = [this](int by) {
        tabs_->setCurrentIndex((tabs_->currentIndex() + by + tabs_->count()) % tabs_->count());
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), [step] { step(1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [step] { step(-1); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [step] { step(-1); });
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

bool ActualizarEquipo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination().key() | (key->modifiers() & ~Qt::KeypadModifier));
        // Left unaccepted, the key goes to the window's shortcuts instead of the field's own undo or copy.
        if (WindowKeys().contains(pressed)) return true;
    }
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (watched != rows_[r].name) continue;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (CarriesPlayer(drag->mimeData()))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop:
            DropOnRow(r, static_cast<QDropEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ActualizarEquipo::Change(const QString& text, int mergeId,
                              const std::function<void(TeamEditState&)>& edit) {
    if (showing_) return;
    TeamEditState after = session_.state;
    edit(after);
    if (SameEdits(after, session_.state)) return;
    hint_->clear();
    // Undo and redo bring the tab of the change forward, so that the user sees what went back.
    undo_->push(new TeamEditCommand(text, mergeId, session_.state, std::move(after),
                                    [this, tab = tabs_->currentIndex()](const TeamEditState& s) {
                                        session_.state = s;
                                        ShowState(s);
                                        tabs_->setCurrentIndex(tab);
                                    }));
}

void ActualizarEquipo::WatchTextField(QLineEdit* field, int maxLength, const QString& stored,
                                      const std::function<void(const std::string&)>& store) {
    auto* validator = new Latin1Validator(field);
    field->setValidator(validator);
    // A stored text longer than the field is shown whole and kept as long as it is not edited.
    field->setMaxLength(std::max<int>(maxLength, static_cast<int>(stored.size())));
    connect(field, &QLineEdit::inputRejected, this, [this, validator] {
        if (!validator->refused) return;
        validator->refused = false;
        RefuseCharacter();
    });
    connect(field, &QLineEdit::textEdited, this, [store](const QString& text) {
        // The validator has let only Latin-1 through.
        store(text.toLatin1().toStdString());
    });
}

void ActualizarEquipo::RefuseCharacter() {
    const QString text =
        QStringLiteral("That character cannot be stored in the game's files: names take only "
                       "Latin-1 (ISO 8859-1) letters and signs.");
    hint_->setText(text);
    if (QWidget* f = QApplication::focusWidget())
        QToolTip::showText(f->mapToGlobal(QPoint(0, f->height())), text, f);
    QApplication::beep();
}

int ActualizarEquipo::FocusedRow() const {
    for (QWidget* w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
        const QVariant row = w->property("kivoRow");
        if (row.isValid()) return row.toInt();
    }
    return -1;
}

void ActualizarEquipo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    RestoreWindowPlacement(this, kPlacementFile, kSection);
    if (focusRow_ >= 0) {
        tabs_->setCurrentIndex(tabs_->count() - 1);
        // The Players tab's page is shown only after this event: its row takes the focus then.
        QMetaObject::invokeMethod(
            this, [this] { rows_[static_cast<std::size_t>(focusRow_)].name->setFocus(); }, Qt::QueuedConnection);
    } else {
        teamName_->setFocus();
    }
}

void ActualizarEquipo::FocusPlayerRow(int r) {
    if (r < 0 || r >= static_cast<int>(kPlayersPerTeam)) return;
    focusRow_ = r;
    // Already on screen: move there now.
    if (placed_) {
        tabs_->setCurrentIndex(tabs_->count() - 1);
        rows_[static_cast<std::size_t>(r)].name->setFocus();
    }
}

void ActualizarEquipo::Ok() {
    EditorState& g = Globals();
    const SaveOutcome saved = SaveEdits(*g.Backups, g.TeamFilePath,
                                        static_cast<std::uint64_t>(g.SelectedTeamIndex), session_.state);
    if (saved.failure == SaveOutcome::Failure::BackupRefused) {
        // Nothing was written: the edits stay in the window to be saved once the backup can be made.
        ShowMessage({QStringLiteral("ERROR"), QString::fromStdString(saved.text), MessageIcon::Error}, this);
        return;
    }
    g.TeamRecordBuffer = saved.record;
    if (saved.failure == SaveOutcome::Failure::WriteFailed) {
        ShowMessage({QStringLiteral("ERROR"), QString::fromStdString(saved.text), MessageIcon::Error}, this);
        StopProgram(QStringLiteral("Error Writing File"));
        return;
    }
    response_ = kResponseCompleted;
    CloseFrame();
}

bool ActualizarEquipo::ConfirmLeavingEdits() {
    if (!CancelNeedsQuestion(session_)) return true;
    const MessageButton answer =
        ShowMessage({QStringLiteral("ATENTION"), QStringLiteral("Are you sure you want to cancel ?"),
                     MessageIcon::Exclamation, MessageButton::Yes | MessageButton::No, MessageButton::Yes},
                    this);
    return answer == MessageButton::Yes;
}

void ActualizarEquipo::Cancel() {
    if (finished_) return;
    // The encoded edits are left in the record buffer, written nowhere.
    Globals().TeamRecordBuffer = EncodeEdits(session_.state);
    if (!ConfirmLeavingEdits()) return;
    response_ = kResponseCancelled;
    CloseFrame();
}

void ActualizarEquipo::CloseFrame() {
    // Inside the frame the window is the content of a subwindow: closing that closes both.
    leaving_ = true;
    TaskFrameOf(this)->close();
}

void ActualizarEquipo::closeEvent(QCloseEvent* event) {
    // The close box and the program's end lose unsaved edits as Cancel does, so they ask as Cancel asks;
    // No keeps the window, and with it the program, open.
    if (!finished_ && !leaving_ && !ConfirmLeavingEdits()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    if (finished_) return;
    finished_ = true;
    SaveWindowPlacement(this, kPlacementFile, kSection);
    ReleaseFiles();
    // The close box and the program's end leave the response at 0, which the caller gets as cancelled.
    const int response = response_ == kResponseCompleted ? kResponseCompleted : kResponseCancelled;
    Globals().GlobalResponse = response;
    FinishModal(this, response);
}

void ActualizarEquipo::ReleaseFiles() {
    if (usesClipboardFile_) ReleaseClipboardFile();
    if (usesTeamFile_) ReleaseTeamFile();
    usesClipboardFile_ = usesTeamFile_ = false;
}

void ActualizarEquipo::CopyRowToClipboard() {
    const int r = FocusedRow();
    if (r < 0) return;
    EditorState& g = Globals();
    g.TransferRecord = TransferFromRow(session_.state, static_cast<std::size_t>(r));
    // A failed add is silent: the clipboard is a convenience, the team is not touched.
    if (auto store = ClipboardStore::Open(g.ClipboardFilePath, true)) (void)store->Append(g.TransferRecord);
    PostClipboardRefresh();
}

void ActualizarEquipo::ComputeRowPrice() {
    const int r = FocusedRow();
    if (r < 0) return;
    Change(QStringLiteral("Compute Price of Row %1").arg(r + 1), kNoMerge, [r](TeamEditState& s) {
        kivo::ComputeRowPrice(s, static_cast<std::size_t>(r), *Globals().Prices, Globals().Formulas);
    });
}

void ActualizarEquipo::ComputeRowOriginalPrice() {
    const int r = FocusedRow();
    if (r < 0) return;
    Change(QStringLiteral("Compute Original Price of Row %1").arg(r + 1), kNoMerge,
           [r](TeamEditState& s) { kivo::ComputeRowOriginalPrice(s, static_cast<std::size_t>(r)); });
}

void ActualizarEquipo::DropOnRow(std::size_t r, QDropEvent* event) {
    if (!CarriesPlayer(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    PastePlayer(r, event->mimeData(), QStringLiteral("Drop Player on Row %1"));
}

void ActualizarEquipo::PastePlayer(std::size_t r, const QMimeData* data, const QString& undoText) {
    const std::optional<PlayerTransferRecord> player = AcceptPlayerDrop(data);
    if (!player) return; // the entry left the clipboard since the drag began
    Change(undoText.arg(r + 1), kNoMerge, [r, p = *player](TeamEditState& s) { DropPlayer(s, r, p); });
}

void ActualizarEquipo::PasteHighlightedPlayer() {
    // The keyboard's drop: the player highlighted in the clipboard window onto the focused row.
    const int r = FocusedRow();
    auto* clipboard = qobject_cast<VerPortapapeles*>(Globals().ClipboardThread.data());
    const std::unique_ptr<QMimeData> data(clipboard ? clipboard->DragDataOfHighlighted() : nullptr);
    if (r < 0 || !data) {
        hint_->setText(r < 0 ? QStringLiteral("Ctrl+Shift+V pastes onto the player row that has the cursor.")
                             : QStringLiteral("Ctrl+Shift+V pastes the player highlighted in the Players "
                                              "Clipboard: open it (Window menu) and highlight a player."));
        QApplication::beep();
        return;
    }
    PastePlayer(static_cast<std::size_t>(r), data.get(), QStringLiteral("Paste Player on Row %1"));
}

} // namespace kivo::editor
