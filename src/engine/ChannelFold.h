#pragma once

// How loadPcm folds a file's channels down to mono or stereo, sample by
// sample: the weights of each channel, and a reader that applies them.

#include <algorithm>
#include <cmath>
#include <sndfile.h>
#include <vector>

namespace sylvaro::engine {

// Frames read from a file in one go.
constexpr sf_count_t kChunkFrames = 65536;

// Loudest sample kept from a float file: 36 dB above full scale, far beyond
// any real recording. A float file may hold any finite number up to 3e38;
// summed in a downmix or through the rate converter's filter such numbers
// overflow to infinity, which would poison the whole mix.
constexpr float kLoudestFloat = 64.0f;

// Anything not finite is made silent, anything louder than kLoudestFloat is
// held at it.
inline float sane(float s) {
    return std::isfinite(s) ? std::clamp(s, -kLoudestFloat, kLoudestFloat) : 0.0f;
}

// Left and right weights of one channel of a many-channel file.
struct Weights {
    float left, right;
};

// Downmix weights for every channel of the file, from the positions it names
// or else the usual WAV order for its count, scaled so that neither side's
// weights add up to more than 1.
std::vector<Weights> downmixWeights(SNDFILE* file, int channels);

// Reads frames as float, folded down to at most two channels (see
// loadPcm), every sample made sane(). Any thread; one file per reader.
class FoldingReader {
public:
    // A short sound gets a chunk no longer than itself: many channels times
    // a full chunk is megabytes.
    FoldingReader(SNDFILE* file, int channels, sf_count_t frames);

    int outChannels() const { return m_outChannels; }

    // Up to `frames` frames into `to`; 0 at the end or on a read error.
    sf_count_t read(float* to, sf_count_t frames);

private:
    SNDFILE* m_file;
    int m_channels;
    int m_outChannels;
    sf_count_t m_chunkFrames;
    std::vector<Weights> m_weights;
    std::vector<float> m_chunk;
};

} // namespace sylvaro::engine
