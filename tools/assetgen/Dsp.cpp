#include "Dsp.h"

#include <algorithm>

namespace assetgen {

namespace {

// Changing this regenerates every asset differently; keep it fixed.
constexpr std::uint64_t kProjectSeed = 0x51A7'A20C'0DE5'EED5ULL;

} // namespace

std::uint64_t Rng::next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Rng::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

int Rng::below(int n) {
    return static_cast<int>(uniform() * n);
}

Rng Rng::fork(std::uint64_t salt) const {
    Rng mixed(state_ ^ (salt * 0xD1B54A32D192ED03ULL));
    mixed.next();
    return Rng(mixed.next());
}

std::uint64_t seedFor(std::string_view name) {
    std::uint64_t hash = 0xCBF29CE484222325ULL; // FNV-1a
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ULL;
    }
    return hash ^ kProjectSeed;
}

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}

namespace {

// Keeps filter corners safely inside (0, Nyquist).
double clampHz(double hz, double rate = kSampleRate) {
    return std::clamp(hz, 10.0, 0.45 * rate);
}

} // namespace

Biquad Biquad::lowpass(double hz, double q, double rate) {
    const double w = kTwoPi * clampHz(hz, rate) / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return {(1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha};
}

Biquad Biquad::highpass(double hz, double q, double rate) {
    const double w = kTwoPi * clampHz(hz, rate) / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return {(1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha};
}

Biquad Biquad::bandpass(double hz, double q) {
    Biquad filter(0, 0, 0, 1, 0, 0);
    filter.retuneBandpass(hz, q);
    return filter;
}

void Biquad::retuneBandpass(double hz, double q) {
    const double w = kTwoPi * clampHz(hz) / kSampleRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    b0_ = alpha / a0;
    b1_ = 0.0;
    b2_ = -alpha / a0;
    a1_ = -2.0 * std::cos(w) / a0;
    a2_ = (1.0 - alpha) / a0;
}

double smoothStep(double x) {
    if (x <= 0.0) {
        return 0.0;
    }
    if (x >= 1.0) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

std::pair<double, double> panGains(double pan) {
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * std::numbers::pi / 4.0;
    return {std::cos(angle), std::sin(angle)};
}

} // namespace assetgen
