#pragma once

#include <array>
#include <tuple>
#include <cstdint>
#include <vector>

namespace sylvaro::engine {

// A look-ahead peak limiter for interleaved float stereo: it delays the signal
// by kLatencyFrames and lowers the gain smoothly before a peak arrives, so no
// output sample exceeds kCeiling. While the signal stays at or below the
// ceiling it is a pure delay, bit for bit. Owned by the mixer; audio thread.
class Limiter {
public:
    // -1 dBFS.
    static constexpr float kCeiling = 0.891250938f;
    // The gain is planned per block of this many frames and glides linearly
    // across a block, so an attack takes one block.
    static constexpr int kBlockFrames = 64;
    // Two blocks: the gain for a block is known once the block after it is in.
    static constexpr int kLatencyFrames = 2 * kBlockFrames;
    // process() takes at most this many frames per call.
    static constexpr int kMaxFrames = 1024;

    explicit Limiter(int sampleRate);

    // Takes `frames` frames from `in` and writes to `out` the limited signal
    // of kLatencyFrames earlier; in and out may be the same buffer.
    // frames <= kMaxFrames. Allocates nothing.
    void process(const float* in, float* out, int frames);

    // Everything process() carries from one call to the next, so the limiter
    // can be put back to an earlier moment and go on from there exactly.
    struct State {
        std::array<float, 2 * kLatencyFrames> delayed{};
        std::array<float, 32> keys{};
        std::uint64_t inputFrames = 0;
        std::uint64_t blocks = 0;
        float blockPeak = 0.0f;
        float previousNeed = 1.0f;
        float gain = 1.0f;
        int holdLeft = 0;
    };
    void save(State& state) const;
    void restore(const State& state);

private:
    void takeInput(const float* in, int frames);
    void finishBlock();
    float keyframe(std::uint64_t block) const;

    // Keyframes (gain at the first frame of a block) for the blocks between
    // the oldest delayed frame and the newest input; a power of two.
    static constexpr int kKeyframes = std::tuple_size_v<decltype(State::keys)>;
    static_assert(kKeyframes > kLatencyFrames / kBlockFrames + kMaxFrames / kBlockFrames + 2);

    std::vector<float> m_history;           // delayed frames, then this call's input
    std::array<float, kKeyframes> m_keys{}; // gain at the start of block b, at b % kKeyframes
    std::uint64_t m_inputFrames = 0;        // frames taken in since construction
    std::uint64_t m_blocks = 0;             // blocks whose keyframe is known
    float m_blockPeak = 0.0f;               // peak of the block being filled
    float m_previousNeed = 1.0f;            // gain the last full block needs
    float m_gain = 1.0f;                    // the last keyframe
    int m_holdLeft = 0;                     // blocks before the gain may rise
    int m_holdBlocks;
    float m_release; // fraction of the distance to unity regained per block
};

} // namespace sylvaro::engine
