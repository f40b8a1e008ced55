#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSemaphore>
#include <QSpinBox>
#include <QTabWidget>
#include <QThreadPool>
#include <QtTest>

#include <atomic>

#include "core/gamefiles/AttributeTables.h"
#include "core/support/FixedText.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/ImprimirJugadoresMarcados.h"
#include "editor/ui/ReportPreview.h"
#include "editor/ui/TaskWindows.h"
#include "PlayerJobsSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

// The search form, the marking passes with their progress window, clearing marks and the marked-players
// report; run by tst_PlayerJobs.
class PlayerMarkingTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QTest::qWait(0); }

    // --- "Set Searching Criteria" ---

    void searchForm_controls() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 4);
        QCOMPARE(form->windowTitle(), QStringLiteral("Set Searching Criteria"));
        auto* tabs = form->findChild<QTabWidget*>();
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->tabText(0), QStringLiteral("General"));
        QStringList prompts;
        for (QLabel* l : form->findChildren<QLabel*>())
            if (l->buddy()) prompts << l->text();
        QCOMPARE(prompts,
                 (QStringList{"Country:", "Division:", "Nationality:", "Position:", "Passing:", "Shooting:",
                              "Heading:", "Tackling:", "Ball Control:", "Speed:", "Finishing:", "Price:"}));
        QCOMPARE(form->countryEntry()->toolTip(), QStringLiteral("Team Country"));
        QCOMPARE(form->nationalityList()->toolTip(), QStringLiteral("Nationality (same as this)"));
        QCOMPARE(form->positionList()->toolTip(), QStringLiteral("Position (same as this)"));
        QCOMPARE(form->priceList()->toolTip(), QStringLiteral("Price (less or equal than this)"));
        QCOMPARE(form->skillEntry(4)->toolTip(), QStringLiteral("Ball Control (more or equal than this)"));
        QCOMPARE(form->skillEntry(4)->accessibleName(), QStringLiteral("Ball Control:"));
        QCOMPARE(form->priceList()->accessibleName(), QStringLiteral("Price:"));
        // Each list: "no choice" first, then its table.
        QCOMPARE(form->divisionList()->count(), 6);
        QCOMPARE(form->divisionList()->itemText(1), QStringLiteral("Premier"));
        QCOMPARE(form->divisionList()->itemText(5), QStringLiteral("Non-League"));
        QCOMPARE(form->positionList()->count(), 9);
        QCOMPARE(form->positionList()->itemText(2), QStringLiteral("RB"));
        QCOMPARE(form->priceList()->count(), 51);
        QCOMPARE(form->priceList()->itemText(1).toStdString(), TrimRight(*PriceText(0)));
        QCOMPARE(form->nationalityList()->count(), 154);
        QStringList nationalities;
        for (int i = 1; i < form->nationalityList()->count(); ++i)
            nationalities << form->nationalityList()->itemText(i);
        QStringList sorted = nationalities;
        sorted.sort();
        QCOMPARE(nationalities, sorted);
        for (QComboBox* list : form->findChildren<QComboBox*>()) {
            QCOMPARE(list->currentIndex(), 0);
            QCOMPARE(list->currentText(), QStringLiteral("no choice"));
        }
        // Opened with nothing chosen: no criterion at all.
        const SearchCriteria c = form->Criteria();
        QCOMPARE(c.pais, std::uint8_t(0));
        QVERIFY(!c.division && !c.nacionalidad && !c.puesto && !c.valorPaseMax);
        QCOMPARE(c.minimums, Skills{});
        QCOMPARE(Globals().PlayerFileUseCount, 1);
        QTest::mouseClick(form->closeButton(), Qt::LeftButton);
        QTRY_COMPARE(Globals().PlayerFileUseCount, 0);
        QVERIFY(w.task.isEnabled());
    }

    void searchForm_criteria_data() {
        QTest::addColumn<FormInput>("input");
        QTest::addColumn<SearchCriteria>("expected");
        QTest::newRow("nothing chosen") << FormInput{} << SearchCriteria{};
        QTest::newRow("Kenya (code 99) is a criterion, not \"no choice\"")
            << FormInput{.nationality = "KEN"} << SearchCriteria{.nacionalidad = Nat("KEN")};
        QTest::newRow("division Premier is code 0")
            << FormInput{.division = "Premier"} << SearchCriteria{.division = 0};
        QTest::newRow("division Non-League is code 4")
            << FormInput{.division = "Non"} << SearchCriteria{.division = 4};
        QTest::newRow("position G is code 0, A is 7")
            << FormInput{.position = "A"} << SearchCriteria{.puesto = 7};
        QTest::newRow("country and skills as typed")
            << FormInput{.country = "8", .skills = {"5", "", "", "", "", "", "12"}}
            << SearchCriteria{.pais = 8, .minimums = {5, 0, 0, 0, 0, 0, 12}};
        QTest::newRow("a country above 255 cannot be typed")
            << FormInput{.country = "300"} << SearchCriteria{.pais = 30};
    }
    void searchForm_criteria() {
        QFETCH(FormInput, input);
        QFETCH(SearchCriteria, expected);
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 1);
        Fill(form, input);
        const SearchCriteria c = form->Criteria();
        QCOMPARE(c.pais, expected.pais);
        QCOMPARE(c.division, expected.division);
        QCOMPARE(c.nacionalidad, expected.nacionalidad);
        QCOMPARE(c.puesto, expected.puesto);
        QCOMPARE(c.minimums, expected.minimums);
        QCOMPARE(c.valorPaseMax, expected.valorPaseMax);
        form->close();
    }

    void searchForm_price() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 1);
        const QString text = QString::fromStdString(TrimRight(*PriceText(20)));
        Type(form->priceList(), text);
        QCOMPARE(form->priceList()->currentText(), text);
        QCOMPARE(form->Criteria().valorPaseMax, std::optional<std::uint8_t>(20));
        form->close();
    }

    // --- the search passes ---

    void search_marksExactlyTheMatchingPlayers_data() {
        QTest::addColumn<FormInput>("input");
        QTest::addColumn<SearchCriteria>("criteria");
        QTest::addColumn<int>("mark");
        QTest::newRow("no criterion marks every player") << FormInput{} << SearchCriteria{} << 3;
        QTest::newRow("nationality (the nationality pass)")
            << FormInput{.nationality = "ENG"} << SearchCriteria{.nacionalidad = Nat("ENG")} << 5;
        QTest::newRow("position with a price limit (the position pass)")
            << FormInput{.position = "D", .price = "500K"}
            << SearchCriteria{.puesto = 3, .valorPaseMax = *PriceCode("500K ")} << 7;
        QTest::newRow("country, division and skill minimums (the price pass)")
            << FormInput{.country = "8", .division = "First", .skills = {"5", "", "", "", "", "", "3"}}
            << SearchCriteria{.pais = 8, .division = 1, .minimums = {5, 0, 0, 0, 0, 0, 3}} << 255;
    }
    void search_marksExactlyTheMatchingPlayers() {
        QFETCH(FormInput, input);
        QFETCH(SearchCriteria, criteria);
        QFETCH(int, mark);
        PlayerWorld w;
        QVERIFY(w.built);
        w.SetAllMarks(9);
        const auto expected = w.Matching(criteria);
        QVERIFY(!expected.empty());
        FormularioBusqueda* form = OpenForm(w, mark);
        Fill(form, input);
        QVERIFY(Search(w, form));
        QCOMPARE(w.Marked(mark), expected);
        // Rows that do not match keep their marks.
        QCOMPARE(w.Marked(9).size() + expected.size(), w.Rows().size());
        // The pass's window: its title and texts, the found count of every matching row, to the end.
        const auto states = w.States();
        QVERIFY(!states.empty());
        QCOMPARE(states.front().title, std::string("Processing Records"));
        QCOMPARE(states.front().status, std::string("Searching Players (0 Found)"));
        QCOMPARE(states.front().percentText, std::string("0% Completed"));
        QCOMPARE(states.back().status, "Searching Players (" + std::to_string(expected.size()) + " Found)");
        QCOMPARE(states.back().percentText, std::string("Process Completed"));
        // The form stays open with its criteria, for another search.
        QVERIFY(form->isVisible());
        QCOMPARE(form->Criteria().puesto, criteria.puesto);
        form->close();
    }

    void search_twoSearchesLeaveTheUnionMarked() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 2);
        Type(form->positionList(), QStringLiteral("G"));
        QVERIFY(Search(w, form));
        Type(form->positionList(), QStringLiteral("A"));
        QVERIFY(Search(w, form));
        auto expected = w.Matching({.puesto = 0});
        expected.merge(w.Matching({.puesto = 7}));
        QCOMPARE(form->positionList()->currentText(), QStringLiteral("A"));
        QCOMPARE(w.Marked(2).size(), expected.size());
        QCOMPARE(w.Marked(2), expected);
        form->close();
    }

    void search_cancelStopsThePassAndKeepsWhatItMarked() {
        PlayerWorld w;
        const std::size_t all = w.Rows().size();
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
        FormularioBusqueda* form = OpenForm(w, 6);
        QTest::mouseClick(form->searchButton(), Qt::LeftButton);
        QPointer<ProgressWindow> progress = w.Progress();
        QVERIFY(progress);
        QVERIFY(!form->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(waiting, kJobWait);
        QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
        pressed.release();
        QTRY_VERIFY_WITH_TIMEOUT(progress.isNull(), kJobWait);
        JobStepHook() = nullptr;
        const std::size_t marked = w.Marked(6).size();
        QVERIFY2(marked > 0 && marked < all, qPrintable(QString::number(marked)));
        QTRY_VERIFY(form->isEnabled());
        QVERIFY(form->isVisible());
        QVERIFY(w.seams.messages.empty());
        form->close();
    }

    void search_markZeroIsRefusedWithAHint() {
        PlayerWorld w;
        w.SetAllMarks(9);
        const QByteArray before = ReadFile(w.seams.StartFile(QStringLiteral("JUGADORES")));
        FormularioBusqueda* form = OpenForm(w, 0);
        Fill(form, FormInput{.position = "G"});
        QTest::mouseClick(form->searchButton(), Qt::LeftButton);
        QVERIFY(!w.Progress()); // no pass started
        QCOMPARE(w.seams.messages.size(), std::size_t(1));
        QCOMPARE(w.seams.messages[0].title, QStringLiteral("WARNING"));
        QVERIFY2(w.seams.messages[0].text.contains(QStringLiteral("\"no mark\"")) &&
                     w.seams.messages[0].text.contains(QStringLiteral("from 1 to 255")),
                 qPrintable(w.seams.messages[0].text));
        QCOMPARE(w.Marked(9).size(), w.Rows().size());
        QCOMPARE(ReadFile(w.seams.StartFile(QStringLiteral("JUGADORES"))), before);
        QVERIFY(form->isVisible() && form->isEnabled());
        form->close();
        QTRY_COMPARE(Globals().PlayerFileUseCount, 0);
    }

    void search_formAndItsButtonCarryTheSearchCriteriaIcon() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 4);
        const QImage criteria = QIcon(QStringLiteral(":/icons/editbus.svg")).pixmap(32).toImage();
        const QImage browser = QIcon(QStringLiteral(":/icons/buscar3.svg")).pixmap(32).toImage();
        QVERIFY(criteria != browser);
        QCOMPARE(form->windowIcon().pixmap(32).toImage(), criteria);
        form->close();
    }

    void search_lockedDatabaseCannotStartAndShowsTheViewOpenWarning() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 4);
        // Another program holds the database for writing past the busy wait: the pass cannot start.
        PlayerDatabase other = w.Open();
        other.connection().exec("BEGIN EXCLUSIVE");
        QVERIFY(Search(w, form));
        other.connection().exec("ROLLBACK");
        QCOMPARE(w.seams.messages.size(), std::size_t(1));
        const MessageSpec& m = w.seams.messages[0];
        QCOMPARE(m.title, QStringLiteral("View Open Error"));
        QVERIFY2(m.text.startsWith(QStringLiteral("Error: (")) && m.text.contains(QStringLiteral("(5))")),
                 qPrintable(m.text));
        QVERIFY2(
            m.text.endsWith(QStringLiteral(") attempting to open the current VIEW. Filter and Range Limits "
                                           "ignored.")),
            qPrintable(m.text));
        QVERIFY(form->isVisible());
        form->close();
        QTRY_COMPARE(Globals().PlayerFileUseCount, 0);
    }

    void search_databaseThatCannotBeOpenedShowsTheViewOpenWarning() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 4);
        // The first user's full page check ends on its worker before the file is spoilt.
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        // The form holds the database; meanwhile the file is no database any more.
        const QString db = w.seams.StartFile(QStringLiteral("JUGADORES"));
        for (const char* suffix : {"-wal", "-shm"})
            QFile::remove(db + QLatin1String(suffix));
        QVERIFY(WriteFile(db, QByteArray(4096, 'x')));
        QVERIFY(Search(w, form));
        QCOMPARE(w.seams.messages.size(), std::size_t(1));
        const MessageSpec& m = w.seams.messages[0];
        QCOMPARE(m.title, QStringLiteral("View Open Error"));
        QVERIFY2(m.text.startsWith(QStringLiteral("Error: (")), qPrintable(m.text));
        QVERIFY2(
            m.text.endsWith(QStringLiteral(") attempting to open the current VIEW. Filter and Range Limits "
                                           "ignored.")),
            qPrintable(m.text));
        QCOMPARE(ReadFile(db), QByteArray(4096, 'x'));
        form->close();
    }

    // --- clearing marks ---

    void clearMarks_data() {
        QTest::addColumn<int>("mark");
        QTest::newRow("mark 3 leaves 1, 2, 4 and above") << 3;
        QTest::newRow("mark 0 clears every mark") << 0;
    }
    void clearMarks() {
        QFETCH(int, mark);
        PlayerWorld w;
        {
            PlayerDatabase db = w.Open();
            db.connection().exec("UPDATE jugadores SET marca = id % 6");
        }
        const auto before = w.Marks();
        bool done = false;
        RunClearMarks(&w.task, mark, [&] { done = true; });
        QVERIFY(w.Progress());
        QCOMPARE(w.Progress()->windowTitle(), QStringLiteral("Processing Records"));
        QTRY_VERIFY_WITH_TIMEOUT(done, kJobWait);
        for (const auto& [id, m] : w.Marks())
            QCOMPARE(m, mark == 0 || before.at(id) == mark ? 0 : before.at(id));
        const auto states = w.States();
        QCOMPARE(states.front().status, std::string("Clearing Marks"));
        QCOMPARE(states.back().percentText, std::string("Process Completed"));
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        QVERIFY(w.task.isEnabled());
    }
};

QObject* NewPlayerMarkingTest() {
    return new PlayerMarkingTest;
}

#include "PlayerMarkingCases.moc"
