#include <QtTest>

#include <set>

#include "editor/teams/KitPictures.h"

using namespace kivo;
using namespace kivo::editor;

namespace {

const char* const kFamilies[] = {"CA_LIS_", "CA_VER_", "CA_HOR_", "M_LI_I_", "M_LI_D_", "MA_B_I_", "MA_B_D_",
                                 "MA_V_I_", "MA_V_D_", "MA_H_I_", "MA_H_D_", "SHORT_",  "MEDIAS_"};

// The colour table's RGB for the plain colours (Gray and Orange are patterns, checked on their own).
const QRgb kPlain[10] = {0,        0xFFFFFF, 0x000000, 0,        0xFF0000,
                         0x0000FF, 0x800000, 0x00FFFF, 0x008000, 0xFFFF00};

QImage Image(const QString& name) {
    return EmbeddedPicture(name).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage Garment(const char* family, int colour) {
    return Image(QStringLiteral("~%1%2.ICO").arg(QLatin1String(family)).arg(colour));
}

using Mask = std::set<std::pair<int, int>>;

Mask Opaque(const QImage& image) {
    Mask mask;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            if (alpha == 255)
                mask.insert({x, y});
            else if (alpha != 0)
                qWarning("partly transparent pixel at %d,%d", x, y);
        }
    return mask;
}

Mask Mirrored(const Mask& mask) {
    Mask mirrored;
    for (const auto& [x, y] : mask)
        mirrored.insert({31 - x, y});
    return mirrored;
}

bool Within(const Mask& part, const Mask& whole) {
    return std::all_of(part.begin(), part.end(), [&](const auto& p) { return whole.count(p) != 0; });
}

// The number of separate runs of occupied columns (by x) or rows (by y).
int Runs(const Mask& mask, bool byColumn) {
    std::set<int> lines;
    for (const auto& [x, y] : mask)
        lines.insert(byColumn ? x : y);
    int runs = 0, last = -2;
    for (int line : lines) {
        if (line != last + 1) ++runs;
        last = line;
    }
    return runs;
}

QRgb Rgb(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xff000000u;
}

} // namespace

class KitPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void garmentFamilyIsOneShapeInTheTableColours_data() {
        QTest::addColumn<QString>("family");
        for (const char* family : kFamilies)
            QTest::newRow(family) << QString::fromLatin1(family);
    }
    void garmentFamilyIsOneShapeInTheTableColours() {
        QFETCH(QString, family);
        const QByteArray f = family.toLatin1();
        const Mask shape = Opaque(Garment(f.constData(), 1));
        QVERIFY(shape.size() >= 20);
        // Transparent around the garment: one whole edge of the picture at least.
        QVERIFY(shape.size() < 32u * 32u * 85 / 100);
        int top = 31, bottom = 0;
        for (const auto& [x, y] : shape) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
        QVERIFY(shape.begin()->first > 0 || shape.rbegin()->first < 31 || top > 0 || bottom < 31);
        for (int colour = 0; colour <= 9; ++colour) {
            const QImage image = Garment(f.constData(), colour);
            QCOMPARE(image.size(), QSize(32, 32));
            QCOMPARE(Image(QStringLiteral("%1%2.ICO").arg(family).arg(colour)), image); // without the tilde
            QVERIFY2(Opaque(image) == shape,
                     qPrintable(QStringLiteral("colour %1 differs in shape").arg(colour)));
            int black = 0;
            for (const auto& [x, y] : shape) {
                const QRgb pixel = Rgb(image, x, y);
                if (colour == 0) {
                    QVERIFY(pixel == qRgb(192, 192, 192) || pixel == qRgb(0, 0, 0));
                    black += pixel == qRgb(0, 0, 0);
                } else if (colour == 3) {
                    QVERIFY(pixel == qRgb(255, 0, 0) || pixel == qRgb(255, 255, 0));
                    if (shape.count({x + 1, y})) QVERIFY(Rgb(image, x + 1, y) != pixel); // alternating
                } else {
                    QCOMPARE(pixel, 0xFF000000u | kPlain[colour]);
                }
            }
            if (colour == 0 && shape.size() >= 100) {
                QVERIFY(black >= 1);
                QVERIFY(black * 10 < static_cast<int>(shape.size())); // a few, not a pattern of black
            }
        }
    }

    // Each overlay covers part of its garment; a right sleeve, with its overlay, mirrors the left one.
    void overlaysArePartsOfTheirGarment_data() {
        QTest::addColumn<QString>("overlay");
        QTest::addColumn<QString>("garment");
        QTest::newRow("vertical stripes") << QStringLiteral("CA_VER_") << QStringLiteral("CA_LIS_");
        QTest::newRow("hoops") << QStringLiteral("CA_HOR_") << QStringLiteral("CA_LIS_");
        for (const auto& [kind, code] : {std::pair{"coloured", "B"}, {"striped", "V"}, {"hooped", "H"}})
            for (const auto& [side, letter] : {std::pair{"left", "I"}, {"right", "D"}})
                QTest::addRow("%s %s sleeve", side, kind) << QStringLiteral("MA_%1_%2_").arg(code, letter)
                                                          << QStringLiteral("M_LI_%1_").arg(letter);
    }
    void overlaysArePartsOfTheirGarment() {
        QFETCH(QString, overlay);
        QFETCH(QString, garment);
        const Mask part = Opaque(Garment(overlay.toLatin1().constData(), 5));
        const Mask whole = Opaque(Garment(garment.toLatin1().constData(), 5));
        QVERIFY(!part.empty());
        QVERIFY(Within(part, whole));
        QVERIFY(part.size() < whole.size()); // the garment's own colour still shows
        if (!overlay.endsWith(QLatin1String("_I_"))) return;
        const auto right = [](QString left) {
            return left.replace(QLatin1String("_I_"), QLatin1String("_D_"));
        };
        QVERIFY(Mirrored(part) == Opaque(Garment(right(overlay).toLatin1().constData(), 4)));
        QVERIFY(Mirrored(whole) == Opaque(Garment(right(garment).toLatin1().constData(), 4)));
    }

    void stripesAreTwoAndHoopsThree() {
        QCOMPARE(Runs(Opaque(Garment("CA_VER_", 2)), true), 2);
        QCOMPARE(Runs(Opaque(Garment("CA_HOR_", 2)), false), 3);
        QCOMPARE(Runs(Opaque(Garment("MEDIAS_", 2)), true), 2); // two socks
    }

    void threeDifferentFaces() {
        QImage faces[3];
        for (int f = 0; f < 3; ++f) {
            faces[f] = Image(QStringLiteral("~CARA_%1.ICO").arg(f));
            QCOMPARE(faces[f].size(), QSize(32, 32));
            QVERIFY(Opaque(faces[f]).size() > 150);
            QVERIFY(qAlpha(faces[f].pixel(0, 0)) == 0 &&
                    qAlpha(faces[f].pixel(31, 0)) == 0); // transparent corners
            QCOMPARE(FacePicture(f).toImage().convertToFormat(QImage::Format_ARGB32), faces[f]);
            std::set<QRgb> colours; // an icon of 16 colours
            for (const auto& [x, y] : Opaque(faces[f]))
                colours.insert(Rgb(faces[f], x, y));
            QVERIFY(colours.size() >= 4 && colours.size() <= 16);
        }
        // Cheek (skin) and crown (hair): light, light, dark skin; black, yellow, black hair.
        const auto light = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 150; };
        const auto yellow = [](QRgb p) { return qRed(p) > 200 && qGreen(p) > 180 && qBlue(p) < 80; };
        const auto black = [](QRgb p) { return qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40; };
        QVERIFY(light(faces[0].pixel(11, 19)) && light(faces[1].pixel(11, 19)) &&
                !light(faces[2].pixel(11, 19)));
        QVERIFY(black(faces[0].pixel(16, 5)) && yellow(faces[1].pixel(16, 5)) &&
                black(faces[2].pixel(16, 5)));
        QVERIFY(faces[0] != faces[2]);
        for (int face : {3, -1, 255})
            QVERIFY(Opaque(FacePicture(face).toImage().convertToFormat(QImage::Format_ARGB32)).empty());
    }

    void unknownNamesGiveAnEmptyPicture_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("colour above 9") << "~CA_LIS_10.ICO";
        QTest::newRow("face 3") << "~CARA_3.ICO";
        QTest::newRow("unknown family") << "~CAMISA_1.ICO";
        QTest::newRow("family without colour") << "~SHORT_.ICO";
        QTest::newRow("empty") << "";
        QTest::newRow("tilde alone") << "~";
    }
    void unknownNamesGiveAnEmptyPicture() {
        QFETCH(QString, name);
        const QImage image = Image(name);
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(Opaque(image).empty());
        QCOMPARE(qAlpha(image.pixel(16, 16)), 0);
    }

    void fourDifferentDesignSamples() {
        const QImage plain = Image("LISA.BMP"), sleeves = Image("MANGAS.BMP"),
                     vertical = Image("VERTICAL.BMP"), hoops = Image("HORIZONT.BMP");
        for (const QImage* sample : {&plain, &sleeves, &vertical, &hoops}) {
            QVERIFY(sample->width() > 32 && sample->height() >= 32);
            QVERIFY(Opaque(*sample).size() > 300);
        }
        QVERIFY(plain != sleeves && plain != vertical && plain != hoops);
        QVERIFY(sleeves != vertical && sleeves != hoops && vertical != hoops);
        const auto whites = [](const QImage& image) {
            int n = 0;
            for (const auto& [x, y] : Opaque(image))
                n += Rgb(image, x, y) == qRgb(255, 255, 255);
            return n;
        };
        QCOMPARE(whites(plain), 0); // a plain shirt shows no second colour
        QVERIFY(whites(sleeves) > 0 && whites(vertical) > 0 && whites(hoops) > 0);
    }

    // Each kit is set over a hooped one in other colours: no layer of the earlier design stays.
    void previewShowsTheLayersOfTheDesign_data() {
        QTest::addColumn<char>("design");
        QTest::addColumn<QList<int>>("colours");
        QTest::addColumn<QStringList>("layers");
        QTest::newRow("plain shows five layers")
            << 'L' << QList<int>{1, 2, 2, 1}
            << QStringList{"~M_LI_I_1.ICO", "~M_LI_D_1.ICO", "~CA_LIS_1.ICO", "~SHORT_2.ICO",
                           "~MEDIAS_1.ICO"};
        QTest::newRow("coloured sleeves")
            << 'M' << QList<int>{4, 1, 1, 4}
            << QStringList{"~M_LI_I_4.ICO", "~MA_B_I_1.ICO", "~M_LI_D_4.ICO", "~MA_B_D_1.ICO",
                           "~CA_LIS_4.ICO", "~SHORT_1.ICO",  "~MEDIAS_4.ICO"};
    }
    void previewShowsTheLayersOfTheDesign() {
        QFETCH(char, design);
        QFETCH(QList<int>, colours);
        QFETCH(QStringList, layers);
        KitPreview preview;
        preview.SetKit('H', 5, 6, 7, 0);
        QVERIFY(preview.LayerNames().contains("~CA_HOR_6.ICO"));
        preview.SetKit(design, colours[0], colours[1], colours[2], colours[3]);
        QCOMPARE(preview.LayerNames(), layers);
    }

    // Layers at their dialog-unit places, 1.5 pixels a unit across and 4/3 down, inside a one-pixel
    // outline: the left sleeve at (1, 5), the body at (28, 1), the shorts at (28, 33), the socks at (28, 44).
    void previewDrawsEachColourWhereItsLayerIs_data() {
        QTest::addColumn<char>("design");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QRgb>("expected");
        const QRgb blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255), red = qRgb(255, 0, 0),
                   green = qRgb(0, 128, 0);
        // Kit: main Blue, second White, shorts Red, socks Green.
        QTest::newRow("body in main colour") << 'V' << QPoint(32, 16) << blue;
        QTest::newRow("stripe in second colour") << 'V' << QPoint(37, 16) << white;
        QTest::newRow("no stripe on a plain shirt") << 'L' << QPoint(37, 16) << blue;
        QTest::newRow("hoop in second colour") << 'H' << QPoint(32, 10) << white;
        QTest::newRow("no hoop on colored sleeves") << 'M' << QPoint(32, 10) << blue;
        QTest::newRow("coloured sleeve") << 'M' << QPoint(26, 13) << white;
        QTest::newRow("plain sleeve") << 'L' << QPoint(26, 13) << blue;
        QTest::newRow("shorts") << 'L' << QPoint(38, 35) << red;
        QTest::newRow("socks") << 'L' << QPoint(36, 54) << green;
    }
    void previewDrawsEachColourWhereItsLayerIs() {
        QFETCH(char, design);
        QFETCH(QPoint, at);
        QFETCH(QRgb, expected);
        KitPreview preview;
        preview.SetKit(design, 5, 1, 4, 8);
        const QImage kit = preview.Composite();
        QCOMPARE(kit.pixel(at) | 0xff000000u, expected);
        QCOMPARE(qAlpha(kit.pixel(0, 0)), 0); // the corner stays transparent
        // On screen at twice the size: each picture pixel a 2 x 2 square.
        preview.resize(kit.size() * 2);
        const QImage shown = preview.grab().toImage();
        QCOMPARE(shown.pixel(at * 2) | 0xff000000u, expected);
        QCOMPARE(shown.pixel(at * 2 + QPoint(1, 1)) | 0xff000000u, expected);
    }

    void colourAboveNineDrawsNoGarment() {
        KitPreview preview;
        preview.SetKit('L', 12, 1, 4, 8);
        const QImage kit = preview.Composite();
        QCOMPARE(qAlpha(kit.pixel(32, 16)), 0);                     // no body, no sleeves
        QCOMPARE(kit.pixel(38, 35) | 0xff000000u, qRgb(255, 0, 0)); // the shorts still show
    }
};

QTEST_MAIN(KitPicturesTest)
#include "tst_KitPictures.moc"
