#include "editor/app/Presentacion.h"

#include <filesystem>

#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>
#include <QVBoxLayout>
#ifdef KIVO_HAVE_MULTIMEDIA
#include <QSoundEffect>
#include <QUrl>
#endif

#include "editor/ui/EditorState.h"

namespace kivo::editor {

namespace {

QPixmap SplashPicture(const QSize& size, qreal ratio) {
    QSvgRenderer renderer(QStringLiteral(":/pictures/splash.svg"));
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    if (!renderer.isValid()) return picture; // a missing picture is no error: the window shows without it
    QPainter painter(&picture);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return picture;
}

} // namespace

Presentacion::Presentacion(QWidget* parent, int milliseconds)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("Presentacion"));
    // Its own colours whatever the palette: the light text of a dark palette would not read on this
    // background.
    setStyleSheet(QStringLiteral(
        "#Presentacion { background: #f4f7f2; border: 2px solid #1d5e2f; } QLabel { color: #1a1a1a; }"));

    auto* title = new QLabel(QStringLiteral("PC KIVO EDITOR 1.40"));
    QFont titleFont(QStringLiteral("Arial"), 18, QFont::Bold);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet(QStringLiteral("color: #1d5e2f;"));

    auto* picture = new QLabel;
    picture->setPixmap(SplashPicture(QSize(360, 200), devicePixelRatioF()));
    picture->setAlignment(Qt::AlignCenter);

    auto* credits =
        new QLabel(QStringLiteral("Editor for the team files, the players and the foreign market of KIVO<br>"
                                  "Release 1.40 &mdash; teams, players, prices, clipboard and market fix<br>"
                                  "<span style='color:#555'>Click anywhere to continue</span>"));
    credits->setAlignment(Qt::AlignCenter);
    credits->setTextFormat(Qt::RichText);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(picture);
    layout->addWidget(credits);
    setFixedSize(sizeHint());

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &QDialog::close);
    // Whatever closed it first, nothing else may close it again.
    connect(this, &QDialog::finished, timer_, &QTimer::stop);
    timer_->start(milliseconds);
    PlaySound();
}

bool Presentacion::SoundSupported() {
#ifdef KIVO_HAVE_MULTIMEDIA
    return true;
#else
    return false;
#endif
}

void Presentacion::PlaySound() {
    const std::filesystem::path wav = std::filesystem::path(Globals().StartDirectory) / "presenta.wav";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(wav, ec)) return; // no sound file: the splash is silent
#ifdef KIVO_HAVE_MULTIMEDIA
    // Owned by the splash's parent, so that the sound plays on after the splash has closed.
    auto* sound = new QSoundEffect(parentWidget() ? static_cast<QObject*>(parentWidget()) : this);
    sound->setSource(QUrl::fromLocalFile(QString::fromStdString(wav.string())));
    sound->play();
    soundStarted_ = true;
#endif
}

void Presentacion::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        close();
        return;
    }
    QDialog::mousePressEvent(event);
}

void Presentacion::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        close();
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}

} // namespace kivo::editor
