#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/TeamFile.h"
#include "core/settings/IniFile.h"
#include "editor/players/ActualizarArchivoTodos.h"
#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"
#include "editor/players/FormularioBusqueda.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/TaskWindows.h"
#include "PlayerJobsSupport.h"

using namespace kivo;
using namespace kivo::editor;
using namespace kivo::editor::test;

// The build window and what every job window shares. The one-file update window is in
// PlayerUpdateCases.cpp, the search form and the passes in PlayerMarkingCases.cpp, the report in
// PlayerReportCases.cpp; all run in this one program.
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
        QCOMPARE(window.directoryEntry()->accessibleName(), QStringLiteral("Team Files Directory:"));
        QCOMPARE(window.beginButton()->text(), QStringLiteral("Begin Creating File"));
        QCOMPARE(window.beginButton()->toolTip(), QStringLiteral("Begin Creating File with all the Players"));
        QStringList labels;
        for (QLabel* l : window.findChildren<QLabel*>())
            labels << l->text();
        QVERIFY(labels.contains(QStringLiteral("Team Files Directory:")));
        QStringList buttons;
        for (QPushButton* b : window.findChildren<QPushButton*>())
            buttons << b->text();
        QCOMPARE(buttons, (QStringList{"Browse\u2026", "Help", "Begin Creating File", "Close"}));
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
                                "computer.\nIt makes the file with all the players anew: ALL THE MARKS are "
                                "lost.\nDo you want to start it anyway ?"));
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
        // The bar moves with the file numbers and stops short of the end while the keys are built.
        std::vector<int> percents;
        for (const auto& s : states)
            percents.push_back(s.percent);
        QVERIFY(std::is_sorted(percents.begin(), percents.end()));
        QCOMPARE(percents.front(), 0);
        QCOMPARE(percents.back(), 90);
    }

    void storageErrorText_data() {
        QTest::addColumn<QString>("core");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the storage words and number after the last colon")
            << "The search could not mark the players in /a: b/JUGADORES: database is locked (5)\nNo mark "
               "was changed."
            << "database is locked (5)";
        QTest::newRow("a text without a number: first line only, number 0") << "Cannot open JUGADORES\nmore"
                                                                            << "Cannot open JUGADORES (0)";
        QTest::newRow("a finding of the core's own: its last part, number 0")
            << "/a/portapap.tps is not a file of this kind: it has no table portapapeles"
            << "it has no table portapapeles (0)";
    }
    void storageErrorText() {
        QFETCH(QString, core);
        QFETCH(QString, shown);
        QCOMPARE(StorageErrorText(core.toStdString()), shown);
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
};

QObject* NewPlayerMarkingTest();
QObject* NewPlayerReportTest();
QObject* NewPlayerUpdateTest();

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTEST_SET_MAIN_SOURCE_PATH
    PlayerJobsTest jobs;
    std::unique_ptr<QObject> update(NewPlayerUpdateTest());
    std::unique_ptr<QObject> marking(NewPlayerMarkingTest());
    std::unique_ptr<QObject> report(NewPlayerReportTest());
    int failed = QTest::qExec(&jobs, argc, argv);
    for (QObject* cases : {update.get(), marking.get(), report.get()})
        failed += QTest::qExec(cases, argc, argv);
    return failed;
}

#include "tst_PlayerJobs.moc"
