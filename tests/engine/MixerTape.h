#pragma once

// Helpers for rendering the mixer offline: hand-made sounds, and a tape that
// keeps everything rendered, indexed by the frame the voices played.

#include "engine/Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <vector>

namespace sylvaro::engine::test {

inline PcmPtr makePcm(int rate, int channels, std::vector<float> samples) {
    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = rate;
    pcm->channels = channels;
    pcm->frames = static_cast<std::int64_t>(samples.size()) / channels;
    pcm->f32 = std::move(samples);
    return pcm;
}

inline PcmPtr makePcm16(int rate, int channels, std::vector<std::int16_t> samples) {
    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = rate;
    pcm->channels = channels;
    pcm->frames = static_cast<std::int64_t>(samples.size()) / channels;
    pcm->s16 = std::move(samples);
    return pcm;
}

inline std::vector<float> sine(int frames, double cyclesPerFrame, double amplitude = 0.5,
                               double phase = 0) {
    std::vector<float> out(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        out[i] = static_cast<float>(amplitude *
                                    std::sin(2 * std::numbers::pi * cyclesPerFrame * i + phase));
    }
    return out;
}

// Pulls frames from a mixer in blocks, the way the device does, and keeps
// them. The output lags the voices by Mixer::kLatencyFrames; left() and
// right() undo that, so frame n there is what the voices played at their
// frame n (counted from the tape's start).
class Tape {
public:
    explicit Tape(Mixer& mixer) : m_mixer(mixer) {}

    // Renders `frames` more frames, `block` at a time.
    void run(int frames, int block = 256) {
        const std::size_t start = m_stereo.size();
        m_stereo.resize(start + 2 * static_cast<std::size_t>(frames), 9.0f);
        for (int done = 0; done < frames; done += block) {
            m_mixer.render(m_stereo.data() + start + 2 * static_cast<std::size_t>(done),
                           std::min(block, frames - done));
        }
    }
    // Renders the latency, so every frame the voices played so far is on tape.
    void flush() { run(Mixer::kLatencyFrames); }

    // Frames rendered so far: the voice frame the next run() starts at.
    int rendered() const { return static_cast<int>(m_stereo.size() / 2); }
    // Voice frames on tape.
    int played() const { return static_cast<int>(m_stereo.size() / 2) - Mixer::kLatencyFrames; }
    std::vector<float> channel(int ch, int from, int count) const {
        EXPECT_LE(from + count, played()) << "not rendered yet";
        std::vector<float> out;
        for (int i = from; i < std::min(from + count, played()); ++i) {
            out.push_back(m_stereo[2 * static_cast<std::size_t>(i + Mixer::kLatencyFrames) + ch]);
        }
        return out;
    }
    std::vector<float> left(int from, int count) const { return channel(0, from, count); }
    std::vector<float> right(int from, int count) const { return channel(1, from, count); }
    // Everything rendered, as it left the mixer (interleaved, not realigned).
    const std::vector<float>& raw() const { return m_stereo; }

private:
    Mixer& m_mixer;
    std::vector<float> m_stereo;
};

inline std::vector<float> slice(const std::vector<float>& v, int from, int count) {
    return {v.begin() + from, v.begin() + from + count};
}

// The largest difference between neighbouring samples.
inline float largestStep(const std::vector<float>& v) {
    float step = 0.0f;
    for (std::size_t i = 1; i < v.size(); ++i) {
        step = std::max(step, std::abs(v[i] - v[i - 1]));
    }
    return step;
}

} // namespace sylvaro::engine::test
