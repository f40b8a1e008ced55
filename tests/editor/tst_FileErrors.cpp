#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <SQLiteCpp/Database.h>

#include "core/players/KeyedFileOpen.h"
#include "core/players/PlayerDatabase.h"
#include "editor/app/CheckOpen.h"
#include "editor/ui/StockMessages.h"
#include "editor/ui/StopProgram.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

using Opens = std::vector<OpenAttempt>;
Q_DECLARE_METATYPE(Opens)
Q_DECLARE_METATYPE(kivo::editor::StockMessage)
Q_DECLARE_METATYPE(kivo::editor::MessageButton)
Q_DECLARE_METATYPE(kivo::editor::MessageButtons)

namespace {
const QString kEndApp = QStringLiteral(".  Press OK to end this application.");
} // namespace

// Opening the data files (CheckOpen and the use counts) and the messages the editor shows about files.
class FileErrorsTest : public QObject {
    Q_OBJECT
private slots:
    void checkOpen_data() {
        QTest::addColumn<Opens>("opens");          // what the open step answers, in turn
        QTest::addColumn<QString>("rebuildError"); // empty: the keys are rebuilt
        QTest::addColumn<bool>("yes");             // the answer to the rebuild question
        QTest::addColumn<int>("openCalls");
        QTest::addColumn<int>("rebuildCalls");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("stop"); // empty: the file can be used
        const auto fail = [](OpenFailure f, const char* reason) { return OpenAttempt{f, reason}; };
        const OpenAttempt ok{}, keys = fail(OpenFailure::KeysInvalid, "x (11)");
        const OpenAttempt locked = fail(OpenFailure::Locked, "database is locked (5)");
        const QString name = QStringLiteral("/data/JUGADORES");
        const QString ask = "Invalid Key: " + name + " key file is invalid.  Do you want to rebuild the key?";
        const auto access = [&](const QString& reason) {
            return "File Access Error: File (" + name + ") could not be opened.  Error: " + reason + ".";
        };
        QTest::newRow("usable") << Opens{ok} << "" << true << 1 << 0 << QStringList{} << "";
        QTest::newRow("missing") << Opens{fail(OpenFailure::NotFound, "No such file or directory (2)   ")}
                                 << "" << true << 1 << 0
                                 << QStringList{"File Creation Error: Error: (No such file or directory (2)) "
                                                "creating " +
                                                name + kEndApp}
                                 << "File Creation Error!";
        QTest::newRow("created, not opened")
            << Opens{fail(OpenFailure::OpenCreatedFailed, "disk I/O error (10)")} << "" << true << 1 << 0
            << QStringList{"File Creation Error: Error: (disk I/O error (10)) opening created file:" + name +
                           kEndApp}
            << "File Creation Error!";
        QTest::newRow("not a database")
            << Opens{fail(OpenFailure::InvalidFile, "file is not a database (26)")} << "" << true << 1 << 0
            << QStringList{"Invalid File: Error: (file is not a database (26)) accessing " + name + kEndApp}
            << "Invalid File!";
        QTest::newRow("keys invalid, No")
            << Opens{keys} << "" << false << 1 << 0 << QStringList{ask} << "Invalid Key!";
        QTest::newRow("keys invalid, rebuild fails")
            << Opens{keys} << "database disk image is malformed (11)" << true << 1 << 1
            << QStringList{ask, "Key Rebuild Error: Error: (database disk image is malformed (11)) repairing "
                                "key for " +
                                    name + kEndApp}
            << "Error Rebuilding Key!";
        QTest::newRow("keys rebuilt") << Opens{keys, ok} << "" << true << 2 << 1 << QStringList{ask} << "";
        QTest::newRow("keys rebuilt, open fails")
            << Opens{keys, fail(OpenFailure::Other, "disk full (13)")} << "" << true << 2 << 1
            << QStringList{ask, access("disk full (13)")} << "Disk Error";
        QTest::newRow("locked, then free")
            << Opens{locked, ok} << "" << true << 2 << 0 << QStringList{} << "";
        QTest::newRow("locked twice") << Opens{locked, locked} << "" << true << 2 << 0
                                      << QStringList{access("database is locked (5)")} << "Disk Error";
        QTest::newRow("other error") << Opens{fail(OpenFailure::Other, "unable to open database file (14)")}
                                     << "" << true << 1 << 0
                                     << QStringList{access("unable to open database file (14)")}
                                     << "Disk Error";
    }
    void checkOpen() {
        QFETCH(Opens, opens);
        QFETCH(QString, rebuildError);
        QFETCH(bool, yes);
        QFETCH(int, openCalls);
        QFETCH(int, rebuildCalls);
        QFETCH(QStringList, shown);
        QFETCH(QString, stop);
        test::Seams seams;
        seams.answers = {yes ? MessageButton::Yes : MessageButton::No};
        int opened = 0, rebuilt = 0;
        QStringList asked; // the path and creation flag every step was given
        OpenSteps steps{[&](const std::string& path, bool create) {
                            asked << QString::fromStdString(path) + (create ? "+" : "-");
                            return opens.at(std::min<std::size_t>(opened++, opens.size() - 1));
                        },
                        [&](const std::string& path) {
                            asked << QString::fromStdString(path) + "#";
                            ++rebuilt;
                            return OpenAttempt{rebuildError.isEmpty() ? OpenFailure::None
                                                                      : OpenFailure::Other,
                                               rebuildError.toStdString()};
                        }};
        // The trailing blanks of the path are kept for the steps and left out of the messages.
        QCOMPARE(CheckOpen("/data/JUGADORES  ", true, steps), stop.isEmpty());
        QCOMPARE(opened, openCalls);
        QCOMPARE(rebuilt, rebuildCalls);
        QCOMPARE(asked.size(), openCalls + rebuildCalls);
        QCOMPARE(asked.first(), QStringLiteral("/data/JUGADORES  +"));
        QCOMPARE(seams.Shown(), shown);
        for (const MessageSpec& m : seams.messages) {
            const bool question = m.title == QLatin1String("Invalid Key");
            QCOMPARE(m.icon, question ? MessageIcon::Exclamation : MessageIcon::Information);
            QCOMPARE(m.buttons, question ? MessageButton::Yes | MessageButton::No : MessageButton::Ok);
            QCOMPARE(m.defaultButton, question ? MessageButton::Yes : MessageButton::Ok);
        }
        QCOMPARE(seams.stops, stop.isEmpty() ? std::vector<QString>{} : std::vector<QString>{stop});
    }

    void realFiles_data() {
        QTest::addColumn<QString>("file");       // in the start directory
        QTest::addColumn<QByteArray>("content"); // null: missing; "<dir>": a directory
        QTest::addColumn<QString>("shown");      // PATH stands for the file's path; empty: the file is usable
        QTest::addColumn<QString>("stop");
        const QString invalid = "Invalid File: Error: (file is not a database (26)) accessing PATH" + kEndApp;
        QTest::newRow("team file") << "team.008" << QByteArray(2 + 684, '\0') << ""
                                   << "";
        QTest::newRow("team file missing, not created")
            << "team.008" << QByteArray()
            << "File Creation Error: Error: (No such file or directory (2)) creating PATH" + kEndApp
            << "File Creation Error!";
        QTest::newRow("team file is a directory")
            << "team.008" << QByteArray("<dir>")
            << "Invalid File: Error: (it is a directory, not a team file (0)) accessing PATH" + kEndApp
            << "Invalid File!";
        QTest::newRow("database missing, created") << "JUGADORES" << QByteArray() << ""
                                                   << "";
        QTest::newRow("database not a database")
            << "JUGADORES" << QByteArray(4096, 'x') << invalid << "Invalid File!";
        QTest::newRow("clipboard missing, created") << "portapap.tps" << QByteArray() << ""
                                                    << "";
        QTest::newRow("clipboard empty, gets its table") << "portapap.tps" << QByteArray("") << ""
                                                         << "";
        QTest::newRow("clipboard not a database")
            << "portapap.tps" << QByteArray(4096, 'x') << invalid << "Invalid File!";
    }
    void realFiles() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, shown);
        QFETCH(QString, stop);
        test::Seams seams;
        const QString path = seams.StartFile(file);
        if (content == "<dir>")
            QVERIFY(QDir().mkpath(path));
        else if (!content.isNull())
            QVERIFY(test::WriteFile(path, content));
        Globals().TeamFilePath = Globals().ClipboardFilePath = path.toStdString();
        const bool usable = file == "team.008"    ? UseTeamFile()
                            : file == "JUGADORES" ? UsePlayerDatabase()
                                                  : UseClipboardFile();
        QCOMPARE(usable, shown.isEmpty());
        QCOMPARE(seams.Shown(), shown.isEmpty() ? QStringList{} : QStringList{shown.replace("PATH", path)});
        QCOMPARE(seams.stops, stop.isEmpty() ? std::vector<QString>{} : std::vector<QString>{stop});
        const EditorState& g = Globals();
        QCOMPARE(g.TeamFileUseCount + g.PlayerFileUseCount + g.ClipboardFileUseCount, usable ? 1 : 0);
        QCOMPARE(QFileInfo::exists(path), file != "team.008" || !content.isNull());
        // A file that is not ours is left as it was.
        if (!usable && content != "<dir>") QCOMPARE(test::ReadFile(path), content);
    }

    void lockedDatabase() {
        test::Seams seams;
        const std::string path = seams.StartFile("JUGADORES").toStdString();
        QVERIFY(OpenPlayerDatabaseFile(path, true).ok());
        // Another process holds the file: an exclusive lock kept by a second connection.
        SQLite::Database other(path, SQLite::OPEN_READWRITE);
        other.exec("PRAGMA locking_mode=EXCLUSIVE");
        other.exec("BEGIN EXCLUSIVE");
        other.exec("CREATE TABLE held(x)");
        int opens = 0;
        OpenSteps steps{[&](const std::string& p, bool create) {
                            ++opens;
                            return OpenKeyedFile(PlayerDatabaseSchema(), p, create, 50); // a short wait
                        },
                        {}};
        QVERIFY(!UsePlayerDatabase(steps));
        QCOMPARE(opens, 2); // tried once more before giving up
        QCOMPARE(seams.messages.size(), std::size_t(1));
        const QString text = seams.messages[0].text;
        QCOMPARE(seams.messages[0].title, QStringLiteral("File Access Error"));
        QVERIFY2(
            text.startsWith("File (" + QString::fromStdString(path) + ") could not be opened.  Error: ") &&
                text.endsWith("(5)."),
            qPrintable(text));
        QCOMPARE(seams.stops, std::vector<QString>{"Disk Error"});
        QCOMPARE(Globals().PlayerFileUseCount, 0);
    }

    void useCounts() {
        test::Seams seams;
        QStringList opened;
        OpenFailure failure = OpenFailure::Other;
        OpenSteps steps{[&](const std::string& path, bool create) {
                            opened << QString::fromStdString(path) + (create ? " (create)" : "");
                            return OpenAttempt{failure, "busy (5)"};
                        },
                        {}};
        QVERIFY(!UsePlayerDatabase(steps)); // the first user's open fails: no user
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        failure = OpenFailure::None;
        QVERIFY(UsePlayerDatabase(steps));
        QVERIFY(UsePlayerDatabase(steps)); // already open: shared as it is, not opened again
        QCOMPARE(Globals().PlayerFileUseCount, 2);
        for (int i = 0; i < 3; ++i)
            ReleasePlayerDatabase(); // one too many must not go below zero
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        QVERIFY(UsePlayerDatabase(steps)); // the last user gone, the next one opens it again
        Globals().ClipboardFilePath = "/tmp/portapap.tps";
        Globals().TeamFilePath = "/tmp/team.008";
        QVERIFY(UseClipboardFile(steps));
        QVERIFY(UseTeamFile(steps));
        QCOMPARE(Globals().ClipboardFileUseCount + Globals().TeamFileUseCount, 2);
        ReleaseClipboardFile();
        ReleaseTeamFile();
        QCOMPARE(Globals().ClipboardFileUseCount + Globals().TeamFileUseCount, 0);
        const QString db = seams.StartFile("JUGADORES") + " (create)";
        QCOMPARE(opened, (QStringList{db, db, db, "/tmp/portapap.tps (create)", "/tmp/team.008"}));
    }

    void stockMessages_data() {
        QTest::addColumn<StockMessage>("which");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<MessageButton>("defaultButton");
        const MessageButtons ok = MessageButton::Ok;
        QTest::newRow("record retrieval") << StockMessage::RecordRetrieval
                                          << "Record Retrieval Error: Error: (File Not Found (2)) attempting "
                                             "to access a record from the Jugadores file.  Returning to "
                                             "previous window."
                                          << ok << MessageButton::Ok;
        QTest::newRow("view open") << StockMessage::ViewOpen
                                   << "View Open Error: Error: (File Not Found (2)) attempting to open the "
                                      "current VIEW. Filter and Range Limits ignored."
                                   << ok << MessageButton::Ok;
        QTest::newRow("transaction framing")
            << StockMessage::TransactionFraming
            << "Transaction Framing Error: Error: (File Not Found (2)) attempting to frame the delete "
               "transaction on Jugadores.  Delete transaction cancelled."
            << ok << MessageButton::Ok;
        QTest::newRow("delete operation")
            << StockMessage::DeleteOperation
            << "Delete Operation Error: An error (File Not Found (2)) was experienced when attempting to "
               "delete a record from the file Jugadores."
            << ok << MessageButton::Ok;
        QTest::newRow("confirm delete")
            << StockMessage::ConfirmDelete
            << "Confirm Delete: You've selected to delete the highlighted "
               "record.  Press OK to confirm deletion of this record."
            << (MessageButton::Ok | MessageButton::Cancel) << MessageButton::Cancel;
        QTest::newRow("delete retry")
            << StockMessage::DeleteRetry
            << "Record Update Error: An error was experienced deleting this "
               "record.  Do you want to try to save again?"
            << (MessageButton::Yes | MessageButton::No | MessageButton::Cancel) << MessageButton::Cancel;
    }
    void stockMessages() {
        QFETCH(StockMessage, which);
        QFETCH(QString, shown);
        QFETCH(MessageButtons, buttons);
        QFETCH(MessageButton, defaultButton);
        test::Seams seams;
        // The description and the file label lose their trailing blanks; the operation word is as given.
        const QString error = ComposeErrorText({"File Not Found   ", 2, {}, 0});
        QCOMPARE(RaiseStockMessage(which, error, "Jugadores   ", "Delete"), defaultButton);
        QCOMPARE(seams.Shown(), QStringList{shown});
        const MessageSpec& m = seams.messages[0];
        QCOMPARE(m.icon,
                 which == StockMessage::ConfirmDelete ? MessageIcon::Exclamation : MessageIcon::Information);
        QCOMPARE(m.buttons, buttons);
        QCOMPARE(m.defaultButton, defaultButton);
        // A driver's error (90) is told in the driver's words and number.
        QCOMPARE(ComposeErrorText({"File System Error", 90, "database is locked  ", 5}),
                 "database is locked (5)");
    }

    void realBoxAnswers_data() {
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<MessageButton>("defaultButton");
        QTest::addColumn<int>("key");
        QTest::addColumn<MessageButton>("answer");
        QTest::newRow("Enter takes the default")
            << (MessageButton::Yes | MessageButton::No | MessageButton::Cancel) << MessageButton::Cancel
            << int(Qt::Key_Return) << MessageButton::Cancel;
        QTest::newRow("Escape cancels") << (MessageButton::Ok | MessageButton::Cancel) << MessageButton::Ok
                                        << int(Qt::Key_Escape) << MessageButton::Cancel;
        QTest::newRow("Escape on OK only") << MessageButtons(MessageButton::Ok) << MessageButton::Ok
                                           << int(Qt::Key_Escape) << MessageButton::Ok;
    }
    void realBoxAnswers() {
        QFETCH(MessageButtons, buttons);
        QFETCH(MessageButton, defaultButton);
        QFETCH(int, key);
        QFETCH(MessageButton, answer);
        test::Seams seams;
        Globals().MessageAnswerer = nullptr; // the real box this time
        QString shownText;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shownText = box->text();
                QTest::keyClick(box, Qt::Key(key));
            }
        });
        QCOMPARE(
            ShowMessage({"ATENTION", "Are you sure ?", MessageIcon::Exclamation, buttons, defaultButton}),
            answer);
        QCOMPARE(shownText, QStringLiteral("Are you sure ?"));
    }

    void stopProgram() {
        test::Seams seams;
        StopProgram("Disk Error"); // the tests' stand-in records it
        QCOMPARE(seams.stops, std::vector<QString>{"Disk Error"});
        QVERIFY(!Globals().Stopping);
        // The real routine: shows the stop text, hides every window and stops once.
        Globals().StopRoutine = nullptr;
        QWidget window;
        window.show();
        StopProgram("Invalid File!");
        StopProgram("Disk Error");
        QVERIFY(Globals().Stopping);
        QVERIFY(!window.isVisible());
        QCOMPARE(seams.Shown(), QStringList{"PC KIVO EDITOR 1.40: Invalid File!"});
        QCOMPARE(seams.messages[0].icon, MessageIcon::Error);
    }
};

QTEST_MAIN(FileErrorsTest)
#include "tst_FileErrors.moc"
