// From a player found in "Browse Players" to his team in the team editor and back: Enter, a double-click
// and "Edit Team" open the team at his row through the one-file rule; after OK the file holds the edit,
// JUGADORES the refreshed rows with their marks, and the browser shows them.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>

#include "core/players/CrearArchivoJugadores.h"
#include "core/players/KeyedFileOpen.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "PlayerBrowserSupport.h"
#include "TeamEditorSupport.h"

namespace kivo::editor {

namespace {

ActualizarEquipo* OpenEditor() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* editor = qobject_cast<ActualizarEquipo*>(w); editor && editor->isVisible()) return editor;
    return nullptr;
}

// The editor just opened, made the active window as the user sees it.
ActualizarEquipo* ActiveEditor() {
    ActualizarEquipo* editor = OpenEditor();
    if (!editor) return nullptr;
    editor->activateWindow();
    if (!QTest::qWaitForWindowActive(editor)) qWarning("the editor did not become active");
    QCoreApplication::processEvents();
    return editor;
}

// The browser's row of team `team`, slot `slot` of file 8, or -1.
int RowOf(PlayerListModel* model, int team, int slot) {
    for (int row = 0; row < model->rowCount(); ++row)
        if (const auto e = model->EntryAt(row);
            e && e->row.pais == 8 && e->row.equipo == team && e->row.slot == slot)
            return row;
    return -1;
}

} // namespace

class PlayerTeamRoad : public QObject {
    Q_OBJECT

    std::unique_ptr<test::Seams> seams;
    QString data, file;
    QByteArray original;
    QPointer<BrowserBusquedas> browser;

    void Prepare() {
        seams = std::make_unique<test::Seams>();
        Globals().ClipboardFilePath = seams->StartFile("portapap.tps").toStdString();
        data = seams->StartFile("data");
        QDir().mkpath(data);
        file = QDir(data).filePath("TEAM.008");
        original = QByteArray(2, '\x07') + test::Bytes(test::Team(0)) + test::Bytes(test::Team(1)) +
                   test::Bytes(test::Team(2));
        QVERIFY(test::WriteFile(file, original));
        QVERIFY(WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, data.toStdString()));
        NoProgress quiet;
        QVERIFY(CrearArchivoJugadores(PlayerDatabasePath(), data.toStdString(), quiet).ok());
        auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
        db->connection().exec("UPDATE jugadores SET marca = 5 WHERE equipo = 1 AND slot IN (3, 4)");
    }
    void OpenBrowser() {
        browser = new BrowserBusquedas;
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->resize(1000, 600);
        browser->show();
        QVERIFY(test::Settle(browser->model()));
    }
    void Highlight(int team, int slot) {
        const int row = RowOf(browser->model(), team, slot);
        QVERIFY(row >= 0);
        browser->list()->setCurrentIndex(browser->model()->index(row, 0));
        browser->list()->scrollTo(browser->list()->currentIndex());
        browser->list()->setFocus();
    }

private slots:
    void cleanup() {
        if (ActualizarEquipo* editor = OpenEditor()) editor->close();
        if (browser) browser->close();
        QCoreApplication::processEvents();
        delete browser;
        Globals().CatalogueOpen = false;
        seams.reset();
    }

    // The whole road: Enter on the player, the editor at his row, a new name, OK.
    void enterOpensTheTeamAtThePlayersRowAndOkRefreshesTheRows() {
        Prepare();
        OpenBrowser();
        Highlight(1, 3);
        QTest::keyClick(browser->list(), Qt::Key_Return);
        ActualizarEquipo* editor = ActiveEditor();
        QVERIFY(editor);
        QCOMPARE(editor->tabs()->tabText(editor->tabs()->currentIndex()), QStringLiteral("&Players"));
        QCOMPARE(editor->focusWidget(), editor->row(2).name);
        QCOMPARE(editor->row(2).name->text().trimmed(), QStringLiteral("PLAYER 3"));
        QVERIFY(Globals().CatalogueOpen);
        QLineEdit* name = editor->row(2).name;
        name->selectAll();
        QTest::keyClick(name, Qt::Key_Backspace);
        QTest::keyClicks(name, QStringLiteral("Nuevo Nombre"));
        QTest::mouseClick(editor->okButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!OpenEditor());
        QVERIFY(!Globals().CatalogueOpen);

        // The file: team 1's slot 3 name and nothing else.
        TeamRecord edited = test::Team(1);
        test::PutText(edited.jugador[2].nombreJugador, "Nuevo Nombre");
        const QByteArray expected = QByteArray(2, '\x07') + test::Bytes(test::Team(0)) + test::Bytes(edited) +
                                    test::Bytes(test::Team(2));
        QCOMPARE(test::ReadFile(file), expected);

        // The rows: slot 3 renamed with its mark, slot 4 untouched with its own; other teams as built.
        auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
        auto& c = db->connection();
        QCOMPARE(
            c.execAndGet("SELECT nombre_jugador || '/' || marca FROM jugadores WHERE pais = 8 AND equipo = 1 "
                         "AND slot = 3")
                .getString(),
            std::string("Nuevo Nombre/5"));
        QCOMPARE(c.execAndGet("SELECT count(*) FROM jugadores WHERE marca = 5").getInt(), 2);
        QCOMPARE(c.execAndGet("SELECT count(*) FROM jugadores").getInt(), 48);
        QCOMPARE(c.execAndGet("SELECT count(*) FROM jugadores WHERE nombre_jugador = 'PLAYER 3'").getInt(),
                 2);

        // The browser shows the new name where the old one was.
        QVERIFY(test::Settle(browser->model()));
        const int row = RowOf(browser->model(), 1, 3);
        QVERIFY(row >= 0);
        QCOMPARE(browser->model()->EntryAt(row)->texts.name.substr(0, 12), std::string("Nuevo Nombre"));
        QVERIFY(seams->messages.empty());
    }

    void doubleClickAndTheButtonOpenTheTeamToo() {
        Prepare();
        OpenBrowser();
        Highlight(2, 16);
        QTableView* list = browser->list();
        const QRect cell = list->visualRect(list->currentIndex());
        // A click on the row, then the double-click, as the mouse sends them.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center(), 10);
        ActualizarEquipo* editor = ActiveEditor();
        QVERIFY2(editor, qPrintable(seams->Shown().join('|')));
        QCOMPARE(editor->focusWidget(), editor->row(15).name);
        QCOMPARE(Globals().SelectedTeamIndex, std::int64_t{2});
        QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!OpenEditor());
        QCOMPARE(test::ReadFile(file), original);

        Highlight(0, 1);
        QTest::mouseClick(browser->button(QStringLiteral("Edit Team")), Qt::LeftButton);
        editor = ActiveEditor();
        QVERIFY(editor);
        QCOMPARE(editor->focusWidget(), editor->row(0).name);
        QCOMPARE(Globals().SelectedTeamIndex, std::int64_t{0});
    }

    // While a team file is open for editing nothing else opens, and the message says which file it is.
    void anotherFileOpenForEditingIsNamed() {
        Prepare();
        OpenBrowser();
        Globals().TeamFilePath = "/games/TEAM.074";
        Globals().TeamFileUseCount = 1;
        Globals().CatalogueOpen = true;
        Highlight(1, 3);
        QTest::keyClick(browser->list(), Qt::Key_Return);
        Globals().TeamFileUseCount = 0;
        QVERIFY(!OpenEditor());
        QCOMPARE(seams->Shown(), QStringList{"ERROR: Only ONE File can be Edited at the Same Time.\nThe file "
                                             "/games/TEAM.074 is open for editing: close it first."});
        // The catalogue alone is named as the window.
        Globals().CatalogueOpen = true;
        QTest::keyClick(browser->list(), Qt::Key_Return);
        QVERIFY(
            seams->Shown().last().contains(QStringLiteral("The \"Team Files\" window is open for editing")));
        QVERIFY(!OpenEditor());
    }

    // A file changed since the build: the slot holds someone else, and nothing opens.
    void anOutOfDateDatabaseIsSaidSo() {
        Prepare();
        TeamRecord moved = test::Team(1);
        test::PutText(moved.jugador[2].nombreJugador, "SOMEONE ELSE");
        QVERIFY(test::WriteFile(file, QByteArray(2, '\x07') + test::Bytes(test::Team(0)) +
                                          test::Bytes(moved) + test::Bytes(test::Team(2))));
        OpenBrowser();
        Highlight(1, 3);
        QTest::keyClick(browser->list(), Qt::Key_Return);
        QVERIFY(!OpenEditor());
        QCOMPARE(seams->messages.size(), std::size_t{1});
        QVERIFY(seams->Shown()[0].contains(QStringLiteral("holds \"SOMEONE ELSE\", not \"PLAYER 3\"")));
        QVERIFY(!Globals().CatalogueOpen);
    }

    // A database built before the team and slot were kept: the browser says so, and Enter says it again.
    void anOlderDatabaseIsSaidSo() {
        Prepare();
        {
            auto db = PlayerDatabase::Open(PlayerDatabasePath(), false);
            db->connection().exec("ALTER TABLE jugadores DROP COLUMN equipo");
            db->connection().exec("ALTER TABLE jugadores DROP COLUMN slot");
        }
        QVERIFY(RebuildPlayerDatabaseKeys(PlayerDatabasePath()).ok());
        OpenBrowser();
        QVERIFY(!browser->olderDatabaseNote()->isHidden());
        browser->list()->setCurrentIndex(browser->model()->index(0, 0));
        QTest::keyClick(browser->list(), Qt::Key_Enter);
        QVERIFY(!OpenEditor());
        QCOMPARE(seams->messages.size(), std::size_t{1});
        QVERIFY(seams->Shown()[0].contains(QStringLiteral("build it again")));
    }
};

} // namespace kivo::editor

QTEST_MAIN(kivo::editor::PlayerTeamRoad)
#include "tst_PlayerTeamRoad.moc"
