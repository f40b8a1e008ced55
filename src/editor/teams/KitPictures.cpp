#include "editor/teams/KitPictures.h"

#include <cmath>

#include <QHash>
#include <QPainter>
#include <QPaintEvent>

#include "editor/teams/KitShapes.h"

namespace kivo::editor {

namespace {

// Dialog units to picture pixels: a dialog unit of the classic 8-point dialog font is about 1.5 pixels
// across and 4/3 of a pixel down. The preview's own top-left is the left sleeve's column and the body's row.
constexpr double kPixelsPerUnitX = 1.5;
constexpr double kPixelsPerUnitY = 4.0 / 3.0;
constexpr int kOutlineMargin = 1;

QPoint LayerOffset(std::size_t layer) {
    const KitLayerPlace& place = kKitLayerPlaces[layer];
    const int x = static_cast<int>(std::lround((place.x - kKitLayerPlaces[0].x) * kPixelsPerUnitX));
    const int y = static_cast<int>(std::lround((place.y - kKitLayerPlaces[4].y) * kPixelsPerUnitY));
    return {x + kOutlineMargin, y + kOutlineMargin};
}

QSize CompositeSize() {
    int width = 0, height = 0;
    for (std::size_t layer = 0; layer < kKitLayerCount; ++layer) {
        const QPoint at = LayerOffset(layer);
        width = std::max(width, at.x() + kPictureSize);
        height = std::max(height, at.y() + kPictureSize);
    }
    return {width + kOutlineMargin, height + kOutlineMargin};
}

QPixmap EmptyPicture() {
    QPixmap empty(kPictureSize, kPictureSize);
    empty.fill(Qt::transparent);
    return empty;
}

// The garment and face icons, by their own names.
const QHash<QString, QPixmap>& Icons() {
    static const QHash<QString, QPixmap> icons = [] {
        QHash<QString, QPixmap> all;
        const std::vector<std::string>& names = EmbeddedPictureNames();
        const int garments = kGarmentFamilyCount * 10;
        for (int i = 0; i < garments + 3; ++i) {
            const QString name = QString::fromStdString(names[static_cast<std::size_t>(i)]);
            all.insert(name,
                       QPixmap::fromImage(i < garments ? DrawGarment(static_cast<Garment>(i / 10), i % 10)
                                                       : DrawFace(i - garments)));
        }
        return all;
    }();
    return icons;
}

QPixmap Icon(const QString& name) {
    const QString own = (name.startsWith(QLatin1Char('~')) ? name.mid(1) : name).toUpper();
    const auto found = Icons().constFind(own);
    return found != Icons().constEnd() ? *found : EmptyPicture();
}

QImage Compose(const std::array<std::optional<std::string>, kKitLayerCount>& layers) {
    QImage image(CompositeSize(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (std::size_t layer = 0; layer < kKitLayerCount; ++layer)
        if (layers[layer])
            painter.drawPixmap(LayerOffset(layer), Icon(QString::fromStdString(*layers[layer])));
    painter.end();
    OutlineSilhouette(image, qRgb(48, 48, 48));
    return image;
}

// A sample shirt of a design: red with white as the second colour, sleeve to sleeve.
QImage DesignSample(char design) {
    auto layers = KitLayerPictures(design, 4, 1, 4, 4);
    layers[6].reset();
    layers[7].reset();
    const QImage kit = Compose(layers);
    const int left = LayerOffset(0).x() + 13, right = LayerOffset(2).x() + kPictureSize - 13;
    return kit.copy(QRect(QPoint(left - 1, 0), QPoint(right, kPictureSize + 2 * kOutlineMargin)));
}

const QHash<QString, QPixmap>& Samples() {
    static const QHash<QString, QPixmap> samples = [] {
        QHash<QString, QPixmap> all;
        for (char design : {'L', 'M', 'V', 'H'})
            all.insert(QString::fromStdString(DesignSampleName(design)),
                       QPixmap::fromImage(DesignSample(design)));
        return all;
    }();
    return samples;
}

} // namespace

QPixmap EmbeddedPicture(const QString& name) {
    const auto sample = Samples().constFind(name.toUpper());
    return sample != Samples().constEnd() ? *sample : Icon(name);
}

QPixmap FacePicture(int face) {
    return EmbeddedPicture(QString::fromStdString(FacePictureName(face)));
}

KitPreview::KitPreview(QWidget* parent) : QWidget(parent), composite_(Compose(layers_)) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void KitPreview::SetKit(char design, int main, int second, int shorts, int socks) {
    layers_ = KitLayerPictures(design, main, second, shorts, socks);
    composite_ = Compose(layers_);
    update();
}

QStringList KitPreview::LayerNames() const {
    QStringList names;
    for (const auto& layer : layers_)
        if (layer) names << QString::fromStdString(*layer);
    return names;
}

QImage KitPreview::Composite() const {
    return Compose(layers_);
}

QSize KitPreview::sizeHint() const {
    return CompositeSize() * 2;
}

QSize KitPreview::minimumSizeHint() const {
    return CompositeSize();
}

void KitPreview::paintEvent(QPaintEvent*) {
    const QImage& kit = composite_;
    // Whole-number magnification keeps every picture pixel square and sharp.
    const int zoom = std::max(1, std::min(width() / kit.width(), height() / kit.height()));
    const QSize shown = kit.size() * zoom;
    const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, kit);
}

} // namespace kivo::editor
