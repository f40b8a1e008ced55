#include "editor/teams/EquiposExistentes.h"

#include <filesystem>

#include <QComboBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/gamefiles/Catalogue.h"
#include "core/settings/IniFile.h"
#include "core/settings/RecentDirectories.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "core/teams/CatalogueListing.h"
#include "editor/teams/VerEquipos.h"
#include "editor/ui/DirectoryField.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "EquiposExistentes";
constexpr int kEuropeRows = 9;

TeamFileChooser& Chooser() {
    return Globals().TeamFileDialog;
}

QString DialogChoice(QWidget* parent, const QString& title, const QString& filter, const QString& initial) {
    if (Chooser()) return Chooser()(parent, title, filter, initial);
    return QFileDialog::getOpenFileName(parent, title, initial, filter);
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Buttons are sized in dialog units: a quarter of the average character width across, an eighth of the
// character height down.
QSize DialogUnits(const QWidget* w, int across, int down) {
    const QFontMetrics m = w->fontMetrics();
    return {across * m.averageCharWidth() / 4 + 24, down * m.height() / 8 + 4};
}

} // namespace

void SetTeamFileChooser(TeamFileChooser chooser) {
    Chooser() = std::move(chooser);
}

EquiposExistentes::EquiposExistentes(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Team Files"));
    SetHelpKeyword(this, QStringLiteral("Opening Teams"));

    // Opening: the start directory, the two directories from the settings, the listing.
    std::error_code error;
    startDirectory_ = std::filesystem::current_path(error).string();
    const std::string ventanas = VentanasPath();
    anyFileDirectory_ = ReadAnyFileDirectory(ventanas);
    // DirectorioKIVO, else the last directory used; a relative one is taken from the start directory.
    const std::string directory = TrimDirectory(StartingDataDirectory(ventanas));
    listing_ = ListTeamFiles(UsableDirectory(directory));

    tabs_ = new QTabWidget;
    tabs_->setAccessibleName(QStringLiteral("Team Files"));
    // Every tab in sight: the window is never narrower than its tab row.
    tabs_->setUsesScrollButtons(false);
    for (const CatalogueTab& tab : CatalogueTabs()) {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        grid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const bool europe = tab.title == "Europe";
        const bool national = tab.title == "National Teams";
        int index = 0;
        for (const CatalogueButton& entry : tab.buttons) {
            const QString label = QString::fromUtf8(entry.label.data(), qsizetype(entry.label.size()));
            auto* button = new QPushButton(label);
            button->setAccessibleName(label);
            int row = index;
            int column = 0;
            if (europe) {
                row = index % kEuropeRows;
                column = index / kEuropeRows;
            } else if (tab.title == "South America" && index >= kEuropeRows) {
                row = index - kEuropeRows;
                column = 1;
            }
            if (entry.fileNumber) {
                button->setFixedSize(DialogUnits(this, national ? 62 : 60, 12));
                const int number = *entry.fileNumber;
                buttons_[number] = button;
                connect(button, &QPushButton::clicked, this, [this, number] { OpenFile(number); });
            } else {
                button->setFixedSize(DialogUnits(this, 62, 12));
                anyFile_ = button;
                connect(button, &QPushButton::clicked, this, &EquiposExistentes::OpenAnyFile);
            }
            grid->addWidget(button, row, column);
            ++index;
        }
        tabs_->addTab(page, QString::fromUtf8(tab.title.data(), qsizetype(tab.title.size())));
    }

    auto* prompt = new QLabel(QStringLiteral("Team Files Directory:"));
    directory_ = new DirectoryField(Q(directory), prompt->text());
    prompt->setBuddy(directory_->comboBox());
    connect(directory_, &DirectoryField::editingFinished, this, &EquiposExistentes::AcceptDirectory);

    refresh_ = new QPushButton(QStringLiteral("&Refresh"));
    refresh_->setAccessibleName(QStringLiteral("Refresh"));
    help_ = new QPushButton(QStringLiteral("&Help"));
    help_->setAccessibleName(QStringLiteral("Help"));
    close_ = new QPushButton(QStringLiteral("&Close"));
    close_->setAccessibleName(QStringLiteral("Close"));
    connect(refresh_, &QPushButton::clicked, this, &EquiposExistentes::Refresh);
    connect(help_, &QPushButton::clicked, this, [this] { ShowHelp(HelpKeywordOf(this)); });
    // The task's frame closes with the window, so that no empty frame is left behind.
    connect(close_, &QPushButton::clicked, this, [this] { TaskFrameOf(this)->close(); });

    auto* entry = new QHBoxLayout;
    entry->addWidget(prompt);
    entry->addWidget(directory_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(refresh_);
    buttons->addStretch();
    buttons->addWidget(help_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(entry);
    layout->addLayout(buttons);
    EnableButtons();
}

QPushButton* EquiposExistentes::fileButton(int fileNumber) const {
    auto it = buttons_.find(fileNumber);
    return it == buttons_.end() ? nullptr : it->second;
}

void EquiposExistentes::EnableButtons() {
    for (auto& [number, button] : buttons_)
        button->setEnabled(ListingHasFile(listing_, number));
}

QLineEdit* EquiposExistentes::directoryEntry() const {
    return directory_->lineEdit();
}

void EquiposExistentes::Refresh() {
    listing_ = ListTeamFiles(UsableDirectory(directory_->text().toStdString()));
    EnableButtons();
}

void EquiposExistentes::AcceptDirectory() {
    const QString trimmed = Q(TrimDirectory(directory_->text().toStdString()));
    if (trimmed != directory_->text()) directory_->setText(trimmed);
}

void EquiposExistentes::OpenFile(int fileNumber) {
    // The entry's text counts even when Refresh was not pressed after it was edited.
    Globals().TeamFilePath =
        CatalogueTeamFilePath(UsableDirectory(directory_->text().toStdString()), fileNumber);
    OpenBrowser();
}

QString EquiposExistentes::AnyFileFilter() {
    // The cup files hold teams in the same layout, so they are offered beside the league files.
    return QStringLiteral("Team Files (team.* EUROCUP.TMD UEFACUP.TMD EUROCWC.TMD)");
}

void EquiposExistentes::OpenAnyFile() {
    const std::string ventanas = VentanasPath();
    const std::string last = ReadLastTeamFile(ventanas);
    std::string initial = last;
    if (!anyFileDirectory_.empty() && std::filesystem::path(last).is_relative())
        initial = (std::filesystem::path(anyFileDirectory_) / last).string();
    // The dialog starts in the any-file directory; the process's current directory is left alone, so that
    // files named relative to the start directory stay where they are meanwhile.
    const QString chosen =
        DialogChoice(this, QStringLiteral("Select Team File"), AnyFileFilter(), Q(initial));
    std::string lastFile = last;
    if (!chosen.isEmpty()) {
        lastFile = chosen.toStdString();
        anyFileDirectory_ = DirectoryOfChosenFile(lastFile);
    }
    WriteIniText(ventanas, kConfigSection, kPathArchivosTeam, anyFileDirectory_);
    WriteIniText(ventanas, kConfigSection, kPathEquipo, lastFile);
    if (chosen.isEmpty()) return;
    Globals().TeamFilePath = lastFile;
    OpenBrowser();
}

void EquiposExistentes::OpenBrowser() {
    StartVerEquipos(this);
}

void EquiposExistentes::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        SaveWindowPlacement(this, kPlacementFileName, kSection);
        const std::string directory = TrimDirectory(directory_->text().toStdString());
        WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, directory);
        RememberDirectory(VentanasPath(), directory);
        Globals().CatalogueOpen = false;
        Globals().GlobalResponse = kResponseCancelled;
        CloseFrameToo(this);
    }
    QWidget::closeEvent(event);
}

void StartEquiposExistentes() {
    auto* window = new EquiposExistentes;
    OpenTaskWindow(window);
    RestoreWindowPlacement(window, kPlacementFileName, kSection);
    if (QPushButton* albania = window->fileButton(0)) albania->setFocus();
}

} // namespace kivo::editor
