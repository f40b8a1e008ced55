#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <QVBoxLayout>

#include "editor/ui/ControlRescaler.h"

using namespace kivo::editor;

Q_DECLARE_METATYPE(kivo::editor::ControlKind)

class ControlRescalerTest : public QObject {
    Q_OBJECT
private slots:
    void ratio_data();
    void ratio();
    void geometry_data();
    void geometry();
    void window();
};

void ControlRescalerTest::ratio_data() {
    QTest::addColumn<int>("now");
    QTest::addColumn<int>("design");
    QTest::addColumn<double>("ratio");
    QTest::newRow("same") << 300 << 300 << 1.0;
    QTest::newRow("double") << 600 << 300 << 2.0;
    QTest::newRow("four decimals") << 400 << 300 << 1.3333;
    QTest::newRow("rounded up") << 200 << 300 << 0.6667;
    QTest::newRow("no design size") << 200 << 0 << 1.0;
}

void ControlRescalerTest::ratio() {
    QFETCH(int, now);
    QFETCH(int, design);
    QFETCH(double, ratio);
    QCOMPARE(PlacementRatio(now, design), ratio);
}

void ControlRescalerTest::geometry_data() {
    QTest::addColumn<ControlKind>("kind");
    QTest::addColumn<QRect>("design");
    QTest::addColumn<QRect>("expected");
    // Window 400 x 300 at design, 600 x 450 now: ratios 1.5 and 1.5.
    QTest::newRow("button near the top left keeps its place")
        << ControlKind::Button << QRect(10, 20, 80, 24) << QRect(10, 20, 80, 24);
    QTest::newRow("button near the bottom right keeps its distances")
        << ControlKind::Button << QRect(300, 260, 80, 24) << QRect(500, 410, 80, 24);
    QTest::newRow("button exactly in the middle counts as near the left")
        << ControlKind::Button << QRect(160, 138, 80, 24) << QRect(160, 138, 80, 24);
    QTest::newRow("check box keeps its size")
        << ControlKind::Check << QRect(100, 100, 90, 20) << QRect(150, 150, 90, 20);
    QTest::newRow("entry keeps its height")
        << ControlKind::Entry << QRect(101, 51, 121, 21) << QRect(151, 76, 181, 21);
    QTest::newRow("list scales") << ControlKind::Other << QRect(10, 10, 381, 201) << QRect(15, 15, 571, 301);
}

void ControlRescalerTest::geometry() {
    QFETCH(ControlKind, kind);
    QFETCH(QRect, design);
    QFETCH(QRect, expected);
    QCOMPARE(RescaledGeometry(kind, design, QSize(400, 300), QSize(600, 450), 1.5, 1.5), expected);
}

void ControlRescalerTest::window() {
    QWidget window;
    window.resize(400, 300);
    auto* list = new QListWidget(&window);
    list->setGeometry(10, 10, 380, 200);
    auto* close = new QPushButton(QStringLiteral("Close"), &window);
    close->setGeometry(300, 260, 80, 24);
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(10, 220, 200, 22);
    auto* spin = new QSpinBox(&window);
    spin->setGeometry(220, 220, 60, 22);
    auto* check = new QCheckBox(QStringLiteral("Mark"), &window);
    check->setGeometry(10, 250, 100, 20);
    // A group laid out by a layout: the group scales, its contents follow the layout.
    auto* group = new QGroupBox(&window);
    group->setGeometry(290, 220, 100, 30);
    auto* inner = new QPushButton(QStringLiteral("x"));
    (new QVBoxLayout(group))->addWidget(inner);

    ControlRescaler* rescaler = ControlRescaler::Attach(&window, true);
    window.show();
    QVERIFY(!rescaler->Apply()); // same size as designed: nothing to do

    window.resize(800, 600); // followed by the rescaler
    QCOMPARE(list->geometry(), QRect(20, 20, 760, 400));
    QCOMPARE(close->geometry(), QRect(700, 560, 80, 24));
    QCOMPARE(edit->geometry(), QRect(20, 440, 400, 22));
    QCOMPARE(spin->geometry(), QRect(440, 440, 120, 22));
    QCOMPARE(check->geometry(), QRect(20, 500, 100, 20));
    QCOMPARE(group->geometry(), QRect(580, 440, 200, 60));
    QVERIFY(!rescaler->Apply());

    window.resize(400, 300); // back to the design size: the design geometry again
    QCOMPARE(list->geometry(), QRect(10, 10, 380, 200));
    QCOMPARE(close->geometry(), QRect(300, 260, 80, 24));
}

QTEST_MAIN(ControlRescalerTest)
#include "tst_ControlRescaler.moc"
