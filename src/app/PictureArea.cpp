#include "PictureArea.h"

#include <QImageReader>

namespace sylvaro::app {

PictureArea::PictureArea(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("Image2"));
    setAccessibleName(tr("Scene picture"));
    setAlignment(Qt::AlignCenter);
    setMinimumSize(320, 240);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

bool PictureArea::showPicture(const QString& path) {
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
    // Fill the area, cropping the overhang evenly on both sides.
    const QPixmap scaled =
        m_picture.scaled(size(), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    setPixmap(scaled.copy((scaled.width() - width()) / 2, (scaled.height() - height()) / 2, width(),
                          height()));
}

} // namespace sylvaro::app
