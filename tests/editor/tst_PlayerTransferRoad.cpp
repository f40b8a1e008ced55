#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <QUndoStack>

#include "core/clipboard/ClipboardStore.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/PlayerCodes.h"
#include "core/gamefiles/TeamFile.h"
#include "core/players/CrearArchivoJugadores.h"
#include "core/players/PlayerDatabase.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "core/support/FixedText.h"
#include "editor/ui/CheckOpen.h"
#include "editor/app/Principal.h"
#include "editor/clipboard/ClipboardList.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/players/BrowserBusquedas.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/teams/VerEquipos.h"
#include "PlayerBrowserSupport.h"
#include "TeamEditorSupport.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

template <class W> W* InFrame(Principal& frame) {
    for (QMdiSubWindow* sub : frame.taskArea()->subWindowList())
        if (auto* w = qobject_cast<W*>(sub->widget())) return w;
    return nullptr;
}

VerPortapapeles* ClipboardWindow() {
    return qobject_cast<VerPortapapeles*>(Globals().ClipboardThread.data());
}

QStringList Listed(const VerPortapapeles* w) {
    QStringList names;
    for (int i = 0; w && i < w->list()->count(); ++i)
        names << w->list()->item(i)->text();
    return names;
}

// The clipboard file's entries, as they are in the file.
std::vector<ClipboardEntry> Entries() {
    auto store = ClipboardStore::Open(Globals().ClipboardFilePath);
    if (!store) return {};
    auto list = store->List();
    return list ? *list : std::vector<ClipboardEntry>{};
}

// A sample workspace in the start directory: the game files in data/, the catalogue pointed at them, and
// the players database built from them (the build window's own road is the search road's test).
struct Workspace {
    Workspace() {
        start = QString::fromStdString(Globals().StartDirectory);
        data = QDir(start).filePath(QStringLiteral("data"));
        ok = WriteSampleData(data.toStdString(), {.seed = 3}).ok();
        WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, data.toStdString());
        NoProgress quiet;
        ok = ok && CrearArchivoJugadores(PlayerDatabasePath(), data.toStdString(), quiet).ok();
    }
    QString TeamFile(int number) const {
        return QDir(data).filePath(QStringLiteral("TEAM.%1").arg(number, 3, 10, QLatin1Char('0')));
    }
    QString start;
    QString data;
    bool ok = false;
};

void OpenClipboardFromMenu(Principal& frame) {
    QMenu* window = test::MenuOf(frame, QStringLiteral("&Window"));
    QVERIFY(window);
    for (QAction* a : window->actions())
        if (a->text() == QStringLiteral("&Players Clipboard")) a->trigger();
    QVERIFY(ClipboardWindow());
    QVERIFY(ClipboardWindow()->isVisible());
}

// Catalogue, the file's button, the team browser on team `team`, "Edit Team": the editor on its Players tab.
ActualizarEquipo* OpenEditor(Principal& frame, int fileNumber, int team) {
    frame.activateWindow();
    if (!QTest::qWaitForWindowActive(&frame)) qWarning("the frame did not become active");
    frame.toolBar()->actions().at(0)->trigger(); // "Open a Team File for Editing"
    auto* catalogue = InFrame<EquiposExistentes>(frame);
    if (!catalogue || !catalogue->fileButton(fileNumber) || !catalogue->fileButton(fileNumber)->isEnabled())
        return nullptr;
    QTest::mouseClick(catalogue->fileButton(fileNumber), Qt::LeftButton);
    auto* browser = InFrame<VerEquipos>(frame);
    if (!browser) return nullptr;
    QTreeWidget* list = browser->list();
    list->setFocus();
    for (int i = 0; i < team; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    if (list->indexOfTopLevelItem(list->currentItem()) != team) return nullptr;
    QTest::mouseClick(browser->editButton(), Qt::LeftButton);
    auto* editor = InFrame<ActualizarEquipo>(frame);
    if (!editor) return nullptr;
    editor->tabs()->setCurrentIndex(3); // "Players"
    QApplication::processEvents();
    return editor;
}

// The record as OK writes it after the drop: the team in normal form, row r taken over by the clipboard's
// player, face 0 as the database gives it; the slot's line-up place and reserved bytes stay.
TeamRecord Expected(const TeamRecord& original, std::size_t r, const PlayerTransferRecord& p) {
    TeamRecord expected = EncodeTeam(DecodeTeam(original));
    PlayerSlot& slot = expected.jugador[r];
    slot.nacionalidad = *NationalityCode(p.nacionalidad);
    slot.nroCamiseta = p.nroCamiseta;
    StoreText(slot.nombreJugador, TrimRight(p.nombreJugador));
    slot.posicionYAspecto = std::uint8_t(*PositionCode(p.puesto) << 5);
    const Skills& s = p.skills;
    slot.passing = s[0];
    slot.shootingYHeading = std::uint8_t(s[1] << 4 | s[2]);
    slot.tacklingYBallControl = std::uint8_t(s[3] << 4 | s[4]);
    slot.speedYFinishing = std::uint8_t(s[5] << 4 | s[6]);
    slot.valorPase = *PriceCode(p.valorPase);
    return expected;
}

QByteArray WithRecord(QByteArray file, std::uint64_t offset, const TeamRecord& record) {
    file.replace(qsizetype(offset), qsizetype(kTeamRecordSize), test::Bytes(record));
    return file;
}

// The first catalogue file other than `country`'s whose first team belongs to another country.
int OtherCountryFile(const Workspace& ws, int country) {
    for (int n = 1; n < 200; ++n) {
        if (n == country || !QFileInfo::exists(ws.TeamFile(n))) continue;
        const auto first = ReadTeam(ws.TeamFile(n).toStdString(), 0);
        if (first && first->pais != country) return n;
    }
    return -1;
}

} // namespace

// The road a user takes to move a player between countries: found in the player browser, copied to the
// players clipboard, dragged from there onto a row of another country's team, saved; the file compared
// byte for byte.
class PlayerTransferRoadTest : public QObject {
    Q_OBJECT
private slots:
    void copyFromTheBrowserAndDropOnAnotherCountry_data() {
        QTest::addColumn<bool>("clipboardOpenFirst");
        QTest::newRow("clipboard opened after the copy") << false;
        QTest::newRow("clipboard already open: the refresh notice") << true;
    }
    void copyFromTheBrowserAndDropOnAnotherCountry() {
        QFETCH(bool, clipboardOpenFirst);
        test::Seams seams;
        Workspace ws;
        QVERIFY(ws.ok);
        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        if (clipboardOpenFirst) OpenClipboardFromMenu(frame);
        QCOMPARE(Listed(ClipboardWindow()), QStringList());

        // "Find Players": the player on the list's third row highlighted by a click, then "Copy player".
        frame.FindPlayers();
        QPointer<BrowserBusquedas> browser = InFrame<BrowserBusquedas>(frame);
        QVERIFY(browser);
        QVERIFY(test::Settle(browser->model()));
        QTableView* players = browser->list();
        const QModelIndex third = browser->model()->index(2, 0);
        QTest::mouseClick(players->viewport(), Qt::LeftButton, {}, players->visualRect(third).center());
        const auto picked = browser->Highlighted();
        QVERIFY(picked);
        QCOMPARE(players->currentIndex().row(), 2);
        const int countryA = picked->row.pais;
        const QString name = QString::fromLatin1(TrimRight(picked->texts.name));
        QVERIFY(!name.isEmpty());
        QTest::mouseClick(browser->button(QStringLiteral("Copy player")), Qt::LeftButton);

        // The clipboard holds it with the browser's texts and face 0, and its window lists it.
        const std::vector<ClipboardEntry> copied = Entries();
        QCOMPARE(copied.size(), std::size_t(1));
        const PlayerTransferRecord& p = copied[0].record;
        QCOMPARE(p.nacionalidad, picked->texts.nationality);
        QCOMPARE(p.nombreJugador, picked->texts.name);
        QCOMPARE(p.puesto, picked->texts.position);
        QCOMPARE(p.valorPase, picked->texts.price);
        QCOMPARE(p.skills, picked->row.skills);
        QCOMPARE(p.nroCamiseta, picked->row.nroCamiseta);
        QCOMPARE(p.aspecto, std::uint8_t(0));
        if (clipboardOpenFirst) {
            QTRY_COMPARE(Listed(ClipboardWindow()), QStringList{name});
        } else {
            OpenClipboardFromMenu(frame);
            QCOMPARE(Listed(ClipboardWindow()), QStringList{name});
        }
        VerPortapapeles* clipboard = ClipboardWindow();
        QListWidgetItem* entry = clipboard->list()->item(0);
        QTest::mouseClick(clipboard->list()->viewport(), Qt::LeftButton, {},
                          clipboard->list()->visualItemRect(entry).center());
        QCOMPARE(clipboard->list()->currentItem(), entry);
        std::unique_ptr<QMimeData> drag(clipboard->DragDataOfHighlighted());
        QVERIFY(drag);
        QTest::mouseClick(browser->button(QStringLiteral("Close")), Qt::LeftButton);
        QTRY_VERIFY(!InFrame<BrowserBusquedas>(frame));

        // A team file of another country; a row whose shirt number is the player's, so that the save keeps
        // every number where it is.
        const int fileB = OtherCountryFile(ws, countryA);
        QVERIFY(fileB > 0);
        const QString pathB = ws.TeamFile(fileB);
        const int team = 1;
        const QByteArray before = test::ReadFile(pathB);
        const TeamRecord original = *ReadTeam(pathB.toStdString(), team);
        QVERIFY(original.pais != countryA);
        const TeamRecord normal = EncodeTeam(DecodeTeam(original));
        std::size_t r = kPlayersPerTeam;
        for (std::size_t i = 0; i < kPlayersPerTeam; ++i)
            if (normal.jugador[i].nroCamiseta == p.nroCamiseta) r = i;
        QVERIFY2(r < kPlayersPerTeam, "no row carries the copied player's shirt number");

        ActualizarEquipo* editor = OpenEditor(frame, fileB, team);
        QVERIFY(editor);
        const QByteArray clipboardBefore =
            test::ReadFile(QString::fromStdString(Globals().ClipboardFilePath));
        QVERIFY(test::DropOn(editor->row(int(r)).name, drag.get()));
        QCOMPARE(editor->row(int(r)).name->text().trimmed(), name);
        QCOMPARE(editor->row(int(r)).nationality->currentText(), QString::fromLatin1(p.nacionalidad));
        QTest::mouseClick(editor->okButton(), Qt::LeftButton);
        QTRY_VERIFY(!InFrame<ActualizarEquipo>(frame));

        // Only that team's record changed: the normal form with row r pasted; the line-up as it was.
        const TeamRecord expected = Expected(original, r, p);
        QVERIFY(expected.jugador[r].nombreJugador != normal.jugador[r].nombreJugador);
        const std::uint64_t offset = TeamRecordOffset(pathB.toStdString(), team);
        QCOMPARE(test::ReadFile(pathB), WithRecord(before, offset, expected));
        QCOMPARE(ReadTeam(pathB.toStdString(), team)->titularesYSuplentes, original.titularesYSuplentes);
        // The file as it was is in kivo-backups/; the entry is still in the clipboard.
        QDir backups(QDir(ws.data).filePath(QStringLiteral("kivo-backups")));
        const QStringList runs = backups.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(runs.size(), 1);
        QCOMPARE(test::ReadFile(QDir(backups.filePath(runs[0])).filePath(QFileInfo(pathB).fileName())),
                 before);
        QCOMPARE(test::ReadFile(QString::fromStdString(Globals().ClipboardFilePath)), clipboardBefore);
        QCOMPARE(Entries().size(), std::size_t(1));
        QCOMPARE(Entries()[0].record, p);
        QCOMPARE(Listed(ClipboardWindow()), QStringList{name});
        QVERIFY(seams.messages.empty());
        QVERIFY(seams.stops.empty());
        frame.close();
    }

    // Ctrl+Ins on a player row of a team editor copies that row into the clipboard, and the open clipboard
    // window shows it without being asked; the team file stays as it was.
    void ctrlInsInATeamEditorReachesTheOpenClipboard() {
        test::Seams seams;
        Workspace ws;
        QVERIFY(ws.ok);
        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        OpenClipboardFromMenu(frame);
        const QString path = ws.TeamFile(8);
        const QByteArray before = test::ReadFile(path);
        ActualizarEquipo* editor = OpenEditor(frame, 8, 0);
        QVERIFY(editor);
        const TeamEditorRow& row = editor->row(5);
        const QString name = row.name->text().trimmed();
        QVERIFY(!name.isEmpty());
        row.name->setFocus();
        QTest::keyClick(row.name, Qt::Key_Insert, Qt::ControlModifier);
        QTRY_COMPARE(Listed(ClipboardWindow()), QStringList{name});
        const std::vector<ClipboardEntry> copied = Entries();
        QCOMPARE(copied.size(), std::size_t(1));
        QCOMPARE(copied[0].record.nacionalidad, row.nationality->currentText().toStdString());
        QCOMPARE(copied[0].record.skills[0], std::uint8_t(row.skills[0]->value()));
        QCOMPARE(copied[0].record.valorPase, PadBlank(row.price->currentText().toStdString(), 5));
        QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!InFrame<ActualizarEquipo>(frame));
        QCOMPARE(test::ReadFile(path), before);
        QVERIFY(seams.messages.empty());
        frame.close();
    }

    // The player's drag let go anywhere but a player row is refused there: after OK or Cancel neither the
    // team file nor the clipboard has changed.
    void dragOffAPlayerRowChangesNoFile_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("team name field") << "team name";
        QTest::newRow("coach name field") << "coach name";
        QTest::newRow("team browser's list") << "browser";
        QTest::newRow("catalogue's directory entry") << "catalogue";
    }
    void dragOffAPlayerRowChangesNoFile() {
        QFETCH(QString, target);
        test::Seams seams;
        Workspace ws;
        QVERIFY(ws.ok);
        PlayerTransferRecord p;
        p.nacionalidad = "URU";
        p.nroCamiseta = 3;
        p.nombreJugador = "WANDERER";
        p.puesto = "M";
        p.skills = {1, 2, 3, 4, 5, 6, 7};
        p.valorPase = "2M";
        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        const auto id = ClipboardStore::Open(Globals().ClipboardFilePath, true)->Append(Normalised(p));
        QVERIFY(id.ok());
        OpenClipboardFromMenu(frame);
        ClipboardWindow()->list()->setCurrentRow(0);
        std::unique_ptr<QMimeData> drag(ClipboardWindow()->DragDataOfHighlighted());
        QVERIFY(drag);
        const QString path = ws.TeamFile(8);
        const QByteArray before = test::ReadFile(path);
        const QByteArray clipboardBefore =
            test::ReadFile(QString::fromStdString(Globals().ClipboardFilePath));
        ActualizarEquipo* editor = OpenEditor(frame, 8, 2);
        QVERIFY(editor);
        QWidget* on = target == "team name"    ? static_cast<QWidget*>(editor->teamNameField())
                      : target == "coach name" ? static_cast<QWidget*>(editor->coachNameField())
                      : target == "browser"    ? static_cast<QWidget*>(InFrame<VerEquipos>(frame)->list())
                                               : InFrame<EquiposExistentes>(frame)->directoryEntry();
        QVERIFY(!test::DropOn(on, drag.get()));
        QCOMPARE(editor->undoStack()->count(), 0);
        QVERIFY(!editor->session().state.dropped);
        QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(!InFrame<ActualizarEquipo>(frame));
        QVERIFY(seams.messages.empty()); // nothing to ask about: the team was not changed
        QCOMPARE(test::ReadFile(path), before);
        QCOMPARE(test::ReadFile(QString::fromStdString(Globals().ClipboardFilePath)), clipboardBefore);
        QVERIFY(!QDir(QDir(ws.data).filePath(QStringLiteral("kivo-backups"))).exists());
        frame.close();
    }
};

QTEST_MAIN(PlayerTransferRoadTest)
#include "tst_PlayerTransferRoad.moc"
