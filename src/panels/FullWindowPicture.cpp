#include "FullWindowPicture.h"

#include <QPainter>

namespace sylvaro::panels {

FullWindowPicture::FullWindowPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image1"));
    setAccessibleName(tr("Scene picture"));
    // The console's own colour shows where there is no picture yet.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
}

void FullWindowPicture::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void FullWindowPicture::paintEvent(QPaintEvent*) {
    if (m_picture.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize scaled = m_picture.size().scaled(size(), Qt::KeepAspectRatioByExpanding);
    const QRect target((width() - scaled.width()) / 2, (height() - scaled.height()) / 2,
                       scaled.width(), scaled.height());
    painter.drawPixmap(target, m_picture);
}

} // namespace sylvaro::panels
