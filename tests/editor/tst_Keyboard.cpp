#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTabWidget>
#include <QtTest>

#include "core/gamefiles/AttributeTables.h"
#include "editor/players/FormularioBusqueda.h"
#include "PlayerBrowserSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

// Two players the generated rows do not have: one named with an accent, one whose team is.
void AddNovaks() {
    auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
    QVERIFY(db.ok());
    PlayerRow named;
    test::SetName(named, "Nov\341k");
    test::SetTeam(named, "SLAVIA");
    named.skills[1] = 15;
    QVERIFY(db->Add(named).ok());
    PlayerRow team;
    test::SetName(team, "PAVEL");
    test::SetTeam(team, "NOV\301K FC");
    QVERIFY(db->Add(team).ok());
}

// What the generated rows and the two above hold, counted from how they were made: rows in the order
// (names ending blank are not in the name order) and rows whose name or team holds `stem` without regard to
// case and accents ("elan" is the stem of "élan N" and of the team "ÉLAN FC").
struct Expect {
    int matching = 0;
    int total = 0;
};
Expect Generated(bool nameOrder, const QString& stem) {
    Expect e;
    for (int i = 0; i < test::kRows; ++i) {
        const bool named = i % 97 != 0;
        if (nameOrder && !named) continue;
        ++e.total;
        const bool elan = (named && i % 8 == 5) || i % 50 == 0;
        if (stem == QLatin1String("elan") && elan) ++e.matching;
    }
    e.total += 2;
    if (stem == QLatin1String("novak")) e.matching = 2;
    return e;
}

// Types each character as a key press carrying it, as a keyboard with that character does.
void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w,
                            c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
}

// Rows 0 .. n-1 of the list read, scrolling as a user does.
void ReadAll(BrowserBusquedas* b) {
    for (int guard = 0; guard < 100; ++guard) {
        const int n = b->model()->rowCount();
        b->list()->scrollToBottom();
        for (int row = 0; row < n; ++row)
            b->model()->data(b->model()->index(row, 0));
        QVERIFY(test::Settle(b->model()));
        if (b->model()->rowCount() == n) return;
    }
}

void ClickHeading(QTableView* list, int column) {
    QHeaderView* header = list->horizontalHeader();
    list->scrollTo(list->model()->index(0, column));
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

// The keyboard and the finding aids of the player browser: the quick filter, the list's Tab stop and column
// headings, the search form's country name.
class KeyboardTest : public QObject, private test::BrowserFixture {
    Q_OBJECT
private slots:
    void init() {
        seams = std::make_unique<test::Seams>();
        Globals().ClipboardFilePath = seams->StartFile("portapap.tps").toStdString();
        test::FillDatabase(PlayerDatabasePath());
        AddNovaks();
        browser = Open();
        QApplication::setActiveWindow(browser);
        QVERIFY(QTest::qWaitForWindowActive(browser));
    }
    void cleanup() { TearDownBrowser(); }

    void quickFilterFoldsAccentsAndCounts_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stem");
        QTest::newRow("plain finds accented name") << 0 << "novak"
                                                   << "novak";
        QTest::newRow("capitals with accent find plain and small") << 0 << "NOV\u00C1K"
                                                                   << "novak";
        QTest::newRow("plain finds accented name and team") << 0 << "elan"
                                                            << "elan";
        QTest::newRow("small accented, on a tab of all players") << 3 << "\u00E9LAN"
                                                                 << "elan";
        QTest::newRow("nothing found") << 2 << "zzq"
                                       << "zzq";
    }
    void quickFilterFoldsAccentsAndCounts() {
        QFETCH(int, tab);
        QFETCH(QString, typed);
        QFETCH(QString, stem);
        test::ClickTab(browser->tabs(), tab);
        QVERIFY(test::Settle(browser->model()));
        QVERIFY(browser->filterCount()->text().isEmpty()); // no count without a filter
        browser->filterEntry()->setFocus();
        Type(browser->filterEntry(), typed);
        QCOMPARE(browser->filterEntry()->text(), typed);
        QVERIFY(test::Settle(browser->model()));
        ReadAll(browser);
        const Expect e = Generated(tab == BrowserBusquedas::kNameTab, stem);
        // The count comes from a scan of its own, after the first rows.
        QTRY_COMPARE(browser->filterCount()->text(),
                     QStringLiteral("%1 of %2 players").arg(e.matching).arg(e.total));
        QCOMPARE(browser->model()->rowCount(), e.matching);
        const QString folded = stem.toUpper();
        for (int row = 0; row < browser->model()->rowCount(); ++row) {
            const auto entry = browser->model()->EntryAt(row);
            QVERIFY(entry);
            // The texts as shown, their accents taken off by Unicode's own decomposition.
            QString shown = QString::fromLatin1(entry->texts.name.c_str()) + QLatin1Char('|') +
                            QString::fromLatin1(entry->texts.team.c_str());
            shown = shown.normalized(QString::NormalizationForm_D).toUpper();
            shown.remove(QRegularExpression(QStringLiteral("\\p{Mn}")));
            QVERIFY2(shown.contains(folded), qPrintable(shown));
        }
        // Esc clears the filter and its count; the whole order is back.
        QTest::keyClick(browser->filterEntry(), Qt::Key_Escape);
        QVERIFY(test::Settle(browser->model()));
        QVERIFY(browser->filterCount()->text().isEmpty());
        QCOMPARE(browser->model()->rowCount(), e.total);
    }

    void tabLeavesThePlayerList() {
        QTableView* list = browser->list();
        list->setFocus();
        QCOMPARE(QApplication::focusWidget(), list);
        list->setCurrentIndex(browser->model()->index(0, 5));
        QTest::keyClick(list, Qt::Key_Down); // arrows move inside the list
        QCOMPARE(list->currentIndex().row(), 1);
        QTest::keyClick(list, Qt::Key_Right);
        QCOMPARE(list->currentIndex().column(), 6);
        QTest::keyClick(list, Qt::Key_Tab); // Tab goes on to the next control, the row stays
        QWidget* next = QApplication::focusWidget();
        QVERIFY(next != list);
        QVERIFY(next && browser->isAncestorOf(next));
        QCOMPARE(list->currentIndex(), browser->model()->index(1, 6));
        QTest::keyClick(next, Qt::Key_Backtab); // and Shift+Tab comes back to it: one stop
        QCOMPARE(QApplication::focusWidget(), list);
        QCOMPARE(list->currentIndex(), browser->model()->index(1, 6));
        QTest::keyClick(list, Qt::Key_Backtab); // the stop before the list is the quick filter
        QCOMPARE(QApplication::focusWidget(), browser->filterEntry());
    }

    void columnHeadingSelectsItsOrder_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("tab"); // -1: the tab stays
        const QStringList titles = PlayerListModel::ColumnTitles();
        const QStringList tabs = BrowserBusquedas::TabTitles();
        const QStringList ofTab = {"",
                                   "",
                                   "",
                                   "by Nationality",
                                   "",
                                   "by Player Name",
                                   "by Player Position",
                                   "by Player Passing",
                                   "by Player Shooting",
                                   "by Player Heading",
                                   "by Player Tackling",
                                   "by Player Ball Control",
                                   "by Player Speed",
                                   "by Player Finishing",
                                   "by Player Price"};
        for (int c = 0; c < titles.size(); ++c)
            QTest::newRow(qPrintable(titles[c]))
                << c << (ofTab[c].isEmpty() ? -1 : int(tabs.indexOf(ofTab[c])));
    }
    void columnHeadingSelectsItsOrder() {
        QFETCH(int, column);
        QFETCH(int, tab);
        browser->resize(1800, 600); // every heading in view
        test::ClickTab(browser->tabs(), BrowserBusquedas::kMarkTab);
        QVERIFY(test::Settle(browser->model()));
        QCOMPARE(browser->list()->horizontalHeader()->sortIndicatorSection(), -1); // no column for marks
        ClickHeading(browser->list(), column);
        QVERIFY(test::Settle(browser->model()));
        const int now = tab < 0 ? BrowserBusquedas::kMarkTab : tab;
        QCOMPARE(browser->tabs()->currentIndex(), now);
        QCOMPARE(browser->model()->order(), BrowserBusquedas::OrderOfTab(now));
        QCOMPARE(browser->model()->mark().has_value(), now == BrowserBusquedas::kMarkTab);
        if (tab < 0) return;
        QCOMPARE(browser->list()->horizontalHeader()->sortIndicatorSection(), column);
        // The list shows the order from its start, as the tab does.
        const auto expected = test::Expected(BrowserBusquedas::OrderOfTab(tab), std::nullopt);
        QCOMPARE(test::ListedIds(browser->model(), 0, 20), test::IdsOf(expected, 0, 20));
        ClickHeading(browser->list(), column); // again: the same order, the arrow stays on the column
        QVERIFY(test::Settle(browser->model()));
        QCOMPARE(browser->tabs()->currentIndex(), tab);
        QCOMPARE(browser->list()->horizontalHeader()->sortIndicatorSection(), column);
    }

    void searchFormNamesTheTypedCountry_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0 is no criterion") << "0"
                                           << "no choice";
        QTest::newRow("the world cup file") << "74"
                                            << "WorldCup";
        QTest::newRow("a league") << "8" << QString::fromStdString(CountryName(8));
        QTest::newRow("the last code") << "85" << QString::fromStdString(CountryName(85));
        QTest::newRow("a number without a file") << "9"
                                                 << "no country has this number";
        QTest::newRow("above the table") << "200"
                                         << "no country has this number";
    }
    void searchFormNamesTheTypedCountry() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QVERIFY(HasCountryName(8) && HasCountryName(85) && !HasCountryName(9));
        QTest::mouseClick(browser->button(QStringLiteral("Set Search Criteria and Search")), Qt::LeftButton);
        auto* form = browser->findChild<FormularioBusqueda*>();
        QVERIFY(form);
        QCOMPARE(form->countryName()->text(),
                 QStringLiteral("no choice")); // the form opens with no criterion
        QSpinBox* country = form->countryEntry();
        country->setFocus();
        country->selectAll();
        QTest::keyClicks(country, QStringLiteral("12")); // a name first, which the typing replaces
        QCOMPARE(form->countryName()->text(), QString::fromStdString(CountryName(12)));
        country->selectAll();
        QTest::keyClick(country, Qt::Key_Backspace);
        QTest::keyClicks(country, typed);
        QCOMPARE(form->countryName()->text(), shown);
        // The label sits beside the entry, on its line.
        const QRect entry(country->mapTo(form, QPoint()), country->size());
        const QRect label(form->countryName()->mapTo(form, QPoint()), form->countryName()->size());
        QVERIFY(label.left() >= entry.right());
        QVERIFY(label.top() < entry.bottom() && label.bottom() > entry.top());
        QCOMPARE(form->Criteria().pais, std::uint8_t(typed.toInt()));
        form->close();
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_Keyboard.moc"
