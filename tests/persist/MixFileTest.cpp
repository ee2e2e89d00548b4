#include "persist/MixFile.h"

#include <gtest/gtest.h>

namespace sylvaro::persist {
namespace {

// Every field distinct, so a field in the wrong place shows.
MixFile distinctMix() {
    MixFile m;
    for (int slot = 0; slot < 20; ++slot) {
        m.console.bank1[static_cast<std::size_t>(slot)] = 100 + slot;
        m.console.bank2[static_cast<std::size_t>(slot)] = 1000 + slot;
    }
    m.console.randomVolume = -1;
    m.console.allSoundsVolume = -2;
    m.console.backgroundVolume = -3;
    m.alarmTime = QStringLiteral("07:30");
    m.alarmState = QStringLiteral("ON");
    m.console.backColour = 255;
    m.console.textColour = -2147483633;
    for (int i = 0; i < 15; ++i) {
        m.console.boxes[static_cast<std::size_t>(i)] = i % 2;
    }
    m.names.random = {QStringLiteral("r1.wav"), QString(), std::nullopt, QStringLiteral("r4.wav")};
    m.names.background = {std::nullopt, QStringLiteral("b2.wav")};
    m.panel.enabled = {1, 0};
    m.panel.frequency = {10, 20, 30, 40};
    m.panel.backgroundLabels = {QStringLiteral("B1"), QStringLiteral("B2")};
    m.panel.randomLabels = {QStringLiteral("R1"), QStringLiteral("R2"), QStringLiteral("R3"),
                            QStringLiteral("R4")};
    m.names.picture = QStringLiteral("p.jpg");
    return m;
}

QByteArray distinctLine() {
    QByteArray line = "100,102,-1,101,103";
    for (int slot = 4; slot < 20; ++slot) {
        line += ',' + QByteArray::number(100 + slot);
    }
    line += ",-2,-3,\"07:30\",\"ON\",255,-2147483633";
    for (int i = 0; i < 15; ++i) {
        line += ',' + QByteArray::number(i % 2);
    }
    for (int slot = 0; slot < 20; ++slot) {
        line += ',' + QByteArray::number(1000 + slot);
    }
    line += ",\"r1.wav\",\"\",,\"r4.wav\",,\"b2.wav\",1,0,10,20,30,40,\"B1\",\"R1\",\"R2\",\"R3\","
            "\"R4\",\"B2\",\"p.jpg\"\r\n";
    return line;
}

TEST(MixFile, WritesTheEightyOneFieldsInTheirOrderAndEncodings) {
    EXPECT_EQ(distinctMix().toLine(), distinctLine());
}

TEST(MixFile, ReadsBackWhatItWroteWithEveryNameGiven) {
    const MixRead read = MixFile::fromLine(distinctLine());
    ASSERT_TRUE(read.mix) << read.badField << " " << read.reason.toStdString();
    MixFile expected = distinctMix();
    // A name read back is a name given, even when its field was empty.
    expected.names.random[2] = QString();
    expected.names.background[0] = QString();
    EXPECT_EQ(*read.mix, expected);
}

TEST(MixFile, AcceptsQuotedDigitsAndBareTextWhereTheOtherIsWritten) {
    QByteArray line = distinctLine();
    line.replace("100,102,-1,", "\"100\",102,\"-1\",");
    line.replace("\"07:30\"", "730");
    line.chop(2);
    const MixRead read = MixFile::fromLine(line);
    ASSERT_TRUE(read.mix) << read.badField << " " << read.reason.toStdString();
    EXPECT_EQ(read.mix->console.bank1[0], 100);
    EXPECT_EQ(read.mix->console.randomVolume, -1);
    EXPECT_EQ(read.mix->alarmTime, QStringLiteral("730"));
}

TEST(MixFile, NamesTheFirstFieldThatIsNotAMixs) {
    struct Case {
        QByteArray line;
        int field;
    };
    const QByteArray good = distinctLine().chopped(2);
    QByteArray slider = good;
    slider.replace(0, 3, "5000");
    QByteArray colour = good;
    colour.replace(",255,", ",\"blue\",");
    QByteArray box = good;
    box.replace(",-2147483633,0,", ",-2147483633,7,");
    const Case cases[] = {
        {good.left(good.lastIndexOf(',')), 81}, // 80 fields: the 81st is missing
        {good + ",\"extra\"", 82},              // 82 fields
        {slider, 1},                            // a slider past its range
        {colour, 26},                           // a colour that is not a number
        {box, 28},                              // an enable box of 7
        {QByteArray("\x7f"
                    "ELF\x02\x01\x01\0\0\0",
                    10),
         2}, // binary
    };
    for (const Case& c : cases) {
        const MixRead read = MixFile::fromLine(c.line);
        EXPECT_FALSE(read.mix);
        EXPECT_EQ(read.badField, c.field) << c.line.left(40).toStdString();
        EXPECT_FALSE(read.reason.isEmpty());
    }
}

} // namespace
} // namespace sylvaro::persist
