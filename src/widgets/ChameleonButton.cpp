#include "ChameleonButton.h"

#include "StoredColour.h"
#include "console/StoredColour.h"

#include <QPainter>
#include <QPainterPath>

namespace sylvaro::widgets {

namespace {
constexpr int kInnerMargin = 4;
constexpr int kTypes = 14;
} // namespace

ChameleonButton::ChameleonButton(const QString& caption, QWidget* parent)
    : SkinnedButton(caption, parent), m_backColor(console::kSystemButtonFace),
      m_backColorOver(console::kSystemButtonFace), m_foreColor(console::kSystemButtonText),
      m_foreColorOver(console::kSystemButtonText) {
    connect(this, &ChameleonButton::lookChanged, this, qOverload<>(&QWidget::update));
    connect(this, &ChameleonButton::pointerChanged, this, &ChameleonButton::applyPointer);
}

int ChameleonButton::family(int type) {
    const int t = type < 1 || type > kTypes ? 2 : type;
    return (t - 1) % 4;
}

void ChameleonButton::applyPointer() {
    if (m_hand) {
        setCursor(Qt::PointingHandCursor);
    } else if (!m_mouseIcon.isNull()) {
        setCursor(QCursor(m_mouseIcon));
    } else {
        unsetCursor();
    }
}

void ChameleonButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const bool over = isHovering() && isEnabled();
    Look look;
    look.face = fromStored(over ? m_backColorOver : m_backColor, pal);
    look.text = fromStored(over ? m_foreColorOver : m_foreColor, pal);
    look.sunken = isDown() || isChecked();
    if (over && m_backColorOver == m_backColor) {
        // Same colours both ways: the pointer still shows in a lighter face.
        look.face = look.face.lighter(112);
    }
    if (look.sunken) {
        look.face = look.face.darker(118);
    }
    if (!isEnabled()) {
        look.text = pal.color(QPalette::Disabled, QPalette::ButtonText);
        look.face = look.face.lighter(104);
    }
    const QColor light = look.face.lighter(m_soft ? 125 : 160);
    const QColor dark = look.face.darker(m_soft ? 140 : 220);
    look.border = over ? pal.color(QPalette::Highlight) : dark;

    const QRect r = rect();
    const int kind = family(m_type);
    if (kind == 3) {
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.fillPath(path, look.face);
        painter.setPen(look.border);
        painter.drawPath(path);
        painter.setRenderHint(QPainter::Antialiasing, false);
    } else {
        painter.fillRect(r, look.face);
        const QRect edge = r.adjusted(0, 0, -1, -1);
        if (kind == 0) {
            painter.setPen(over || look.sunken ? look.border : look.face.darker(130));
            painter.drawRect(edge);
        } else {
            // Raised: light top-left, dark bottom-right; pressed swaps them.
            const QColor topLeft = look.sunken ? dark : light;
            const QColor bottomRight = look.sunken ? light : dark;
            painter.setPen(topLeft);
            painter.drawLine(edge.topLeft(), edge.topRight());
            painter.drawLine(edge.topLeft(), edge.bottomLeft());
            painter.setPen(bottomRight);
            painter.drawLine(edge.bottomLeft(), edge.bottomRight());
            painter.drawLine(edge.topRight(), edge.bottomRight());
            if (kind == 2 || over) {
                painter.setPen(over ? look.border : look.face.darker(115));
                painter.drawRect(edge.adjusted(1, 1, -1, -1));
            }
        }
    }
    QPixmap picture = over && !m_pictureOver.isNull() ? m_pictureOver : m_picture;
    // NGREY shows the picture in grey until the pointer comes over it.
    if (!picture.isNull() && (!isEnabled() || (m_greyPicture && !over))) {
        picture = QPixmap::fromImage(picture.toImage().convertToFormat(QImage::Format_Grayscale8));
    }
    const QRect inner = r.adjusted(kInnerMargin, kInnerMargin, -kInnerMargin, -kInnerMargin);
    paintCaption(painter, inner, look, picture);
    if (hasFocus() && m_focusRect && inner.isValid()) {
        paintFocus(painter, inner);
    }
}

} // namespace sylvaro::widgets
