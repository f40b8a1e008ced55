#include "editor/prices/EditarFormulaPrecios.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/prices/PriceCalculator.h"
#include "core/settings/SettingsEntries.h"
#include "editor/ui/Contrast.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/TaskWindows.h"
#include "editor/ui/WindowPlacement.h"

namespace kivo::editor {

namespace {

constexpr const char* kSection = "EditarFormulaPrecios";
constexpr const char* kHelpKeyword = "Formulae to Compute Players' Prices";

// The entries' hints, row by row in the order Back .. Attack.
constexpr const char* kEntryHints[kFormulaCount] = {"Back Price Formula", "Defender Formula",
                                                    "Wing Price Formula", "Midfield Price Formula",
                                                    "Attack Price Formula"};
// The first computation goes Midfield, Wing, Defender, Back, Attack.
constexpr FormulaRole kFirstOrder[] = {FormulaRole::Midfield, FormulaRole::Wing, FormulaRole::Defender,
                                       FormulaRole::Back, FormulaRole::Attack};

PriceEvaluator& Evaluator() {
    std::shared_ptr<PriceEvaluator>& prices = Globals().Prices;
    if (!prices) prices = std::make_shared<PriceEvaluator>();
    return *prices;
}

// The window's own wording of why a formula cannot be evaluated.
QString FaultText(const FormulaFault& fault) {
    if (fault.results > 1)
        return QStringLiteral("The formula gives %1 values instead of one (a comma separates values; write "
                              "decimals with a point).")
            .arg(fault.results);
    QString text = QString::fromStdString(fault.message);
    if (fault.position > 0) text += QStringLiteral(" (at character %1 of the formula)").arg(fault.position);
    return text + QLatin1Char('.');
}

QLabel* PriceLabel() {
    auto* label = new QLabel;
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(56);
    label->setFrameShape(QFrame::StyledPanel);
    return label;
}

} // namespace

void StartEditarFormulaPrecios() {
    auto* editor = new EditarFormulaPrecios;
    OpenTaskWindow(editor);
    RestoreWindowPlacement(editor, kPlacementFileName, kSection);
}

EditarFormulaPrecios::EditarFormulaPrecios() {
    setWindowTitle(QStringLiteral("Formulae to Compute Prices"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/formula.svg")));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));
    // Every opening starts from the file: an edit left by an earlier Cancel is dropped.
    Globals().Formulas = ReadFormulas(VentanasPath());

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto* minHeading = new QLabel(QStringLiteral("MIN VALUE"));
    auto* maxHeading = new QLabel(QStringLiteral("MAX VALUE"));
    minHeading->setAlignment(Qt::AlignCenter);
    maxHeading->setAlignment(Qt::AlignCenter);
    grid->addWidget(minHeading, 0, 2);
    grid->addWidget(maxHeading, 0, 3);
    for (const FormulaInfo& info : FormulaInfos()) {
        const auto i = std::size_t(info.role);
        Row& r = rows_[i];
        const QString caption = QString::fromLatin1(info.caption.data(), qsizetype(info.caption.size()));
        r.prompt = new QLabel(caption);
        r.entry = new QLineEdit(QString::fromLatin1(Globals().Formulas[i].c_str()));
        r.entry->setMaxLength(int(kFormulaWidth));
        r.entry->setCursorPosition(0); // a long formula shows its start
        r.entry->setMinimumWidth(320);
        r.entry->setToolTip(QString::fromLatin1(kEntryHints[i]));
        r.entry->setStatusTip(r.entry->toolTip());
        r.entry->setAccessibleName(caption);
        r.prompt->setBuddy(r.entry);
        r.lowest = PriceLabel();
        r.lowest->setAccessibleName(caption.chopped(1) + QStringLiteral(" MIN VALUE"));
        r.highest = PriceLabel();
        r.highest->setAccessibleName(caption.chopped(1) + QStringLiteral(" MAX VALUE"));
        r.status = new QLabel;
        r.status->setFixedSize(24, 24);
        r.status->setAccessibleName(caption.chopped(1) + QStringLiteral(" in range"));
        r.hint = new QLabel;
        r.hint->setWordWrap(true);
        SetTextColour(r.hint, QColor(0x8a, 0x4b, 0x00));
        r.hint->setAccessibleName(caption.chopped(1) + QStringLiteral(" hint"));
        r.hint->hide();
        const int line = int(i) * 2 + 1;
        grid->addWidget(r.prompt, line, 0);
        grid->addWidget(r.entry, line, 1);
        grid->addWidget(r.lowest, line, 2);
        grid->addWidget(r.highest, line, 3);
        grid->addWidget(r.status, line, 4);
        grid->addWidget(r.hint, line + 1, 1, 1, 4);
        connect(r.entry, &QLineEdit::editingFinished, this, [this, role = info.role] { Accept(role); });
    }
    grid->setColumnStretch(1, 1);

    save_ = new QPushButton(QStringLiteral("Save"));
    cancel_ = new QPushButton(QStringLiteral("Cancel"));
    auto* help = new QPushButton(QStringLiteral("Help"));
    for (QPushButton* b : {save_, cancel_, help})
        b->setAccessibleName(b->text());
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);
    buttons->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(save_, &QPushButton::clicked, this, &EditarFormulaPrecios::Save);
    connect(cancel_, &QPushButton::clicked, this, &EditarFormulaPrecios::CloseTask);
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });

    // Wide enough for the longest formula (or the built-in ones) to show whole.
    int widest = 0;
    const FormulaSet defaults = DefaultFormulas();
    for (std::size_t i = 0; i < rows_.size(); ++i)
        for (const std::string& formula : {Globals().Formulas[i], defaults[i]})
            widest = std::max(widest, rows_[i].entry->fontMetrics().horizontalAdvance(
                                          QString::fromLatin1(formula.data(), qsizetype(formula.size()))));
    const int entryWidth = rows_[0].entry->sizeHint().width();
    const QSize natural = layout->sizeHint();
    resize(natural.width() + std::max(0, widest + 16 - std::max(320, entryWidth)), natural.height());

    for (FormulaRole role : kFirstOrder)
        Compute(role);
}

void EditarFormulaPrecios::Accept(FormulaRole role) {
    Row& r = rows_[std::size_t(role)];
    std::string& formula = Globals().Formulas[std::size_t(role)];
    const QString typed = r.entry->text();
    const QByteArray latin1 = typed.toLatin1();
    if (QString::fromLatin1(latin1) != typed) {
        // The settings file keeps one byte per character; the text stays as it was.
        ShowInformation(QStringLiteral("Formulae to Compute Prices"),
                        QStringLiteral("A formula can only hold characters of the Latin-1 set. The "
                                       "formula is left as it was."),
                        this);
        r.entry->setText(QString::fromLatin1(formula.c_str()));
        return;
    }
    if (latin1.toStdString() == formula) return;
    formula = latin1.toStdString();
    Compute(role);
}

void EditarFormulaPrecios::Compute(FormulaRole role) {
    Row& r = rows_[std::size_t(role)];
    const std::string& formula = Globals().Formulas[std::size_t(role)];
    const FormulaRange range = Evaluator().Range(formula);
    r.inRange = range.inRange;
    r.lowest->setText(QString::fromStdString(range.lowest));
    r.highest->setText(QString::fromStdString(range.highest));
    const QString picture =
        range.inRange ? QStringLiteral(":/icons/aceptar.svg") : QStringLiteral(":/icons/cancelar.svg");
    r.status->setPixmap(QIcon(picture).pixmap(22, 22));
    r.status->setProperty("inRange", range.inRange);
    QString tip = QString::fromLatin1(range.inRange ? kInRangeTip : kOutOfRangeTip);
    if (const auto fault = Evaluator().Fault(formula, Skills{}))
        tip = QStringLiteral("The formula cannot be evaluated: ") + FaultText(*fault);
    r.status->setToolTip(tip);
    if (const auto pitfalls = FindSuffixPitfalls(formula); !pitfalls.empty()) {
        const SuffixPitfall* pitfall = &pitfalls.front();
        r.hint->setText(
            QStringLiteral("\"%1\" means %2, not %3: write \"%4\".")
                .arg(QString::fromStdString(pitfall->written), QString::fromStdString(pitfall->worth),
                     QString::fromStdString(pitfall->seemsToBe), QString::fromStdString(pitfall->writeThis)));
        r.hint->show();
    } else {
        r.hint->clear();
        r.hint->hide();
    }
}

void EditarFormulaPrecios::Save() {
    // The entry being typed in counts as accepted.
    for (const FormulaInfo& info : FormulaInfos())
        Accept(info.role);
    bool all = true;
    for (const Row& r : rows_)
        all = all && r.inRange;
    if (!all)
        ShowInformation(QStringLiteral("Warning"),
                        QStringLiteral("Not every formula is in range [25k - 15M] !"), this);
    if (!WriteFormulas(VentanasPath(), Globals().Formulas)) {
        // Closing now would lose the edits without the user knowing.
        ShowInformation(QStringLiteral("ERROR"),
                        QStringLiteral("The formulas could not be written to ") +
                            QString::fromStdString(VentanasPath()) +
                            QStringLiteral(". They stay in force until the program ends; check that the "
                                           "file can be written and press Save again."),
                        this);
        return;
    }
    Globals().GlobalResponse = kResponseCompleted;
    CloseTask();
}

void EditarFormulaPrecios::CloseTask() {
    TaskFrameOf(this)->close();
}

void EditarFormulaPrecios::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        SaveWindowPlacement(this, kPlacementFileName, kSection);
    }
    QWidget::closeEvent(event);
}

} // namespace kivo::editor
