#include "app/ConsoleFixture.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "widgets/StoredColour.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace sylvaro;
using sylvaro::test::ConsoleTest;
namespace cat = sylvaro::console::catalogue;

namespace {

QColor rgb(std::uint32_t value) {
    return QColor::fromRgb(static_cast<QRgb>(value));
}
QColor textOf(QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

class SceneTest : public ConsoleTest, public ::testing::WithParamInterface<std::string_view> {
protected:
    panels::RandomSounds& randomSounds() { return *(&console->panels().random); }
    panels::ScenePanel& scenes() { return console->scenes(); }
};

} // namespace

TEST_P(SceneTest, SetsEveryControlColourAndPictureAndPlaysExactlyItsChannels) {
    const scenes::Scene& scene = *scenes::find(GetParam());
    start();
    // Something of another scene is on before.
    box(6)->setChecked(true);
    randomSounds().slider(2, 17)->setValue(500);
    randomSounds().bankButton(2)->click();

    scenes().button(scene.caption)->click();
    for (int bank = 1; bank <= 2; ++bank) {
        for (int slot = 0; slot < 20; ++slot) {
            EXPECT_EQ(randomSounds().slider(bank, slot)->value(), scene.frequency(bank, slot))
                << bank << "/" << slot;
            EXPECT_EQ(randomSounds().scheduler().timer(bank, slot).isEnabled(),
                      scene.frequency(bank, slot) < 1999)
                << bank << "/" << slot;
        }
    }
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        EXPECT_EQ(box(channel)->isChecked(), scene.boxOn(channel)) << "box " << channel;
        EXPECT_EQ(engine().isPlaying(bg(channel)), scene.boxOn(channel)) << "channel " << channel;
    }
    EXPECT_EQ(volumes().randomSlider()->value(), scene.randomVolume);
    EXPECT_EQ(volumes().backgroundSlider()->value(), scene.backgroundVolume);
    EXPECT_EQ(engine().volume(bg(12)), scene.backgroundVolume);
    EXPECT_EQ(pictureName().toStdString(), scene.picture);
    EXPECT_EQ(console->state().backColour(), console::toStored(scene.background));
    EXPECT_EQ(textOf(box(3)), rgb(scene.text));
    EXPECT_EQ(textOf(randomSounds().caption(1, 0)), rgb(scene.text));
    EXPECT_EQ(textOf(console->panels().clock.timeCaption()), rgb(scene.text));
    EXPECT_EQ(console->centralWidget()->palette().color(QPalette::Window), rgb(scene.background));

    // Only the ticked channels reach the output (each file is a constant level).
    audio.render(9600);
    const auto block = audio.render(64);
    double expected = 0;
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        if (scene.boxOn(channel)) {
            const auto& e = cat::entries()[static_cast<std::size_t>(bg(channel))];
            expected += test::ProgramFolder::levelOf(e.file) *
                        std::pow(10.0, scene.backgroundVolume / 2000.0);
        }
    }
    // No virtual time passed since the click, so no random sound has fired:
    // the output is the backgrounds' alone.
    for (int bank = 1; bank <= 2; ++bank) {
        for (int slot = 0; slot < 20; ++slot) {
            ASSERT_FALSE(engine().isPlaying(cat::randomIndex(bank, slot))) << bank << "/" << slot;
        }
    }
    EXPECT_NEAR(block[0], expected, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(All, SceneTest, ::testing::ValuesIn(scenes::kGridOrder),
                         [](const auto& p) { return std::string(p.param); });

TEST_F(ConsoleTest, ApplyingASceneTwiceRestartsNothing) {
    start();
    auto* stormButton = console->scenes().button("Storm");
    stormButton->click();
    audio.render(3000);
    const auto rain = engine().position(bg(7));
    const int thunderInterval = console->panels().random.scheduler().timer(1, 4).interval();
    host.advance(400);
    stormButton->click();
    EXPECT_EQ(engine().position(bg(7)), rain);
    audio.render(100);
    EXPECT_EQ(engine().position(bg(7)), rain + 100) << "the rain started over";
    EXPECT_EQ(console->panels().random.scheduler().timer(1, 4).interval(), thunderInterval);
}

TEST_F(ConsoleTest, AfterTropicalCaptionsAreBlackOnLightBlueAndBankTwoFollowsWithinHalfASecond) {
    start();
    console->scenes().button("Summer")->click();
    host.advance(500);
    QLabel* bank2 = console->panels().random.caption(2, 13);
    ASSERT_EQ(textOf(bank2), QColor(Qt::white));
    console->scenes().button("Tropical")->click();
    EXPECT_EQ(textOf(bank2), QColor(Qt::white)) << "bank 2 is set by the sync, not the scene";
    host.advance(500);
    EXPECT_EQ(textOf(bank2), QColor(Qt::black));
    EXPECT_EQ(textOf(console->panels().random.caption(1, 7)), QColor(Qt::black));
    EXPECT_EQ(console->centralWidget()->palette().color(QPalette::Window),
              QColor(0x80, 0x80, 0xFF));
    EXPECT_EQ(box(1)->palette().color(QPalette::Window), QColor(0x80, 0x80, 0xFF));
}

TEST_F(ConsoleTest, ResetAsksAndOnOkSilencesEveryChannelButKeepsTheLook) {
    start();
    EXPECT_EQ(console->scenes().resetButton()->toolTip(),
              QStringLiteral("Clear All Random Sounds"));
    console->scenes().button("Fireside")->click();
    dialogs.answerNext(core::MessageAnswer::Cancel);
    console->scenes().resetButton()->click();
    ASSERT_EQ(dialogs.count(app::ConsoleState::kResetText), 1);
    EXPECT_EQ(dialogs.messages().back().title, QStringLiteral("Confirm Reset"));
    EXPECT_EQ(dialogs.messages().back().buttons, core::MessageButtons::OkCancel);
    EXPECT_TRUE(engine().isPlaying(bg(1)));
    EXPECT_EQ(console->panels().random.slider(1, 10)->value(), 1800);

    console->scenes().resetButton()->click();
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        EXPECT_FALSE(engine().isPlaying(bg(channel)));
    }
    for (int bank = 1; bank <= 2; ++bank) {
        for (int slot = 0; slot < 20; ++slot) {
            EXPECT_EQ(console->panels().random.slider(bank, slot)->value(), 2000);
        }
    }
    EXPECT_FALSE(console->panels().random.scheduler().timer(1, 0).isEnabled());
    EXPECT_FALSE(console->panels().random.scheduler().timer(1, 2).isEnabled());
    EXPECT_EQ(volumes().backgroundSlider()->value(), -392);
    EXPECT_EQ(pictureName(), QStringLiteral("firepic.gif"));
    EXPECT_EQ(console->state().backColour(), console::toStored(0x404040));
}

TEST_F(ConsoleTest, ColourCommandsPaintTheirTargetsAndCancelRepeatsTheLastColour) {
    start();
    dialogs.pickColourNext(0x336699);
    console->menus().action(QStringLiteral("mnuBackColor"))->trigger();
    EXPECT_EQ(console->state().backColour(), console::toStored(0x336699));
    EXPECT_EQ(box(9)->palette().color(QPalette::Window), QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(console->panels().random.spatialBox()->palette().color(QPalette::Window),
              QColor(0x33, 0x66, 0x99));

    // Cancelled: the dialog still reports the colour chosen last.
    console->menus().action(QStringLiteral("mnuFontColor"))->trigger();
    EXPECT_EQ(dialogs.colourDialogs(), 2);
    EXPECT_EQ(textOf(console->panels().random.caption(2, 3)), QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(textOf(console->panels().clock.alarmCaption()), QColor(0x33, 0x66, 0x99));
    EXPECT_EQ(console->state().textColour(), console::toStored(0x336699));
    console->close();
    const auto saved = persist::ConsoleSettings::fromLine(
        *persist::readFirstLine(folder.path() + QStringLiteral("/settings.ini")));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->textColour, console::toStored(0x336699));
}

TEST_F(ConsoleTest, TheAlarmRingsItsOwnBufferWhateverTheVolumesAndOffStopsIt) {
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(6, 59, 58)));
    start();
    host.advance(2); // 07:00:01.002, just after the clock's tick
    panels::ClockAlarmPanel& panel = console->panels().clock;
    EXPECT_EQ(panel.alarmBox()->text(), QStringLiteral("00:00"));
    EXPECT_EQ(panel.clockLabel()->text(), QStringLiteral("07:00:01"));
    panel.alarmBox()->setText(QStringLiteral("07:00:03"));
    volumes().muteButton()->click();
    volumes().allSoundsSlider()->dragTo(-3000);

    console->menus().action(QStringLiteral("mnuAlarmOn"))->trigger();
    EXPECT_TRUE(console->menus().action(QStringLiteral("mnuAlarmOn"))->isChecked());
    EXPECT_FALSE(console->menus().action(QStringLiteral("mnuAlarmOff"))->isChecked());
    host.advance(1980);
    EXPECT_FALSE(engine().isPlaying(cat::alarmIndex()));
    host.advance(20);
    EXPECT_TRUE(engine().isPlaying(cat::alarmIndex()));
    EXPECT_EQ(engine().volume(cat::alarmIndex()), 0);
    EXPECT_EQ(panel.clockLabel()->text(), QStringLiteral("07:00:03"));

    audio.render(1000);
    console->menus().action(QStringLiteral("mnuAlarmOff"))->trigger();
    EXPECT_FALSE(engine().isPlaying(cat::alarmIndex()));
    const auto stoppedAt = engine().position(cat::alarmIndex());
    EXPECT_GT(stoppedAt, 0);
    console->menus().action(QStringLiteral("mnuAlarmOn"))->trigger();
    host.advance(20);
    EXPECT_TRUE(engine().isPlaying(cat::alarmIndex()));
    EXPECT_EQ(engine().position(cat::alarmIndex()), stoppedAt)
        << "it rings on from where it stopped";
}

TEST_F(ConsoleTest, TheWatchdogKeepsTheClockAlive) {
    start();
    alarm::AlarmClock& alarm = console->panels().clock.alarmClock();
    alarm.tickTimer().setEnabled(false);
    alarm.tickTimer().setInterval(0);
    host.advance(5000);
    EXPECT_TRUE(alarm.tickTimer().isEnabled());
    host.advance(1500);
    EXPECT_EQ(console->panels().clock.clockLabel()->text(), alarm.timeText())
        << "the clock stopped";
}
