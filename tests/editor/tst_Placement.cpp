#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

#include "core/settings/IniFile.h"
#include "editor/app/WindowPlacement.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

const std::string kIni = "zeltra.ini";
const std::string kSection = "VerEquipos";
const QRect kDesign(40, 50, 300, 200);

struct Stored {
    const char* x;
    const char* y;
    const char* width;
    const char* height;
    const char* maximize;
};

void Store(const Stored& s) {
    const std::string ini = PlacementIniPath(kIni);
    auto put = [&](const char* key, const char* value) {
        if (value) WriteIniText(ini, kSection, key, value);
    };
    put("XPosit", s.x);
    put("YPosit", s.y);
    put("Width", s.width);
    put("Height", s.height);
    put("Maximize", s.maximize);
}

std::string Read(const char* key) {
    return ReadIniText(PlacementIniPath(kIni), kSection, key, "<missing>");
}

} // namespace

Q_DECLARE_METATYPE(Stored)

class PlacementTest : public QObject {
    Q_OBJECT
private slots:
    void restore_data();
    void restore();
    void restoreSubWindow_data() { restore_data(); }
    void restoreSubWindow();
    void saveNormal();
    void saveMaximisedKeepsNormalGeometry();
    void saveMinimisedWritesNothing();
    void saveAndRestoreMaximisedSubWindow();
    void nothingIsWrittenByRestore();
};

void PlacementTest::restore_data() {
    QTest::addColumn<Stored>("stored");
    QTest::addColumn<bool>("resizable");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<bool>("maximised");

    QTest::newRow("nothing stored") << Stored{} << true << kDesign << false;
    QTest::newRow("all stored") << Stored{"120", "80", "420", "260", "No"} << true << QRect(120, 80, 420, 260)
                                << false;
    QTest::newRow("x 0 restores nothing, not even the maximised state")
        << Stored{"0", "80", "420", "260", "Yes"} << true << kDesign << false;
    QTest::newRow("x not a number") << Stored{"abc", "80", "420", "260", "Yes"} << true << kDesign << false;
    QTest::newRow("y 0 keeps the design place but maximises")
        << Stored{"120", "0", "420", "260", "Yes"} << true << kDesign << true;
    QTest::newRow("width 0 keeps the design place")
        << Stored{"120", "80", "0", "260", "No"} << true << kDesign << false;
    QTest::newRow("lower-case yes does not maximise")
        << Stored{"120", "80", "420", "260", "yes"} << true << QRect(120, 80, 420, 260) << false;
    QTest::newRow("Yes with trailing blanks maximises")
        << Stored{"120", "80", "420", "260", "Yes   "} << true << QRect(120, 80, 420, 260) << true;
    QTest::newRow("not resizable: stored place, design size")
        << Stored{"120", "80", "420", "260", "No"} << false << QRect(120, 80, 300, 200) << false;
    QTest::newRow("not resizable, width 0 still moves")
        << Stored{"120", "80", "0", "0", "No"} << false << QRect(120, 80, 300, 200) << false;
}

void PlacementTest::restore() {
    QFETCH(Stored, stored);
    QFETCH(bool, resizable);
    QFETCH(QRect, expected);
    QFETCH(bool, maximised);

    test::Seams seams;
    Store(stored);
    QWidget window;
    window.setGeometry(kDesign);
    if (!resizable) window.setFixedSize(kDesign.size());
    RestoreWindowPlacement(&window, kIni, kSection);
    window.show();
    QCOMPARE(window.isMaximized(), maximised);
    QCOMPARE(window.normalGeometry(), expected);
}

void PlacementTest::restoreSubWindow() {
    QFETCH(Stored, stored);
    QFETCH(bool, resizable);
    QFETCH(QRect, expected);
    QFETCH(bool, maximised);

    test::Seams seams;
    Store(stored);
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    auto* content = new QWidget;
    QMdiSubWindow* sub = area.addSubWindow(content);
    sub->setGeometry(kDesign);
    if (!resizable) sub->setFixedSize(kDesign.size());
    sub->show();
    RestoreWindowPlacement(content, kIni, kSection);
    QCOMPARE(sub->isMaximized(), maximised);
    if (maximised) sub->showNormal();
    QCOMPARE(sub->geometry(), expected);
}

void PlacementTest::saveNormal() {
    test::Seams seams;
    QWidget window;
    window.setGeometry(130, 140, 350, 250);
    window.show();
    SaveWindowPlacement(&window, kIni, kSection);
    QCOMPARE(Read("Maximize"), std::string("No"));
    QCOMPARE(Read("XPosit"), std::string("130"));
    QCOMPARE(Read("YPosit"), std::string("140"));
    QCOMPARE(Read("Width"), std::string("350"));
    QCOMPARE(Read("Height"), std::string("250"));
}

void PlacementTest::saveMaximisedKeepsNormalGeometry() {
    test::Seams seams;
    QWidget window;
    window.setGeometry(130, 140, 350, 250);
    window.show();
    window.showMaximized();
    QTRY_VERIFY(window.isMaximized());
    SaveWindowPlacement(&window, kIni, kSection);
    QCOMPARE(Read("Maximize"), std::string("Yes"));
    QCOMPARE(Read("XPosit"), std::string("130"));
    QCOMPARE(Read("Width"), std::string("350"));

    // Next time it opens maximised, and un-maximising shows the normal placement.
    QWidget again;
    again.setGeometry(kDesign);
    RestoreWindowPlacement(&again, kIni, kSection);
    again.show();
    QVERIFY(again.isMaximized());
    QCOMPARE(again.normalGeometry(), QRect(130, 140, 350, 250));
}

void PlacementTest::saveMinimisedWritesNothing() {
    test::Seams seams;
    Store({"11", "22", "333", "444", "No"});
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    auto* content = new QWidget;
    QMdiSubWindow* sub = area.addSubWindow(content);
    sub->setGeometry(kDesign);
    sub->show();
    sub->showMinimized();
    QVERIFY(sub->isMinimized());
    SaveWindowPlacement(content, kIni, kSection);
    QCOMPARE(Read("XPosit"), std::string("11"));
    QCOMPARE(Read("Width"), std::string("333"));
}

void PlacementTest::saveAndRestoreMaximisedSubWindow() {
    test::Seams seams;
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    auto* content = new QWidget;
    QMdiSubWindow* sub = area.addSubWindow(content);
    sub->setGeometry(60, 70, 320, 240);
    sub->show();
    sub->showMaximized();
    SaveWindowPlacement(content, kIni, kSection);
    QCOMPARE(Read("Maximize"), std::string("Yes"));
    QCOMPARE(Read("XPosit"), std::string("60"));
    QCOMPARE(Read("YPosit"), std::string("70"));
    QCOMPARE(Read("Width"), std::string("320"));
    QCOMPARE(Read("Height"), std::string("240"));
}

void PlacementTest::nothingIsWrittenByRestore() {
    test::Seams seams;
    QWidget window;
    RestoreWindowPlacement(&window, kIni, kSection);
    QVERIFY(!QFile::exists(QString::fromStdString(PlacementIniPath(kIni))));
}

QTEST_MAIN(PlacementTest)
#include "tst_Placement.moc"
