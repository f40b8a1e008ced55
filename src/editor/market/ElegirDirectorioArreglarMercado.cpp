#include "editor/market/ElegirDirectorioArreglarMercado.h"

#include <filesystem>

#include <QComboBox>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/backups/Backups.h"
#include "core/settings/RecentDirectories.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/market/MarketProgress.h"
#include "editor/ui/DirectoryField.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "ElegirDirectorioArreglarMercado";
constexpr const char* kHelpKeyword = "Fixing Foreign Market";

QString Path(const std::string& path) {
    return QString::fromStdString(path);
}

} // namespace

QString MarketFixSummary(const MarketFixReport& r, const std::string& directory,
                         const std::string& runFolder) {
    QString text = r.stopped
                       ? QStringLiteral("The market fix stopped early; what it did before stays done.\n")
                       : QStringLiteral("The market fix is done.\n");
    text += QStringLiteral("Cup teams refreshed: %1, skipped: %2.\n")
                .arg(r.cupTeamsRewritten)
                .arg(r.cupTeams - r.cupTeamsRewritten);
    if (r.poolMissing)
        text += QStringLiteral("No POOLPLYR.DAT was found: the market pool was not changed.\n");
    else if (r.poolUnopenable)
        text += QStringLiteral("POOLPLYR.DAT could not be opened (") + Path(r.poolOpenFailure) +
                QStringLiteral("): the market pool was not changed.\n");
    else
        text += QStringLiteral("Pool entries refreshed: %1, left as they were: %2.\n")
                    .arg(r.poolEntriesRewritten)
                    .arg(r.poolEntries - r.poolEntriesRewritten);
    const QString dir = QDir::toNativeSeparators(Path(TrimRight(directory)));
    QStringList backups;
    for (const std::string& written : r.backupsWritten)
        backups << Path(std::filesystem::path(written).filename().string());
    if (backups.isEmpty())
        text += QStringLiteral("No backup was written.");
    else
        text += QStringLiteral("Backups of the files as they were: ") + backups.join(QStringLiteral(", ")) +
                QStringLiteral(" in ") + dir + QStringLiteral(".");
    // The fix's own run of copies in kivo-backups/, when it made one.
    const std::filesystem::path run(runFolder);
    std::error_code ec;
    if (!runFolder.empty() && std::filesystem::is_directory(run, ec))
        text += QStringLiteral("\nCopies made before the first change in this run: ") +
                QDir::toNativeSeparators(Path(run.string())) + QStringLiteral(".");
    return text;
}

void StartElegirDirectorioArreglarMercado() {
    auto* chooser = new ElegirDirectorioArreglarMercado;
    OpenTaskWindow(chooser);
    RestoreWindowPlacement(chooser, kPlacementFileName, kSection);
}

ElegirDirectorioArreglarMercado::ElegirDirectorioArreglarMercado() {
    setWindowTitle(QStringLiteral("Start Fixing Market"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/mercado.svg")));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));

    auto* prompt = new QLabel(QStringLiteral("Team Files Directory:"));
    // The field starts at the configured game directory (else the last one used); it is the global.
    Globals().BatchDataDirectory = StartingDataDirectory(VentanasPath());
    directory_ = new DirectoryField(Path(Globals().BatchDataDirectory), prompt->text());
    directory_->setMinimumWidth(340);
    directory_->lineEdit()->setToolTip(QStringLiteral("Directorio donde están los archivos"));
    directory_->lineEdit()->setStatusTip(directory_->lineEdit()->toolTip());
    prompt->setBuddy(directory_->comboBox());
    auto* help = new QPushButton(QStringLiteral("Help"));
    begin_ = new QPushButton(QStringLiteral("Begin Fixing Market"));
    begin_->setToolTip(QStringLiteral("Begin Fixing Foreign Market"));
    begin_->setStatusTip(begin_->toolTip());
    begin_->setDefault(true);
    close_ = new QPushButton(QStringLiteral("Close"));
    for (QPushButton* b : {help, begin_, close_})
        b->setAccessibleName(b->text());

    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(directory_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(begin_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(520, 130);

    connect(directory_, &DirectoryField::textChanged, this,
            [](const QString& text) { Globals().BatchDataDirectory = text.toStdString(); });
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });
    connect(begin_, &QPushButton::clicked, this, &ElegirDirectorioArreglarMercado::Begin);
    connect(close_, &QPushButton::clicked, this, &ElegirDirectorioArreglarMercado::CloseTask);
}

void ElegirDirectorioArreglarMercado::Begin() {
    const MessageButton answer = ShowMessage(
        {QStringLiteral("ATENTION"),
         QStringLiteral("This process will correct your foreign market (a copy of the current files, will be "
                        "created with extension BAK as a backup).\nDo you want to start it now ?"),
         MessageIcon::Exclamation, MessageButton::Yes | MessageButton::No, MessageButton::Yes},
        this);
    if (answer != MessageButton::Yes) {
        CloseTask();
        return;
    }
    // The worker gets its own copy of the directory; the entry may change while it runs.
    DirectoryField::Remember(directory_->text());
    const std::string directory = UsableDirectory(Globals().BatchDataDirectory);
    // The fix is a run of its own with its own copies: the worker must not share the frame's run, which the
    // team editors use on the GUI thread meanwhile.
    auto backups = std::make_shared<BackupRun>();
    QPointer<ElegirDirectorioArreglarMercado> self(this);
    RunWithProgress<MarketFixReport>(
        this, QStringLiteral("Fixing Cups"), false,
        [directory, backups, self](Progress& progress) {
            MarketProgress labelled(progress);
            // Each message shows when it arises, the fix waiting on the worker until it is answered.
            const MarketMessageSink tell = [self](const std::string& message) {
                QMetaObject::invokeMethod(
                    qApp,
                    [self, text = QString::fromLatin1(message.c_str())] {
                        ShowInformation(QStringLiteral("ERROR"), text, self);
                    },
                    Qt::BlockingQueuedConnection);
            };
            return ArreglarMercado(directory, *backups, labelled, tell);
        },
        [self, directory, backups](MarketFixReport report) {
            // The worker is done with the run: where its copies went can be asked now.
            const std::filesystem::path pool = std::filesystem::path(TrimRight(directory)) / "POOLPLYR.DAT";
            if (self) self->Finished(report, directory, backups->BackupPathFor(pool).parent_path().string());
        });
}

void ElegirDirectorioArreglarMercado::Finished(const MarketFixReport& report, const std::string& directory,
                                               const std::string& runFolder) {
    // The ERROR messages were shown as they arose; the summary comes last.
    ShowInformation(QStringLiteral("Fixing Market"), MarketFixSummary(report, directory, runFolder), this);
    Globals().GlobalResponse = kResponseCompleted;
    CloseTask();
}

QLineEdit* ElegirDirectorioArreglarMercado::directoryEntry() const {
    return directory_->lineEdit();
}

void ElegirDirectorioArreglarMercado::CloseTask() {
    TaskFrameOf(this)->close();
}

void ElegirDirectorioArreglarMercado::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        SaveWindowPlacement(this, kPlacementFileName, kSection);
    }
    QWidget::closeEvent(event);
}

} // namespace kivo::editor
