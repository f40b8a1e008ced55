#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <atomic>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/TeamFile.h"
#include "core/settings/IniFile.h"
#include "core/support/FixedText.h"
#include "editor/app/TaskWindows.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/players/ImprimirJugadoresMarcados.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ReportPreview.h"
#include "PlayerJobsSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

namespace {

constexpr int kJobWait = 60000;

// What the user does in the search form, control by control: typed into the entries, typed into the
// drop lists (which choose the first entry starting with the text).
struct FormInput {
    QString country, division, nationality, position, price;
    std::array<QString, kSkillCount> skills;
};

FormularioBusqueda* OpenForm(PlayerWorld& w, int mark) {
    auto* form = new FormularioBusqueda(mark);
    OpenModalOnTask(&w.task, form, nullptr);
    return form;
}

void Type(QWidget* control, const QString& text) {
    if (text.isEmpty()) return;
    control->setFocus();
    if (auto* spin = qobject_cast<QSpinBox*>(control)) spin->selectAll();
    // A drop list takes keys typed close together as one text, as it does for a user.
    if (qobject_cast<QComboBox*>(control)) QTest::qWait(QApplication::keyboardInputInterval() + 50);
    QTest::keyClicks(control, text);
}

void Fill(FormularioBusqueda* form, const FormInput& in) {
    Type(form->countryEntry(), in.country);
    Type(form->divisionList(), in.division);
    Type(form->nationalityList(), in.nationality);
    Type(form->positionList(), in.position);
    Type(form->priceList(), in.price);
    for (std::size_t s = 0; s < kSkillCount; ++s)
        Type(form->skillEntry(s), in.skills[s]);
}

// Presses Search and waits for the pass to end; the form must still be open then.
bool Search(PlayerWorld& w, FormularioBusqueda* form) {
    QTest::mouseClick(form->searchButton(), Qt::LeftButton);
    if (!w.Progress()) return false;
    return QTest::qWaitFor([&] { return !w.Progress() && form->isEnabled(); }, kJobWait);
}

std::uint8_t Nat(const char* text) {
    return *NationalityCode(text);
}

} // namespace

Q_DECLARE_METATYPE(FormInput)
Q_DECLARE_METATYPE(SearchCriteria)

class PlayerJobsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QTest::qWait(0); }

    // --- "Start Creating File" ---

    void buildWindow_controls() {
        PlayerWorld w(false);
        ElegirDirectorioCrearArchivoJugadores window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Start Creating File"));
        QCOMPARE(window.statusTip(), QStringLiteral("Create An All Players File"));
        QCOMPARE(window.directoryEntry()->maxLength(), 255);
        QCOMPARE(window.directoryEntry()->accessibleName(), QStringLiteral("Team Files Directory"));
        QCOMPARE(window.beginButton()->text(), QStringLiteral("Begin Creating File"));
        QCOMPARE(window.beginButton()->toolTip(), QStringLiteral("Begin Creating File with all the Players"));
        QStringList labels;
        for (QLabel* l : window.findChildren<QLabel*>())
            labels << l->text();
        QVERIFY(labels.contains(QStringLiteral("Team Files Directory:")));
        QStringList buttons;
        for (QPushButton* b : window.findChildren<QPushButton*>())
            buttons << b->text();
        QCOMPARE(buttons, (QStringList{"Help", "Begin Creating File", "Close"}));
        // The entry is the global, both ways; a trailing backslash is kept as typed.
        QCOMPARE(window.directoryEntry()->text().toStdString(), Globals().BatchDataDirectory);
        window.directoryEntry()->clear();
        QTest::keyClicks(window.directoryEntry(), QStringLiteral("c:\\games\\kivo\\data\\"));
        QCOMPARE(Globals().BatchDataDirectory, std::string("c:\\games\\kivo\\data\\"));
    }

    void buildWindow_noClosesWithoutTouchingTheDatabase_data() {
        QTest::addColumn<bool>("existing");
        QTest::newRow("no database yet") << false;
        QTest::newRow("a database with marks") << true;
    }
    void buildWindow_noClosesWithoutTouchingTheDatabase() {
        QFETCH(bool, existing);
        PlayerWorld w(existing);
        if (existing) w.SetAllMarks(9);
        const QString db = w.seams.StartFile(QStringLiteral("JUGADORES"));
        const QByteArray before = ReadFile(db);
        QCOMPARE(QFileInfo::exists(db), existing);
        QPointer<ElegirDirectorioCrearArchivoJugadores> window = new ElegirDirectorioCrearArchivoJugadores;
        OpenTaskWindow(window);
        window->directoryEntry()->setText(QString::fromStdString(w.dataDir()));
        w.seams.answers = {MessageButton::No};
        QTest::mouseClick(window->beginButton(), Qt::LeftButton);
        QCOMPARE(w.seams.messages.size(), std::size_t(1));
        const MessageSpec& asked = w.seams.messages[0];
        QCOMPARE(asked.title, QStringLiteral("ATENTION"));
        QCOMPARE(asked.text,
                 QStringLiteral("This process could take ABOUT AN HOUR (or more) depending on the "
                                "computer.\nDo you want to start it anyway ?"));
        QCOMPARE(asked.icon, MessageIcon::Exclamation);
        QCOMPARE(asked.buttons, MessageButton::Yes | MessageButton::No);
        QCOMPARE(asked.defaultButton, MessageButton::Yes);
        QTRY_VERIFY(window.isNull());
        QVERIFY(!w.Progress());
        QCOMPARE(QFileInfo::exists(db), existing);
        QCOMPARE(ReadFile(db), before);
        QCOMPARE(Globals().GlobalResponse, kResponseCancelled);
    }

    void buildWindow_yesBuildsTheDatabaseOnAWorker() {
        PlayerWorld w(false);
        QPointer<ElegirDirectorioCrearArchivoJugadores> window = new ElegirDirectorioCrearArchivoJugadores;
        OpenTaskWindow(window);
        window->directoryEntry()->clear();
        QTest::keyClicks(window->directoryEntry(), QString::fromStdString(w.dataDir()));
        QTest::mouseClick(window->beginButton(), Qt::LeftButton); // Yes, the default
        QPointer<ProgressWindow> progress = window->findChild<ProgressWindow*>();
        QVERIFY(progress);
        QCOMPARE(progress->windowTitle(), QStringLiteral("Creating File"));
        QVERIFY(!progress->cancelButton()->isVisible());
        QVERIFY(!window->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(window.isNull(), kJobWait);
        QCOMPARE(Globals().GlobalResponse, kResponseCompleted);

        // Files 1 to 85 only, 16 rows a team, every mark 0.
        long long teams = 0;
        for (int n = 1; n <= 85; ++n)
            if (auto t = ReadTeams(w.teamFile(n))) teams += static_cast<long long>(t->size());
        const auto rows = w.Rows();
        QCOMPARE(static_cast<long long>(rows.size()), teams * 16);
        QVERIFY(w.Marked(0).size() == rows.size());
        // What the window was shown: every file number read in order, then the key building.
        const auto states = w.States();
        QVERIFY(!states.empty());
        std::vector<long long> files;
        for (const auto& s : states)
            if (s.label1 == "Reading File:" && (files.empty() || files.back() != s.value1))
                files.push_back(s.value1);
        QCOMPARE(files.front(), 1LL);
        QVERIFY(std::is_sorted(files.begin(), files.end()));
        QVERIFY(files.back() <= 85);
        QCOMPARE(states.back().label1, std::string("Building File Keys"));
        QCOMPARE(states.back().value1, -1LL);
        QVERIFY(states.back().label2.empty());
    }

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
            prompts << l->text();
        QCOMPARE(prompts,
                 (QStringList{"Country:", "Division:", "Nationality:", "Position:", "Passing:", "Shooting:",
                              "Heading:", "Tackling:", "Ball Control:", "Speed:", "Finishing:", "Price:"}));
        QCOMPARE(form->countryEntry()->toolTip(), QStringLiteral("Team Country"));
        QCOMPARE(form->nationalityList()->toolTip(), QStringLiteral("Nationality (same as this)"));
        QCOMPARE(form->positionList()->toolTip(), QStringLiteral("Position (same as this)"));
        QCOMPARE(form->priceList()->toolTip(), QStringLiteral("Price (less or equal than this)"));
        QCOMPARE(form->skillEntry(4)->toolTip(), QStringLiteral("Ball Control (more or equal than this)"));
        QCOMPARE(form->skillEntry(4)->accessibleName(), QStringLiteral("Ball Control"));
        QCOMPARE(form->priceList()->accessibleName(), QStringLiteral("Price"));
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
        QTest::newRow("mark 0 unmarks the players found")
            << FormInput{.position = "G"} << SearchCriteria{.puesto = 0} << 0;
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

    void search_progressWindowShowsTheCoreTexts() {
        // What a pass sends is what its window shows.
        ProgressWindow window(true);
        ProgressState s;
        s.title = "Processing Records";
        s.status = "Searching Players (70000 Found)";
        s.percent = 7;
        s.percentText = "  7% Completed";
        window.Show(s);
        QCOMPARE(window.windowTitle(), QStringLiteral("Processing Records"));
        QCOMPARE(window.statusLabel()->text(), QStringLiteral("Searching Players (70000 Found)"));
        QCOMPARE(window.bar()->value(), 7);
        QCOMPARE(window.percentLabel()->text(), QStringLiteral("  7% Completed"));
        QVERIFY(!window.cancelButton()->isHidden());
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

    void search_readErrorShowsTheRecordRetrievalWarning() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 4);
        // Another program holds the database for writing past the busy wait: the pass cannot go on.
        PlayerDatabase other = w.Open();
        other.connection().exec("BEGIN EXCLUSIVE");
        QVERIFY(Search(w, form));
        other.connection().exec("ROLLBACK");
        QCOMPARE(w.seams.messages.size(), std::size_t(1));
        const MessageSpec& m = w.seams.messages[0];
        QCOMPARE(m.title, QStringLiteral("Record Retrieval Error"));
        QVERIFY2(m.text.startsWith(QStringLiteral("Error: (")), qPrintable(m.text));
        QVERIFY2(m.text.endsWith(QStringLiteral(") attempting to access a record from the Jugadores file.  "
                                                "Returning to previous window.")),
                 qPrintable(m.text));
        QVERIFY(form->isVisible());
        form->close();
        QTRY_COMPARE(Globals().PlayerFileUseCount, 0);
    }

    // --- what every job window shares ---

    void windows_placementHelpAndNames_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("keyword");
        QTest::newRow("Start Creating File") << 0 << "ElegirDirectorioCrearArchivoJugadores"
                                             << "Creating the Players File";
        QTest::newRow("Set Searching Criteria") << 1 << "FormularioBusqueda"
                                                << "Searching Criteria";
        QTest::newRow("Updating the File with All the Players") << 2 << "ActualizarArchivoTodos"
                                                                << "Updating the Players File";
    }
    void windows_placementHelpAndNames() {
        QFETCH(int, which);
        QFETCH(QString, section);
        QFETCH(QString, keyword);
        PlayerWorld w;
        auto open = [&]() -> QWidget* {
            QWidget* window = which == 0   ? static_cast<QWidget*>(new ElegirDirectorioCrearArchivoJugadores)
                              : which == 1 ? static_cast<QWidget*>(new FormularioBusqueda(2))
                                           : static_cast<QWidget*>(new ActualizarArchivoTodos);
            if (which == 0)
                OpenTaskWindow(window);
            else
                OpenModalOnTask(&w.task, window, nullptr);
            return window;
        };
        QPointer<QWidget> window = open();
        // Every control is named for assistive tools.
        for (QWidget* c : window->findChildren<QWidget*>()) {
            if (qobject_cast<QSpinBox*>(c->parentWidget())) continue; // a spin box's own editor
            const bool control = qobject_cast<QAbstractButton*>(c) || qobject_cast<QLineEdit*>(c) ||
                                 qobject_cast<QComboBox*>(c) || qobject_cast<QSpinBox*>(c) ||
                                 qobject_cast<QTabWidget*>(c);
            if (control) QVERIFY2(!c->accessibleName().isEmpty(), c->metaObject()->className());
        }
        // Help opens at the window's own topic.
        QPushButton* help = nullptr;
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Help")) help = b;
        QVERIFY(help);
        QTest::mouseClick(help, Qt::LeftButton);
        QCOMPARE(HelpViewer::Instance()->currentKeyword(), keyword);
        HelpViewer::Instance()->hide();
        // The placement is saved at closing and restored at the next opening.
        window->move(70, 90);
        window->resize(window->width() + 40, window->height() + 30);
        const QRect placed = window->geometry();
        window->close();
        QTRY_VERIFY(window.isNull());
        const std::string ini = w.seams.PlacementIni();
        QCOMPARE(ReadIniText(ini, section.toStdString(), "Width", ""), std::to_string(placed.width()));
        QCOMPARE(ReadIniText(ini, section.toStdString(), "Maximize", ""), std::string("No"));
        WriteIniText(ini, section.toStdString(), "XPosit", "111");
        WriteIniText(ini, section.toStdString(), "YPosit", "122");
        window = open();
        QTRY_COMPARE(window->geometry().topLeft(), QPoint(111, 122));
        QCOMPARE(window->size(), placed.size());
        window->close();
        QTRY_COMPARE(Globals().PlayerFileUseCount, 0);
    }

    void search_databaseThatCannotBeOpenedShowsTheViewOpenWarning() {
        PlayerWorld w;
        FormularioBusqueda* form = OpenForm(w, 4);
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

    // --- "Updating the File with All the Players" ---

    void update_controls() {
        PlayerWorld w;
        auto* window = new ActualizarArchivoTodos;
        OpenModalOnTask(&w.task, window, nullptr);
        QCOMPARE(window->windowTitle(), QStringLiteral("Updating the File with All the Players"));
        QCOMPARE(window->statusTip(), QStringLiteral("Updating the All Players file"));
        QStringList buttons;
        for (QPushButton* b : window->findChildren<QPushButton*>())
            buttons << b->text();
        QCOMPARE(buttons, (QStringList{"Select File to Read", "START", "Close", "Help"}));
        QCOMPARE(window->numberEntry()->toolTip(), QStringLiteral("Number of the TEAM file to Update"));
        QStringList labels;
        for (QLabel* l : window->findChildren<QLabel*>())
            labels << l->text();
        QVERIFY(labels.contains(QStringLiteral("TEAM file Number:")));
        // Both start blank and 0; a number is typed in three digits.
        QVERIFY(window->fileName().isEmpty());
        QCOMPARE(window->fileNumber(), 0);
        Type(window->numberEntry(), QStringLiteral("1234"));
        QCOMPARE(window->fileNumber(), 123);
        QCOMPARE(Globals().PlayerFileUseCount, 1);
        QTest::mouseClick(window->closeButton(), Qt::LeftButton);
        QTRY_COMPARE(Globals().PlayerFileUseCount, 0);
        QVERIFY(w.task.isEnabled());
    }

    void update_selectFileSetsTheNumberFromTheName_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("number");
        QTest::newRow("TEAM.005") << "TEAM.005" << 5;
        QTest::newRow("lower-case team.042, listed by the filter too") << "team.042" << 42;
        QTest::newRow("a name not ending in three digits") << "TEAMS.DAT" << 0;
    }
    void update_selectFileSetsTheNumberFromTheName() {
        QFETCH(QString, file);
        QFETCH(int, number);
        PlayerWorld w(false);
        const QString dir = QString::fromStdString(w.dataDir());
        QFile::copy(QString::fromStdString(w.teamFile(5)), QDir(dir).filePath(file));
        auto* window = new ActualizarArchivoTodos;
        OpenModalOnTask(&w.task, window, nullptr);
        QStringList titles;
        ActualizarArchivoTodos::DialogAnswerer() = [&](QWidget* d) {
            auto* dialog = qobject_cast<QFileDialog*>(d);
            titles << dialog->windowTitle() << dialog->nameFilters().join(QLatin1Char(';'));
            dialog->setDirectory(dir);
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept();
        };
        QTest::mouseClick(window->selectButton(), Qt::LeftButton);
        ActualizarArchivoTodos::DialogAnswerer() = nullptr;
        QCOMPARE(titles.value(0), QStringLiteral("Choose the TEAM file"));
        QVERIFY(titles.value(1).startsWith(QStringLiteral("Team Files (team*.*")));
        QCOMPARE(QFileInfo(window->fileName()).fileName(), file);
        QCOMPARE(window->fileNameDisplay()->text(), window->fileName());
        QCOMPARE(window->fileNumber(), number);
        window->close();
    }

    void update_noClosesWithoutTouchingTheDatabase() {
        PlayerWorld w;
        const QString db = w.seams.StartFile(QStringLiteral("JUGADORES"));
        QPointer<ActualizarArchivoTodos> window = new ActualizarArchivoTodos;
        OpenModalOnTask(&w.task, window, nullptr);
        const QByteArray before = ReadFile(db);
        Type(window->numberEntry(), QStringLiteral("5"));
        w.seams.answers = {MessageButton::No};
        QTest::mouseClick(window->startButton(), Qt::LeftButton);
        QCOMPARE(w.seams.messages.size(), std::size_t(1));
        const MessageSpec& m = w.seams.messages[0];
        QCOMPARE(m.title, QStringLiteral("ATTENTION"));
        QCOMPARE(m.text,
                 QStringLiteral("If you START this process, ALL THE CURRENT PLAYERS FROM TEAM 5 will be "
                                "DELETED.\n Do you want to continue ?"));
        QCOMPARE(m.icon, MessageIcon::Exclamation);
        QCOMPARE(m.defaultButton, MessageButton::Yes);
        QTRY_VERIFY(window.isNull());
        QCOMPARE(ReadFile(db), before);
        QCOMPARE(Globals().PlayerFileUseCount, 0);
    }

    void update_yesReplacesTheFilesRowsAndStaysOpen_data() {
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("deletedCountry");
        QTest::newRow("the file's own number, twice in a row") << 5 << 5;
        QTest::newRow("a number above 255 deletes nothing") << 261 << -1;
    }
    void update_yesReplacesTheFilesRowsAndStaysOpen() {
        QFETCH(int, typed);
        QFETCH(int, deletedCountry);
        PlayerWorld w;
        w.SetAllMarks(3);
        const auto teams = *ReadTeams(w.teamFile(5));
        const std::size_t before = w.Rows().size();
        auto countOf = [&](int pais) {
            std::size_t n = 0;
            for (const auto& e : w.Rows())
                n += e.row.pais == pais;
            return n;
        };
        const std::size_t own = countOf(5);
        QCOMPARE(own, teams.size() * 16);
        QPointer<ActualizarArchivoTodos> window = new ActualizarArchivoTodos;
        OpenModalOnTask(&w.task, window, nullptr);
        ActualizarArchivoTodos::DialogAnswerer() = [&](QWidget* d) {
            auto* dialog = qobject_cast<QFileDialog*>(d);
            dialog->selectFile(QString::fromStdString(w.teamFile(5)));
            static_cast<QDialog*>(dialog)->accept();
        };
        QTest::mouseClick(window->selectButton(), Qt::LeftButton);
        ActualizarArchivoTodos::DialogAnswerer() = nullptr;
        QCOMPARE(window->fileNumber(), 5);
        Type(window->numberEntry(), QString::number(typed));
        const int rounds = deletedCountry < 0 ? 1 : 2;
        for (int round = 0; round < rounds; ++round) {
            QTest::mouseClick(window->startButton(), Qt::LeftButton); // Yes, the default
            QVERIFY(w.Progress());
            QTRY_VERIFY_WITH_TIMEOUT(!w.Progress() && window->isEnabled(), kJobWait);
        }
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(countOf(5), deletedCountry < 0 ? own * 2 : own);
        QCOMPARE(w.Rows().size(), deletedCountry < 0 ? before + own : before);
        // New rows are unmarked; every other row keeps its mark.
        for (const auto& e : w.Rows())
            QCOMPARE(int(e.row.marca), e.row.pais == 5 && e.id > static_cast<std::int64_t>(before) ? 0 : 3);
        // The texts as shown: exactly one blank before the file number.
        const auto states = w.States();
        auto deleting = std::find_if(states.begin(), states.end(),
                                     [](const ProgressState& s) { return s.title == "Deleting Players"; });
        QVERIFY(deleting != states.end());
        ProgressWindow shown(false);
        shown.Show(*deleting);
        QCOMPARE(shown.windowTitle(), QStringLiteral("Deleting Players"));
        QCOMPARE(shown.line1()->text(), QStringLiteral("Deleting old Players From TEAM: %1").arg(typed));
        QVERIFY(std::any_of(states.begin(), states.end(), [](const ProgressState& s) {
            return s.title == "Updating File" && s.label1 == "Reading File:" && s.label2 == "Team:";
        }));
        QVERIFY(w.seams.messages.size() == std::size_t(rounds));
        window->close();
    }

    void update_unreadableFileAbortsWithItsMessage_data() {
        QTest::addColumn<QByteArray>("bytes"); // empty: the file does not exist
        QTest::addColumn<QString>("ending");
        QTest::newRow("missing file") << QByteArray() << " can not be opened.\nUpdate process is aborted !";
        QTest::newRow("a file without a header")
            << QByteArray("\x01", 1) << " can not be read.\nUpdate process is aborted !";
    }
    void update_unreadableFileAbortsWithItsMessage() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, ending);
        PlayerWorld w;
        const QString file = QDir(QString::fromStdString(w.dataDir())).filePath(QStringLiteral("TEAM.099"));
        if (!bytes.isEmpty()) QVERIFY(WriteFile(file, bytes));
        const QByteArray before = ReadFile(w.seams.StartFile(QStringLiteral("JUGADORES")));
        auto* window = new ActualizarArchivoTodos;
        OpenModalOnTask(&w.task, window, nullptr);
        ActualizarArchivoTodos::DialogAnswerer() = [&](QWidget* d) {
            auto* dialog = qobject_cast<QFileDialog*>(d);
            dialog->selectFile(bytes.isEmpty() ? QString::fromStdString(w.teamFile(5)) : file);
            static_cast<QDialog*>(dialog)->accept();
        };
        QTest::mouseClick(window->selectButton(), Qt::LeftButton);
        ActualizarArchivoTodos::DialogAnswerer() = nullptr;
        if (bytes.isEmpty()) QVERIFY(QFile::remove(QString::fromStdString(w.teamFile(5))));
        QTest::mouseClick(window->startButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.Progress() && window->isEnabled(), kJobWait);
        QCOMPARE(w.seams.messages.size(), std::size_t(2));
        const MessageSpec& m = w.seams.messages[1];
        QCOMPARE(m.title, QStringLiteral("ERROR"));
        QCOMPARE(m.icon, MessageIcon::Information);
        QCOMPARE(m.text, QStringLiteral("File ") + window->fileName() + ending);
        QCOMPARE(ReadFile(w.seams.StartFile(QStringLiteral("JUGADORES"))), before);
        window->close();
    }
};

QTEST_MAIN(PlayerJobsTest)
#include "tst_PlayerJobs.moc"
