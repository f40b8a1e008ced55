#include <QImage>
#include <QLabel>
#include <QPainter>

#include "core/teams/PictureNames.h"
#include "editor/app/Principal.h"
#include "editor/teams/KitPictures.h"
#include "tools/screenshots/ShotSupport.h"

namespace kivo::editor {

namespace {

constexpr int kZoom = 4;
constexpr int kCell = 32 * kZoom;
constexpr int kGap = 16;
constexpr int kLabelWidth = 150;
constexpr int kLabelHeight = 22;

// A checked ground shows where a picture is transparent.
void Ground(QPainter& p, const QRect& area) {
    for (int y = area.top(); y < area.bottom(); y += 16)
        for (int x = area.left(); x < area.right(); x += 16) {
            const bool dark = ((x - area.left()) / 16 + (y - area.top()) / 16) % 2 == 0;
            p.fillRect(QRect(x, y, 16, 16).intersected(area),
                       dark ? QColor(140, 150, 160) : QColor(170, 180, 190));
        }
}

void Picture(QPainter& p, const QPoint& at, const QPixmap& picture, const QString& caption) {
    const QRect area(at, picture.size() * kZoom);
    Ground(p, area);
    p.drawPixmap(area, picture);
    p.drawText(QRect(at.x(), area.bottom() + 2, std::max(area.width(), kCell), kLabelHeight), Qt::AlignLeft,
               caption);
}

} // namespace

// Every carried picture at four times its size, each family in a row, and four kits built from them.
void ShootKitPictures(Shots& shots) {
    const std::vector<std::string>& names = EmbeddedPictureNames();
    const int rowHeight = kCell + kLabelHeight + kGap;
    const int kitsTop = 15 * rowHeight;
    const int kitWidth = KitPreview().Composite().width() * kZoom + kGap;
    QImage sheet(kLabelWidth + std::max(10 * (kCell + kGap), 4 * kitWidth),
                 kitsTop + 88 * kZoom + 3 * kLabelHeight, QImage::Format_RGB32);
    sheet.fill(QColor(240, 240, 240));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const QString name = QString::fromStdString(names[i]);
        const int row = i < 130 ? static_cast<int>(i / 10) : (i < 133 ? 13 : 14);
        const int column = i < 130 ? static_cast<int>(i % 10) : static_cast<int>(i < 133 ? i - 130 : i - 133);
        const int y = row * rowHeight + kGap;
        if (column == 0)
            p.drawText(QRect(8, y, kLabelWidth - 8, kCell), Qt::AlignVCenter | Qt::AlignLeft,
                       i < 130 ? name.left(name.lastIndexOf(QLatin1Char('_')) + 1) + QStringLiteral("n")
                               : (i < 133 ? QStringLiteral("Faces") : QStringLiteral("Design samples")));
        const int step = i < 133 ? kCell + kGap : 2 * (kCell + kGap);
        Picture(p, QPoint(kLabelWidth + column * step, y), EmbeddedPicture(name), name);
    }
    struct Kit {
        char design;
        int main, second, shorts, socks;
        const char* caption;
    };
    const Kit kits[] = {{'L', 1, 2, 2, 1, "L White, Black shorts"},
                        {'M', 4, 1, 1, 4, "M Red, White sleeves"},
                        {'V', 5, 2, 2, 5, "V Blue and Black"},
                        {'H', 8, 9, 1, 3, "H Green, Yellow hoops"}};
    int x = kLabelWidth;
    p.drawText(QRect(8, kitsTop + kGap, kLabelWidth - 8, kCell), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("Kit previews"));
    for (const Kit& kit : kits) {
        KitPreview preview;
        preview.SetKit(kit.design, kit.main, kit.second, kit.shorts, kit.socks);
        const QPixmap composite = QPixmap::fromImage(preview.Composite());
        Picture(p, QPoint(x, kitsTop + kGap), composite, QString::fromLatin1(kit.caption));
        x += composite.width() * kZoom + kGap;
    }
    p.end();
    QLabel label;
    label.setPixmap(QPixmap::fromImage(sheet));
    label.resize(sheet.size());
    Save(shots, &label, "kit-pictures");
}

} // namespace kivo::editor
