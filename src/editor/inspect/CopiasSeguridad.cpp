#include "editor/inspect/CopiasSeguridad.h"

#include <algorithm>
#include <filesystem>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/backups/Backups.h"
#include "core/inspect/DataFolder.h"
#include "core/inspect/Comparison.h"
#include "core/players/TeamRowsRefresh.h"
#include "core/settings/RecentDirectories.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/DirectoryField.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "CopiasSeguridad";
constexpr const char* kHelpKeyword = "Comparing and Restoring";

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// The players' rows of each restored league file follow it, marks kept; a database that does not know
// where its players stand (or is not there) is left to the next build.
QString RefreshPlayers(const std::string& directory, const std::vector<std::string>& restored) {
    std::error_code ec;
    if (!std::filesystem::exists(PlayerDatabasePath(), ec)) return {};
    auto database = PlayerDatabase::Open(PlayerDatabasePath(), false);
    if (!database) return Latin1(database.error().text);
    auto keeps = DatabaseKeepsPlayerPlaces(*database);
    if (!keeps || !*keeps) return {};
    for (const std::string& name : restored) {
        if (GameFileKindOf(name) != GameFileKind::League) continue;
        const int number = std::stoi(name.substr(5));
        auto done = RefreshFileRows(*database, (std::filesystem::path(directory) / name).string(), number);
        if (!done) return Latin1(done.error().text);
    }
    return {};
}

} // namespace

CopiasSeguridad::CopiasSeguridad(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Backups"));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));
    auto* prompt = new QLabel(QStringLiteral("Game Files Directory:"));
    directory_ =
        new DirectoryField(QString::fromStdString(StartingDataDirectory(VentanasPath())), prompt->text());
    prompt->setBuddy(directory_->comboBox());
    auto* show = new QPushButton(QStringLiteral("Show Backups"));
    runs_ = new QTreeWidget;
    runs_->setAccessibleName(QStringLiteral("Backup Runs"));
    runs_->setHeaderLabels({QStringLiteral("Run (newest first) and its files")});
    changes_ = new QListWidget;
    changes_->setAccessibleName(QStringLiteral("Changes since the run"));
    status_ = new QLabel;
    status_->setWordWrap(true);
    status_->setAccessibleName(QStringLiteral("Status"));
    restore_ = new QPushButton(QStringLiteral("Restore"));
    restore_->setToolTip(QStringLiteral("Put back the ticked files of the chosen run (all of them when none "
                                        "is ticked); the current files are backed up first"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    auto* help = new QPushButton(QStringLiteral("Help"));
    for (QPushButton* b : {show, restore_, close, help})
        b->setAccessibleName(b->text());

    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(directory_, 1);
    row->addWidget(show);
    auto* split = new QSplitter;
    split->addWidget(runs_);
    split->addWidget(changes_);
    split->setStretchFactor(1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(restore_);
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(split, 1);
    layout->addLayout(buttons);
    resize(900, 460);

    connect(show, &QPushButton::clicked, this, &CopiasSeguridad::Reload);
    connect(directory_->lineEdit(), &QLineEdit::returnPressed, this, &CopiasSeguridad::Reload);
    connect(runs_, &QTreeWidget::currentItemChanged, this, [this] { ShowChanges(); });
    connect(restore_, &QPushButton::clicked, this, &CopiasSeguridad::Restore);
    connect(close, &QPushButton::clicked, this, [this] { TaskFrameOf(this)->close(); });
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });
}

QLineEdit* CopiasSeguridad::directoryEntry() const {
    return directory_->lineEdit();
}

std::string CopiasSeguridad::Directory() const {
    return UsableDirectory(TrimRight(directory_->text().toStdString()));
}

void CopiasSeguridad::Reload() {
    runs_->clear();
    changes_->clear();
    auto runs = ListBackupRuns(Directory());
    if (!runs) {
        status_->setText(Latin1(runs.error().text));
        restore_->setEnabled(false);
        return;
    }
    DirectoryField::Remember(directory_->text());
    std::reverse(runs->begin(), runs->end());
    for (const BackupRunListing& run : *runs) {
        auto* item = new QTreeWidgetItem(runs_, {QString::fromStdString(run.name)});
        for (const std::string& file : run.files) {
            auto* child = new QTreeWidgetItem(item, {Latin1(file)});
            child->setCheckState(0, Qt::Unchecked);
        }
    }
    runs_->expandAll();
    restore_->setEnabled(!runs->empty());
    status_->setText(runs->empty() ? QStringLiteral("No backups in this directory.")
                                   : QStringLiteral("%1 run(s) kept.").arg(runs->size()));
    if (runs_->topLevelItemCount() > 0) runs_->setCurrentItem(runs_->topLevelItem(0));
}

std::string CopiasSeguridad::ChosenRun() const {
    QTreeWidgetItem* item = runs_->currentItem();
    if (!item) return {};
    if (item->parent()) item = item->parent();
    return item->text(0).toStdString();
}

std::vector<std::string> CopiasSeguridad::ChosenFiles() const {
    QTreeWidgetItem* item = runs_->currentItem();
    if (!item) return {};
    if (item->parent()) item = item->parent();
    std::vector<std::string> ticked, all;
    for (int i = 0; i < item->childCount(); ++i) {
        const std::string name = item->child(i)->text(0).toLatin1().toStdString();
        all.push_back(name);
        if (item->child(i)->checkState(0) == Qt::Checked) ticked.push_back(name);
    }
    return ticked.empty() ? all : ticked;
}

void CopiasSeguridad::ShowChanges() {
    changes_->clear();
    const std::string run = ChosenRun();
    if (run.empty()) return;
    auto diffs = DiffBackupRun(Directory(), run);
    if (!diffs) {
        changes_->addItem(Latin1(diffs.error().text));
        return;
    }
    if (diffs->empty()) changes_->addItem(QStringLiteral("Nothing has changed since this run."));
    for (const GameFileDifference& d : *diffs)
        changes_->addItem(Latin1(DifferenceLine(d)));
}

void CopiasSeguridad::Restore() {
    const std::string run = ChosenRun();
    const std::vector<std::string> files = ChosenFiles();
    if (run.empty() || files.empty()) return;
    EditorState& g = Globals();
    // A team window still open would write its own, older, copy of a team over what is restored.
    if (g.CatalogueOpen || g.TeamFileUseCount > 0) {
        ShowInformation(
            QStringLiteral("ERROR"),
            QStringLiteral("Close the \"Team Files\" window and every team window first: they hold "
                           "teams as they are now, and saving one would undo the restore."),
            this);
        return;
    }
    QStringList names;
    for (const std::string& f : files)
        names << Latin1(f);
    const MessageButton answer = ShowMessage(
        {QStringLiteral("ATENTION"),
         QStringLiteral(
             "Put back %1 file(s) as they were in the run %2:\n%3\nThe current files are backed up "
             "first. Do you want to restore them ?")
             .arg(files.size())
             .arg(QString::fromStdString(run), names.join(QStringLiteral(", "))),
         MessageIcon::Exclamation, MessageButton::Yes | MessageButton::No, MessageButton::No},
        this);
    if (answer != MessageButton::Yes) return;
    // A run of its own: the editor's run may have copied a file before this session's edits, and would not
    // copy it again, so the edits would be lost.
    BackupRun restoreRun;
    auto restored = RestoreBackupRun(Directory(), run, files, restoreRun);
    if (!restored) {
        ShowMessage({QStringLiteral("ERROR"), Latin1(restored.error().text), MessageIcon::Error}, this);
        Reload();
        return;
    }
    QString text = QStringLiteral("Restored: %1.").arg(names.join(QStringLiteral(", ")));
    if (!restored->empty())
        text += QStringLiteral("\nThe files as they were before the restore are in ") +
                QString::fromStdString(
                    restoreRun.BackupPathFor(std::filesystem::path(Directory()) / restored->front())
                        .parent_path()
                        .string()) +
                QStringLiteral(".");
    if (const QString failed = RefreshPlayers(Directory(), *restored); !failed.isEmpty())
        text += QStringLiteral("\nThe players' file could not follow: ") + failed +
                QStringLiteral(" Update it from the restored files.");
    ShowInformation(QStringLiteral("Backups"), text, this);
    Reload();
}

void CopiasSeguridad::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    RestoreWindowPlacement(this, kPlacementFileName, kSection);
    Reload();
    runs_->setFocus();
}

void CopiasSeguridad::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        SaveWindowPlacement(this, kPlacementFileName, kSection);
    }
    QWidget::closeEvent(event);
}

void StartCopiasSeguridad() {
    OpenTaskWindow(new CopiasSeguridad);
}

} // namespace kivo::editor
