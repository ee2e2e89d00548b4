// The real console on the generated program folder, with SDL's disk driver
// standing in for the sound card: what it writes is what the speakers play.

#include "app/ConsoleLifecycle.h"
#include "app/ConsoleMenus.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "engine/SdlAudioOutput.h"
#include "engine/SoundEngine.h"
#include "panels/BackgroundChannels.h"
#include "panels/CatalogueSounds.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/DevicePanel.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "persist/ConsoleSettings.h"
#include "persist/LineCodec.h"
#include "support/BuiltProgram.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <sndfile.h>
#include <vector>

using namespace sylvaro;

namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        m_programDir = test::builtProgramDir();
        if (m_programDir.isEmpty()) {
            GTEST_SKIP() << "SYLVARO_PROGRAM_DIR does not point at a built program folder";
        }
        m_output = m_tmp.filePath(QStringLiteral("speakers.raw"));
        useLinkedCopy();
    }
    void TearDown() override {
        console.reset();
        audio.reset();
    }

    // A private program folder, so a test may put its own settings and
    // sounds beside the built ones.
    void useLinkedCopy() {
        const QString copy = m_tmp.filePath(QStringLiteral("program"));
        test::makeLinkedProgram(m_programDir, copy);
        m_programDir = copy;
    }

    void startConsole(const char* driver) {
        qputenv("SDL_AUDIODRIVER", driver);
        qputenv("SDL_DISKAUDIOFILE", m_output.toLocal8Bit());
        audio = std::make_unique<engine::SdlAudioOutput>();
        console = std::make_unique<app::ConsoleWindow>(
            app::Services{core::AppDir(m_programDir), host, dialogs, random, clock, *audio});
        console->load();
        console->show();
        host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    }

    // Peak of the samples the device wrote after `fromByte`.
    double peakSince(qint64 fromByte) const {
        QFile f(m_output);
        if (!f.open(QIODevice::ReadOnly) || !f.seek(fromByte)) {
            return 0.0;
        }
        const QByteArray data = f.readAll();
        double peak = 0.0;
        for (const float sample : engine::SdlAudioOutput::fromDeviceBytes(
                 data.constData(), static_cast<std::size_t>(data.size()))) {
            peak = std::max(peak, double(std::fabs(sample)));
        }
        return peak;
    }
    qint64 written() const { return QFileInfo(m_output).size(); }

    // Waits in real time for the audio thread to write `bytes` more; a
    // stalled thread fails the test, since silence would look like a pass.
    qint64 waitForMore(qint64 bytes) const {
        const qint64 target = written() + bytes;
        for (int i = 0; i < 1000 && written() < target; ++i) {
            QThread::msleep(10);
        }
        EXPECT_GE(written(), target) << "the audio thread stopped writing";
        return written();
    }

    QTemporaryDir m_tmp;
    QString m_programDir;
    QString m_output;
    core::VirtualTimerHost host;
    core::ScriptedDialogs dialogs;
    core::RandomSource random{3};
    core::VirtualWallClock clock{host, QDateTime::currentDateTime()};
    std::unique_ptr<engine::SdlAudioOutput> audio;
    std::unique_ptr<app::ConsoleWindow> console;
};

// In the device's own format, which the disk driver writes as it is.
constexpr qint64 kQuarterSecond = 48000 / 4 * engine::SdlAudioOutput::kBytesPerFrame;

} // namespace

TEST_F(EndToEnd, FireCracklingReachesTheSpeakersWhenTickedAndStopsWhenCleared) {
    startConsole("disk");
    ASSERT_TRUE(console->lifecycle().isStarted())
        << (dialogs.messages().empty() ? "" : dialogs.messages().back().detail.toStdString());
    EXPECT_EQ(console->sounds().engine().bufferCount(), console::kBufferCount);

    qint64 mark = waitForMore(kQuarterSecond);
    EXPECT_EQ(peakSince(0), 0.0) << "sound before anything was ticked";

    console->panels().channels.box(1)->setChecked(true);
    waitForMore(kQuarterSecond * 2);
    EXPECT_GT(peakSince(mark + kQuarterSecond), 0.01) << "the fire is not in the output";

    console->panels().channels.box(1)->setChecked(false);
    mark = waitForMore(kQuarterSecond);
    waitForMore(kQuarterSecond);
    EXPECT_EQ(peakSince(mark), 0.0) << "the fire went on after clearing its box";
}

TEST_F(EndToEnd, WithoutAWorkingAudioDriverTheFailureMessageAppearsAndRepeats) {
    startConsole("no-such-driver");
    EXPECT_FALSE(console->lifecycle().isStarted());
    EXPECT_EQ(dialogs.count(app::ConsoleLifecycle::kStartupFailedText), 1);
    host.advance(3000);
    EXPECT_EQ(dialogs.count(app::ConsoleLifecycle::kStartupFailedText), 2);
}

TEST_F(EndToEnd, ASavedMixPlaysItsBoxesAndRandomChannelsAfterStartup) {
    persist::ConsoleSettings saved;
    saved.bank1.fill(2000);
    saved.bank2.fill(2000);
    saved.boxes[3] = 1;  // "Surf"
    saved.bank1[18] = 0; // "Ships Horn", as often as it goes
    ASSERT_TRUE(persist::writeFileAtomically(m_programDir + QStringLiteral("/settings.ini"),
                                             saved.toLine()));
    startConsole("disk");
    ASSERT_TRUE(console->lifecycle().isStarted());
    EXPECT_TRUE(console->sounds().engine().isPlaying(console->sounds().background(4)));
    waitForMore(kQuarterSecond * 2);
    EXPECT_GT(peakSince(kQuarterSecond), 0.01) << "the surf is not in the output";

    // Within a minute of virtual time the horn has sounded at least once.
    const engine::Buffer horn = console->sounds().random(1, 18);
    bool sounded = false;
    for (int step = 0; step < 600 && !sounded; ++step) {
        host.advance(100);
        sounded = console->sounds().engine().isPlaying(horn);
    }
    EXPECT_TRUE(sounded);
}

TEST_F(EndToEnd, AFileAtAnotherRatePlaysAtItsOwnPitch) {
    // "Fire Crackling" becomes a 44.1 kHz mono 1 kHz tone; the device runs
    // at 48 kHz, where a file played at the wrong rate would sound at
    // 1088 Hz.
    const QString fire = m_programDir + QStringLiteral("/fire.wav");
    QFile::remove(fire);
    constexpr int kRate = 44100;
    std::vector<float> tone(kRate * 3);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = 0.5f * static_cast<float>(std::sin(2 * std::numbers::pi * 1000.0 *
                                                     static_cast<double>(i) / kRate));
    }
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(fire.toLocal8Bit().constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, tone.data(), static_cast<sf_count_t>(tone.size()));
    sf_close(f);

    startConsole("disk");
    ASSERT_TRUE(console->lifecycle().isStarted());
    const qint64 mark = waitForMore(kQuarterSecond);
    console->panels().channels.box(1)->setChecked(true);
    waitForMore(kQuarterSecond * 4);

    // Rising zero crossings of the left channel over one second of the tone,
    // after its fade-in.
    QFile out(m_output);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    ASSERT_TRUE(out.seek(mark + kQuarterSecond));
    const QByteArray data = out.read(kQuarterSecond * 2);
    const std::vector<float> samples = engine::SdlAudioOutput::fromDeviceBytes(
        data.constData(), static_cast<std::size_t>(data.size()));
    const auto frames = static_cast<qsizetype>(samples.size() / 2);
    ASSERT_EQ(frames, 24000);
    int rising = 0;
    for (qsizetype i = 1; i < frames; ++i) {
        const auto at = static_cast<std::size_t>(i);
        rising += samples[2 * (at - 1)] < 0.0f && samples[2 * at] >= 0.0f ? 1 : 0;
    }
    EXPECT_NEAR(rising, 500, 3) << "half a second of a 1 kHz tone";
}
