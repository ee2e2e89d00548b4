#include "app/ConsoleFixture.h"

#include <QPushButton>
#include <cmath>

using namespace sylvaro;
using sylvaro::test::ConsoleTest;
using sylvaro::test::ProgramFolder;
namespace cat = sylvaro::console::catalogue;

namespace {

// The mean level of the left channel over a rendered block.
double meanLeft(const std::vector<float>& block) {
    double sum = 0;
    for (std::size_t i = 0; i < block.size(); i += 2) {
        sum += block[i];
    }
    return sum / static_cast<double>(block.size() / 2);
}

} // namespace

TEST_F(ConsoleTest, ABoxTickedBeforeTheEngineIsReadyStaysSilentUntilTickedAgain) {
    create();
    host.advance(2000); // a late load: the resume step comes at 4500 ms
    console->load();
    box(7)->setChecked(true);
    host.advance(1000);
    ASSERT_TRUE(console->lifecycle().isStarted());
    EXPECT_TRUE(box(7)->isChecked());
    EXPECT_FALSE(engine().isPlaying(bg(7)));

    box(7)->setChecked(false);
    box(7)->setChecked(true);
    EXPECT_TRUE(engine().isPlaying(bg(7)));
}

TEST_F(ConsoleTest, TickingPlaysTheChannelsOwnSoundAndClearingStopsIt) {
    start();
    box(1)->setChecked(true);
    audio.render(4800); // let the gain settle
    EXPECT_NEAR(meanLeft(audio.render(256)), ProgramFolder::levelOf("fire.wav"), 1e-3);
    box(1)->setChecked(false);
    audio.render(1024); // the fade-out and the limiter's look-ahead
    EXPECT_EQ(meanLeft(audio.render(256)), 0.0);

    // Greyed counts as off.
    box(2)->setChecked(true);
    channels().setValue(2, 2);
    EXPECT_FALSE(engine().isPlaying(bg(2)));
}

TEST_F(ConsoleTest, ClearingAndReTickingContinuesTheLoopWhereItStopped) {
    start();
    box(6)->setChecked(true);
    audio.render(1000);
    box(6)->setChecked(false);
    audio.render(1000); // it fades out and keeps the place where the fade ended
    const auto stoppedAt = engine().position(bg(6));
    EXPECT_GE(stoppedAt, 1000);
    audio.render(1000);
    EXPECT_EQ(engine().position(bg(6)), stoppedAt);
    box(6)->setChecked(true);
    EXPECT_EQ(engine().position(bg(6)), stoppedAt);
    audio.render(500);
    EXPECT_EQ(engine().position(bg(6)), stoppedAt + 500);
}

TEST_F(ConsoleTest, BackgroundAndRandomSlidersSetTheirWholeGroupOnChangeAndDrag) {
    start();
    volumes().backgroundSlider()->setValue(-3000);
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        EXPECT_EQ(engine().volume(bg(channel)), -3000) << "channel " << channel;
    }
    EXPECT_EQ(engine().volume(cat::randomIndex(1, 5)), 0);

    volumes().randomSlider()->dragTo(-1200);
    for (int buffer : cat::groupMembers(console::kRandomGroup)) {
        EXPECT_EQ(engine().volume(buffer), -1200) << "buffer " << buffer;
    }
    EXPECT_EQ(engine().volume(cat::spareIndex(1)), -1200);
    EXPECT_EQ(engine().volume(cat::spareIndex(3)), -1200);
    EXPECT_EQ(engine().volume(cat::spareIndex(2)), 0);
    EXPECT_EQ(engine().volume(cat::alarmIndex()), 0);
    EXPECT_EQ(engine().volume(bg(3)), -3000);

    // At the left end a channel is 30 dB down, not silent.
    box(3)->setChecked(true);
    audio.render(4800);
    EXPECT_NEAR(
        20 * std::log10(meanLeft(audio.render(256)) / ProgramFolder::levelOf("cricket2.wav")),
        -30.0, 0.1);
}

TEST_F(ConsoleTest, AllSoundsSliderActsOnlyWhenDraggedAndSparesItsExceptions) {
    start();
    widgets::TrackSlider* all = volumes().allSoundsSlider();
    all->triggerAction(QAbstractSlider::SliderSingleStepSub);
    all->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(all->value(), -600);
    for (int i = 0; i < console::kBufferCount; ++i) {
        EXPECT_EQ(engine().volume(i), 0) << "arrows changed buffer " << i;
    }

    all->dragTo(-2000);
    for (int i = 0; i < console::kBufferCount; ++i) {
        const bool member =
            (cat::entries()[static_cast<std::size_t>(i)].groups & console::kAllSoundsGroup) != 0;
        EXPECT_EQ(engine().volume(i), member ? -2000 : 0) << "buffer " << i;
    }
    EXPECT_EQ(engine().volume(bg(15)), 0);
    EXPECT_EQ(engine().volume(cat::randomIndex(1, 0)), 0);
    EXPECT_EQ(engine().volume(cat::alarmIndex()), 0);
}

TEST_F(ConsoleTest, AllSoundsDragBeforeTheEngineIsReadyDoesNothing) {
    createAndLoad();
    host.advance(3000);
    volumes().setStarted(false);
    volumes().allSoundsSlider()->dragTo(-1000);
    EXPECT_EQ(engine().volume(bg(1)), 0);
}

TEST_F(ConsoleTest, MuteTurnsBothGroupsDownAndLoudRestoresTheValuesFromBefore) {
    start();
    volumes().randomSlider()->setValue(-400);
    volumes().backgroundSlider()->setValue(-800);
    volumes().allSoundsSlider()->dragTo(-200);
    volumes().muteButton()->click();
    EXPECT_TRUE(volumes().muteButton()->isHidden());
    EXPECT_FALSE(volumes().loudButton()->isHidden());
    EXPECT_EQ(volumes().randomSlider()->value(), -3000);
    EXPECT_EQ(volumes().backgroundSlider()->value(), -3000);
    EXPECT_EQ(engine().volume(bg(15)), -3000);
    EXPECT_EQ(engine().volume(cat::randomIndex(2, 7)), -3000);
    EXPECT_EQ(volumes().allSoundsSlider()->value(), -200);
    EXPECT_EQ(engine().volume(cat::alarmIndex()), 0);

    volumes().backgroundSlider()->setValue(-1000); // discarded by Loud
    volumes().loudButton()->click();
    EXPECT_FALSE(volumes().muteButton()->isHidden());
    EXPECT_TRUE(volumes().loudButton()->isHidden());
    EXPECT_EQ(volumes().randomSlider()->value(), -400);
    EXPECT_EQ(volumes().backgroundSlider()->value(), -800);
    EXPECT_EQ(engine().volume(bg(1)), -800);
    EXPECT_EQ(engine().volume(cat::randomIndex(1, 0)), -400);
}

TEST_F(ConsoleTest, MuteDoesNothingBeforeTheEngineIsReadyButLoudAlwaysWorks) {
    createAndLoad();
    volumes().muteButton()->click();
    EXPECT_FALSE(volumes().muteButton()->isHidden());
    EXPECT_EQ(volumes().backgroundSlider()->value(), 0);

    // Loud with nothing remembered brings both sliders to 0.
    volumes().randomSlider()->setEnabled(true);
    volumes().randomSlider()->setValue(-600);
    volumes().loudButton()->click();
    EXPECT_EQ(volumes().randomSlider()->value(), 0);
}

TEST_F(ConsoleTest, StartupAppliesTheGroupVolumesButLeavesItsTwoExceptionsAlone) {
    createAndLoad();
    volumes().backgroundSlider()->setValue(-500);
    volumes().randomSlider()->setValue(-700);
    // The saved state brings both to where they already stand.
    persist::ConsoleSettings saved;
    saved.bank1.fill(2000);
    saved.bank2.fill(2000);
    saved.randomVolume = -700;
    saved.backgroundVolume = -500;
    folder.writeSettings(saved);
    host.advance(3000);
    ASSERT_TRUE(console->lifecycle().isStarted());
    EXPECT_EQ(engine().volume(bg(1)), -500);
    EXPECT_EQ(engine().volume(bg(14)), -500);
    EXPECT_EQ(engine().volume(bg(15)), 0);
    EXPECT_EQ(engine().volume(cat::randomIndex(2, 19)), -700);
    EXPECT_EQ(engine().volume(cat::randomIndex(1, 0)), 0);
}

TEST_F(ConsoleTest, CustomRandomSoundsFollowTheRandomSliderOnlyWhenADragEnds) {
    start();
    // A sound of the user's own, in the custom random group.
    std::string error;
    engine::Buffer custom =
        console->sounds().engine().createBuffer(folder.file("sheep.wav"), error);
    ASSERT_TRUE(custom.valid()) << error;
    console->sounds().engine().join(console->sounds().customRandomGroup(), custom);
    widgets::TrackSlider* slider = volumes().randomSlider();

    slider->setSliderDown(true);
    slider->setSliderPosition(-1400);
    EXPECT_EQ(engine().volume(cat::randomIndex(2, 3)), -1400) << "built-ins follow the thumb";
    EXPECT_EQ(console->sounds().engine().volume(custom), 0) << "the custom one waits";
    slider->setSliderDown(false);
    EXPECT_EQ(console->sounds().engine().volume(custom), -1400);

    slider->setValue(-600); // arrows, track clicks, scenes
    EXPECT_EQ(console->sounds().engine().volume(custom), -600);
    EXPECT_EQ(engine().volume(bg(2)), 0) << "the background group is not touched";
}
