#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>
#include <QUndoStack>

#include "editor/clipboard/ClipboardList.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "TeamEditorSupport.h"

using namespace kivo;
using namespace kivo::editor;

// The team editor's keys: the tabs' mnemonics and Ctrl+Tab, and Ctrl+Shift+V, which pastes the player
// highlighted in the clipboard onto the focused row exactly as a drop does.
class TeamEditorKeysTest : public QObject {
    Q_OBJECT
private slots:
    void tabsHaveMnemonicsAndCtrlTab() {
        test::Opened o(QStringLiteral("TEAM.008"), test::Team(1), true);
        QTabWidget* tabs = o.editor->tabs();
        QStringList titles;
        for (int t = 0; t < tabs->count(); ++t)
            titles << tabs->tabText(t);
        QCOMPARE(titles, (QStringList{"&General", "&Main Kit", "&Secondary Kit", "&Players"}));
        o.editor->teamNameField()->setFocus();
        struct Step {
            QKeyCombination keys;
            int tab;
        };
        const Step steps[] = {{Qt::ALT | Qt::Key_P, 3},
                              {Qt::ALT | Qt::Key_M, 1},
                              {Qt::ALT | Qt::Key_G, 0},
                              {Qt::ALT | Qt::Key_S, 2},
                              {Qt::CTRL | Qt::Key_Tab, 3},
                              {Qt::CTRL | Qt::Key_Tab, 0},
                              {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 3},
                              {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 2}};
        for (const Step& s : steps) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus && o.editor->isAncestorOf(focus));
            QTest::keyClick(focus, s.keys.key(), s.keys.keyboardModifiers());
            QCOMPARE(tabs->currentIndex(), s.tab);
        }
        // The frame's Ctrl+Tab (its next window) did not take the keys: the editor's subwindow is still
        // active.
        QCOMPARE(o.area.activeSubWindow() ? o.area.activeSubWindow()->widget() : nullptr, o.editor.data());
        QCOMPARE(o.File(), o.original); // keys that move between tabs change nothing
        QCOMPARE(o.editor->undoStack()->count(), 0);
    }

    void keyboardPasteWritesWhatADropWrites_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("field"); // 0 the name, 1 the shirt number, 2 a skill
        QTest::newRow("name of row 1") << 0 << 0;
        QTest::newRow("shirt of row 6") << 5 << 1;
        QTest::newRow("skill of row 16") << 15 << 2;
    }
    void keyboardPasteWritesWhatADropWrites() {
        QFETCH(int, row);
        QFETCH(int, field);
        PlayerTransferRecord p;
        p.nacionalidad = "BRA";
        p.nroCamiseta = 3; // another row's number: OK repairs it the same way both times
        p.nombreJugador = "Jo\343o Paulo";
        p.aspecto = 4;
        p.puesto = "A";
        p.skills = {14, 12, 3, 2, 13, 15, 11};
        p.valorPase = "2.5M";
        p = Normalised(p);
        QByteArray dropped;
        {
            test::Opened o;
            o.OnPlayers(o.editor->row(std::size_t(row)).name);
            test::Drop(o, row, p);
            QTest::mouseClick(o.editor->okButton(), Qt::LeftButton);
            dropped = o.File();
        }
        test::Opened o;
        QWidget frame;
        auto store = ClipboardStore::Open(Globals().ClipboardFilePath);
        QVERIFY(store.ok());
        PlayerTransferRecord other = p;
        other.nombreJugador = "AAA FIRST";
        QVERIFY(store->Append(other).ok());
        QVERIFY(store->Append(p).ok());
        auto* clipboard = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(clipboard);
        // The user highlights the player by typing his initial there, then goes back to the editor's row.
        QTest::keyClick(clipboard->list(), Qt::Key_J);
        QCOMPARE(clipboard->list()->currentItem()->text(), QStringLiteral("Jo\u00E3o Paulo"));
        o.editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(o.editor));
        const TeamEditorRow& r = o.editor->row(std::size_t(row));
        QWidget* focus = field == 0   ? static_cast<QWidget*>(r.name)
                         : field == 1 ? static_cast<QWidget*>(r.shirt)
                                      : static_cast<QWidget*>(r.skills[3]);
        o.OnPlayers(focus);
        QCOMPARE(o.editor->FocusedRow(), row);
        QTest::keyClick(focus, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(o.editor->undoStack()->count(), 1);
        QCOMPARE(o.editor->undoButton()->toolTip(), QStringLiteral("Undo Paste Player on Row %1").arg(row + 1));
        QCOMPARE(o.File(), o.original); // nothing is written before OK
        QTest::mouseClick(o.editor->okButton(), Qt::LeftButton);
        QCOMPARE(o.File(), dropped);
        QVERIFY(dropped != o.original);
        // Only team 1's record differs from the file as it was.
        QCOMPARE(dropped.left(o.header + 684), o.original.left(o.header + 684));
        QCOMPARE(dropped.mid(o.header + 2 * 684), o.original.mid(o.header + 2 * 684));
        QCOMPARE(clipboard->list()->count(), 2); // the player stays in the clipboard
        clipboard->close();
    }

    void keyboardPasteWithoutRowOrPlayerChangesNothing() {
        test::Opened o;
        // No clipboard window: the hint says what to do.
        o.OnPlayers(o.editor->row(2).name);
        QTest::keyClick(o.editor->row(2).name, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(o.editor->hintLabel()->text().contains(QStringLiteral("Players Clipboard")));
        QCOMPARE(o.editor->undoStack()->count(), 0);
        // A clipboard open and a player highlighted, but the cursor on the General tab: no row to paste onto.
        QWidget frame;
        auto store = ClipboardStore::Open(Globals().ClipboardFilePath);
        PlayerTransferRecord p;
        p.nombreJugador = "SOMEONE";
        QVERIFY(store->Append(Normalised(p)).ok());
        auto* clipboard = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(clipboard && clipboard->list()->currentRow() == 0);
        o.editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(o.editor));
        o.editor->tabs()->setCurrentIndex(0);
        o.editor->teamNameField()->setFocus();
        QTest::keyClick(o.editor->teamNameField(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(o.editor->hintLabel()->text().contains(QStringLiteral("player row")));
        QCOMPARE(o.editor->undoStack()->count(), 0);
        QCOMPARE(o.editor->teamNameField()->text(), QStringLiteral("EDITED TOWN"));
        QTest::mouseClick(o.editor->cancelButton(), Qt::LeftButton);
        QCOMPARE(o.File(), o.original);
        clipboard->close();
    }
};

QTEST_MAIN(TeamEditorKeysTest)
#include "tst_TeamEditorKeys.moc"
