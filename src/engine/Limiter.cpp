#include "Limiter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sylvaro::engine {

namespace {

// Gains are aimed a hair below the ceiling so that rounding in the gain
// glide cannot carry a sample over it.
constexpr float kTarget = Limiter::kCeiling * 0.99999f;
// After a peak the gain holds for this long, so the gaps between the peaks
// of a low tone do not make it pump, then returns towards unity with this
// time constant.
constexpr double kHoldSeconds = 0.02;
constexpr double kReleaseSeconds = 0.15;
// A release ends by stepping onto unity from this close (-0.0001 dB), so a
// signal that has become quiet again passes bit for bit.
constexpr float kUnitySnap = 1e-5f;

#if defined(__x86_64__) && defined(__has_attribute) && !defined(__SANITIZE_THREAD__)
#if __has_attribute(target_clones)
#define SYLVARO_LIMITER_KERNEL [[gnu::target_clones("arch=x86-64-v3", "default")]]
#endif
#endif
#ifndef SYLVARO_LIMITER_KERNEL
#define SYLVARO_LIMITER_KERNEL
#endif

// The largest magnitude among `count` samples.
SYLVARO_LIMITER_KERNEL
float peakOf(const float* samples, int count) {
    float lanes[8] = {};
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        for (int k = 0; k < 8; ++k) {
            const float a = std::fabs(samples[i + k]);
            lanes[k] = lanes[k] < a ? a : lanes[k];
        }
    }
    float peak = 0.0f;
    for (float lane : lanes) {
        peak = std::max(peak, lane);
    }
    for (; i < count; ++i) {
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
}

// dst = src * (g + step * (first + i)) for stereo frames i < frames, clamped
// to the ceiling.
SYLVARO_LIMITER_KERNEL
void applyGain(const float* __restrict src, float* __restrict dst, int frames, float g, float step,
               int first) {
    for (int i = 0; i < frames; ++i) {
        const float gain = g + step * static_cast<float>(first + i);
        for (int ch = 0; ch < 2; ++ch) {
            const float v = src[2 * i + ch] * gain;
            const float lo = v < -Limiter::kCeiling ? -Limiter::kCeiling : v;
            dst[2 * i + ch] = lo > Limiter::kCeiling ? Limiter::kCeiling : lo;
        }
    }
}

} // namespace

Limiter::Limiter(int sampleRate)
    : m_history(2 * static_cast<std::size_t>(kLatencyFrames + kMaxFrames), 0.0f),
      // The delayed frames present at the start are two blocks of silence at
      // unity gain, so the first output frames need no special case.
      m_inputFrames(kLatencyFrames), m_blocks(kLatencyFrames / kBlockFrames),
      m_holdBlocks(static_cast<int>(std::ceil(kHoldSeconds * sampleRate / kBlockFrames))),
      m_release(static_cast<float>(
          -std::expm1(-kBlockFrames / (kReleaseSeconds * std::max(sampleRate, 1))))) {
    m_keys.fill(1.0f);
}

float Limiter::keyframe(std::uint64_t block) const {
    return m_keys[block % kKeyframes];
}

// A block is complete: plan the gain at its first frame. That keyframe ends
// the glide across the previous block, so it must suit both blocks.
void Limiter::finishBlock() {
    const float blockNeed = m_blockPeak > kCeiling ? kTarget / m_blockPeak : 1.0f;
    const float need = std::min(m_previousNeed, blockNeed);
    float gain = m_gain;
    if (need <= gain) {
        gain = need;
        m_holdLeft = m_holdBlocks;
    } else if (m_holdLeft > 0) {
        --m_holdLeft;
    } else {
        // The distance to unity shrinks by a fixed factor, so the release
        // cannot stall a rounding step short of unity.
        const float below = (1.0f - gain) * (1.0f - m_release);
        gain = below < kUnitySnap ? 1.0f : 1.0f - below;
        gain = std::min(gain, need);
    }
    m_keys[m_blocks % kKeyframes] = gain;
    ++m_blocks;
    m_gain = gain;
    m_previousNeed = blockNeed;
    m_blockPeak = 0.0f;
}

void Limiter::takeInput(const float* in, int frames) {
    int done = 0;
    while (done < frames) {
        const int filled = static_cast<int>(m_inputFrames % kBlockFrames);
        const int n = std::min(kBlockFrames - filled, frames - done);
        m_blockPeak = std::max(m_blockPeak, peakOf(in + 2 * done, 2 * n));
        m_inputFrames += static_cast<std::uint64_t>(n);
        done += n;
        if (filled + n == kBlockFrames) {
            finishBlock();
        }
    }
}

void Limiter::process(float* io, int frames) {
    frames = std::clamp(frames, 0, kMaxFrames);
    float* history = m_history.data();
    std::memcpy(history + 2 * kLatencyFrames, io, 2 * sizeof(float) * frames);
    // Frame i of the output is the frame kLatencyFrames before input frame i.
    const std::uint64_t firstOut = m_inputFrames - kLatencyFrames;
    takeInput(io, frames);

    int done = 0;
    while (done < frames) {
        const std::uint64_t frame = firstOut + static_cast<std::uint64_t>(done);
        const std::uint64_t block = frame / kBlockFrames;
        const int offset = static_cast<int>(frame % kBlockFrames);
        const int n = std::min(kBlockFrames - offset, frames - done);
        const float g0 = keyframe(block);
        const float g1 = keyframe(block + 1);
        if (g0 == 1.0f && g1 == 1.0f) {
            std::memcpy(io + 2 * done, history + 2 * done, 2 * sizeof(float) * n);
        } else {
            const float step = (g1 - g0) / kBlockFrames;
            applyGain(history + 2 * done, io + 2 * done, n, g0, step, offset);
        }
        done += n;
    }
    std::memmove(history, history + 2 * frames, 2 * sizeof(float) * kLatencyFrames);
}

} // namespace sylvaro::engine
