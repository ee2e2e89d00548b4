#include "XpBs.h"

#include "StoredColour.h"
#include "console/StoredColour.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QUrl>

namespace sylvaro::widgets {

namespace {

// The system colours the button's pressed and hover colours default to.
constexpr std::int32_t kSystem3dHighlight = static_cast<std::int32_t>(0x80000014);
constexpr std::int32_t kSystem3dLight = static_cast<std::int32_t>(0x80000016);

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - t) + b.redF() * t),
                            static_cast<float>(a.greenF() * (1 - t) + b.greenF() * t),
                            static_cast<float>(a.blueF() * (1 - t) + b.blueF() * t));
}

} // namespace

XpBs::XpBs(const QString& caption, QWidget* parent)
    : SkinnedButton(caption, parent), m_backColor(console::kSystemButtonFace),
      m_foreColor(console::kSystemButtonText), m_pressedColor(kSystem3dHighlight),
      m_hoverColor(kSystem3dLight) {
    setMinimumSize(kMinimumPixels, kMinimumPixels);
    // First in line: the sound starts before the window handles the click.
    connect(this, &QAbstractButton::clicked, this, &XpBs::onClicked);
    connect(this, &XpBs::lookChanged, this, [this] {
        applyRegion();
        update();
    });
    connect(this, &XpBs::pointerChanged, this, &XpBs::applyPointer);
}

void XpBs::setButtonStyle(int style) {
    if (style != m_buttonStyle) {
        m_buttonStyle = style;
        Q_EMIT lookChanged();
    }
}

QRegion XpBs::roundedRegion(int w, int h) {
    QRegion region(0, 0, w, h);
    // Two pixels on the outer rows, then one on the rows next in.
    for (const QRect& cut : {QRect(0, 0, 2, 1), QRect(0, h - 1, 2, 1), QRect(w - 2, 0, 2, 1),
                             QRect(w - 2, h - 1, 2, 1), QRect(0, 1, 1, 1), QRect(0, h - 2, 1, 1),
                             QRect(w - 1, 1, 1, 1), QRect(w - 1, h - 2, 1, 1)}) {
        region = region.subtracted(QRegion(cut));
    }
    return region;
}

void XpBs::onClicked() {
    playSound(m_soundClick);
    if (m_url.isEmpty()) {
        return;
    }
    // After the window's own click handlers, as the address is the last
    // thing a click does.
    const QUrl url(m_url.startsWith(QLatin1String("mailto:")) ? m_url : QUrl::fromUserInput(m_url));
    QTimer::singleShot(0, this, [url] { openUrl(url); });
}

void XpBs::resizeEvent(QResizeEvent* event) {
    SkinnedButton::resizeEvent(event);
    applyRegion();
}

void XpBs::applyRegion() {
    if (m_buttonStyle == 3) {
        setMask(roundedRegion(width(), height()));
    } else {
        clearMask();
    }
}

void XpBs::applyPointer() {
    if (m_defCurHand != 0) {
        setCursor(Qt::PointingHandCursor);
    } else if (!m_mouseIcon.isNull()) {
        setCursor(QCursor(m_mouseIcon));
    } else {
        unsetCursor();
    }
}

void XpBs::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPalette& pal = palette();
    const QColor face = fromStored(m_backColor, pal);
    const QColor fore = fromStored(m_foreColor, pal);
    const QColor hoverTint =
        m_defaultColors != 0 ? pal.color(QPalette::Highlight) : fromStored(m_hoverColor, pal);
    const QColor pressedTint =
        m_defaultColors != 0 ? pal.color(QPalette::Dark) : fromStored(m_pressedColor, pal);

    Look look{face, face.darker(150), fore, false};
    bool border = m_showBorderAlways != 0;
    if (!isEnabled()) {
        look.face = mix(face, pal.color(QPalette::Window), 0.5);
        look.text = pal.color(QPalette::Disabled, QPalette::ButtonText);
        look.border = look.face.darker(125);
        border = true;
    } else if (isDown() || isChecked()) {
        look.face = mix(face, pressedTint, 0.35);
        look.border = pressedTint.darker(130);
        look.sunken = true;
        border = true;
    } else if (isHovering()) {
        look.face = mix(face, hoverTint, 0.18);
        look.border = hoverTint;
        border = true;
    }

    const QRect r = rect();
    if (m_transparentBg == 0 || isDown() || isHovering()) {
        QLinearGradient gradient(r.topLeft(), r.bottomLeft());
        const int depth = m_bevel != 0 ? std::clamp(m_bevelDepth, 0, 40) : 0;
        if (look.sunken) {
            gradient.setColorAt(0, look.face.darker(100 + depth));
            gradient.setColorAt(1, look.face.lighter(100 + depth / 2));
        } else {
            gradient.setColorAt(0, look.face.lighter(100 + depth));
            gradient.setColorAt(1, look.face.darker(100 + depth / 2));
        }
        painter.fillRect(r, gradient);
    }
    painter.setPen(border ? look.border : look.face.darker(118));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    if (isHovering() && isEnabled() && !look.sunken) {
        // A second, inner line makes the hover plain even on a busy picture.
        painter.setPen(mix(look.border, look.face, 0.5));
        painter.drawRect(r.adjusted(1, 1, -2, -2));
    }

    const QPixmap& picture = isHovering() && !m_pictureHover.isNull() ? m_pictureHover : m_picture;
    const QRect inner = r.adjusted(kInnerMargin, kInnerMargin, -kInnerMargin, -kInnerMargin);
    paintCaption(painter, inner, look, picture);
    if (hasFocus() && m_showFocusRect != 0 && inner.isValid()) {
        paintFocus(painter, inner);
    }
}

} // namespace sylvaro::widgets
