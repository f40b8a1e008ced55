#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QtTest>

#include "editor/app/Presentacion.h"
#include "TestSupport.h"

using namespace kivo::editor;

class PresentacionTest : public QObject {
    Q_OBJECT
private slots:
    void showsTitleAndWaitsFiveSeconds();
    void closesAtTheTimerTick();
    void mouse_data();
    void mouse();
    void silentWithoutSoundFile();
    void playsTheStartDirectorysSound();
};

void PresentacionTest::showsTitleAndWaitsFiveSeconds() {
    test::Seams seams;
    auto* splash = new Presentacion;
    QPointer<Presentacion> guard(splash);
    splash->show();
    QVERIFY(splash->isModal());
    QVERIFY(splash->timer()->isActive());
    QVERIFY(splash->timer()->isSingleShot());
    QCOMPARE(splash->timer()->interval(), 5000);
    bool titled = false;
    for (QLabel* label : splash->findChildren<QLabel*>()) {
        if (label->text() != QLatin1String("PC KIVO EDITOR 1.40")) continue;
        titled = true;
        QVERIFY(label->font().bold());
        QCOMPARE(label->font().pointSize(), 18);
        QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    }
    QVERIFY(titled);
    delete splash;
}

void PresentacionTest::closesAtTheTimerTick() {
    test::Seams seams;
    QPointer<Presentacion> splash = new Presentacion;
    splash->show();
    // The tick itself, without waiting five seconds.
    QTimerEvent tick(splash->timer()->timerId());
    QCoreApplication::sendEvent(splash->timer(), &tick);
    QVERIFY(!splash->isVisible());
    QTRY_VERIFY(!splash); // deleted once closed
}

void PresentacionTest::mouse_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<bool>("closes");
    QTest::newRow("left click") << int(Qt::LeftButton) << false << true;
    QTest::newRow("right click") << int(Qt::RightButton) << false << true;
    QTest::newRow("left double-click") << int(Qt::LeftButton) << true << true;
    QTest::newRow("middle click") << int(Qt::MiddleButton) << false << false;
}

void PresentacionTest::mouse() {
    QFETCH(int, button);
    QFETCH(bool, doubleClick);
    QFETCH(bool, closes);
    test::Seams seams;
    QPointer<Presentacion> splash = new Presentacion;
    splash->show();
    const QPoint inside(20, 20);
    if (doubleClick) {
        QMouseEvent event(QEvent::MouseButtonDblClick, inside, splash->mapToGlobal(inside),
                          Qt::MouseButton(button), Qt::MouseButton(button), Qt::NoModifier);
        QCoreApplication::sendEvent(splash, &event);
    } else {
        QTest::mousePress(splash, Qt::MouseButton(button), Qt::NoModifier, inside);
    }
    QCOMPARE(splash->isVisible(), !closes);
    if (splash) {
        QCOMPARE(splash->timer()->isActive(), !closes);
        delete splash;
    }
}

void PresentacionTest::silentWithoutSoundFile() {
    test::Seams seams; // an empty start directory: no presenta.wav
    Presentacion splash;
    QVERIFY(!splash.soundStarted());
}

void PresentacionTest::playsTheStartDirectorysSound() {
    test::Seams seams;
    // A tenth of a second of silence, 8 kHz mono 8-bit PCM.
    const int samples = 800;
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(8000) << quint16(1)
        << quint16(8);
    out.writeRawData("data", 4);
    out << quint32(samples);
    wav.append(QByteArray(samples, char(0x80)));
    QFile file(QDir(seams.start.path()).filePath(QStringLiteral("presenta.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(wav);
    file.close();

    QWidget frame;
    auto* splash = new Presentacion(&frame);
    // Started when the build can play sounds; a missing audio device is no error either way.
    QCOMPARE(splash->soundStarted(), Presentacion::SoundSupported());
    splash->close();
}

QTEST_MAIN(PresentacionTest)
#include "tst_Presentacion.moc"
