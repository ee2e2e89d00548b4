#include "StoredColour.h"

#include "console/StoredColour.h"

#include <QWidget>

namespace sylvaro::widgets {

namespace {

QPalette::ColorRole systemRole(std::uint32_t index) {
    switch (index) {
    case 0x05: // window
        return QPalette::Base;
    case 0x08: // window text
        return QPalette::Text;
    case 0x0D: // highlight
        return QPalette::Highlight;
    case 0x0E: // highlight text
        return QPalette::HighlightedText;
    case 0x0F: // button face
        return QPalette::Button;
    case 0x12: // button text
        return QPalette::ButtonText;
    case 0x11: // grey text
        return QPalette::PlaceholderText;
    case 0x14: // 3D highlight
        return QPalette::Light;
    case 0x16: // 3D light
        return QPalette::Midlight;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor fromStored(std::int32_t stored, const QPalette& palette) {
    if (console::isSystemColour(stored)) {
        return palette.color(QPalette::Active, systemRole(console::systemColourIndex(stored)));
    }
    return QColor::fromRgb(console::toRgb(stored));
}

std::int32_t toStored(const QColor& colour) {
    return console::toStored(colour.rgb() & 0xFFFFFFu);
}

void paintRole(QWidget* widget, QPalette::ColorRole role, std::int32_t stored) {
    QPalette palette = widget->palette();
    palette.setColor(role, fromStored(stored, palette));
    widget->setPalette(palette);
}

void fillBackground(QWidget* widget, std::int32_t stored) {
    // A button fills with its Button role unless told otherwise.
    widget->setBackgroundRole(QPalette::Window);
    widget->setAutoFillBackground(true);
    paintRole(widget, QPalette::Window, stored);
}

} // namespace sylvaro::widgets
