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

// Eight samples in one vector. Counts handed to the helpers below are
// multiples of 8 (whole stereo frames in fours) except at the very end of a
// call, which the scalar tails cover.
typedef float Floats __attribute__((vector_size(32)));
typedef int Ints __attribute__((vector_size(32)));

// Copies `count` samples and returns the largest magnitude among them.
SYLVARO_LIMITER_KERNEL
float copyWithPeak(const float* __restrict from, float* __restrict to, int count) {
    const Ints magnitude = {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF,
                            0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
    Floats peaks = {};
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        Floats v;
        std::memcpy(&v, from + i, sizeof v);
        std::memcpy(to + i, &v, sizeof v);
        const auto a = reinterpret_cast<Floats>(reinterpret_cast<Ints>(v) & magnitude);
        peaks = peaks < a ? a : peaks;
    }
    float peak = 0.0f;
    for (int k = 0; k < 8; ++k) {
        peak = std::max(peak, peaks[k]);
    }
    for (; i < count; ++i) {
        to[i] = from[i];
        peak = std::max(peak, std::fabs(from[i]));
    }
    return peak;
}

// Copies `count` samples (the regions may overlap if `to` comes first).
SYLVARO_LIMITER_KERNEL
void copySamples(const float* from, float* to, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        Floats v;
        std::memcpy(&v, from + i, sizeof v);
        std::memcpy(to + i, &v, sizeof v);
    }
    for (; i < count; ++i) {
        to[i] = from[i];
    }
}

// Up to four stereo frames (`bytes` of them) of applyGain() below.
[[gnu::always_inline]] inline void gainFrames(const float* __restrict src, float* __restrict dst,
                                              std::size_t bytes, float g, float step, int first) {
    const Ints frameOf = {0, 0, 1, 1, 2, 2, 3, 3};
    const Floats gain = g + step * __builtin_convertvector(frameOf + first, Floats);
    Floats v = {};
    std::memcpy(&v, src, bytes);
    v *= gain;
    v = v < -Limiter::kCeiling ? -Limiter::kCeiling : v;
    v = v > Limiter::kCeiling ? Limiter::kCeiling : v;
    std::memcpy(dst, &v, bytes);
}

// dst = src * (g + step * (first + i)) for stereo frames i < frames, clamped
// to the ceiling. The last frames go through the same vector arithmetic, so a
// frame comes out the same wherever a call's frames begin and end.
SYLVARO_LIMITER_KERNEL
void applyGain(const float* __restrict src, float* __restrict dst, int frames, float g, float step,
               int first) {
    int i = 0;
    for (; i + 4 <= frames; i += 4) {
        gainFrames(src + 2 * i, dst + 2 * i, sizeof(Floats), g, step, first + i);
    }
    if (i < frames) {
        gainFrames(src + 2 * i, dst + 2 * i,
                   static_cast<std::size_t>(2 * (frames - i)) * sizeof(float), g, step, first + i);
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

// Appends `frames` frames to the history and plans the blocks they finish.
void Limiter::takeInput(const float* in, int frames) {
    float* to = m_history.data() + 2 * kLatencyFrames;
    int done = 0;
    while (done < frames) {
        const int filled = static_cast<int>(m_inputFrames % kBlockFrames);
        const int n = std::min(kBlockFrames - filled, frames - done);
        m_blockPeak = std::max(m_blockPeak, copyWithPeak(in + 2 * done, to + 2 * done, 2 * n));
        m_inputFrames += static_cast<std::uint64_t>(n);
        done += n;
        if (filled + n == kBlockFrames) {
            finishBlock();
        }
    }
}

void Limiter::process(const float* in, float* out, int frames) {
    frames = std::clamp(frames, 0, kMaxFrames);
    const float* history = m_history.data();
    // Frame i of the output is the frame kLatencyFrames before input frame i.
    const std::uint64_t firstOut = m_inputFrames - kLatencyFrames;
    takeInput(in, frames);

    int done = 0;
    while (done < frames) {
        const std::uint64_t frame = firstOut + static_cast<std::uint64_t>(done);
        const std::uint64_t block = frame / kBlockFrames;
        const int offset = static_cast<int>(frame % kBlockFrames);
        const int n = std::min(kBlockFrames - offset, frames - done);
        const float g0 = keyframe(block);
        const float g1 = keyframe(block + 1);
        if (g0 == 1.0f && g1 == 1.0f) {
            copySamples(history + 2 * done, out + 2 * done, 2 * n);
        } else {
            const float step = (g1 - g0) / kBlockFrames;
            applyGain(history + 2 * done, out + 2 * done, n, g0, step, offset);
        }
        done += n;
    }
    copySamples(m_history.data() + 2 * frames, m_history.data(), 2 * kLatencyFrames);
}

void Limiter::save(State& state) const {
    std::copy_n(m_history.begin(), state.delayed.size(), state.delayed.begin());
    state.keys = m_keys;
    state.inputFrames = m_inputFrames;
    state.blocks = m_blocks;
    state.blockPeak = m_blockPeak;
    state.previousNeed = m_previousNeed;
    state.gain = m_gain;
    state.holdLeft = m_holdLeft;
}

void Limiter::restore(const State& state) {
    std::copy(state.delayed.begin(), state.delayed.end(), m_history.begin());
    m_keys = state.keys;
    m_inputFrames = state.inputFrames;
    m_blocks = state.blocks;
    m_blockPeak = state.blockPeak;
    m_previousNeed = state.previousNeed;
    m_gain = state.gain;
    m_holdLeft = state.holdLeft;
}

} // namespace sylvaro::engine
