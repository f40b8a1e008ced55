#include "editor/teams/KitShapes.h"

#include <cmath>
#include <cstdlib>

#include <QPainter>

namespace kivo::editor {

namespace {

// The shirt body: shoulders to hem, with a V neck.
bool Torso(int x, int y) {
    if (x < 3 || x > 28 || y < 1) return false;
    if (y <= 4 && std::abs(x - 15.5) < (5 - y) * 1.5) return false;
    return true;
}

// The three bands of a hooped body; the sleeves' hoops continue them (the sleeves sit four pixels lower).
bool HoopRow(int bodyRow) {
    return (bodyRow >= 7 && bodyRow <= 11) || (bodyRow >= 17 && bodyRow <= 21) ||
           (bodyRow >= 27 && bodyRow <= 31);
}
constexpr int kSleeveDrop = 4;

// A left sleeve reaching from under the body's shoulder down and out to its cuff, measured along its axis
// (u, from the shoulder) and across it (v).
struct SleevePoint {
    bool inside;
    double u;
    double v;
};
constexpr double kSleeveLength = 19.0;

SleevePoint LeftSleeve(int x, int y) {
    const double dx = -0.766, dy = 0.643; // down and out, 40 degrees below the shoulder line
    const double px = x + 0.5 - 32.0, py = y + 0.5 - 3.0;
    const double u = px * dx + py * dy;
    const double v = px * dy - py * dx;
    const double half = 6.5 - 1.5 * (u / kSleeveLength);
    const bool inside = u >= -2.0 && u <= kSleeveLength && std::abs(v) <= half;
    return {inside, u, v};
}

bool Sleeve(Garment left, int x, int y) {
    const SleevePoint p = LeftSleeve(x, y);
    if (!p.inside) return false;
    switch (left) {
    case Garment::SleeveLeft:
        return true;
    case Garment::SleeveLeftColoured:
        return p.u <= kSleeveLength - 2.5; // the cuff keeps the shirt's colour
    case Garment::SleeveLeftVertical:
        return std::abs(p.v) <= 2.0;
    default:
        return HoopRow(y + kSleeveDrop);
    }
}

bool Shorts(int x, int y) {
    if (y < 0 || y > 13) return false;
    if (y >= 8) return (x >= 3 && x <= 13) || (x >= 18 && x <= 28);
    return x >= 4 && x <= 27 && !(y >= 6 && x >= 15 && x <= 16);
}

bool Socks(int x, int y) {
    if (y >= 4 && y <= 22) return (x >= 6 && x <= 11) || (x >= 20 && x <= 25);
    if (y >= 23 && y <= 25) return (x >= 4 && x <= 11) || (x >= 20 && x <= 27);
    return false;
}

} // namespace

bool GarmentCovers(Garment garment, int x, int y) {
    if (x < 0 || y < 0 || x >= kPictureSize || y >= kPictureSize) return false;
    switch (garment) {
    case Garment::BodyPlain:
        return Torso(x, y);
    case Garment::BodyVertical:
        return Torso(x, y) && ((x >= 6 && x <= 11) || (x >= 20 && x <= 25));
    case Garment::BodyHorizontal:
        return Torso(x, y) && HoopRow(y);
    case Garment::SleeveLeft:
    case Garment::SleeveLeftColoured:
    case Garment::SleeveLeftVertical:
    case Garment::SleeveLeftHorizontal:
        return Sleeve(garment, x, y);
    case Garment::SleeveRight:
        return Sleeve(Garment::SleeveLeft, kPictureSize - 1 - x, y);
    case Garment::SleeveRightColoured:
        return Sleeve(Garment::SleeveLeftColoured, kPictureSize - 1 - x, y);
    case Garment::SleeveRightVertical:
        return Sleeve(Garment::SleeveLeftVertical, kPictureSize - 1 - x, y);
    case Garment::SleeveRightHorizontal:
        return Sleeve(Garment::SleeveLeftHorizontal, kPictureSize - 1 - x, y);
    case Garment::Shorts:
        return Shorts(x, y);
    case Garment::Socks:
        return Socks(x, y);
    }
    return false;
}

QRgb ColourPixel(int colour, int x, int y) {
    switch (colour) {
    case 0:
        return (x % 6 == 3 && y % 6 == 3) ? qRgb(0, 0, 0) : qRgb(192, 192, 192);
    case 1:
        return qRgb(255, 255, 255);
    case 2:
        return qRgb(0, 0, 0);
    case 3:
        return (x + y) % 2 == 0 ? qRgb(255, 0, 0) : qRgb(255, 255, 0);
    case 4:
        return qRgb(255, 0, 0);
    case 5:
        return qRgb(0, 0, 255);
    case 6:
        return qRgb(128, 0, 0);
    case 7:
        return qRgb(0, 255, 255);
    case 8:
        return qRgb(0, 128, 0);
    default:
        return qRgb(255, 255, 0);
    }
}

QImage DrawGarment(Garment garment, int colour) {
    QImage image(kPictureSize, kPictureSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < kPictureSize; ++y)
        for (int x = 0; x < kPictureSize; ++x)
            if (GarmentCovers(garment, x, y)) image.setPixel(x, y, ColourPixel(colour, x, y));
    return image;
}

QImage DrawFace(int face) {
    QImage image(kPictureSize, kPictureSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (face < 0 || face > 2) return image;
    const QColor skin = face == 2 ? QColor(140, 82, 40) : QColor(255, 206, 160);
    const QColor hair = face == 1 ? QColor(255, 220, 0) : QColor(0, 0, 0);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    // Neck, then the hair behind the head, then the head and ears.
    p.setBrush(skin);
    p.drawRect(13, 25, 6, 5);
    p.setBrush(hair);
    if (face == 1)
        p.drawRoundedRect(7, 3, 18, 22, 6, 6); // longer fair hair down to the jaw
    else
        p.drawEllipse(8, 3, 16, 13);
    p.setBrush(skin);
    p.drawEllipse(9, 7, 14, 19);
    p.drawEllipse(7, 14, 3, 5);
    p.drawEllipse(22, 14, 3, 5);
    // The fringe over the forehead.
    p.setBrush(hair);
    p.drawRect(10, 6, 12, 3);
    if (face == 2) p.drawRect(9, 8, 2, 3), p.drawRect(21, 8, 2, 3);
    // Eyes, nose and mouth.
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(12, 14, 3, 2);
    p.drawRect(17, 14, 3, 2);
    p.setBrush(QColor(0, 0, 0));
    p.drawRect(13, 14, 1, 2);
    p.drawRect(18, 14, 1, 2);
    p.setBrush(skin.darker(130));
    p.drawRect(15, 17, 2, 3);
    p.setBrush(QColor(176, 0, 0));
    p.drawRect(13, 21, 6, 1);
    p.end();
    OutlineSilhouette(image, qRgb(64, 40, 24));
    return image;
}

void OutlineSilhouette(QImage& image, QRgb outline) {
    if (image.format() != QImage::Format_ARGB32) image = image.convertToFormat(QImage::Format_ARGB32);
    const QImage source = image.copy();
    const int w = source.width(), h = source.height();
    const auto drawn = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h &&
               qAlpha(reinterpret_cast<const QRgb*>(source.constScanLine(y))[x]) != 0;
    };
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            if (!drawn(x, y) && (drawn(x - 1, y) || drawn(x + 1, y) || drawn(x, y - 1) || drawn(x, y + 1)))
                line[x] = outline;
    }
}

} // namespace kivo::editor
