#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"

#include <QComboBox>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/players/CrearArchivoJugadores.h"
#include "core/settings/RecentDirectories.h"
#include "editor/players/MarkingProgress.h"
#include "editor/players/PlayersWindowSupport.h"
#include "editor/ui/CheckOpen.h"
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

const char* const kSection = "ElegirDirectorioCrearArchivoJugadores";
const char* const kHelpKeyword = "Creating the Players File";

} // namespace

void StartElegirDirectorioCrearArchivoJugadores() {
    OpenTaskWindow(new ElegirDirectorioCrearArchivoJugadores);
}

ElegirDirectorioCrearArchivoJugadores::ElegirDirectorioCrearArchivoJugadores(QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("Start Creating File"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/creatodo.svg")));
    setStatusTip(QStringLiteral("Create An All Players File"));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));

    // The field starts at the configured game directory (else the last one used); it is the global.
    Globals().BatchDataDirectory = StartingDataDirectory(VentanasPath());
    directory_ =
        new DirectoryField(QFile::decodeName(QByteArray::fromStdString(Globals().BatchDataDirectory)),
                           QStringLiteral("Team Files Directory:"));
    directory_->setMinimumWidth(300);
    // Bound to the global: what is typed is what the build scans.
    connect(directory_, &DirectoryField::textChanged, this, [](const QString& text) {
        Globals().BatchDataDirectory = QFile::encodeName(text).toStdString();
    });
    auto* prompt = new QLabel(QStringLiteral("Team Files Directory:"));
    prompt->setBuddy(directory_->comboBox());
    auto* help = new QPushButton(QStringLiteral("Help"));
    begin_ = new QPushButton(QStringLiteral("Begin Creating File"));
    begin_->setToolTip(QStringLiteral("Begin Creating File with all the Players"));
    close_ = new QPushButton(QStringLiteral("Close"));
    for (QPushButton* b : {help, begin_, close_})
        b->setAccessibleName(b->text());
    begin_->setDefault(true);
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });
    connect(begin_, &QPushButton::clicked, this, &ElegirDirectorioCrearArchivoJugadores::Begin);
    connect(close_, &QPushButton::clicked, this, &ElegirDirectorioCrearArchivoJugadores::CloseFrame);

    auto* entry = new QHBoxLayout;
    entry->addWidget(prompt);
    entry->addWidget(directory_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(begin_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(460, 110);
}

QLineEdit* ElegirDirectorioCrearArchivoJugadores::directoryEntry() const {
    return directory_->lineEdit();
}

QString BuildSummary(const PlayerDatabaseBuildSummary& summary) {
    QString text =
        QStringLiteral("The file with all the players is built: %1 players of %2 teams, from %3 team "
                       "files read.")
            .arg(summary.rows)
            .arg(summary.teams)
            .arg(summary.filesRead);
    if (summary.stoppedAtFile > 0)
        text += QStringLiteral("\nThe header of TEAM.%1 could not be read: the files after it were not read.")
                    .arg(summary.stoppedAtFile, 3, 10, QLatin1Char('0'));
    for (const std::string& skipped : summary.skipped)
        text += QStringLiteral("\nSkipped: ") + QString::fromLocal8Bit(skipped.c_str());
    if (!summary.damagedKeptAs.empty())
        text += QStringLiteral("\nThe old file was damaged; it is kept as ") +
                QString::fromLocal8Bit(summary.damagedKeptAs.c_str()) + QStringLiteral(".");
    return text;
}

void ElegirDirectorioCrearArchivoJugadores::CloseFrame() {
    CloseWithFrame(this);
}

void ElegirDirectorioCrearArchivoJugadores::Begin() {
    if (building_) return;
    MessageSpec question;
    question.title = QStringLiteral("ATENTION");
    question.text =
        QStringLiteral("This process could take ABOUT AN HOUR (or more) depending on the computer.\n"
                       "It makes the file with all the players anew: ALL THE MARKS are lost.\n"
                       "Do you want to start it anyway ?");
    question.icon = MessageIcon::Exclamation;
    question.buttons = MessageButton::Yes | MessageButton::No;
    question.defaultButton = MessageButton::Yes;
    if (ShowMessage(question, window()) != MessageButton::Yes) {
        CloseFrame();
        return;
    }

    building_ = true;
    DirectoryField::Remember(directory_->text());
    const std::string database = PlayerDatabasePath();
    const std::string directory = UsableDirectory(Globals().BatchDataDirectory);
    std::function<Result<PlayerDatabaseBuildSummary>(Progress&)> job = [database, directory](Progress& p) {
        HookedProgress hooked(p);
        return CrearArchivoJugadores(database, directory, hooked);
    };
    std::function<void(Result<PlayerDatabaseBuildSummary>)> finish =
        [self = QPointer<ElegirDirectorioCrearArchivoJugadores>(this)](Result<PlayerDatabaseBuildSummary> r) {
            // A build that could not write the database says so: the old contents are still there.
            QWidget* parent = self ? self->window() : nullptr;
            if (!r)
                ShowInformation(QStringLiteral("ERROR"), QString::fromLocal8Bit(r.error().text.c_str()),
                                parent);
            else
                ShowInformation(QStringLiteral("Creating File"), BuildSummary(*r), parent);
            if (!self) return;
            self->building_ = false;
            self->built_ = r.ok();
            self->CloseFrame();
        };
    RunWithProgress<Result<PlayerDatabaseBuildSummary>>(this, QStringLiteral("Creating File"), false, job,
                                                        finish);
}

void ElegirDirectorioCrearArchivoJugadores::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOnFirstShow(this, kSection, placed_, false);
}

void ElegirDirectorioCrearArchivoJugadores::closeEvent(QCloseEvent* event) {
    if (building_) {
        // The build has no cancel; the window goes when it is done.
        event->ignore();
        return;
    }
    SaveWindowPlacement(this, "zeltra.ini", kSection);
    Globals().GlobalResponse = built_ ? kResponseCompleted : kResponseCancelled;
    QWidget::closeEvent(event);
}

} // namespace kivo::editor
