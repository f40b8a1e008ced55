// Fixed colours on a dark palette: the team editor's line-up numbers and hint keep a readable contrast, in
// their own hues; on the usual light palette they are the design's colours exactly.

#include <QLabel>
#include <QRegularExpression>
#include <QtTest>

#include "editor/ui/Contrast.h"
#include "TeamEditorSupport.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
    dark.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    return dark;
}

// The colour a widget's style sheet gives its text.
QColor TextColour(const QWidget* w) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("rgb\\((\\d+), (\\d+), (\\d+)\\)")).match(w->styleSheet());
    if (!m.hasMatch()) return {};
    return {m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt()};
}

QColor Background(const QWidget* w) {
    return w->palette().color(w->backgroundRole());
}

} // namespace

class ContrastTest : public QObject {
    Q_OBJECT
private slots:
    void readableOn_data() {
        QTest::addColumn<QColor>("wanted");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<bool>("kept");
        QTest::newRow("green on light grey") << QColor(0, 128, 0) << QColor(0xef, 0xef, 0xef) << true;
        QTest::newRow("red on white") << QColor(255, 0, 0) << QColor(Qt::white) << true;
        QTest::newRow("green on dark grey") << QColor(0, 128, 0) << QColor(0x2b, 0x2b, 0x2b) << false;
        QTest::newRow("red on dark grey") << QColor(255, 0, 0) << QColor(0x2b, 0x2b, 0x2b) << false;
        QTest::newRow("dark red on black") << QColor(160, 0, 0) << QColor(Qt::black) << false;
        QTest::newRow("white on black reads already") << QColor(Qt::white) << QColor(Qt::black) << true;
    }
    void readableOn() {
        QFETCH(QColor, wanted);
        QFETCH(QColor, background);
        QFETCH(bool, kept);
        const QColor shown = ReadableOn(wanted, background);
        QCOMPARE(shown == wanted, kept);
        const bool dark = ContrastRatio(background, Qt::white) > ContrastRatio(background, Qt::black);
        if (dark) {
            QVERIFY2(ContrastRatio(shown, background) >= 4.5, qPrintable(shown.name()));
            // Lighter, in the same hue.
            if (wanted.hsvHue() >= 0) QVERIFY(std::abs(shown.hsvHue() - wanted.hsvHue()) <= 2);
        }
    }

    void contrastRatioOfKnownPairs() {
        QCOMPARE(qRound(ContrastRatio(Qt::black, Qt::white) * 10), 210);
        QCOMPARE(ContrastRatio(Qt::red, Qt::red), 1.0);
        QCOMPARE(ContrastRatio(Qt::white, Qt::black), ContrastRatio(Qt::black, Qt::white));
    }

    void lineUpNumbersOnTheDesignPalette() {
        test::Opened o;
        for (std::size_t r = 0; r < 16; ++r) {
            const QLabel* place = o.editor->row(r).place;
            const int n = place->text().toInt();
            QCOMPARE(TextColour(place), n >= 1 && n <= 11 ? QColor(0, 128, 0) : QColor(255, 0, 0));
        }
    }

    void lineUpNumbersReadOnADarkPalette() {
        const QPalette kept = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        {
            test::Opened o;
            for (std::size_t r = 0; r < 16; ++r) {
                const QLabel* place = o.editor->row(r).place;
                const int n = place->text().toInt();
                const QColor shown = TextColour(place);
                QVERIFY2(ContrastRatio(shown, Background(place)) >= 4.5, qPrintable(shown.name()));
                // Still green for the first eleven and red for the substitutes.
                if (n >= 1 && n <= 11)
                    QVERIFY(shown.green() > shown.red() && shown.green() > shown.blue());
                else
                    QVERIFY(shown.red() > shown.green() && shown.red() > shown.blue());
            }
            QVERIFY(ContrastRatio(TextColour(o.editor->hintLabel()), Background(o.editor->hintLabel())) >=
                    4.5);
        }
        QApplication::setPalette(kept);
    }
};

QTEST_MAIN(ContrastTest)
#include "tst_Contrast.moc"
