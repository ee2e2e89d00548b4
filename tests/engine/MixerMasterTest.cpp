// The master volume over every voice but the exempt ones: pause, resume and
// the sleep fade ride on it.

#include "MixerTape.h"
#include "engine/Mixer.h"

#include <cmath>
#include <gtest/gtest.h>

namespace sylvaro::engine {
namespace {

using test::makePcm;
using test::Tape;

// Constant-level loops make the gain readable straight off the output.
class MixerMaster : public ::testing::Test {
protected:
    VoiceId loop(float level, int frames = 4800) {
        const VoiceId id = mixer.createVoice(makePcm(48000, 1, std::vector<float>(frames, level)));
        mixer.play(id, true);
        return id;
    }
    float levelAt(int frame) const { return tape.left(frame, 1).front(); }

    Mixer mixer;
    Tape tape{mixer};
};

TEST_F(MixerMaster, ScalesOrdinaryVoicesAndLeavesExemptOnesAtFullLevel) {
    loop(0.25f);
    const VoiceId alarm = loop(0.125f);
    mixer.setExempt(alarm, true);
    EXPECT_TRUE(mixer.isExempt(alarm));
    tape.run(2000);

    mixer.setMasterVolume(-2000, mixer.rampFrames()); // -20 dB: a tenth
    EXPECT_EQ(mixer.masterVolume(), -2000);
    tape.run(4000);
    tape.flush();
    EXPECT_NEAR(levelAt(1000), 0.375f, 1e-6);
    EXPECT_NEAR(levelAt(5000), 0.025f + 0.125f, 1e-6);

    // Silence: only the exempt voice is heard, exactly.
    mixer.setMasterVolume(-10000, mixer.rampFrames());
    const int silentFrom = tape.rendered();
    tape.run(4000);
    tape.flush();
    EXPECT_EQ(levelAt(silentFrom + 2000), 0.125f);

    // An exempt voice taken back under the master is silenced with the rest.
    mixer.setExempt(alarm, false);
    const int allFrom = tape.rendered();
    tape.run(2000);
    tape.flush();
    EXPECT_EQ(tape.left(allFrom + 1000, 500), std::vector<float>(500, 0.0f));
}

TEST_F(MixerMaster, GlidesLinearlyOverTheGivenTimeWithoutClicks) {
    loop(0.5f);
    tape.run(1000);
    const int glide = 9600; // 200 ms
    const int from = tape.rendered();
    mixer.setMasterVolume(-10000, glide);
    tape.run(glide + 1000, 333);
    tape.flush();
    const std::vector<float> out = tape.left(from, glide + 1000);
    // Straight from 0.5 to silence: half way down at half the glide, a
    // step of 0.5 / glide a frame, and exactly silent at its end.
    EXPECT_NEAR(out[glide / 2 - 1], 0.25f, 1e-3);
    EXPECT_LE(test::largestStep(out), 0.5f / glide * 1.01f);
    EXPECT_GT(out[glide - 2], 0.0f);
    EXPECT_EQ(out[glide - 1], 0.0f);
    EXPECT_EQ(out.back(), 0.0f);

    // Coming back up glides too.
    const int back = tape.rendered();
    mixer.setMasterVolume(0, 4800);
    tape.run(6000);
    tape.flush();
    const std::vector<float> up = tape.left(back, 6000);
    EXPECT_LE(test::largestStep(up), 0.5f / 4800 * 1.01f);
    EXPECT_EQ(up.back(), 0.5f);
}

TEST_F(MixerMaster, AChangeInMidGlideTurnsFromWhereTheGainIs) {
    loop(0.8f);
    tape.run(1000);
    const int from = tape.rendered();
    mixer.setMasterVolume(-10000, 4800);
    tape.run(2400);
    mixer.setMasterVolume(0, 4800);
    tape.run(6000);
    tape.flush();
    const std::vector<float> out = tape.left(from, 8400);
    EXPECT_LE(test::largestStep(out), 0.8f / 4800 * 1.01f);
    const float lowest = *std::min_element(out.begin(), out.end());
    EXPECT_NEAR(lowest, 0.4f, 0.01f) << "the way back starts half way down";
    EXPECT_EQ(out.back(), 0.8f);
}

TEST_F(MixerMaster, SilentVoicesKeepTheirTimeAndComeBackWithoutAJump) {
    // A ramp from 0 to 1 over its 4800 frames shows where a loop's cursor is.
    std::vector<float> ramp(4800);
    for (int i = 0; i < 4800; ++i) {
        ramp[static_cast<std::size_t>(i)] = static_cast<float>(i) / 4800.0f;
    }
    const VoiceId looping = mixer.createVoice(makePcm(48000, 1, ramp));
    mixer.play(looping, true);
    const VoiceId once = mixer.createVoice(makePcm(48000, 1, std::vector<float>(9600, 0.1f)));
    tape.run(1000);
    mixer.setMasterVolume(-10000, mixer.rampFrames());
    tape.run(1000);
    // Started while silent: it plays out unheard, ends and rewinds.
    mixer.play(once, false);
    tape.run(12000);
    EXPECT_FALSE(mixer.isPlaying(once));
    EXPECT_EQ(mixer.position(once), 0);
    EXPECT_EQ(mixer.position(looping), (1000 + 1000 + 12000) % 4800);

    const int back = tape.rendered();
    mixer.setMasterVolume(0, 4800);
    tape.run(4800);
    EXPECT_EQ(mixer.position(looping), (1000 + 1000 + 12000 + 4800) % 4800);
    tape.flush();
    const std::vector<float> out = tape.left(back - 100, 4900);
    EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 100), std::vector<float>(100, 0.0f))
        << "silent before the resume";
    // The loop goes on from where its time has got to, gliding up: the
    // largest step is the loop's own wrap scaled by the gain, never a jump
    // to the ramp's level.
    EXPECT_LT(out[100 + 10], 0.01f);
    EXPECT_LT(test::largestStep(out), 0.1f);
}

} // namespace
} // namespace sylvaro::engine
