#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include <SQLiteCpp/Database.h>

#include "core/clipboard/ClipboardStore.h"
#include "core/players/PlayerRow.h"
#include "core/settings/IniFile.h"
#include "editor/clipboard/ClipboardList.h"
#include "editor/clipboard/PlayerDrag.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/ui/WindowPlacement.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

PlayerTransferRecord Player(const std::string& name, std::uint8_t face = 7,
                            const std::string& price = "1.1M") {
    PlayerTransferRecord r;
    r.nacionalidad = "ARG";
    r.nroCamiseta = 9;
    r.nombreJugador = name;
    r.aspecto = face;
    r.puesto = "M";
    r.skills = {12, 10, 8, 9, 11, 13, 7};
    r.valorPase = price;
    return Normalised(r);
}

// The clipboard file of the start directory, filled with these names; their ids in the same order.
std::vector<std::int64_t> Fill(test::Seams& seams, const QStringList& names) {
    Globals().ClipboardFilePath = seams.StartFile("portapap.tps").toStdString();
    auto store = ClipboardStore::Open(Globals().ClipboardFilePath, true);
    std::vector<std::int64_t> ids;
    for (const QString& n : names)
        ids.push_back(*store->Append(Player(n.toLatin1().toStdString())));
    return ids;
}

QStringList Listed(const VerPortapapeles& w) {
    QStringList names;
    for (int i = 0; i < w.list()->count(); ++i)
        names << w.list()->item(i)->text();
    return names;
}

QByteArray FileBytes() {
    return test::ReadFile(QString::fromStdString(Globals().ClipboardFilePath));
}

} // namespace

// The players clipboard window: one at a time, its list by name, the typing rule, the drag, the delete.
class ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void oneWindowListedByNameAndPlaced() {
        test::Seams seams;
        Fill(seams, {"zeta", "Alpha", "beta", "   ", "alpha"});
        QMainWindow frame;
        frame.setGeometry(40, 40, 200, 150);
        frame.show();
        QPointer<QWidget> first = StartVerPortapapeles(&frame);
        auto* window = qobject_cast<VerPortapapeles*>(first.data());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Players Clipboard"));
        QVERIFY(window->windowFlags() & Qt::Tool);
        QCOMPARE(window->parentWidget(), &frame);
        QCOMPARE(Globals().ClipboardThread.data(), first.data());
        QCOMPARE(StartVerPortapapeles(&frame), first.data()); // a second start gives the open window
        QCOMPARE(frame.findChildren<VerPortapapeles*>().size(), 1);
        // In name order, letter case ignored; a blank name is not listed.
        QCOMPARE(Listed(*window), (QStringList{"Alpha", "alpha", "beta", "zeta"}));
        QCOMPARE(window->list()->currentRow(), 0);
        QCOMPARE(window->detail()->text(), QStringLiteral("Nat. ARG  Pos. M  PA 12 SH 10 HE 8 TA 9 BC 11 "
                                                          "SP 13 FI 7  Price 1.1M"));
        // First use: beside the frame, not over it.
        QCOMPARE(window->x(), frame.frameGeometry().right() + 8);
        QCOMPARE(Globals().ClipboardFileUseCount, 1);
        window->move(233, 122); // within the test screen's room (800 x 600)
        const QRect left = window->geometry();
        window->close();
        QVERIFY(!Globals().ClipboardThread);
        QCOMPARE(Globals().ClipboardFileUseCount, 0);
        QTRY_VERIFY(!first);
        QCOMPARE(QString::fromStdString(ReadIniText(seams.PlacementIni(), "VerPortapapeles", "XPosit", "")),
                 QString::number(left.x()));
        // Opened again: where it was left.
        auto* again = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(again);
        QCOMPARE(again->geometry(), left);
        QPointer<VerPortapapeles> closing = again;
        for (QPushButton* b : again->findChildren<QPushButton*>())
            if (b->text() == "Close") QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(!Globals().ClipboardThread); // its Close button closes it like the close box
        QTRY_VERIFY(!closing);
        QVERIFY(seams.messages.empty());
    }

    void fileThatCannotBeUsed() {
        test::Seams seams;
        Globals().ClipboardFilePath = seams.StartFile("portapap.tps").toStdString();
        QVERIFY(test::WriteFile(seams.StartFile("portapap.tps"), QByteArray(4096, 'x'))); // not a clipboard
        QWidget frame;
        seams.answers = {MessageButton::No}; // not set aside
        QVERIFY(!StartVerPortapapeles(&frame));
        QVERIFY(!Globals().ClipboardThread);
        QCOMPARE(seams.stops, std::vector<QString>{QStringLiteral("Invalid File!")});
        QCOMPARE(seams.messages.at(0).title, QStringLiteral("Damaged File"));
        QCOMPARE(seams.messages.at(1).title, QStringLiteral("Invalid File"));
        QCOMPARE(Globals().ClipboardFileUseCount, 0);
        QVERIFY(frame.findChildren<VerPortapapeles*>().isEmpty());
        QCOMPARE(test::ReadFile(seams.StartFile("portapap.tps")), QByteArray(4096, 'x')); // left as it was
    }

    void listThatCannotBeReadClosesTheWindow() {
        test::Seams seams;
        Fill(seams, {"Uno"});
        QWidget frame;
        QPointer<VerPortapapeles> window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        {
            SQLite::Database db(Globals().ClipboardFilePath, SQLite::OPEN_READWRITE);
            db.exec("CREATE TABLE other (x INTEGER)");
            db.exec("DROP TABLE portapapeles"); // the file is no longer a clipboard
        }
        window->Refresh();
        QCOMPARE(seams.messages.size(), std::size_t(1));
        QCOMPARE(seams.messages[0].title, QStringLiteral("Record Retrieval Error"));
        // The error text is the storage layer's words and number only: "description (number)".
        static const QRegularExpression form(
            QStringLiteral("^Error: \\([^()\\n]+ \\(\\d+\\)\\) attempting "));
        QVERIFY2(form.match(seams.messages[0].text).hasMatch() &&
                     !seams.messages[0].text.contains(QStringLiteral("portapap.tps")),
                 qPrintable(seams.messages[0].text));
        QVERIFY2(seams.messages[0].text.endsWith(
                     QStringLiteral(") attempting to access a record from the "
                                    "PortapapelesJugadores file.  Returning to previous "
                                    "window.")),
                 qPrintable(seams.messages[0].text));
        QTRY_VERIFY(!window); // back to the previous window
        QVERIFY(!Globals().ClipboardThread);
        QCOMPARE(Globals().ClipboardFileUseCount, 0);
    }

    void everyControlIsNamed() {
        test::Seams seams;
        Fill(seams, {"Uno"});
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        QStringList names;
        for (QWidget* w : window->findChildren<QWidget*>())
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                qobject_cast<QAbstractItemView*>(w)) {
                QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
                names << w->accessibleName();
            }
        QCOMPARE(names,
                 (QStringList{"Players in Clipboard", "Highlighted Player", "Delete", "Close", "Help"}));
        window->close();
    }

    void longListLoadedPageByPage() {
        test::Seams seams;
        QStringList names;
        for (int i = 0; i < 250; ++i)
            names << QStringLiteral("P%1").arg(i, 3, 10, QLatin1Char('0'));
        names << "p099"; // the same name in another letter case sits beside its twin, across a page's end
        Fill(seams, names);
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        QStringList expected = names.mid(0, 250);
        expected.insert(100, "p099");
        QCOMPARE(Listed(*window), expected);
        window->close();
    }

    void refreshNoticeShowsNewCopies() {
        test::Seams seams;
        Fill(seams, {"Moreno", "Diaz"});
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        window->list()->setCurrentRow(1); // Moreno stays highlighted across the reload
        // What the player browser does when it copies: a row of the database, face 0, then the notice.
        PlayerRow row;
        const std::string name = "Castro";
        std::copy(name.begin(), name.end(), row.nombreJugador.begin());
        row.skills = {1, 2, 3, 4, 5, 6, 7};
        const std::int64_t id =
            *ClipboardStore::Open(Globals().ClipboardFilePath)->Append(TransferFromDatabaseRow(row));
        QCOMPARE(Listed(*window), (QStringList{"Diaz", "Moreno"}));
        PostClipboardRefresh();
        QTRY_COMPARE(Listed(*window), (QStringList{"Castro", "Diaz", "Moreno"}));
        QCOMPARE(window->list()->currentItem()->text(), QStringLiteral("Moreno"));
        // A drag of the copied player pastes it with face 0.
        window->list()->setCurrentRow(0);
        std::unique_ptr<QMimeData> drag(window->DragDataOfHighlighted());
        QVERIFY(CarriesPlayer(drag.get()));
        const auto pasted = AcceptPlayerDrop(drag.get());
        QVERIFY(pasted);
        QCOMPARE(pasted->aspecto, std::uint8_t(0));
        QCOMPARE(QByteArray::fromStdString(pasted->nombreJugador).trimmed(), QByteArray("Castro"));
        QCOMPARE(drag->data(QString::fromLatin1(kPlayerDragFormat)), QByteArray::number(qlonglong(id)));
        window->close();
    }

    void dragReReadsTheEntryWhenDropped() {
        test::Seams seams;
        const auto ids = Fill(seams, {"Gomez", "Lopez"});
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        window->list()->setCurrentRow(1);
        std::unique_ptr<QMimeData> drag(window->DragDataOfHighlighted());
        // The entry changes in the file after the drag started: the drop takes the entry as it is now.
        {
            SQLite::Database db(Globals().ClipboardFilePath, SQLite::OPEN_READWRITE);
            db.exec("UPDATE portapapeles SET valor_pase = '15M+ ' WHERE id = " + std::to_string(ids[1]));
        }
        const QByteArray before = FileBytes();
        const auto pasted = AcceptPlayerDrop(drag.get());
        QVERIFY(pasted);
        QCOMPARE(*pasted, Globals().TransferRecord);
        QCOMPARE(Globals().TransferRecord.valorPase, std::string("15M+ "));
        QCOMPARE(Globals().TransferRecord.nombreJugador, Player("Lopez").nombreJugador);
        QCOMPARE(FileBytes(), before); // the entry stays in the clipboard
        QCOMPARE(Listed(*window), (QStringList{"Gomez", "Lopez"}));
        // Deleted meanwhile: the drop pastes nothing and the transfer record is left as it was.
        ClipboardStore::Open(Globals().ClipboardFilePath)->Delete(ids[1]);
        QVERIFY(!AcceptPlayerDrop(drag.get()));
        QCOMPARE(Globals().TransferRecord.valorPase, std::string("15M+ "));
        window->close();
    }

    void typingMovesTheHighlight_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        const QStringList names{"Abel", "alvaro", "Bruno", "Carlos", "cesar", "Ciro", "Mario"};
        QTest::newRow("other letter: first name at it") << names << 0 << "c" << 3;
        QTest::newRow("letter case ignored") << names << 0 << "C" << 3;
        QTest::newRow("same letter: next name with it") << names << 3 << "c" << 4;
        QTest::newRow("same letter again") << names << 4 << "C" << 5;
        QTest::newRow("last with the letter: back to the first") << names << 5 << "c" << 3;
        QTest::newRow("no name with the letter: the next one after it") << names << 0 << "d" << 6;
        QTest::newRow("after every name: the last") << names << 2 << "z" << 6;
        QTest::newRow("single name with the letter stays") << names << 2 << "b" << 2;
        QTest::newRow("a digit comes before every letter") << names << 6 << "1" << 0;
        // Latin-1 letters fold as the file's order folds them: é is É, which comes after Z; e is not É.
        const QStringList accented{"Abel", "Zoe", "\u00C9lan", "\u00E9lise", "\u00D6mer"};
        QTest::newRow("accented small letter finds its capital") << accented << 0 << "\u00E9" << 2;
        QTest::newRow("accented capital steps to the next") << accented << 2 << "\u00C9" << 3;
        QTest::newRow("accented: last with it, back to first") << accented << 3 << "\u00E9" << 2;
        QTest::newRow("o umlaut") << accented << 0 << "\u00F6" << 4;
        QTest::newRow("plain e is not E acute") << accented << 0 << "e" << 1;
        QTest::newRow("y diaeresis has no capital: after all") << accented << 0 << "\u00FF" << 4;
    }
    void typingMovesTheHighlight() {
        QFETCH(QStringList, names);
        QFETCH(int, current);
        QFETCH(QString, typed);
        QFETCH(int, expected);
        test::Seams seams;
        Fill(seams, names);
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        QCOMPARE(Listed(*window), names);
        window->list()->setCurrentRow(current);
        // Each character as a key press carrying it, as a keyboard with that character sends it.
        for (QChar c : typed)
            QTest::sendKeyEvent(QTest::Click, window->list(),
                                c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown,
                                QString(c), Qt::NoModifier);
        QCOMPARE(window->list()->currentRow(), expected);
        window->close();
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer"); // MessageButton
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("highlighted");
        const QStringList all{"Ayala", "Bravo", "Cruz"};
        QTest::newRow("Cancel changes nothing") << 1 << int(MessageButton::Cancel) << all << "Bravo";
        QTest::newRow("OK deletes, the next is highlighted")
            << 1 << int(MessageButton::Ok) << QStringList{"Ayala", "Cruz"} << "Cruz";
        QTest::newRow("the last row deleted: the one before it")
            << 2 << int(MessageButton::Ok) << QStringList{"Ayala", "Bravo"} << "Bravo";
    }
    void deleteAsksFirst() {
        QFETCH(int, row);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        QFETCH(QString, highlighted);
        test::Seams seams;
        Fill(seams, {"Cruz", "Ayala", "Bravo"});
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        window->list()->setCurrentRow(row);
        const QByteArray before = FileBytes();
        seams.answers = {MessageButton(answer)};
        QTest::mouseClick(window->deleteButton(), Qt::LeftButton);
        QCOMPARE(seams.Shown(),
                 QStringList{"Confirm Delete: You've selected to delete the highlighted record.  "
                             "Press OK to confirm deletion of this record."});
        QCOMPARE(seams.messages[0].defaultButton, MessageButton::Cancel);
        QCOMPARE(Listed(*window), left);
        QCOMPARE(window->list()->currentItem()->text(), highlighted);
        if (MessageButton(answer) == MessageButton::Cancel) QCOMPARE(FileBytes(), before);
        QCOMPARE(int(ClipboardStore::Open(Globals().ClipboardFilePath)->List()->size()), left.size());
        window->close();
    }

    void deletingTheLastEntryLeavesTheFile() {
        test::Seams seams;
        Fill(seams, {"Solo"});
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        seams.answers = {MessageButton::Ok};
        window->DeleteHighlighted();
        QCOMPARE(window->list()->count(), 0);
        QVERIFY(window->detail()->text().isEmpty());
        QVERIFY(!window->deleteButton()->isEnabled());
        QVERIFY(QFile::exists(QString::fromStdString(Globals().ClipboardFilePath)));
        window->close();
    }

    void lockedFileWarnsAndRetries_data() {
        QTest::addColumn<int>("retry"); // the answer to "Record Update Error"
        QTest::addColumn<QStringList>("left");
        QTest::newRow("Yes after the lock is gone: deleted")
            << int(MessageButton::Yes) << QStringList{"Keep"};
        QTest::newRow("No: the entry stays") << int(MessageButton::No) << QStringList{"Gone", "Keep"};
        QTest::newRow("Cancel: the entry stays") << int(MessageButton::Cancel) << QStringList{"Gone", "Keep"};
    }
    void lockedFileWarnsAndRetries() {
        QFETCH(int, retry);
        QFETCH(QStringList, left);
        test::Seams seams;
        Fill(seams, {"Gone", "Keep"});
        QWidget frame;
        auto* window = qobject_cast<VerPortapapeles*>(StartVerPortapapeles(&frame));
        QVERIFY(window);
        // Another connection holds the file's write lock for longer than the delete's 2-second wait.
        auto other = std::make_unique<SQLite::Database>(Globals().ClipboardFilePath, SQLite::OPEN_READWRITE);
        other->exec("BEGIN IMMEDIATE");
        Globals().MessageAnswerer = [&](const MessageSpec& m) {
            seams.messages.push_back(m);
            if (m.title == "Confirm Delete") return MessageButton::Ok;
            if (m.title != "Record Update Error") return MessageButton::Ok;
            other.reset(); // the other connection lets go before the second try
            return MessageButton(retry);
        };
        QElapsedTimer waited;
        waited.start();
        window->DeleteHighlighted();
        QVERIFY(waited.elapsed() >= 1900);
        QVERIFY(seams.messages.size() >= 3);
        QCOMPARE(seams.messages[1].title, QStringLiteral("Transaction Framing Error"));
        QVERIFY2(
            seams.messages[1].text.endsWith(QStringLiteral(") attempting to frame the delete transaction on "
                                                           "PortapapelesJugadores.  Delete transaction "
                                                           "cancelled.")),
            qPrintable(seams.messages[1].text));
        QCOMPARE(seams.messages[2].title, QStringLiteral("Record Update Error"));
        QCOMPARE(seams.messages[2].text,
                 QStringLiteral("An error was experienced deleting this record.  Do you "
                                "want to try to save again?"));
        QCOMPARE(seams.messages[2].buttons, MessageButton::Yes | MessageButton::No | MessageButton::Cancel);
        QCOMPARE(seams.messages[2].defaultButton, MessageButton::Cancel);
        QCOMPARE(seams.messages.size(), std::size_t(3)); // the second try needs no message
        QCOMPARE(Listed(*window), left);
        window->close();
    }
};

QTEST_MAIN(ClipboardTest)
#include "tst_Clipboard.moc"
