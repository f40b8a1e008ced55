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

void ActualizarEquipo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    RestoreWindowPlacement(this, kPlacementFile, kSection);
    if (focusRow_ >= 0) {
        tabs_->setCurrentIndex(tabs_->count() - 1);
        // The Players tab's page is shown only after this event: its row takes the focus then.
        QMetaObject::invokeMethod(
            this, [this] { rows_[static_cast<std::size_t>(focusRow_)].name->setFocus(); },
            Qt::QueuedConnection);
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

} // namespace kivo::editor
