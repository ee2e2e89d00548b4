#include "DigitLabel.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <cmath>

namespace sylvaro::widgets {

namespace {

int characterIndex(QChar c) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        return c.unicode() - '0';
    }
    return c == QLatin1Char(':') ? 10 : -1;
}

QChar characterAt(int index) {
    return index == 10 ? QLatin1Char(':') : QChar(static_cast<char16_t>(u'0' + index));
}

} // namespace

DigitLabel::DigitLabel(QWidget* parent) : QLabel(parent) {}

void DigitLabel::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
        m_measured = false;
        m_cells.clear();
        break;
    default:
        break;
    }
    QLabel::changeEvent(event);
}

void DigitLabel::resizeEvent(QResizeEvent* event) {
    m_cells.clear();
    QLabel::resizeEvent(event);
}

bool DigitLabel::measure() {
    const QFontMetricsF metrics(font(), this);
    int left = 0;
    int right = 0;
    for (int index = 0; index < kCharacters; ++index) {
        const QChar c = characterAt(index);
        const qreal steps = metrics.horizontalAdvance(c) * kSteps;
        if (steps != std::round(steps)) {
            return false;
        }
        m_advance[static_cast<std::size_t>(index)] = static_cast<int>(steps);
        const QRectF ink = metrics.boundingRect(c);
        left = std::min(left, static_cast<int>(std::floor(ink.left())) - 1);
        right = std::max({right, static_cast<int>(std::ceil(ink.right())) + 2,
                          static_cast<int>(std::ceil(steps / kSteps)) + 1});
    }
    for (int a = 0; a < kCharacters; ++a) {
        for (int b = 0; b < kCharacters; ++b) {
            const qreal pair = metrics.horizontalAdvance(QString(characterAt(a)) + characterAt(b));
            if (pair * kSteps != m_advance[static_cast<std::size_t>(a)] +
                                     m_advance[static_cast<std::size_t>(b)]) {
                return false;
            }
        }
    }
    m_left = left;
    m_width = right - left;
    return true;
}

const QPixmap& DigitLabel::cell(int character, int step, int height) {
    const int key = character * kSteps + step;
    auto found = m_cells.constFind(key);
    if (found != m_cells.constEnd()) {
        return *found;
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap picture(QSize(m_width, height) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setFont(font());
        painter.translate(static_cast<qreal>(step) / kSteps, 0);
        // As the style draws a label's text.
        QStyleOption look;
        look.initFrom(this);
        style()->drawItemText(&painter, QRect(-m_left, 0, m_width, height),
                              Qt::AlignLeft | Qt::AlignVCenter, look.palette, true,
                              QString(characterAt(character)), foregroundRole());
    }
    return *m_cells.insert(key, picture);
}

void DigitLabel::paintEvent(QPaintEvent* event) {
    const QString shown = text();
    bool plain = shown.isEmpty() || !isEnabled() || frameShape() != QFrame::NoFrame ||
                 alignment() != (Qt::AlignLeft | Qt::AlignVCenter) ||
                 textFormat() == Qt::RichText || layoutDirection() != Qt::LeftToRight ||
                 wordWrap() || indent() > 0 || !styleSheet().isEmpty();
    for (QChar c : shown) {
        plain = plain || characterIndex(c) < 0;
    }
    if (!plain && !m_measured) {
        m_usable = measure();
        m_measured = true;
    }
    if (plain || !m_usable) {
        QLabel::paintEvent(event);
        return;
    }
    const int inset = margin();
    const QRect area = contentsRect().adjusted(inset, inset, -inset, -inset);
    QPainter painter(this);
    int x = 0; // in 64ths of a pixel from the text's start
    for (QChar c : shown) {
        const int index = characterIndex(c);
        painter.drawPixmap(area.left() + x / kSteps + m_left, area.top(),
                           cell(index, x % kSteps, area.height()));
        x += m_advance[static_cast<std::size_t>(index)];
    }
}

} // namespace sylvaro::widgets
