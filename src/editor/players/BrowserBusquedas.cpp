#include "editor/players/BrowserBusquedas.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include "core/players/TeamRowsRefresh.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/TaskWindows.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/ImprimirJugadoresMarcados.h"
#include "editor/players/MarkingProgress.h"
#include "editor/players/PlayerListModel.h"
#include "editor/players/PlayersWindowSupport.h"
#include "editor/rosters/RosterCommands.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/EditorState.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/MessageBox.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/StockMessages.h"
#include "editor/ui/TaskWindows.h"

namespace kivo::editor {

namespace {

const char* const kSection = "BrowserBusquedas";
const char* const kHelpKeyword = "Finding Players";

struct TabOrder {
    const char* title;
    PlayerOrder order;
};

constexpr TabOrder kTabs[] = {
    {"by Player Name", PlayerOrder::Name},
    {"by Player Position", PlayerOrder::Position},
    {"by Player Passing", PlayerOrder::Passing},
    {"by Player Shooting", PlayerOrder::Shooting},
    {"by Player Heading", PlayerOrder::Heading},
    {"by Player Tackling", PlayerOrder::Tackling},
    {"by Player Ball Control", PlayerOrder::BallControl},
    {"by Player Speed", PlayerOrder::Speed},
    {"by Player Finishing", PlayerOrder::Finishing},
    {"by Player Price", PlayerOrder::Price},
    {"filtered by Mark", PlayerOrder::Mark},
    {"by Nationality", PlayerOrder::Nationality},
};

// The tab of each column whose values one of the orders sorts by ("Nat.", "Player Name", "Pos.", the seven
// skills, "Price"); -1 for the others.
constexpr int kColumnTabs[] = {-1, -1, -1, 11, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

// Column widths in characters of the list's formats.
constexpr int kColumnChars[] = {11, 20, 12, 5, 3, 23, 4, 3, 3, 3, 3, 3, 3, 3, 6};

// A mark is one byte: a number above 255 cannot be typed (the plain validator lets "256" stand as
// unfinished).
class MarkValidator : public QIntValidator {
public:
    using QIntValidator::QIntValidator;
    State validate(QString& input, int& pos) const override {
        const State state = QIntValidator::validate(input, pos);
        return state == Intermediate && !input.isEmpty() && input.toInt() > top() ? Invalid : state;
    }
};

QPushButton* Button(const QString& text, const QString& tip = {}) {
    auto* b = new QPushButton(text);
    b->setAccessibleName(text);
    if (!tip.isEmpty()) b->setToolTip(tip);
    return b;
}

} // namespace

PlayerOrder BrowserBusquedas::OrderOfTab(int tab) {
    return kTabs[std::clamp(tab, 0, static_cast<int>(std::size(kTabs)) - 1)].order;
}

int BrowserBusquedas::TabOfColumn(int column) {
    return column >= 0 && column < static_cast<int>(std::size(kColumnTabs)) ? kColumnTabs[column] : -1;
}

QStringList BrowserBusquedas::TabTitles() {
    QStringList titles;
    for (const TabOrder& t : kTabs)
        titles << QString::fromLatin1(t.title);
    return titles;
}

BrowserBusquedas::BrowserBusquedas(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Browse Players"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/buscar3.svg")));
    SetHelpKeyword(this, QString::fromLatin1(kHelpKeyword));
    holdsDatabase_ = UsePlayerDatabase();

    model_ = new PlayerListModel(PlayerDatabasePath(), this);

    filter_ = new QLineEdit;
    filter_->setAccessibleName(QStringLiteral("Quick Filter:"));
    filter_->setToolTip(
        QStringLiteral("Show only the players whose name or team contains this text (Esc clears it)"));
    filter_->setPlaceholderText(QStringLiteral("Player or team name contains..."));
    filter_->installEventFilter(this);
    auto* filterPrompt = new QLabel(QStringLiteral("Quick Filter:"));
    filterPrompt->setBuddy(filter_);
    filterCount_ = new QLabel;
    filterCount_->setAccessibleName(QStringLiteral("Players Shown"));

    list_ = new QTableView;
    list_->setModel(model_);
    list_->setAccessibleName(QStringLiteral("Players"));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setAlternatingRowColors(true);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    // Fixed row heights: the view never asks a row for its size, so a long order costs nothing to lay out.
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    // Tab leaves the list: the list is one stop, the arrows move inside it.
    list_->setTabKeyNavigation(false);
    list_->horizontalHeader()->setHighlightSections(false);
    // A click on the heading of a column that has an order selects that order's tab.
    list_->horizontalHeader()->setSectionsClickable(true);
    list_->horizontalHeader()->setSortIndicatorShown(true);
    const int charWidth = list_->fontMetrics().averageCharWidth();
    for (int c = 0; c < static_cast<int>(std::size(kColumnChars)); ++c)
        list_->setColumnWidth(c, kColumnChars[c] * charWidth + 10);
    list_->installEventFilter(this);

    tabs_ = new QTabBar;
    tabs_->setAccessibleName(QStringLiteral("Order"));
    tabs_->setUsesScrollButtons(true);
    tabs_->setExpanding(false);
    for (const QString& title : TabTitles())
        tabs_->addTab(title);

    locator_ = new QLineEdit;
    locator_->setMaxLength(23);
    locator_->setAccessibleName(QStringLiteral("Player Name:"));
    locator_->setToolTip(QStringLiteral("Nombre del Jugador"));
    locatorPrompt_ = new QLabel(QStringLiteral("Player Name:"));
    locatorPrompt_->setBuddy(locator_);
    copy_ = Button(QStringLiteral("Copy player"));
    auto* editTeam = Button(QStringLiteral("Edit Team"));
    editTeam->setToolTip(QStringLiteral("Open the highlighted player's team in the team editor (Enter)"));
    olderNote_ = new QLabel(QStringLiteral(
        "This file was built before it kept each player's team: build it again (\"Create a File with all "
        "the Players\") to open a player's team from here."));
    olderNote_->setWordWrap(true);
    olderNote_->setAccessibleName(olderNote_->text());
    olderNote_->setVisible(false);
    if (holdsDatabase_)
        if (auto database = PlayerDatabase::Open(PlayerDatabasePath(), true)) {
            const auto keeps = DatabaseKeepsPlayerPlaces(*database);
            olderNote_->setVisible(keeps.ok() && !*keeps);
        }
    print_ = Button(QStringLiteral("Print Marked"));
    auto* exportButton = Button(QStringLiteral("Export\u2026"),
                                QStringLiteral("Export the players of the selected mark, or those the quick "
                                               "filter shows, to a CSV file"));

    auto* search = Button(QStringLiteral("Set Search Criteria and Search"));
    search->setIcon(QIcon(QStringLiteral(":/icons/editbus.svg")));
    markEntry_ = new QLineEdit(QStringLiteral("0"));
    markEntry_->setMaxLength(3);
    markEntry_->setValidator(new MarkValidator(0, 255, markEntry_));
    markEntry_->setAccessibleName(QStringLiteral("Selected Mark:"));
    markEntry_->setMaximumWidth(50);
    auto* markPrompt = new QLabel(QStringLiteral("Selected Mark:"));
    markPrompt->setBuddy(markEntry_);
    auto* clear = Button(QStringLiteral("Clear Marks"), QStringLiteral("Clear Marks (Selected)"));
    auto* clearAll =
        Button(QStringLiteral("Clear ALL Marks"), QStringLiteral("Clear All Marks (Selected or not)"));
    auto* update = Button(QStringLiteral("Update One Team File"),
                          QStringLiteral("Update the players from one particular TEAM file"));
    auto* close = Button(QStringLiteral("Close"));
    auto* help = Button(QStringLiteral("Help"));
    // Buttons are found by their text.
    for (QPushButton* b : {clear, clearAll, update})
        b->setObjectName(b->text());

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterPrompt);
    filterRow->addWidget(filter_, 1);
    filterRow->addWidget(filterCount_);
    auto* tabRow = new QHBoxLayout;
    tabRow->addWidget(locatorPrompt_);
    tabRow->addWidget(locator_);
    tabRow->addWidget(copy_);
    tabRow->addWidget(editTeam);
    tabRow->addStretch();
    tabRow->addWidget(print_);
    auto* reprice = Button(QStringLiteral("Reprice Marked\u2026"),
                           QStringLiteral("Price the players of the selected mark by the formulas"));
    reprice->setAccessibleName(reprice->text());
    tabRow->addWidget(reprice);
    tabRow->addWidget(exportButton);
    connect(reprice, &QPushButton::clicked, this, [this] {
        RepriceMarkedCommand(this, marcaSeleccionada_);
        ReloadList();
    });
    auto* commands = new QHBoxLayout;
    commands->addWidget(search);
    commands->addSpacing(12);
    commands->addWidget(markPrompt);
    commands->addWidget(markEntry_);
    commands->addWidget(clear);
    commands->addWidget(clearAll);
    commands->addStretch();
    commands->addWidget(update);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    bottom->addWidget(help);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(olderNote_);
    layout->addLayout(filterRow);
    layout->addWidget(list_, 1);
    layout->addWidget(tabs_);
    layout->addLayout(tabRow);
    layout->addLayout(commands);
    layout->addLayout(bottom);
    // Twenty rows in view at the opening size.
    const int rows = 20 * list_->verticalHeader()->defaultSectionSize() +
                     list_->horizontalHeader()->sizeHint().height() + 2 * list_->frameWidth() +
                     list_->horizontalScrollBar()->sizeHint().height();
    resize(900, layout->sizeHint().height() - list_->sizeHint().height() + rows);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        filterCount_->clear();
        model_->SetFilter(text.toLatin1().toStdString());
    });
    connect(model_, &PlayerListModel::filterCounted, this, [this](qint64 matching, qint64 total) {
        filterCount_->setText(QStringLiteral("%1 of %2 players").arg(matching).arg(total));
    });
    connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        const int tab = TabOfColumn(column);
        if (tab >= 0) tabs_->setCurrentIndex(tab);
        ShowSortColumn();
    });
    connect(tabs_, &QTabBar::currentChanged, this, &BrowserBusquedas::TabChanged);
    connect(markEntry_, &QLineEdit::textChanged, this, &BrowserBusquedas::MarkEdited);
    connect(locator_, &QLineEdit::returnPressed, this, &BrowserBusquedas::Locate);
    connect(copy_, &QPushButton::clicked, this, &BrowserBusquedas::CopyPlayer);
    connect(editTeam, &QPushButton::clicked, this, &BrowserBusquedas::EditTeam);
    connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { EditTeam(); });
    connect(exportButton, &QPushButton::clicked, this, &BrowserBusquedas::ExportPlayers);
    connect(close, &QPushButton::clicked, this, &BrowserBusquedas::CloseWindow);
    connect(help, &QPushButton::clicked, this, [] { ShowHelp(QString::fromLatin1(kHelpKeyword)); });

    const QPointer<BrowserBusquedas> self(this);
    const auto reload = [self](int = 0) {
        if (self) self->ReloadList();
    };
    connect(search, &QPushButton::clicked, this,
            [this, reload] { OpenModalOnTask(this, new FormularioBusqueda(marcaSeleccionada_), reload); });
    connect(clear, &QPushButton::clicked, this, [this, reload] {
        // With Selected Mark 0 this clears every mark, as Clear ALL Marks does: both ask first.
        if (marcaSeleccionada_ == 0 && !ConfirmClearingEveryMark(window())) return;
        RunClearMarks(this, marcaSeleccionada_, [reload] { reload(); });
    });
    connect(clearAll, &QPushButton::clicked, this, [this, reload] {
        if (!ConfirmClearingEveryMark(window())) return;
        RunClearMarks(this, 0, [reload] { reload(); });
    });
    connect(update, &QPushButton::clicked, this,
            [this, reload] { OpenModalOnTask(this, new ActualizarArchivoTodos, reload); });
    connect(print_, &QPushButton::clicked, this,
            [this, reload] { ImprimirJugadoresMarcados(this, marcaSeleccionada_, [reload] { reload(); }); });

    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        if (model_->rowCount() > 0) list_->setCurrentIndex(model_->index(0, 0));
    });
    connect(model_, &PlayerListModel::placeFound, this, [this](int row) { GoToRow(row, nextPlaceToTop_); });
    connect(model_, &PlayerListModel::loadFailed, this, [this](const QString& text, bool positioning) {
        if (positioning)
            RaiseStockMessage(StockMessage::ViewOpen, StorageErrorText(text.toStdString()), {}, {}, window());
        else
            RaiseStockMessage(StockMessage::RecordRetrieval, StorageErrorText(text.toStdString()),
                              QStringLiteral("Jugadores"), {}, window());
    });

    TabChanged(kNameTab);
    list_->setFocus();
}

BrowserBusquedas::~BrowserBusquedas() {
    CutChildConnections(this);
    if (holdsDatabase_) ReleasePlayerDatabase();
}

QPushButton* BrowserBusquedas::button(const QString& text) const {
    for (QPushButton* b : findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

std::optional<PlayerListEntry> BrowserBusquedas::Highlighted() const {
    const QModelIndex current = list_->currentIndex();
    if (!current.isValid()) return std::nullopt;
    return model_->EntryAt(current.row());
}

void BrowserBusquedas::ShowSortColumn() {
    // The arrow stands on the column the tab's order sorts by; no arrow when that column is not shown.
    QHeaderView* header = list_->horizontalHeader();
    const auto* column = std::find(std::begin(kColumnTabs), std::end(kColumnTabs), tabs_->currentIndex());
    const bool descending = SqlOf(OrderOfTab(tabs_->currentIndex())).descending;
    const QSignalBlocker block(header);
    header->setSortIndicator(column == std::end(kColumnTabs) ? -1 : int(column - std::begin(kColumnTabs)),
                             descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void BrowserBusquedas::TabChanged(int tab) {
    ShowSortColumn();
    const bool nameTab = tab == kNameTab;
    if (nameTab) locator_->clear();
    locatorPrompt_->setVisible(nameTab);
    locator_->setVisible(nameTab);
    copy_->setVisible(nameTab);
    print_->setVisible(tab == kMarkTab);
    nextPlaceToTop_ = false;
    ShowOrder(Highlighted());
}

void BrowserBusquedas::MarkEdited(const QString& text) {
    const int mark = text.toInt();
    if (mark == marcaSeleccionada_ || mark < 0 || mark > 255) return;
    marcaSeleccionada_ = mark;
    ReloadList();
}

void BrowserBusquedas::ShowOrder(std::optional<PlayerListEntry> keep) {
    const int tab = tabs_->currentIndex();
    const std::optional<std::uint8_t> mark =
        tab == kMarkTab ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(marcaSeleccionada_))
                        : std::nullopt;
    model_->SetOrder(OrderOfTab(tab), mark, std::move(keep));
}

void BrowserBusquedas::ReloadList() {
    if (closing_) return;
    nextPlaceToTop_ = false;
    ShowOrder(Highlighted());
}

void BrowserBusquedas::CloseWindow() {
    CloseWithFrame(this);
}

void BrowserBusquedas::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOnFirstShow(this, kSection, placed_, true);
}

void BrowserBusquedas::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        closing_ = true;
        LeaveWindow(this, kSection, holdsDatabase_);
        Globals().GlobalResponse = kResponseCancelled;
    }
    QWidget::closeEvent(event);
}

void StartBrowserBusquedas() {
    auto* browser = new BrowserBusquedas;
    // The database could not be opened: the program is being stopped, the window does not open.
    if (!browser->holdsDatabase()) {
        delete browser;
        return;
    }
    OpenTaskWindow(browser);
}

} // namespace kivo::editor
