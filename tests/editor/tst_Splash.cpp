#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include "editor/app/Presentacion.h"
#include "editor/app/Principal.h"
#include "TestSupport.h"

using namespace kivo;
using namespace kivo::editor;

// The splash: what closes it, its sound, and where it stands over the frame.
class SplashTest : public QObject {
    Q_OBJECT
private slots:
    void splashCloses_data() {
        QTest::addColumn<int>("event"); // 0: the timer's tick
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("closes");
        QTest::newRow("timer tick") << 0 << Qt::NoButton << true;
        QTest::newRow("left click") << int(QEvent::MouseButtonPress) << Qt::LeftButton << true;
        QTest::newRow("left double-click") << int(QEvent::MouseButtonDblClick) << Qt::LeftButton << true;
        QTest::newRow("right click") << int(QEvent::MouseButtonPress) << Qt::RightButton << true;
        QTest::newRow("middle click") << int(QEvent::MouseButtonPress) << Qt::MiddleButton << false;
    }
    void splashCloses() {
        QFETCH(int, event);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, closes);
        test::Seams seams;
        QPointer<Presentacion> splash = new Presentacion;
        splash->show();
        QVERIFY(splash->isModal());
        QCOMPARE(splash->timer()->interval(), 5000);
        QTimerEvent tick(splash->timer()->timerId()); // the tick itself, without waiting five seconds
        QMouseEvent mouse(QEvent::Type(event), QPointF(20, 20), splash->mapToGlobal(QPointF(20, 20)), button,
                          button, Qt::NoModifier);
        if (event)
            QCoreApplication::sendEvent(splash, &mouse);
        else
            QCoreApplication::sendEvent(splash->timer(), &tick);
        QCOMPARE(splash->isVisible(), !closes);
        if (!closes) QVERIFY(splash->timer()->isActive());
        if (!closes) delete splash;
        QTRY_VERIFY(!splash); // deleted once closed
    }

    void splashSound() {
        test::Seams seams;
        QWidget frame;
        QVERIFY(!Presentacion(&frame).soundStarted()); // no presenta.wav in the start directory: silent
        // A tenth of a second of silence, 8 kHz mono 8-bit PCM.
        const QByteArray header =
            QByteArray::fromHex("524946464403000057415645666d74201000000001000100401f0000"
                                "401f0000010008006461746120030000");
        QVERIFY(test::WriteFile(seams.StartFile("presenta.wav"), header + QByteArray(800, char(0x80))));
        QCOMPARE(Presentacion(&frame).soundStarted(), Presentacion::SoundSupported());
    }

    void splashOverTheFrame() {
        test::Seams seams;
        Principal frame;
        frame.Start(true);
        QWidget* splash = frame.splash();
        QVERIFY(splash && splash->isVisible());
        const QPoint offset = splash->frameGeometry().center() - frame.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        splash->close();
    }
};

QTEST_MAIN(SplashTest)
#include "tst_Splash.moc"
