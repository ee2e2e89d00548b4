#include "MixerTape.h"
#include "engine/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace sylvaro::engine {
namespace {

using test::makePcm;
using test::makePcm16;
using test::sine;
using test::Tape;

constexpr int kRate = 48000;

// Full-scale white noise from a fixed seed.
std::vector<float> noise(int samples, std::uint32_t seed, float amplitude = 1.0f) {
    std::vector<float> out(static_cast<std::size_t>(samples));
    for (float& s : out) {
        seed = seed * 1664525u + 1013904223u;
        s = amplitude * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    }
    return out;
}

float peak(const std::vector<float>& v) {
    float p = 0.0f;
    for (float s : v) {
        p = std::max(p, std::abs(s));
    }
    return p;
}

// Forty loud loops at full gain: tones and noise, mono and stereo.
void startFortyLoudVoices(Mixer& mixer) {
    for (int i = 0; i < 40; ++i) {
        const int frames = 4000 + 613 * i;
        PcmPtr pcm;
        if (i % 4 == 0) {
            pcm = makePcm(kRate, 2, noise(2 * frames, 17u + static_cast<std::uint32_t>(i)));
        } else if (i % 4 == 1) {
            std::vector<std::int16_t> s16(static_cast<std::size_t>(frames));
            for (int f = 0; f < frames; ++f) {
                s16[f] = static_cast<std::int16_t>(f % 200 < 100 ? 32767 : -32768); // square
            }
            pcm = makePcm16(kRate, 1, s16);
        } else {
            pcm = makePcm(kRate, 1, sine(frames, (30.0 + 97.0 * i) / kRate, 1.0));
        }
        const VoiceId v = mixer.createVoice(pcm);
        ASSERT_NE(v, kNoVoice);
        mixer.play(v, true);
    }
}

TEST(MixerLimiter, FortyFullScaleVoicesNeverExceedMinusOneDbfs) {
    Mixer mixer;
    startFortyLoudVoices(mixer);
    Tape tape(mixer);
    tape.run(10 * kRate, 441);
    const std::vector<float>& out = tape.raw();
    for (std::size_t i = 0; i < out.size(); ++i) {
        ASSERT_TRUE(std::isfinite(out[i])) << i;
        ASSERT_LE(std::abs(out[i]), Mixer::kCeiling) << "sample " << i;
    }
    EXPECT_LE(Mixer::kCeiling, 0.8913f);
    EXPECT_GE(Mixer::kCeiling, 0.8912f);
    // Limited, not silenced: the last second stays loud.
    double energy = 0;
    for (std::size_t i = out.size() - 2 * kRate; i < out.size(); ++i) {
        energy += out[i] * out[i];
    }
    EXPECT_GT(std::sqrt(energy / (2 * kRate)), 0.2);
}

// The limiter's state carries across render calls of any size.
TEST(MixerLimiter, LimitedOutputDoesNotDependOnTheBlockSize) {
    std::vector<std::vector<float>> runs;
    for (int block : {1, 37, 1024, 5000}) {
        Mixer mixer;
        startFortyLoudVoices(mixer);
        Tape tape(mixer);
        tape.run(20000, block);
        runs.push_back(tape.raw());
    }
    for (std::size_t r = 1; r < runs.size(); ++r) {
        ASSERT_EQ(runs[r].size(), runs[0].size());
        for (std::size_t i = 0; i < runs[0].size(); ++i) {
            ASSERT_EQ(runs[r][i], runs[0][i]) << "run " << r << ", sample " << i;
        }
    }
}

TEST(MixerLimiter, QuietMixPassesBitExactAfterTheDelay) {
    const std::vector<float> a = sine(4800, 0.013, 0.3);
    const std::vector<float> b = noise(2 * 3001, 5u, 0.25f);
    std::vector<std::int16_t> c(1777);
    for (std::size_t i = 0; i < c.size(); ++i) {
        c[i] = static_cast<std::int16_t>((static_cast<int>(i) * 37) % 9000 - 4500);
    }
    Mixer mixer;
    for (const PcmPtr& pcm : {makePcm(kRate, 1, a), makePcm(kRate, 2, b), makePcm16(kRate, 1, c)}) {
        mixer.play(mixer.createVoice(pcm), true);
    }
    Tape tape(mixer);
    // Blocks of changing sizes, as a device may ask.
    for (int i = 0; tape.rendered() < 3 * kRate; ++i) {
        tape.run(1 + (i * 997) % 1500, 1 + (i * 997) % 1500);
    }
    EXPECT_EQ(
        std::vector<float>(tape.raw().begin(), tape.raw().begin() + 2 * Mixer::kLatencyFrames),
        std::vector<float>(2 * Mixer::kLatencyFrames, 0.0f));
    // Past the fade-in, each output frame is the plain sum, bit for bit.
    for (int n = mixer.rampFrames(); n < tape.played(); ++n) {
        const float fromC = static_cast<float>(c[n % c.size()]) * (1.0f / 32768);
        const float left = (0.0f + a[n % a.size()]) + b[2 * (n % 3001)];
        const float right = (0.0f + a[n % a.size()]) + b[2 * (n % 3001) + 1];
        ASSERT_EQ(tape.left(n, 1)[0], left + fromC) << "frame " << n;
        ASSERT_EQ(tape.right(n, 1)[0], right + fromC) << "frame " << n;
    }
}

// A quiet voice plays throughout; a loud one joins for half a second. The
// quiet voice is pulled down while the loud one plays and comes back over a
// release of tens to hundreds of milliseconds, then passes untouched again.
TEST(MixerLimiter, ReleasesAfterAnOverloadThenPassesBitExact) {
    const std::vector<float> quiet = sine(480, 1.0 / 480, 0.3);
    Mixer mixer;
    mixer.play(mixer.createVoice(makePcm(kRate, 1, quiet)), true);
    const VoiceId loud = mixer.createVoice(makePcm(kRate, 1, std::vector<float>(4800, 1.0f)));
    mixer.setPan(loud, 10000); // right only, so the left shows the gain
    Tape tape(mixer);
    tape.run(kRate / 2);
    mixer.play(loud, true);
    tape.run(kRate / 2);
    mixer.stop(loud);
    const int end = tape.rendered() + mixer.rampFrames();
    tape.run(4 * kRate);
    tape.flush();

    // The limiter's gain, seen through the quiet voice near its peaks.
    const auto gainAt = [&](int frame) {
        const int p = frame - frame % 480 + 120; // a crest of the quiet sine
        return tape.left(p, 1)[0] / quiet[120];
    };
    EXPECT_EQ(gainAt(kRate / 4), 1.0f);
    EXPECT_LT(gainAt(end - 480), 0.75f) << "pulled down under the loud voice";
    EXPECT_LT(gainAt(end + kRate / 10), 0.95f) << "no sudden return 100 ms later";
    EXPECT_GT(gainAt(end + kRate / 2), 0.98f) << "mostly back 500 ms later";
    const int from = end + 5 * kRate / 2;
    for (int n = from; n < tape.played(); ++n) {
        ASSERT_EQ(tape.left(n, 1)[0], quiet[n % 480]) << "frame " << n;
    }
}

// A steady tone 7 dB over the ceiling comes out as the same tone at the
// ceiling: the gain settles and holds between the tone's peaks rather than
// pumping with them, which would distort it.
TEST(MixerLimiter, SteadyOverloadBecomesACleanToneAtTheCeiling) {
    for (int hz : {50, 200, 3000}) {
        const int period = kRate / hz;
        const std::vector<float> tone = sine(period, 1.0 / period, 2.0, 0.3);
        Mixer mixer;
        mixer.play(mixer.createVoice(makePcm(kRate, 1, tone)), true);
        Tape tape(mixer);
        tape.run(kRate);
        tape.flush();
        const std::vector<float> out = tape.left(kRate / 2, kRate / 2);
        const float level = peak(out) / peak(tone);
        EXPECT_LE(peak(out), Mixer::kCeiling) << hz << " Hz";
        EXPECT_GT(peak(out), 0.995f * Mixer::kCeiling) << hz << " Hz";
        for (int i = 0; i < kRate / 2; ++i) {
            ASSERT_NEAR(out[i], level * tone[(kRate / 2 + i) % period], 1e-5)
                << hz << " Hz, frame " << i;
        }
    }
}

// A sound that leaps from quiet to far over the ceiling: the look-ahead
// brings the gain down before the leap arrives, gradually rather than in one
// step, so no sample passes the ceiling and the attack does not click.
TEST(MixerLimiter, LooksAheadAndLowersTheGainGraduallyBeforeAJump) {
    std::vector<float> src(kRate, 0.1f);
    std::fill(src.begin() + kRate / 2, src.end(), 4.0f);
    Mixer mixer;
    mixer.play(mixer.createVoice(makePcm(kRate, 1, src)), false);
    Tape tape(mixer);
    tape.run(kRate);
    tape.flush();
    const std::vector<float> out = tape.left(0, kRate);
    EXPECT_LE(peak(out), Mixer::kCeiling);
    EXPECT_GT(out[kRate / 2], 0.99f * Mixer::kCeiling);
    int lowering = 0;
    for (int i = kRate / 2 - Mixer::kLatencyFrames; i < kRate / 2; ++i) {
        const float gain = out[i] / 0.1f;
        lowering += gain < 0.999f && gain > 1.001f * Mixer::kCeiling / 4.0f;
    }
    EXPECT_GE(lowering, kRate / 1000) << "the gain comes down over a millisecond or more";
    EXPECT_EQ(out[kRate / 2 - Mixer::kLatencyFrames - 1], 0.1f) << "but not earlier than needed";
}

} // namespace
} // namespace sylvaro::engine
