#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "core/market/ArreglarMercado.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/market/ElegirDirectorioArreglarMercado.h"
#include "editor/market/MarketProgress.h"
#include "editor/ui/ProgressWindow.h"
#include "TaskAreaSupport.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

using Frame = test::TaskArea;

QByteArray Bytes(const std::filesystem::path& p) {
    return test::ReadFile(QString::fromStdString(p.string()));
}

} // namespace

// The market fix's chooser and its progress windows, driven as a user does.
class MarketFixTest : public QObject {
    Q_OBJECT
private slots:
    void marketChooser_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("fixed");
        QTest::newRow("No closes without fixing") << int(MessageButton::No) << false;
        QTest::newRow("Yes fixes, then closes") << int(MessageButton::Yes) << true;
    }
    void marketChooser() {
        QFETCH(int, answer);
        QFETCH(bool, fixed);
        test::Seams seams;
        const std::filesystem::path data = std::filesystem::path(seams.start.path().toStdString()) / "data";
        QVERIFY(WriteSampleData(data.string(), {}).ok());
        // A stale cup team: its league team differs from its copy, so the fix has something to do.
        const QByteArray cupsBefore = Bytes(data / "EUROCUP.TMD");
        Frame frame;
        StartElegirDirectorioArreglarMercado();
        auto* chooser = frame.Current<ElegirDirectorioArreglarMercado>();
        QVERIFY(chooser);
        QCOMPARE(chooser->windowTitle(), QStringLiteral("Start Fixing Market"));
        QCOMPARE(chooser->directoryEntry()->text(), QString::fromStdString(DefaultDataDirectory()));
        QCOMPARE(chooser->directoryEntry()->toolTip(),
                 QString::fromUtf8("Directorio donde están los archivos"));
        QCOMPARE(chooser->directoryEntry()->maxLength(), 255);
        QCOMPARE(chooser->beginButton()->toolTip(), QStringLiteral("Begin Fixing Foreign Market"));
        chooser->directoryEntry()->clear();
        QTest::keyClicks(chooser->directoryEntry(), QString::fromStdString(data.string()));
        QCOMPARE(Globals().BatchDataDirectory, data.string()); // the entry edits the directory directly
        seams.answers = {MessageButton(answer)};
        QTest::mouseClick(chooser->beginButton(), Qt::LeftButton);
        QCOMPARE(seams.messages.at(0).title, QStringLiteral("ATENTION"));
        QCOMPARE(
            seams.messages.at(0).text,
            QStringLiteral("This process will correct your foreign market (a copy of the current files, will "
                           "be created with extension BAK as a backup).\nDo you want to start it now ?"));
        QCOMPARE(seams.messages.at(0).defaultButton, MessageButton::Yes);
        QCOMPARE(seams.messages.at(0).icon, MessageIcon::Exclamation);
        if (fixed) {
            // The fix runs on a worker under its progress window; the chooser waits, disabled.
            // Until the worker's result comes back through the event loop: the progress window is up, the
            // chooser waits disabled, and the frame's loop goes on serving events.
            QCOMPARE(frame.area.subWindowList().size(), 1);
            QVERIFY(!frame.area.subWindowList().at(0)->isEnabled());
            ProgressWindow* progress = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* p = qobject_cast<ProgressWindow*>(w); p && p->isVisible()) progress = p;
            QVERIFY(progress);
            QCOMPARE(progress->windowTitle(), QStringLiteral("Fixing Cups"));
            QVERIFY(!progress->cancelButton()->isVisible()); // the fix cannot be cancelled
            QTRY_VERIFY_WITH_TIMEOUT(frame.area.subWindowList().isEmpty(), 20000);
            QVERIFY(std::filesystem::exists(data / "Eurocup.bak"));
            QCOMPARE(Bytes(data / "Eurocup.bak"), cupsBefore);
            QVERIFY(std::filesystem::exists(data / "POOLPLYR.BAK"));
            // The last message sums the run up; any ERROR messages of the fix come before it.
            const MessageSpec& summary = seams.messages.back();
            QCOMPARE(summary.title, QStringLiteral("Fixing Market"));
            // The fix's run kept the cup file as it was in kivo-backups/, and the summary says where.
            const QStringList runs = QDir(QString::fromStdString((data / "kivo-backups").string()))
                                         .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
            QCOMPARE(runs.size(), 1);
            const std::filesystem::path run = data / "kivo-backups" / runs.at(0).toStdString();
            QCOMPARE(Bytes(run / "EUROCUP.TMD"), cupsBefore);
            QVERIFY2(summary.text.contains(QDir::toNativeSeparators(QString::fromStdString(run.string()))),
                     qPrintable(summary.text));
            NoProgress quiet;
            const MarketFixReport again =
                ArreglarMercado(data.string(), quiet); // a second run changes nothing
            QCOMPARE(Bytes(data / "EUROCUP.TMD"), Bytes(data / "Eurocup.bak"));
            QVERIFY2(summary.text.contains(QStringLiteral("Cup teams refreshed: %1, skipped: %2.")
                                               .arg(again.cupTeamsRewritten)
                                               .arg(again.cupTeams - again.cupTeamsRewritten)),
                     qPrintable(summary.text));
            QVERIFY(summary.text.contains(QStringLiteral("Pool entries refreshed: %1, left as they were: %2.")
                                              .arg(again.poolEntriesRewritten)
                                              .arg(again.poolEntries - again.poolEntriesRewritten)));
            QVERIFY(
                summary.text.contains(QStringLiteral("Eurocup.bak, Uefacup.bak, Eurocwc.bak, POOLPLYR.BAK")));
            QCOMPARE(int(seams.messages.size()), 2 + int(again.messages.size()));
            for (std::size_t i = 0; i < again.messages.size(); ++i)
                QCOMPARE(seams.messages[1 + i].text, QString::fromStdString(again.messages[i]));
        } else {
            QTRY_VERIFY(frame.area.subWindowList().isEmpty());
            QCOMPARE(seams.messages.size(), std::size_t(1));
            QVERIFY(!std::filesystem::exists(data / "Eurocup.bak"));
            QCOMPARE(Bytes(data / "EUROCUP.TMD"), cupsBefore);
        }
        QVERIFY(ReadIniText(seams.PlacementIni(), "ElegirDirectorioArreglarMercado", "XPosit", "").size() >
                0);
    }

    void marketFixStopsAtAMissingCup() {
        test::Seams seams;
        const std::filesystem::path data = std::filesystem::path(seams.start.path().toStdString()) / "data";
        QVERIFY(WriteSampleData(data.string(), {}).ok());
        std::filesystem::remove(data / "UEFACUP.TMD");
        // Copies left by an earlier fix: not this run's, so the summary does not name them.
        QVERIFY(test::WriteFile(QString::fromStdString((data / "Eurocwc.bak").string()), "earlier"));
        QVERIFY(test::WriteFile(QString::fromStdString((data / "POOLPLYR.BAK").string()), "earlier"));
        const QByteArray winners = Bytes(data / "EUROCWC.TMD");
        const QByteArray pool = Bytes(data / "POOLPLYR.DAT");
        // Whether the fix was still running (its progress window up) when each message was shown.
        std::vector<bool> whileRunning;
        const auto answer = Globals().MessageAnswerer;
        Globals().MessageAnswerer = [&](const MessageSpec& m) {
            bool running = false;
            for (QWidget* w : QApplication::topLevelWidgets())
                running = running || (qobject_cast<ProgressWindow*>(w) && w->isVisible());
            whileRunning.push_back(running);
            return answer(m);
        };
        Frame frame;
        StartElegirDirectorioArreglarMercado();
        auto* chooser = frame.Current<ElegirDirectorioArreglarMercado>();
        QVERIFY(chooser);
        chooser->directoryEntry()->setText(QString::fromStdString(data.string()));
        seams.answers = {MessageButton::Yes};
        chooser->Begin();
        QTRY_VERIFY_WITH_TIMEOUT(frame.area.subWindowList().isEmpty(), 20000);
        // The question, the ERROR messages of Eurocup's teams, the one naming the missing file, the summary.
        const std::size_t n = seams.messages.size();
        QVERIFY(n >= 3);
        for (std::size_t i = 1; i + 2 < n; ++i)
            QVERIFY2(seams.messages[i].title == "ERROR" &&
                         seams.messages[i].text.endsWith(QStringLiteral("This cup team cannot be updated.")),
                     qPrintable(seams.messages[i].text));
        QCOMPARE(seams.Shown().at(int(n) - 2), QStringLiteral("ERROR: ") +
                                                   QString::fromStdString((data / "Uefacup.tmd").string()) +
                                                   QStringLiteral(" file cannot be opened"));
        QCOMPARE(seams.messages[n - 2].icon, MessageIcon::Information);
        QVERIFY(seams.messages[n - 1].text.startsWith(QStringLiteral("The market fix stopped early")));
        QVERIFY2(seams.messages[n - 1].text.contains(
                     QStringLiteral("Backups of the files as they were: Eurocup.bak in ")),
                 qPrintable(seams.messages[n - 1].text));
        QVERIFY(!seams.messages[n - 1].text.contains(QStringLiteral("POOLPLYR.BAK")));
        QVERIFY(!seams.messages[n - 1].text.contains(QStringLiteral("Eurocwc.bak")));
        // Every ERROR message was shown while the fix ran; the question before it, the summary after.
        QCOMPARE(whileRunning.size(), n);
        QVERIFY(!whileRunning.front() && !whileRunning.back());
        for (std::size_t i = 1; i + 1 < n; ++i)
            QVERIFY2(whileRunning[i], qPrintable(seams.messages[i].text));
        QVERIFY(std::filesystem::exists(data / "Eurocup.bak"));
        QCOMPARE(Bytes(data / "Eurocwc.bak"), QByteArray("earlier"));
        QCOMPARE(Bytes(data / "POOLPLYR.BAK"), QByteArray("earlier"));
        Globals().MessageAnswerer = answer;
        QCOMPARE(Bytes(data / "EUROCWC.TMD"), winners);
        QCOMPARE(Bytes(data / "POOLPLYR.DAT"), pool);
    }

    // A pool that is there but cannot be written is said to be so, not to be missing.
    void marketSummaryTellsAPoolThatCannotBeOpened() {
        MarketFixReport report;
        report.poolUnopenable = true;
        report.poolOpenFailure = "Is a directory (21)";
        report.backupsWritten = {"/d/Eurocup.bak", "/d/Uefacup.bak"};
        const QString text = MarketFixSummary(report, "/d");
        QVERIFY2(
            text.contains(QStringLiteral("POOLPLYR.DAT could not be opened (Is a directory (21)): the market "
                                         "pool was not changed.")),
            qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("was not found")));
        QVERIFY(
            text.contains(QStringLiteral("Backups of the files as they were: Eurocup.bak, Uefacup.bak in ")));
        report.poolUnopenable = false;
        report.poolMissing = true;
        report.backupsWritten.clear();
        const QString missing = MarketFixSummary(report, "/d");
        QVERIFY(missing.contains(QStringLiteral("No POOLPLYR.DAT was found")));
        QVERIFY(missing.contains(QStringLiteral("No backup was written.")));
    }

    void marketProgressShowsCountsAndNames() {
        test::Seams seams;
        const std::filesystem::path data = std::filesystem::path(seams.start.path().toStdString()) / "data";
        QVERIFY(WriteSampleData(data.string(), {}).ok());
        // The states the fix sends, as its windows show them.
        struct Recorder : Progress {
            bool Update(const ProgressState& s) override {
                states.push_back(s);
                return true;
            }
            std::vector<ProgressState> states;
        } recorder;
        ArreglarMercado(data.string(), recorder);
        QVERIFY(recorder.states.size() > 2);
        ProgressWindow window(false);
        QVERIFY(!window.cancelButton()->isVisible());
        window.Show(MarketProgressState(recorder.states.front()));
        QCOMPARE(window.windowTitle(), QStringLiteral("Fixing Cups"));
        QCOMPARE(window.line1()->text(), QStringLiteral("Cup Teams Read: 1"));
        // Under "Team:" the cup team's name, as the fix read it.
        QCOMPARE(window.line2()->text(),
                 QStringLiteral("Team: ") + QString::fromLatin1(recorder.states.front().text2.c_str()));
        QVERIFY(!recorder.states.front().text2.empty());
        const ProgressState& last = recorder.states.back();
        window.Show(MarketProgressState(last));
        QCOMPARE(window.windowTitle(), QStringLiteral("Fixing Market"));
        QCOMPARE(window.line1()->text(), QStringLiteral("Fixing Market %1").arg(last.value1));
        QCOMPARE(window.line2()->text(), QStringLiteral("Team: %1").arg(last.value2));
        QVERIFY(window.statusLabel()->isHidden());
    }
};

QTEST_MAIN(MarketFixTest)
#include "tst_MarketFix.moc"
