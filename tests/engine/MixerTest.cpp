#include "engine/Mixer.h"

#include "MixerTape.h"

#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <mutex>
#include <numbers>
#include <thread>

namespace sylvaro::engine {
namespace {

using test::makePcm;
using test::makePcm16;
using test::sine;
using test::slice;
using test::Tape;

using test::largestStep;

// ---- Gain and pan ---------------------------------------------------------

constexpr double kSilent = -1000.0; // expected exact zeros

struct GainCase {
    const char* name;
    int volume;
    int pan;
    double dbLeft;
    double dbRight;
};

class MixerGain : public ::testing::TestWithParam<GainCase> {};

// Measured once the start has faded in.
TEST_P(MixerGain, AttenuatesEachChannelInHundredthsOfADb) {
    const GainCase& c = GetParam();
    const std::vector<float> src = sine(1000, 0.01);
    Mixer mixer;
    const VoiceId v = mixer.createVoice(makePcm(48000, 1, src));
    mixer.setVolume(v, c.volume);
    mixer.setPan(v, c.pan);
    mixer.play(v, true);
    Tape tape(mixer);
    tape.run(3000);
    tape.flush();
    for (int ch = 0; ch < 2; ++ch) {
        const std::vector<float> out = tape.channel(ch, 1000, 2000);
        const double expectedDb = ch == 0 ? c.dbLeft : c.dbRight;
        double ratioSum = 0;
        int measured = 0;
        for (int i = 0; i < 2000; ++i) {
            const float s = src[i % 1000];
            if (expectedDb == kSilent) {
                ASSERT_EQ(out[i], 0.0f) << "channel " << ch << " frame " << i;
            } else if (std::abs(s) > 0.1f) {
                ratioSum += out[i] / s;
                ++measured;
            }
        }
        if (expectedDb != kSilent) {
            const double db = 20 * std::log10(ratioSum / measured);
            EXPECT_NEAR(db, expectedDb, 0.1) << "channel " << ch;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MixerGain,
    ::testing::Values(GainCase{"Unity", 0, 0, 0, 0}, GainCase{"Minus30Db", -3000, 0, -30, -30},
                      GainCase{"PanLeftCutsRight", 0, -1500, 0, -15},
                      GainCase{"PanRightCutsLeft", 0, 2500, -25, 0},
                      GainCase{"VolumeAndPanAdd", -600, -400, -6, -10},
                      GainCase{"MinimumIsSilence", -10000, 0, kSilent, kSilent},
                      GainCase{"FullLeft", 0, -10000, 0, kSilent},
                      GainCase{"FullRight", 0, 10000, kSilent, 0},
                      GainCase{"LouderClampsToUnity", 500, 0, 0, 0},
                      GainCase{"QuieterClampsToSilence", -20000, 0, kSilent, kSilent},
                      GainCase{"PanClamps", 0, -30000, 0, kSilent}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(MixerChannels, UnityGainIsExactMonoFeedsBothStereoKeepsChannels) {
    const std::vector<std::int16_t> mono = {16384, -32768 / 2, 12345, 7};
    const std::vector<float> stereo = {0.1f, -0.3f, 0.2f, -0.4f};
    Mixer mixer;
    const VoiceId m = mixer.createVoice(makePcm16(48000, 1, mono));
    const VoiceId s = mixer.createVoice(makePcm(48000, 2, stereo));
    mixer.play(m, true);
    Tape tape(mixer);
    tape.run(1000);
    mixer.stop(m);
    tape.run(1000);
    mixer.play(s, true);
    tape.run(1000);
    tape.flush();
    for (int i = 500; i < 1000; ++i) {
        ASSERT_EQ(tape.left(i, 1)[0], mono[i % 4] / 32768.0f) << i;
        ASSERT_EQ(tape.right(i, 1)[0], mono[i % 4] / 32768.0f) << i;
    }
    for (int i = 2500; i < 3000; ++i) {
        ASSERT_EQ(tape.left(i, 1)[0], stereo[2 * (i % 2)]) << i;
        ASSERT_EQ(tape.right(i, 1)[0], stereo[2 * (i % 2) + 1]) << i;
    }
}

TEST(MixerChannels, VolumeChangeGlidesThenHoldsExactly) {
    Mixer mixer;
    const int ramp = mixer.rampFrames();
    EXPECT_EQ(ramp, 240) << "5 ms at 48 kHz";
    const VoiceId v = mixer.createVoice(makePcm(48000, 1, std::vector<float>(1000, 0.8f)));
    mixer.setVolume(v, -2000);
    mixer.play(v, true);
    Tape tape(mixer);
    tape.run(1000);
    mixer.setVolume(v, 0);
    tape.run(3000, 3000);
    tape.flush();
    const float quiet = 0.8f * static_cast<float>(std::pow(10.0, -2000 / 2000.0));
    EXPECT_EQ(tape.left(ramp, 1000 - ramp), std::vector<float>(1000 - ramp, quiet));
    const std::vector<float> glide = tape.left(999, ramp + 1);
    for (int i = 1; i <= ramp; ++i) {
        ASSERT_GT(glide[i], glide[i - 1]) << i;
        ASSERT_LE(glide[i] - glide[i - 1], (0.8f - quiet) / ramp * 1.001f)
            << "step too large at " << i;
    }
    EXPECT_EQ(tape.left(1000 + ramp, 3000 - ramp), std::vector<float>(3000 - ramp, 0.8f));
}

// ---- Looping --------------------------------------------------------------

class MixerLoop : public ::testing::TestWithParam<int> {};

// Two loops of different lengths wrap inside and across blocks of every size,
// including blocks longer than the mixer's own tiles; each output frame must be
// exactly the source frame, so no sample is repeated, dropped or smeared.
TEST_P(MixerLoop, WrapsSampleAccurately) {
    const std::vector<float> left = sine(480, 4.0 / 480);
    std::vector<std::int16_t> right(2 * 300);
    for (int i = 0; i < 300; ++i) {
        right[2 * i] = 1000;
        right[2 * i + 1] =
            static_cast<std::int16_t>(20000 * std::sin(2 * std::numbers::pi * i / 100));
    }
    Mixer mixer;
    const VoiceId a = mixer.createVoice(makePcm(48000, 1, left));
    const VoiceId b = mixer.createVoice(makePcm16(48000, 2, right));
    mixer.setPan(a, -10000);
    mixer.setPan(b, 10000);
    mixer.play(a, true);
    mixer.play(b, true);
    Tape tape(mixer);
    tape.run(5000, GetParam());
    EXPECT_EQ(mixer.position(a), 5000 % 480);
    tape.flush();
    for (int i = mixer.rampFrames(); i < 5000; ++i) {
        ASSERT_EQ(tape.left(i, 1)[0], left[i % 480]) << "frame " << i;
        ASSERT_EQ(tape.right(i, 1)[0], right[2 * (i % 300) + 1] / 32768.0f) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, MixerLoop, ::testing::Values(1, 37, 480, 1500, 5000));

// ---- Play, stop, seek -----------------------------------------------------

// A sound whose every frame is distinct, so the output shows which frame played.
class MixerTransport : public ::testing::Test {
protected:
    static constexpr int kLength = 2000;
    MixerTransport() {
        for (int i = 0; i < kLength; ++i) {
            src.push_back(static_cast<float>(i + 1) / 10000);
        }
        pcm = makePcm(48000, 1, src);
        voice = mixer.createVoice(pcm);
    }
    std::vector<float> frames(int from, int count) const { return slice(src, from, count); }

    std::vector<float> src;
    PcmPtr pcm;
    Mixer mixer;
    const int ramp = mixer.rampFrames();
    VoiceId voice = kNoVoice;
    Tape tape{mixer};
};

// Frames [at, at + count) on tape are src[from...] under a gain that rises
// (or falls) steadily between silence and unity.
void expectFade(const Tape& tape, const std::vector<float>& src, int at, int from, int count,
                bool in) {
    const std::vector<float> out = tape.left(at, count);
    double previous = in ? 0.0 : 1.0;
    for (int i = 0; i < count; ++i) {
        const double gain = out[i] / src[from + i];
        ASSERT_GT(gain, 0.0) << i;
        ASSERT_LT(gain, 1.0) << i;
        ASSERT_TRUE(in ? gain > previous : gain < previous) << i;
        previous = gain;
    }
}

TEST_F(MixerTransport, OncePlayedVoiceFadesInThenEndsUnfadedAndRewinds) {
    for (int shot = 0; shot < 2; ++shot) {
        const int at = tape.rendered();
        mixer.play(voice, false);
        tape.run(kLength + 400, 64);
        tape.flush();
        expectFade(tape, src, at, 0, ramp - 1, true);
        EXPECT_EQ(tape.left(at + ramp, kLength - ramp), frames(ramp, kLength - ramp))
            << "shot " << shot << " plays to its last frame at full gain";
        EXPECT_EQ(tape.left(at + kLength, 400), std::vector<float>(400, 0.0f));
        EXPECT_FALSE(mixer.isPlaying(voice));
        EXPECT_EQ(mixer.position(voice), 0);
    }
}

TEST_F(MixerTransport, StopFadesOutAndKeepsThePositionWhereTheFadeEnded) {
    mixer.play(voice, true);
    tape.run(1000);
    mixer.stop(voice);
    EXPECT_FALSE(mixer.isPlaying(voice)) << "at once, before the fade is rendered";
    EXPECT_EQ(mixer.position(voice), 1000);
    tape.run(500);
    EXPECT_EQ(mixer.position(voice), 1000 + ramp);
    mixer.play(voice, true);
    tape.run(1000);
    tape.flush();
    EXPECT_EQ(tape.left(ramp, 1000 - ramp), frames(ramp, 1000 - ramp));
    expectFade(tape, src, 1000, 1000, ramp - 1, false);
    EXPECT_EQ(tape.left(1000 + ramp, 500 - ramp), std::vector<float>(500 - ramp, 0.0f));
    expectFade(tape, src, 1500, 1000 + ramp, ramp - 1, true);
    EXPECT_EQ(tape.left(1500 + ramp, 400), frames(1000 + 2 * ramp, 400))
        << "play continues from where the fade ended";
}

TEST_F(MixerTransport, LoopingVoiceFadingOutGoesRoundItsLoop) {
    mixer.setPosition(voice, kLength - 100);
    mixer.play(voice, true);
    tape.run(100 + ramp);
    mixer.stop(voice);
    tape.run(1000);
    tape.flush();
    EXPECT_EQ(mixer.position(voice), 2 * ramp);
    expectFade(tape, src, 100 + ramp, ramp, ramp - 1, false);
}

TEST_F(MixerTransport, PlayDuringFadeOutTurnsBackWithoutAJumpOrASkip) {
    mixer.play(voice, true);
    tape.run(1000);
    mixer.stop(voice);
    tape.run(ramp / 2);
    mixer.play(voice, true);
    EXPECT_TRUE(mixer.isPlaying(voice));
    tape.run(800);
    EXPECT_EQ(mixer.position(voice), 1800 + ramp / 2);
    tape.flush();
    const std::vector<float> out = tape.left(1000, 800);
    std::vector<double> gain;
    for (int i = 0; i < 800; ++i) {
        gain.push_back(out[i] / src[1000 + i]);
    }
    const double lowest = *std::min_element(gain.begin(), gain.end());
    EXPECT_GT(lowest, 0.4) << "turned back half way down, not from silence";
    EXPECT_LT(lowest, 0.6);
    for (int i = 1; i < 800; ++i) {
        ASSERT_LE(std::abs(gain[i] - gain[i - 1]), 1.001 / ramp) << "gain jumps at " << i;
    }
    EXPECT_EQ(tape.left(1700, 100), frames(1700, 100))
        << "back to full gain, and no frame was skipped or repeated";
}

TEST_F(MixerTransport, PlayOnPlayingVoiceOnlyChangesLooping) {
    mixer.play(voice, false);
    tape.run(1200);
    mixer.play(voice, true);
    EXPECT_EQ(mixer.position(voice), 1200);
    EXPECT_TRUE(mixer.isLooping(voice));
    tape.run(1000);
    mixer.play(voice, false);
    tape.run(2000);
    tape.flush();
    EXPECT_EQ(tape.left(1200, 800), frames(1200, 800));
    EXPECT_EQ(tape.left(2000, 200), frames(0, 200)) << "looping now, so it wraps unfaded";
    EXPECT_EQ(tape.left(2200, 1800), frames(200, 1800));
    EXPECT_EQ(tape.left(4000, 200), std::vector<float>(200, 0.0f)) << "once again, so it ends";
    EXPECT_FALSE(mixer.isPlaying(voice));
}

TEST_F(MixerTransport, SetPositionClampsAndWorksStoppedOrPlaying) {
    mixer.setPosition(voice, -5);
    EXPECT_EQ(mixer.position(voice), 0);
    mixer.setPosition(voice, 100000);
    EXPECT_EQ(mixer.position(voice), kLength - 1);
    mixer.setPosition(voice, 120);
    mixer.play(voice, false);
    tape.run(500);
    mixer.setPosition(voice, 50);
    EXPECT_EQ(mixer.position(voice), 50) << "reported before the audio thread takes it";
    tape.run(10, 10);
    EXPECT_EQ(mixer.position(voice), 50) << "still fading out where it was";
    tape.run(ramp + 90, 10);
    EXPECT_EQ(mixer.position(voice), 150);
    tape.run(300);
    tape.flush();
    EXPECT_EQ(tape.left(ramp, 500 - ramp), frames(120 + ramp, 500 - ramp));
    expectFade(tape, src, 500, 620, ramp - 1, false);
    expectFade(tape, src, 500 + ramp, 50, ramp - 1, true);
    EXPECT_EQ(tape.left(500 + 2 * ramp, 100), frames(50 + ramp, 100));
}

TEST_F(MixerTransport, SeekDuringFadeOutWaitsForTheFadeAndStartsThere) {
    mixer.play(voice, true);
    tape.run(1000);
    mixer.stop(voice);
    mixer.setPosition(voice, 10);
    EXPECT_EQ(mixer.position(voice), 10);
    tape.run(500);
    EXPECT_EQ(mixer.position(voice), 10);
    mixer.play(voice, true);
    tape.run(500);
    tape.flush();
    expectFade(tape, src, 1000, 1000, ramp - 1, false);
    EXPECT_EQ(tape.left(1500 + ramp, 500 - ramp), frames(10 + ramp, 500 - ramp));
}

TEST_F(MixerTransport, VoicesSharingSamplesPlayIndependently) {
    const VoiceId other = mixer.createVoice(pcm);
    mixer.setPan(voice, -10000);
    mixer.setPan(other, 10000);
    mixer.setPosition(other, 100);
    mixer.play(voice, true);
    mixer.play(other, true);
    tape.run(500);
    mixer.stop(other);
    tape.run(500);
    tape.flush();
    EXPECT_EQ(tape.left(ramp, 1000 - ramp), frames(ramp, 1000 - ramp));
    EXPECT_EQ(tape.right(ramp, 500 - ramp), frames(100 + ramp, 500 - ramp));
    EXPECT_EQ(tape.right(500 + ramp, 500 - ramp), std::vector<float>(500 - ramp, 0.0f));
    EXPECT_EQ(mixer.position(other), 600 + ramp);
    EXPECT_TRUE(mixer.isPlaying(voice));
}

TEST_F(MixerTransport, IdleMixerOverwritesWithSilence) {
    tape.run(2000);
    EXPECT_EQ(tape.raw(), std::vector<float>(4000, 0.0f));
}

// ---- No clicks ------------------------------------------------------------

// A full-scale DC loop shows any jump in gain directly as a step between
// output samples; a glide over rampFrames() moves at most 1/rampFrames() a
// frame. (The limiter holds the level at the ceiling meanwhile; it only ever
// slows a rise.)
class MixerClicks : public ::testing::Test {
protected:
    MixerClicks() { voice = mixer.createVoice(makePcm(48000, 1, std::vector<float>(4800, 1.0f))); }

    // Renders `frames` around an event and returns the largest step seen,
    // the level just before it and the level at the end.
    struct Around {
        float step, before, after;
    };
    template <typename Event> Around around(Event event, int frames = 4000) {
        const int at = tape.rendered();
        tape.run(200);
        event();
        tape.run(frames);
        tape.flush();
        const std::vector<float> out = tape.left(at, 200 + frames);
        return {test::largestStep(out), out[199], out.back()};
    }

    Mixer mixer;
    const float allowed = 1.0f / static_cast<float>(mixer.rampFrames()) * 1.001f;
    VoiceId voice = kNoVoice;
    Tape tape{mixer};
};

TEST_F(MixerClicks, StartStopVolumeAndPanChangesGlide) {
    Around a = around([&] { mixer.play(voice, true); });
    EXPECT_LE(a.step, allowed) << "start";
    EXPECT_EQ(a.before, 0.0f);
    EXPECT_NEAR(a.after, Mixer::kCeiling, 1e-3);

    // Long enough for the limiter to let go again.
    a = around([&] { mixer.setVolume(voice, -2000); }, 96000);
    EXPECT_LE(a.step, allowed) << "volume down";
    EXPECT_EQ(a.after, 0.1f);
    a = around([&] { mixer.setVolume(voice, 0); });
    EXPECT_LE(a.step, allowed) << "volume up";

    a = around([&] { mixer.setPan(voice, 10000); });
    EXPECT_LE(a.step, allowed) << "pan away";
    EXPECT_EQ(a.after, 0.0f);
    a = around([&] { mixer.setPan(voice, 0); });
    EXPECT_LE(a.step, allowed) << "pan back";

    a = around([&] { mixer.stop(voice); });
    EXPECT_LE(a.step, allowed) << "stop";
    EXPECT_GT(a.before, 0.8f);
    EXPECT_EQ(a.after, 0.0f);
}

TEST_F(MixerClicks, StopThenPlayWithinTheFadeGlidesBothWays) {
    mixer.play(voice, true);
    tape.run(2000);
    const Around a = around([&] {
        mixer.stop(voice);
        tape.run(mixer.rampFrames() / 3);
        mixer.play(voice, true);
    });
    EXPECT_LE(a.step, allowed);
    EXPECT_NEAR(a.after, Mixer::kCeiling, 1e-3);
}

// A seek on a playing voice would jump from one part of the sound to another.
TEST_F(MixerClicks, SeekOnAPlayingVoiceGlidesThroughSilence) {
    std::vector<float> rising(48000);
    for (int i = 0; i < 48000; ++i) {
        rising[i] = 0.8f * static_cast<float>(i) / 48000;
    }
    const VoiceId v = mixer.createVoice(makePcm(48000, 1, rising));
    mixer.play(v, true);
    tape.run(30000);
    const Around a = around([&] { mixer.setPosition(v, 0); });
    EXPECT_LE(a.step, 0.8f * allowed + 0.8f / 48000);
    EXPECT_GT(a.before, 0.5f);
    EXPECT_LT(a.after, 0.1f);
}

// Releasing a sounding voice (a custom sound replaced or reset) must not
// cut it: it fades like a stop, and only then gives its slot back.
TEST_F(MixerClicks, ReleasingASoundingVoiceFadesItOutBeforeItsSlotIsFreed) {
    mixer.play(voice, true);
    tape.run(4000);
    const int before = mixer.voiceCount();
    const Around a = around([&] { mixer.releaseVoice(voice); });
    EXPECT_LE(a.step, allowed);
    EXPECT_GT(a.before, 0.8f);
    EXPECT_EQ(a.after, 0.0f);
    EXPECT_FALSE(mixer.isValid(voice));
    EXPECT_EQ(mixer.voiceCount(), before - 1) << "gone for the caller at once";
}

// ---- Voices ---------------------------------------------------------------

TEST(MixerVoices, SlotsAreLimitedAndStaleIdsAreIgnored) {
    Mixer mixer(48000, 2);
    const PcmPtr pcm = makePcm(48000, 1, {0.5f, 0.5f});
    EXPECT_EQ(mixer.createVoice(nullptr), kNoVoice);
    EXPECT_EQ(mixer.createVoice(makePcm(48000, 3, {0, 0, 0})), kNoVoice);
    EXPECT_EQ(mixer.createVoice(makePcm(44100, 1, {0.5f, 0.5f})), kNoVoice)
        << "a sound at another rate must be converted when it is loaded";
    EXPECT_EQ(mixer.createVoice(makePcm(96000, 2, {0.5f, 0.5f})), kNoVoice);
    auto shortData = std::make_shared<PcmData>(*pcm);
    shortData->frames = 10;
    EXPECT_EQ(mixer.createVoice(shortData), kNoVoice) << "fewer samples than frames";

    const VoiceId a = mixer.createVoice(pcm);
    const VoiceId b = mixer.createVoice(pcm);
    EXPECT_EQ(mixer.createVoice(pcm), kNoVoice);
    EXPECT_EQ(mixer.voiceCount(), 2);
    mixer.setVolume(a, 123);
    mixer.setPan(a, -20000);
    EXPECT_EQ(mixer.volume(a), 0);
    EXPECT_EQ(mixer.pan(a), -10000);

    mixer.releaseVoice(a);
    EXPECT_FALSE(mixer.isValid(a));
    const VoiceId c = mixer.createVoice(pcm);
    EXPECT_NE(c, a);
    mixer.play(a, true); // stale: must not start c
    EXPECT_FALSE(mixer.isPlaying(c));
    EXPECT_TRUE(mixer.isValid(b));
    EXPECT_EQ(mixer.voiceCount(), 2);
    EXPECT_EQ(pcm.use_count(), 3) << "released samples are dropped by releaseVoice";
}

TEST(MixerVoices, AFadingReleasedVoiceGivesWayWhenEverySlotIsTaken) {
    Mixer mixer(48000, 1);
    const PcmPtr pcm = makePcm(48000, 1, std::vector<float>(4800, 0.5f));
    const VoiceId a = mixer.createVoice(pcm);
    mixer.play(a, true);
    std::vector<float> out(2 * 256);
    mixer.render(out.data(), 256);
    mixer.releaseVoice(a);
    // Nothing renders the fade (no device): the new voice still gets the slot.
    const VoiceId b = mixer.createVoice(pcm);
    EXPECT_NE(b, kNoVoice);
    EXPECT_FALSE(mixer.isPlaying(b));
    mixer.releaseVoice(b);
    EXPECT_EQ(pcm.use_count(), 1) << "a silent voice is freed at once";
}

// The audio thread renders while the UI thread creates, plays and releases
// voices under the lock; under the sanitizers this catches samples freed
// while in use.
TEST(MixerVoices, ReleaseUnderLockIsSafeWhileRendering) {
    struct Lock : AudioLock {
        std::mutex m;
        void lock() override { m.lock(); }
        void unlock() override { m.unlock(); }
    } lock;
    Mixer mixer(48000, 8);
    mixer.setAudioLock(&lock);
    std::atomic<bool> finite{true};
    // A jthread, so a failed assertion below still stops and joins it.
    std::jthread audio([&](const std::stop_token& stop) {
        std::vector<float> out(2 * 128);
        while (!stop.stop_requested()) {
            std::lock_guard guard(lock.m);
            mixer.render(out.data(), 128);
            for (float s : out) {
                finite = finite && std::isfinite(s);
            }
        }
    });
    std::vector<VoiceId> live;
    for (int i = 0; i < 2000; ++i) {
        const VoiceId v = mixer.createVoice(makePcm(48000, 1 + i % 2, sine(64 * (1 + i % 2), 0.1)));
        ASSERT_NE(v, kNoVoice);
        mixer.setVolume(v, -(i % 10) * 100);
        mixer.play(v, i % 2 == 0);
        mixer.setPosition(v, i % 64);
        live.push_back(v);
        if (live.size() > 4) {
            mixer.releaseVoice(live.front());
            live.erase(live.begin());
        }
    }
    audio.request_stop();
    audio.join();
    EXPECT_TRUE(finite);
}

} // namespace
} // namespace sylvaro::engine
