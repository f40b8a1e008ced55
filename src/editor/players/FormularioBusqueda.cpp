#include "editor/players/FormularioBusqueda.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"
#include "editor/players/MarkingProgress.h"
#include "editor/players/PlayersWindowSupport.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/TaskWindows.h"

namespace kivo::editor {

namespace {

const char* const kSection = "FormularioBusqueda";
const char* const kHelpKeyword = "Searching Criteria";

QString Shown(const std::string& latin1) {
    return QString::fromLatin1(TrimRight(latin1).c_str());
}

// A byte-sized entry of three digits: a value outside 0..255 cannot be entered, so it never wraps.
QSpinBox* ByteEntry(const QString& name, const QString& tip) {
    auto* entry = new QSpinBox;
    entry->setRange(0, 255);
    entry->setButtonSymbols(QAbstractSpinBox::NoButtons);
    entry->setAccessibleName(name);
    entry->setToolTip(tip);
    entry->setMaximumWidth(60);
    return entry;
}

// A drop list whose first entry chooses nothing; each other entry carries its code.
QComboBox* DropList(const QString& name, const QString& tip) {
    auto* list = new QComboBox;
    list->addItem(FormularioBusqueda::NoChoiceText());
    list->setAccessibleName(name);
    list->setToolTip(tip);
    return list;
}

std::optional<std::uint8_t> Chosen(const QComboBox* list) {
    if (list->currentIndex() <= 0) return std::nullopt;
    return static_cast<std::uint8_t>(list->currentData().toInt());
}

} // namespace

QString FormularioBusqueda::NoChoiceText() {
    return QStringLiteral("no choice");
}

FormularioBusqueda::FormularioBusqueda(int mark, QWidget* parent) : QWidget(parent), mark_(mark) {
    setWindowTitle(QStringLiteral("Set Searching Criteria"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/editbus.svg")));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));

    country_ = ByteEntry(QStringLiteral("Country"), QStringLiteral("Team Country"));
    division_ = DropList(QStringLiteral("Division"), QString());
    for (std::uint8_t code = 0; code < kDivisionCount; ++code)
        division_->addItem(Shown(*DivisionText(code)), code);
    nationality_ = DropList(QStringLiteral("Nationality"), QStringLiteral("Nationality (same as this)"));
    for (std::uint8_t code : NationalityCodesAlphabetical())
        nationality_->addItem(Shown(*NationalityText(code)), code);
    position_ = DropList(QStringLiteral("Position"), QStringLiteral("Position (same as this)"));
    for (std::uint8_t code = 0; code < kPositionCount; ++code)
        position_->addItem(Shown(*PositionText(code)), code);
    static const char* const skillNames[kSkillCount] = {"Passing",      "Shooting", "Heading",  "Tackling",
                                                        "Ball Control", "Speed",    "Finishing"};
    for (std::size_t s = 0; s < kSkillCount; ++s) {
        const QString name = QString::fromLatin1(skillNames[s]);
        skills_[s] = ByteEntry(name, name + QStringLiteral(" (more or equal than this)"));
    }
    price_ = DropList(QStringLiteral("Price"), QStringLiteral("Price (less or equal than this)"));
    for (std::uint8_t code = 0; code < kPriceCount; ++code)
        price_->addItem(Shown(*PriceText(code)), code);

    auto* general = new QWidget;
    auto* grid = new QGridLayout(general);
    int row = 0;
    auto add = [&](const char* prompt, QWidget* control) {
        auto* label = new QLabel(QString::fromLatin1(prompt));
        label->setBuddy(control);
        control->setAccessibleName(label->text());
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1, Qt::AlignLeft);
        ++row;
    };
    add("Country:", country_);
    add("Division:", division_);
    add("Nationality:", nationality_);
    add("Position:", position_);
    static const char* const prompts[kSkillCount] = {
        "Passing:", "Shooting:", "Heading:", "Tackling:", "Ball Control:", "Speed:", "Finishing:"};
    for (std::size_t s = 0; s < kSkillCount; ++s)
        add(prompts[s], skills_[s]);
    add("Price:", price_);
    countryName_ = new QLabel;
    countryName_->setAccessibleName(QStringLiteral("Country Name"));
    countryName_->setMinimumWidth(countryName_->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 11);
    grid->addWidget(countryName_, 0, 2);
    ShowCountryName(0);
    connect(country_, &QSpinBox::valueChanged, this, &FormularioBusqueda::ShowCountryName);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(row, 1);

    auto* tabs = new QTabWidget;
    tabs->addTab(general, QStringLiteral("General"));
    tabs->setAccessibleName(QStringLiteral("General"));

    search_ = new QPushButton(QStringLiteral("Search"));
    close_ = new QPushButton(QStringLiteral("Close"));
    auto* help = new QPushButton(QStringLiteral("Help"));
    for (QPushButton* b : {search_, close_, help})
        b->setAccessibleName(b->text());
    search_->setDefault(true);
    connect(search_, &QPushButton::clicked, this, &FormularioBusqueda::Search);
    connect(close_, &QPushButton::clicked, this, [this] { CloseWithFrame(this); });
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(search_);
    buttons->addStretch();
    buttons->addWidget(close_);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    resize(360, 460);

    // The form works on the database like every window that uses it.
    holdsDatabase_ = UsePlayerDatabase();
    if (!holdsDatabase_) search_->setEnabled(false);
}

FormularioBusqueda::~FormularioBusqueda() {
    CutChildConnections(this);
    if (holdsDatabase_) ReleasePlayerDatabase();
}

void FormularioBusqueda::ShowCountryName(int code) {
    // 0 is no criterion; a number no team file has is said to be one, so that a typing slip shows.
    if (code == 0)
        countryName_->setText(NoChoiceText());
    else if (HasCountryName(static_cast<std::uint8_t>(code)))
        countryName_->setText(QString::fromLatin1(CountryName(static_cast<std::uint8_t>(code)).c_str()));
    else
        countryName_->setText(QStringLiteral("no country has this number"));
}

SearchCriteria FormularioBusqueda::Criteria() const {
    SearchCriteria c;
    c.pais = static_cast<std::uint8_t>(country_->value());
    c.division = Chosen(division_);
    c.nacionalidad = Chosen(nationality_);
    c.puesto = Chosen(position_);
    for (std::size_t s = 0; s < kSkillCount; ++s)
        c.minimums[s] = static_cast<std::uint8_t>(skills_[s]->value());
    c.valorPaseMax = Chosen(price_);
    return c;
}

void FormularioBusqueda::Search() {
    if (searching_ || !holdsDatabase_) return;
    // Mark 0 is "no mark": a search with it would take the marks off every player it finds.
    if (mark_ == 0) {
        ShowInformation(
            QStringLiteral("WARNING"),
            QStringLiteral("The Selected Mark is 0, which means \"no mark\": the players found would "
                           "lose their marks.\nClose this form, type a Selected Mark from 1 to 255 "
                           "in the player browser and search again."),
            window());
        return;
    }
    // A number typed but not yet confirmed counts.
    country_->interpretText();
    for (QSpinBox* s : skills_)
        s->interpretText();
    searching_ = true;
    RunSearchPass(this, Criteria(), mark_, [form = QPointer<FormularioBusqueda>(this)] {
        if (form) form->searching_ = false;
    });
}

void FormularioBusqueda::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOnFirstShow(this, kSection, placed_, true);
}

void FormularioBusqueda::closeEvent(QCloseEvent* event) {
    if (searching_) {
        // The pass is modal on the form; it ends first.
        event->ignore();
        return;
    }
    LeaveWindow(this, kSection, holdsDatabase_);
    FinishModal(this, kResponseCancelled);
    QWidget::closeEvent(event);
}

} // namespace kivo::editor
