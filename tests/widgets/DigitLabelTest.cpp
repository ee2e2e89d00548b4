#include "widgets/DigitLabel.h"

#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

namespace sylvaro::test {
namespace {

// The clock's look: bold orange digits on black, a margin, a fixed size.
void styleLikeTheClock(QLabel& label) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, QColor(0xFF, 0x80, 0x00));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(11);
    font.setBold(true);
    label.setFont(font);
    label.setMargin(3);
    label.setText(QStringLiteral("88:88:88"));
    label.setFixedSize(label.sizeHint());
}

QImage shot(QLabel& label, const QString& text) {
    label.setText(text);
    return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Whatever the label shows, it looks exactly as a plain label does: the
// characters drawn once and set side by side, or anything else painted the
// plain way; a new look (a colour, a font) is taken up at once.
TEST(DigitLabelTest, PaintsWhatAPlainLabelPaints) {
    QLabel plain;
    widgets::DigitLabel digits;
    for (QLabel* label : {&plain, static_cast<QLabel*>(&digits)}) {
        styleLikeTheClock(*label);
    }
    const QImage blank = shot(plain, QString());
    for (const QString& text : {QStringLiteral("12:34:56"), QStringLiteral("00:00:00"),
                                QStringLiteral("23:59:59"), QStringLiteral("07:10:41"),
                                QStringLiteral("Alarm!"), QStringLiteral("1:2")}) {
        const QImage expected = shot(plain, text);
        ASSERT_NE(expected, blank) << "the font drew nothing for " << text.toStdString();
        EXPECT_EQ(shot(digits, text), expected) << text.toStdString();
    }
    for (QLabel* label : {&plain, static_cast<QLabel*>(&digits)}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::green);
        label->setPalette(palette);
        QFont font = label->font();
        font.setPointSize(9);
        label->setFont(font);
    }
    EXPECT_EQ(shot(digits, QStringLiteral("19:45:03")), shot(plain, QStringLiteral("19:45:03")));
}

} // namespace
} // namespace sylvaro::test
