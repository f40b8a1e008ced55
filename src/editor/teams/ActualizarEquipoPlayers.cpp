// The Players tab of the team editor: sixteen rows, one per player slot, and the two price buttons.

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStringListModel>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/KitPictures.h"
#include "editor/teams/TeamEditCommands.h"
#include "editor/ui/Contrast.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/ScrollPage.h"

namespace kivo::editor {

void ShowFieldText(QLineEdit* field, const std::string& value, std::size_t width);

namespace {

constexpr std::array<const char*, kSkillCount> kSkillTips = {
    "Passing", "Shooting", "Heading", "Tackling", "Ball Control", "Speed", "Finishing"};
constexpr std::array<const char*, kSkillCount> kSkillHeadings = {"PA", "SH", "HE", "TA", "BC", "SP", "FI"};
constexpr int kFaceSize = 28;
enum Field { NameField, ShirtField, FirstSkillField };

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QStringList TableTexts(std::size_t count, std::optional<std::string> (*text)(std::uint8_t)) {
    QStringList texts;
    for (std::size_t code = 0; code < count; ++code)
        texts << Latin1(TrimRight(*text(static_cast<std::uint8_t>(code))));
    return texts;
}

// The place of each nationality code in the alphabetical list.
const std::array<int, kNationalityCount>& AlphabeticalIndex() {
    static const std::array<int, kNationalityCount> index = [] {
        std::array<int, kNationalityCount> at{};
        const auto& codes = NationalityCodesAlphabetical();
        for (std::size_t i = 0; i < codes.size(); ++i)
            at[codes[i]] = static_cast<int>(i);
        return at;
    }();
    return index;
}

QSpinBox* NumberField(int digits, const QString& name) {
    auto* field = new QSpinBox;
    field->setRange(0, digits == 2 ? 99 : 255);
    field->setButtonSymbols(QAbstractSpinBox::NoButtons);
    field->setAlignment(Qt::AlignRight);
    field->setAccessibleName(name);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * digits + 14);
    return field;
}

// A row's list sized for its longest entry without measuring every entry of every row at each opening.
QComboBox* RowList(QStringListModel* model, int characters, const QString& name) {
    auto* list = new QComboBox;
    list->setModel(model);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(characters);
    list->setAccessibleName(name);
    return list;
}

void ShowIndex(QComboBox* list, int index) {
    if (list->currentIndex() != index) list->setCurrentIndex(index);
}

void ShowValue(QSpinBox* field, int value) {
    if (field->value() != value || field->text().isEmpty()) field->setValue(value);
}

} // namespace

QWidget* ActualizarEquipo::BuildPlayersTab() {
    QStringList nationalities;
    for (std::uint8_t code : NationalityCodesAlphabetical())
        nationalities << Latin1(*NationalityText(code));
    nationalities_ = new QStringListModel(nationalities, this);
    positions_ = new QStringListModel(TableTexts(kPositionCount, &PositionText), this);
    prices_ = new QStringListModel(TableTexts(kPriceCount, &PriceText), this);

    auto* page = new QWidget;
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    const QStringList headings = {QStringLiteral("Name"), QStringLiteral("Nationality"), QStringLiteral("N°"),
                                  QStringLiteral("Position"), QString()};
    int column = 0;
    for (const QString& h : headings)
        grid->addWidget(new QLabel(h), 0, column++);
    for (const char* h : kSkillHeadings)
        grid->addWidget(new QLabel(QString::fromLatin1(h)), 0, column++, Qt::AlignHCenter);
    grid->addWidget(new QLabel(QStringLiteral("Price")), 0, column++);
    for (std::size_t r = 0; r < kPlayersPerTeam; ++r)
        BuildRow(r, grid, static_cast<int>(r) + 1);

    computeOriginal_ = new QPushButton(QStringLiteral("Compute Original Prices"));
    computeAll_ = new QPushButton(QStringLiteral("Compute All Prices"));
    for (QPushButton* b : {computeOriginal_, computeAll_}) {
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
    }
    connect(computeOriginal_, &QPushButton::clicked, this, [this] {
        Change(QStringLiteral("Compute Original Prices"), kNoMerge,
               [](TeamEditState& s) { ComputeOriginalPrices(s); });
    });
    connect(computeAll_, &QPushButton::clicked, this, [this] {
        Change(QStringLiteral("Compute All Prices"), kNoMerge,
               [](TeamEditState& s) { ComputeAllPrices(s, *Globals().Prices, Globals().Formulas); });
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(computeOriginal_);
    buttons->addWidget(computeAll_);
    buttons->addStretch();

    auto* rows = new QWidget;
    auto* rowsLayout = new QVBoxLayout(rows);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->addLayout(grid);
    rowsLayout->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new ScrollPage(rows), 1);
    layout->addLayout(buttons);
    return page;
}

void ActualizarEquipo::BuildRow(std::size_t r, QGridLayout* grid, int gridRow) {
    TeamEditorRow& row = rows_[r];
    const int n = static_cast<int>(r);
    const QString ofRow = QStringLiteral(" of Row %1").arg(n + 1);

    row.name = new QLineEdit;
    row.name->setToolTip(QStringLiteral("Player Name"));
    row.name->setAccessibleName(QStringLiteral("Player Name"));
    // Room for the whole name (22 characters) in capitals.
    row.name->setMinimumWidth(row.name->fontMetrics().horizontalAdvance(QString(22, QLatin1Char('X'))) + 12);
    WatchTextField(row.name, 22, Latin1(TrimRight(session_.state.team.players[r].name)),
                   [this, r, ofRow](const std::string& t) {
                       Change(QStringLiteral("Edit Player Name") + ofRow,
                              FieldMergeId(static_cast<int>(r), NameField),
                              [r, t](TeamEditState& s) { SetPlayerName(s, r, t); });
                   });

    row.nationality = RowList(nationalities_, 3, QStringLiteral("Nationality"));
    connect(row.nationality, &QComboBox::currentIndexChanged, this, [this, r, ofRow](int i) {
        if (i < 0) return;
        const std::uint8_t code = NationalityCodesAlphabetical()[static_cast<std::size_t>(i)];
        Change(QStringLiteral("Change Nationality") + ofRow, kNoMerge,
               [r, code](TeamEditState& s) { SetNationality(s, r, code); });
    });

    row.shirt = NumberField(2, QStringLiteral("N°"));
    connect(row.shirt, &QSpinBox::valueChanged, this, [this, r, ofRow](int v) {
        Change(QStringLiteral("Edit Shirt Number") + ofRow, FieldMergeId(static_cast<int>(r), ShirtField),
               [r, v](TeamEditState& s) { SetShirtNumber(s, r, static_cast<std::uint8_t>(v)); });
    });

    row.position = RowList(positions_, 2, QStringLiteral("Position"));
    connect(row.position, &QComboBox::currentIndexChanged, this, [this, r, ofRow](int i) {
        if (i < 0) return;
        const std::string text = *PositionText(static_cast<std::uint8_t>(i));
        Change(QStringLiteral("Change Position") + ofRow, kNoMerge,
               [r, text](TeamEditState& s) { SetPosition(s, r, text); });
    });

    row.face = new QToolButton;
    row.face->setToolTip(QStringLiteral("Face"));
    row.face->setAccessibleName(QStringLiteral("Face"));
    row.face->setIconSize(QSize(kFaceSize, kFaceSize));
    row.face->setAutoRaise(false);
    connect(row.face, &QToolButton::clicked, this, [this, r, ofRow] {
        Change(QStringLiteral("Change Face") + ofRow, kNoMerge, [r](TeamEditState& s) { ClickFace(s, r); });
    });

    for (std::size_t k = 0; k < kSkillCount; ++k) {
        row.skills[k] = NumberField(3, QString::fromLatin1(kSkillTips[k]));
        row.skills[k]->setToolTip(QString::fromLatin1(kSkillTips[k]));
        connect(row.skills[k], &QSpinBox::valueChanged, this, [this, r, k, ofRow](int v) {
            Change(QStringLiteral("Edit ") + QString::fromLatin1(kSkillTips[k]) + ofRow,
                   FieldMergeId(static_cast<int>(r), FirstSkillField + static_cast<int>(k)),
                   [r, k, v](TeamEditState& s) { SetSkill(s, r, k, static_cast<std::uint8_t>(v)); });
        });
    }

    row.price = RowList(prices_, 5, QStringLiteral("Price"));
    connect(row.price, &QComboBox::currentIndexChanged, this, [this, r, ofRow](int i) {
        if (i < 0) return;
        Change(QStringLiteral("Change Price") + ofRow, kNoMerge,
               [r, i](TeamEditState& s) { SetPrice(s, r, static_cast<std::uint8_t>(i)); });
    });

    // The line-up place belongs to the slot and never changes while the window is open.
    const int place = session_.lineupPlaces[r];
    row.place = new QLabel(place ? QString::number(place) : QString());
    row.place->setAccessibleName(QStringLiteral("Line-up Place"));
    row.place->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetTextColour(row.place, place >= 1 && place <= 11 ? QColor(0, 128, 0) : QColor(255, 0, 0));

    int column = 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{row.name, row.nationality, row.shirt, row.position, row.face}) {
        w->setProperty("kivoRow", n);
        grid->addWidget(w, gridRow, column++);
    }
    for (QSpinBox* skill : row.skills) {
        skill->setProperty("kivoRow", n);
        grid->addWidget(skill, gridRow, column++);
    }
    row.price->setProperty("kivoRow", n);
    grid->addWidget(row.price, gridRow, column++);
    grid->addWidget(row.place, gridRow, column++);
}

void ActualizarEquipo::ShowRows(const TeamEditState& state) {
    for (std::size_t r = 0; r < kPlayersPerTeam; ++r) {
        const DecodedPlayer& p = state.team.players[r];
        TeamEditorRow& row = rows_[r];
        ShowFieldText(row.name, p.name, kPlayerNameWidth);
        const auto nationality = NationalityCode(p.nationality);
        ShowIndex(row.nationality, nationality ? AlphabeticalIndex()[*nationality] : -1);
        ShowValue(row.shirt, p.shirt);
        ShowIndex(row.position, PositionCode(p.position).value_or(-1));
        if (row.face->property("kivoFace").toInt() != p.face + 1) RefreshFace(r);
        for (std::size_t k = 0; k < kSkillCount; ++k)
            ShowValue(row.skills[k], p.skills[k]);
        const auto price = PriceCode(p.price);
        ShowIndex(row.price, price ? static_cast<int>(*price) : -1);
    }
}

void ActualizarEquipo::RefreshFace(std::size_t r) {
    const int face = session_.state.team.players[r].face;
    rows_[r].face->setIcon(QIcon(FacePicture(face)));
    rows_[r].face->setProperty("kivoFace", face + 1);
}

} // namespace kivo::editor
