#include "editor/inspect/RevisionDatos.h"

#include <filesystem>
#include <map>

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/settings/RecentDirectories.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/teams/AbrirEquipoEnFila.h"
#include "editor/ui/DirectoryField.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection =
    "ComprobarArchivos"; // the ventanas.ini section, as saved by earlier versions
constexpr const char* kHelpKeyword = "Checking Game Files";
enum Column { kFile, kTeam, kSlot, kEntry, kCode, kMessage };

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// Numbers sort as numbers; a column that does not apply is empty and sorts first.
void SetNumber(QTreeWidgetItem* item, int column, std::optional<long long> value) {
    if (value) item->setData(column, Qt::DisplayRole, QVariant::fromValue(*value));
}

} // namespace

RevisionDatos::RevisionDatos(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Check Game Files"));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));
    auto* prompt = new QLabel(QStringLiteral("Game Files Directory:"));
    directory_ =
        new DirectoryField(QString::fromStdString(StartingDataDirectory(VentanasPath())), prompt->text());
    prompt->setBuddy(directory_->comboBox());
    check_ = new QPushButton(QStringLiteral("Check"));
    check_->setToolTip(QStringLiteral("Read every team, cup and pool file again; nothing is changed"));
    list_ = new QTreeWidget;
    list_->setAccessibleName(QStringLiteral("Findings"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Team"), QStringLiteral("Slot"),
                            QStringLiteral("Entry"), QStringLiteral("Code"), QStringLiteral("Message")});
    // The check's own order until a header is clicked.
    list_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    list_->setSortingEnabled(true);
    list_->header()->setSectionResizeMode(kMessage, QHeaderView::Stretch);
    summary_ = new QLabel;
    summary_->setWordWrap(true);
    summary_->setAccessibleName(QStringLiteral("Summary"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    auto* help = new QPushButton(QStringLiteral("Help"));
    for (QPushButton* b : {check_, close, help})
        b->setAccessibleName(b->text());

    auto* row = new QHBoxLayout;
    row->addWidget(prompt);
    row->addWidget(directory_, 1);
    row->addWidget(check_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    buttons->addWidget(close);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(860, 440);

    connect(check_, &QPushButton::clicked, this, &RevisionDatos::Check);
    connect(directory_->lineEdit(), &QLineEdit::returnPressed, this, &RevisionDatos::Check);
    connect(list_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item, int) { OpenFinding(item); });
    connect(close, &QPushButton::clicked, this, [this] { TaskFrameOf(this)->close(); });
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });
}

QLineEdit* RevisionDatos::directoryEntry() const {
    return directory_->lineEdit();
}

std::string RevisionDatos::Directory() const {
    return UsableDirectory(TrimRight(directory_->text().toStdString()));
}

void RevisionDatos::Check() {
    list_->clear();
    const std::string directory = Directory();
    DirectoryField::Remember(directory_->text());
    NoProgress quiet;
    auto result = CheckGameFiles(directory, quiet);
    if (!result) {
        summary_->setText(Latin1(result.error().text));
        return;
    }
    std::map<std::string, int> counts;
    QList<QTreeWidgetItem*> items;
    for (const GameFileFinding& f : result->findings) {
        auto* item = new QTreeWidgetItem;
        item->setText(kFile, Latin1(f.file));
        SetNumber(item, kTeam, f.team);
        SetNumber(item, kSlot, f.slot ? std::optional<long long>(*f.slot) : std::nullopt);
        SetNumber(item, kEntry, f.entry);
        item->setText(kCode, QString::fromStdString(f.code));
        item->setText(kMessage, Latin1(f.message));
        item->setToolTip(kMessage, item->text(kMessage));
        items << item;
        ++counts[f.code];
    }
    // Added unsorted, so that they keep the check's order until the user sorts them.
    list_->setSortingEnabled(false);
    list_->addTopLevelItems(items);
    list_->setSortingEnabled(true);
    QString text = QStringLiteral("%1 finding(s) in %2 file(s), %3 team(s)")
                       .arg(result->findings.size())
                       .arg(result->files)
                       .arg(result->teams);
    QStringList perCode;
    for (const std::string& code : GameFileFindingCodes())
        if (counts.count(code))
            perCode << QStringLiteral("%1: %2").arg(QString::fromStdString(code)).arg(counts[code]);
    if (!perCode.isEmpty()) text += QStringLiteral(" \u2014 ") + perCode.join(QStringLiteral(", "));
    if (!result->findings.empty())
        text += QStringLiteral(". Double-click a team's finding to open the team.");
    summary_->setText(text);
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
}

void RevisionDatos::OpenFinding(QTreeWidgetItem* item) {
    if (!item || item->text(kTeam).isEmpty()) return;
    const std::filesystem::path file =
        std::filesystem::path(Directory()) / item->text(kFile).toLatin1().toStdString();
    const int slot = item->text(kSlot).isEmpty() ? 0 : item->text(kSlot).toInt();
    const QPointer<RevisionDatos> self(this);
    OpenTeamAtRow(this, {file.string(), item->text(kTeam).toLongLong(), slot, {}}, [self](const TeamRecord&) {
        // What the save mended is gone from the list.
        if (self) self->Check();
    });
}

void RevisionDatos::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    RestoreWindowPlacement(this, kPlacementFileName, kSection);
    Check();
    list_->setFocus();
}

void RevisionDatos::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        SaveWindowPlacement(this, kPlacementFileName, kSection);
    }
    QWidget::closeEvent(event);
}

void StartRevisionDatos() {
    OpenTaskWindow(new RevisionDatos);
}

} // namespace kivo::editor
