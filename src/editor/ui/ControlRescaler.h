#pragma once

#include <vector>

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace kivo::editor {

// Scales the controls of a window laid out at fixed positions to the window's size. Record the design values
// when the window opens, before its placement is restored; Apply after restoring it (and, with
// followResizes, after every resize). Buttons keep their size and their distance to the nearer edges;
// check boxes and option buttons keep their size; entry fields, drop lists and spin boxes keep their height;
// everything else scales. Controls placed by a layout are left to the layout; menus are skipped.
class ControlRescaler : public QObject {
    Q_OBJECT
public:
    // Records the design values of `window`'s controls; the rescaler belongs to the window.
    static ControlRescaler* Attach(QWidget* window, bool followResizes);

    // Places the controls for the window's current size when it differs from the size last applied.
    // Returns whether it placed them.
    bool Apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ControlRescaler(QWidget* window);
    void Record(QWidget* parent);

    struct Control {
        QPointer<QWidget> widget;
        QRect design;
        QSize parentDesign;
    };
    QWidget* window_;
    QSize design_;
    QSize applied_;
    std::vector<Control> controls_;
};

// One control's new geometry: the rules above for a control of this kind, given the design geometry, the
// design size of its parent and the ratios (already kept to four decimals) and new size of the parent.
enum class ControlKind { Button, Check, Entry, Other };
QRect RescaledGeometry(ControlKind kind, const QRect& design, const QSize& parentDesign,
                       const QSize& parentNow, double ratioX, double ratioY);

// The ratio new / design kept to four decimal places.
double PlacementRatio(int now, int design);

} // namespace kivo::editor
