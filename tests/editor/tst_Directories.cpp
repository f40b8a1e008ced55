#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

#include "core/players/PlayerDatabase.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/RecentDirectories.h"
#include "core/settings/SettingsEntries.h"
#include "editor/inspect/RevisionDatos.h"
#include "editor/inspect/CopiasSeguridad.h"
#include "editor/market/ElegirDirectorioArreglarMercado.h"
#include "editor/players/ElegirDirectorioCrearArchivoJugadores.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/DirectoryField.h"
#include "editor/ui/TaskWindows.h"
#include "TaskAreaSupport.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

using Frame = test::TaskArea;

const char* const kWindows[] = {"catalogue", "build", "market", "check", "backups"};

// The windows with a directory field, opened as the frame opens them.
QWidget* OpenWindow(const QString& which) {
    if (which == QLatin1String("catalogue")) {
        StartEquiposExistentes();
    } else if (which == QLatin1String("build")) {
        StartElegirDirectorioCrearArchivoJugadores();
    } else if (which == QLatin1String("market")) {
        StartElegirDirectorioArreglarMercado();
    } else if (which == QLatin1String("check")) {
        StartRevisionDatos();
    } else {
        StartCopiasSeguridad();
    }
    return Globals().TaskArea->currentSubWindow()->widget();
}

// The two whole-game windows ask for the game's directory, the others for the team files'.
QString PromptOf(const QString& which) {
    return which == QLatin1String("check") || which == QLatin1String("backups")
               ? QStringLiteral("Game Files Directory")
               : QStringLiteral("Team Files Directory");
}

bool UsesBatchDirectory(const QString& which) {
    return which == QLatin1String("build") || which == QLatin1String("market");
}

DirectoryField* FieldOf(QWidget* window) {
    return window->findChild<DirectoryField*>();
}

std::string Ventanas() {
    return VentanasPath();
}

void AddWindows(const char* column = "window") {
    QTest::addColumn<QString>(column);
}

} // namespace

// The directory fields of "Team Files", "Start Creating File" and "Start Fixing Market": where they start,
// Browse..., the last five directories; relative directories; the build's summary.
class DirectoriesTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Globals().DirectoryDialog = nullptr; }

    void fieldsStartAtTheGameDirectoryElseTheLastOneUsed_data() {
        AddWindows();
        QTest::addColumn<QString>("settings");
        for (const char* w : kWindows)
            for (const char* s : {"DirectorioKIVO", "recent only", "nothing"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(w, s))) << w << s;
    }
    void fieldsStartAtTheGameDirectoryElseTheLastOneUsed() {
        QFETCH(QString, window);
        QFETCH(QString, settings);
        test::Seams seams;
        Frame frame;
        const std::vector<std::string> recent = {"/r/six",   "/r/five", "/r/four",
                                                 "/r/three", "/r/two",  "/r/one"};
        if (settings != QLatin1String("nothing"))
            for (auto it = recent.rbegin(); it != recent.rend(); ++it)
                QVERIFY(RememberDirectory(Ventanas(), *it));
        if (settings == QLatin1String("DirectorioKIVO"))
            QVERIFY(WriteIniText(Ventanas(), kConfigSection, kDirectorioKivo, "/games/kivo/data"));
        Globals().BatchDataDirectory = "/somewhere/else"; // what another window left: not where fields start
        QWidget* w = OpenWindow(window);
        DirectoryField* field = FieldOf(w);
        QVERIFY(field);
        const QString expected =
            settings == QLatin1String("DirectorioKIVO") ? QStringLiteral("/games/kivo/data")
            : settings == QLatin1String("recent only")  ? QStringLiteral("/r/six")
                                                        : QString::fromStdString(DefaultDataDirectory());
        QCOMPARE(field->text(), expected);
        if (UsesBatchDirectory(window))
            QCOMPARE(QString::fromStdString(Globals().BatchDataDirectory), expected);
        // The last five used, newest first, in the drop-down list.
        const QStringList offered = settings == QLatin1String("nothing")
                                        ? QStringList{}
                                        : QStringList{"/r/six", "/r/five", "/r/four", "/r/three", "/r/two"};
        QCOMPARE(field->recentDirectories(), offered);
        QCOMPARE(field->comboBox()->accessibleName(), PromptOf(window) + QLatin1Char(':'));
        QCOMPARE(field->browseButton()->accessibleName(), QStringLiteral("Browse\u2026"));
        QVERIFY(field->comboBox()->isEditable());
        TaskFrameOf(w)->close();
    }

    void browsePicksAFolder_data() {
        AddWindows();
        QTest::addColumn<bool>("chosen");
        for (const char* w : kWindows) {
            QTest::newRow(qPrintable(QStringLiteral("%1, a folder chosen").arg(w))) << w << true;
            QTest::newRow(qPrintable(QStringLiteral("%1, cancelled").arg(w))) << w << false;
        }
    }
    void browsePicksAFolder() {
        QFETCH(QString, window);
        QFETCH(bool, chosen);
        test::Seams seams;
        Frame frame;
        const QString data = seams.StartFile(QStringLiteral("data"));
        QVERIFY(WriteSampleData(data.toStdString(), {}).ok());
        QVERIFY(WriteIniText(Ventanas(), kConfigSection, kDirectorioKivo, "elsewhere"));
        QWidget* w = OpenWindow(window);
        DirectoryField* field = FieldOf(w);
        QStringList asked; // the picker's title and where it opened
        Globals().DirectoryDialog = [&](QWidget* parent, const QString& title, const QString& initial) {
            asked << title << initial;
            return parent && chosen ? data : QString();
        };
        QTest::mouseClick(field->browseButton(), Qt::LeftButton);
        // A relative entry opens the picker in the start directory's folder of that name.
        QCOMPARE(asked, (QStringList{"Choose the " + PromptOf(window), seams.StartFile("elsewhere")}));
        const QString shown = chosen ? QDir::toNativeSeparators(data) : QStringLiteral("elsewhere");
        QCOMPARE(field->text(), shown);
        if (window == QLatin1String("catalogue")) {
            auto* catalogue = qobject_cast<EquiposExistentes*>(w);
            QVERIFY(!catalogue->fileButton(8)->isEnabled());
            QTest::mouseClick(catalogue->refreshButton(), Qt::LeftButton);
            QCOMPARE(catalogue->fileButton(8)->isEnabled(), chosen);
        } else if (window == QLatin1String("check")) {
            // Checked where the field points: the sample's files, or nothing in a folder that is not there.
            QTest::mouseClick(qobject_cast<RevisionDatos*>(w)->checkButton(), Qt::LeftButton);
            QCOMPARE(
                qobject_cast<RevisionDatos*>(w)->summary()->text().contains(QStringLiteral("file(s)")),
                chosen);
        } else if (UsesBatchDirectory(window)) {
            QCOMPARE(QString::fromStdString(Globals().BatchDataDirectory), shown);
        }
        TaskFrameOf(w)->close();
    }

    // A directory a job used goes first in the list, which keeps five; one picked from the list is used.
    void theLastFiveDirectoriesAreOfferedAndKept() {
        test::Seams seams;
        Frame frame;
        const QString data = seams.StartFile(QStringLiteral("data"));
        QVERIFY(WriteSampleData(data.toStdString(), {}).ok());
        for (const char* old : {"/r/e", "/r/d", "/r/c", "/r/b", "/r/a"})
            QVERIFY(RememberDirectory(Ventanas(), old));
        QVERIFY(RememberDirectory(Ventanas(), data.toStdString()));
        const QByteArray configured = test::ReadFile(seams.StartFile("ventanas.ini"));

        auto* market = qobject_cast<ElegirDirectorioArreglarMercado*>(OpenWindow("market"));
        QComboBox* combo = market->directoryField()->comboBox();
        QCOMPARE(market->directoryField()->recentDirectories(),
                 (QStringList{data, "/r/a", "/r/b", "/r/c", "/r/d"}));
        // The user drops the list down and clicks the third directory.
        market->directoryField()->setText(QStringLiteral("/typed"));
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex third = view->model()->index(2, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(third).center());
        QTRY_COMPARE(market->directoryField()->text(), QStringLiteral("/r/b"));
        QCOMPARE(Globals().BatchDataDirectory, std::string("/r/b"));
        // Nothing is written until a job uses a directory.
        QCOMPARE(test::ReadFile(seams.StartFile("ventanas.ini")), configured);
        seams.answers = {MessageButton::No};
        QTest::mouseClick(market->beginButton(), Qt::LeftButton);
        QTRY_VERIFY(frame.area.subWindowList().isEmpty());
        QCOMPARE(test::ReadFile(seams.StartFile("ventanas.ini")), configured); // No: nothing used

        // The build uses a typed directory: it goes first, the oldest of the five drops out.
        auto* build = qobject_cast<ElegirDirectorioCrearArchivoJugadores*>(OpenWindow("build"));
        build->directoryEntry()->clear();
        QTest::keyClicks(build->directoryEntry(), QStringLiteral("data"));
        seams.answers = {MessageButton::Yes};
        QTest::mouseClick(build->beginButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(frame.area.subWindowList().isEmpty(), 60000);
        QCOMPARE(ReadRecentDirectories(Ventanas()),
                 (std::vector<std::string>{"data", data.toStdString(), "/r/a", "/r/b", "/r/c"}));
        // The specified entries were not touched: the list has a section of its own.
        QCOMPARE(ReadIniText(Ventanas(), kConfigSection, kDirectorioKivo, "none"), std::string("none"));
    }

    // A copied workspace names its data relative to its start directory: every window takes it from there,
    // wherever the process happens to be.
    void aRelativeDirectoryIsTakenFromTheStartDirectory() {
        test::Seams seams;
        Frame frame;
        const QString data = seams.StartFile(QStringLiteral("data"));
        QVERIFY(WriteSampleData(data.toStdString(), {}).ok());
        QVERIFY(WriteIniText(Ventanas(), kConfigSection, kDirectorioKivo, "data"));
        QVERIFY(QDir::current() != QDir(seams.start.path()));

        auto* catalogue = qobject_cast<EquiposExistentes*>(OpenWindow("catalogue"));
        QCOMPARE(catalogue->directoryField()->text(), QStringLiteral("data"));
        QVERIFY(catalogue->fileButton(8)->isEnabled());
        catalogue->fileButton(8)->click();
        const QString opened = QString::fromStdString(Globals().TeamFilePath);
        QCOMPARE(QFileInfo(opened).absoluteFilePath(), QFileInfo(data + "/team.008").absoluteFilePath());
        // The browser first, then the catalogue it is modal on.
        QList<QMdiSubWindow*> open = frame.area.subWindowList(QMdiArea::CreationOrder);
        std::reverse(open.begin(), open.end());
        for (QMdiSubWindow* sub : open)
            sub->close();
        QTRY_VERIFY(frame.area.subWindowList().isEmpty());
        // Saved as it was typed: the copy stays relative.
        QCOMPARE(ReadIniText(Ventanas(), kConfigSection, kDirectorioKivo, ""), std::string("data"));

        auto* build = qobject_cast<ElegirDirectorioCrearArchivoJugadores*>(OpenWindow("build"));
        QCOMPARE(build->directoryEntry()->text(), QStringLiteral("data"));
        seams.answers = {MessageButton::Yes};
        QTest::mouseClick(build->beginButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(frame.area.subWindowList().isEmpty(), 60000);
        auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
        QVERIFY(db.ok());
        QVERIFY(*db->CountRows() > 0);
    }

    // The build asks first, saying that every mark is lost, and ends with a summary.
    void theBuildWarnsOfTheMarksAndEndsWithASummary() {
        test::Seams seams;
        Frame frame;
        const QString data = seams.StartFile(QStringLiteral("data"));
        const SampleDataSummary written = *WriteSampleData(data.toStdString(), {});
        // A file in the way of TEAM.010 (a folder): skipped, and said why. A damaged database: set aside.
        QFile::remove(data + "/TEAM.010");
        QVERIFY(QDir(data).mkdir(QStringLiteral("TEAM.010")));
        const QString jugadores = seams.StartFile(QStringLiteral("JUGADORES"));
        QVERIFY(test::WriteFile(jugadores, QByteArray(4096, 'x')));
        QVERIFY(WriteIniText(Ventanas(), kConfigSection, kDirectorioKivo, data.toStdString()));

        auto* build = qobject_cast<ElegirDirectorioCrearArchivoJugadores*>(OpenWindow("build"));
        seams.answers = {MessageButton::Yes};
        QTest::mouseClick(build->beginButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(frame.area.subWindowList().isEmpty(), 60000);
        QCOMPARE(seams.messages.size(), std::size_t(2));
        QCOMPARE(seams.messages[0].text,
                 QStringLiteral("This process could take ABOUT AN HOUR (or more) depending on the computer.\n"
                                "It makes the file with all the players anew: ALL THE MARKS are lost.\n"
                                "Do you want to start it anyway ?"));
        const MessageSpec& summary = seams.messages[1];
        QCOMPARE(summary.title, QStringLiteral("Creating File"));
        auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
        QVERIFY(db.ok());
        const long long rows = *db->CountRows();
        QVERIFY(rows > 0 && rows < written.playerSlots);
        QVERIFY2(summary.text.startsWith(
                     QStringLiteral("The file with all the players is built: %1 players of %2 teams, from ")
                         .arg(rows)
                         .arg(rows / 16)),
                 qPrintable(summary.text));
        QVERIFY2(summary.text.contains(QStringLiteral("\nSkipped: ")) && summary.text.contains("TEAM.010"),
                 qPrintable(summary.text));
        QVERIFY2(
            summary.text.contains(QStringLiteral("it is kept as ") + jugadores + QStringLiteral(".damaged")),
            qPrintable(summary.text));
        QCOMPARE(test::ReadFile(jugadores + QStringLiteral(".damaged")), QByteArray(4096, 'x'));
    }
};

QTEST_MAIN(DirectoriesTest)
#include "tst_Directories.moc"
