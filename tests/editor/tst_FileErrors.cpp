#include <QtTest>

#include <SQLiteCpp/Database.h>

#include "core/players/KeyedFileOpen.h"
#include "core/players/PlayerDatabase.h"
#include "editor/ui/CheckOpen.h"
#include "editor/ui/StockMessages.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

#define END_APP ".  Press OK to end this application."
// What to do, under each message that ends the program.
#define ADVISE_CREATE                                                                                        \
    "\n\nCheck that the folder of this file exists and that you may write in it, then start the editor "     \
    "again."
#define ADVISE_DAMAGED                                                                                       \
    "\n\nThis file is damaged or is not a file of its kind: move it out of the way or put back a good copy " \
    "of it, then start the editor again."
#define ADVISE_ACCESS                                                                                        \
    "\n\nClose any other program that uses this file and check that you may read and write it, then start "  \
    "the editor again."
#define ASK "Invalid Key: /data/JUGADORES key file is invalid.  Do you want to rebuild the key?"
#define ACCESS_ERROR(reason)                                                                                 \
    "File Access Error: File (/data/JUGADORES) could not be opened.  Error: " reason "." ADVISE_ACCESS

struct OpenCase {
    std::vector<OpenAttempt> opens; // what the open step answers, in turn
    const char* rebuildError;       // empty: the keys are rebuilt
    bool yes;                       // the answer to the rebuild question
    int rebuildCalls;
    QStringList shown; // "title: text"
    const char* stop;  // empty: the file can be used
};
struct FileCase {
    const char* file;   // in the start directory
    QByteArray content; // null: missing; "<dir>": a directory
    const char* shown;  // PATH stands for the file's path; empty: the file can be used
    const char* stop;
};
struct StockCase {
    StockMessage which;
    const char* shown;
    MessageButtons buttons;
    MessageButton defaultButton;
};
Q_DECLARE_METATYPE(OpenCase)
Q_DECLARE_METATYPE(FileCase)
Q_DECLARE_METATYPE(StockCase)

// Opening the data files (CheckOpen and the use counts) and the messages the editor shows about files.
class FileErrorsTest : public QObject {
    Q_OBJECT
private slots:
    void checkOpen_data() {
        using enum OpenFailure;
        QTest::addColumn<OpenCase>("c");
        const auto fail = [](OpenFailure f, const char* reason) { return OpenAttempt{f, reason}; };
        const OpenAttempt ok{}, keys = fail(KeysInvalid, "x (11)"),
                                locked = fail(Locked, "database is locked (5)");
        QTest::newRow("usable") << OpenCase{{ok}, "", true, 0, {}, ""};
        QTest::newRow("missing") << OpenCase{
            {fail(NotFound, "No such file or directory (2)   ")},
            "",
            true,
            0,
            {"File Creation Error: Error: (No such file or directory (2)) creating "
             "/data/JUGADORES" END_APP ADVISE_CREATE},
            "File Creation Error!"};
        QTest::newRow("created, not opened")
            << OpenCase{{fail(OpenCreatedFailed, "disk I/O error (10)")},
                        "",
                        true,
                        0,
                        {"File Creation Error: Error: (disk I/O error (10)) "
                         "opening created file:/data/JUGADORES" END_APP ADVISE_CREATE},
                        "File Creation Error!"};
        QTest::newRow("not a database") << OpenCase{
            {fail(InvalidFile, "file is not a database (26)")},
            "",
            true,
            0,
            {"Invalid File: Error: (file is not a database (26)) accessing /data/JUGADORES" END_APP
                 ADVISE_DAMAGED},
            "Invalid File!"};
        QTest::newRow("keys invalid, No") << OpenCase{{keys}, "", false, 0, {ASK}, "Invalid Key!"};
        QTest::newRow("keys invalid, rebuild fails") << OpenCase{
            {keys},
            "database disk image is malformed (11)",
            true,
            1,
            {ASK, "Key Rebuild Error: Error: (database disk image is malformed (11)) repairing key for "
                  "/data/JUGADORES" END_APP ADVISE_DAMAGED},
            "Error Rebuilding Key!"};
        QTest::newRow("keys rebuilt") << OpenCase{{keys, ok}, "", true, 1, {ASK}, ""};
        QTest::newRow("keys rebuilt, open fails")
            << OpenCase{{keys, fail(Other, "disk full (13)")}, "",          true, 1,
                        {ASK, ACCESS_ERROR("disk full (13)")}, "Disk Error"};
        QTest::newRow("locked, then free") << OpenCase{{locked, ok}, "", true, 0, {}, ""};
        QTest::newRow("locked twice") << OpenCase{
            {locked, locked}, "", true, 0, {ACCESS_ERROR("database is locked (5)")}, "Disk Error"};
    }
    void checkOpen() {
        QFETCH(OpenCase, c);
        test::Seams seams;
        seams.answers = {c.yes ? MessageButton::Yes : MessageButton::No};
        std::size_t opened = 0;
        int rebuilt = 0;
        QStringList paths; // as the steps got them, with the creation flag
        OpenSteps steps{
            [&](const std::string& path, bool create) {
                paths << QString::fromStdString(path) + (create ? "+" : "");
                return c.opens.at(std::min(opened++, c.opens.size() - 1));
            },
            [&](const std::string&) {
                ++rebuilt;
                return OpenAttempt{*c.rebuildError ? OpenFailure::Other : OpenFailure::None, c.rebuildError};
            }};
        // The steps get the path as it is; the messages name it without its trailing blanks.
        QCOMPARE(CheckOpen("/data/JUGADORES  ", true, steps), !*c.stop);
        QCOMPARE(opened, c.opens.size());
        QCOMPARE(paths.first(), QStringLiteral("/data/JUGADORES  +"));
        QCOMPARE(rebuilt, c.rebuildCalls);
        QCOMPARE(seams.Shown(), c.shown);
        for (const MessageSpec& m : seams.messages) {
            const bool question = m.title == QLatin1String("Invalid Key");
            QCOMPARE(m.icon, question ? MessageIcon::Exclamation : MessageIcon::Information);
            QCOMPARE(m.buttons, question ? MessageButton::Yes | MessageButton::No : MessageButton::Ok);
            QCOMPARE(m.defaultButton, question ? MessageButton::Yes : MessageButton::Ok);
        }
        QCOMPARE(seams.stops, *c.stop ? std::vector<QString>{c.stop} : std::vector<QString>{});
    }

    void realFiles_data() {
        QTest::addColumn<FileCase>("c");
        QTest::newRow("team file") << FileCase{"team.008", QByteArray(2 + 684, '\0'), "", ""};
        QTest::newRow("team file missing, not created") << FileCase{
            "team.008",
            {},
            "File Creation Error: Error: (No such file or directory (2)) creating PATH" END_APP ADVISE_CREATE,
            "File Creation Error!"};
        QTest::newRow("team file is a directory")
            << FileCase{"team.008", "<dir>",
                        "Invalid File: Error: (it is a directory, not a team file (0)) accessing PATH" END_APP
                            ADVISE_DAMAGED,
                        "Invalid File!"};
        QTest::newRow("database missing, created") << FileCase{"JUGADORES", {}, "", ""};
        QTest::newRow("clipboard empty, gets its table") << FileCase{"portapap.tps", "", "", ""};
        // A damaged clipboard is offered to be set aside; No (as here) ends the program, the file left as it
        // is.
        QTest::newRow("clipboard not a database, left as it is") << FileCase{
            "portapap.tps", QByteArray(4096, 'x'),
            "Damaged File: PATH is damaged (file is not a database (26)).\n\nSet it aside as PATH.damaged "
            "and "
            "start with an empty players clipboard ?\nNo ends the program and leaves the file as it is."
            "|Invalid File: Error: (file is not a database (26)) accessing PATH" END_APP ADVISE_DAMAGED,
            "Invalid File!"};
    }
    void realFiles() {
        QFETCH(FileCase, c);
        test::Seams seams;
        seams.answers = {MessageButton::No};
        const QString path = seams.StartFile(c.file), file = c.file;
        if (c.content == "<dir>")
            QVERIFY(QDir().mkpath(path));
        else if (!c.content.isNull())
            QVERIFY(test::WriteFile(path, c.content));
        Globals().TeamFilePath = Globals().ClipboardFilePath = path.toStdString();
        const bool usable = file == "team.008"    ? UseTeamFile()
                            : file == "JUGADORES" ? UsePlayerDatabase()
                                                  : UseClipboardFile();
        QCOMPARE(usable, !*c.shown);
        QCOMPARE(seams.Shown(), *c.shown ? QString(c.shown).replace("PATH", path).split('|') : QStringList{});
        QCOMPARE(seams.stops, *c.stop ? std::vector<QString>{c.stop} : std::vector<QString>{});
        const EditorState& g = Globals();
        QCOMPARE(g.TeamFileUseCount + g.PlayerFileUseCount + g.ClipboardFileUseCount, usable ? 1 : 0);
        QCOMPARE(QFileInfo::exists(path), file != "team.008" || !c.content.isNull());
        if (!usable && c.content != "<dir>") QCOMPARE(test::ReadFile(path), c.content);
    }

    void lockedDatabase() {
        test::Seams seams;
        const std::string path = seams.StartFile("JUGADORES").toStdString();
        QVERIFY(OpenPlayerDatabaseFile(path, true).ok());
        // Another process holds the file: an exclusive lock kept by a second connection.
        SQLite::Database other(path, SQLite::OPEN_READWRITE);
        for (const char* sql : {"PRAGMA locking_mode=EXCLUSIVE", "BEGIN EXCLUSIVE", "CREATE TABLE held(x)"})
            other.exec(sql);
        int opens = 0;
        OpenSteps steps{[&](const std::string& p, bool create) {
                            ++opens;
                            return OpenKeyedFile(PlayerDatabaseSchema(), p, create, 50); // a short wait
                        },
                        {}};
        QVERIFY(!UsePlayerDatabase(steps));
        QCOMPARE(opens, 2);                            // tried once more before giving up
        const QString shown = seams.Shown().join('|'); // one message
        QVERIFY2(shown.startsWith("File Access Error: File (" + QString::fromStdString(path) +
                                  ") could not be opened.  Error: ") &&
                     shown.endsWith("(5)." ADVISE_ACCESS) && shown.count('|') == 0,
                 qPrintable(shown));
        QCOMPARE(seams.stops, std::vector<QString>{"Disk Error"});
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
        failure = OpenFailure::None;
        QVERIFY(UsePlayerDatabase(steps) &&
                UsePlayerDatabase(steps)); // the second shares it, not opened again
        QCOMPARE(Globals().PlayerFileUseCount, 2);
        for (int i = 0; i < 3; ++i)
            ReleasePlayerDatabase(); // one too many must not go below zero
        QCOMPARE(Globals().PlayerFileUseCount, 0);
        QVERIFY(UsePlayerDatabase(steps)); // the last user gone, the next one opens it again
        const QString db = seams.StartFile("JUGADORES") + " (create)";
        QCOMPARE(opened, (QStringList{db, db, db}));
    }

    void stockMessages_data() {
        using enum StockMessage;
        QTest::addColumn<StockCase>("c");
        const MessageButton ok = MessageButton::Ok, cancel = MessageButton::Cancel;
        QTest::newRow("record retrieval") << StockCase{
            RecordRetrieval,
            "Record Retrieval Error: Error: (File Not Found (2)) attempting to access a record from the "
            "Jugadores file.  Returning to previous window.",
            ok, ok};
        QTest::newRow("view open") << StockCase{
            ViewOpen,
            "View Open Error: Error: (File Not Found (2)) attempting to open the "
            "current VIEW. Filter and Range Limits ignored.",
            ok, ok};
        QTest::newRow("transaction framing") << StockCase{
            TransactionFraming,
            "Transaction Framing Error: Error: (File Not Found (2)) attempting to frame the delete "
            "transaction on Jugadores.  Delete transaction cancelled.",
            ok, ok};
        QTest::newRow("delete operation") << StockCase{
            DeleteOperation,
            "Delete Operation Error: An error (File Not Found (2)) was experienced when attempting to "
            "delete a record from the file Jugadores.",
            ok, ok};
        QTest::newRow("confirm delete")
            << StockCase{ConfirmDelete,
                         "Confirm Delete: You've selected to delete the highlighted "
                         "record.  Press OK to confirm deletion of this record.",
                         ok | cancel, cancel};
        QTest::newRow("delete retry")
            << StockCase{DeleteRetry,
                         "Record Update Error: An error was experienced deleting this "
                         "record.  Do you want to try to save again?",
                         MessageButton::Yes | MessageButton::No | cancel, cancel};
    }
    void stockMessages() {
        QFETCH(StockCase, c);
        test::Seams seams;
        // The description and the file label lose their trailing blanks; the operation word is as given.
        const QString error = ComposeErrorText({"File Not Found   ", 2, {}, 0});
        QCOMPARE(RaiseStockMessage(c.which, error, "Jugadores   ", "Delete"), c.defaultButton);
        QCOMPARE(seams.Shown(), QStringList{c.shown});
        const MessageSpec& m = seams.messages[0];
        QCOMPARE(m.icon, c.which == StockMessage::ConfirmDelete ? MessageIcon::Exclamation
                                                                : MessageIcon::Information);
        QCOMPARE(m.buttons, c.buttons);
        QCOMPARE(m.defaultButton, c.defaultButton);
        // A driver's error (90) is told in the driver's words and number.
        QCOMPARE(ComposeErrorText({"File System Error", 90, "database is locked  ", 5}),
                 "database is locked (5)");
    }
};

QTEST_MAIN(FileErrorsTest)
#include "tst_FileErrors.moc"
