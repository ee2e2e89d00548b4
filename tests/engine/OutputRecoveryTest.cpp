#include "engine/OutputRecovery.h"

#include "MixerTape.h"
#include "engine/Mixer.h"
#include "support/FakeAudioOutput.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace sylvaro::engine {
namespace {

using Event = OutputRecovery::Event;
using State = OutputRecovery::State;

// A console playing one looping tone through the fake device, polled once a
// second the way the console's clock tick does.
class OutputRecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const PcmPtr pcm =
            sylvaro::engine::test::makePcm(48000, 1, std::vector<float>(4800, 0.25f));
        voice = mixer.createVoice(pcm);
        mixer.setVolume(voice, 0);
        mixer.play(voice, true);
        audio.devices = {"Default output device", "Headset", "Speakers"};
    }

    void openDevice(int index) {
        audio.enumerate();
        std::string error;
        ASSERT_TRUE(audio.open(index, mixer, error)) << error;
        ASSERT_EQ(recovery.poll(now), Event::None);
        ASSERT_EQ(recovery.state(), State::Playing);
    }

    // Polls once a second for `seconds`; returns every transition seen.
    std::vector<Event> runFor(int seconds) {
        std::vector<Event> seen;
        for (int i = 0; i < seconds; ++i) {
            now += 1000;
            const Event e = recovery.poll(now);
            if (e != Event::None) {
                seen.push_back(e);
            }
        }
        return seen;
    }

    float peak(int frames) {
        const std::vector<float> out = audio.render(frames);
        float p = 0.0f;
        for (float s : out) {
            p = std::max(p, std::fabs(s));
        }
        return p;
    }

    Mixer mixer{48000, 8};
    VoiceId voice = kNoVoice;
    sylvaro::test::FakeAudioOutput audio;
    OutputRecovery recovery{audio, mixer};
    std::int64_t now = 0;
};

TEST_F(OutputRecoveryTest, AWorkingDeviceIsLeftAlone) {
    openDevice(1);
    EXPECT_TRUE(runFor(120).empty());
    EXPECT_EQ(audio.openCount, 1);
    EXPECT_EQ(recovery.note(), "");
}

TEST_F(OutputRecoveryTest, ALostDeviceIsClosedAndReportedOnceWithItsName) {
    openDevice(1);
    audio.unplug();
    audio.failOpen = true;

    now += 1000;
    EXPECT_EQ(recovery.poll(now), Event::Lost);
    EXPECT_EQ(recovery.state(), State::Lost);
    EXPECT_FALSE(audio.isOpen());
    EXPECT_EQ(recovery.device(), "Headset");
    EXPECT_NE(recovery.note().find("Headset"), std::string::npos);
    EXPECT_TRUE(runFor(30).empty()) << "the loss is reported once, not on every poll";
}

TEST_F(OutputRecoveryTest, RetriesBackOffWhileNoDeviceOpensAndNeverStop) {
    openDevice(0);
    audio.lost = true;
    audio.failOpen = true;
    ASSERT_EQ(runFor(1), std::vector<Event>{Event::Lost});

    const int before = audio.openCount;
    runFor(60);
    const int inFirstMinute = audio.openCount - before;
    // Not on every poll, yet often enough that a returning device is found
    // within seconds.
    EXPECT_LT(inFirstMinute, 20);
    EXPECT_GE(inFirstMinute, 60 / 8);
    EXPECT_FALSE(recovery.lastError().empty());

    const int beforeHour = audio.openCount;
    runFor(3600);
    EXPECT_GE(audio.openCount - beforeHour, 3600 / 8) << "still retrying after an hour";
    EXPECT_EQ(recovery.state(), State::Lost);
}

TEST_F(OutputRecoveryTest, TheSameNamedDeviceIsReopenedWhenItIsBack) {
    openDevice(1);
    audio.unplug();
    audio.failOpen = true;
    runFor(10);
    ASSERT_EQ(recovery.state(), State::Lost);

    // Switched on again, now listed in another place.
    audio.devices = {"Default output device", "Speakers", "Headset"};
    audio.failOpen = false;
    const std::vector<Event> seen = runFor(10);
    ASSERT_EQ(seen, std::vector<Event>{Event::Restored});
    EXPECT_EQ(audio.openedIndex, 2);
    EXPECT_EQ(recovery.device(), "Headset");
    EXPECT_NE(recovery.note().find("Headset"), std::string::npos);
}

TEST_F(OutputRecoveryTest, WithoutTheNamedDeviceTheDefaultTakesOver) {
    openDevice(1);
    audio.unplug();
    const std::vector<Event> seen = runFor(5);
    ASSERT_EQ(seen, (std::vector<Event>{Event::Lost, Event::Restored}));
    EXPECT_EQ(audio.openedIndex, 0);
    EXPECT_EQ(recovery.state(), State::Playing);
}

TEST_F(OutputRecoveryTest, PlayingVoicesSoundAgainAfterReopening) {
    openDevice(0);
    ASSERT_GT(peak(4800), 0.2f);
    audio.lost = true;
    audio.failOpen = true;
    runFor(5);
    ASSERT_FALSE(audio.isOpen());
    EXPECT_EQ(peak(480), 0.0f) << "nothing pulls from a closed device";

    audio.failOpen = false;
    runFor(10);
    ASSERT_TRUE(audio.isOpen());
    EXPECT_GT(peak(4800), 0.2f);
}

TEST_F(OutputRecoveryTest, ADeviceReleasedOnPurposeIsNotReopened) {
    openDevice(0);
    audio.close();
    runFor(60);
    EXPECT_EQ(recovery.state(), State::Idle);
    EXPECT_EQ(audio.openCount, 1);
}

TEST_F(OutputRecoveryTest, NothingHappensBeforeADeviceWasEverOpened) {
    EXPECT_TRUE(runFor(60).empty());
    EXPECT_EQ(audio.openCount, 0);
    EXPECT_EQ(recovery.state(), State::Idle);
}

TEST_F(OutputRecoveryTest, ADeviceThatFailsAgainAtOnceIsNotReopenedOnEveryPoll) {
    openDevice(0);
    // Opens fine, but is gone again by the next poll, over and over.
    int transitions = 0;
    for (int i = 0; i < 120; ++i) {
        audio.lost = audio.isOpen();
        now += 1000;
        if (recovery.poll(now) != Event::None) {
            ++transitions;
        }
    }
    EXPECT_LE(audio.openCount, 1 + 120 / 4);
    EXPECT_GT(transitions, 0);
}

TEST_F(OutputRecoveryTest, ADeviceTheConsoleReopensItselfEndsTheLoss) {
    openDevice(1);
    audio.unplug();
    audio.failOpen = true;
    runFor(1);
    ASSERT_EQ(recovery.state(), State::Lost);

    audio.failOpen = false;
    std::string error;
    audio.enumerate();
    ASSERT_TRUE(audio.open(1, mixer, error));
    now += 1000;
    EXPECT_EQ(recovery.poll(now), Event::Restored);
    EXPECT_EQ(recovery.device(), "Speakers");
}

} // namespace
} // namespace sylvaro::engine
