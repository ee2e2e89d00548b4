#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sylvaro::engine {

// Converts interleaved float frames from one sample rate to another with
// libsoxr at high quality (band-limited, 20-bit). The sound is treated as one
// turn of a loop: the filter sees the sound's end before its start and its
// start after its end, so a seamless loop stays seamless, and a sound that
// begins and ends in silence comes out as if padded with silence. The result
// has round(frames * toRate / fromRate) frames, at least one. Any thread;
// false and a reason on failure.
bool resampleLoop(const std::vector<float>& in, int channels, int fromRate, int toRate,
                  std::vector<float>& out, std::string& error);

// The same conversion fed piece by piece, for sounds too long to hold whole
// at their own rate: feed padFrames() frames of the sound's end, then the
// whole sound in any slices, then its first padFrames() frames, and finish.
// Only the result is held. One thread at a time.
class LoopResampler {
public:
    // `frames`: the sound's length at the source rate.
    LoopResampler(int channels, int fromRate, int toRate, std::int64_t frames);
    ~LoopResampler();
    LoopResampler(const LoopResampler&) = delete;
    LoopResampler& operator=(const LoopResampler&) = delete;

    // How many frames of the sound's end come first, and of its start last.
    std::int64_t padFrames() const { return m_pad; }
    // False once anything failed (finish() says why).
    bool feed(const float* data, std::size_t frames);
    // The converted sound, or false and the reason.
    bool finish(std::vector<float>& out, std::string& error);

private:
    void feedAll(const float* data, std::size_t count);

    struct Soxr;
    std::unique_ptr<Soxr> m_soxr;
    std::size_t m_channels;
    std::int64_t m_pad;
    std::int64_t m_outFrames;
    std::int64_t m_skip; // output frames that belong to the leading pad
    std::int64_t m_made = 0;
    std::vector<float> m_out;
    std::vector<float> m_scratch;
    std::string m_error;
};

} // namespace sylvaro::engine
