#include "app/RecorderLink.h"

#include "ConsoleFixture.h"
#include "persist/LineCodec.h"
#include "persist/RecordFile.h"
#include "recorder/Mp3Encoder.h"
#include "recorder/RecorderWindow.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <sndfile.h>
#include <vector>

namespace sylvaro::test {
namespace {

using recorder::RecorderWindow;

class RecorderLinkTest : public ConsoleTest {
protected:
    RecorderWindow* openRecorder() {
        console->recordButton()->click();
        return console->recorder().window();
    }
};

TEST_F(RecorderLinkTest, RecordCreatesTheRecorderOnceAndShowsItAgain) {
    start();
    EXPECT_EQ(console->recorder().window(), nullptr);
    RecorderWindow* first = openRecorder();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Sylvaro Lite Recorder"));
    first->findChild<QAbstractButton*>(QStringLiteral("cmdClose"))->click();
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(openRecorder(), first);
    EXPECT_TRUE(first->isVisible());
}

// The recorder steps aside when the user goes back to another window of
// the program, and comes back with "Record".
TEST_F(RecorderLinkTest, AnotherWindowTakingOverFromTheRecorderHidesIt) {
    start();
    console->show();
    RecorderWindow* recorder = openRecorder();
    ASSERT_NE(recorder, nullptr);
    recorder->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QGuiApplication::focusWindow(), recorder->windowHandle());
    console->activateWindow();
    QApplication::processEvents();
    EXPECT_FALSE(recorder->isVisible());

    EXPECT_EQ(openRecorder(), recorder);
    QApplication::processEvents();
    EXPECT_TRUE(recorder->isVisible());
}

TEST_F(RecorderLinkTest, EndingDuringPlaybackRestoresTheSlidersThenSaves) {
    start();
    volumes().backgroundSlider()->setValue(-1000);
    volumes().randomSlider()->setValue(-500);
    RecorderWindow* recorder = openRecorder();
    ASSERT_NE(recorder, nullptr);
    bool closed = false;
    dialogs.setWhileOpen([&](const core::MessageRequest& request) {
        if (request.text == RecorderWindow::kPlaybackText && !closed) {
            closed = true;
            EXPECT_EQ(volumes().backgroundSlider()->value(), -3000);
            // Logout while the playback message is open.
            console->close();
        }
    });
    recorder->findChild<QAbstractButton*>(QStringLiteral("cmdPlay"))->click();
    ASSERT_TRUE(closed);
    const auto saved = persist::readRecordFile<persist::ConsoleSettings>(
        folder.path() + QStringLiteral("/settings.ini"));
    ASSERT_TRUE(saved.record.has_value());
    EXPECT_EQ(saved.record->backgroundVolume, -1000);
    EXPECT_EQ(saved.record->randomVolume, -500);
    EXPECT_EQ(volumes().backgroundSlider()->value(), -1000);
    EXPECT_EQ(volumes().randomSlider()->value(), -500);
    // The recorder was unloaded by the shutdown and wrote its settings.
    EXPECT_TRUE(recorder->isUnloaded());
    EXPECT_TRUE(QFile::exists(folder.path() + QStringLiteral("/settings9.txt")));
}

// The whole path a user takes, on the SDL disk driver: five seconds heard
// from a file, stopped, played back with the console turned down, saved as
// WAV through the save dialog and converted with lame.
TEST_F(RecorderLinkTest, RecordsPlaysBackSavesAndConverts) {
    QTemporaryDir work;
    const QString input = work.filePath(QStringLiteral("heard.raw"));
    QByteArray heard; // 5 s of 11025 Hz 16-bit stereo, the default quality
    for (int i = 0; i < 11025 * 5 * 2; ++i) {
        const auto s = static_cast<std::int16_t>((i * 37) % 30000 - 15000);
        heard.append(static_cast<char>(s & 0xFF)).append(static_cast<char>((s >> 8) & 0xFF));
    }
    QFile in(input);
    ASSERT_TRUE(in.open(QIODevice::WriteOnly) && in.write(heard) == heard.size());
    in.close();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILEIN", input.toLocal8Bit().constData(), 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    start();
    volumes().backgroundSlider()->setValue(-700);
    volumes().randomSlider()->setValue(-300);
    RecorderWindow* recorder = openRecorder();
    ASSERT_NE(recorder, nullptr);
    auto click = [&](const char* name) {
        recorder->findChild<QAbstractButton*>(QLatin1String(name))->click();
    };
    click("cmdRecord");
    ASSERT_TRUE(recorder->device().waitForLength(heard.size(), 30000));
    host.advance(5000);
    click("cmdStop");
    int duringBack = 0;
    dialogs.setWhileOpen(
        [&](const core::MessageRequest&) { duringBack = volumes().backgroundSlider()->value(); });
    click("cmdPlay");
    dialogs.setWhileOpen({});
    EXPECT_EQ(duringBack, -3000);
    EXPECT_EQ(volumes().backgroundSlider()->value(), -700);
    EXPECT_EQ(volumes().randomSlider()->value(), -300);

    const QString wav = work.filePath(QStringLiteral("take.wav"));
    dialogs.chooseFileNext(wav);
    click("cmdSave");
    SF_INFO info{};
    SNDFILE* f = sf_open(wav.toLocal8Bit().constData(), SFM_READ, &info);
    ASSERT_NE(f, nullptr);
    QByteArray saved(static_cast<qsizetype>(info.frames * 4), 0);
    EXPECT_EQ(sf_read_raw(f, saved.data(), saved.size()), saved.size());
    sf_close(f);
    EXPECT_EQ(info.samplerate, 11025);
    EXPECT_EQ(info.channels, 2);
    EXPECT_TRUE(saved.left(heard.size()) == heard) << "the saved samples differ from the input";
    recorder->saveOptions()->nextButton()->click(); // "Return To Console"

    const QString mp3 = work.filePath(QStringLiteral("take.mp3"));
    dialogs.chooseFileNext(wav);
    dialogs.chooseFileNext(mp3);
    dialogs.answerNext(core::MessageAnswer::No);
    click("cmdMp3");
    ASSERT_TRUE(recorder->encoder().waitForFinished(60000));
    EXPECT_EQ(dialogs.count(RecorderWindow::kCreatedText.arg(mp3)), 1);
    SF_INFO mp3Info{};
    SNDFILE* m = sf_open(mp3.toLocal8Bit().constData(), SFM_READ, &mp3Info);
    ASSERT_NE(m, nullptr);
    std::vector<float> block(8192);
    sf_count_t frames = 0;
    sf_count_t n = 0;
    while ((n = sf_readf_float(m, block.data(), 4096)) > 0) {
        frames += n;
    }
    sf_close(m);
    EXPECT_NEAR(static_cast<double>(frames) / mp3Info.samplerate,
                static_cast<double>(info.frames) / info.samplerate, 0.1);
}

} // namespace
} // namespace sylvaro::test
