#include "PictureArea.h"

#include <QFileInfo>
#include <QImageReader>

namespace sylvaro::panels {

PictureArea::PictureArea(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("Image2"));
    setAccessibleName(tr("Scene picture"));
    setAlignment(Qt::AlignCenter);
    setMinimumSize(320, 240);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

bool PictureArea::showPicture(const QString& path) {
    // Only an ordinary file: opening a FIFO would wait for a writer, and
    // the console with it.
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        return false;
    }
    m_picture = QPixmap::fromImage(image);
    m_path = path;
    rescale();
    return true;
}

void PictureArea::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    rescale();
}

void PictureArea::rescale() {
    if (m_picture.isNull()) {
        return;
    }
    // Scaled smoothly to every pixel of the screen: on a dense screen a
    // picture the size of the area would be blown up, blocky, when drawn.
    const qreal density = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * density).toSize();
    // Fill the area, cropping the overhang evenly on both sides.
    const QPixmap scaled =
        m_picture.scaled(pixels, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QPixmap shown =
        scaled.copy((scaled.width() - pixels.width()) / 2, (scaled.height() - pixels.height()) / 2,
                    pixels.width(), pixels.height());
    shown.setDevicePixelRatio(density);
    setPixmap(shown);
}

} // namespace sylvaro::panels
