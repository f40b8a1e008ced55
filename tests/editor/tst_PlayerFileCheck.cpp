// The players file's first user does not wait for the read of every page: the open checks the header, the
// table and the orders, and the page check runs on a worker; a damaged page found there is reported as the
// open reports it ("Invalid Key", then the rebuild or the end of the program).

#include <QFile>
#include <QThreadPool>
#include <QtTest>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include "core/players/KeyedFileOpen.h"
#include "editor/ui/CheckOpen.h"
#include "PlayerBrowserSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

const QString kAsked =
    QStringLiteral("Invalid Key: %1 key file is invalid.  Do you want to rebuild the key?");

// Overwrites the page header of one order's root page: the header and schema stay sound, the page does not.
void DamageAnOrderPage(const std::string& path) {
    int page = 0;
    int pageSize = 0;
    {
        SQLite::Database db(path, SQLite::OPEN_READONLY);
        SQLite::Statement root(db,
                               "SELECT rootpage FROM sqlite_master WHERE type = 'index' ORDER BY name DESC");
        QVERIFY(root.executeStep());
        page = root.getColumn(0).getInt();
        pageSize = db.execAndGet("PRAGMA page_size").getInt();
    }
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(qint64(page - 1) * pageSize));
    QVERIFY(file.write(QByteArray(8, '\x55')) == 8);
}

// Runs events until the worker's check has ended and its answer has been handled.
void WaitForTheCheck() {
    QThreadPool::globalInstance()->waitForDone();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class PlayerFileCheckTest : public QObject {
    Q_OBJECT
private slots:
    void aSoundFileIsOpenedAndCheckedQuietly() {
        test::Seams seams;
        test::FillDatabase(PlayerDatabasePath());
        QVERIFY(UsePlayerDatabase());
        WaitForTheCheck();
        QVERIFY(seams.messages.empty());
        QVERIFY(seams.stops.empty());
        QCOMPARE(Globals().PlayerFileUseCount, 1);
        ReleasePlayerDatabase();
    }

    void aDamagedPageIsReportedAfterTheOpen_data() {
        QTest::addColumn<bool>("rebuild");
        QTest::newRow("No ends the program") << false;
        QTest::newRow("Yes tries the rebuild") << true;
    }
    void aDamagedPageIsReportedAfterTheOpen() {
        QFETCH(bool, rebuild);
        test::Seams seams;
        const std::string path = PlayerDatabasePath();
        test::FillDatabase(path);
        DamageAnOrderPage(path);
        QCOMPARE(CheckPlayerDatabasePages(path).failure, OpenFailure::KeysInvalid);
        QVERIFY(OpenPlayerDatabaseFileQuickly(path, false).ok());

        seams.answers = {rebuild ? MessageButton::Yes : MessageButton::No};
        // The window opens at once: nothing is asked before the first user has the file.
        QVERIFY(UsePlayerDatabase());
        QVERIFY(seams.messages.empty());
        WaitForTheCheck();
        QCOMPARE(seams.Shown().value(0), kAsked.arg(QString::fromStdString(path)));
        if (rebuild) {
            // A page SQLite cannot read is beyond a rebuild of the orders: told, as the open tells it.
            QCOMPARE(seams.messages.size(), std::size_t{2});
            QCOMPARE(seams.messages[1].title, QStringLiteral("Key Rebuild Error"));
            QCOMPARE(seams.stops, std::vector<QString>{QStringLiteral("Error Rebuilding Key!")});
        } else {
            QCOMPARE(seams.stops, std::vector<QString>{QStringLiteral("Invalid Key!")});
        }
        ReleasePlayerDatabase();
    }
};

QTEST_MAIN(PlayerFileCheckTest)
#include "tst_PlayerFileCheck.moc"
