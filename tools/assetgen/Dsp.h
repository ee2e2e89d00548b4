// Shared signal building blocks for the asset generator: a deterministic random
// source, biquad filters and a few envelope shapes.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>
#include <utility>

namespace assetgen {

inline constexpr int kSampleRate = 48000;
inline constexpr double kTwoPi = 2.0 * std::numbers::pi;

// splitmix64. The standard distributions are avoided on purpose: their output may
// differ between library versions, and every generated file must be reproducible.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next();
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [-1, 1).
    double bipolar() { return 2.0 * uniform() - 1.0; }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // Uniform integer in [0, n); n must be positive.
    int below(int n);
    // An independent stream, for example one per channel or per layer.
    Rng fork(std::uint64_t salt) const;

private:
    std::uint64_t state_;
};

// The seed of one generated file: the project's fixed seed mixed with the file name,
// so editing one recipe never changes another file.
std::uint64_t seedFor(std::string_view name);

// Second-order filter (audio-EQ-cookbook coefficients, transposed direct form II).
class Biquad {
public:
    // `rate` is the sample rate of what is filtered: the generated sounds' by
    // default, a measured file's own when measuring.
    static Biquad lowpass(double hz, double q = std::numbers::sqrt2 / 2.0,
                          double rate = kSampleRate);
    static Biquad highpass(double hz, double q = std::numbers::sqrt2 / 2.0,
                           double rate = kSampleRate);
    // Band-pass with 0 dB gain at the centre frequency.
    static Biquad bandpass(double hz, double q);

    // Moves a band-pass to a new centre while keeping its state (for sweeping formants).
    void retuneBandpass(double hz, double q);
    double process(double x) {
        const double y = b0_ * x + z1_;
        z1_ = b1_ * x - a1_ * y + z2_;
        z2_ = b2_ * x - a2_ * y;
        return y;
    }

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);

    double b0_, b1_, b2_, a1_, a2_;
    double z1_ = 0.0, z2_ = 0.0;
};

// 0 for x <= 0, 1 for x >= 1, a raised-cosine ramp in between.
double smoothStep(double x);

// Equal-power gains {left, right} for pan in [-1, 1].
std::pair<double, double> panGains(double pan);

inline double dbToGain(double db) {
    return std::pow(10.0, db / 20.0);
}

} // namespace assetgen
