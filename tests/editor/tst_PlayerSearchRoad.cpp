#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QtTest>

#include "core/gamefiles/TeamFile.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/players/PlayerDatabase.h"
#include "core/sampledata/SampleData.h"
#include "core/support/FixedText.h"
#include "editor/app/Principal.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/PlayerListModel.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/ProgressWindow.h"
#include "editor/ui/ReportPreview.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

constexpr int kJobWait = 60000;

// Runs events until the list has answered every request, and stays so for a few rounds.
bool Settle(PlayerListModel* model) {
    QElapsedTimer timer;
    timer.start();
    int quiet = 0;
    while (timer.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        quiet = model->settled() ? quiet + 1 : 0;
        if (quiet >= 4) return true;
        QThread::msleep(1);
    }
    return false;
}

// One listed player as both sides can tell it: mark, team and name (without trailing blanks, UTF-8).
QString Line(int mark, const QString& team, const QString& name) {
    return QStringLiteral("%1|%2|%3").arg(mark).arg(team, name);
}

// Every row of the browser's list, read as the user scrolls down to it.
QStringList Listed(BrowserBusquedas* browser) {
    PlayerListModel* model = browser->model();
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row) {
        if (!model->EntryAt(row)) {
            browser->list()->scrollTo(model->index(row, 0));
            model->data(model->index(row, 0));
            if (!Settle(model)) return {QStringLiteral("the list did not settle")};
        }
        const auto e = model->EntryAt(row);
        if (!e) return {QStringLiteral("row %1 was not read").arg(row)};
        lines << Line(e->row.marca, QString::fromStdString(Latin1ToUtf8(TrimRight(e->texts.team))),
                      QString::fromStdString(Latin1ToUtf8(TrimRight(e->texts.name))));
    }
    return lines;
}

// kivo-cli's listing of the mark order in the start directory, as another program sees the database.
QStringList CliMarked(const QString& startDirectory, int onlyMark) {
    QProcess cli;
    cli.setWorkingDirectory(startDirectory);
    cli.start(QStringLiteral(KIVO_CLI_PATH), {"players", "list", "--order", "mark", "--json"});
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0)
        return {QStringLiteral("kivo-cli failed: ") + QString::fromUtf8(cli.readAllStandardError())};
    QStringList lines;
    for (const QJsonValue v : QJsonDocument::fromJson(cli.readAllStandardOutput()).array()) {
        const QJsonObject o = v.toObject();
        if (o["mark"].toInt() != onlyMark) continue;
        lines << Line(o["mark"].toInt(), o["team"].toString().trimmed(), o["name"].toString().trimmed());
    }
    return lines;
}

template <class W> W* TaskOf(Principal& frame) {
    for (QMdiSubWindow* sub : frame.taskArea()->subWindowList())
        if (auto* w = qobject_cast<W*>(sub->widget())) return w;
    return nullptr;
}

void TypeInto(QWidget* control, const QString& text) {
    control->setFocus();
    if (qobject_cast<QComboBox*>(control)) QTest::qWait(QApplication::keyboardInputInterval() + 50);
    if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->selectAll();
    if (auto* line = qobject_cast<QLineEdit*>(control)) line->selectAll();
    QTest::keyClicks(control, text);
}

// A search as the user makes it from the browser: the mark typed, "Set Search Criteria and Search", the
// criteria typed into the form, Search, and the form closed when the pass is over.
bool Search(Principal& frame, BrowserBusquedas* browser, const QString& mark, const QString& nationality,
            const QString& passing, const QString& position) {
    TypeInto(browser->markEntry(), mark);
    QTest::keyClick(browser->markEntry(), Qt::Key_Return);
    QTest::mouseClick(browser->button(QStringLiteral("Set Search Criteria and Search")), Qt::LeftButton);
    FormularioBusqueda* form = TaskOf<FormularioBusqueda>(frame);
    if (!form) return false;
    if (form->mark() != mark.toInt()) return false;
    if (!nationality.isEmpty()) TypeInto(form->nationalityList(), nationality);
    if (!passing.isEmpty()) TypeInto(form->skillEntry(0), passing);
    if (!position.isEmpty()) TypeInto(form->positionList(), position);
    QTest::mouseClick(form->searchButton(), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return !frame.findChild<ProgressWindow*>() && form->isEnabled(); }, kJobWait))
        return false;
    QTest::mouseClick(form->closeButton(), Qt::LeftButton);
    return QTest::qWaitFor([&] { return !TaskOf<FormularioBusqueda>(frame) && browser->isEnabled(); });
}

} // namespace

// The road a user takes to find players: the database built from the game files through its window, a
// search with criteria in the browser, the mark tab, the marked players printed to PDF; the marks compared
// with what kivo-cli lists from the same database.
class PlayerSearchRoadTest : public QObject {
    Q_OBJECT
private slots:
    void buildSearchShowPrint() {
        Seams seams;
        const QString start = QString::fromStdString(Globals().StartDirectory);
        const QString data = QDir(start).filePath(QStringLiteral("data"));
        QVERIFY(WriteSampleData(data.toStdString(), {.seed = 1}).ok());
        QTemporaryDir out;
        auto printer = std::make_shared<QPrinter>();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(out.filePath(QStringLiteral("printed.pdf")));
        Globals().Printer = printer;

        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        frame.show();

        // 1. "Create File with all the Players": the directory typed, "ABOUT AN HOUR" answered Yes.
        frame.CreateFileWithAllPlayers();
        QPointer<ElegirDirectorioCrearArchivoJugadores> build =
            TaskOf<ElegirDirectorioCrearArchivoJugadores>(frame);
        QVERIFY(build);
        TypeInto(build->directoryEntry(), data);
        QTest::mouseClick(build->beginButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(build.isNull(), kJobWait);
        QTRY_VERIFY(frame.taskArea()->subWindowList().isEmpty()); // its frame went with it
        QCOMPARE(seams.messages.size(), std::size_t(2));          // the question, then the build's summary
        QCOMPARE(seams.messages[1].title, QStringLiteral("Creating File"));
        QVERIFY(QFileInfo::exists(QDir(start).filePath(QStringLiteral("JUGADORES"))));

        // 2. "Find Players": mark 4 selected, then criteria searched twice with mark 4 and once with 2.
        frame.FindPlayers();
        QPointer<BrowserBusquedas> browser = TaskOf<BrowserBusquedas>(frame);
        QVERIFY(browser);
        QVERIFY(Settle(browser->model()));
        const int everyone = browser->model()->rowCount();
        QVERIFY(everyone > 1000);
        const auto search = [&](const QString& mark, const QString& nationality, const QString& passing,
                                const QString& position) {
            return Search(frame, browser, mark, nationality, passing, position);
        };
        QVERIFY(search(QStringLiteral("4"), QStringLiteral("ENG"), QStringLiteral("10"), QString()));
        QVERIFY(search(QStringLiteral("4"), QString(), QStringLiteral("14"), QStringLiteral("A")));
        QVERIFY(search(QStringLiteral("2"), QString(), QString(), QStringLiteral("G")));
        QVERIFY(seams.messages.size() == 2); // no message since the build's two

        // 3. The mark tab with mark 4 shows exactly the players kivo-cli lists with mark 4, in its order.
        TypeInto(browser->markEntry(), QStringLiteral("4"));
        QTest::keyClick(browser->markEntry(), Qt::Key_Return);
        QTabBar* tabs = browser->tabs();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(BrowserBusquedas::kMarkTab).center());
        QCOMPARE(tabs->currentIndex(), BrowserBusquedas::kMarkTab);
        QVERIFY(Settle(browser->model()));
        const QStringList listed = Listed(browser);
        const QStringList cli = CliMarked(start, 4);
        QVERIFY2(cli.size() > 20, qPrintable(cli.join('\n').left(300)));
        QVERIFY(cli.size() < everyone);
        QCOMPARE(listed, cli);
        QVERIFY(!CliMarked(start, 2).isEmpty());

        // 4. "Print Marked": the preview of those players, saved as PDF, then printed.
        QTest::mouseClick(browser->button(QStringLiteral("Print Marked")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(frame.findChild<ReportPreview*>(), kJobWait);
        ReportPreview* preview = frame.findChild<ReportPreview*>();
        const QString pdf = out.filePath(QStringLiteral("marked.pdf"));
        QVERIFY(preview->SaveAsPdf(pdf));
        const int pages = static_cast<int>(ReadFile(pdf).count("/Type /Page\n"));
        QCOMPARE(preview->pageCount(), pages);
        QCOMPARE(pages, static_cast<int>(cli.size() + 27) / 28);
        preview->printAction()->trigger();
        QTRY_VERIFY(browser->isEnabled());
        QCOMPARE(static_cast<int>(ReadFile(printer->outputFileName()).count("/Type /Page\n")), pages);
        // Nothing printed changed a mark.
        QCOMPARE(CliMarked(start, 4), cli);

        frame.close();
        QCOMPARE(Globals().PlayerFileUseCount, 0);
    }

    // From the browser, "Update One Team File" in its frame: the file chosen, START confirmed, then Close
    // takes the window and its frame away and the browser is usable again; kivo-cli sees the new rows.
    void updateOneFileFromTheBrowser() {
        Seams seams;
        const QString start = QString::fromStdString(Globals().StartDirectory);
        const QString data = QDir(start).filePath(QStringLiteral("data"));
        QVERIFY(WriteSampleData(data.toStdString(), {.seed = 1}).ok());
        NoProgress quiet;
        QVERIFY(CrearArchivoJugadores(PlayerDatabasePath(), data.toStdString(), quiet).ok());
        {
            auto db = PlayerDatabase::Open(PlayerDatabasePath(), true);
            db->connection().exec("UPDATE jugadores SET marca = 1");
        }
        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        frame.show();
        frame.FindPlayers();
        QPointer<BrowserBusquedas> browser = TaskOf<BrowserBusquedas>(frame);
        QVERIFY(browser);
        QVERIFY(Settle(browser->model()));
        QTest::mouseClick(browser->button(QStringLiteral("Update One Team File")), Qt::LeftButton);
        QPointer<ActualizarArchivoTodos> update = TaskOf<ActualizarArchivoTodos>(frame);
        QVERIFY(update);
        QVERIFY(!browser->isEnabled());
        const QString file = QDir(data).filePath(QStringLiteral("TEAM.005"));
        ActualizarArchivoTodos::DialogAnswerer() = [&](QWidget* d) {
            static_cast<QFileDialog*>(d)->selectFile(file);
            static_cast<QDialog*>(d)->accept();
        };
        QTest::mouseClick(update->selectButton(), Qt::LeftButton);
        ActualizarArchivoTodos::DialogAnswerer() = nullptr;
        QCOMPARE(update->fileNumber(), 5);
        QTest::mouseClick(update->startButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!frame.findChild<ProgressWindow*>() && update->isEnabled(), kJobWait);
        QCOMPARE(frame.taskArea()->subWindowList().size(), 2);
        QTest::mouseClick(update->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(update.isNull());
        QTRY_COMPARE(frame.taskArea()->subWindowList().size(), 1);
        QVERIFY(browser->isEnabled());
        // Team file 5's players are new and unmarked; everyone else keeps mark 1.
        QProcess cli;
        cli.setWorkingDirectory(start);
        cli.start(QStringLiteral(KIVO_CLI_PATH), {"players", "list", "--order", "country", "--json"});
        QVERIFY(cli.waitForFinished(60000));
        const QJsonArray rows = QJsonDocument::fromJson(cli.readAllStandardOutput()).array();
        const auto teams = ReadTeams(file.toStdString());
        QVERIFY(teams.ok());
        int fromFile = 0;
        for (const QJsonValue v : rows) {
            const QJsonObject o = v.toObject();
            const bool own = o["country"].toInt() == 5;
            fromFile += own;
            QCOMPARE(o["mark"].toInt(), own ? 0 : 1);
        }
        QCOMPARE(fromFile, static_cast<int>(teams->size() * 16));
        QCOMPARE(seams.messages.size(), std::size_t(1)); // the ATTENTION question
        frame.close();
        QCOMPARE(Globals().PlayerFileUseCount, 0);
    }
    // The editor and kivo-cli on one players file at once: while the browser holds it and searches mark
    // players, kivo-cli replaces a team file's rows or marks players in another process. Neither side
    // takes the other's lock for damage, nothing is moved aside, no row is lost, and both then read the
    // same marks. The figures are printed for scripts/robustness.sh.
    void editorBesideKivoCli() {
        Seams seams;
        const QString start = QString::fromStdString(Globals().StartDirectory);
        const QString data = QDir(start).filePath(QStringLiteral("data"));
        QVERIFY(WriteSampleData(data.toStdString(), {.seed = 3}).ok());
        NoProgress quiet;
        QVERIFY(CrearArchivoJugadores(PlayerDatabasePath(), data.toStdString(), quiet).ok());
        const auto rows = [] { return *PlayerDatabase::Open(PlayerDatabasePath(), false)->CountRows(); };
        const auto before = rows();
        const QStringList startFiles = QDir(start).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);

        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        frame.show();
        frame.FindPlayers();
        QPointer<BrowserBusquedas> browser = TaskOf<BrowserBusquedas>(frame);
        QVERIFY(browser);
        QVERIFY(Settle(browser->model()));

        constexpr int kRounds = 8;
        int cliFailures = 0;
        QStringList said;
        for (int round = 0; round < kRounds; ++round) {
            QProcess cli;
            cli.setWorkingDirectory(start);
            const QString file = QStringLiteral("data/TEAM.00%1").arg(round % 4 + 1);
            cli.start(QStringLiteral(KIVO_CLI_PATH),
                      round % 2 ? QStringList{"players", "mark", "6", "--position", "A"}
                                : QStringList{"players", "update", file, QString::number(round % 4 + 1)});
            QVERIFY(cli.waitForStarted());
            QVERIFY(Search(frame, browser, QStringLiteral("4"), QString(), QString(),
                           round % 2 ? QStringLiteral("G") : QStringLiteral("A")));
            // The search's own waiting may already have seen it end.
            QVERIFY(cli.state() == QProcess::NotRunning || cli.waitForFinished(kJobWait));
            if (cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0) {
                ++cliFailures;
                said << QString::fromUtf8(cli.readAllStandardError()).trimmed();
            }
        }
        for (const auto& m : seams.messages)
            said << m.title + QStringLiteral(": ") + m.text;
        const auto after = rows();
        // While the editor holds the players file its journal stands beside it; nothing else may.
        QStringList endFiles = QDir(start).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
        endFiles.removeIf([](const QString& f) { return f == "JUGADORES-wal" || f == "JUGADORES-shm"; });
        qInfo("beside kivo-cli: %d rounds, %d kivo-cli failures, %d editor messages, rows %lld before, %lld "
              "after, start folder %s",
              kRounds, cliFailures, int(seams.messages.size()), static_cast<long long>(before),
              static_cast<long long>(after),
              endFiles == startFiles ? "unchanged" : qPrintable(endFiles.join(' ')));
        QVERIFY2(!said.join('\n').contains(QStringLiteral("damaged"), Qt::CaseInsensitive),
                 qPrintable(said.join('\n')));
        QVERIFY2(cliFailures == 0 && seams.messages.empty(), qPrintable(said.join('\n')));
        QCOMPARE(after, before);
        QCOMPARE(endFiles, startFiles);
        // Both read the same marks once the other has finished.
        TypeInto(browser->markEntry(), QStringLiteral("4"));
        QTest::keyClick(browser->markEntry(), Qt::Key_Return);
        QTabBar* tabs = browser->tabs();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(BrowserBusquedas::kMarkTab).center());
        QVERIFY(Settle(browser->model()));
        const QStringList cliMarked = CliMarked(start, 4);
        QVERIFY(!cliMarked.isEmpty());
        QCOMPARE(Listed(browser), cliMarked);
        frame.close();
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        QTRY_COMPARE(QDir(start).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), startFiles);
    }
};

QTEST_MAIN(PlayerSearchRoadTest)
#include "tst_PlayerSearchRoad.moc"
