#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

class QWidget;

namespace sylvaro::widgets {

// Turns a colour in the form the program stores it (0x00BBGGRR, or a
// negative system colour with the high bit set) into what to paint with.
// System colours follow the desktop's palette.
QColor fromStored(std::int32_t stored, const QPalette& palette);
// The stored form of a plain colour.
std::int32_t toStored(const QColor& colour);

// Paints one colour role of a widget with a stored colour.
void paintRole(QWidget* widget, QPalette::ColorRole role, std::int32_t stored);
// Fills a check box (or any button) with a stored colour behind its text.
void fillBackground(QWidget* widget, std::int32_t stored);

} // namespace sylvaro::widgets
