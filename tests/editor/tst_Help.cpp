#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "core/settings/IniFile.h"
#include "editor/app/Presentacion.h"
#include "editor/app/Principal.h"
#include "editor/clipboard/VerPortapapeles.h"
#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "editor/ui/ReportPreview.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

// The help viewer: every topic, the keyword index, search and its keys.
class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void everyKeywordHasItsTopic() {
        test::Seams seams;
        HelpViewer* viewer = HelpViewer::Instance();
        QStringList keywords;
        for (const HelpTopic& t : HelpTopics()) {
            const QString keyword = QString::fromLatin1(t.keyword);
            QVERIFY2(!keywords.contains(keyword, Qt::CaseInsensitive), t.keyword);
            keywords << keyword;
            QCOMPARE(FindHelpTopic(keyword.toUpper()), &t); // letter case ignored
            QVERIFY(viewer->ShowKeyword(keyword));
            QCOMPARE(viewer->currentKeyword(), keyword);
            QVERIFY2(viewer->browser()->toPlainText().contains(QString::fromLatin1(t.title)), t.page);
        }
        // An unknown keyword: the viewer says so itself, the program raises nothing.
        QVERIFY(!viewer->ShowKeyword(QStringLiteral("No Such Window")));
        QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("No Such Window")));
        QVERIFY(viewer->currentKeyword().isEmpty());
        QVERIFY(seams.messages.empty());
        viewer->ShowIndex(); // the index: typing filters the words, Enter opens the one left
        viewer->indexField()->setText(QStringLiteral("portapap"));
        int visible = 0;
        for (int i = 0; i < viewer->indexList()->count(); ++i)
            visible += !viewer->indexList()->item(i)->isHidden();
        QCOMPARE(visible, 1);
        QTest::keyClick(viewer->indexField(), Qt::Key_Return);
        QCOMPARE(viewer->currentKeyword(), QStringLiteral("Multi-Player Clipboard"));
        viewer->close();
    }

    void keywordIndex_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QStringList>("pages"); // the keywords of the topics the word opens
        QTest::newRow("backup") << "backup" << QStringList{"Fixing Foreign Market", "Backups"};
        QTest::newRow("mark") << "mark"
                              << QStringList{"Finding Players", "Searching Criteria", "Marking Players"};
        QTest::newRow("price") << "price"
                               << QStringList{"Edit Teams", "Finding Players",
                                              "Formulae to Compute Players' Prices"};
        QTest::newRow("clipboard") << "clipboard"
                                   << QStringList{"Edit Teams", "Finding Players", "Multi-Player Clipboard"};
        QTest::newRow("kivo-cli") << "kivo-cli" << QStringList{"kivo-cli"};
        QTest::newRow("restore") << "restore" << QStringList{"Backups", "kivo-cli"};
    }
    void keywordIndex() {
        QFETCH(QString, word);
        QFETCH(QStringList, pages);
        test::Seams seams;
        HelpViewer* viewer = HelpViewer::Instance();
        QVERIFY(viewer->indexList()->count() > 3 * int(HelpTopics().size())); // several words a page
        QStringList opened;
        for (int i = 0; i < viewer->indexList()->count(); ++i) {
            QListWidgetItem* item = viewer->indexList()->item(i);
            if (item->text() != word && !item->text().startsWith(word + QStringLiteral(" ("))) continue;
            emit viewer->indexList()->itemClicked(item);
            opened << viewer->currentKeyword();
            QVERIFY2(viewer->browser()->toPlainText().contains(word, Qt::CaseInsensitive),
                     qPrintable(word + " on " + viewer->currentKeyword()));
        }
        std::sort(opened.begin(), opened.end());
        std::sort(pages.begin(), pages.end());
        QCOMPARE(opened, pages);
        viewer->close();
    }

    void helpViewerKeyboard() {
        test::Seams seams;
        HelpViewer* viewer = HelpViewer::Instance();
        viewer->ShowContents();
        QApplication::setActiveWindow(viewer);
        viewer->tabs()->setCurrentIndex(1); // the Index tab puts the cursor in its field
        QCOMPARE(QApplication::focusWidget(), viewer->indexField());
        viewer->tabs()->setCurrentIndex(2);
        QCOMPARE(QApplication::focusWidget(), viewer->searchField());
        QTest::keyClick(viewer->searchField(), Qt::Key_Escape); // Esc closes the viewer
        QTRY_VERIFY(!Globals().HelpWindow);
    }

    void helpSearchAnswersQuestions_data() {
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("first"); // the topics expected at the top, in any order
        QTest::newRow("backups") << "where are my backups" << QStringList{"Backups"};
        QTest::newRow("backups, asked otherwise") << "Where are my backups?" << QStringList{"Backups"};
        QTest::newRow("undo") << "undo" << QStringList{"Edit Teams", "Backups"};
        QTest::newRow("copy a player")
            << "copy a player to another team" << QStringList{"Multi-Player Clipboard"};
        QTest::newRow("the keyboard paste")
            << "Ctrl+Shift+V" << QStringList{"Edit Teams", "Multi-Player Clipboard"};
        QTest::newRow("accents in the quick filter")
            << "quick filter accents" << QStringList{"Finding Players"};
        QTest::newRow("cup files") << "open the cup files" << QStringList{"Opening Teams"};
        QTest::newRow("title before text")
            << "price formula" << QStringList{"Formulae to Compute Players' Prices"};
    }
    void helpSearchAnswersQuestions() {
        QFETCH(QString, question);
        QFETCH(QStringList, first);
        test::Seams seams;
        HelpViewer* viewer = HelpViewer::Instance();
        // Asked as a user asks: typed in the search tab's field, answered by Enter; the first answer opens.
        viewer->ShowSearch();
        viewer->searchField()->clear();
        QTest::keyClicks(viewer->searchField(), question);
        QTest::keyClick(viewer->searchField(), Qt::Key_Return);
        const QStringList found = viewer->Search(question);
        QVERIFY2(found.size() >= first.size(), qPrintable(found.join(',')));
        QStringList top = found.mid(0, first.size());
        std::sort(top.begin(), top.end());
        std::sort(first.begin(), first.end());
        QCOMPARE(top, first);
        QCOMPARE(viewer->searchResults()->count(), found.size());
        QCOMPARE(viewer->searchResults()->item(0)->text(),
                 QString::fromLatin1(FindHelpTopic(found[0])->title));
        emit viewer->searchResults()->itemActivated(viewer->searchResults()->item(0));
        QCOMPARE(viewer->currentKeyword(), found[0]);
        viewer->close();
    }

    void helpSearch() {
        test::Seams seams;
        HelpViewer* viewer = HelpViewer::Instance();
        // Letter case ignored; when no topic holds every word, the topics that hold the most come first.
        QVERIFY(viewer->Search("portapap.tps").contains("Multi-Player Clipboard"));
        QCOMPARE(viewer->Search("portapap.tps zzqqxx").value(0), QStringLiteral("Multi-Player Clipboard"));
        QVERIFY(viewer->Search("zzqqxx").isEmpty());
        const QStringList found = viewer->Search(QStringLiteral("COMPUTE ALL PRICES"));
        QVERIFY2(found.contains("Edit Teams") && !found.contains("About"), qPrintable(found.join(',')));
        // Through the window: typing and Enter fills the results, a click opens the topic.
        viewer->ShowSearch();
        viewer->searchField()->setText(QStringLiteral("COMPUTE ALL PRICES"));
        QTest::keyClick(viewer->searchField(), Qt::Key_Return);
        QCOMPARE(viewer->searchResults()->count(), found.size());
        emit viewer->searchResults()->itemClicked(viewer->searchResults()->item(0));
        QCOMPARE(viewer->currentKeyword(), found.first());
        viewer->close();
    }
};

QTEST_MAIN(HelpTest)
#include "tst_Help.moc"
