#include "Loudness.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <ebur128.h>
#include <limits>
#include <memory>
#include <stdexcept>

namespace assetgen {

namespace {

double peakOf(const Audio& audio) {
    double peak = 0.0;
    for (const auto& channel : audio.channels) {
        for (const double x : channel) {
            peak = std::max(peak, std::abs(x));
        }
    }
    return peak;
}

void scale(Audio& audio, double gain) {
    for (auto& channel : audio.channels) {
        for (double& x : channel) {
            x *= gain;
        }
    }
}

// One stage of the loudness weighting filter, with its 48 kHz coefficients.
struct Stage {
    double b0, b1, b2, a1, a2;
    double z1 = 0.0, z2 = 0.0;
    double process(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// Weighted power of each frame of a loop, summed over channels, as heard while the
// loop repeats: the filters run once around the loop to settle before recording.
std::vector<double> weightedPower(const Audio& audio) {
    static_assert(kSampleRate == 48000, "the weighting coefficients are for 48 kHz");
    const std::size_t frames = audio.frames();
    std::vector<double> power(frames, 0.0);
    for (const auto& channel : audio.channels) {
        Stage shelf{1.53512485958697, -2.69169618940638, 1.19839281085285, -1.69065929318241,
                    0.73248077421585};
        Stage highPass{1.0, -2.0, 1.0, -1.99004745483398, 0.99007225036621};
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t i = 0; i < frames; ++i) {
                const double y = highPass.process(shelf.process(channel[i]));
                if (pass == 1) {
                    power[i] += y * y;
                }
            }
        }
    }
    return power;
}

// The loop's mean weighted power as the integrated measurement sees it: the mean
// of the 400 ms blocks (75 % overlap) left after the absolute and relative gates.
double gatedMean(const std::vector<double>& prefix, std::size_t frames) {
    constexpr std::size_t kBlock = kSampleRate * 2 / 5;
    std::vector<double> blocks;
    for (std::size_t start = 0; start + kBlock <= frames; start += kBlock / 4) {
        blocks.push_back((prefix[start + kBlock] - prefix[start]) / kBlock);
    }
    const auto meanAbove = [&](double gate) {
        double sum = 0.0;
        std::size_t count = 0;
        for (const double b : blocks) {
            if (b > gate) {
                sum += b;
                ++count;
            }
        }
        return count == 0 ? 0.0 : sum / static_cast<double>(count);
    };
    // -70 LUFS absolute, then 10 LU below the mean of what passed it.
    const double absolute = std::pow(10.0, (-70.0 + 0.691) / 10.0);
    return meanAbove(std::max(absolute, 0.1 * meanAbove(absolute)));
}

} // namespace

double integratedLoudness(const Audio& audio) {
    const std::size_t channels = audio.channels.size();
    const std::size_t frames = audio.frames();
    if (channels == 0 || frames == 0) {
        return -std::numeric_limits<double>::infinity();
    }
    const std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(static_cast<unsigned>(channels), kSampleRate, EBUR128_MODE_I),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (!state) {
        throw std::runtime_error("cannot start a loudness measurement");
    }
    constexpr std::size_t kChunk = 4096;
    std::vector<double> interleaved(kChunk * channels);
    for (std::size_t start = 0; start < frames; start += kChunk) {
        const std::size_t count = std::min(kChunk, frames - start);
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t ch = 0; ch < channels; ++ch) {
                interleaved[i * channels + ch] = audio.channels[ch][start + i];
            }
        }
        ebur128_add_frames_double(state.get(), interleaved.data(), count);
    }
    double lufs = 0.0;
    if (ebur128_loudness_global(state.get(), &lufs) != EBUR128_SUCCESS) {
        throw std::runtime_error("cannot measure loudness");
    }
    return lufs;
}

void limitPeaks(Audio& audio, double ceiling, bool loop) {
    const std::size_t frames = audio.frames();
    if (frames == 0) {
        return;
    }
    constexpr std::size_t r = kSampleRate / 200; // 5 ms either side of each peak
    // The gain each frame may have at most, over the frames padded by 2r on each side.
    std::vector<double> allowed(frames + 4 * r, 1.0);
    for (std::size_t k = 0; k < allowed.size(); ++k) {
        const auto i = static_cast<long long>(k) - static_cast<long long>(2 * r);
        if (!loop && (i < 0 || i >= static_cast<long long>(frames))) {
            continue;
        }
        const auto n = static_cast<long long>(frames);
        const auto j = static_cast<std::size_t>(((i % n) + n) % n);
        double loudest = 0.0;
        for (const auto& channel : audio.channels) {
            loudest = std::max(loudest, std::abs(channel[j]));
        }
        if (loudest > ceiling) {
            allowed[k] = ceiling / loudest;
        }
    }
    // Minimum over 2r+1 frames, then the mean over 2r+1 of those minima: the mean at
    // a peak only takes in minima that already include the peak, so it never
    // exceeds what the peak allows, and the gain moves without steps.
    std::vector<double> lowest(allowed.size(), 1.0);
    std::deque<std::size_t> window;
    for (std::size_t k = 0; k < allowed.size(); ++k) {
        while (!window.empty() && allowed[window.back()] >= allowed[k]) {
            window.pop_back();
        }
        window.push_back(k);
        if (window.front() + 2 * r < k) {
            window.pop_front();
        }
        if (k >= 2 * r) {
            lowest[k - r] = allowed[window.front()];
        }
    }
    double sum = 0.0;
    for (std::size_t k = r; k <= 3 * r; ++k) {
        sum += lowest[k];
    }
    const double width = 2.0 * r + 1.0;
    for (std::size_t i = 0; i < frames; ++i) {
        const double gain = sum / width;
        for (auto& channel : audio.channels) {
            channel[i] *= gain;
        }
        if (i + 1 < frames) {
            sum += lowest[i + 3 * r + 1] - lowest[i + r];
        }
    }
}

void balance(Audio& audio, double lufs, bool loop) {
    const double ceiling = dbToGain(kCeilingDb);
    for (int round = 0; round < 6; ++round) {
        const double measured = integratedLoudness(audio);
        if (!std::isfinite(measured)) {
            return;
        }
        if (std::abs(measured - lufs) < 0.05) {
            break;
        }
        scale(audio, dbToGain(lufs - measured));
        if (peakOf(audio) > ceiling) {
            limitPeaks(audio, ceiling, loop);
        }
    }
    // Rounding the limiter's gain may leave a peak a hair above the ceiling.
    const double peak = peakOf(audio);
    if (peak > ceiling) {
        scale(audio, ceiling / peak);
    }
}

void placeLoopPoint(Audio& audio) {
    const std::size_t frames = audio.frames();
    constexpr std::size_t kWindow = 3 * kSampleRate; // short-term loudness
    constexpr std::size_t kHalfSecond = kSampleRate / 2;
    constexpr std::size_t kNearby = kSampleRate / 100;
    if (frames < 2 * kWindow) {
        return;
    }
    const std::vector<double> power = weightedPower(audio);
    std::vector<double> prefix(2 * frames + 1, 0.0);
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        prefix[i + 1] = prefix[i] + power[i % frames];
    }
    const double mean = gatedMean(prefix, frames);
    if (mean <= 0.0) {
        return;
    }
    // Power of the short-term window starting at `start`, around the loop.
    const auto windowDb = [&](std::size_t start) {
        const double p = (prefix[start + kWindow] - prefix[start]) / kWindow;
        return 10.0 * std::log10(std::max(p, 1e-30) / mean);
    };
    // How far the windows that hold the wrap (with at least half a second on each
    // side) stray from the mean, if the file began at `cut`.
    const auto deviation = [&](std::size_t cut) {
        double worst = 0.0;
        for (std::size_t before = kHalfSecond; before < kWindow; before += kHalfSecond) {
            worst = std::max(worst, std::abs(windowDb((cut + frames - before) % frames)));
        }
        return worst;
    };
    // The step into `cut` compared with the largest of the steps around it.
    const auto stepRatio = [&](std::size_t cut) {
        double worst = 0.0;
        for (const auto& x : audio.channels) {
            const auto at = [&](std::size_t i) { return x[(i + frames) % frames]; };
            double nearby = 1e-12;
            for (std::size_t d = 1; d <= kNearby; ++d) {
                nearby = std::max({nearby, std::abs(at(cut + d) - at(cut + d - 1)),
                                   std::abs(at(cut + frames - d) - at(cut + frames - d - 1))});
            }
            worst = std::max(worst, std::abs(at(cut) - at(cut + frames - 1)) / nearby);
        }
        return worst;
    };

    constexpr std::size_t kStep = kSampleRate / 100;
    double bestDeviation = std::numeric_limits<double>::infinity();
    for (std::size_t cut = 0; cut < frames; cut += kStep) {
        bestDeviation = std::min(bestDeviation, deviation(cut));
    }
    std::size_t best = 0;
    double bestScore = std::numeric_limits<double>::infinity();
    for (std::size_t cut = 0; cut < frames; cut += kStep) {
        if (deviation(cut) <= std::max(0.3, bestDeviation + 0.05)) {
            const double score = stepRatio(cut);
            if (score < bestScore) {
                bestScore = score;
                best = cut;
            }
        }
    }
    for (auto& channel : audio.channels) {
        std::rotate(channel.begin(), channel.begin() + static_cast<long>(best), channel.end());
    }
}

} // namespace assetgen
