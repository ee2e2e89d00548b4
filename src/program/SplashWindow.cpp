#include "SplashWindow.h"

#include "core/AppDir.h"

#include <QFrame>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace sylvaro::program {

const QString SplashWindow::kProductLine = QStringLiteral("Sylvaro v1.2");

namespace {
constexpr int kPictureWidth = 420;
constexpr int kPictureHeight = 240;
} // namespace

SplashWindow::SplashWindow(core::TimerHost& timers, const core::AppDir& dir, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_clock(
          timers, [this] { dismiss(); }, kShowMs, false) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(kProductLine);
    setAccessibleName(kProductLine);

    // The frame covers the window; a click anywhere on it ends the splash.
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(
        QStringLiteral("#Frame1 { background: #1d2b1f; border: 2px solid #6f8f5f; }"
                       " QLabel { color: #f0ead2; }"));
    auto* product = new QLabel(kProductLine, frame);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSize(22);
    big.setBold(true);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("imgLogo"));
    picture->setAlignment(Qt::AlignCenter);
    QImageReader reader(dir.file(QStringLiteral("images"), QStringLiteral("english fence.jpg")));
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (!image.isNull()) {
        picture->setPixmap(QPixmap::fromImage(image.scaled(
            kPictureWidth, kPictureHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    auto* author =
        new QLabel(tr("Nature sounds for your desk, by the Sylvaro Lite developers"), frame);
    author->setObjectName(QStringLiteral("lblAuthor"));
    author->setAlignment(Qt::AlignCenter);
    auto* inside = new QVBoxLayout(frame);
    inside->setContentsMargins(18, 18, 18, 18);
    inside->addWidget(product);
    inside->addWidget(picture, 1);
    inside->addWidget(author);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setFocusPolicy(Qt::StrongFocus);
}

void SplashWindow::start() {
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
    setFocus();
    m_clock.setEnabled(true);
}

void SplashWindow::dismiss() {
    m_clock.setEnabled(false);
    if (m_finished) {
        return;
    }
    m_finished = true;
    hide();
    Q_EMIT finished();
}

void SplashWindow::cancel() {
    m_clock.setEnabled(false);
    m_finished = true;
    hide();
}

void SplashWindow::keyPressEvent(QKeyEvent*) {
    dismiss();
}

void SplashWindow::mousePressEvent(QMouseEvent*) {
    dismiss();
}

} // namespace sylvaro::program
