#include "app/ConsoleModes.h"

#include "ConsoleFixture.h"
#include "panels/FullWindowPicture.h"

#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace sylvaro::test {
namespace {

// Hide leaves only the picture; the show button brings the console back on
// bank 1; neither touches a channel, a volume or a timer.
class ConsoleModesTest : public ConsoleTest {
protected:
    app::ConsoleModes& modes() { return console->modes(); }
    panels::RandomSounds& random() { return console->panels().random; }
    QPushButton* hideButton() {
        return console->findChild<QPushButton*>(QStringLiteral("Command20"));
    }
    QPushButton* showButton() {
        return console->findChild<QPushButton*>(QStringLiteral("Command21"));
    }

    // Everything a mode switch must leave alone.
    struct Snapshot {
        persist::ConsoleSettings settings;
        std::vector<bool> playing;
        std::vector<int> volumes;
        std::vector<bool> timers;
        std::vector<int> intervals;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() {
        Snapshot s{console->state().capture(), {}, {}, {}, {}};
        for (std::size_t i = 0; i < console::catalogue::entries().size(); ++i) {
            s.playing.push_back(engine().isPlaying(static_cast<int>(i)));
            s.volumes.push_back(engine().volume(static_cast<int>(i)));
        }
        for (int bank = 1; bank <= console::kBanks; ++bank) {
            for (int slot = 0; slot < console::kSlots; ++slot) {
                const core::IntervalTimer& t = random().scheduler().timer(bank, slot);
                s.timers.push_back(t.isEnabled());
                s.intervals.push_back(t.interval());
            }
        }
        return s;
    }

    void startShown() {
        start();
        console->show();
        host.advance(app::ConsoleLifecycle::kResumeIntervalMs);
    }
    // A mix with sound in it: two background channels, a random channel on
    // each bank and a muted console.
    void playSomething() {
        box(2)->setChecked(true);
        box(9)->setChecked(true);
        random().slider(1, 4)->setValue(300);
        random().slider(2, 7)->setValue(900);
    }
};

TEST_F(ConsoleModesTest, HideLeavesOnlyThePictureAndTheShowButton) {
    startShown();
    ASSERT_TRUE(hideButton()->isVisible());
    ASSERT_FALSE(showButton()->isVisible());
    const QPixmap picture = console->panels().picture.picture();
    ASSERT_FALSE(picture.isNull());

    hideButton()->click();

    EXPECT_TRUE(modes().isPictureOnly());
    EXPECT_TRUE(showButton()->isVisible());
    EXPECT_TRUE(showButton()->isEnabled());
    EXPECT_FALSE(hideButton()->isVisible());
    EXPECT_FALSE(hideButton()->isEnabled());
    panels::FullWindowPicture* full = modes().fullPicture();
    EXPECT_TRUE(full->isVisible());
    EXPECT_EQ(full->picture().cacheKey(), picture.cacheKey());
    EXPECT_EQ(full->geometry(), console->centralWidget()->rect());
    // Every other control of the console is out of sight.
    for (QWidget* w : console->centralWidget()->findChildren<QWidget*>()) {
        if (w == full || w == showButton() || w->isAncestorOf(showButton())) {
            continue;
        }
        EXPECT_FALSE(w->isVisible())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    for (const char* name : {"cmdRecord", "cmdExit", "cmdReset", "cmdCustomBackground",
                             "cmdCustomRandom", "chkSpatial", "scrlVol", "HScroll3", "HScroll1",
                             "HScroll42", "Check1", "Image2", "cmdMute", "txtAlarm"}) {
        QWidget* w = console->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_FALSE(w->isVisible()) << name;
    }
    EXPECT_FALSE(console->findChild<QPushButton*>(QStringLiteral("cmdReset"))->isEnabled());
}

TEST_F(ConsoleModesTest, ShowComesBackOnBankOneAndChangesNoSound) {
    startShown();
    playSomething();
    random().bankButton(2)->click();
    ASSERT_EQ(random().shownBank(), 2);
    host.advance(7000); // the random channels fire meanwhile
    const Snapshot before = snapshot();

    hideButton()->click();
    EXPECT_EQ(snapshot(), before);
    showButton()->click();
    EXPECT_EQ(snapshot(), before);

    EXPECT_FALSE(modes().isPictureOnly());
    EXPECT_EQ(random().shownBank(), 1);
    for (int slot = 0; slot < console::kSlots; ++slot) {
        EXPECT_TRUE(random().slider(1, slot)->isVisible()) << slot;
        EXPECT_TRUE(random().caption(1, slot)->isVisible()) << slot;
        EXPECT_FALSE(random().slider(2, slot)->isVisible()) << slot;
        EXPECT_FALSE(random().caption(2, slot)->isVisible()) << slot;
    }
    // Bank 1 is shown, so "2" is the way to the other page.
    EXPECT_TRUE(random().bankButton(2)->isVisible());
    EXPECT_FALSE(random().bankButton(1)->isVisible());
    EXPECT_TRUE(hideButton()->isVisible());
    EXPECT_TRUE(hideButton()->isEnabled());
    EXPECT_FALSE(showButton()->isVisible());
    EXPECT_FALSE(modes().fullPicture()->isVisible());
    for (const char* name : {"cmdRecord", "cmdExit", "cmdReset", "cmdCustomBackground",
                             "cmdCustomRandom", "chkSpatial", "scrlVol", "HScroll3", "Check1",
                             "Check15", "Image2", "txtAlarm", "lblClock"}) {
        QWidget* w = console->findChild<QWidget*>(QLatin1String(name));
        EXPECT_TRUE(w->isVisible()) << name;
    }
    EXPECT_TRUE(console->findChild<QPushButton*>(QStringLiteral("cmdReset"))->isEnabled());
    EXPECT_FALSE(volumes().allSoundsSlider()->isVisible());
    EXPECT_FALSE(modes().restoreButton()->isVisible());

    // The timers keep going as they did.
    host.advance(7000);
    EXPECT_EQ(snapshot().timers, before.timers);
}

TEST_F(ConsoleModesTest, ShowPresentsTheMuteButtonThatMatchesTheMuteState) {
    startShown();
    volumes().muteButton()->click();
    ASSERT_TRUE(volumes().loudButton()->isVisible());
    hideButton()->click();
    showButton()->click();
    EXPECT_TRUE(volumes().loudButton()->isVisible());
    EXPECT_FALSE(volumes().muteButton()->isVisible());

    volumes().loudButton()->click();
    hideButton()->click();
    showButton()->click();
    EXPECT_TRUE(volumes().muteButton()->isVisible());
    EXPECT_FALSE(volumes().loudButton()->isVisible());
}

TEST_F(ConsoleModesTest, ButtonsAddedLaterHideAndShowWithTheOthers) {
    startShown();
    auto* extra = new QPushButton(QStringLiteral("Later"), console->centralWidget());
    modes().addActionButton(extra);
    hideButton()->click();
    EXPECT_FALSE(extra->isVisible());
    showButton()->click();
    EXPECT_TRUE(extra->isVisible());
}

TEST_F(ConsoleModesTest, HideBeforeStartUpKeepsResetAsleepAfterShow) {
    createAndLoad();
    console->show();
    hideButton()->click();
    host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    ASSERT_TRUE(console->lifecycle().isStarted());
    // Start-up's own steps show controls meanwhile; the picture still covers them.
    EXPECT_TRUE(modes().fullPicture()->isVisible());
    showButton()->click();
    EXPECT_TRUE(console->findChild<QPushButton*>(QStringLiteral("cmdReset"))->isEnabled());

    console.reset();
    createAndLoad();
    console->show();
    hideButton()->click();
    showButton()->click();
    EXPECT_FALSE(console->findChild<QPushButton*>(QStringLiteral("cmdReset"))->isEnabled());
}

TEST_F(ConsoleModesTest, RestoreGivesTheDesignSizeAndHidesItself) {
    startShown();
    console->resize(500, 400);
    modes().restoreButton()->click();
    EXPECT_EQ(console->size(), app::ConsoleModes::kDesignSize);
    EXPECT_TRUE(modes().restoreButton()->isHidden());
    EXPECT_TRUE(console->findChild<QWidget*>(QStringLiteral("scenePanel"))->isVisible());
    EXPECT_FALSE(console->devices().list()->isVisible());
}

} // namespace
} // namespace sylvaro::test
