// The measuring code read against sounds built here with known figures: if it
// miscounted notes or mistook a pulse rate, every signature check would mean nothing.
#include "assetgen/SoundMeasure.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

using measure::Clip;

namespace {

constexpr double kRate = 48000.0;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Deterministic noise in [-1, 1).
class Noise {
public:
    double next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 52) - 1.0;
    }

private:
    std::uint64_t state_ = 12345;
};

Clip silence(double seconds, bool loop = false) {
    Clip clip;
    clip.rate = kRate;
    clip.loop = loop;
    clip.samples.assign(static_cast<std::size_t>(seconds * kRate), 0.0);
    return clip;
}

void addNoise(Clip& clip, double level) {
    Noise noise;
    for (double& x : clip.samples) {
        x += level * noise.next();
    }
}

// A tone burst with 5 ms ramps at both ends.
void addTone(Clip& clip, double start, double seconds, double hz, double level) {
    const auto from = static_cast<std::size_t>(start * kRate);
    const auto count = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < count && from + i < clip.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double ramp = std::min({1.0, t / 0.005, (seconds - t) / 0.005});
        clip.samples[from + i] += level * ramp * std::sin(kTwoPi * hz * t);
    }
}

TEST(SoundMeasure, FindsNotesAndTheirLengthsAmidFaintNoise) {
    Clip clip = silence(2.0);
    addNoise(clip, 0.001);
    addTone(clip, 0.2, 0.2, 700.0, 0.5);
    addTone(clip, 0.6, 0.3, 600.0, 0.4);
    addTone(clip, 1.2, 0.1, 800.0, 0.3);
    const auto notes = measure::findNotes(clip, 300.0, 1200.0, 25.0, 0.03, 0.03);
    ASSERT_EQ(notes.size(), 3u);
    const double starts[] = {0.2, 0.6, 1.2};
    const double lengths[] = {0.2, 0.3, 0.1};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(notes[i].start, starts[i], 0.015) << i;
        EXPECT_NEAR(notes[i].seconds(), lengths[i], 0.025) << i;
    }
    // A silence shorter than the merge gap joins two notes into one.
    Clip joined = silence(1.0);
    addTone(joined, 0.1, 0.2, 700.0, 0.5);
    addTone(joined, 0.32, 0.2, 700.0, 0.5);
    EXPECT_EQ(measure::findNotes(joined, 300.0, 1200.0, 25.0, 0.05, 0.03).size(), 1u);
    EXPECT_EQ(measure::findNotes(joined, 300.0, 1200.0, 25.0, 0.005, 0.03).size(), 2u);
}

TEST(SoundMeasure, TracksARisingPitch) {
    Clip clip = silence(0.6);
    double phase = 0.0;
    for (std::size_t i = 0; i < clip.samples.size(); ++i) {
        const double u = static_cast<double>(i) / static_cast<double>(clip.samples.size());
        phase += kTwoPi * (1000.0 * std::pow(2.0, u)) / kRate;
        clip.samples[i] = 0.5 * std::sin(phase);
    }
    const std::vector<double> track = measure::pitchTrack(clip, {0.0, 0.6}, 500.0, 4000.0);
    ASSERT_GT(track.size(), 20u);
    // The first and last frames sit 21 ms inside the ends.
    EXPECT_NEAR(track.front(), 1000.0 * std::pow(2.0, 0.021 / 0.6), 15.0);
    EXPECT_NEAR(track.back(), 1000.0 * std::pow(2.0, 1.0 - 0.021 / 0.6), 30.0);
    for (std::size_t i = 1; i < track.size(); ++i) {
        EXPECT_GE(track[i], track[i - 1] - 3.0);
    }
}

TEST(SoundMeasure, ReadsThePulseRateOfAnEnvelopeNotAMultiple) {
    // Noise pulsing 30 times a second.
    Clip pulsed = silence(1.0);
    Noise noise;
    for (std::size_t i = 0; i < pulsed.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        pulsed.samples[i] = noise.next() * (0.5 + 0.5 * std::cos(kTwoPi * 30.0 * t));
    }
    const measure::Pulse slow = measure::pulseRate(pulsed, {}, 0.0, 0.0, 10.0, 200.0);
    EXPECT_NEAR(slow.hz, 30.0, 1.0);
    EXPECT_GT(slow.strength, 0.5);

    // A train of glottal-like pulses at 100 per second: the period, not twice it.
    Clip train = silence(0.5);
    for (std::size_t i = 0; i < train.samples.size(); i += 480) {
        for (std::size_t j = 0; j < 96 && i + j < train.samples.size(); ++j) {
            train.samples[i + j] = std::exp(-static_cast<double>(j) / 20.0) *
                                   std::sin(kTwoPi * 1200.0 * static_cast<double>(j) / kRate);
        }
    }
    EXPECT_NEAR(measure::pulseRate(train, {}, 0.0, 0.0, 40.0, 250.0).hz, 100.0, 2.0);

    // Steady noise has no pulse to speak of.
    Clip steady = silence(1.0);
    addNoise(steady, 0.5);
    EXPECT_LT(measure::pulseRate(steady, {}, 0.0, 0.0, 10.0, 200.0).strength, 0.2);
}

TEST(SoundMeasure, CountsImpactsAndIgnoresFarQuieterOnes) {
    Clip clip = silence(2.0);
    addNoise(clip, 0.002);
    const double times[] = {0.1, 0.35, 0.5, 0.9, 1.2, 1.55, 1.8};
    for (const double at : times) {
        addTone(clip, at, 0.02, 3000.0, 0.5);
    }
    addTone(clip, 0.7, 0.02, 3000.0, 0.5 * 0.01); // 40 dB down
    const std::vector<double> found = measure::findImpacts(clip, 1000.0, 8000.0, 10.0, 25.0, 0.008);
    ASSERT_EQ(found.size(), std::size(times));
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_NEAR(found[i], times[i], 0.01);
    }
}

TEST(SoundMeasure, SteadyNoiseInALowBandIsNoRunOfImpacts) {
    // A 5 ms window is shorter than one period at 150 Hz; read through it, steady
    // noise would flicker by more than 6 dB many times a second.
    Clip clip = silence(10.0);
    addNoise(clip, 0.3);
    const std::vector<double> found = measure::findImpacts(clip, 150.0, 1200.0, 6.0, 15.0, 0.008);
    EXPECT_LT(static_cast<double>(found.size()) / clip.seconds(), 0.3);
}

TEST(SoundMeasure, FindsStrikesOfRingingBellsThatOverlap) {
    Clip clip = silence(3.0);
    const double strikes[] = {0.1, 0.8, 1.5, 2.2};
    const double pitches[] = {415.0, 370.0, 330.0, 247.0};
    for (std::size_t s = 0; s < 4; ++s) {
        const auto from = static_cast<std::size_t>(strikes[s] * kRate);
        for (std::size_t i = from; i < clip.samples.size(); ++i) {
            const double t = static_cast<double>(i - from) / kRate;
            clip.samples[i] +=
                0.2 * std::exp(-t / 1.2) *
                (std::sin(kTwoPi * pitches[s] * t) + 0.5 * std::sin(kTwoPi * pitches[s] * 2.0 * t));
        }
    }
    const std::vector<double> found = measure::findStrikes(clip, 100.0, 2000.0);
    ASSERT_EQ(found.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(found[i], strikes[i], 0.03);
    }
}

TEST(SoundMeasure, ReadsSpectralPeaksBandsAndPartials) {
    Clip clip = silence(1.0);
    addNoise(clip, 0.001);
    addTone(clip, 0.0, 1.0, 1000.0, 0.5);
    addTone(clip, 0.0, 1.0, 3000.0, 0.25);
    const std::vector<double> spectrum = measure::powerSpectrum(clip, {}, 4096);
    EXPECT_NEAR(measure::spectralPeak(spectrum, kRate, 20.0, 20000.0), 1000.0, 3.0);
    EXPECT_NEAR(measure::spectralPeak(spectrum, kRate, 2000.0, 20000.0), 3000.0, 3.0);
    // Power goes as amplitude squared: 4 to 1.
    EXPECT_NEAR(measure::bandShare(spectrum, kRate, 900.0, 1100.0), 0.8, 0.03);
    EXPECT_NEAR(measure::bandShare(spectrum, kRate, 2900.0, 3100.0), 0.2, 0.03);
    EXPECT_GT(measure::partialProminenceDb(spectrum, kRate, 3000.0, 0.015), 30.0);
    EXPECT_LT(measure::partialProminenceDb(spectrum, kRate, 2000.0, 0.015), 6.0);
}

TEST(SoundMeasure, TimesTheSwellsOfALoopAcrossItsWrap) {
    // Four swells in a 20 s loop, the first crest at 1 s.
    Clip clip = silence(20.0, true);
    Noise noise;
    for (std::size_t i = 0; i < clip.samples.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        clip.samples[i] = noise.next() * (0.55 + 0.45 * std::cos(kTwoPi * (t - 1.0) / 5.0));
    }
    const std::vector<double> crests = measure::swellCrests(clip, 4.0);
    ASSERT_EQ(crests.size(), 4u);
    for (std::size_t i = 0; i < crests.size(); ++i) {
        EXPECT_NEAR(crests[i], 1.0 + 5.0 * static_cast<double>(i), 0.3);
    }
}

} // namespace
