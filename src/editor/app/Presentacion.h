#pragma once

#include <QDialog>

class QTimer;

namespace kivo::editor {

inline constexpr int kSplashMilliseconds = 5000;

// The splash window: the program's title, picture and credits. It closes at the first timer tick (5 seconds)
// or at the first left click, left double-click or right click, whichever comes first, and plays
// presenta.wav from the start directory when the sound can be played. Nothing is saved.
class Presentacion : public QDialog {
    Q_OBJECT
public:
    explicit Presentacion(QWidget* parent = nullptr, int milliseconds = kSplashMilliseconds);
    QTimer* timer() const { return timer_; }
    // Whether the splash sound was started (false when the file or sound support is missing).
    bool soundStarted() const { return soundStarted_; }
    // Whether this build can play sounds at all.
    static bool SoundSupported();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PlaySound();

    QTimer* timer_;
    bool soundStarted_ = false;
};

} // namespace kivo::editor
