#pragma once

#include <array>
#include <optional>
#include <string>

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "core/teams/PictureNames.h"

namespace kivo::editor {

// An embedded picture by name: a garment or face icon ("~CA_LIS_4.ICO", the "~" optional) or a design
// sample ("LISA.BMP"). Garments and faces are 32 x 32 and transparent outside their shape; an unknown
// name gives an empty, fully transparent 32 x 32 picture.
QPixmap EmbeddedPicture(const QString& name);

// The face of a player row; an empty picture for a face code without one (3).
QPixmap FacePicture(int face);

// A kit drawn as its eight layers (the main or the secondary one), at the kit-preview positions.
class KitPreview : public QWidget {
    Q_OBJECT
public:
    explicit KitPreview(QWidget* parent = nullptr);

    // Sets the eight layers for a design letter (L, M, V, H) and the four colour codes, and redraws.
    void SetKit(char design, int main, int second, int shorts, int socks);
    // The visible layers' pictures, bottom to top, each "~NAME.ICO".
    QStringList LayerNames() const;
    // The preview drawn at one pixel per picture pixel (what the widget shows, before magnification).
    QImage Composite() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<std::optional<std::string>, kKitLayerCount> layers_{};
    QImage composite_; // drawn once per kit, not once per paint
};

} // namespace kivo::editor
