#include "editor/players/ActualizarArchivoTodos.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "core/players/PlayerDatabase.h"
#include "core/players/ProcesoActualizacionArchivo.h"
#include "editor/players/MarkingProgress.h"
#include "editor/players/PlayersWindowSupport.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/TaskWindows.h"

namespace kivo::editor {

namespace {

const char* const kSection = "ActualizarArchivoTodos";
const char* const kHelpKeyword = "Updating the Players File";

void TrimBlanks(std::string& text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
}

// The job's labels reach the window without trailing blanks: the window puts one blank before a number, so
// "Deleting old Players From TEAM: " reads with exactly one blank before the file number.
class TrimmedLabels final : public Progress {
public:
    explicit TrimmedLabels(Progress& inner) : inner_(inner) {}
    bool Update(const ProgressState& state) override {
        ProgressState s = state;
        if (s.value1 >= 0) TrimBlanks(s.label1);
        if (s.value2 >= 0 || !s.text2.empty()) TrimBlanks(s.label2);
        return inner_.Update(s);
    }

private:
    Progress& inner_;
};

struct UpdateResult {
    std::string failure;
    bool ok = false;
};

} // namespace

std::function<void(QWidget*)>& ActualizarArchivoTodos::DialogAnswerer() {
    return Globals().UpdateFileDialog;
}

ActualizarArchivoTodos::ActualizarArchivoTodos(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Updating the File with All the Players"));
    setStatusTip(QStringLiteral("Updating the All Players file"));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));

    select_ = new QPushButton(QStringLiteral("Select File to Read"));
    number_ = new QSpinBox;
    number_->setRange(0, 999);
    number_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    number_->setToolTip(QStringLiteral("Number of the TEAM file to Update"));
    number_->setAccessibleName(QStringLiteral("TEAM file Number:"));
    number_->setMaximumWidth(60);
    start_ = new QPushButton(QStringLiteral("START"));
    close_ = new QPushButton(QStringLiteral("Close"));
    auto* help = new QPushButton(QStringLiteral("Help"));
    for (QPushButton* b : {select_, start_, close_, help})
        b->setAccessibleName(b->text());
    auto* prompt = new QLabel(QStringLiteral("TEAM file Number:"));
    prompt->setBuddy(number_);
    nameDisplay_ = new QLabel;
    nameDisplay_->setAccessibleName(QStringLiteral("File Name"));
    nameDisplay_->setFrameShape(QFrame::StyledPanel);
    nameDisplay_->setMinimumWidth(320);
    nameDisplay_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(select_, &QPushButton::clicked, this, &ActualizarArchivoTodos::SelectFile);
    connect(start_, &QPushButton::clicked, this, &ActualizarArchivoTodos::Start);
    connect(close_, &QPushButton::clicked, this, [this] { CloseWithFrame(this); });
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });

    auto* grid = new QGridLayout;
    grid->addWidget(select_, 0, 0);
    grid->addWidget(nameDisplay_, 0, 1, 1, 2);
    grid->addWidget(prompt, 1, 0, Qt::AlignRight);
    grid->addWidget(number_, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addStretch();
    buttons->addWidget(close_);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(480, 150);

    holdsDatabase_ = UsePlayerDatabase();
    if (!holdsDatabase_) start_->setEnabled(false);
}

ActualizarArchivoTodos::~ActualizarArchivoTodos() {
    CutChildConnections(this);
    if (holdsDatabase_) ReleasePlayerDatabase();
}

int ActualizarArchivoTodos::fileNumber() const {
    return number_->value();
}

void ActualizarArchivoTodos::SelectFile() {
    QFileDialog dialog(this, QStringLiteral("Choose the TEAM file"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The game's files come from a file system that ignores letter case: "team*.*" finds TEAM.005 too.
    dialog.setNameFilter(QStringLiteral("Team Files ([tT][eE][aA][mM]*.*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontUseNativeDialog, DialogAnswerer() != nullptr);
    const QFileInfo current(fileName_.trimmed());
    if (!fileName_.trimmed().isEmpty()) {
        dialog.setDirectory(current.absolutePath());
        dialog.selectFile(current.fileName());
    }
    if (DialogAnswerer()) QTimer::singleShot(0, &dialog, [&dialog] { DialogAnswerer()(&dialog); });
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        fileName_ = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    nameDisplay_->setText(fileName_);
    // Picked or not, the number is read again from the name's last three characters.
    number_->setValue(TeamFileNumberOf(QFile::encodeName(fileName_).toStdString()));
}

void ActualizarArchivoTodos::Start() {
    if (updating_ || !holdsDatabase_) return;
    number_->interpretText();
    const int n = number_->value();
    MessageSpec question;
    question.title = QStringLiteral("ATTENTION");
    question.text = QStringLiteral("If you START this process, ALL THE CURRENT PLAYERS FROM TEAM ") +
                    QString::number(n) + QStringLiteral(" will be DELETED.\n Do you want to continue ?");
    question.icon = MessageIcon::Exclamation;
    question.buttons = MessageButton::Yes | MessageButton::No;
    question.defaultButton = MessageButton::Yes;
    if (ShowMessage(question, window()) != MessageButton::Yes) {
        close_->click();
        return;
    }
    const std::string name = QFile::encodeName(fileName_).toStdString();
    // Another number than the file's own replaces another country's players by these: asked apart, and
    // No leaves the window open to choose again.
    if (Status matches = CheckUpdateNumber(name, static_cast<std::uint16_t>(n)); !matches) {
        const MessageButton anyway = AskYesNo(QStringLiteral("ATTENTION"),
                                              QString::fromLocal8Bit(matches.error().text.c_str()) +
                                                  QStringLiteral("\nDo you want to update anyway ?"),
                                              MessageButton::No, window());
        if (anyway != MessageButton::Yes) return;
    }

    updating_ = true;
    const std::string path = PlayerDatabasePath();
    const auto number = static_cast<std::uint16_t>(n);
    std::function<UpdateResult(Progress&)> job = [path, name, number](Progress& progress) {
        UpdateResult result;
        auto database = PlayerDatabase::Open(path, true);
        if (!database) {
            result.failure = database.error().text;
            return result;
        }
        HookedProgress hooked(progress);
        TrimmedLabels shown(hooked);
        auto summary = ProcesoActualizacionArchivo(*database, name, number, shown);
        if (summary)
            result.ok = true;
        else
            result.failure = summary.error().text;
        return result;
    };
    std::function<void(UpdateResult)> finish =
        [self = QPointer<ActualizarArchivoTodos>(this)](UpdateResult result) {
            if (!result.ok)
                ShowInformation(QStringLiteral("ERROR"), QString::fromLocal8Bit(result.failure.c_str()),
                                self ? self->window() : nullptr);
            if (self) self->updating_ = false;
        };
    RunWithProgress<UpdateResult>(this, QStringLiteral("Deleting Players"), false, job, finish);
}

void ActualizarArchivoTodos::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOnFirstShow(this, kSection, placed_, false);
}

void ActualizarArchivoTodos::closeEvent(QCloseEvent* event) {
    if (updating_) {
        // There is no cancel: the update ends first.
        event->ignore();
        return;
    }
    LeaveWindow(this, kSection, holdsDatabase_);
    FinishModal(this, kResponseCancelled);
    QWidget::closeEvent(event);
}

} // namespace kivo::editor
