#include "engine/Mixer.h"

#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <mutex>
#include <numbers>
#include <thread>

namespace sylvaro::engine {
namespace {

PcmPtr makePcm(int rate, int channels, std::vector<float> samples) {
    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = rate;
    pcm->channels = channels;
    pcm->frames = static_cast<std::int64_t>(samples.size()) / channels;
    pcm->f32 = std::move(samples);
    return pcm;
}

PcmPtr makePcm16(int rate, int channels, std::vector<std::int16_t> samples) {
    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = rate;
    pcm->channels = channels;
    pcm->frames = static_cast<std::int64_t>(samples.size()) / channels;
    pcm->s16 = std::move(samples);
    return pcm;
}

std::vector<float> sine(int frames, double cyclesPerFrame, double phase = 0) {
    std::vector<float> out(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        out[i] =
            static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * cyclesPerFrame * i + phase));
    }
    return out;
}

// Renders `frames` frames in blocks of `block`, the way the device pulls
// them; returns one channel (0 left, 1 right) or both interleaved (-1).
std::vector<float> render(Mixer& mixer, int frames, int channel = 0, int block = 256) {
    std::vector<float> stereo(2 * static_cast<std::size_t>(frames), 9.0f);
    for (int done = 0; done < frames; done += block) {
        mixer.render(stereo.data() + 2 * done, std::min(block, frames - done));
    }
    if (channel < 0) {
        return stereo;
    }
    std::vector<float> out(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        out[i] = stereo[2 * i + channel];
    }
    return out;
}

std::vector<float> slice(const std::vector<float>& v, int from, int count) {
    return {v.begin() + from, v.begin() + from + count};
}

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

TEST_P(MixerGain, AttenuatesEachChannelInHundredthsOfADb) {
    const GainCase& c = GetParam();
    const std::vector<float> src = sine(1000, 0.01);
    Mixer mixer;
    const VoiceId v = mixer.createVoice(makePcm(48000, 1, src));
    mixer.setVolume(v, c.volume);
    mixer.setPan(v, c.pan);
    mixer.play(v, true);
    const std::vector<float> out = render(mixer, 2000, -1);
    for (int ch = 0; ch < 2; ++ch) {
        const double expectedDb = ch == 0 ? c.dbLeft : c.dbRight;
        double ratioSum = 0;
        int measured = 0;
        for (int i = 0; i < 2000; ++i) {
            const float s = src[i % 1000];
            if (expectedDb == kSilent) {
                ASSERT_EQ(out[2 * i + ch], 0.0f) << "channel " << ch << " frame " << i;
            } else if (std::abs(s) > 0.1f) {
                ratioSum += out[2 * i + ch] / s;
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
    Mixer mixer;
    const VoiceId mono = mixer.createVoice(makePcm16(48000, 1, {16384, -32768, 12345, 7}));
    const VoiceId stereo = mixer.createVoice(makePcm(48000, 2, {0.1f, -0.3f, 0.2f, -0.3f}));
    mixer.play(mono, false);
    const std::vector<float> monoOut = render(mixer, 4, -1);
    EXPECT_EQ(monoOut, (std::vector<float>{0.5f, 0.5f, -1.0f, -1.0f, 12345.0f / 32768,
                                           12345.0f / 32768, 7.0f / 32768, 7.0f / 32768}));
    mixer.play(stereo, false);
    EXPECT_EQ(render(mixer, 2, -1), (std::vector<float>{0.1f, -0.3f, 0.2f, -0.3f}));
}

TEST(MixerChannels, VolumeChangeGlidesThenHoldsExactly) {
    Mixer mixer;
    const VoiceId v = mixer.createVoice(makePcm(48000, 1, std::vector<float>(1000, 1.0f)));
    mixer.setVolume(v, -2000);
    mixer.play(v, true);
    EXPECT_EQ(render(mixer, 300).front(), 0.1f) << "a voice starts at its gain, unfaded";
    mixer.setVolume(v, 0);
    const std::vector<float> out = render(mixer, 3000, 0, 3000);
    float previous = 0.1f;
    for (int i = 0; i < 3000; ++i) {
        ASSERT_GE(out[i], previous) << i;
        ASSERT_LE(out[i] - previous, 0.9f / 100) << "step too large at " << i;
        previous = out[i];
    }
    EXPECT_LT(out.front(), 0.12f);
    EXPECT_EQ(slice(out, 1000, 2000), std::vector<float>(2000, 1.0f));
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
    const std::vector<float> out = render(mixer, 5000, -1, GetParam());
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(out[2 * i], left[i % 480]) << "frame " << i;
        ASSERT_EQ(out[2 * i + 1], right[2 * (i % 300) + 1] / 32768.0f) << "frame " << i;
    }
    EXPECT_EQ(mixer.position(a), 5000 % 480);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, MixerLoop, ::testing::Values(1, 37, 480, 1500, 5000));

// ---- Play, stop, seek -----------------------------------------------------

// A sound whose every frame is distinct, so the output shows which frame played.
class MixerTransport : public ::testing::Test {
protected:
    MixerTransport() {
        for (int i = 0; i < 300; ++i) {
            src.push_back(static_cast<float>(i + 1) / 1000);
        }
        pcm = makePcm(48000, 1, src);
        voice = mixer.createVoice(pcm);
    }
    std::vector<float> frames(int from, int count) const { return slice(src, from, count); }

    std::vector<float> src;
    PcmPtr pcm;
    Mixer mixer;
    VoiceId voice = kNoVoice;
};

TEST_F(MixerTransport, OncePlayedVoiceStopsRewindsAndPlaysWholeAgain) {
    for (int shot = 0; shot < 2; ++shot) {
        mixer.play(voice, false);
        const std::vector<float> out = render(mixer, 400, 0, 64);
        EXPECT_EQ(slice(out, 0, 300), src) << "shot " << shot;
        EXPECT_EQ(slice(out, 300, 100), std::vector<float>(100, 0.0f));
        EXPECT_FALSE(mixer.isPlaying(voice));
        EXPECT_EQ(mixer.position(voice), 0);
    }
}

TEST_F(MixerTransport, StopKeepsPositionAndPlayContinues) {
    mixer.play(voice, true);
    render(mixer, 100);
    mixer.stop(voice);
    EXPECT_EQ(mixer.position(voice), 100);
    EXPECT_EQ(render(mixer, 50), std::vector<float>(50, 0.0f));
    mixer.play(voice, true);
    EXPECT_EQ(render(mixer, 100), frames(100, 100));
}

TEST_F(MixerTransport, PlayOnPlayingVoiceOnlyChangesLooping) {
    mixer.play(voice, false);
    render(mixer, 200);
    mixer.play(voice, true);
    EXPECT_EQ(mixer.position(voice), 200);
    EXPECT_TRUE(mixer.isLooping(voice));
    std::vector<float> out = render(mixer, 200);
    EXPECT_EQ(slice(out, 0, 100), frames(200, 100));
    EXPECT_EQ(slice(out, 100, 100), frames(0, 100)) << "looping now, so it wraps";
    mixer.play(voice, false);
    out = render(mixer, 250);
    EXPECT_EQ(slice(out, 0, 200), frames(100, 200));
    EXPECT_EQ(slice(out, 200, 50), std::vector<float>(50, 0.0f)) << "once again, so it ends";
    EXPECT_FALSE(mixer.isPlaying(voice));
}

TEST_F(MixerTransport, SetPositionClampsAndWorksStoppedOrPlaying) {
    mixer.setPosition(voice, -5);
    EXPECT_EQ(mixer.position(voice), 0);
    mixer.setPosition(voice, 1000);
    EXPECT_EQ(mixer.position(voice), 299);
    mixer.setPosition(voice, 120);
    mixer.play(voice, false);
    EXPECT_EQ(render(mixer, 10), frames(120, 10));
    mixer.setPosition(voice, 50);
    EXPECT_EQ(mixer.position(voice), 50) << "reported before the audio thread takes it";
    EXPECT_EQ(render(mixer, 10), frames(50, 10));
    EXPECT_EQ(mixer.position(voice), 60);
}

TEST_F(MixerTransport, VoicesSharingSamplesPlayIndependently) {
    const VoiceId other = mixer.createVoice(pcm);
    mixer.setPan(voice, -10000);
    mixer.setPan(other, 10000);
    mixer.setPosition(other, 100);
    mixer.play(voice, true);
    mixer.play(other, true);
    std::vector<float> out = render(mixer, 50, -1);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(out[2 * i], src[i]);
        ASSERT_EQ(out[2 * i + 1], src[100 + i]);
    }
    mixer.stop(other);
    out = render(mixer, 50, -1);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(out[2 * i], src[50 + i]);
        ASSERT_EQ(out[2 * i + 1], 0.0f);
    }
    EXPECT_EQ(mixer.position(other), 150);
    EXPECT_TRUE(mixer.isPlaying(voice));
}

TEST_F(MixerTransport, IdleMixerOverwritesWithSilence) {
    EXPECT_EQ(render(mixer, 100, -1), std::vector<float>(200, 0.0f));
}

TEST(MixerVoices, SlotsAreLimitedAndStaleIdsAreIgnored) {
    Mixer mixer(48000, 2);
    const PcmPtr pcm = makePcm(48000, 1, {0.5f, 0.5f});
    EXPECT_EQ(mixer.createVoice(nullptr), kNoVoice);
    EXPECT_EQ(mixer.createVoice(makePcm(48000, 3, {0, 0, 0})), kNoVoice);
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
        const VoiceId v = mixer.createVoice(makePcm(44100 + i % 2 * 3900, 1, sine(64, 0.1)));
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

// ---- Sample-rate conversion -----------------------------------------------

TEST(MixerResample, LowRateLoopPlaysAtItsPitchAcrossTheWrap) {
    // 441 Hz at 22050 Hz: exactly 441 cycles in one second of loop, starting
    // at a peak so the wrap must interpolate towards the loop's first frame.
    constexpr double kPhase = std::numbers::pi / 2;
    Mixer mixer(48000);
    const VoiceId v = mixer.createVoice(makePcm(22050, 1, sine(22050, 441.0 / 22050, kPhase)));
    mixer.play(v, true);
    const std::vector<float> out = render(mixer, 72000, 0, 512);
    int upCrossings = 0;
    for (int i = 0; i < 72000; ++i) {
        const double ideal = 0.5 * std::sin(2 * std::numbers::pi * 441 * i / 48000 + kPhase);
        ASSERT_NEAR(out[i], ideal, 0.003) << "frame " << i;
        upCrossings += i > 0 && i <= 48000 && out[i - 1] < 0 && out[i] >= 0;
    }
    EXPECT_NEAR(upCrossings, 441, 1);
}

TEST(MixerResample, HalfRateInterpolatesMidpointsUpToTheEnd) {
    Mixer mixer(48000);
    const VoiceId v = mixer.createVoice(makePcm(24000, 1, {0.25f, 0.5f, 0.75f, 1.0f}));
    mixer.play(v, true);
    EXPECT_EQ(render(mixer, 10), (std::vector<float>{0.25f, 0.375f, 0.5f, 0.625f, 0.75f, 0.875f,
                                                     1.0f, 0.625f, 0.25f, 0.375f}))
        << "the last frame leans on the loop start";
    mixer.setPosition(v, 3);
    mixer.play(v, false);
    EXPECT_EQ(render(mixer, 4), (std::vector<float>{1.0f, 0.5f, 0.0f, 0.0f}))
        << "a once-played sound fades into silence";
}

TEST(MixerResample, OncePlayedSoundLastsItsDuration) {
    // 0.1 s of 44100 Hz stereo lasts 4800 frames at 48000 Hz.
    Mixer mixer(48000);
    const VoiceId v =
        mixer.createVoice(makePcm16(44100, 2, std::vector<std::int16_t>(2 * 4410, 16384)));
    mixer.play(v, false);
    const std::vector<float> out = render(mixer, 6000, 1, 1000);
    EXPECT_EQ(slice(out, 0, 4799), std::vector<float>(4799, 0.5f));
    double sum = 0;
    for (float s : out) {
        sum += s;
    }
    EXPECT_NEAR(sum / 0.5, 4800, 1);
    EXPECT_EQ(slice(out, 4801, 1199), std::vector<float>(1199, 0.0f));
    EXPECT_FALSE(mixer.isPlaying(v));
}

} // namespace
} // namespace sylvaro::engine
