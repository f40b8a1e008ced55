#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>
#include <QVBoxLayout>

#include "core/settings/IniFile.h"
#include "editor/app/WindowPlacement.h"
#include "editor/ui/ControlRescaler.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

const std::string kIni = "zeltra.ini";
const std::string kSection = "VerEquipos";
const QRect kDesign(40, 50, 300, 200);
const char* const kKeys[] = {"XPosit", "YPosit", "Width", "Height", "Maximize"};

// The stored values in the order of kKeys; a null value is not stored.
void Store(const QStringList& values) {
    for (int i = 0; i < values.size(); ++i)
        if (!values[i].isNull())
            WriteIniText(PlacementIniPath(kIni), kSection, kKeys[i], values[i].toStdString());
}

QStringList Stored() {
    QStringList values;
    for (const char* key : kKeys)
        values << QString::fromStdString(ReadIniText(PlacementIniPath(kIni), kSection, key, "<missing>"));
    return values;
}

// The window placed: a top-level window, or a subwindow of `area` around its content.
QWidget* Placed(bool sub, QMdiArea& area, QWidget& window) {
    if (!sub) return &window;
    area.resize(900, 700);
    area.show();
    return area.addSubWindow(new QWidget);
}

QWidget* Content(QWidget* placed) {
    auto* sub = qobject_cast<QMdiSubWindow*>(placed);
    return sub ? sub->widget() : placed;
}

} // namespace

// Where windows open and how their controls follow their size.
class PlacementTest : public QObject {
    Q_OBJECT
private slots:
    void restore_data() {
        QTest::addColumn<bool>("sub");
        QTest::addColumn<QStringList>("stored"); // XPosit, YPosit, Width, Height, Maximize
        QTest::addColumn<bool>("resizable");
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<bool>("maximised");
        const QString none;
        for (bool sub : {false, true}) {
            auto row = [&](const char* name) -> QTestData& {
                return QTest::newRow((sub ? "subwindow, " : "window, ") + QByteArray(name)) << sub;
            };
            row("nothing stored") << QStringList{none, none, none, none, none} << true << kDesign << false;
            row("x 0 restores nothing, not even the maximised state")
                << QStringList{"0", "80", "420", "260", "Yes"} << true << kDesign << false;
            row("x not a number") << QStringList{"abc", "80", "420", "260", "Yes"} << true << kDesign
                                  << false;
            row("y 0 keeps the design place but maximises")
                << QStringList{"120", "0", "420", "260", "Yes"} << true << kDesign << true;
            row("y missing") << QStringList{"120", none, "420", "260", "No"} << true << kDesign << false;
            row("lower-case yes does not maximise")
                << QStringList{"120", "80", "420", "260", "yes"} << true << QRect(120, 80, 420, 260) << false;
            row("Yes with trailing blanks maximises") << QStringList{"120", "80", "420", "260", "Yes   "}
                                                      << true << QRect(120, 80, 420, 260) << true;
            row("not resizable: stored place, design size")
                << QStringList{"120", "80", "0", "0", "No"} << false << QRect(120, 80, 300, 200) << false;
        }
    }
    void restore() {
        QFETCH(bool, sub);
        QFETCH(QStringList, stored);
        QFETCH(bool, resizable);
        QFETCH(QRect, expected);
        QFETCH(bool, maximised);
        test::Seams seams;
        Store(stored);
        QMdiArea area;
        QWidget window;
        QWidget* placed = Placed(sub, area, window);
        placed->setGeometry(kDesign);
        if (!resizable) placed->setFixedSize(kDesign.size());
        if (sub) placed->show(); // a subwindow is placed while shown, a window before it shows
        RestoreWindowPlacement(Content(placed), kIni, kSection);
        placed->show();
        QCOMPARE(placed->isMaximized(), maximised);
        if (sub && maximised) placed->showNormal();
        QCOMPARE(sub ? placed->geometry() : placed->normalGeometry(), expected);
        if (stored.first().isNull()) QVERIFY(!QFile::exists(QString::fromStdString(PlacementIniPath(kIni))));
    }

    void save_data() {
        QTest::addColumn<bool>("sub");
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("stored");
        const QStringList normal{"130", "140", "350", "250", "No"},
            maximised{"130", "140", "350", "250", "Yes"};
        QTest::newRow("window") << false << int(Qt::WindowNoState) << normal;
        QTest::newRow("maximised window keeps its normal geometry")
            << false << int(Qt::WindowMaximized) << maximised;
        QTest::newRow("subwindow") << true << int(Qt::WindowNoState) << normal;
        QTest::newRow("maximised subwindow keeps its normal geometry")
            << true << int(Qt::WindowMaximized) << maximised;
        QTest::newRow("minimised subwindow writes nothing")
            << true << int(Qt::WindowMinimized) << QStringList{"11", "22", "333", "444", "Yes"};
    }
    void save() {
        QFETCH(bool, sub);
        QFETCH(int, state);
        QFETCH(QStringList, stored);
        test::Seams seams;
        Store({"11", "22", "333", "444", "Yes"}); // what an earlier run left
        QMdiArea area;
        QWidget window;
        QWidget* placed = Placed(sub, area, window);
        placed->setGeometry(130, 140, 350, 250);
        placed->show();
        if (state != Qt::WindowNoState) placed->setWindowState(Qt::WindowState(state));
        QTRY_COMPARE(int(placed->windowState() & ~Qt::WindowActive), state);
        SaveWindowPlacement(Content(placed), kIni, kSection);
        QCOMPARE(Stored(), stored);
    }

    void controlRules() {
        QCOMPARE(PlacementRatio(400, 300), 1.3333); // kept to four decimals
        QCOMPARE(PlacementRatio(200, 300), 0.6667);
        QCOMPARE(PlacementRatio(200, 0), 1.0);
        // Design 400 x 300, now 600 x 450. A button exactly in the middle counts as near the left and top.
        QCOMPARE(RescaledGeometry(ControlKind::Button, QRect(160, 138, 80, 24), QSize(400, 300),
                                  QSize(600, 450), 1.5, 1.5),
                 QRect(160, 138, 80, 24));
    }

    void controlsFollowTheWindow() {
        QWidget window;
        window.resize(400, 300);
        auto* list = new QListWidget(&window);
        list->setGeometry(10, 10, 380, 200);
        auto* ok = new QPushButton(QStringLiteral("OK"), &window);
        ok->setGeometry(10, 260, 80, 24);
        auto* close = new QPushButton(QStringLiteral("Close"), &window);
        close->setGeometry(300, 260, 80, 24);
        auto* edit = new QLineEdit(&window);
        edit->setGeometry(10, 220, 200, 22);
        auto* check = new QCheckBox(QStringLiteral("Mark"), &window);
        check->setGeometry(10, 250, 100, 20);
        // A group laid out by a layout: the group scales, its contents follow the layout.
        auto* group = new QGroupBox(&window);
        group->setGeometry(290, 220, 100, 30);
        (new QVBoxLayout(group))->addWidget(new QPushButton(QStringLiteral("x")));

        ControlRescaler* rescaler = ControlRescaler::Attach(&window, true);
        window.show();
        QVERIFY(!rescaler->Apply()); // same size as designed: nothing to do
        window.resize(800, 600);     // followed by the rescaler
        QCOMPARE(list->geometry(), QRect(20, 20, 760, 400));
        QCOMPARE(ok->geometry(),
                 QRect(10, 560, 80, 24)); // buttons keep size and distance to the nearer edges
        QCOMPARE(close->geometry(), QRect(700, 560, 80, 24));
        QCOMPARE(edit->geometry(), QRect(20, 440, 400, 22));  // entries keep their height
        QCOMPARE(check->geometry(), QRect(20, 500, 100, 20)); // check boxes keep their size
        QCOMPARE(group->geometry(), QRect(580, 440, 200, 60));
        QVERIFY(!rescaler->Apply());
    }
};

QTEST_MAIN(PlacementTest)
#include "tst_Placement.moc"
