#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sylvaro::engine {

// The decoded samples of one sound file, immutable once built: interleaved,
// mono or stereo, at the file's rate or the rate the loader converted it to.
// 8- and 16-bit sources kept at their rate stay 16-bit integers (memory close
// to the size on disk); everything else - wider or float sources, converted
// or downmixed sounds - is float.
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
