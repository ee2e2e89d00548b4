#include "app/ConsoleFixture.h"
#include "app/CustomLink.h"

#include <QListWidget>
#include <QMenu>
#include <QPushButton>

using namespace sylvaro;
using sylvaro::test::ConsoleTest;

TEST_F(ConsoleTest, StartupStepOpensTheFirstDeviceAndCreatesEveryBufferAfter3000Ms) {
    createAndLoad();
    EXPECT_EQ(console->windowTitle(), QStringLiteral("Sylvaro Lite v5.5"));
    EXPECT_EQ(pictureName(), QStringLiteral("english fence.jpg"));
    EXPECT_FALSE(console->menus().helpMenu()->menuAction()->isEnabled());
    EXPECT_FALSE(volumes().backgroundSlider()->isEnabled());
    // The custom panel opens from the load on: the names are read.
    EXPECT_TRUE(console->custom().backgroundButton()->isEnabled());
    EXPECT_TRUE(console->custom().randomButton()->isEnabled());

    host.advance(2999);
    EXPECT_FALSE(console->lifecycle().isStarted());
    EXPECT_EQ(engine().bufferCount(), 0);

    host.advance(1);
    EXPECT_TRUE(console->lifecycle().isStarted());
    EXPECT_EQ(engine().bufferCount(), console::kBufferCount);
    EXPECT_EQ(audio.openedIndex, 0);
    EXPECT_EQ(failures(), 0);
    EXPECT_FALSE(console->lifecycle().startupTimer().isEnabled());
    for (QMenu* m : {console->menus().fileMenu(), console->menus().alarmMenu(),
                     console->menus().optionsMenu(), console->menus().helpMenu()}) {
        EXPECT_TRUE(m->menuAction()->isEnabled()) << m->objectName().toStdString();
    }
    EXPECT_EQ(console->devices().list()->count(), 2);
    EXPECT_EQ(console->devices().list()->currentRow(), 0);
    EXPECT_TRUE(console->devices().list()->isHidden());
    EXPECT_TRUE(console->devices().enableButton()->isHidden());
    EXPECT_TRUE(volumes().loudButton()->isHidden());
    EXPECT_FALSE(volumes().muteButton()->isHidden());
    EXPECT_TRUE(volumes().backgroundSlider()->isEnabled());
    EXPECT_TRUE(volumes().allSoundsSlider()->isEnabled());
    EXPECT_TRUE(box(15)->isEnabled());

    host.advance(30000);
    EXPECT_EQ(audio.openCount, 1) << "a successful start-up ran again";
}

TEST_F(ConsoleTest, AMissingSoundFailsAfter58BuffersAndTheMessageReturns3000MsAfterClosing) {
    folder.remove("NEW2.wav");
    // The user leaves each message open for ten seconds.
    std::vector<std::int64_t> shownAt;
    dialogs.setWhileOpen([&](const core::MessageRequest&) {
        shownAt.push_back(host.now());
        host.advance(10000);
    });
    createAndLoad();
    host.advance(3000);
    ASSERT_EQ(failures(), 1);
    const core::MessageRequest& message = dialogs.messages().front();
    EXPECT_EQ(message.text, QStringLiteral("Unable to initialise DirectSound8, please ensure you "
                                           "have Directx8.0 or later."));
    EXPECT_EQ(message.title, QStringLiteral("Fatal Error"));
    EXPECT_EQ(message.icon, core::MessageIcon::Error);
    EXPECT_EQ(message.buttons, core::MessageButtons::Ok);
    EXPECT_TRUE(message.detail.contains(QStringLiteral("NEW2.wav")));
    EXPECT_EQ(engine().bufferCount(), 58);
    EXPECT_FALSE(console->lifecycle().isStarted());

    host.advance(3000 + 10000 + 3000 + 10000 + 1);
    ASSERT_EQ(shownAt.size(), 3u);
    EXPECT_EQ(shownAt[1] - shownAt[0], 13000) << "a new attempt ran while the message was open";
    EXPECT_EQ(shownAt[2] - shownAt[1], 13000);

    dialogs.setWhileOpen({});
    folder.writeLevel("NEW2.wav", 0.5);
    host.advance(3000);
    EXPECT_TRUE(console->lifecycle().isStarted());
    EXPECT_EQ(engine().bufferCount(), console::kBufferCount);
    EXPECT_EQ(failures(), 3);
}

TEST_F(ConsoleTest, WithoutAnyAudioDeviceStartupFailsAndKeepsRetrying) {
    audio.devices.clear();
    createAndLoad();
    host.advance(3000);
    EXPECT_EQ(failures(), 1);
    EXPECT_EQ(console->devices().list()->count(), 0);
    EXPECT_EQ(engine().bufferCount(), 0);
    host.advance(3000);
    EXPECT_EQ(failures(), 2);

    audio.devices = {"Default output device"};
    host.advance(3000);
    EXPECT_TRUE(console->lifecycle().isStarted());
}

TEST_F(ConsoleTest, ADeviceThatRefusesToOpenTakesTheFailurePath) {
    audio.failOpen = true;
    createAndLoad();
    host.advance(3000);
    EXPECT_EQ(failures(), 1);
    EXPECT_NE(failureText().find("refused"), std::string::npos);
    EXPECT_FALSE(console->lifecycle().isStarted());
}

TEST_F(ConsoleTest, EnableConsoleStartsTheEngineWithoutWaiting) {
    createAndLoad();
    console->devices().enableButton()->click();
    EXPECT_TRUE(console->lifecycle().isStarted());
    host.advance(10000);
    EXPECT_EQ(audio.openCount, 1);
}

TEST_F(ConsoleTest, ResumeStepPlaysTickedChannelsInItsOrderAndTheLastOneChoosesThePicture) {
    createAndLoad();
    for (int channel : {4, 9, 13}) {
        box(channel)->setChecked(true);
    }
    host.advance(2500);
    EXPECT_FALSE(console->lifecycle().hasResumed()) << "resumed before the buffers existed";
    host.advance(500);
    ASSERT_TRUE(console->lifecycle().isStarted());
    EXPECT_TRUE(console->lifecycle().hasResumed());
    for (int channel = 1; channel <= console::kBackgroundCount; ++channel) {
        EXPECT_EQ(engine().isPlaying(bg(channel)), channel == 4 || channel == 9 || channel == 13)
            << "channel " << channel;
    }
    // Order 15, 9, 12, 11, 10, 14, 6, 7, 8, 1, 2, 3, 4, 13, 5: 13 comes last.
    EXPECT_EQ(pictureName(), QStringLiteral("raindrops.jpg"));
}

TEST_F(ConsoleTest, ResumeWaitsAtLeast2500MsAfterALateLoad) {
    create();
    host.advance(2800); // the information window kept the load busy
    box(5)->setChecked(true);
    console->load();
    host.advance(200);
    ASSERT_TRUE(console->lifecycle().isStarted());
    EXPECT_FALSE(engine().isPlaying(bg(5)));
    host.advance(2299);
    EXPECT_FALSE(engine().isPlaying(bg(5)));
    host.advance(1);
    EXPECT_TRUE(engine().isPlaying(bg(5)));
    EXPECT_EQ(pictureName(), QStringLiteral("englishsheep.jpg"));
}

TEST_F(ConsoleTest, LoadUnticksTheFirstThreeBoxesAndAMissingPictureKeepsThePreviousOne) {
    create();
    for (int channel = 1; channel <= 4; ++channel) {
        box(channel)->setChecked(true);
    }
    folder.remove("images/lightning.jpg");
    console->load();
    EXPECT_FALSE(box(1)->isChecked());
    EXPECT_FALSE(box(3)->isChecked());
    EXPECT_TRUE(box(4)->isChecked());
    box(8)->setChecked(true);
    host.advance(3000);
    // Channel 8's picture is missing; 4's (earlier in the order) stays.
    EXPECT_EQ(pictureName(), QStringLiteral("sunset.jpg"));
    EXPECT_TRUE(engine().isPlaying(bg(8)));
}

TEST_F(ConsoleTest, ExitAsksFirstAndShutsTheEngineDownOnOk) {
    start();
    console->show();
    dialogs.answerNext(core::MessageAnswer::Cancel);
    console->exitButton()->click();
    ASSERT_EQ(dialogs.count(QStringLiteral(" Are you sure? ")), 1);
    EXPECT_EQ(dialogs.messages().back().title, QStringLiteral("Confirm Quit"));
    EXPECT_EQ(dialogs.messages().back().buttons, core::MessageButtons::OkCancel);
    EXPECT_EQ(dialogs.messages().back().icon, core::MessageIcon::None);
    EXPECT_TRUE(console->isVisible());
    EXPECT_TRUE(audio.isOpen());

    console->menus().action(QStringLiteral("mnuExit"))->trigger();
    EXPECT_EQ(dialogs.count(QStringLiteral(" Are you sure? ")), 2);
    EXPECT_FALSE(console->isVisible());
    EXPECT_FALSE(audio.isOpen());
    EXPECT_FALSE(engine().exists(bg(1)));
    EXPECT_TRUE(engine().exists(bg(2)));
}

TEST_F(ConsoleTest, ClosingTheWindowShutsDownWithoutAsking) {
    start();
    console->show();
    console->close();
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_FALSE(audio.isOpen());
}
