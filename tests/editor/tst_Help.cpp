#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>
#include <QWidget>

#include "editor/ui/HelpTopics.h"
#include "editor/ui/HelpViewer.h"
#include "TestSupport.h"

using namespace kivo::editor;

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void windowKeywordsHaveTopics_data();
    void windowKeywordsHaveTopics();
    void everyPageIsThereAndTitled();
    void linksAndImagesResolve();
    void unknownKeywordIsReportedByTheViewer();
    void search_data();
    void search();
    void indexFiltersKeywords();
    void keywordOfAWindow();
};

void HelpTest::windowKeywordsHaveTopics_data() {
    QTest::addColumn<QString>("keyword");
    for (const char* k :
         {"Main", "Opening Teams", "Browsing Teams", "Edit Teams", "Formulae to Compute Players' Prices",
          "Multi-Player Clipboard", "Fixing Foreign Market", "About", "How to Use Help", "Report Preview"})
        QTest::newRow(k) << QString::fromLatin1(k);
}

void HelpTest::windowKeywordsHaveTopics() {
    QFETCH(QString, keyword);
    test::Seams seams;
    const HelpTopic* topic = FindHelpTopic(keyword.toUpper()); // letter case ignored
    QVERIFY(topic);
    QCOMPARE(QString::fromLatin1(topic->keyword), keyword);
    HelpViewer* viewer = HelpViewer::Instance();
    QVERIFY(viewer->ShowKeyword(keyword));
    QCOMPARE(viewer->currentKeyword(), keyword);
    QVERIFY(viewer->browser()->toPlainText().contains(QString::fromLatin1(topic->title)));
    viewer->close();
}

void HelpTest::everyPageIsThereAndTitled() {
    test::Seams seams;
    QStringList keywords;
    for (const HelpTopic& t : HelpTopics()) {
        QVERIFY2(!keywords.contains(QString::fromLatin1(t.keyword), Qt::CaseInsensitive), t.keyword);
        keywords << QString::fromLatin1(t.keyword);
        QFile page(QStringLiteral(":/help/") + QLatin1String(t.page));
        QVERIFY2(page.open(QIODevice::ReadOnly), t.page);
        const QString html = QString::fromUtf8(page.readAll());
        QVERIFY2(html.contains(QStringLiteral("<h1>") + QString::fromLatin1(t.title).toHtmlEscaped() +
                               QStringLiteral("</h1>")),
                 t.page);
        QVERIFY2(html.size() > 400, t.page); // a page that says something
    }
}

void HelpTest::linksAndImagesResolve() {
    test::Seams seams;
    const QRegularExpression ref(QStringLiteral("(?:href|src)=[\"']([^\"'#]+)[\"']"));
    int links = 0;
    for (const HelpTopic& t : HelpTopics()) {
        QFile page(QStringLiteral(":/help/") + QLatin1String(t.page));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        for (const auto& m : ref.globalMatch(html)) {
            QString target = m.captured(1);
            target =
                target.startsWith(QLatin1String("qrc:")) ? target.mid(3) : QStringLiteral(":/help/") + target;
            QVERIFY2(QFile::exists(target), qPrintable(QString::fromLatin1(t.page) + " -> " + target));
            ++links;
        }
    }
    QVERIFY(links > 20);
}

void HelpTest::unknownKeywordIsReportedByTheViewer() {
    test::Seams seams;
    HelpViewer* viewer = HelpViewer::Instance();
    QVERIFY(!viewer->ShowKeyword(QStringLiteral("No Such Window")));
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->browser()->toPlainText().contains(QStringLiteral("No Such Window")));
    QVERIFY(viewer->currentKeyword().isEmpty());
    QVERIFY(seams.messages.empty()); // the viewer says it, the program raises nothing
    viewer->close();
}

void HelpTest::search_data() {
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("mustFind");
    QTest::addColumn<QString>("mustNotFind");
    QTest::newRow("one word") << "portapap.tps"
                              << "Multi-Player Clipboard"
                              << "Fixing Foreign Market";
    QTest::newRow("all words needed") << "backup POOLPLYR.DAT"
                                      << "Fixing Foreign Market"
                                      << "Edit Teams";
    QTest::newRow("letter case ignored") << "COMPUTE ALL PRICES"
                                         << "Edit Teams"
                                         << "About";
    QTest::newRow("keyword itself") << "Opening Teams"
                                    << "Opening Teams"
                                    << "Report Preview";
}

void HelpTest::search() {
    QFETCH(QString, words);
    QFETCH(QString, mustFind);
    QFETCH(QString, mustNotFind);
    test::Seams seams;
    HelpViewer* viewer = HelpViewer::Instance();
    const QStringList found = viewer->Search(words);
    QVERIFY2(found.contains(mustFind), qPrintable(found.join(',')));
    QVERIFY(!found.contains(mustNotFind));
    QVERIFY(viewer->Search(QStringLiteral("   ")).isEmpty());
    QVERIFY(viewer->Search(QStringLiteral("zzqqxx")).isEmpty());

    // Through the window: typing and Enter fills the results, a click opens the topic.
    viewer->ShowSearch();
    viewer->searchField()->setText(words);
    QTest::keyClick(viewer->searchField(), Qt::Key_Return);
    QCOMPARE(viewer->searchResults()->count(), found.size());
    emit viewer->searchResults()->itemClicked(viewer->searchResults()->item(0));
    QCOMPARE(viewer->currentKeyword(), found.first());
    viewer->close();
}

void HelpTest::indexFiltersKeywords() {
    test::Seams seams;
    HelpViewer* viewer = HelpViewer::Instance();
    viewer->ShowIndex();
    viewer->indexField()->setText(QStringLiteral("clip"));
    int visible = 0;
    for (int i = 0; i < viewer->indexList()->count(); ++i)
        visible += !viewer->indexList()->item(i)->isHidden();
    QCOMPARE(visible, 1);
    QTest::keyClick(viewer->indexField(), Qt::Key_Return);
    QCOMPARE(viewer->currentKeyword(), QStringLiteral("Multi-Player Clipboard"));
    viewer->close();
}

void HelpTest::keywordOfAWindow() {
    QWidget window;
    auto* child = new QWidget(&window);
    QCOMPARE(HelpKeywordOf(child), QStringLiteral("Main"));
    SetHelpKeyword(&window, QStringLiteral("Browsing Teams"));
    QCOMPARE(HelpKeywordOf(child), QStringLiteral("Browsing Teams"));
    SetHelpKeyword(child, QStringLiteral("Edit Teams"));
    QCOMPARE(HelpKeywordOf(child), QStringLiteral("Edit Teams"));
}

QTEST_MAIN(HelpTest)
#include "tst_Help.moc"
