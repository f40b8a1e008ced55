#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <QtTest>

#include "core/clipboard/ClipboardStore.h"
#include "core/sampledata/SampleData.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/app/Principal.h"
#include "editor/clipboard/ClipboardList.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/teams/ActualizarEquipo.h"
#include "editor/teams/EquiposExistentes.h"
#include "editor/teams/VerEquipos.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/TaskWindows.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

template <class W> W* InFrame(Principal& frame) {
    for (QMdiSubWindow* sub : frame.taskArea()->subWindowList())
        if (auto* w = qobject_cast<W*>(sub->widget())) return w;
    return nullptr;
}

QAction* Entry(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

} // namespace

// Nothing is lost by a click: the ways of closing a team editor or the program with unsaved edits, and a
// damaged clipboard file, each with both answers; the game files compared whole.
class NothingLostTest : public QObject {
    Q_OBJECT
private slots:
    void closingATeamEditorOrTheProgramAsksWhenEditsWouldBeLost_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("edits"); // "none", or the answer to the question
        for (const char* how : {"editor close box", "File > Exit", "Ctrl+Q", "frame close box"})
            for (const char* edits : {"none", "No", "Yes"})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(how, edits))) << how << edits;
    }
    void closingATeamEditorOrTheProgramAsksWhenEditsWouldBeLost() {
        QFETCH(QString, how);
        QFETCH(QString, edits);
        test::Seams seams;
        QTemporaryDir dir;
        QVERIFY(WriteSampleData(dir.path().toStdString(), {}).ok());
        WriteIniText(VentanasPath(), kConfigSection, kDirectorioKivo, dir.path().toStdString());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("TEAM.008"));
        const QByteArray before = test::ReadFile(path);

        Principal frame;
        frame.Start(false);
        frame.resize(1200, 900);
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.toolBar()->actions().at(0)->trigger(); // "Open a Team File for Editing"
        auto* catalogue = InFrame<EquiposExistentes>(frame);
        QVERIFY(catalogue);
        QTest::mouseClick(catalogue->fileButton(8), Qt::LeftButton);
        auto* browser = InFrame<VerEquipos>(frame);
        QVERIFY(browser);
        browser->list()->setFocus();
        QTest::keyClick(browser->list(), Qt::Key_Return);
        QPointer<ActualizarEquipo> editor = InFrame<ActualizarEquipo>(frame);
        QVERIFY(editor);
        if (edits != QLatin1String("none")) {
            editor->teamNameField()->setFocus();
            QTest::keyClick(editor->teamNameField(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(editor->teamNameField(), Qt::Key_Delete);
            QTest::keyClicks(editor->teamNameField(), QStringLiteral("ZZ TOWN"));
            QVERIFY(editor->undoStack()->canUndo());
            seams.answers = {edits == QLatin1String("Yes") ? MessageButton::Yes : MessageButton::No};
        }

        const bool programEnd = how != QLatin1String("editor close box");
        if (how == QLatin1String("editor close box"))
            qobject_cast<QMdiSubWindow*>(TaskFrameOf(editor))->close();
        else if (how == QLatin1String("File > Exit"))
            Entry(test::MenuOf(frame, QStringLiteral("&File")), QStringLiteral("&Exit"))->trigger();
        else if (how == QLatin1String("Ctrl+Q"))
            QTest::keyClick(editor->teamNameField(), Qt::Key_Q, Qt::ControlModifier);
        else
            frame.close();
        QApplication::processEvents();

        if (edits == QLatin1String("none")) {
            QVERIFY(seams.messages.empty()); // an unchanged editor closes silently
        } else {
            QCOMPARE(seams.Shown(), QStringList{"ATENTION: Are you sure you want to cancel ?"});
            QCOMPARE(seams.messages[0].buttons, MessageButton::Yes | MessageButton::No);
        }
        const bool stays = edits == QLatin1String("No");
        QTRY_COMPARE(editor.isNull(), !stays);
        // No keeps the editor, its task windows and the program as they were.
        QCOMPARE(frame.isVisible(), stays || !programEnd);
        QCOMPARE(InFrame<VerEquipos>(frame) != nullptr, stays || !programEnd);
        QCOMPARE(InFrame<EquiposExistentes>(frame) != nullptr, stays || !programEnd);
        if (stays) {
            QCOMPARE(editor->teamNameField()->text(), QStringLiteral("ZZ TOWN"));
            QVERIFY(!browser->isEnabled()); // still waiting for its editor
        }
        QCOMPARE(test::ReadFile(path), before);
        QVERIFY(seams.stops.empty());
        if (stays) {
            // The edits can still be thrown away on purpose.
            seams.answers = {MessageButton::Yes};
            QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
            QTRY_VERIFY(editor.isNull());
            QCOMPARE(test::ReadFile(path), before);
        }
    }

    // A damaged clipboard file no longer ends the program at every use: it can be set aside.
    void aDamagedClipboardCanBeSetAside_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No ends the program, the file left as it is") << false;
        QTest::newRow("Yes sets it aside and opens an empty clipboard") << true;
    }
    void aDamagedClipboardCanBeSetAside() {
        QFETCH(bool, yes);
        test::Seams seams;
        const QString path = seams.StartFile(QStringLiteral("portapap.tps"));
        const QByteArray damaged(4096, 'x');
        QVERIFY(test::WriteFile(path, damaged));
        Principal frame;
        frame.Start(false);
        QCOMPARE(QString::fromStdString(Globals().ClipboardFilePath), path);
        seams.answers = {yes ? MessageButton::Yes : MessageButton::No};
        Entry(test::MenuOf(frame, QStringLiteral("&Window")), QStringLiteral("&Players Clipboard"))
            ->trigger();
        QApplication::processEvents();
        QVERIFY(!seams.messages.empty());
        const MessageSpec& offer = seams.messages[0];
        QCOMPARE(offer.title, QStringLiteral("Damaged File"));
        QCOMPARE(offer.buttons, MessageButton::Yes | MessageButton::No);
        QVERIFY2(offer.text.startsWith(path + QStringLiteral(" is damaged (file is not a database (26)).")) &&
                     offer.text.contains(path + QStringLiteral(".damaged")) &&
                     offer.text.contains(QStringLiteral("an empty players clipboard")),
                 qPrintable(offer.text));
        if (yes) {
            QCOMPARE(seams.messages.size(), std::size_t(1));
            QVERIFY(seams.stops.empty());
            QCOMPARE(test::ReadFile(path + QStringLiteral(".damaged")), damaged);
            QPointer<QWidget> window = Globals().ClipboardThread;
            QVERIFY(window);
            QCOMPARE(qobject_cast<VerPortapapeles*>(window.data())->list()->count(), 0);
            // The new file is a clipboard that takes players.
            auto store = ClipboardStore::Open(path.toStdString(), false);
            QVERIFY(store.ok());
            QVERIFY(store->List().ok());
            window->close();
        } else {
            QCOMPARE(seams.messages.size(), std::size_t(2));
            QCOMPARE(seams.messages[1].title, QStringLiteral("Invalid File"));
            QVERIFY2(seams.messages[1].text.startsWith(
                         QStringLiteral("Error: (file is not a database (26)) "
                                        "accessing ") +
                         path + QStringLiteral(".  Press OK to end this application.")) &&
                         seams.messages[1].text.contains(QStringLiteral("move it out of the way")),
                     qPrintable(seams.messages[1].text));
            QCOMPARE(seams.stops, std::vector<QString>{"Invalid File!"});
            QCOMPARE(test::ReadFile(path), damaged);
            QVERIFY(!QFile::exists(path + QStringLiteral(".damaged")));
        }
    }
};

QTEST_MAIN(NothingLostTest)
#include "tst_NothingLost.moc"
