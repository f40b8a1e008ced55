#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include <memory>

#include "core/clipboard/ClipboardStore.h"
#include "core/players/PlayerCsv.h"
#include "core/players/PlayerDatabase.h"
#include "core/players/PlayerFilter.h"
#include "core/players/PlayerOrders.h"
#include "core/settings/IniFile.h"
#include "core/support/FixedText.h"
#include "editor/app/CheckOpen.h"
#include "editor/app/WindowPlacement.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/PlayerListModel.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/StockMessages.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

// Stands in for the clipboard window: counts its refreshes.
class ClipboardStandIn : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE void Refresh() { ++refreshes; }
    int refreshes = 0;
};

// Runs events until the list has answered every request and stays so for a few rounds.
bool Settle(PlayerListModel* model) {
    QElapsedTimer timer;
    timer.start();
    int quiet = 0;
    while (timer.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!model->settled()) {
            quiet = 0;
        } else if (++quiet >= 4) {
            return true;
        }
        QThread::msleep(1);
    }
    return false;
}

void SetName(PlayerRow& r, const std::string& latin1) {
    r.nombreJugador.fill(0);
    std::copy_n(latin1.begin(), std::min(latin1.size(), r.nombreJugador.size()), r.nombreJugador.begin());
}

void SetTeam(PlayerRow& r, const std::string& latin1) {
    r.nombreEquipo.fill(0);
    std::copy_n(latin1.begin(), std::min(latin1.size(), r.nombreEquipo.size()), r.nombreEquipo.begin());
}

// 7000 rows: more than the list keeps at once. Names in mixed case, some blank, some accented; every key
// repeats; marks 1, 2 and 3 on a few rows.
constexpr int kRows = 7000;

void FillDatabase(const std::string& path) {
    auto db = PlayerDatabase::Open(path, true);
    QVERIFY2(db.ok(), db.ok() ? "" : db.error().text.c_str());
    SQLite::Transaction t(db->connection());
    for (int i = 0; i < kRows; ++i) {
        PlayerRow r;
        r.pais = static_cast<std::uint8_t>(1 + i % 80);
        SetTeam(r, i % 50 == 0 ? std::string("\311LAN FC") : "TEAM " + std::to_string(i % 400));
        r.division = static_cast<std::uint8_t>(i % 5);
        r.nacionalidad = static_cast<std::uint8_t>((i * 7) % 153);
        r.nroCamiseta = static_cast<std::uint8_t>(1 + i % 16);
        const char* stems[] = {"alba", "Bruno", "carlos", "DIEGO", "Emil", "\351lan", "zeta", ""};
        SetName(r, i % 97 == 0 ? std::string() : stems[i % 8] + std::string(" ") + std::to_string(i));
        r.puesto = static_cast<std::uint8_t>((i * 3) % 8);
        for (int s = 0; s < 7; ++s)
            r.skills[s] = static_cast<std::uint8_t>((i * (s + 3) + s) % 16);
        r.valorPase = static_cast<std::uint8_t>((i * 11) % 50);
        r.marca = static_cast<std::uint8_t>(i % 37 == 0 ? 1 + (i / 37) % 3 : 0);
        QVERIFY(db->Add(r).ok());
    }
    t.commit();
}

std::vector<PlayerListEntry> Expected(PlayerOrder order, std::optional<std::uint8_t> mark) {
    auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
    PlayerListRequest all;
    all.order = order;
    all.mark = mark;
    all.limit = 0;
    return *ListPlayers(*db, all);
}

// The ids the list holds for rows first .. first + n - 1 (0 where a row is not read).
std::vector<std::int64_t> ListedIds(PlayerListModel* model, int first, int n) {
    std::vector<std::int64_t> ids;
    for (int row = first; row < first + n && row < model->rowCount(); ++row) {
        const auto e = model->EntryAt(row);
        ids.push_back(e ? e->id : 0);
    }
    return ids;
}

std::vector<std::int64_t> IdsOf(const std::vector<PlayerListEntry>& rows, std::size_t first, std::size_t n) {
    std::vector<std::int64_t> ids;
    for (std::size_t i = first; i < first + n && i < rows.size(); ++i)
        ids.push_back(rows[i].id);
    return ids;
}

void ClickTab(QTabBar* tabs, int tab) {
    // Off-screen tabs are scrolled to first, as a user does with the scroll buttons.
    tabs->setCurrentIndex(tab);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
}

void TypeInto(QLineEdit* entry, const QString& text) {
    entry->setFocus();
    entry->selectAll();
    QTest::keyClick(entry, Qt::Key_Backspace);
    QTest::keyClicks(entry, text);
}

} // namespace

// The player browser over a database of 7000 synthetic rows, driven through its widgets.
class PlayerBrowserTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Seams> seams;
    QPointer<BrowserBusquedas> browser;

    BrowserBusquedas* Open() {
        auto* b = new BrowserBusquedas;
        b->setAttribute(Qt::WA_DeleteOnClose);
        b->resize(1000, 600);
        b->show();
        if (!Settle(b->model())) qWarning("the list did not settle");
        return b;
    }

private slots:
    void init() {
        seams = std::make_unique<test::Seams>();
        Globals().ClipboardFilePath = seams->StartFile("portapap.tps").toStdString();
        FillDatabase(PlayerDatabasePath());
        browser = Open();
    }
    void cleanup() {
        if (browser) browser->close();
        QCoreApplication::processEvents();
        delete browser;
        seams.reset();
    }

    void opensOnTheNameTabWithItsColumnsTabsAndNames() {
        QCOMPARE(browser->windowTitle(), QStringLiteral("Browse Players"));
        QCOMPARE(browser->tabs()->count(), 12);
        QCOMPARE(browser->tabs()->currentIndex(), 0);
        QCOMPARE(BrowserBusquedas::TabTitles(),
                 QStringList({"by Player Name", "by Player Position", "by Player Passing",
                              "by Player Shooting", "by Player Heading", "by Player Tackling",
                              "by Player Ball Control", "by Player Speed", "by Player Finishing",
                              "by Player Price", "filtered by Mark", "by Nationality"}));
        QStringList headers;
        for (int c = 0; c < browser->model()->columnCount(); ++c)
            headers << browser->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"File", "Team Name", "Div.", "Nat.", "N\u00B0", "Player Name", "Pos.",
                                       "PS", "SH", "HE", "TA", "BC", "SP", "FI", "Price"}));
        // Blank names are not in the name order.
        const auto expected = Expected(PlayerOrder::Name, std::nullopt);
        QCOMPARE(browser->model()->rowCount(), static_cast<int>(expected.size()));
        QVERIFY(expected.size() < static_cast<std::size_t>(kRows));
        QCOMPARE(ListedIds(browser->model(), 0, 50), IdsOf(expected, 0, 50));
        QCOMPARE(browser->MarcaSeleccionada(), 0);
        QCOMPARE(Globals().PlayerFileUseCount, 1);
        for (QWidget* w : browser->findChildren<QWidget*>())
            if (qobject_cast<QPushButton*>(w) || qobject_cast<QLineEdit*>(w) || qobject_cast<QTabBar*>(w) ||
                qobject_cast<QTableView*>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
        const auto first = browser->model()->EntryAt(0);
        QVERIFY(first);
        const QModelIndex name = browser->model()->index(0, 5);
        QCOMPARE(name.data().toString(), QString::fromLatin1(TrimRight(first->texts.name).c_str()));
        QCOMPARE(browser->model()->index(0, 7).data().toInt(), int(first->row.skills[0]));
    }

    void eachTabShowsItsOrder_data() {
        QTest::addColumn<int>("tab");
        for (int t = 0; t < 12; ++t)
            QTest::newRow(qPrintable(BrowserBusquedas::TabTitles()[t])) << t;
    }
    void eachTabShowsItsOrder() {
        QFETCH(int, tab);
        TypeInto(browser->markEntry(), QStringLiteral("2"));
        ClickTab(browser->tabs(), tab);
        QVERIFY(Settle(browser->model()));
        const std::optional<std::uint8_t> mark =
            tab == BrowserBusquedas::kMarkTab ? std::optional<std::uint8_t>(2) : std::nullopt;
        const auto expected = Expected(BrowserBusquedas::OrderOfTab(tab), mark);
        QCOMPARE(browser->model()->rowCount(), static_cast<int>(expected.size()));
        // The top, then a page deep in the order read through the scroll bar.
        browser->list()->scrollToTop();
        QVERIFY(Settle(browser->model()));
        QCOMPARE(ListedIds(browser->model(), 0, 20), IdsOf(expected, 0, 20));
        if (expected.size() > 4000) {
            browser->list()->scrollTo(browser->model()->index(4000, 0), QAbstractItemView::PositionAtTop);
            QVERIFY(Settle(browser->model()));
            QCOMPARE(ListedIds(browser->model(), 4000, 20), IdsOf(expected, 4000, 20));
        }
        if (tab == BrowserBusquedas::kMarkTab)
            for (const auto& e : expected)
                QCOMPARE(int(e.row.marca), 2);
    }

    void markZeroShowsNoMarkedPlayersAndTheMarkIsForgottenOnClose() {
        ClickTab(browser->tabs(), BrowserBusquedas::kMarkTab);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(browser->model()->rowCount(), 0);
        TypeInto(browser->markEntry(), QStringLiteral("3"));
        QVERIFY(Settle(browser->model()));
        QCOMPARE(browser->MarcaSeleccionada(), 3);
        QCOMPARE(browser->model()->rowCount(), static_cast<int>(Expected(PlayerOrder::Mark, 3).size()));
        QVERIFY(browser->model()->rowCount() > 0);
        // A mark is one byte: 256 cannot be typed.
        TypeInto(browser->markEntry(), QStringLiteral("256"));
        QVERIFY(browser->MarcaSeleccionada() <= 255);
        browser->button(QStringLiteral("Close"))->click();
        QVERIFY(QTest::qWaitFor([&] { return browser.isNull() || !browser->isVisible(); }));
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        browser = Open();
        QCOMPARE(browser->MarcaSeleccionada(), 0);
        QCOMPARE(browser->markEntry()->text(), QStringLiteral("0"));
        QCOMPARE(Globals().PlayerFileUseCount, 1);
    }

    void scrollsThroughTheWholeOrderKeepingFewRows() {
        ClickTab(browser->tabs(), 2); // passing, best first
        QVERIFY(Settle(browser->model()));
        const auto expected = Expected(PlayerOrder::Passing, std::nullopt);
        QCOMPARE(browser->model()->rowCount(), kRows);
        QTableView* list = browser->list();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(list->currentIndex().row(), kRows - 1);
        QCOMPARE(ListedIds(browser->model(), kRows - 10, 10), IdsOf(expected, kRows - 10, 10));
        // Upwards a page at a time from the end: each chunk comes before the one below it.
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(list, Qt::Key_PageUp);
        QVERIFY(Settle(browser->model()));
        const int top = list->rowAt(0);
        QCOMPARE(ListedIds(browser->model(), top, 30), IdsOf(expected, top, 30));
        // From the top to the bottom by the scroll bar, each view checked against the order.
        QScrollBar* bar = list->verticalScrollBar();
        for (int v = 0; v <= bar->maximum(); v += bar->pageStep() * 7) {
            bar->setValue(v);
            QVERIFY(Settle(browser->model()));
            const int first = list->rowAt(0);
            QCOMPARE(ListedIds(browser->model(), first, 20), IdsOf(expected, first, 20));
            QVERIFY(browser->model()->chunksHeld() <= PlayerListModel::kChunksKept);
        }
    }

    void changingTabKeepsTheHighlightedPlayerInView() {
        QTableView* list = browser->list();
        list->scrollTo(browser->model()->index(3000, 0));
        QVERIFY(Settle(browser->model()));
        list->setCurrentIndex(browser->model()->index(3000, 0));
        const auto chosen = browser->Highlighted();
        QVERIFY(chosen);
        for (int tab : {4, 9, 11, 1, 0}) {
            ClickTab(browser->tabs(), tab);
            QVERIFY(Settle(browser->model()));
            const auto now = browser->Highlighted();
            QVERIFY(now);
            QCOMPARE(now->id, chosen->id);
            const QRect shown = list->visualRect(list->currentIndex());
            QVERIFY(list->viewport()->rect().intersects(shown));
        }
    }

    void quickTabSwitchesKeepOnlyTheLastOrder() {
        for (int tab = 1; tab < 12; ++tab)
            browser->tabs()->setCurrentIndex(tab);
        browser->tabs()->setCurrentIndex(3);
        QVERIFY(Settle(browser->model()));
        const auto expected = Expected(PlayerOrder::Shooting, std::nullopt);
        QCOMPARE(browser->model()->rowCount(), kRows);
        const int top = browser->list()->rowAt(0);
        QCOMPARE(ListedIds(browser->model(), top, 20), IdsOf(expected, top, 20));
    }

    void answersOfAnEarlierOrderAreDropped() {
        PlayerListModel* model = browser->model();
        const auto kept = model->EntryAt(40);
        QVERIFY(kept);
        QSignalSpy found(model, &PlayerListModel::placeFound);
        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        // Three orders asked for in a row: only the last one's answer is applied.
        model->SetOrder(PlayerOrder::Passing, std::nullopt, kept);
        model->SetOrder(PlayerOrder::Mark, std::uint8_t{1}, kept);
        model->SetOrder(PlayerOrder::Speed, std::nullopt, kept);
        QVERIFY(Settle(model));
        QCOMPARE(resets.size(), 1);
        QCOMPARE(found.size(), 1);
        const auto expected = Expected(PlayerOrder::Speed, std::nullopt);
        const auto at =
            std::find_if(expected.begin(), expected.end(), [&](const auto& e) { return e.id == kept->id; });
        QCOMPARE(found[0][0].toInt(), static_cast<int>(at - expected.begin()));
        QCOMPARE(model->EntryAt(found[0][0].toInt())->id, kept->id);
        QCOMPARE(model->rowCount(), kRows);
    }

    void nameLocatorByEntryAndByTypingInTheList() {
        QTableView* list = browser->list();
        const auto expected = Expected(PlayerOrder::Name, std::nullopt);
        auto firstAtOrAfter = [&](const std::string& text) {
            std::string upper = text;
            for (char& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (std::size_t i = 0; i < expected.size(); ++i) {
                std::string name = TrimRight(expected[i].texts.name);
                for (char& c : name)
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                if (name >= upper) return static_cast<int>(i);
            }
            return static_cast<int>(expected.size()) - 1;
        };
        TypeInto(browser->locatorEntry(), QStringLiteral("carlos 5"));
        QTest::keyClick(browser->locatorEntry(), Qt::Key_Return);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(list->currentIndex().row(), firstAtOrAfter("carlos 5"));
        QCOMPARE(list->rowAt(0), list->currentIndex().row()); // the found player starts the list
        QVERIFY(list->hasFocus());
        // Typing in the list extends the locator, Backspace takes back its last character.
        QTest::keyClick(list, '9');
        QVERIFY(Settle(browser->model()));
        QCOMPARE(browser->locatorEntry()->text(), QStringLiteral("carlos 59"));
        QCOMPARE(list->currentIndex().row(), firstAtOrAfter("carlos 59"));
        QTest::keyClick(list, Qt::Key_Backspace);
        QTest::keyClick(list, Qt::Key_Backspace);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(browser->locatorEntry()->text(), QStringLiteral("carlos "));
        QCOMPARE(list->currentIndex().row(), firstAtOrAfter("carlos "));
        QTest::keyClicks(list, "DIE");
        QVERIFY(Settle(browser->model()));
        QCOMPARE(list->currentIndex().row(), firstAtOrAfter("carlos DIE"));
        // A blank text does nothing.
        const int before = list->currentIndex().row();
        TypeInto(browser->locatorEntry(), QStringLiteral("   "));
        QTest::keyClick(browser->locatorEntry(), Qt::Key_Return);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(list->currentIndex().row(), before);
        // Accented names follow z in the name order; past every name: the last row.
        for (const char* text : {"zzzz", "\377\377"}) {
            TypeInto(browser->locatorEntry(), QString::fromLatin1(text));
            QTest::keyClick(browser->locatorEntry(), Qt::Key_Return);
            QVERIFY(Settle(browser->model()));
            QCOMPARE(list->currentIndex().row(), firstAtOrAfter(text));
        }
        QCOMPARE(list->currentIndex().row(), browser->model()->rowCount() - 1);
        // Leaving the tab and coming back clears the locator.
        ClickTab(browser->tabs(), 1);
        ClickTab(browser->tabs(), 0);
        QVERIFY(browser->locatorEntry()->text().isEmpty());
        QVERIFY(browser->locatorEntry()->isVisible());
        QVERIFY(browser->button(QStringLiteral("Copy player"))->isVisible());
        QVERIFY(!browser->button(QStringLiteral("Print Marked"))->isVisible());
    }

    void typedCharacterStepsToTheNextPlayerWhoseSortFieldStartsWithIt_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<char>("letter");
        QTest::addColumn<QString>("field"); // what the shown field of each found row starts with
        QTest::addColumn<int>("column");
        QTest::newRow("position D") << 1 << 'd' << "D" << 6;
        QTest::newRow("position LW after LB, upper case typed") << 1 << 'L' << "L" << 6;
        QTest::newRow("passing 1 (1, then 10 to 15)") << 2 << '1' << "1" << 7;
        QTest::newRow("price 1") << 9 << '1' << "1" << 14;
        QTest::newRow("nationality S") << 11 << 's' << "S" << 3;
    }
    void typedCharacterStepsToTheNextPlayerWhoseSortFieldStartsWithIt() {
        QFETCH(int, tab);
        QFETCH(char, letter);
        QFETCH(QString, field);
        QFETCH(int, column);
        ClickTab(browser->tabs(), tab);
        QVERIFY(Settle(browser->model()));
        QTableView* list = browser->list();
        list->setFocus();
        int previous = list->currentIndex().row();
        for (int step = 0; step < 3; ++step) {
            QTest::keyClick(list, letter);
            QVERIFY(Settle(browser->model()));
            const int row = list->currentIndex().row();
            QVERIFY2(row != previous || step > 0, "the first step moves");
            QVERIFY(browser->model()->EntryAt(row));
            const QString shown = browser->model()->index(row, column).data().toString();
            QVERIFY2(shown.startsWith(field, Qt::CaseInsensitive), qPrintable(shown));
            // The row before it (when it is after the previous one) does not start so, or is the previous.
            if (row > previous + 1) {
                const QString skipped = browser->model()->index(row - 1, column).data().toString();
                QVERIFY2(!skipped.startsWith(field, Qt::CaseInsensitive), qPrintable(skipped));
            }
            previous = row;
        }
    }

    void copyPlayerAddsTheDatabaseRowToTheClipboardFile() {
        ClipboardStandIn clipboard;
        Globals().ClipboardThread = &clipboard;
        QTableView* list = browser->list();
        list->setCurrentIndex(browser->model()->index(7, 0));
        const auto chosen = browser->Highlighted();
        QVERIFY(chosen);
        browser->button(QStringLiteral("Copy player"))->click();
        browser->button(QStringLiteral("Copy player"))->click();
        QTRY_COMPARE(clipboard.refreshes, 2);
        Globals().ClipboardThread = nullptr;
        const PlayerTransferRecord expected = TransferFromDatabaseRow(chosen->row);
        QCOMPARE(Globals().TransferRecord, expected);
        auto store = ClipboardStore::Open(Globals().ClipboardFilePath, false);
        QVERIFY(store.ok());
        auto entries = store->List();
        QVERIFY(entries.ok());
        QCOMPARE(entries->size(), std::size_t{2}); // duplicates are kept
        QCOMPARE(Normalised((*entries)[0].record), Normalised(expected));
        QCOMPARE(expected.aspecto, std::uint8_t{0});
        QCOMPARE(Globals().ClipboardFileUseCount, 0); // taken for the add only
    }

    void quickFilterNarrowsTheOrderLiveAndEscClearsIt() {
        ClickTab(browser->tabs(), 2);
        QVERIFY(Settle(browser->model()));
        QLineEdit* filter = browser->filterEntry();
        filter->setFocus();
        // "élan": the names élan … and the team ÉLAN FC; the accented letter typed as a keyboard sends it.
        QTest::sendKeyEvent(QTest::Press, filter, Qt::Key_Eacute, QString::fromLatin1("\351"),
                            Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, filter, Qt::Key_Eacute, QString::fromLatin1("\351"),
                            Qt::NoModifier);
        QTest::keyClicks(filter, QStringLiteral("lan"));
        QCOMPARE(filter->text(), QString::fromLatin1("\351lan"));
        QVERIFY(Settle(browser->model()));
        std::vector<PlayerListEntry> expected;
        for (const auto& e : Expected(PlayerOrder::Passing, std::nullopt))
            if (PlayerQuickFilter("\351lan").Matches(e.row)) expected.push_back(e);
        QVERIFY(expected.size() > 500);
        // The list grows as it is scrolled down.
        QTableView* list = browser->list();
        for (int i = 0; i < 200 && browser->model()->rowCount() < static_cast<int>(expected.size()); ++i) {
            list->scrollToBottom();
            QVERIFY(Settle(browser->model()));
        }
        QCOMPARE(browser->model()->rowCount(), static_cast<int>(expected.size()));
        QCOMPARE(ListedIds(browser->model(), 0, browser->model()->rowCount()),
                 IdsOf(expected, 0, expected.size()));
        QTest::keyClick(filter, Qt::Key_Escape);
        QVERIFY(filter->text().isEmpty());
        QVERIFY(Settle(browser->model()));
        QCOMPARE(browser->model()->rowCount(), kRows);
        QVERIFY(!browser->model()->filtered());
    }

    void exportWritesTheMarkOrTheFilteredListAsCsv_data() {
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("tab");
        QTest::newRow("selected mark 1") << "1"
                                         << "" << 0;
        QTest::newRow("quick filter on the passing order") << "0"
                                                           << "bruno 1" << 2;
        QTest::newRow("quick filter on the mark tab") << "2"
                                                      << "a" << BrowserBusquedas::kMarkTab;
    }
    void exportWritesTheMarkOrTheFilteredListAsCsv() {
        QFETCH(QString, mark);
        QFETCH(QString, filter);
        QFETCH(int, tab);
        const QString path = seams->StartFile("players.csv");
        BrowserBusquedas::ExportPathChooser() = [path] { return path; };
        TypeInto(browser->markEntry(), mark);
        ClickTab(browser->tabs(), tab);
        TypeInto(browser->filterEntry(), filter);
        QVERIFY(Settle(browser->model()));
        browser->button(QStringLiteral("Export\u2026"))->click();
        QTRY_VERIFY(!seams->messages.empty());
        BrowserBusquedas::ExportPathChooser() = nullptr;
        const PlayerOrder order = filter.isEmpty() ? PlayerOrder::Mark : BrowserBusquedas::OrderOfTab(tab);
        const std::optional<std::uint8_t> m =
            filter.isEmpty() || tab == BrowserBusquedas::kMarkTab
                ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(mark.toInt()))
                : std::nullopt;
        std::string expected = PlayerCsvHeader();
        int lines = 0;
        for (const auto& e : Expected(order, m))
            if (PlayerQuickFilter(filter.toStdString()).Matches(e.row)) {
                expected += PlayerCsvLine(e.row);
                ++lines;
            }
        QVERIFY(lines > 0);
        QCOMPARE(test::ReadFile(path).toStdString(), expected);
        QCOMPARE(seams->messages.back().text,
                 QStringLiteral("%1 players written to %2.").arg(lines).arg(path));
    }

    void exportWithoutMarkOrFilterWritesNothing() {
        const QString path = seams->StartFile("nothing.csv");
        BrowserBusquedas::ExportPathChooser() = [path] { return path; };
        browser->button(QStringLiteral("Export\u2026"))->click();
        BrowserBusquedas::ExportPathChooser() = nullptr;
        QCOMPARE(seams->messages.size(), std::size_t{1});
        QVERIFY(!QFile::exists(path));
    }

    void clearMarksActsOnTheSelectedMarkAndZeroClearsAll() {
        ClickTab(browser->tabs(), BrowserBusquedas::kMarkTab);
        TypeInto(browser->markEntry(), QStringLiteral("3"));
        QVERIFY(Settle(browser->model()));
        const int ones = static_cast<int>(Expected(PlayerOrder::Mark, 1).size());
        QVERIFY(browser->model()->rowCount() > 0);
        browser->findChild<QPushButton*>(QStringLiteral("Clear Marks"))->click();
        QTRY_VERIFY(Expected(PlayerOrder::Mark, 3).empty());
        QTRY_COMPARE(browser->model()->rowCount(), 0);
        QCOMPARE(static_cast<int>(Expected(PlayerOrder::Mark, 1).size()), ones);
        TypeInto(browser->markEntry(), QStringLiteral("1"));
        QVERIFY(Settle(browser->model()));
        QCOMPARE(browser->model()->rowCount(), ones);
        // Mark 0 selected: "Clear Marks" clears every mark.
        TypeInto(browser->markEntry(), QStringLiteral("0"));
        browser->findChild<QPushButton*>(QStringLiteral("Clear Marks"))->click();
        QTRY_VERIFY(Expected(PlayerOrder::Mark, std::nullopt).empty());
    }

    void aSearchMarksWithTheSelectedMarkAndTheMarkTabShowsExactlyThoseFound() {
        TypeInto(browser->markEntry(), QStringLiteral("7"));
        std::vector<std::int64_t>
            wanted; // position D (3) and passing 8 or more, in the mark order's sequence
        for (const auto& e : Expected(PlayerOrder::Country, std::nullopt))
            if (e.row.puesto == 3 && e.row.skills[0] >= 8) wanted.push_back(e.id);
        std::sort(wanted.begin(), wanted.end());
        QVERIFY(!wanted.empty());
        browser->button(QStringLiteral("Set Search Criteria and Search"))->click();
        QPointer<FormularioBusqueda> form = browser->findChild<FormularioBusqueda*>();
        QVERIFY(form);
        QCOMPARE(form->mark(), 7);
        QVERIFY(!browser->isEnabled()); // the form is modal on the browser
        form->positionList()->setCurrentText(QStringLiteral("D"));
        form->skillEntry(0)->setValue(8);
        form->searchButton()->click();
        QTRY_COMPARE(Expected(PlayerOrder::Mark, 7).size(), wanted.size());
        QTRY_VERIFY(browser->findChildren<ProgressWindow*>().isEmpty());
        QVERIFY(form); // the form stays open after a search
        form->closeButton()->click();
        QTRY_VERIFY(form.isNull());
        QVERIFY(browser->isEnabled());
        ClickTab(browser->tabs(), BrowserBusquedas::kMarkTab);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(browser->model()->rowCount(), static_cast<int>(wanted.size()));
        // Read through the list as the user scrolls it.
        std::vector<std::int64_t> shown;
        while (static_cast<int>(shown.size()) < browser->model()->rowCount()) {
            const int row = static_cast<int>(shown.size());
            browser->list()->scrollTo(browser->model()->index(row, 0), QAbstractItemView::PositionAtTop);
            QVERIFY(Settle(browser->model()));
            const auto e = browser->model()->EntryAt(row);
            QVERIFY(e);
            QCOMPARE(int(e->row.marca), 7);
            shown.push_back(e->id);
        }
        QCOMPARE(shown, wanted); // one mark: the mark order follows the rows' places
    }

    void aRowThatCannotBeReadShowsTheRecordRetrievalWarning() {
        ClickTab(browser->tabs(), 2);
        QVERIFY(Settle(browser->model()));
        {
            auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
            db->connection().exec("ALTER TABLE jugadores RENAME TO gone");
        }
        browser->list()->scrollToBottom();
        QVERIFY(Settle(browser->model()));
        browser->list()->scrollTo(browser->model()->index(3000, 0));
        QVERIFY(Settle(browser->model()));
        QCOMPARE(seams->messages.size(), std::size_t{1}); // once, however many rows were asked for
        const MessageSpec expected =
            StockMessageSpec(StockMessage::RecordRetrieval, QStringLiteral("x"), QStringLiteral("Jugadores"));
        QCOMPARE(seams->messages[0].title, expected.title);
        QVERIFY2(seams->messages[0].text.contains(QStringLiteral("Jugadores")),
                 qPrintable(seams->messages[0].text));
        QCOMPARE(browser->model()->rowCount(), kRows); // the rows read stay listed
    }

    void aDamagedOrderShowsTheViewOpenWarning() {
        {
            auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
            db->connection().exec("ALTER TABLE jugadores RENAME TO gone");
        }
        ClickTab(browser->tabs(), 2);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(seams->messages.size(), std::size_t{1});
        QCOMPARE(seams->messages[0].title, StockMessageSpec(StockMessage::ViewOpen).title);
        QCOMPARE(browser->model()->rowCount(), 0);
        // One warning per reload, not one per row asked for.
        ClickTab(browser->tabs(), 3);
        QVERIFY(Settle(browser->model()));
        QCOMPARE(seams->messages.size(), std::size_t{2});
    }

    void runsInsideTheFrameAndItsCloseClosesTheSubwindow() {
        browser->close();
        QTRY_VERIFY(browser.isNull());
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        QMdiArea area;
        area.resize(1100, 700);
        area.show();
        Globals().TaskArea = &area;
        StartBrowserBusquedas();
        QCOMPARE(area.subWindowList().size(), 1);
        QPointer<QMdiSubWindow> sub = area.subWindowList().first();
        auto* b = qobject_cast<BrowserBusquedas*>(sub->widget());
        QVERIFY(b);
        QCOMPARE(Globals().PlayerFileUseCount, 1);
        QVERIFY(Settle(b->model()));
        QCOMPARE(b->model()->rowCount(), static_cast<int>(Expected(PlayerOrder::Name, std::nullopt).size()));
        // "Update One Team File" opens modally beside the browser, which waits for it.
        b->button(QStringLiteral("Update One Team File"))->click();
        QCOMPARE(area.subWindowList().size(), 2);
        QVERIFY(!sub->isEnabled());
        auto* update = area.findChild<ActualizarArchivoTodos*>();
        QVERIFY(update);
        update->closeButton()->click();
        QTRY_COMPARE(area.subWindowList().size(), 1);
        QVERIFY(sub->isEnabled());
        QVERIFY(Settle(b->model()));
        b->button(QStringLiteral("Close"))->click();
        QTRY_VERIFY(sub.isNull());
        QVERIFY(area.subWindowList().isEmpty());
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        QVERIFY(!ReadIniText(PlacementIniPath("zeltra.ini"), "BrowserBusquedas", "Width", "").empty());
        Globals().TaskArea = nullptr;
    }

    void theListFollowsTheWindowsSize() {
        const int width = browser->list()->width();
        const int height = browser->list()->height();
        browser->resize(1200, 800);
        QCoreApplication::processEvents();
        QVERIFY(browser->list()->width() > width);
        QVERIFY(browser->list()->height() > height);
    }
};

QTEST_MAIN(PlayerBrowserTest)
#include "tst_PlayerBrowser.moc"
