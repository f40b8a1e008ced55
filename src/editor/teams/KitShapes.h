#pragma once

#include <QImage>
#include <QRgb>

namespace kivo::editor {

// The garment families in the order of EmbeddedPictureNames().
enum class Garment {
    BodyPlain,
    BodyVertical,
    BodyHorizontal,
    SleeveLeft,
    SleeveRight,
    SleeveLeftColoured,
    SleeveRightColoured,
    SleeveLeftVertical,
    SleeveRightVertical,
    SleeveLeftHorizontal,
    SleeveRightHorizontal,
    Shorts,
    Socks,
};
inline constexpr int kGarmentFamilyCount = 13;
inline constexpr int kPictureSize = 32;

// Whether pixel (x, y) of a 32 x 32 garment picture belongs to the garment.
bool GarmentCovers(Garment garment, int x, int y);
// The pixel of colour code 0..9 at (x, y): Gray speckled with black, Orange as alternating red and
// yellow, the others plain.
QRgb ColourPixel(int colour, int x, int y);
// A garment picture: the shape in the colour, transparent elsewhere.
QImage DrawGarment(Garment garment, int colour);
// A face picture 0..2; a transparent picture for any other code.
QImage DrawFace(int face);
// Paints the transparent pixels that touch the drawn ones, so that light colours stand out.
void OutlineSilhouette(QImage& image, QRgb outline);

} // namespace kivo::editor
