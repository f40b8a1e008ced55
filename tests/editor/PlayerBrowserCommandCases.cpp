#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include "core/clipboard/ClipboardStore.h"
#include "core/players/PlayerCsv.h"
#include "core/players/PlayerFilter.h"
#include "core/settings/IniFile.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/StockMessages.h"
#include "editor/ui/WindowPlacement.h"
#include "PlayerBrowserSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

// Stands in for the clipboard window: counts its refreshes.
class ClipboardStandIn : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE void Refresh() { ++refreshes; }
    int refreshes = 0;
};

} // namespace

// The player browser's commands: copy, export, clearing marks, a search through the form, the warnings of a
// damaged database, the browser inside the frame; run by tst_PlayerBrowser.
class PlayerBrowserCommandsTest : public QObject, BrowserFixture {
    Q_OBJECT
private slots:
    void init() { SetUpBrowser(); }
    void cleanup() { TearDownBrowser(); }

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

    void exportIsWhatKivoCliListsAsCsv() {
        const QString path = seams->StartFile("mark2.csv");
        BrowserBusquedas::ExportPathChooser() = [path] { return path; };
        TypeInto(browser->markEntry(), QStringLiteral("2"));
        browser->button(QStringLiteral("Export\u2026"))->click();
        QTRY_VERIFY(!seams->messages.empty());
        BrowserBusquedas::ExportPathChooser() = nullptr;
        QProcess cli;
        cli.setWorkingDirectory(seams->start.path());
        cli.start(QStringLiteral(KIVO_CLI_PATH),
                  {"players", "list", "--order", "mark", "--mark", "2", "--csv"});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        const QByteArray listed = cli.readAllStandardOutput();
        QVERIFY(listed.count('\n') > 10);
        // kivo-cli's --csv still writes its own columns (no country code or mark, LF line ends); once it
        // writes PlayerCsvLine's, this passes unexpectedly and the line below goes.
        QCOMPARE(test::ReadFile(path), listed);
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
        // Mark 0 selected: "Clear Marks" clears every mark, once the user has said Yes.
        TypeInto(browser->markEntry(), QStringLiteral("0"));
        seams->answers = {MessageButton::Yes};
        browser->findChild<QPushButton*>(QStringLiteral("Clear Marks"))->click();
        QTRY_VERIFY(Expected(PlayerOrder::Mark, std::nullopt).empty());
    }

    // Clearing every mark cannot be undone: both buttons that do it ask first, naming how many are marked.
    void clearingEveryMarkAsksFirst_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Clear Marks with mark 0, No") << "Clear Marks"
                                                     << "0" << false;
        QTest::newRow("Clear Marks with mark 0, Yes") << "Clear Marks"
                                                      << "0" << true;
        QTest::newRow("Clear ALL Marks, No") << "Clear ALL Marks"
                                             << "2" << false;
        QTest::newRow("Clear ALL Marks, Yes") << "Clear ALL Marks"
                                              << "2" << true;
    }
    void clearingEveryMarkAsksFirst() {
        QFETCH(QString, button);
        QFETCH(QString, selected);
        QFETCH(bool, yes);
        TypeInto(browser->markEntry(), selected);
        QVERIFY(Settle(browser->model()));
        const auto marked = Expected(PlayerOrder::Mark, std::nullopt);
        QVERIFY(marked.size() > 1);
        const QString db = seams->StartFile(QStringLiteral("JUGADORES"));
        const QByteArray before = ReadFile(db), walBefore = ReadFile(db + QStringLiteral("-wal"));
        seams->answers = {yes ? MessageButton::Yes : MessageButton::No};
        browser->findChild<QPushButton*>(button)->click();
        QCOMPARE(seams->messages.size(), std::size_t{1});
        const MessageSpec& asked = seams->messages[0];
        QCOMPARE(asked.title, QStringLiteral("ATTENTION"));
        QCOMPARE(asked.buttons, MessageButton::Yes | MessageButton::No);
        QCOMPARE(asked.defaultButton, MessageButton::No);
        QVERIFY2(
            asked.text.startsWith(QStringLiteral("This clears the marks of ALL %1 players who carry a mark")
                                      .arg(marked.size())),
            qPrintable(asked.text));
        if (yes) {
            QTRY_VERIFY_WITH_TIMEOUT(Expected(PlayerOrder::Mark, std::nullopt).empty(), 20000);
        } else {
            QVERIFY(!browser->findChild<ProgressWindow*>());
            QCOMPARE(Expected(PlayerOrder::Mark, std::nullopt).size(), marked.size());
            QCOMPARE(ReadFile(db), before);
            QCOMPARE(ReadFile(db + QStringLiteral("-wal")), walBefore);
        }
    }

    void clearingAMarkOtherThanZeroAsksNothing() {
        TypeInto(browser->markEntry(), QStringLiteral("2"));
        QVERIFY(Settle(browser->model()));
        const std::size_t ones = Expected(PlayerOrder::Mark, 1).size();
        browser->findChild<QPushButton*>(QStringLiteral("Clear Marks"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(Expected(PlayerOrder::Mark, 2).empty(), 20000);
        QVERIFY(seams->messages.empty());
        QCOMPARE(Expected(PlayerOrder::Mark, 1).size(), ones);
    }

    void theSearchButtonCarriesTheSearchCriteriaIcon() {
        const QImage criteria = QIcon(QStringLiteral(":/icons/editbus.svg")).pixmap(32).toImage();
        QCOMPARE(
            browser->button(QStringLiteral("Set Search Criteria and Search"))->icon().pixmap(32).toImage(),
            criteria);
        QVERIFY(browser->windowIcon().pixmap(32).toImage() != criteria); // the browser keeps its own
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

QObject* NewPlayerBrowserCommandsTest() {
    return new PlayerBrowserCommandsTest;
}

#include "PlayerBrowserCommandCases.moc"
