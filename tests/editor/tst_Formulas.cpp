#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include "core/prices/Formulas.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsEntries.h"
#include "editor/market/ElegirDirectorioArreglarMercado.h"
#include "editor/prices/EditarFormulaPrecios.h"
#include "editor/ui/HelpViewer.h"
#include "TaskAreaSupport.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

using Frame = test::TaskArea;

QString Formula(FormulaRole role) {
    return QString::fromStdString(Globals().Formulas[std::size_t(role)]);
}

// Types a formula into a row's entry as a user does and presses Enter.
void Type(const EditarFormulaPrecios::Row& row, const QString& text) {
    row.entry->selectAll();
    QTest::keyClicks(row.entry, text);
    QTest::keyClick(row.entry, Qt::Key_Return);
}

bool InRange(const EditarFormulaPrecios::Row& row) {
    return row.status->property("inRange").toBool();
}

} // namespace

// The formula editor driven as a user does, and the Close and Help buttons of the task windows.
class FormulasTest : public QObject {
    Q_OBJECT
private slots:
private slots:
    void defaultFormulasShowTheirRange_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("lowest");
        QTest::addColumn<QString>("highest");
        QTest::addColumn<bool>("inRange");
        QTest::newRow("Back") << int(FormulaRole::Back) << "25K"
                              << "7M" << false;
        QTest::newRow("Attack") << int(FormulaRole::Attack) << "25K"
                                << "15M" << true;
    }
    void defaultFormulasShowTheirRange() {
        QFETCH(int, role);
        QFETCH(QString, lowest);
        QFETCH(QString, highest);
        QFETCH(bool, inRange);
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Formulae to Compute Prices"));
        const auto& row = editor->row(FormulaRole(role));
        QCOMPARE(row.entry->text(), QString::fromStdString(DefaultFormulas()[std::size_t(role)]));
        QCOMPARE(row.lowest->text(), lowest);
        QCOMPARE(row.highest->text(), highest);
        QCOMPARE(InRange(row), inRange);
        QVERIFY(!row.status->pixmap().isNull());
        QCOMPARE(row.status->toolTip(), QString::fromLatin1(inRange ? kInRangeTip : kOutOfRangeTip));
        QVERIFY(row.hint->isHidden());
        QVERIFY(!QFile::exists(seams.StartFile("ventanas.ini"))); // opening reads only
        frame.area.closeAllSubWindows();
    }

    void everyControlIsNamed() {
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        StartElegirDirectorioArreglarMercado();
        QStringList names;
        for (QMdiSubWindow* sub : frame.area.subWindowList())
            for (QWidget* w : sub->widget()->findChildren<QWidget*>())
                if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)) {
                    QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
                    names << w->accessibleName();
                }
        QVERIFY(names.contains("Back Formula:") && names.contains("Attack Formula:") &&
                names.contains("Save"));
        QVERIFY(names.contains("Team Files Directory:") && names.contains("Begin Fixing Market"));
        frame.area.closeAllSubWindows();
    }

    void saveWarnsAndWritesInOrder() {
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        // The Back row is out of range with the defaults: the warning, and all five written all the same.
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
        QCOMPARE(seams.Shown(), QStringList{"Warning: Not every formula is in range [25k - 15M] !"});
        QTRY_VERIFY(frame.area.subWindowList().isEmpty()); // Save closes the window, frame and all
        // A new ventanas.ini: one section, the five entries in the write order, name=value, CRLF.
        QByteArray expected = "[Formula]\r\n";
        for (const FormulaInfo& info : FormulaInfos())
            expected += QByteArray(info.key.data(), qsizetype(info.key.size())) + "=" +
                        QByteArray::fromStdString(std::string(info.defaultText)) + "\r\n";
        QCOMPARE(test::ReadFile(seams.StartFile("ventanas.ini")), expected);
        QVERIFY(ReadIniText(seams.PlacementIni(), "EditarFormulaPrecios", "XPosit", "").size() > 0);
    }

    void acceptedEntryRecomputesItsRow_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lowest");
        QTest::addColumn<QString>("highest");
        QTest::addColumn<bool>("inRange");
        QTest::addColumn<QString>("tip"); // how the status tool tip begins
        QTest::addColumn<QString>("hint");
        QTest::newRow("constant above the ladder") << "16m"
                                                   << "15M"
                                                   << "15M" << false << kOutOfRangeTip << "";
        QTest::newRow("spans the ladder") << "1m*pa"
                                          << "25K"
                                          << "15M" << true << kInRangeTip << "";
        QTest::newRow("cannot be evaluated") << "75k*pa+zz"
                                             << "25K"
                                             << "25K" << false
                                             << "The formula cannot be evaluated: Unexpected token \"zz\" "
                                                "found (at character 8 of the formula)."
                                             << "";
        QTest::newRow("parenthesis left open") << "(pa+1"
                                               << "25K"
                                               << "25K" << false
                                               << "The formula cannot be evaluated: Missing parenthesis (at "
                                                  "character 6 of the formula)."
                                               << "";
        QTest::newRow("several values") << "1,5*pa"
                                        << "25K"
                                        << "25K" << false
                                        << "The formula cannot be evaluated: The formula gives 2 values "
                                           "instead of one (a comma separates values; write decimals with a "
                                           "point)."
                                        << "";
        QTest::newRow("decimal with a suffix")
            << "75k*pa + 1.5m"
            << "25K"
            << "1.1M" << false << kOutOfRangeTip << "\"1.5m\" means 1.5, not 1,500,000: write \"1500k\".";
    }
    void acceptedEntryRecomputesItsRow() {
        QFETCH(QString, typed);
        QFETCH(QString, lowest);
        QFETCH(QString, highest);
        QFETCH(bool, inRange);
        QFETCH(QString, tip);
        QFETCH(QString, hint);
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        const auto& row = editor->row(FormulaRole::Attack);
        Type(row, typed);
        QCOMPARE(Formula(FormulaRole::Attack), typed); // in force at once for every window
        QCOMPARE(row.lowest->text(), lowest);
        QCOMPARE(row.highest->text(), highest);
        QCOMPARE(InRange(row), inRange);
        QVERIFY2(row.status->toolTip().startsWith(tip), qPrintable(row.status->toolTip()));
        QCOMPARE(row.hint->text(), hint);
        QCOMPARE(row.hint->isHidden(), hint.isEmpty());
        // The other rows are not touched.
        QCOMPARE(editor->row(FormulaRole::Back).highest->text(), QStringLiteral("7M"));
        frame.area.closeAllSubWindows();
    }

    void outOfRangeAttackWarnsWhenTheOthersAreIn() {
        test::Seams seams;
        QVERIFY(test::WriteFile(seams.StartFile("ventanas.ini"),
                                "[Formula]\r\nFormulaMarcadorPunta=1m*pa\r\nFormulaMarcadorCentral=1m*he\r\n"
                                "FormulaVolanteLateral=1m*sh\r\nFormulaVolanteCentral=1m*ta\r\n"));
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        for (FormulaRole r :
             {FormulaRole::Back, FormulaRole::Defender, FormulaRole::Wing, FormulaRole::Midfield})
            QVERIFY(InRange(editor->row(r)));
        QVERIFY(InRange(editor->row(FormulaRole::Attack)));
        editor->row(FormulaRole::Attack).entry->setFocus();
        Type(editor->row(FormulaRole::Attack), QStringLiteral("100k*fi"));
        QVERIFY(!InRange(editor->row(FormulaRole::Attack)));
        editor->Save();
        QCOMPARE(seams.Shown(), QStringList{"Warning: Not every formula is in range [25k - 15M] !"});
        QCOMPARE(
            ReadIniText(seams.StartFile("ventanas.ini").toStdString(), "Formula", "FormulaDelantero", ""),
            std::string("100k*fi"));
    }

    void characterOutsideLatin1IsRefused() {
        test::Seams seams;
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        const QString before = Formula(FormulaRole::Wing);
        // Pasted, as the keyboard offers no such key to the test: then Enter.
        editor->row(FormulaRole::Wing).entry->setText(QString::fromUtf8("1m*pa+2\u20ac"));
        QTest::keyClick(editor->row(FormulaRole::Wing).entry, Qt::Key_Return);
        QCOMPARE(seams.messages.size(), std::size_t(1));
        QVERIFY(seams.messages[0].text.contains(QStringLiteral("Latin-1")));
        QCOMPARE(Formula(FormulaRole::Wing), before); // the formula in force is not changed
        QCOMPARE(editor->row(FormulaRole::Wing).entry->text(), before);
        frame.area.closeAllSubWindows();
    }

    void cancelKeepsTheFileButNotTheEdit() {
        test::Seams seams;
        const QByteArray file = "[Formula]\r\nFormulaDelantero=100k*FI\r\n";
        QVERIFY(test::WriteFile(seams.StartFile("ventanas.ini"), file));
        Frame frame;
        StartEditarFormulaPrecios();
        auto* editor = frame.Current<EditarFormulaPrecios>();
        QVERIFY(editor);
        QCOMPARE(editor->row(FormulaRole::Attack).entry->text(), QStringLiteral("100k*FI"));
        Type(editor->row(FormulaRole::Attack), QStringLiteral("2m*fi"));
        QTest::mouseClick(editor->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(frame.area.subWindowList().isEmpty());
        QCOMPARE(test::ReadFile(seams.StartFile("ventanas.ini")), file);
        // Prices computed now use the edited text, until the editor opens again and reads the file.
        QCOMPARE(Formula(FormulaRole::Attack), QStringLiteral("2m*fi"));
        Skills skills{};
        skills[6] = 5;
        QCOMPARE(
            QString::fromStdString(Globals().Prices->PriceForPlayer(Globals().Formulas, "A", skills).value()),
            QStringLiteral("10M"));
        StartEditarFormulaPrecios();
        QCOMPARE(Formula(FormulaRole::Attack), QStringLiteral("100k*FI"));
        frame.area.closeAllSubWindows();
    }

    void closeAndHelpButtons_data() {
        QTest::addColumn<int>("window"); // 0 formula editor, 1 market chooser
        QTest::addColumn<QString>("keyword");
        QTest::newRow("formula editor") << 0 << "Formulae to Compute Players' Prices";
        QTest::newRow("market chooser") << 1 << "Fixing Foreign Market";
    }
    void closeAndHelpButtons() {
        QFETCH(int, window);
        QFETCH(QString, keyword);
        test::Seams seams;
        Frame frame;
        if (window == 0)
            StartEditarFormulaPrecios();
        else
            StartElegirDirectorioArreglarMercado();
        QWidget* task = frame.area.currentSubWindow()->widget();
        QPushButton* help = nullptr;
        QPushButton* close = nullptr;
        for (QPushButton* b : task->findChildren<QPushButton*>()) {
            if (b->text() == "Help") help = b;
            if (b->text() == (window == 0 ? "Cancel" : "Close")) close = b;
        }
        QVERIFY(help && close);
        QTest::mouseClick(help, Qt::LeftButton);
        QVERIFY(Globals().HelpWindow);
        QCOMPARE(HelpViewer::Instance()->currentKeyword(), keyword);
        HelpViewer::Instance()->close();
        QTest::mouseClick(close, Qt::LeftButton); // the window and its frame in the frame go
        QTRY_VERIFY(frame.area.subWindowList().isEmpty());
        QVERIFY(seams.messages.empty());
    }
};

QTEST_MAIN(FormulasTest)
#include "tst_Formulas.moc"
