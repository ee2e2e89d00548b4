#include "StoredColour.h"

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
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor fromStored(std::int32_t stored, const QPalette& palette) {
    const auto value = static_cast<std::uint32_t>(stored);
    if (value & 0x80000000u) {
        return palette.color(QPalette::Active, systemRole(value & 0xFFu));
    }
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

std::int32_t toStored(const QColor& colour) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(colour.red()) |
                                     (static_cast<std::uint32_t>(colour.green()) << 8) |
                                     (static_cast<std::uint32_t>(colour.blue()) << 16));
}

} // namespace sylvaro::widgets
