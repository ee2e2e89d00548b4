#include "persist/Windows1252.h"

#include "persist/LineCodec.h"

#include <gtest/gtest.h>

using namespace sylvaro::persist;

TEST(Windows1252, EveryByteReadsAsOneCharacterAndWritesBackAsItself) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all.append(static_cast<char>(b));
    }
    const QString text = fromWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_TRUE(fitsWindows1252(text));
    EXPECT_EQ(toWindows1252(text), all);
}

TEST(Windows1252, ReadsTheCodePagesOwnCharacters) {
    // 0x80..0x9F without the five undefined bytes, typed as the characters
    // the code page shows for them.
    const QByteArray high("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"
                          "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F");
    EXPECT_EQ(fromWindows1252(high), QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"));
    EXPECT_EQ(fromWindows1252("\xA0\xA9\xDF\xE9\xFF"), QStringLiteral("\u00A0©ßéÿ"));
    EXPECT_EQ(fromWindows1252("\x81\x8D\x8F\x90\x9D"),
              QStringLiteral("\u0081\u008D\u008F\u0090\u009D"));
}

TEST(Windows1252, WritesWesternTextByteForByte) {
    const QString text = QStringLiteral("Café €5 – naïve");
    const QByteArray expected("Caf\xE9 \x80"
                              "5 \x96 na\xEFve");
    EXPECT_TRUE(fitsWindows1252(text));
    EXPECT_EQ(toWindows1252(text), expected);
    EXPECT_EQ(fromWindows1252(expected), text);
}

TEST(Windows1252, CharactersOutsideTheCodePageDoNotFitAndBecomeQuestionMarks) {
    for (const QString& text : {QStringLiteral("ā"), QStringLiteral("日"), QStringLiteral("🎵"),
                                QStringLiteral("\u0080")}) {
        EXPECT_FALSE(fitsWindows1252(text)) << text.toStdString();
        EXPECT_FALSE(fitsWindows1252(QStringLiteral("rain ") + text + QStringLiteral(".wav")));
    }
    // A character beyond the basic plane (two UTF-16 units) is one '?'.
    EXPECT_EQ(toWindows1252(QStringLiteral("a日ā🎵b")), QByteArray("a???b"));
}

TEST(Windows1252, TheLineFormatWritesAndReadsTheCodePage) {
    const QByteArray line =
        LineWriter().string(QStringLiteral("Café €5 – naïve.wav")).integer(-3).line();
    EXPECT_EQ(line, QByteArray("\"Caf\xE9 \x80"
                               "5 \x96 na\xEFve.wav\",-3\r\n"));
    const LineRecord back = LineRecord::parse(line);
    EXPECT_EQ(back.string(0), QStringLiteral("Café €5 – naïve.wav"));
    // A byte that is not UTF-8 on its own is still the character it stands for.
    EXPECT_EQ(LineRecord::parse("\"\xE9t\xE9\"").string(0), QStringLiteral("été"));
}
