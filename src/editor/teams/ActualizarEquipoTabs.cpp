// The General and kit tabs of the team editor, and how the window shows a working state.

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/KitPictures.h"
#include "editor/teams/TeamEditCommands.h"

namespace kivo::editor {

namespace {

constexpr std::array<char, 4> kDesignLetters = {'L', 'M', 'V', 'H'};
constexpr std::array<const char*, 4> kDesignSamples = {"LISA.BMP", "MANGAS.BMP", "VERTICAL.BMP",
                                                       "HORIZONT.BMP"};
constexpr std::array<const char*, 4> kColourPrompts = {
    "Main Shirt Color:", "Secondary Shirt Color:", "Short Color:", "Socks Color:"};
constexpr std::array<KitColour, 4> kColours = {KitColour::MainShirt, KitColour::SecondShirt,
                                               KitColour::Shorts, KitColour::Socks};

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString WithoutColon(const char* prompt) {
    QString text = QString::fromLatin1(prompt);
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text;
}

QComboBox* TableList(const char* prompt, std::size_t count,
                     std::optional<std::string> (*text)(std::uint8_t)) {
    auto* list = new QComboBox;
    for (std::size_t code = 0; code < count; ++code)
        list->addItem(Latin1(TrimRight(*text(static_cast<std::uint8_t>(code)))));
    list->setAccessibleName(QString::fromLatin1(prompt));
    return list;
}

void ShowIndex(QComboBox* list, int index, std::size_t count) {
    const int shown = index >= 0 && static_cast<std::size_t>(index) < count ? index : -1;
    if (list->currentIndex() != shown) list->setCurrentIndex(shown);
}

} // namespace

// A field being typed in keeps its text (and cursor) as long as it stands for the value shown.
void ShowFieldText(QLineEdit* field, const std::string& value, std::size_t width) {
    if (PadBlank(field->text().toLatin1().toStdString(), width) == value) return;
    field->setText(Latin1(TrimRight(value)));
}

QWidget* ActualizarEquipo::BuildGeneralTab() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    const TeamRecord& r = session_.state.team.record;
    auto number = [form](const char* prompt, const char* tip, int value, int digits) {
        auto* field = new QLineEdit(QString::number(value));
        field->setReadOnly(true);
        field->setToolTip(QString::fromLatin1(tip));
        field->setAccessibleName(QString::fromLatin1(prompt));
        field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 2) + 12);
        form->addRow(QString::fromLatin1(prompt), field);
    };
    number("Country:", "Country of the Team", r.pais, 3);
    number("Team Number:", "Number (internal to the file) of the Team", r.nroEquipo, 3);
    number("General Team Number:", "Global Number of the Team", r.nroEquipoGral, 6);

    auto text = [this, form](const char* prompt, const char* tip, int width, const std::string& stored,
                             auto store) {
        auto* field = new QLineEdit;
        field->setToolTip(QString::fromLatin1(tip));
        field->setAccessibleName(QString::fromLatin1(prompt));
        // Room for the whole name in capitals.
        field->setMinimumWidth(field->fontMetrics().horizontalAdvance(QString(width, QLatin1Char('X'))) + 12);
        field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QLatin1Char('W')) * width + 12);
        WatchTextField(field, width, Latin1(TrimRight(stored)), store);
        form->addRow(QString::fromLatin1(prompt), field);
        return field;
    };
    teamName_ = text("Team Name:", "Name of the Team", 16, session_.state.team.teamName,
                     [this](const std::string& t) {
                         Change(QStringLiteral("Edit Team Name"), FieldMergeId(-1, 1),
                                [t](TeamEditState& s) { SetTeamName(s, t); });
                     });

    tactics_ = TableList("Tactics:", kTacticCount, &TacticText);
    form->addRow(QStringLiteral("Tactics:"), tactics_);
    connect(tactics_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) return;
        Change(QStringLiteral("Change Tactics"), kNoMerge,
               [i](TeamEditState& s) { SetTactic(s, static_cast<std::uint8_t>(i)); });
    });
    division_ = TableList("Division:", kDivisionCount, &DivisionText);
    form->addRow(QStringLiteral("Division:"), division_);
    connect(division_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i < 0) return;
        Change(QStringLiteral("Change Division"), kNoMerge,
               [i](TeamEditState& s) { SetDivision(s, static_cast<std::uint8_t>(i)); });
    });

    coachName_ = text("Coach Name:", "Name of the Coach", 24, session_.state.team.coachName,
                      [this](const std::string& t) {
                          Change(QStringLiteral("Edit Coach Name"), FieldMergeId(-1, 2),
                                 [t](TeamEditState& s) { SetCoachName(s, t); });
                      });
    return page;
}

QWidget* ActualizarEquipo::BuildKitTab(KitWhich kit) {
    TeamEditorKitTab& tab = kit == KitWhich::Main ? mainKit_ : secondKit_;
    const QString kitName =
        kit == KitWhich::Main ? QStringLiteral("Main Kit") : QStringLiteral("Secondary Kit");
    auto* page = new QWidget;

    auto* designs = new QGridLayout;
    auto* group = new QButtonGroup(page);
    for (int i = 0; i < 4; ++i) {
        auto* sample = new QLabel;
        const QPixmap picture = EmbeddedPicture(QString::fromLatin1(kDesignSamples[i]));
        sample->setPixmap(picture.scaled(picture.size() * 2, Qt::KeepAspectRatio, Qt::FastTransformation));
        sample->setAccessibleName(QString::fromLatin1(kDesignSamples[i]));
        designs->addWidget(sample, 0, i, Qt::AlignHCenter);
        const QString label =
            QString::fromLatin1(KitDesignLabel(kDesignLetters[i]).data(),
                                static_cast<qsizetype>(KitDesignLabel(kDesignLetters[i]).size()));
        auto* choice = new QRadioButton(label);
        choice->setAccessibleName(label);
        group->addButton(choice, i);
        designs->addWidget(choice, 1, i, Qt::AlignHCenter);
        tab.designs[i] = choice;
    }
    connect(group, &QButtonGroup::idToggled, this, [this, kit, kitName](int id, bool on) {
        if (!on) return;
        Change(QStringLiteral("Change Design of the ") + kitName, kNoMerge,
               [kit, id](TeamEditState& s) { SetKitDesign(s, kit, kDesignLetters[id]); });
    });

    auto* frame = new QGroupBox(kitName);
    tab.preview = new KitPreview;
    tab.preview->setAccessibleName(kitName);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(tab.preview, 0, Qt::AlignCenter);

    auto* colours = new QFormLayout;
    colours->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (int i = 0; i < 4; ++i) {
        QComboBox* list = TableList(kColourPrompts[i], kColourCount, &ColourText);
        tab.colours[i] = list;
        colours->addRow(QString::fromLatin1(kColourPrompts[i]), list);
        connect(list, &QComboBox::currentIndexChanged, this, [this, kit, kitName, i](int code) {
            if (code < 0) return;
            Change(QStringLiteral("Change ") + WithoutColon(kColourPrompts[i]) + QStringLiteral(" of the ") +
                       kitName,
                   kNoMerge, [kit, i, code](TeamEditState& s) {
                       SetKitColour(s, kit, kColours[i], static_cast<std::uint8_t>(code));
                   });
        });
    }

    auto* lower = new QHBoxLayout;
    lower->addWidget(frame, 0, Qt::AlignTop);
    lower->addSpacing(12);
    lower->addLayout(colours);
    lower->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(designs);
    layout->addLayout(lower);
    layout->addStretch();
    return page;
}

void ActualizarEquipo::ShowState(const TeamEditState& state) {
    const bool wasShowing = showing_;
    showing_ = true;
    ShowFieldText(teamName_, state.team.teamName, kTeamNameWidth);
    ShowFieldText(coachName_, state.team.coachName, kCoachNameWidth);
    ShowIndex(tactics_, state.team.record.tactica, kTacticCount);
    ShowIndex(division_, state.team.record.division, kDivisionCount);
    for (KitWhich kit : {KitWhich::Main, KitWhich::Secondary}) {
        const TeamEditorKitTab& tab = kit == KitWhich::Main ? mainKit_ : secondKit_;
        const char letter = KitDesignOf(state, kit);
        for (int i = 0; i < 4; ++i)
            if (kDesignLetters[i] == letter && !tab.designs[i]->isChecked()) tab.designs[i]->setChecked(true);
        for (int i = 0; i < 4; ++i)
            ShowIndex(tab.colours[i], KitColourOf(state, kit, kColours[i]), kColourCount);
        RefreshKit(kit);
    }
    ShowRows(state);
    UpdateTitle();
    showing_ = wasShowing;
}

void ActualizarEquipo::RefreshKit(KitWhich kit) {
    const TeamEditState& s = session_.state;
    (kit == KitWhich::Main ? mainKit_ : secondKit_)
        .preview->SetKit(KitDesignOf(s, kit), KitColourOf(s, kit, KitColour::MainShirt),
                         KitColourOf(s, kit, KitColour::SecondShirt), KitColourOf(s, kit, KitColour::Shorts),
                         KitColourOf(s, kit, KitColour::Socks));
}

void ActualizarEquipo::UpdateTitle() {
    setWindowTitle(QStringLiteral("Update Team ") + Latin1(session_.state.team.teamName));
}

} // namespace kivo::editor
