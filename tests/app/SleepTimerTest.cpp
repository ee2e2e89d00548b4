// The sleep timer on the real console in virtual time, its output rendered
// offline: the fade, the pause at the end, the alarm ringing through both,
// and the ways back (Resume, a control, extend, cancel).

#include "panels/SleepTimer.h"

#include "app/ConsoleFixture.h"
#include "engine/Limiter.h"
#include "panels/OutputPause.h"
#include "panels/SleepPanel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>

using namespace sylvaro;
using sylvaro::test::ConsoleTest;
using sylvaro::test::ProgramFolder;
namespace cat = sylvaro::console::catalogue;

namespace {

constexpr int kSecond = ProgramFolder::kRate;

double meanLeft(const std::vector<float>& block, std::size_t fromFrame = 0) {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 2 * fromFrame; i < block.size(); i += 2, ++n) {
        sum += block[i];
    }
    return n ? sum / static_cast<double>(n) : 0.0;
}

// The level at the end of a block, where a step's glide has arrived.
double endLevel(const std::vector<float>& block) {
    return meanLeft(block, block.size() / 2 - 256);
}

double alarmLevel() {
    return ProgramFolder::levelOf(cat::entries()[static_cast<std::size_t>(cat::alarmIndex())].file);
}

class SleepTimerTest : public ConsoleTest {
protected:
    panels::SleepTimer& timer() { return console->sleepTimer(); }
    panels::OutputPause& output() { return console->output(); }
    QAction* action(const char* name) {
        return console->sleep().menu()->findChild<QAction*>(QString::fromLatin1(name));
    }
    // One second: the sound card takes it, then the console's clock moves on.
    std::vector<float> second() {
        std::vector<float> block = audio.render(kSecond);
        host.advance(1000);
        return block;
    }
    // The fire channel playing on its own at full level.
    void playFire() {
        start();
        box(1)->setChecked(true);
        audio.render(4800);
        ASSERT_NEAR(meanLeft(audio.render(256)), ProgramFolder::levelOf("fire.wav"), 1e-3);
    }
    void runOut(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            second();
        }
    }
};

} // namespace

TEST_F(SleepTimerTest, TheFadeFallsInEqualDecibelStepsAndIsSilentAtTheSetTime) {
    playFire();
    const double full = ProgramFolder::levelOf("fire.wav");
    timer().setFadeMinutes(1);
    timer().start(2);
    EXPECT_EQ(timer().remainingMs(), 120000);

    // The first minute plays untouched.
    std::vector<float> lastBlock;
    for (int s = 0; s < 60; ++s) {
        lastBlock = second();
        ASSERT_NEAR(meanLeft(lastBlock), full, 1e-4) << "second " << s;
        ASSERT_FALSE(timer().isFading() && s < 59) << "second " << s;
    }
    EXPECT_TRUE(timer().isFading());
    EXPECT_TRUE(console->sleep().statusText().contains(QStringLiteral("Fading out")));

    // The last minute: never a sample up, the same number of dB each second.
    std::vector<double> levelsDb;
    float previous = lastBlock[lastBlock.size() - 2];
    for (int s = 0; s < 60; ++s) {
        const std::vector<float> block = second();
        for (std::size_t i = 0; i < block.size(); i += 2) {
            ASSERT_LE(block[i], previous + 1e-7f) << "second " << s << ", frame " << i / 2;
            // A step of a decibel taken at once, or even over a few
            // milliseconds, would be heard as a click.
            ASSERT_LT(previous - block[i], 1e-6f) << "second " << s << ", frame " << i / 2;
            previous = block[i];
        }
        if (s < 59) {
            ASSERT_GT(endLevel(block), 0.0) << "silent early, second " << s;
            levelsDb.push_back(20 * std::log10(endLevel(block) / full));
        }
    }
    ASSERT_EQ(levelsDb.size(), 59u);
    const double stepDb = levelsDb[1] - levelsDb[0];
    EXPECT_LT(stepDb, -0.3);
    for (std::size_t i = 1; i < levelsDb.size(); ++i) {
        EXPECT_NEAR(levelsDb[i] - levelsDb[i - 1], stepDb, 0.02) << "step " << i;
    }
    EXPECT_LT(levelsDb.back(), -40.0) << "the last step into silence would be heard as a cut";

    // Time is up: silence, a paused console that says why, the mix untouched.
    EXPECT_FALSE(timer().isRunning());
    EXPECT_TRUE(output().isPaused());
    EXPECT_EQ(output().reason(), panels::OutputPause::Reason::SleepEnded);
    EXPECT_TRUE(console->sleep().statusText().contains(QStringLiteral("ended")));
    EXPECT_TRUE(console->sleep().isVisibleTo(console.get()));
    // Past the limiter's look-ahead, not a sample.
    const std::vector<float> after = second();
    EXPECT_EQ(*std::max_element(after.begin() + 2 * engine::Limiter::kLatencyFrames, after.end()),
              0.0f);
    EXPECT_TRUE(box(1)->isChecked());
    EXPECT_TRUE(engine().isPlaying(bg(1)));
    EXPECT_EQ(engine().volume(bg(1)), 0);
    EXPECT_TRUE(action("mnuResume")->isEnabled());
}

TEST_F(SleepTimerTest, AnAlarmInsideTheFadeRingsAtFullLevelAndOnThroughThePause) {
    playFire();
    const QDateTime ringAt = clock.localNow().addSecs(30);
    console->panels().clock.alarmBox()->setText(ringAt.toString(QStringLiteral("HH:mm:ss")));
    console->panels().clock.alarmOn();
    timer().setFadeMinutes(1);
    timer().start(1);

    runOut(45);
    ASSERT_TRUE(engine().isPlaying(cat::alarmIndex()));
    ASSERT_TRUE(timer().isFading());
    // 45 s into a minute's fade the fire is far down; the alarm is not.
    const double during = endLevel(second());
    EXPECT_GE(during, alarmLevel() - 1e-4);
    EXPECT_LT(during, alarmLevel() + 0.1 * ProgramFolder::levelOf("fire.wav"));

    runOut(15);
    ASSERT_TRUE(output().isPaused());
    const std::vector<float> paused = second();
    EXPECT_NEAR(meanLeft(paused), alarmLevel(), 1e-4);
}

TEST_F(SleepTimerTest, ResumeAndAnyChangedControlBringTheOutputBackAtFullLevel) {
    playFire();
    const double full = ProgramFolder::levelOf("fire.wav");
    timer().setFadeMinutes(1);

    // From the menu.
    timer().start(1);
    runOut(61);
    ASSERT_TRUE(output().isPaused());
    action("mnuResume")->trigger();
    EXPECT_FALSE(output().isPaused());
    EXPECT_FALSE(action("mnuResume")->isEnabled());
    EXPECT_NEAR(endLevel(second()), full, 1e-4);
    EXPECT_TRUE(console->sleep().statusText().isEmpty());
    EXPECT_FALSE(console->sleep().isVisibleTo(console.get()));

    // A box clicked by the user: the output comes back with the new mix.
    timer().start(1);
    runOut(61);
    ASSERT_TRUE(output().isPaused());
    box(3)->click();
    EXPECT_FALSE(output().isPaused());
    EXPECT_NEAR(endLevel(second()),
                full + ProgramFolder::levelOf(cat::entries()[static_cast<std::size_t>(bg(3))].file),
                1e-3);

    // A slider moved by the user after a pause from elsewhere.
    output().pause();
    runOut(1);
    EXPECT_EQ(console->sleep().statusText(), QStringLiteral("Paused"));
    volumes().backgroundSlider()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_FALSE(output().isPaused());
    EXPECT_GT(endLevel(second()), 0.5 * full);
}

TEST_F(SleepTimerTest, ExtendMovesTheEndAndLiftsAFadeCancelStopsItAtFullLevel) {
    playFire();
    const double full = ProgramFolder::levelOf("fire.wav");
    EXPECT_FALSE(action("mnuSleepExtend")->isEnabled());
    EXPECT_FALSE(action("mnuSleepCancel")->isEnabled());
    action("mnuSleep30")->trigger();
    EXPECT_EQ(timer().remainingMs(), 30 * 60000);
    EXPECT_EQ(console->sleep().statusText(), QStringLiteral("Sleep in 30:00"));
    ASSERT_TRUE(action("mnuSleepExtend")->isEnabled());
    action("mnuSleepExtend")->trigger();
    EXPECT_EQ(timer().remainingMs(), 45 * 60000);
    console->sleep().menu()->aboutToShow();
    EXPECT_EQ(action("mnuSleepLeft")->text().remove(QLatin1Char('&')),
              QStringLiteral("Time left: 45:00"));

    // Half a minute into a minute's fade, an extension turns the sound back up.
    timer().setFadeMinutes(1);
    timer().start(1);
    runOut(30);
    ASSERT_LT(endLevel(second()), 0.2 * full);
    action("mnuSleepExtend")->trigger();
    EXPECT_FALSE(timer().isFading());
    runOut(1);
    EXPECT_NEAR(endLevel(second()), full, 1e-4);
    EXPECT_EQ(timer().remainingMs(), (15 * 60 + 27) * 1000);

    // Cancelled in the middle of a fade: back up, and the old end passes by.
    timer().start(1);
    runOut(40);
    ASSERT_LT(endLevel(second()), 0.2 * full);
    action("mnuSleepCancel")->trigger();
    EXPECT_FALSE(timer().isRunning());
    EXPECT_FALSE(action("mnuSleepCancel")->isEnabled());
    runOut(30);
    EXPECT_FALSE(output().isPaused());
    EXPECT_NEAR(endLevel(second()), full, 1e-4);
    EXPECT_TRUE(console->sleep().statusText().isEmpty());
}

TEST_F(SleepTimerTest, CustomLengthsAndTheFadeLengthAreAskedForAndTheFadeIsRemembered) {
    start();
    QList<int> answers{7, 0, 5};
    QStringList questions;
    console->sleep().setNumberAsker(
        [&](const QString&, const QString& question, int, int, int) -> std::optional<int> {
            questions << question;
            if (answers.isEmpty()) {
                return std::nullopt;
            }
            return answers.takeFirst();
        });
    action("mnuSleepCustom")->trigger();
    EXPECT_EQ(timer().remainingMs(), 7 * 60000);
    // Out of range and cancelled answers change nothing.
    action("mnuSleepCustom")->trigger();
    EXPECT_EQ(timer().remainingMs(), 7 * 60000);

    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("user.conf")), QSettings::IniFormat);
    console->sleep().setSettings(&settings);
    EXPECT_EQ(timer().fadeMinutes(), 2);
    action("mnuSleepFade")->trigger();
    EXPECT_EQ(timer().fadeMinutes(), 5);
    EXPECT_EQ(settings.value(panels::SleepPanel::kSettingsKey).toInt(), 5);
    action("mnuSleepFade")->trigger(); // cancelled
    EXPECT_EQ(timer().fadeMinutes(), 5);
    EXPECT_EQ(questions.size(), 4);

    // A fade length read back, and a broken one ignored.
    timer().setFadeMinutes(2);
    console->sleep().setSettings(&settings);
    EXPECT_EQ(timer().fadeMinutes(), 5);
    settings.setValue(panels::SleepPanel::kSettingsKey, QStringLiteral("lots"));
    console->sleep().setSettings(&settings);
    EXPECT_EQ(timer().fadeMinutes(), 5);
}
