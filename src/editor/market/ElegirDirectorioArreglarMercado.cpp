#include "editor/market/ElegirDirectorioArreglarMercado.h"

#include <filesystem>

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
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"
#include "editor/market/MarketProgress.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "ElegirDirectorioArreglarMercado";
constexpr const char* kHelpKeyword = "Fixing Foreign Market";

QString Path(const std::string& path) {
    return QString::fromStdString(path);
}

// The copies of the files as they were, as they lie now in the directory (letter case as found).
QStringList BackupsIn(const std::string& directory) {
    const QStringList files = QDir(Path(TrimRight(directory))).entryList(QDir::Files, QDir::Name);
    QStringList found;
    for (const char* name : {"Eurocup.bak", "Uefacup.bak", "Eurocwc.bak", "POOLPLYR.BAK"})
        for (const QString& file : files)
            if (file.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
                found << file;
                break;
            }
    return found;
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
    else
        text += QStringLiteral("Pool entries refreshed: %1, left as they were: %2.\n")
                    .arg(r.poolEntriesRewritten)
                    .arg(r.poolEntries - r.poolEntriesRewritten);
    const QString dir = QDir::toNativeSeparators(Path(TrimRight(directory)));
    const QStringList backups = BackupsIn(directory);
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
    directory_ = new QLineEdit(Path(Globals().BatchDataDirectory));
    directory_->setMaxLength(255);
    directory_->setMinimumWidth(340);
    directory_->setToolTip(QStringLiteral("Directorio donde están los archivos"));
    directory_->setStatusTip(directory_->toolTip());
    directory_->setAccessibleName(QStringLiteral("Team Files Directory:"));
    prompt->setBuddy(directory_);
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

    connect(directory_, &QLineEdit::textChanged, this,
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
    const std::string directory = Globals().BatchDataDirectory;
    // The fix is a run of its own with its own copies: the worker must not share the frame's run, which the
    // team editors use on the GUI thread meanwhile.
    auto backups = std::make_shared<BackupRun>();
    QPointer<ElegirDirectorioArreglarMercado> self(this);
    RunWithProgress<MarketFixReport>(
        this, QStringLiteral("Fixing Cups"), false,
        [directory, backups](Progress& progress) {
            MarketProgress labelled(progress);
            return ArreglarMercado(directory, *backups, labelled);
        },
        [self, directory, backups](MarketFixReport report) {
            // The worker is done with the run: where its copies went can be asked now.
            const std::filesystem::path pool = std::filesystem::path(TrimRight(directory)) / "POOLPLYR.DAT";
            if (self) self->Finished(report, directory, backups->BackupPathFor(pool).parent_path().string());
        });
}

void ElegirDirectorioArreglarMercado::Finished(const MarketFixReport& report, const std::string& directory,
                                               const std::string& runFolder) {
    for (const std::string& message : report.messages)
        ShowInformation(QStringLiteral("ERROR"), QString::fromLatin1(message.c_str()), this);
    ShowInformation(QStringLiteral("Fixing Market"), MarketFixSummary(report, directory, runFolder), this);
    Globals().GlobalResponse = kResponseCompleted;
    CloseTask();
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
