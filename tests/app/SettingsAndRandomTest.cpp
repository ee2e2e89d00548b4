#include "app/ConsoleFixture.h"
#include "custom/CustomChannels.h"
#include "panels/RandomSounds.h"
#include "persist/LineCodec.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

using namespace sylvaro;
using sylvaro::test::ConsoleTest;
namespace cat = sylvaro::console::catalogue;

namespace {

persist::ConsoleSettings quietState() {
    persist::ConsoleSettings s;
    s.bank1.fill(2000);
    s.bank2.fill(2000);
    return s;
}

} // namespace

class ConsoleSettingsTest : public ConsoleTest {
protected:
    panels::RandomSounds& randomSounds() { return *(&console->panels().random); }
    widgets::TrackSlider* frequency(int bank, int slot) {
        return randomSounds().slider(bank, slot);
    }
    QString settingsPath() const { return folder.path() + QStringLiteral("/settings.ini"); }
    std::optional<persist::ConsoleSettings> savedState() const {
        const auto line = persist::readFirstLine(settingsPath());
        return line ? persist::ConsoleSettings::fromLine(*line) : std::nullopt;
    }
    void restart() {
        console.reset();
        dialogs.clear();
        start();
    }
};

TEST_F(ConsoleSettingsTest, LoadTurnsEveryRandomChannelOffAndShowsBankOne) {
    createAndLoad();
    for (int bank = 1; bank <= 2; ++bank) {
        for (int slot = 0; slot < 20; ++slot) {
            EXPECT_EQ(frequency(bank, slot)->value(), 2000);
            EXPECT_FALSE(randomSounds().scheduler().timer(bank, slot).isEnabled());
        }
    }
    EXPECT_EQ(frequency(2, 5)->minimum(), 20);
    EXPECT_EQ(frequency(1, 5)->minimum(), 0);
    EXPECT_FALSE(frequency(1, 0)->isEnabled());
    EXPECT_FALSE(frequency(2, 0)->isVisibleTo(console.get()));
    EXPECT_TRUE(frequency(1, 0)->isVisibleTo(console.get()));
    EXPECT_TRUE(randomSounds().bankButton(1)->isHidden());
    EXPECT_EQ(randomSounds().bankButton(2)->toolTip(), QStringLiteral("Switch Bank"));
    EXPECT_TRUE(randomSounds().spatialBox()->isChecked());

    // Bank 1 shows "Night Crickets" (slot 2) above "Frog" (slot 1).
    console->resize(800, 900);
    console->show();
    EXPECT_LT(frequency(1, 2)->geometry().top(), frequency(1, 1)->geometry().top());
    EXPECT_EQ(frequency(1, 1)->geometry().left(), frequency(1, 2)->geometry().left());
    EXPECT_EQ(frequency(1, 2)->objectName(), QStringLiteral("HScroll2"));
    EXPECT_EQ(frequency(1, 1)->objectName(), QStringLiteral("HScroll4"));
    EXPECT_EQ(frequency(1, 18)->accessibleName(), QStringLiteral("Ships Horn"));

    host.advance(3000);
    EXPECT_TRUE(frequency(1, 0)->isEnabled());
    EXPECT_TRUE(randomSounds().bankButton(2)->isEnabled());
}

TEST_F(ConsoleSettingsTest, ARandomChannelFiresItsOwnBufferAndSwitchingBanksSilencesNothing) {
    start();
    frequency(1, 18)->setValue(0); // "Ships Horn"
    frequency(2, 15)->setValue(0); // "RailRoad"
    const int horn = cat::randomIndex(1, 18);
    const int railroad = cat::randomIndex(2, 15);
    int hornPlays = 0;
    int railPlays = 0;
    int railPans = 0;
    int lastPan = engine().pan(railroad);
    for (int step = 0; step < 1200; ++step) { // two minutes
        host.advance(100);
        hornPlays += engine().isPlaying(horn) ? 1 : 0;
        railPlays += engine().isPlaying(railroad) ? 1 : 0;
        if (engine().pan(railroad) != lastPan) {
            ++railPans;
            lastPan = engine().pan(railroad);
        }
        audio.render(4800); // let once-played sounds end
        if (step == 300) {
            randomSounds().bankButton(2)->click();
            EXPECT_TRUE(frequency(2, 15)->isVisibleTo(console.get()));
            EXPECT_FALSE(frequency(1, 18)->isVisibleTo(console.get()));
        }
        if (step == 600) {
            randomSounds().bankButton(1)->click();
        }
    }
    EXPECT_GT(hornPlays, 0);
    EXPECT_GT(railPlays, 0);
    EXPECT_GT(railPans, 3);
    EXPECT_GE(engine().pan(railroad), -3000);
    EXPECT_LE(engine().pan(railroad), 1999);
    EXPECT_TRUE(randomSounds().scheduler().timer(1, 18).isEnabled());
    EXPECT_TRUE(randomSounds().scheduler().timer(2, 15).isEnabled());
}

TEST_F(ConsoleSettingsTest, TheConsoleStateSurvivesARestart) {
    start();
    box(4)->setChecked(true);
    box(11)->setChecked(true);
    frequency(1, 2)->setValue(400);
    frequency(1, 18)->setValue(0);
    frequency(2, 6)->setValue(20);
    frequency(2, 19)->setValue(1500);
    volumes().randomSlider()->setValue(-600);
    volumes().backgroundSlider()->setValue(-1400);
    volumes().allSoundsSlider()->dragTo(-200);
    console->close();
    const auto saved = savedState();
    ASSERT_TRUE(saved) << "settings.ini was not written as a valid line";
    EXPECT_EQ(saved->bank1[2], 400);
    EXPECT_EQ(saved->boxes[3], 1);

    restart();
    EXPECT_TRUE(box(4)->isChecked());
    EXPECT_TRUE(box(11)->isChecked());
    EXPECT_FALSE(box(5)->isChecked());
    EXPECT_EQ(frequency(1, 2)->value(), 400);
    EXPECT_EQ(frequency(1, 18)->value(), 0);
    EXPECT_EQ(frequency(2, 6)->value(), 20);
    EXPECT_EQ(frequency(2, 19)->value(), 1500);
    EXPECT_EQ(frequency(1, 3)->value(), 2000);
    EXPECT_EQ(volumes().randomSlider()->value(), -600);
    EXPECT_EQ(volumes().backgroundSlider()->value(), -1400);
    EXPECT_EQ(volumes().allSoundsSlider()->value(), -200);
    EXPECT_EQ(engine().volume(bg(4)), -1400);
    EXPECT_EQ(engine().volume(cat::randomIndex(1, 18)), -600);
    // The all-sounds value is shown but reaches no buffer until dragged.
    EXPECT_EQ(engine().volume(cat::spareIndex(2)), 0);

    // The resume step replays the boxes and arms bank 1.
    EXPECT_TRUE(engine().isPlaying(bg(4)));
    EXPECT_TRUE(engine().isPlaying(bg(11)));
    EXPECT_TRUE(randomSounds().scheduler().timer(1, 2).isEnabled());
    EXPECT_TRUE(randomSounds().scheduler().timer(1, 18).isEnabled());
    EXPECT_FALSE(randomSounds().scheduler().timer(1, 3).isEnabled());

    console->close();
    EXPECT_EQ(savedState()->toLine(), saved->toLine()) << "the values changed across a restart";
}

TEST_F(ConsoleSettingsTest, ExitingWhileMutedStoresTheMutedVolumesAndWritesTwice) {
    start();
    volumes().randomSlider()->setValue(-400);
    volumes().muteButton()->click();
    console->lifecycle().requestExit();
    const auto saved = savedState();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->randomVolume, -3000);
    EXPECT_EQ(saved->backgroundVolume, -3000);
    EXPECT_EQ(persist::readFirstLine(folder.path() + QStringLiteral("/settings2.ini")),
              QByteArray(",,,,,,\"\""));
}

TEST_F(ConsoleSettingsTest, NegativeSystemColoursAndPlainColoursSurvive) {
    persist::ConsoleSettings s = quietState();
    s.backColour = -2147483633;
    s.textColour = 0x0000FF; // red in the stored form
    folder.writeSettings(s);
    start();
    EXPECT_EQ(console->state().backColour(), -2147483633);
    EXPECT_EQ(box(1)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(randomSounds().caption(1, 1)->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
    EXPECT_EQ(randomSounds().caption(2, 7)->palette().color(QPalette::WindowText),
              QColor(255, 0, 0))
        << "bank 2 follows bank 1's caption colour";
    console->close();
    EXPECT_EQ(savedState()->backColour, -2147483633);
    EXPECT_EQ(savedState()->textColour, 0x0000FF);
}

TEST_F(ConsoleSettingsTest, ADamagedOrTruncatedFileStartsWithTheDesignValues) {
    persist::ConsoleSettings s = quietState();
    s.boxes[0] = 1;
    s.bank1[4] = 100;
    QByteArray line = s.toLine();
    const QByteArray variants[] = {
        line.left(line.size() / 2),                // cut short
        QByteArray(line).replace("100", "1e9"),    // not a number
        QByteArray(line).replace(",100,", ",-5,"), // below the slider's range
        QByteArray("\xff\xfe\x00garbage", 10),     // not text at all
    };
    for (const QByteArray& content : variants) {
        persist::writeFileAtomically(folder.path() + QStringLiteral("/settings.ini"), content);
        console.reset();
        dialogs.clear();
        start();
        EXPECT_FALSE(box(1)->isChecked()) << content.toStdString();
        EXPECT_EQ(frequency(1, 4)->value(), 2000);
        EXPECT_EQ(volumes().backgroundSlider()->value(), 0);
        EXPECT_EQ(failures(), 0);
    }
}

TEST_F(ConsoleSettingsTest, AFailedWriteIsReportedAndTheOtherFileIsStillWritten) {
    QDir(folder.path()).mkdir(QStringLiteral("settings.ini")); // cannot be replaced by a file
    start();
    console->close();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages().front().text.contains(QStringLiteral("settings.ini")));
    EXPECT_EQ(dialogs.messages().front().icon, core::MessageIcon::Warning);
    EXPECT_TRUE(persist::readFirstLine(folder.path() + QStringLiteral("/settings2.ini")));
}

TEST_F(ConsoleSettingsTest, CustomSelectionsAreReadAtLoadAndAnUnchangedFileIsLeftAsItIs) {
    persist::writeFileAtomically(folder.path() + QStringLiteral("/settings2.ini"),
                                 ",\"chimes.wav\",,,,,\"english fence.jpg\"\r\n");
    start();
    EXPECT_EQ(console->panels().custom.names().random[1], QStringLiteral("chimes.wav"));
    EXPECT_EQ(pictureName(), QStringLiteral("english fence.jpg"));
    console->close();
    EXPECT_EQ(persist::readFirstLine(folder.path() + QStringLiteral("/settings2.ini")),
              QByteArray(",\"chimes.wav\",,,,,\"english fence.jpg\""));
}
