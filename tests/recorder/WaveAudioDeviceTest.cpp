#include "recorder/WaveAudioDevice.h"

#include "DiskInput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace sylvaro::test {
namespace {

using recorder::CommandResult;
using recorder::WaveAudioDevice;
using recorder::WaveFormat;

QString setCommand(const WaveFormat& f) {
    return QStringLiteral("set capture samplespersec %1 channels %2 bitspersample %3 alignment "
                          "%4 bytespersec %5")
        .arg(f.samplesPerSec)
        .arg(f.channels)
        .arg(f.bitsPerSample)
        .arg(f.bitsPerSample * f.channels / 8)
        .arg(f.bitsPerSample * f.channels / 8 * f.samplesPerSec);
}

class WaveAudioDeviceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString takes() const { return dir.filePath(QStringLiteral("cache")); }
    QString input() const { return dir.filePath(QStringLiteral("input.raw")); }

    static void expectOk(const CommandResult& r) { EXPECT_EQ(r.code, 0) << r.error.toStdString(); }
    static qint64 length(WaveAudioDevice& d) {
        return d.send(QStringLiteral("status capture length")).reply.toLongLong();
    }
};

class CaptureFormats : public WaveAudioDeviceTest,
                       public ::testing::WithParamInterface<WaveFormat> {};

TEST_P(CaptureFormats, SavedWavHoldsExactlyWhatTheDeviceDelivered) {
    const WaveFormat format = GetParam();
    const QByteArray sound = makeSamples(format, format.samplesPerSec * 3 / 4);
    ASSERT_TRUE(writeBytes(input(), sound));
    useDiskInput(input());

    WaveAudioDevice device(takes());
    expectOk(device.send(QStringLiteral("close all")));
    expectOk(device.send(QStringLiteral("open new type waveaudio alias capture")));
    expectOk(device.send(setCommand(format)));
    expectOk(device.send(QStringLiteral("record capture")));
    ASSERT_TRUE(device.waitForLength(sound.size(), 20000));
    expectOk(device.send(QStringLiteral("stop capture")));
    expectOk(device.send(QStringLiteral("set capture time format bytes")));
    const qint64 bytes = length(device);
    ASSERT_GE(bytes, sound.size());
    EXPECT_EQ(bytes % (format.bitsPerSample * format.channels / 8), 0);
    EXPECT_EQ(device.send(QStringLiteral("status capture channels")).reply.toInt(),
              format.channels);

    const QString target = dir.filePath(QStringLiteral("take.wav"));
    expectOk(device.send(QStringLiteral("save capture ") + target));
    const WavContent wav = readWav(target);
    ASSERT_TRUE(wav.ok);
    EXPECT_EQ(wav.rate, format.samplesPerSec);
    EXPECT_EQ(wav.channels, format.channels);
    EXPECT_EQ(wav.subtype, format.bitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
    ASSERT_EQ(wav.bytes.size(), bytes);
    EXPECT_TRUE(wav.bytes.left(sound.size()) == sound) << "the samples differ from the input";
    // After its input the device hears silence.
    const char silence = format.bitsPerSample == 8 ? static_cast<char>(128) : 0;
    const QByteArray rest = wav.bytes.mid(sound.size());
    EXPECT_EQ(rest.count(silence), rest.size());
}

INSTANTIATE_TEST_SUITE_P(Qualities, CaptureFormats,
                         ::testing::Values(WaveFormat{8000, 8, 1}, WaveFormat{11025, 16, 2},
                                           WaveFormat{22050, 8, 2}, WaveFormat{44100, 16, 1},
                                           WaveFormat{44100, 16, 2}));

TEST_F(WaveAudioDeviceTest, LengthInMillisecondsFollowsTheFormat) {
    const WaveFormat format{8000, 16, 2}; // 32000 bytes a second
    ASSERT_TRUE(writeBytes(input(), makeSamples(format, 8000)));
    useDiskInput(input());
    WaveAudioDevice device(takes());
    expectOk(device.send(QStringLiteral("open new type waveaudio alias capture")));
    expectOk(device.send(setCommand(format)));
    expectOk(device.send(QStringLiteral("record capture")));
    ASSERT_TRUE(device.waitForLength(32000, 20000));
    expectOk(device.send(QStringLiteral("stop capture")));
    expectOk(device.send(QStringLiteral("set capture time format bytes")));
    const qint64 bytes = length(device);
    expectOk(device.send(QStringLiteral("set capture time format ms")));
    EXPECT_EQ(length(device), bytes * 1000 / 32000);
}

TEST_F(WaveAudioDeviceTest, RefusesWhatIsNotOneOfTheRecordersCommands) {
    WaveAudioDevice device(takes());
    // Nothing is open yet.
    EXPECT_EQ(device.send(QStringLiteral("record capture")).code,
              WaveAudioDevice::kInvalidDeviceName);
    expectOk(device.send(QStringLiteral("open new type waveaudio alias capture")));
    EXPECT_EQ(device.send(QStringLiteral("open new type waveaudio alias capture")).code,
              WaveAudioDevice::kDuplicateAlias);
    EXPECT_EQ(device.send(QStringLiteral("record other")).code,
              WaveAudioDevice::kInvalidDeviceName);
    EXPECT_EQ(device.send(QStringLiteral("erase capture")).code,
              WaveAudioDevice::kUnrecognizedCommand);
    EXPECT_EQ(device.send(QStringLiteral("play capture from 10")).code,
              WaveAudioDevice::kUnrecognizedKeyword);
    EXPECT_EQ(device.send(QStringLiteral("set capture time format frames")).code,
              WaveAudioDevice::kUnrecognizedKeyword);
    // An alignment or rate that does not match the rest.
    EXPECT_EQ(device
                  .send(QStringLiteral("set capture samplespersec 11025 channels 2 bitspersample "
                                       "16 alignment 2 bytespersec 44100"))
                  .code,
              WaveAudioDevice::kOutOfRange);
    EXPECT_EQ(device
                  .send(QStringLiteral("set capture samplespersec 11025 channels 2 bitspersample "
                                       "12 alignment 3 bytespersec 33075"))
                  .code,
              WaveAudioDevice::kOutOfRange);
    EXPECT_EQ(device
                  .send(QStringLiteral("set capture samplespersec x channels 2 bitspersample 16 "
                                       "alignment 4 bytespersec 44100"))
                  .code,
              WaveAudioDevice::kBadInteger);
    const CommandResult r = device.send(QStringLiteral("status capture length"));
    expectOk(r);
    EXPECT_EQ(r.reply, QStringLiteral("0"));
    expectOk(device.send(QStringLiteral("close capture")));
    EXPECT_EQ(device.send(QStringLiteral("status capture length")).code,
              WaveAudioDevice::kInvalidDeviceName);
}

TEST_F(WaveAudioDeviceTest, ClosingDiscardsTheTakeFile) {
    WaveAudioDevice device(takes());
    expectOk(device.send(QStringLiteral("open new type waveaudio alias capture")));
    EXPECT_EQ(QDir(takes()).entryList(QDir::Files).size(), 1);
    expectOk(device.send(QStringLiteral("close all")));
    EXPECT_TRUE(QDir(takes()).entryList(QDir::Files).isEmpty());
}

TEST_F(WaveAudioDeviceTest, FailedSaveKeepsTheOldFileAndSaysSo) {
    WaveAudioDevice device(takes());
    expectOk(device.send(QStringLiteral("open new type waveaudio alias capture")));
    const QString target = dir.filePath(QStringLiteral("old.wav"));
    ASSERT_TRUE(writeBytes(target, "precious"));
    // A folder that does not exist: nothing can be written there.
    const CommandResult r =
        device.send(QStringLiteral("save capture ") + dir.filePath(QStringLiteral("no/such.wav")));
    EXPECT_EQ(r.code, WaveAudioDevice::kFileNotSaved);
    EXPECT_FALSE(r.error.isEmpty());
    // A path with spaces is used as given, and replaces a file whole.
    const QString spaced = dir.filePath(QStringLiteral("my takes/first take.wav"));
    QDir().mkpath(dir.filePath(QStringLiteral("my takes")));
    expectOk(device.send(QStringLiteral("save capture ") + spaced));
    EXPECT_TRUE(readWav(spaced).ok);
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("precious"));
}

TEST_F(WaveAudioDeviceTest, MissingCaptureDeviceIsAnErrorNotATake) {
    useDiskInput(dir.filePath(QStringLiteral("absent.raw")));
    WaveAudioDevice device(takes());
    expectOk(device.send(QStringLiteral("open new type waveaudio alias capture")));
    const CommandResult r = device.send(QStringLiteral("record capture"));
    EXPECT_EQ(r.code, WaveAudioDevice::kHardware);
    EXPECT_FALSE(device.isRecording());
}

} // namespace
} // namespace sylvaro::test
