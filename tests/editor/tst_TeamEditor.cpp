#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>
#include <QUndoStack>

#include "core/clipboard/ClipboardStore.h"
#include "core/gamefiles/AttributeTables.h"
#include "core/gamefiles/TeamFile.h"
#include "core/settings/IniFile.h"
#include "core/support/FixedText.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/KitPictures.h"
#include "editor/ui/HelpTopics.h"
#include "TeamEditorSupport.h"

using namespace kivo;
using namespace kivo::editor;
using test::Bytes;
using test::PutText;
using test::Team;

// Stands in for the clipboard window, which reloads its list when told a player was added.
class ClipboardStandIn : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE void Refresh() { ++refreshes; }
    int refreshes = 0;
};

// The team editor driven as a user does, checked in the file it writes.
class TeamEditorTest : public QObject {
    Q_OBJECT
private slots:
    void opensWithTheTeamsValuesAndLists() {
        test::Opened o;
        ActualizarEquipo* e = o.editor;
        QCOMPARE(e->windowTitle(), QStringLiteral("Update Team EDITED TOWN        "));
        QCOMPARE(e->tabs()->count(), 4);
        QCOMPARE(e->tabs()->tabText(1), QStringLiteral("&Main Kit"));
        QCOMPARE(e->teamNameField()->text(), QStringLiteral("EDITED TOWN"));
        const TeamEditorRow& row = e->row(1);
        // Lists: entry counts, orders (nationalities alphabetical, the others by code) and the row's values.
        QCOMPARE(QList<int>({e->tacticsList()->count(), row.nationality->count(), row.position->count(),
                             row.price->count()}),
                 QList<int>({18, 153, 8, 50}));
        QCOMPARE(QStringList({row.nationality->itemText(0), row.nationality->itemText(1),
                              row.position->itemText(7), row.price->itemText(49)}),
                 QStringList({"ALB", "ALG", "A", "15M+"}));
        QCOMPARE(QStringList({e->tacticsList()->currentText(), e->divisionList()->currentText(),
                              row.nationality->currentText(), row.position->currentText(),
                              row.price->currentText(), row.skills[1]->text()}),
                 QStringList({"4-5-1", "First", "ENG", "LB", "1.3M", "5"}));
        QCOMPARE(row.name->accessibleName(), QStringLiteral("Player Name"));
        QCOMPARE(row.skills[4]->accessibleName(), QStringLiteral("Ball Control"));
        // Slot 0 stands at place 16 (a substitute), slot 15 at place 1 (a starter).
        QCOMPARE(e->row(0).place->text(), QStringLiteral("16"));
        QVERIFY(e->row(0).place->styleSheet().contains(QLatin1String("255, 0, 0")));
        QCOMPARE(e->row(5).place->text(), QStringLiteral("11"));
        QVERIFY(e->row(5).place->styleSheet().contains(QLatin1String("0, 128, 0")));
        QCOMPARE(e->kitTab(KitWhich::Main).designs[0]->isChecked(), true);
        QCOMPARE(e->kitTab(KitWhich::Secondary).designs[3]->isChecked(), true);
        QCOMPARE(e->kitTab(KitWhich::Main).preview->LayerNames(),
                 QStringList(
                     {"~M_LI_I_4.ICO", "~M_LI_D_4.ICO", "~CA_LIS_4.ICO", "~SHORT_2.ICO", "~MEDIAS_1.ICO"}));
        QCOMPARE(Globals().TeamFileUseCount, 1);
        QCOMPARE(Globals().ClipboardFileUseCount, 1);
        QCOMPARE(HelpKeywordOf(e->row(3).skills[2]), QStringLiteral("Edit Teams"));
        QCOMPARE(QApplication::focusWidget(), e->teamNameField());
        // Every control a user works with has a name of its own (the spin boxes' inner fields and the tab
        // bar's scroll buttons belong to their owners).
        QStringList unnamed;
        int controls = 0;
        for (QWidget* w : e->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                                 qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w);
            const bool inner = qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
                               qobject_cast<QTabBar*>(w->parentWidget());
            controls += control && !inner;
            if (control && !inner && w->accessibleName().isEmpty())
                unnamed << QString::fromLatin1(w->metaObject()->className());
        }
        QVERIFY(controls > 16 * 12);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char(' '))));
    }

    void okWithoutChangesRewritesTheRecordInNormalForm() {
        TeamRecord odd = Team(1);
        std::fill(odd.nombreEntrenador.begin(), odd.nombreEntrenador.end(), ' ');
        odd.jugador[3].posicionYAspecto |= 0x05;
        odd.jugador[4].passing = 31;
        odd.jugador[6].nroCamiseta = 2;
        std::fill(odd.jugador[0].nombreJugador.begin(), odd.jugador[0].nombreJugador.end(), 'W'); // 23 bytes
        // Bytes outside their tables show no entry and are written back as they are.
        odd.jugador[5].nacionalidad = 200;
        odd.jugador[5].valorPase = 60;
        odd.tactica = 30;
        odd.division = 9;
        odd.uniformePrincipal.colorMedias = 12;
        test::Opened o(QStringLiteral("TEAM.008"), odd);
        QCOMPARE(o.editor->row(5).nationality->currentIndex(), -1);
        QCOMPARE(o.editor->row(5).price->currentIndex(), -1);
        QCOMPARE(o.editor->tacticsList()->currentIndex(), -1);
        QCOMPARE(o.editor->divisionList()->currentIndex(), -1);
        QCOMPARE(o.editor->kitTab(KitWhich::Main).colours[3]->currentIndex(), -1);
        QCOMPARE(o.editor->row(0).name->text(), QString(23, QLatin1Char('W'))); // longer than its 22
        TeamRecord expected = odd;
        PutText(expected.nombreEntrenador, "");
        expected.jugador[3].posicionYAspecto &= 0xF8;
        expected.jugador[4].passing = 15;
        expected.jugador[6].nroCamiseta = 7;
        QTest::mouseClick(o.editor->okButton(), Qt::LeftButton);
        QCOMPARE(o.File(), o.FileWith(expected));
        QCOMPARE(o.response, 1);
        QCOMPARE(Globals().GlobalResponse, 1);
        QTRY_VERIFY(!o.editor);
        QCOMPARE(Bytes(Globals().TeamRecordBuffer), Bytes(expected));
        QCOMPARE(Globals().TeamFileUseCount, 0);
        QCOMPARE(Globals().ClipboardFileUseCount, 0);
        const auto backup = Globals().Backups->BackupPathFor(o.path.toStdString());
        QCOMPARE(test::ReadFile(QString::fromStdString(backup.string())), o.original);
    }

    void cancelAsksExactlyWhenSomethingChanged_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("odd");
        QTest::addColumn<bool>("asks");
        QTest::newRow("nothing") << QString() << false << false;
        QTest::newRow("nothing, record not in normal form") << QString() << true << true;
        QTest::newRow("team name typed") << QStringLiteral("type") << false << true;
        QTest::newRow("team name typed, then undone") << QStringLiteral("type undo") << false << false;
        QTest::newRow("player dropped") << QStringLiteral("drop") << false << true;
        QTest::newRow("player dropped, then undone") << QStringLiteral("drop undo") << false << false;
        QTest::newRow("three face clicks") << QStringLiteral("faces") << false << false;
    }
    void cancelAsksExactlyWhenSomethingChanged() {
        QFETCH(QString, edit);
        QFETCH(bool, odd);
        QFETCH(bool, asks);
        TeamRecord team = Team(1);
        if (odd) team.jugador[0].posicionYAspecto = 0x01;
        test::Opened o(QStringLiteral("TEAM.008"), team);
        if (edit.startsWith(QLatin1String("type"))) {
            o.editor->teamNameField()->setFocus();
            QTest::keyClicks(o.editor->teamNameField(), QStringLiteral("XY"));
        }
        if (edit.startsWith(QLatin1String("drop"))) test::Drop(o, 4, {});
        if (edit == QLatin1String("faces"))
            for (int i = 0; i < 3; ++i)
                QTest::mouseClick(o.editor->row(7).face, Qt::LeftButton);
        if (edit.endsWith(QLatin1String("undo")))
            QTest::keyClick(o.editor->teamNameField(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(o.editor->undoStack()->canUndo(),
                 edit == QLatin1String("faces") ||
                     (!edit.isEmpty() && !edit.endsWith(QLatin1String("undo"))));

        o.seams.answers = {MessageButton::No};
        QTest::keyClick(o.editor, Qt::Key_Escape);
        if (asks) {
            QCOMPARE(o.seams.Shown(), QStringList{"ATENTION: Are you sure you want to cancel ?"});
            QCOMPARE(o.seams.messages[0].defaultButton, MessageButton::Yes);
            QVERIFY(o.editor); // No keeps the window open
            o.seams.answers = {MessageButton::Yes};
            QTest::mouseClick(o.editor->cancelButton(), Qt::LeftButton);
        }
        QTRY_VERIFY(!o.editor);
        QCOMPARE(o.response, 2);
        QCOMPARE(o.seams.messages.size(), asks ? std::size_t(2) : std::size_t(0));
        QCOMPARE(o.File(), o.original);
    }

    void undoGoesBackStepByStepToTheOpeningBytes() {
        test::Opened o;
        ActualizarEquipo* e = o.editor;
        const QByteArray opening = Bytes(EncodeEdits(e->session().state));
        o.OnPlayers(e->row(1).name);
        QTest::keyClicks(e->row(1).name, QStringLiteral("ABC")); // one step for the typing
        QTest::mouseClick(e->computeOriginalButton(), Qt::LeftButton);
        QTest::mouseClick(e->row(0).face, Qt::LeftButton);
        e->row(0).name->setFocus();
        QTest::keyClick(e->row(0).name, Qt::Key_PageUp, Qt::ControlModifier); // the keeper's price
        e->tabs()->setCurrentIndex(1);
        e->kitTab(KitWhich::Main).designs[2]->click();
        QCOMPARE(e->undoStack()->count(), 5);
        QCOMPARE(e->undoButton()->toolTip(), QStringLiteral("Undo Change Design of the Main Kit"));
        QCOMPARE(e->kitTab(KitWhich::Main).preview->LayerNames().size(), 8);

        e->undoButton()->setFocus();
        QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e->kitTab(KitWhich::Main).designs[0]->isChecked(), true);
        QCOMPARE(e->kitTab(KitWhich::Main).preview->LayerNames().size(), 5);
        e->tabs()->setCurrentIndex(0);
        QCOMPARE(e->undoButton()->toolTip(), QStringLiteral("Undo Compute Original Price of Row 1"));
        QCOMPARE(e->row(0).price->currentText(), QStringLiteral("100K"));
        QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(e->row(0).price->currentText(), QStringLiteral("1.3M"));
        QCOMPARE(e->tabs()->currentIndex(), 3); // the change was made on the Players tab
        QTest::keyClick(e, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(e->row(0).price->currentText(), QStringLiteral("100K"));
        QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(e->undoButton()->toolTip(), QStringLiteral("Undo Change Design of the Main Kit"));
        while (e->undoStack()->canUndo())
            QTest::mouseClick(e->undoButton(), Qt::LeftButton);
        QCOMPARE(e->row(1).name->text(), QStringLiteral("PLAYER 2"));
        QCOMPARE(e->redoButton()->toolTip(), QStringLiteral("Redo Edit Player Name of Row 2"));
        QCOMPARE(Bytes(EncodeEdits(e->session().state)), opening);
        QTest::mouseClick(e->okButton(), Qt::LeftButton);
        QCOMPARE(o.File(), o.original);
    }

    void hotKeysActOnTheFocusedRowOnly() {
        test::Opened o;
        Globals().Formulas[static_cast<std::size_t>(FormulaRole::Back)] = "2m";
        ActualizarEquipo* e = o.editor;
        o.OnPlayers(e->row(1).skills[3]);
        QTest::keyClick(e->row(1).skills[3], Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(e->row(1).price->currentText(), QStringLiteral("2M"));
        QCOMPARE(e->row(8).price->currentText(), QStringLiteral("1.3M")); // another right back
        QTest::mouseClick(e->computeOriginalButton(), Qt::LeftButton);
        QCOMPARE(e->row(0).price->currentText(), QStringLiteral("1.3M")); // the keeper keeps his
        QCOMPARE(e->row(8).price->currentText(), QStringLiteral("2M"));   // skills 5 x 7: code 35
        // Focus outside the rows: nothing happens.
        e->tabs()->setCurrentIndex(0);
        e->teamNameField()->setFocus();
        const int steps = e->undoStack()->count();
        QTest::keyClick(e->teamNameField(), Qt::Key_PageUp, Qt::ControlModifier);
        QTest::keyClick(e->teamNameField(), Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(e->undoStack()->count(), steps);
        auto store = ClipboardStore::Open(Globals().ClipboardFilePath);
        QVERIFY(store.ok());
        QCOMPARE(store->List()->size(), std::size_t(0));

        ClipboardStandIn clipboardWindow;
        Globals().ClipboardThread = &clipboardWindow;
        o.OnPlayers(e->row(5).price);
        QTest::keyClick(e->row(5).price, Qt::Key_Insert, Qt::ControlModifier);
        const auto entries = store->List();
        QCOMPARE(entries->size(), std::size_t(1));
        const PlayerTransferRecord& copied = entries->front().record;
        QCOMPARE(QString::fromStdString(TrimRight(copied.nombreJugador)), QStringLiteral("PLAYER 6"));
        QCOMPARE(copied.nroCamiseta, 6);
        QCOMPARE(copied.puesto, std::string("M "));
        QCOMPARE(copied.nacionalidad, std::string("ENG"));
        QCOMPARE(copied.valorPase, std::string("2M   "));
        QCOMPARE(Globals().TransferRecord, copied);
        QTRY_COMPARE(clipboardWindow.refreshes, 1);
        QCOMPARE(e->undoStack()->count(), steps); // the team did not change
    }

    void aDroppedPlayerTakesTheRowAndThePlacesStay() {
        test::Opened o;
        PlayerTransferRecord p;
        p.nacionalidad = "URU";
        p.nroCamiseta = 1;
        p.nombreJugador = "DROPPED";
        p.aspecto = 2;
        p.puesto = "M";
        p.skills = {1, 2, 3, 4, 5, 6, 7};
        p.valorPase = "2M";
        QMimeData text;
        text.setText(QStringLiteral("not a player"));
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(o.editor->row(4).name, &refused);
        QVERIFY(!refused.isAccepted());
        test::Drop(o, 4, p);
        const TeamEditorRow& row = o.editor->row(4);
        QCOMPARE(row.name->text(), QStringLiteral("DROPPED"));
        QCOMPARE(row.nationality->currentText(), QStringLiteral("URU"));
        QCOMPARE(row.position->currentText(), QStringLiteral("M"));
        QCOMPARE(row.skills[6]->value(), 7);
        QCOMPARE(row.place->text(), QStringLiteral("12"));
        QCOMPARE(o.editor->undoButton()->toolTip(), QStringLiteral("Undo Drop Player on Row 5"));
        QTest::mouseClick(o.editor->okButton(), Qt::LeftButton);
        const TeamRecord written = *ReadTeam(o.path.toStdString(), 1);
        QCOMPARE(written.jugador[4].posicionYAspecto, std::uint8_t(0xC0 | (2 << 3)));
        QCOMPARE(written.jugador[4].nroCamiseta, std::uint8_t(5)); // 1 is row 1's: the free number
        QCOMPARE(written.jugador[4].valorPase, *PriceCode("2M"));
        QCOMPARE(written.titularesYSuplentes, Team(1).titularesYSuplentes);
    }

    void namesTakeLatin1OnlyAndTheTitleFollows() {
        test::Opened o;
        QLineEdit* name = o.editor->teamNameField();
        name->setFocus();
        name->selectAll();
        test::Type(name, QStringLiteral("CAF\u00c9"));
        test::Type(name, QStringLiteral("\u20ac")); // the euro sign has no Latin-1 form
        QCOMPARE(name->text(), QStringLiteral("CAF\u00c9"));
        QVERIFY(o.editor->hintLabel()->text().contains(QLatin1String("Latin-1")));
        QCOMPARE(o.editor->windowTitle(), QStringLiteral("Update Team CAF\u00c9               "));
        QTest::keyClicks(name, QStringLiteral("S"));
        QVERIFY(o.editor->hintLabel()->text().isEmpty());
        QTest::mouseClick(o.editor->okButton(), Qt::LeftButton);
        const QByteArray file = o.File();
        QCOMPARE(file.mid(2 + 684 + 5, 6), QByteArray("CAF\xC9S\0", 6));
    }

    // A refused backup writes nothing and keeps the window; a write failing after the backup stops the
    // program.
    void aFailedSaveShowsTheErrorAndWritesNothing_data() {
        QTest::addColumn<bool>("backupRefused");
        QTest::newRow("backup refused") << true;
        QTest::newRow("write fails") << false;
    }
    void aFailedSaveShowsTheErrorAndWritesNothing() {
        QFETCH(bool, backupRefused);
        test::Opened o;
        if (backupRefused)
            test::WriteFile(QDir(o.dir.path()).filePath(QStringLiteral("kivo-backups")), "not a folder");
        else
            Globals().SelectedTeamIndex = 7; // past the file's three teams
        QTest::mouseClick(o.editor->okButton(), Qt::LeftButton);
        QCOMPARE(o.seams.messages.size(), std::size_t(1));
        QCOMPARE(o.seams.messages[0].title, QStringLiteral("ERROR"));
        QCOMPARE(o.seams.stops,
                 backupRefused ? std::vector<QString>{} : std::vector<QString>{"Error Writing File"});
        QVERIFY(o.editor); // OK did not close it
        QCOMPARE(o.File(), o.original);
    }

    // In the frame the editor is a subwindow; every way of closing it closes the subwindow too. With edits,
    // the close box asks as Cancel does.
    void closingClosesItsFrameAndAsksWhenEditsWouldBeLost_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("close box") << QStringLiteral("box");
        QTest::newRow("Cancel") << QStringLiteral("cancel");
        QTest::newRow("OK") << QStringLiteral("ok");
    }
    void closingClosesItsFrameAndAsksWhenEditsWouldBeLost() {
        QFETCH(QString, how);
        test::Opened o(QStringLiteral("TEAM.008"), Team(1), true);
        QPointer<ActualizarEquipo> editor = o.editor;
        QCOMPARE(o.area.subWindowList().size(), 2);
        QVERIFY(!TaskFrameOf(o.task)->isEnabled());
        editor->teamNameField()->setFocus();
        QTest::keyClicks(editor->teamNameField(), QStringLiteral("Q"));
        o.seams.answers = {MessageButton::Yes};
        if (how == QLatin1String("box")) qobject_cast<QMdiSubWindow*>(TaskFrameOf(editor))->close();
        if (how == QLatin1String("cancel")) QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        if (how == QLatin1String("ok")) QTest::mouseClick(editor->okButton(), Qt::LeftButton);
        QApplication::processEvents();
        QTRY_COMPARE(o.area.subWindowList().size(), 1);
        QVERIFY(TaskFrameOf(o.task)->isEnabled());
        QCOMPARE(o.response, how == QLatin1String("ok") ? 1 : 2);
        QCOMPARE(o.seams.messages.size(), how == QLatin1String("ok") ? std::size_t(0) : std::size_t(1));
        QCOMPARE(o.File() == o.original, how != QLatin1String("ok"));
        QCOMPARE(Globals().TeamFileUseCount, 0);
        QCOMPARE(ReadIniText(o.seams.PlacementIni(), "ActualizarEquipo", "Maximize", "?"), std::string("No"));
    }
};

QTEST_MAIN(TeamEditorTest)
#include "tst_TeamEditor.moc"
