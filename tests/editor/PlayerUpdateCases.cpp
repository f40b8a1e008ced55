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

// The one-file update window ("Updating the File with All the Players"); run by tst_PlayerJobs.
class PlayerUpdateTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QTest::qWait(0); }

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
        QVERIFY(WriteFile(QDir(dir).filePath(QStringLiteral("notes.txt")), "x"));
        auto* window = new ActualizarArchivoTodos;
        OpenModalOnTask(&w.task, window, nullptr);
        QStringList titles, listed;
        ActualizarArchivoTodos::DialogAnswerer() = [&](QWidget* d) {
            auto* dialog = qobject_cast<QFileDialog*>(d);
            titles << dialog->windowTitle() << dialog->nameFilters().join(QLatin1Char(';'));
            dialog->setDirectory(dir);
            // What the dialog lists once it has read the directory.
            auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
            QTest::qWaitFor([&] {
                listed.clear();
                for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r)
                    listed << view->model()->index(r, 0, view->rootIndex()).data().toString();
                return listed.contains(file) && listed.contains(QStringLiteral("TEAM.005"));
            });
            // The user clicks the file in the list and accepts.
            for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r) {
                const QModelIndex index = view->model()->index(r, 0, view->rootIndex());
                if (index.data().toString() != file) continue;
                view->scrollTo(index);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
            }
            static_cast<QDialog*>(dialog)->accept();
        };
        QTest::mouseClick(window->selectButton(), Qt::LeftButton);
        ActualizarArchivoTodos::DialogAnswerer() = nullptr;
        QCOMPARE(titles.value(0), QStringLiteral("Choose the TEAM file"));
        QVERIFY(titles.value(1).startsWith(QStringLiteral("Team Files (")));
        QVERIFY2(listed.contains(file) && listed.contains(QStringLiteral("TEAM.005")),
                 qPrintable(listed.join(' ')));
        QVERIFY(!listed.contains(QStringLiteral("notes.txt")));
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
        // Another number than the file name's is asked about apart: Yes, update anyway.
        const bool otherNumber = typed != 5;
        for (int round = 0; round < rounds; ++round) {
            if (otherNumber) w.seams.answers = {MessageButton::Yes, MessageButton::Yes};
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
        QVERIFY(w.seams.messages.size() == std::size_t(rounds + (otherNumber ? 1 : 0)));
        window->close();
    }

    // The number typed is not the file name's: the update would replace another country's players by this
    // file's, so it asks first; No leaves the database as it was and the window open.
    void update_anotherNumberThanTheFileNamesAsksFirst_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void update_anotherNumberThanTheFileNamesAsksFirst() {
        QFETCH(bool, yes);
        PlayerWorld w;
        w.SetAllMarks(3);
        auto countOf = [&](int pais) {
            std::size_t n = 0;
            for (const auto& e : w.Rows())
                n += e.row.pais == pais;
            return n;
        };
        const std::size_t fives = countOf(5), sevens = countOf(7);
        QVERIFY(fives > 0 && sevens > 0);
        const QString db = w.seams.StartFile(QStringLiteral("JUGADORES"));
        const QByteArray before = ReadFile(db), walBefore = ReadFile(db + QStringLiteral("-wal"));
        QPointer<ActualizarArchivoTodos> window = new ActualizarArchivoTodos;
        OpenModalOnTask(&w.task, window, nullptr);
        ActualizarArchivoTodos::DialogAnswerer() = [&](QWidget* d) {
            auto* dialog = qobject_cast<QFileDialog*>(d);
            dialog->selectFile(QString::fromStdString(w.teamFile(5)));
            static_cast<QDialog*>(dialog)->accept();
        };
        QTest::mouseClick(window->selectButton(), Qt::LeftButton);
        ActualizarArchivoTodos::DialogAnswerer() = nullptr;
        Type(window->numberEntry(), QStringLiteral("7"));
        w.seams.answers = {MessageButton::Yes, yes ? MessageButton::Yes : MessageButton::No};
        QTest::mouseClick(window->startButton(), Qt::LeftButton);
        QCOMPARE(w.seams.messages.size(), std::size_t(2));
        const MessageSpec& asked = w.seams.messages[1];
        QCOMPARE(asked.title, QStringLiteral("ATTENTION"));
        QCOMPARE(asked.icon, MessageIcon::Exclamation);
        QCOMPARE(asked.buttons, MessageButton::Yes | MessageButton::No);
        QCOMPARE(asked.defaultButton, MessageButton::No);
        QVERIFY2(asked.text.contains(QStringLiteral("is team file number 5, not 7")) &&
                     asked.text.endsWith(QStringLiteral("\nDo you want to update anyway ?")),
                 qPrintable(asked.text));
        if (yes) {
            QVERIFY(w.Progress());
            QTRY_VERIFY_WITH_TIMEOUT(!w.Progress() && window->isEnabled(), kJobWait);
            QCOMPARE(countOf(7), std::size_t(0)); // another country's players are gone, as the user agreed
            QCOMPARE(countOf(5), fives * 2);
        } else {
            QVERIFY(!w.Progress());
            QCOMPARE(ReadFile(db), before);
            QCOMPARE(ReadFile(db + QStringLiteral("-wal")), walBefore);
            QCOMPARE(countOf(5), fives);
            QCOMPARE(countOf(7), sevens);
        }
        QVERIFY(window);
        QVERIFY(window->isVisible());
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

QObject* NewPlayerUpdateTest() {
    return new PlayerUpdateTest;
}

#include "PlayerUpdateCases.moc"
