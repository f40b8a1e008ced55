#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include "core/players/PlayerFilter.h"
#include "core/support/FixedText.h"
#include "PlayerBrowserSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

// The player browser over a database of 7000 synthetic rows, driven through its widgets: its orders, paging,
// locator, letter steps and quick filter. Its commands are in PlayerBrowserCommandCases.cpp; both halves run
// in this one program.
class PlayerBrowserTest : public QObject, BrowserFixture {
    Q_OBJECT
private slots:
    void init() { SetUpBrowser(); }
    void cleanup() { TearDownBrowser(); }

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
        QCOMPARE(browser->markEntry()->text(), QStringLiteral("25"));
        QCOMPARE(browser->MarcaSeleccionada(), 25);
        // An emptied entry selects no mark: 0.
        browser->markEntry()->clear();
        QCOMPARE(browser->MarcaSeleccionada(), 0);
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
};

QObject* NewPlayerBrowserCommandsTest();

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    PlayerBrowserTest browsing;
    std::unique_ptr<QObject> commands(NewPlayerBrowserCommandsTest());
    int failed = QTest::qExec(&browsing, argc, argv);
    failed += QTest::qExec(commands.get(), argc, argv);
    return failed;
}

#include "tst_PlayerBrowser.moc"
