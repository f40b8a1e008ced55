#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSemaphore>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <atomic>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"
#include "editor/ui/TaskWindows.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/ImprimirJugadoresMarcados.h"
#include "editor/ui/ReportPreview.h"
#include "PlayerJobsSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

// The marked-players report: its detail block, preview, printing and cancel; run by tst_PlayerJobs.
class PlayerReportTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QTest::qWait(0); }

    // --- "Marked Players (Mark M)" ---

    void report_detailBlock() {
        PlayerRow r;
        r.pais = 8;
        StoreText(r.nombreEquipo, "REAL CLUB");
        r.division = 1;
        r.nacionalidad = Nat("ESP");
        r.nroCamiseta = 7;
        StoreText(r.nombreJugador, "J\xC9R\xD4ME N\xDA\xD1\x45Z");
        r.puesto = 6;
        r.skills = {1, 2, 3, 4, 5, 6, 15};
        r.valorPase = 20;
        r.marca = 4;
        const MarkedPlayerBlock b = MarkedPlayerBlockOf(r);
        QCOMPARE(b.cells, (QStringList{"8", "REAL CLUB", "F", "ESP", "7", "M", "1", "2", "3", "4", "5", "6",
                                       "15", QString::fromStdString(TrimRight(*PriceText(20)))}));
        QCOMPARE(b.player, QString::fromLatin1("J\xC9R\xD4ME N\xDA\xD1\x45Z"));
        QCOMPARE(MarkedPlayersHeadings(), (QStringList{"Cty", "Team", "Div.", "Nat.", "N°", "Pos.", "PS",
                                                       "SH", "HE", "TA", "BC", "SP", "FI", "Price"}));
        QCOMPARE(MarkedPlayersFooter(1), QStringLiteral("Pág. 1"));
        QCOMPARE(MarkedPlayersFooter(1234), QStringLiteral("Pág. 1234"));
        QCOMPARE(MarkedPlayersFooter(10000), QStringLiteral("Pág. 10000"));
        // A code outside its table prints nothing rather than another table's text.
        r.division = 9;
        r.puesto = 8;
        QCOMPARE(MarkedPlayerBlockOf(r).cells[2], QString());
    }

    void report_previewThenPrint_data() {
        QTest::addColumn<int>("players");
        QTest::addColumn<bool>("print");
        QTest::newRow("one player, previewed and not printed") << 1 << false;
        QTest::newRow("600 players, many pages, printed") << 600 << true;
    }
    void report_previewThenPrint() {
        QFETCH(int, players);
        QFETCH(bool, print);
        PlayerWorld w;
        {
            PlayerDatabase db = w.Open();
            db.connection().exec("UPDATE jugadores SET marca = 5 WHERE id % 40 = 1 AND id <= " +
                                 std::to_string(players * 40));
            db.connection().exec("UPDATE jugadores SET marca = 6 WHERE id % 40 = 2");
        }
        QCOMPARE(static_cast<int>(w.Marked(5).size()), players);
        QTemporaryDir out;
        const QString printed = out.filePath(QStringLiteral("printed.pdf"));
        auto printer = std::make_shared<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(printed);
        Globals().Printer = printer;

        bool done = false;
        ImprimirJugadoresMarcados(&w.task, 5, [&] { done = true; });
        QVERIFY(w.Progress());
        QCOMPARE(w.Progress()->windowTitle(), QStringLiteral("Generating Report"));
        QTRY_VERIFY_WITH_TIMEOUT(w.task.findChild<ReportPreview*>(), kJobWait);
        ReportPreview* preview = w.task.findChild<ReportPreview*>();
        // The pages: as many as the players need, the same on the preview, a PDF and the printer.
        const QString pdf = out.filePath(QStringLiteral("saved.pdf"));
        QVERIFY(preview->SaveAsPdf(pdf));
        const int pages = static_cast<int>(ReadFile(pdf).count("/Type /Page\n"));
        QCOMPARE(preview->pageCount(), pages);
        QVERIFY(players == 1 ? pages == 1 : pages > 5);
        QPrinter counted;
        counted.setOutputFormat(QPrinter::PdfFormat);
        counted.setOutputFileName(out.filePath(QStringLiteral("counted.pdf")));
        std::vector<MarkedPlayerBlock> blocks;
        for (const PlayerListEntry& e : w.Rows())
            if (e.row.marca == 5) blocks.push_back(MarkedPlayerBlockOf(e.row));
        const int printerPages =
            PaintMarkedPlayers(&counted, QStringLiteral("Marked Players (Mark 5)"), blocks);
        // Every resolution breaks the pages on the same players.
        QCOMPARE(printerPages, pages);
        QVERIFY(!done);
        (print ? preview->printAction() : preview->exitAction())->trigger();
        QTRY_VERIFY(done);
        QCOMPARE(QFileInfo::exists(printed), print);
        if (print) QCOMPARE(static_cast<int>(ReadFile(printed).count("/Type /Page\n")), printerPages);
        // Over 500 players the percent reaches 100 before the end and stays there.
        const auto states = w.States();
        QCOMPARE(states.front().title, std::string("Generating Report"));
        QVERIFY(states.front().status.empty());
        QCOMPARE(states.back().percentText, std::string("Process Completed"));
        int reached = -1;
        for (const auto& s : states)
            if (s.percent == 100 && reached < 0) reached = &s - &states.front();
        QCOMPARE(reached >= 0 && reached + 1 < static_cast<int>(states.size()), players > 500);
        QCOMPARE(Globals().PlayerFileUseCount, 0);
    }

    void report_printerThatCannotStartSaysSo() {
        PlayerWorld w;
        w.SetAllMarks(8);
        auto printer = std::make_shared<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(w.seams.StartFile(QStringLiteral("no/such/directory/report.pdf")));
        Globals().Printer = printer;
        bool done = false;
        ImprimirJugadoresMarcados(&w.task, 8, [&] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(w.task.findChild<ReportPreview*>(), kJobWait);
        w.task.findChild<ReportPreview*>()->printAction()->trigger();
        QTRY_VERIFY(done);
        QCOMPARE(w.seams.Shown(), QStringList{"ERROR: The report could not be printed."});
    }

    void report_cancelPrintsNothing() {
        PlayerWorld w;
        w.SetAllMarks(8);
        // The worker waits at its third slice until the user has pressed Cancel.
        QSemaphore pressed;
        std::atomic<bool> waiting{false};
        std::atomic<int> slices{0};
        JobStepHook() = [&](const ProgressState&) {
            if (++slices == 3) {
                waiting = true;
                pressed.acquire();
            }
        };
        bool done = false;
        ImprimirJugadoresMarcados(&w.task, 8, [&] { done = true; });
        QPointer<ProgressWindow> progress = w.Progress();
        QVERIFY(progress);
        QTRY_VERIFY_WITH_TIMEOUT(waiting, kJobWait);
        QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
        pressed.release();
        QTRY_VERIFY_WITH_TIMEOUT(done, kJobWait);
        JobStepHook() = nullptr;
        QVERIFY(!w.task.findChild<ReportPreview*>());
        QVERIFY(w.seams.messages.empty());
        QCOMPARE(w.Marked(8).size(), w.Rows().size());
    }

    void report_ofAnEmptyMarkShowsNoPreview_data() {
        QTest::addColumn<int>("mark");
        QTest::newRow("a mark nobody holds") << 77;
        QTest::newRow("mark 0 (unmarked players are not in the mark order)") << 0;
    }
    void report_ofAnEmptyMarkShowsNoPreview() {
        QFETCH(int, mark);
        PlayerWorld w;
        bool done = false;
        ImprimirJugadoresMarcados(&w.task, mark, [&] { done = true; });
        QTRY_VERIFY_WITH_TIMEOUT(done, kJobWait);
        QVERIFY(!w.task.findChild<ReportPreview*>());
        QVERIFY(w.seams.messages.empty());
        QVERIFY(w.task.isEnabled());
    }
};

QObject* NewPlayerReportTest() {
    return new PlayerReportTest;
}

#include "PlayerReportCases.moc"
