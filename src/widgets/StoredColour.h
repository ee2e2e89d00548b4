#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace sylvaro::widgets {

// Turns a colour in the form the program stores it (0x00BBGGRR, or a
// negative system colour with the high bit set) into what to paint with.
// System colours follow the desktop's palette.
QColor fromStored(std::int32_t stored, const QPalette& palette);
// The stored form of a plain colour.
std::int32_t toStored(const QColor& colour);

} // namespace sylvaro::widgets
