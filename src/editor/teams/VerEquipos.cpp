#include "editor/teams/VerEquipos.h"

#include <algorithm>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/gamefiles/TeamFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FileLookup.h"
#include "core/support/FixedText.h"
#include "core/teams/SaveTeam.h"
#include "core/teams/TeamTransferFile.h"
#include "editor/rosters/RosterDialogs.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/ImprimeEquipo.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/StopProgram.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "VerEquipos";
constexpr const char* kCannotOpen = "File can not be opened";

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

void ShowError(const std::string& text, QWidget* parent) {
    ShowMessage({QStringLiteral("ERROR"), QString::fromStdString(text), MessageIcon::Information,
                 MessageButton::Ok, MessageButton::Ok},
                parent);
}

// A failed read or write of a team ends the whole program after the error box.
void StopOnFileError(const Error& error, QWidget* parent) {
    ShowError(error.text, parent);
    StopProgram(QString::fromLatin1(kCannotOpen));
}

// The icon buttons' pictures, drawn here: a pencil, two sheets and a clipboard.
enum class Glyph { Edit, Copy, Paste };

QIcon DrawIcon(Glyph which) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    switch (which) {
    case Glyph::Edit: // a pencil over a sheet
        p.setBrush(Qt::white);
        p.drawRect(5, 4, 18, 24);
        p.setBrush(QColor(230, 180, 40));
        p.drawPolygon(QPolygonF({QPointF(14, 24), QPointF(27, 9), QPointF(30, 12), QPointF(17, 27)}));
        p.setBrush(QColor(40, 40, 40));
        p.drawPolygon(QPolygonF({QPointF(14, 24), QPointF(17, 27), QPointF(12, 29)}));
        break;
    case Glyph::Copy: // two sheets
        p.setBrush(QColor(225, 230, 245));
        p.drawRect(4, 3, 15, 19);
        p.setBrush(Qt::white);
        p.drawRect(12, 10, 15, 19);
        break;
    case Glyph::Paste: // a clipboard with a sheet
        p.setBrush(QColor(180, 130, 70));
        p.drawRoundedRect(4, 5, 20, 24, 2, 2);
        p.setBrush(QColor(150, 150, 160));
        p.drawRect(9, 2, 10, 6);
        p.setBrush(Qt::white);
        p.drawRect(14, 12, 14, 18);
        break;
    }
    return QIcon(pixmap);
}

QPushButton* IconButton(const QIcon& icon, const QString& tip) {
    auto* button = new QPushButton;
    button->setIcon(icon);
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(34, 34);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

QPushButton* TextButton(const QString& text, const QString& name) {
    auto* button = new QPushButton(text);
    button->setAccessibleName(name);
    return button;
}

} // namespace

void CloseFrameToo(QWidget* window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (!sub || sub->widget() != window) return;
    // Later, once this close is over; a frame that is going away already drops the call.
    QMetaObject::invokeMethod(sub, &QWidget::close, Qt::QueuedConnection);
}

VerEquipos::VerEquipos(std::vector<TeamRow> rows, QWidget* parent) : QWidget(parent), rows_(std::move(rows)) {
    setWindowTitle(QStringLiteral("Browse Teams"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/botequip.svg")));
    SetHelpKeyword(this, QStringLiteral("Browsing Teams"));

    list_ = new QTreeWidget;
    list_->setAccessibleName(QStringLiteral("Browse Teams"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHeaderLabels({"Country", "Team Name", "Division", "Coach", "Points"});
    list_->header()->setDefaultAlignment(Qt::AlignCenter);
    list_->header()->setSectionsMovable(false);
    for (std::size_t n = 0; n < rows_.size(); ++n)
        ShowRow(int(n), rows_[n]);
    // The columns' widths in dialog units (a quarter of the average character width each), widened to
    // their longest text; the user may resize them.
    const int unit = fontMetrics().averageCharWidth();
    const int widths[] = {27, 79, 42, 95, 52};
    for (int c = 0; c < 5; ++c) {
        list_->resizeColumnToContents(c);
        list_->setColumnWidth(c, std::max(widths[c] * unit / 4 + 12, list_->columnWidth(c) + 12));
    }
    list_->header()->setStretchLastSection(false);
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { EditTeam(); });

    edit_ = IconButton(DrawIcon(Glyph::Edit), QStringLiteral("Edit Team"));
    copy_ = IconButton(DrawIcon(Glyph::Copy), QStringLiteral("Copy Team"));
    paste_ = IconButton(DrawIcon(Glyph::Paste), QStringLiteral("Paste Team"));
    print_ = IconButton(QIcon(QStringLiteral(":/icons/print.svg")), QStringLiteral("Print Team"));
    close_ = TextButton(QStringLiteral("&Close"), QStringLiteral("Close"));
    help_ = TextButton(QStringLiteral("&Help"), QStringLiteral("Help"));
    saveToFile_ = TextButton(QString::fromUtf8("Save Team to File\u2026"),
                             QString::fromUtf8("Save Team to File\u2026"));
    loadFromFile_ = TextButton(QString::fromUtf8("Load Team from File\u2026"),
                               QString::fromUtf8("Load Team from File\u2026"));
    connect(saveToFile_, &QPushButton::clicked, this, &VerEquipos::SaveTeamToFile);
    connect(loadFromFile_, &QPushButton::clicked, this, &VerEquipos::LoadTeamFromFile);
    paste_->setEnabled(HoldsCopiedTeam(Globals().TeamCopyBuffer));
    connect(edit_, &QPushButton::clicked, this, &VerEquipos::EditTeam);
    connect(copy_, &QPushButton::clicked, this, &VerEquipos::CopyTeam);
    connect(paste_, &QPushButton::clicked, this, &VerEquipos::PasteTeam);
    connect(print_, &QPushButton::clicked, this, &VerEquipos::PrintTeam);
    connect(help_, &QPushButton::clicked, this, [this] { ShowHelp(HelpKeywordOf(this)); });
    connect(close_, &QPushButton::clicked, this, [this] { TaskFrameOf(this)->close(); });

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {edit_, copy_, paste_, print_, saveToFile_, loadFromFile_})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close_);
    buttons->addWidget(help_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    // Wide enough for every column, and a scroll bar beside them.
    int columns = 2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < 5; ++c)
        columns += list_->columnWidth(c);
    const QMargins margins = layout->contentsMargins();
    resize(std::max(560, columns + margins.left() + margins.right()), 380);

    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    list_->setFocus();
}

void VerEquipos::ShowRow(int n, const TeamRow& row) {
    QTreeWidgetItem* item = list_->topLevelItem(n);
    if (!item) {
        item = new QTreeWidgetItem;
        list_->addTopLevelItem(item);
    }
    item->setText(0, QString::number(row.country));
    item->setText(1, Latin1(row.teamName));
    item->setText(2, Latin1(row.division));
    item->setText(3, Latin1(row.coach));
    item->setText(4, QString::number(row.points));
}

int VerEquipos::SelectedRow() const {
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

bool VerEquipos::ReadChosenTeam(int k) {
    Result<TeamRecord> team = ReadTeam(Globals().TeamFilePath, std::uint64_t(k));
    if (!team) {
        StopOnFileError(team.error(), this);
        return false;
    }
    Globals().TeamRecordBuffer = *team;
    Globals().SelectedTeamIndex = k;
    return true;
}

void VerEquipos::EditTeam() {
    const int k = SelectedRow();
    if (k < 0 || !ReadChosenTeam(k)) return;
    OpenModalOnTask(this, new ActualizarEquipo, [this, k](int response) {
        if (response == kResponseCompleted && k < int(rows_.size())) {
            // The editor leaves the saved record in the buffer.
            rows_[k] = MakeTeamRow(Globals().TeamRecordBuffer, rows_[k].division);
            ShowRow(k, rows_[k]);
        }
        list_->setFocus();
    });
}

void VerEquipos::PrintTeam() {
    const int k = SelectedRow();
    if (k < 0 || !ReadChosenTeam(k)) return;
    ImprimeEquipo(this, [this] { list_->setFocus(); });
}

void VerEquipos::CopyTeam() {
    const int k = SelectedRow();
    if (k < 0 || !ReadChosenTeam(k)) return;
    Globals().TeamCopyBuffer = TeamCopyBufferOf(Globals().TeamRecordBuffer);
    paste_->setEnabled(true);
}

void VerEquipos::PasteTeam() {
    const int k = SelectedRow();
    if (k < 0 || !HoldsCopiedTeam(Globals().TeamCopyBuffer)) return;
    PasteOver(k, Globals().TeamCopyBuffer);
}

void VerEquipos::SaveTeamToFile() {
    const int k = SelectedRow();
    if (k < 0) return;
    const QString out = ChoosePath(this, PathKind::SaveFile, QStringLiteral("Save Team to File"),
                                   QStringLiteral("Saved teams (*.kteam)"), QStringLiteral("team.kteam"));
    if (out.isEmpty()) return;
    if (Status saved = kivo::SaveTeamToFile(Globals().TeamFilePath, std::uint64_t(k), out.toStdString());
        !saved)
        ShowError(saved.error().text, this);
}

void VerEquipos::LoadTeamFromFile() {
    const int k = SelectedRow();
    if (k < 0) return;
    const QString in = ChoosePath(this, PathKind::OpenFile, QStringLiteral("Load Team from File"),
                                  QStringLiteral("Saved teams (*.kteam)"), {});
    if (in.isEmpty()) return;
    auto saved = ReadTeamTransferFile(in.toStdString());
    if (!saved) return ShowError(saved.error().text, this);
    PasteOver(k, std::string(saved->bytes.begin(), saved->bytes.end()));
}

void VerEquipos::PasteOver(int k, const std::string& buffer) {
    const MessageButton answer = ShowMessage(
        {QStringLiteral("ATENTION"), QStringLiteral("You are going to overwrite the Team, are you sure ?"),
         MessageIcon::Exclamation, MessageButton::Ok | MessageButton::Cancel, MessageButton::Ok},
        this);
    if (answer != MessageButton::Ok || !ReadChosenTeam(k)) return;
    const TeamRecord pasted = PastedTeam(buffer, Globals().TeamRecordBuffer);
    EditorState& g = Globals();
    // A refused backup writes nothing and leaves the program running; a failed write stops it.
    const TeamSaveResult saved = SaveTeam(*g.Backups, TrimRight(g.TeamFilePath), std::uint64_t(k), pasted);
    if (saved.failure == TeamSaveResult::Failure::BackupRefused) {
        ShowError(saved.error.text, this);
        return;
    }
    if (saved.failure == TeamSaveResult::Failure::WriteFailed) {
        StopOnFileError(saved.error, this);
        return;
    }
    g.TeamRecordBuffer = pasted;
    rows_[k] = MakeTeamRow(pasted, rows_[k].division);
    ShowRow(k, rows_[k]);
}

bool VerEquipos::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditTeam();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void VerEquipos::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        ReleaseTeamFile();
        SaveWindowPlacement(this, kPlacementFileName, kSection);
        FinishModal(this, kResponseCancelled);
        CloseFrameToo(this);
    }
    QWidget::closeEvent(event);
}

VerEquipos* StartVerEquipos(QWidget* task, std::function<void(int)> continuation) {
    EditorState& g = Globals();
    // The first open only tests that the file is there and can be written.
    if (!TeamFile::Open(g.TeamFilePath, TeamFile::Mode::ReadWrite)) {
        ShowMessage(
            {QStringLiteral("ERROR"),
             QStringLiteral("The TEAM file you have chosen is not available !.\n\nIt may happen because "
                            "you have not pressed Refresh button after setting the TEAM files directory. "
                            "So press Refresh button and try again."),
             MessageIcon::Information, MessageButton::Ok, MessageButton::Ok},
            task);
        return nullptr;
    }
    if (!UseTeamFile()) return nullptr;
    if (Status header = CheckTeamFileHeader(g.TeamFilePath); !header) {
        ReleaseTeamFile();
        StopOnFileError(header.error(), task);
        return nullptr;
    }
    if (IsCupFile(g.TeamFilePath))
        ShowMessage({QStringLiteral("WARNING"), QStringLiteral("This is a Cup file"),
                     MessageIcon::Information, MessageButton::Ok, MessageButton::Ok},
                    task);
    Result<std::vector<TeamRecord>> teams = ReadTeams(g.TeamFilePath);
    if (!teams) {
        ReleaseTeamFile();
        StopOnFileError(teams.error(), task);
        return nullptr;
    }
    auto* browser = new VerEquipos(MakeTeamRows(*teams));
    OpenModalOnTask(task, browser, std::move(continuation));
    RestoreWindowPlacement(browser, kPlacementFileName, kSection);
    browser->list()->setFocus();
    return browser;
}

} // namespace kivo::editor
