#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sylvaro::engine {

// The decoded samples of one sound file, immutable once built. 8- and 16-bit
// sources are kept as 16-bit integers, 24-bit, 32-bit and float sources as
// float, both interleaved, at the file's own rate and channel count (1 or 2).
// Keeping the file's rate and width keeps memory close to the size on disk.
struct PcmData {
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;
    std::vector<std::int16_t> s16; // used when non-empty
    std::vector<float> f32;        // used otherwise
};

using PcmPtr = std::shared_ptr<const PcmData>;

// Result of reading a sound file: the samples, or a readable reason.
struct PcmLoadResult {
    PcmPtr pcm;
    std::string error;
    explicit operator bool() const { return pcm != nullptr; }
};

} // namespace sylvaro::engine
