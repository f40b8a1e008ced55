#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "editor/ui/StockMessages.h"
#include "editor/ui/StopProgram.h"
#include "TestSupport.h"

using namespace kivo::editor;

Q_DECLARE_METATYPE(kivo::editor::FileErrorInfo)

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    void errorText_data();
    void errorText();
    void stock_data();
    void stock();
    void realBoxAnswers_data();
    void realBoxAnswers();
    void stopProgram();
};

void MessagesTest::errorText_data() {
    QTest::addColumn<FileErrorInfo>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("runtime error") << FileErrorInfo{"File Not Found", 2, {}, 0} << "File Not Found (2)";
    QTest::newRow("trailing blanks") << FileErrorInfo{"Access Denied    ", 5, {}, 0} << "Access Denied (5)";
    QTest::newRow("driver error uses the driver's words")
        << FileErrorInfo{"File System Error", 90, "database is locked  ", 5} << "database is locked (5)";
}

void MessagesTest::errorText() {
    QFETCH(FileErrorInfo, error);
    QFETCH(QString, text);
    QCOMPARE(ComposeErrorText(error), text);
}

void MessagesTest::stock_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    const int ok = int(MessageButton::Ok), cancel = int(MessageButton::Cancel);
    const int info = int(MessageIcon::Information);
    QTest::newRow("record retrieval")
        << int(StockMessage::RecordRetrieval) << "Record Retrieval Error"
        << "Error: (File Not Found (2)) attempting to access a record from the Jugadores file.  Returning to "
           "previous window."
        << info << ok << ok;
    QTest::newRow("view open")
        << int(StockMessage::ViewOpen) << "View Open Error"
        << "Error: (File Not Found (2)) attempting to open the current VIEW. Filter and "
           "Range Limits ignored."
        << info << ok << ok;
    QTest::newRow("transaction framing")
        << int(StockMessage::TransactionFraming) << "Transaction Framing Error"
        << "Error: (File Not Found (2)) attempting to frame the delete transaction on Jugadores.  Delete "
           "transaction cancelled."
        << info << ok << ok;
    QTest::newRow("delete operation")
        << int(StockMessage::DeleteOperation) << "Delete Operation Error"
        << "An error (File Not Found (2)) was experienced when attempting to delete a record from the file "
           "Jugadores."
        << info << ok << ok;
    QTest::newRow("confirm delete")
        << int(StockMessage::ConfirmDelete) << "Confirm Delete"
        << "You've selected to delete the highlighted record.  Press OK to confirm "
           "deletion of this record."
        << int(MessageIcon::Exclamation) << (ok | cancel) << cancel;
    QTest::newRow("delete retry")
        << int(StockMessage::DeleteRetry) << "Record Update Error"
        << "An error was experienced deleting this record.  Do you want to try to save "
           "again?"
        << info << int(MessageButton::Yes | MessageButton::No | MessageButton::Cancel) << cancel;
}

void MessagesTest::stock() {
    QFETCH(int, which);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    test::Seams seams;
    // The file label loses its trailing blanks; the operation word is given as the caller has it.
    const MessageButton answer = RaiseStockMessage(StockMessage(which), ComposeErrorText("File Not Found", 2),
                                                   QStringLiteral("Jugadores   "), QStringLiteral("Delete"));
    QCOMPARE(seams.messages.size(), std::size_t(1));
    const MessageSpec& m = seams.messages[0];
    QCOMPARE(m.title, title);
    QCOMPARE(m.text, text);
    QCOMPARE(int(m.icon), icon);
    QCOMPARE(int(m.buttons), buttons);
    QCOMPARE(int(m.defaultButton), defaultButton);
    QCOMPARE(int(answer), defaultButton);
}

void MessagesTest::realBoxAnswers_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("answer");
    const int yesNoCancel = int(MessageButton::Yes | MessageButton::No | MessageButton::Cancel);
    QTest::newRow("Enter takes the default")
        << yesNoCancel << int(MessageButton::Cancel) << int(Qt::Key_Return) << int(MessageButton::Cancel);
    QTest::newRow("Enter on Yes") << int(MessageButton::Yes | MessageButton::No) << int(MessageButton::Yes)
                                  << int(Qt::Key_Return) << int(MessageButton::Yes);
    QTest::newRow("Escape cancels") << int(MessageButton::Ok | MessageButton::Cancel)
                                    << int(MessageButton::Ok) << int(Qt::Key_Escape)
                                    << int(MessageButton::Cancel);
    QTest::newRow("Escape on OK only")
        << int(MessageButton::Ok) << int(MessageButton::Ok) << int(Qt::Key_Escape) << int(MessageButton::Ok);
}

void MessagesTest::realBoxAnswers() {
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, key);
    QFETCH(int, answer);
    test::Seams seams;
    Globals().MessageAnswerer = nullptr; // the real box this time
    QString shownText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shownText = box->text();
        QTest::keyClick(box, Qt::Key(key));
    });
    const MessageButton got =
        ShowMessage({QStringLiteral("ATENTION"), QStringLiteral("Are you sure ?"), MessageIcon::Exclamation,
                     MessageButtons(buttons), MessageButton(defaultButton)});
    QCOMPARE(shownText, QStringLiteral("Are you sure ?"));
    QCOMPARE(int(got), answer);
}

void MessagesTest::stopProgram() {
    {
        test::Seams seams;
        StopProgram(QStringLiteral("Disk Error"));
        QCOMPARE(seams.stops, std::vector<QString>{QStringLiteral("Disk Error")});
        QVERIFY(!Globals().Stopping);
    }
    // The real routine: shows the stop text, hides every window and stops once.
    test::Seams seams;
    Globals().StopRoutine = nullptr;
    QWidget window;
    window.show();
    StopProgram(QStringLiteral("Invalid File!"));
    QVERIFY(Globals().Stopping);
    QVERIFY(!window.isVisible());
    QCOMPARE(seams.messages.size(), std::size_t(1));
    QCOMPARE(seams.messages[0].text, QStringLiteral("Invalid File!"));
    StopProgram(QStringLiteral("Disk Error"));
    QCOMPARE(seams.messages.size(), std::size_t(1));
}

QTEST_MAIN(MessagesTest)
#include "tst_Messages.moc"
