#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "core/market/ArreglarMercado.h"
#include "core/prices/Formulas.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/market/ElegirDirectorioArreglarMercado.h"
#include "editor/market/MarketProgress.h"
#include "editor/prices/EditarFormulaPrecios.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ProgressWindow.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

// The task windows open inside this area, as inside the frame.
struct Frame {
    Frame() {
        area.resize(1000, 700);
        area.show();
        Globals().TaskArea = &area;
    }
    ~Frame() { Globals().TaskArea = nullptr; }
    template <class W> W* Current() {
        QMdiSubWindow* sub = area.currentSubWindow();
        return sub ? qobject_cast<W*>(sub->widget()) : nullptr;
    }
    QMdiArea area;
};

QString Formula(FormulaRole role) {
    return QString::fromStdString(Globals().Formulas[std::size_t(role)]);
}

// Types a formula into a row's entry as a user does and presses Enter.
void Type(const EditarFormulaPrecios::Row& row, const QString& text) {
    row.entry->selectAll();
    QTest::keyClicks(row.entry, text);
    QTest::keyClick(row.entry, Qt::Key_Return);
}

bool InRange(const EditarFormulaPrecios::Row& row) {
    return row.status->property("inRange").toBool();
}

QByteArray Bytes(const std::filesystem::path& p) {
    return test::ReadFile(QString::fromStdString(p.string()));
}

} // namespace

// The formula editor and the market fix's chooser, driven as a user does.
class FormulasMarketTest : public QObject {
    Q_OBJECT
private slots:
    void defaultFormulasShowTheirRange_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("lowest");
        QTest::addColumn<QString>("highest");
        QTest::addColumn<bool>("inRange");
        QTest::newRow("Back") << int(FormulaRole::Back) << "25K"
                              << "7M" << false;
        QTest::newRow("Attack") << int(FormulaRole::Attack) << "25K"
                                << "15M" << true;
    }
    void defaultFormulasShowTheirRange() {
        QFETCH(int, role);
        QFETCH(QString, lowest);
        QFETCH(QString, highest);
        QFETCH(bool, inRange);
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Formulae to Compute Prices"));
        const auto& row = editor->row(FormulaRole(role));
        QCOMPARE(row.entry->text(), QString::fromStdString(DefaultFormulas()[std::size_t(role)]));
        QCOMPARE(row.lowest->text(), lowest);
        QCOMPARE(row.highest->text(), highest);
        QCOMPARE(InRange(row), inRange);
        QVERIFY(!row.status->pixmap().isNull());
        QCOMPARE(row.status->toolTip(), QString::fromLatin1(inRange ? kInRangeTip : kOutOfRangeTip));
        QVERIFY(row.hint->isHidden());
        QVERIFY(!QFile::exists(seams.StartFile("ventanas.ini"))); // opening reads only
        frame.area.closeAllSubWindows();
    }

    void everyControlIsNamed() {
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        StartElegirDirectorioArreglarMercado();
        QStringList names;
        for (QMdiSubWindow* sub : frame.area.subWindowList())
            for (QWidget* w : sub->widget()->findChildren<QWidget*>())
                if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)) {
                    QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
                    names << w->accessibleName();
                }
        QVERIFY(names.contains("Back Formula") && names.contains("Attack Formula") && names.contains("Save"));
        QVERIFY(names.contains("Team Files Directory:") && names.contains("Begin Fixing Market"));
        frame.area.closeAllSubWindows();
    }

    void saveWarnsAndWritesInOrder() {
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        // The Back row is out of range with the defaults: the warning, and all five written all the same.
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
        QCOMPARE(seams.Shown(), QStringList{"Warning: Not every formula is in range [25k - 15M] !"});
        QTRY_VERIFY(frame.area.subWindowList().isEmpty()); // Save closes the window, frame and all
        QByteArray expected = "[Formula]\n";
        for (const FormulaInfo& info : FormulaInfos())
            expected += QByteArray(info.key.data(), qsizetype(info.key.size())) + " = " +
                        QByteArray::fromStdString(std::string(info.defaultText)) + "\n";
        QCOMPARE(test::ReadFile(seams.StartFile("ventanas.ini")).replace("\r\n", "\n"), expected);
        QVERIFY(ReadIniText(seams.PlacementIni(), "EditarFormulaPrecios", "XPosit", "").size() > 0);
    }

    void acceptedEntryRecomputesItsRow_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lowest");
        QTest::addColumn<QString>("highest");
        QTest::addColumn<bool>("inRange");
        QTest::addColumn<QString>("tip"); // how the status tool tip begins
        QTest::addColumn<QString>("hint");
        QTest::newRow("constant above the ladder") << "16m"
                                                   << "15M"
                                                   << "15M" << false << kOutOfRangeTip << "";
        QTest::newRow("spans the ladder") << "1m*pa"
                                          << "25K"
                                          << "15M" << true << kInRangeTip << "";
        QTest::newRow("cannot be evaluated") << "75k*pa+zz"
                                             << "25K"
                                             << "25K" << false
                                             << "The formula cannot be evaluated: Unexpected token \"zz\" "
                                                "found (at character 8 of the formula)."
                                             << "";
        QTest::newRow("decimal with a suffix")
            << "75k*pa + 1.5m"
            << "25K"
            << "1.1M" << false << kOutOfRangeTip << "\"1.5m\" means 1.5, not 1,500,000: write \"1500k\".";
    }
    void acceptedEntryRecomputesItsRow() {
        QFETCH(QString, typed);
        QFETCH(QString, lowest);
        QFETCH(QString, highest);
        QFETCH(bool, inRange);
        QFETCH(QString, tip);
        QFETCH(QString, hint);
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        const auto& row = editor->row(FormulaRole::Attack);
        Type(row, typed);
        QCOMPARE(Formula(FormulaRole::Attack), typed); // in force at once for every window
        QCOMPARE(row.lowest->text(), lowest);
        QCOMPARE(row.highest->text(), highest);
        QCOMPARE(InRange(row), inRange);
        QVERIFY2(row.status->toolTip().startsWith(tip), qPrintable(row.status->toolTip()));
        QCOMPARE(row.hint->text(), hint);
        QCOMPARE(row.hint->isHidden(), hint.isEmpty());
        // The other rows are not touched.
        QCOMPARE(editor->row(FormulaRole::Back).highest->text(), QStringLiteral("7M"));
        frame.area.closeAllSubWindows();
    }

    void outOfRangeAttackWarnsWhenTheOthersAreIn() {
        test::Seams seams;
        QVERIFY(test::WriteFile(seams.StartFile("ventanas.ini"),
                                "[Formula]\r\nFormulaMarcadorPunta=1m*pa\r\nFormulaMarcadorCentral=1m*he\r\n"
                                "FormulaVolanteLateral=1m*sh\r\nFormulaVolanteCentral=1m*ta\r\n"));
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        for (FormulaRole r :
             {FormulaRole::Back, FormulaRole::Defender, FormulaRole::Wing, FormulaRole::Midfield})
            QVERIFY(InRange(editor->row(r)));
        QVERIFY(InRange(editor->row(FormulaRole::Attack)));
        editor->row(FormulaRole::Attack).entry->setFocus();
        Type(editor->row(FormulaRole::Attack), QStringLiteral("100k*fi"));
        QVERIFY(!InRange(editor->row(FormulaRole::Attack)));
        editor->Save();
        QCOMPARE(seams.Shown(), QStringList{"Warning: Not every formula is in range [25k - 15M] !"});
        QCOMPARE(
            ReadIniText(seams.StartFile("ventanas.ini").toStdString(), "Formula", "FormulaDelantero", ""),
            std::string("100k*fi"));
    }

    void cancelKeepsTheFileButNotTheEdit() {
        test::Seams seams;
        const QByteArray file = "[Formula]\r\nFormulaDelantero=100k*FI\r\n";
        QVERIFY(test::WriteFile(seams.StartFile("ventanas.ini"), file));
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        QCOMPARE(editor->row(FormulaRole::Attack).entry->text(), QStringLiteral("100k*FI"));
        Type(editor->row(FormulaRole::Attack), QStringLiteral("2m*fi"));
        QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(frame.area.subWindowList().isEmpty());
        QCOMPARE(test::ReadFile(seams.StartFile("ventanas.ini")), file);
        // Prices computed now use the edited text, until the editor opens again and reads the file.
        QCOMPARE(Formula(FormulaRole::Attack), QStringLiteral("2m*fi"));
        Skills skills{};
        skills[6] = 5;
        QCOMPARE(
            QString::fromStdString(Globals().Prices->PriceForPlayer(Globals().Formulas, "A", skills).value()),
            QStringLiteral("10M"));
        StartEditarFormulaPrecios();
        QCOMPARE(Formula(FormulaRole::Attack), QStringLiteral("100k*FI"));
        frame.area.closeAllSubWindows();
    }

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
            QTRY_VERIFY(!QApplication::topLevelWidgets().isEmpty());
            QTRY_VERIFY_WITH_TIMEOUT(frame.area.subWindowList().isEmpty(), 20000);
            QVERIFY(std::filesystem::exists(data / "Eurocup.bak"));
            QCOMPARE(Bytes(data / "Eurocup.bak"), cupsBefore);
            QVERIFY(std::filesystem::exists(data / "POOLPLYR.BAK"));
            // The last message sums the run up; any ERROR messages of the fix come before it.
            const MessageSpec& summary = seams.messages.back();
            QCOMPARE(summary.title, QStringLiteral("Fixing Market"));
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
        const QByteArray winners = Bytes(data / "EUROCWC.TMD");
        const QByteArray pool = Bytes(data / "POOLPLYR.DAT");
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
        QVERIFY(seams.messages[n - 1].text.contains(
            QStringLiteral("Backups of the files as they were: Eurocup.bak in ")));
        QVERIFY(std::filesystem::exists(data / "Eurocup.bak"));
        QVERIFY(!std::filesystem::exists(data / "Eurocwc.bak"));
        QVERIFY(!std::filesystem::exists(data / "POOLPLYR.BAK"));
        QCOMPARE(Bytes(data / "EUROCWC.TMD"), winners);
        QCOMPARE(Bytes(data / "POOLPLYR.DAT"), pool);
    }

    void closeAndHelpButtons_data() {
        QTest::addColumn<int>("window"); // 0 formula editor, 1 market chooser
        QTest::addColumn<QString>("keyword");
        QTest::newRow("formula editor") << 0 << "Formulae to Compute Players' Prices";
        QTest::newRow("market chooser") << 1 << "Fixing Foreign Market";
    }
    void closeAndHelpButtons() {
        QFETCH(int, window);
        QFETCH(QString, keyword);
        test::Seams seams;
        Frame frame;
        if (window == 0)
            StartEditarFormulaPrecios();
        else
            StartElegirDirectorioArreglarMercado();
        QWidget* task = frame.area.currentSubWindow()->widget();
        QPushButton* help = nullptr;
        QPushButton* close = nullptr;
        for (QPushButton* b : task->findChildren<QPushButton*>()) {
            if (b->text() == "Help") help = b;
            if (b->text() == (window == 0 ? "Cancel" : "Close")) close = b;
        }
        QVERIFY(help && close);
        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(Globals().HelpWindow);
        QCOMPARE(HelpViewer::Instance()->currentKeyword(), keyword);
        HelpViewer::Instance()->close();
        QTest::mouseClick(close, Qt::LeftButton); // the window and its frame in the frame go
        QTRY_VERIFY(frame.area.subWindowList().isEmpty());
        QVERIFY(seams.messages.empty());
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

QTEST_MAIN(FormulasMarketTest)
#include "tst_FormulasMarket.moc"
