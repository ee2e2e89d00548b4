#include "persist/LineCodec.h"

#include "persist/ConsoleSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sylvaro::persist;

TEST(LineCodec, WritesEveryKindOfFieldInTheFixedForm) {
    const QByteArray line = LineWriter()
                                .integer(-3000)
                                .integer(0)
                                .string(QStringLiteral("wind chimes.wav"))
                                .unset()
                                .boolean(true)
                                .boolean(false)
                                .string(QString())
                                .line();
    EXPECT_EQ(line, QByteArray("-3000,0,\"wind chimes.wav\",,#TRUE#,#FALSE#,\"\"\r\n"));
    // A quote inside a string would break the line: it is dropped.
    EXPECT_EQ(LineWriter().string(QStringLiteral("a\"b")).line(), QByteArray("\"ab\"\r\n"));
}

TEST(LineCodec, ReadsBackWhatItWroteAndToleratesBlanksAndEmptyFields) {
    const LineRecord r = LineRecord::parse(" 12 ,\"a, b\" ,,-7,#TRUE#,\"\",  \r\n");
    ASSERT_EQ(r.size(), 7);
    EXPECT_EQ(r.integer(0, 0, 100), 12);
    EXPECT_EQ(r.string(1), QStringLiteral("a, b"));
    EXPECT_TRUE(r.isEmpty(2));
    EXPECT_EQ(r.integer(2, -10, 10), 0) << "an empty field reads as 0";
    EXPECT_EQ(r.integer(3, -10, 10), -7);
    EXPECT_EQ(r.boolean(4), true);
    EXPECT_FALSE(r.isEmpty(5)) << "a quoted empty string was given a value";
    EXPECT_EQ(r.string(5), QString());
    EXPECT_TRUE(r.isEmpty(6));
}

TEST(LineCodec, ReportsFieldsThatAreNotWhatTheCallerNeeds) {
    const LineRecord r = LineRecord::parse("abc,99999999999,5,#MAYBE#");
    EXPECT_FALSE(r.integer(0, -100, 100));
    EXPECT_FALSE(r.integer(1, -100, 100));
    EXPECT_FALSE(r.integer(2, 10, 20)) << "out of range";
    EXPECT_FALSE(r.integer(9, 0, 10)) << "missing field";
    EXPECT_FALSE(r.boolean(3));
    EXPECT_EQ(r.integer(2, 0, 10), 5);
}

// A file's contents up to its first line feed, less one CR before it; a
// second CR is left to the parser, where it belongs to no field.
TEST(LineCodec, TheFirstLineEndsAtItsFirstLineFeed) {
    EXPECT_EQ(firstLineOf("1,2\r\n3,4\r\n"), QByteArray("1,2"));
    EXPECT_EQ(firstLineOf("1,2\n3"), QByteArray("1,2"));
    EXPECT_EQ(firstLineOf("1,2"), QByteArray("1,2"));
    EXPECT_EQ(firstLineOf("\n1,2"), QByteArray());
    const QByteArray stray = firstLineOf("\"Brook\",7\r\r\n");
    EXPECT_EQ(stray, QByteArray("\"Brook\",7\r"));
    const LineRecord r = LineRecord::parse(stray);
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r.string(0), QStringLiteral("Brook"));
    EXPECT_EQ(r.integer(1, 0, 10), 7);
}

TEST(LineCodec, SurvivesHostileInput) {
    QByteArray junk;
    for (int i = 0; i < 5000; ++i) {
        junk.append(static_cast<char>((i * 37) % 256));
    }
    junk.append("\"unterminated,quote");
    const LineRecord r = LineRecord::parse(junk);
    EXPECT_GE(r.size(), 1);
    EXPECT_EQ(LineRecord::parse("").size(), 1);
    EXPECT_EQ(LineRecord::parse(",,,").size(), 4);
}

TEST(LineCodec, AtomicWritesReplaceWholeAndReportFailuresWithoutHarm) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    ASSERT_TRUE(writeFileAtomically(path, "1,2\r\n"));
    ASSERT_TRUE(writeFileAtomically(path, "3\r\n"));
    EXPECT_EQ(readFirstLine(path), QByteArray("3"));

    QString error;
    EXPECT_FALSE(writeFileAtomically(dir.filePath(QStringLiteral("missing/x.ini")), "1", &error));
    EXPECT_FALSE(error.isEmpty());

    // A read-only folder keeps the old file intact.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool wrote = writeFileAtomically(path, "4\r\n", &error);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!wrote) { // root may write anyway
        EXPECT_EQ(readFirstLine(path), QByteArray("3"));
    }

    EXPECT_FALSE(readFirstLine(dir.filePath(QStringLiteral("none.ini"))));
    QFile big(dir.filePath(QStringLiteral("big.ini")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(1 << 17, 'x'));
    big.close();
    EXPECT_FALSE(readFirstLine(big.fileName())) << "an oversized file was read";
}

namespace {

ConsoleSettings sample() {
    ConsoleSettings s;
    s.backColour = sylvaro::console::kSystemButtonFace;
    s.textColour = 0x00FF8000;
    for (int i = 0; i < 20; ++i) {
        s.bank1[static_cast<std::size_t>(i)] = 100 * i;
        s.bank2[static_cast<std::size_t>(i)] = 2000 - 50 * i;
    }
    s.randomVolume = -3000;
    s.allSoundsVolume = -1200;
    s.backgroundVolume = -400;
    s.boxes[3] = 1;
    s.boxes[14] = 1;
    return s;
}

} // namespace

TEST(ConsoleSettingsFile, HasSixtyFieldsInItsOwnOrderAndRoundTrips) {
    const ConsoleSettings s = sample();
    const QByteArray line = s.toLine();
    ASSERT_TRUE(line.endsWith("\r\n"));
    const LineRecord r = LineRecord::parse(line);
    ASSERT_EQ(r.size(), 60);
    EXPECT_EQ(r.integer(0, INT32_MIN, INT32_MAX),
              static_cast<int>(sylvaro::console::kSystemButtonFace));
    EXPECT_LT(*r.integer(0, INT32_MIN, INT32_MAX), 0) << "system colours are negative";
    EXPECT_EQ(r.integer(2, 0, 2000), 0);   // bank 1 slot 0
    EXPECT_EQ(r.integer(3, 0, 2000), 200); // slot 2 comes before slot 1
    EXPECT_EQ(r.integer(4, 0, 2000), 100);
    EXPECT_EQ(r.integer(22, -3000, 0), -3000);
    EXPECT_EQ(r.integer(24, -3000, 0), -400);
    EXPECT_EQ(r.integer(28, 0, 1), 1); // box 4

    const auto back = ConsoleSettings::fromLine(line);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toLine(), line);
    EXPECT_EQ(back->bank1, s.bank1);
    EXPECT_EQ(back->textColour, s.textColour);
}

TEST(ConsoleSettingsFile, ADamagedLineIsRefusedWhole) {
    QByteArray line = sample().toLine();
    line.chop(2);
    EXPECT_FALSE(ConsoleSettings::fromLine(line.left(line.lastIndexOf(',')))) << "59 fields";
    EXPECT_FALSE(ConsoleSettings::fromLine(line + ",5")) << "61 fields";
    QByteArray outOfRange = line;
    outOfRange.replace("-3000", "-9000");
    EXPECT_FALSE(ConsoleSettings::fromLine(outOfRange));
    QByteArray word = line;
    word.replace("-1200", "loud");
    EXPECT_FALSE(ConsoleSettings::fromLine(word));
    // Bank 2 slots 5 and 6 cannot go below 20.
    ConsoleSettings low = sample();
    low.bank2[5] = 0;
    EXPECT_FALSE(ConsoleSettings::fromLine(low.toLine()));
    EXPECT_FALSE(ConsoleSettings::fromLine(""));
}

TEST(CustomNamesFile, NeverSetNamesAreWrittenEmptyAndGivenOnesQuoted) {
    CustomNames fresh;
    EXPECT_EQ(fresh.toLine(), QByteArray(",,,,,,\"\"\r\n"));

    CustomNames named;
    named.random[1] = QStringLiteral("chimes.wav");
    named.background[0] = QString();
    named.picture = QStringLiteral("lake.jpg");
    EXPECT_EQ(named.toLine(), QByteArray(",\"chimes.wav\",,,\"\",,\"lake.jpg\"\r\n"));

    const auto back = CustomNames::fromLine(named.toLine());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->random[1], QStringLiteral("chimes.wav"));
    EXPECT_EQ(back->picture, QStringLiteral("lake.jpg"));
    EXPECT_FALSE(CustomNames::fromLine("\"a\",\"b\""));
}
