#pragma once

#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <array>

namespace sylvaro::widgets {

// A label for a clock: digits and colons, a new text every second. A plain
// label lays its text out with the font on every repaint, which is most of
// what the console does in a second while it plays; this one draws each
// character once, into a small picture, and a repaint sets the pictures side
// by side: the plain label's result, pixel for pixel. Any other text, a font
// that kerns these characters, or another look is painted as a plain label
// paints it.
class DigitLabel : public QLabel {
public:
    explicit DigitLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static constexpr int kCharacters = 11; // '0'..'9' and ':'
    // Fonts place characters in 64ths of a pixel.
    static constexpr int kSteps = 64;

    // Measures the characters in the label's font; false when a pair of them
    // does not simply add up (kerning).
    bool measure();
    // The picture of one character, drawn that many 64ths to the right.
    const QPixmap& cell(int character, int step, int height);

    bool m_measured = false;
    bool m_usable = false;
    std::array<int, kCharacters> m_advance{}; // in 64ths of a pixel
    int m_left = 0;  // a picture starts this far before its character's place
    int m_width = 0; // and is this wide
    QHash<int, QPixmap> m_cells;
};

} // namespace sylvaro::widgets
