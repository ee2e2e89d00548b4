#include "RecorderFixture.h"
#include "recorder/Mp3Encoder.h"
#include "recorder/Mp3Job.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QRadioButton>
#include <cmath>
#include <sndfile.h>

namespace sylvaro::test {
namespace {

using recorder::RecorderWindow;

// Seconds of sound in a file libsndfile can read (MP3 included).
double secondsIn(const QString& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!f) {
        return -1;
    }
    // An MP3's frame count is only an estimate until it is decoded whole.
    std::vector<float> block(4096 * static_cast<std::size_t>(info.channels));
    sf_count_t frames = 0;
    sf_count_t n = 0;
    while ((n = sf_readf_float(f, block.data(), 4096)) > 0) {
        frames += n;
    }
    sf_close(f);
    return static_cast<double>(frames) / info.samplerate;
}

void writeToneWav(const QString& path, int rate, double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    const int frames = static_cast<int>(rate * seconds);
    std::vector<float> samples(static_cast<std::size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const float v = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * static_cast<float>(i) /
                                        static_cast<float>(rate));
        samples[static_cast<std::size_t>(i) * 2] = v;
        samples[static_cast<std::size_t>(i) * 2 + 1] = v;
    }
    sf_writef_float(f, samples.data(), frames);
    sf_close(f);
}

class Mp3Test : public RecorderTest {
protected:
    void SetUp() override {
        RecorderTest::SetUp();
        if (recorder::Mp3Encoder(dir.path()).program().isEmpty()) {
            GTEST_SKIP() << "lame is not installed (scripts/install-deps.sh installs it)";
        }
    }
    void waitForEncoder() { ASSERT_TRUE(window->encoder().waitForFinished(60000)); }
    // "MP3 >> WAV" on a short tone, with `target` as the MP3 asked for.
    void convertTone(const QString& target) {
        const QString source = dir.filePath(QStringLiteral("tone.wav"));
        writeToneWav(source, 8000, 0.5);
        open();
        dialogs.chooseFileNext(source);
        dialogs.chooseFileNext(target);
        window->findChild<QAbstractButton*>(QStringLiteral("cmdMp3"))->click();
    }
    // A stand-in encoder beside the program that fails like a real one can.
    void fakeLame(const QByteArray& script) {
        const QString path = dir.filePath(QStringLiteral("lame"));
        ASSERT_TRUE(writeBytes(path, "#!/bin/sh\n" + script));
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    }
    QStringList partialFiles() const {
        return QDir(dir.path()).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
    }
};

TEST_F(Mp3Test, ConvertsAWavToAnMp3OfTheSameLength) {
    const QString source = dir.filePath(QStringLiteral("tone.wav"));
    writeToneWav(source, 44100, 3.0);
    open();
    const QString target = dir.filePath(QStringLiteral("my tone.mp3"));
    dialogs.chooseFileNext(source);
    dialogs.chooseFileNext(target);
    int lastProgress = -1;
    QObject::connect(&window->encoder(), &recorder::Mp3Encoder::progress, window.get(),
                     [&](int p) { lastProgress = p; });
    window->findChild<QAbstractButton*>(QStringLiteral("cmdMp3"))->click();
    ASSERT_EQ(dialogs.fileRequests().size(), 2u);
    EXPECT_EQ(dialogs.fileRequests()[0].filter,
              QStringLiteral("Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*"));
    EXPECT_EQ(dialogs.fileRequests()[1].filter,
              QStringLiteral("Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*"));
    EXPECT_TRUE(dialogs.fileRequests()[1].fileName.isEmpty());
    // The window stays live while lame works, with a progress bar.
    EXPECT_TRUE(window->encoder().isRunning());
    EXPECT_FALSE(get<QProgressBar>("prgEncode")->isHidden());
    dialogs.answerNext(core::MessageAnswer::Yes);
    waitForEncoder();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, RecorderWindow::kCreatedText.arg(target));
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("Your mp3 has been created:  ") + target +
                                              QStringLiteral(". Would you like to view the file?"));
    EXPECT_NEAR(secondsIn(target), 3.0, 0.1);
    EXPECT_EQ(lastProgress, 100);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0], QUrl::fromLocalFile(dir.path()));
    EXPECT_TRUE(get<QProgressBar>("prgEncode")->isHidden());
    EXPECT_TRUE(partialFiles().isEmpty());
}

TEST_F(Mp3Test, AFailingEncoderIsReportedAndLeavesNoFile) {
    fakeLame("echo 'Could not find the input.' >&2\nprintf 'x' > \"$2\"\nexit 1\n");
    const QString target = dir.filePath(QStringLiteral("out.mp3"));
    ASSERT_TRUE(writeBytes(target, "an older mp3"));
    convertTone(target);
    waitForEncoder();
    EXPECT_EQ(dialogs.count(RecorderWindow::kCreatedText.arg(target)), 0);
    ASSERT_EQ(dialogs.count(recorder::Mp3Job::kMp3FailedText.arg(target)), 1);
    EXPECT_TRUE(dialogs.messages().back().detail.contains(QStringLiteral("Could not find")));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("an older mp3"));
    EXPECT_TRUE(partialFiles().isEmpty());
}

TEST_F(Mp3Test, AnEncoderThatWritesNothingIsAFailure) {
    fakeLame("exit 0\n");
    const QString target = dir.filePath(QStringLiteral("out.mp3"));
    convertTone(target);
    waitForEncoder();
    EXPECT_EQ(dialogs.count(recorder::Mp3Job::kMp3FailedText.arg(target)), 1);
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(Mp3Test, CancelStopsTheEncoderAndRemovesThePartialFile) {
    fakeLame("printf 'partial' > \"$2\"\nexec sleep 30\n");
    const QString target = dir.filePath(QStringLiteral("out.mp3"));
    convertTone(target);
    ASSERT_TRUE(window->encoder().isRunning());
    window->findChild<QPushButton*>(QStringLiteral("cmdCancelEncode"))->click();
    EXPECT_FALSE(window->encoder().isRunning());
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(partialFiles().isEmpty());
    EXPECT_TRUE(window->findChild<QAbstractButton*>(QStringLiteral("cmdMp3"))->isEnabled());
}

TEST_F(Mp3Test, SaveWithMp3ChosenEncodesTheTake) {
    open();
    get<QRadioButton>("optMP3")->setChecked(true);
    chooseQuality(QStringLiteral("44.100Hz, 16bit Stereo, 172k/sec"));
    recordAtLeast(176400 * 2);
    btn("cmdStop")->click();
    const double seconds = static_cast<double>(window->device().lengthBytes()) / 176400.0;
    const QString target = dir.filePath(QStringLiteral("take.mp3"));
    dialogs.chooseFileNext(target);
    btn("cmdSave")->click();
    EXPECT_EQ(dialogs.fileRequests().back().filter, QStringLiteral("Mp3 Files (*.mp3)|*.mp3"));
    waitForEncoder();
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_NEAR(secondsIn(target), seconds, 0.1);
    ASSERT_NE(window->saveOptions(), nullptr);
    EXPECT_EQ(window->saveOptions()->shownPath(), target);
    EXPECT_EQ(window->device().lengthBytes(), 0);
    EXPECT_TRUE(QDir(takes()).entryList({QStringLiteral("*.wav")}, QDir::Files).isEmpty());
}

TEST_F(Mp3Test, SaveWhileAConversionRunsKeepsTheTakeAndTheConversionsFile) {
    // An encoder that copies its input once the test lets it.
    const QString gate = dir.filePath(QStringLiteral("go"));
    fakeLame("while [ ! -e '" + gate.toLocal8Bit() +
             "' ]; do sleep 0.02; done\ncp \"$1\" \"$2\"\n");
    const QString converted = dir.filePath(QStringLiteral("converted.mp3"));
    convertTone(converted);
    ASSERT_TRUE(window->encoder().isRunning());
    get<QRadioButton>("optMP3")->setChecked(true);
    recordAtLeast(10000);
    btn("cmdStop")->click();
    const qint64 take = window->device().lengthBytes();
    const std::size_t asked = dialogs.fileRequests().size();

    const QString saved = dir.filePath(QStringLiteral("take.mp3"));
    dialogs.chooseFileNext(saved); // in case a name is asked for
    btn("cmdSave")->click();
    ASSERT_EQ(dialogs.count(recorder::Mp3Job::kEncoderBusyText.arg(converted)), 1);
    EXPECT_EQ(dialogs.fileRequests().size(), asked) << "a name was asked for in vain";
    EXPECT_TRUE(btn("cmdSave")->isEnabled());

    ASSERT_TRUE(writeBytes(gate, "go"));
    waitForEncoder();
    EXPECT_EQ(dialogs.count(RecorderWindow::kCreatedText.arg(converted)), 1);
    EXPECT_TRUE(QFile::exists(converted));
    EXPECT_FALSE(QFile::exists(saved));
    EXPECT_EQ(window->saveOptions(), nullptr);
    EXPECT_EQ(window->device().lengthBytes(), take) << "the take was lost";
    EXPECT_TRUE(btn("cmdSave")->isEnabled());

    // Once the encoder is free, the same take saves.
    btn("cmdSave")->click();
    waitForEncoder();
    EXPECT_TRUE(QFile::exists(saved));
    ASSERT_NE(window->saveOptions(), nullptr);
    EXPECT_EQ(window->saveOptions()->shownPath(), saved);
    EXPECT_EQ(window->device().lengthBytes(), 0);
    EXPECT_TRUE(QDir(takes()).entryList({QStringLiteral("*.wav")}, QDir::Files).isEmpty());
}

} // namespace
} // namespace sylvaro::test
