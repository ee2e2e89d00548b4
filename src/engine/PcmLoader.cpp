#include "PcmLoader.h"

#include "Resampler.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sndfile.h>

namespace sylvaro::engine {

namespace {

// Longest sound we keep: 2^28 samples (about 46 minutes of 48 kHz stereo),
// counted after downmixing and rate conversion. Anything longer is not an
// ambient sound but a broken or hostile header.
constexpr sf_count_t kMaxSamples = sf_count_t{1} << 28;
// Rates outside this range are broken headers; the floor also bounds how
// much a conversion can multiply a sound's length.
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 768'000;
constexpr int kMaxChannels = 64;
constexpr sf_count_t kChunkFrames = 65536;

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

PcmLoadResult failure(std::string reason) {
    return {nullptr, std::move(reason)};
}

std::string encodingName(SNDFILE* file, int format) {
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_SUBMASK;
    if (sf_command(file, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name) {
        return info.name;
    }
    return "unknown";
}

// Reads up to `frames` frames in chunks. The room reserved up front is
// bounded by what the file can hold (`fileFrames`), so a header that claims
// more costs no more memory than the file itself.
template <typename T, typename Read>
std::vector<T> readAll(SNDFILE* file, int channels, sf_count_t frames, sf_count_t fileFrames,
                       Read read) {
    std::vector<T> samples;
    samples.reserve(static_cast<std::size_t>(std::min(frames, fileFrames) * channels));
    sf_count_t total = 0;
    while (total < frames) {
        const sf_count_t want = std::min(kChunkFrames, frames - total);
        samples.resize(static_cast<std::size_t>((total + want) * channels));
        const sf_count_t got = read(file, samples.data() + total * channels, want);
        if (got <= 0) {
            break;
        }
        total += got;
    }
    samples.resize(static_cast<std::size_t>(total * channels));
    if (samples.capacity() > samples.size() + samples.size() / 8) {
        samples.shrink_to_fit();
    }
    return samples;
}

// Left and right weights of one channel of a many-channel file.
struct Weights {
    float left, right;
};

constexpr float kHalfPower = 0.70710678f; // -3 dB

Weights weightsOf(int position) {
    switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
        return {1.0f, 0.0f};
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
        return {0.0f, 1.0f};
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return {kHalfPower, 0.0f};
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return {0.0f, kHalfPower};
    case SF_CHANNEL_MAP_LFE:
    // Directional ambisonic components mean nothing on their own; W, the
    // omnidirectional one, is the sound.
    case SF_CHANNEL_MAP_AMBISONIC_B_X:
    case SF_CHANNEL_MAP_AMBISONIC_B_Y:
    case SF_CHANNEL_MAP_AMBISONIC_B_Z:
        return {0.0f, 0.0f};
    default: // centres, mono, ambisonic W, unknown
        return {kHalfPower, kHalfPower};
    }
}

// The usual WAV channel order for files that do not name their channels.
int defaultPosition(int channels, int index) {
    using Order = std::array<int, 8>;
    constexpr int L = SF_CHANNEL_MAP_FRONT_LEFT;
    constexpr int R = SF_CHANNEL_MAP_FRONT_RIGHT;
    constexpr int C = SF_CHANNEL_MAP_FRONT_CENTER;
    constexpr int LFE = SF_CHANNEL_MAP_LFE;
    constexpr int RL = SF_CHANNEL_MAP_REAR_LEFT;
    constexpr int RR = SF_CHANNEL_MAP_REAR_RIGHT;
    constexpr int RC = SF_CHANNEL_MAP_REAR_CENTER;
    constexpr int SL = SF_CHANNEL_MAP_SIDE_LEFT;
    constexpr int SR = SF_CHANNEL_MAP_SIDE_RIGHT;
    constexpr int X = SF_CHANNEL_MAP_INVALID;
    static constexpr std::array<Order, 9> kOrders = {{
        {X, X, X, X, X, X, X, X},
        {X, X, X, X, X, X, X, X},
        {X, X, X, X, X, X, X, X},
        {L, R, C, X, X, X, X, X},
        {L, R, RL, RR, X, X, X, X},
        {L, R, C, RL, RR, X, X, X},
        {L, R, C, LFE, RL, RR, X, X},
        {L, R, C, LFE, RC, SL, SR, X},
        {L, R, C, LFE, RL, RR, SL, SR},
    }};
    const Order& order = kOrders[static_cast<std::size_t>(std::min(channels, 8))];
    return index < 8 ? order[static_cast<std::size_t>(index)] : SF_CHANNEL_MAP_INVALID;
}

// Downmix weights for every channel of the file, scaled so that neither
// side's weights add up to more than 1.
std::vector<Weights> downmixWeights(SNDFILE* file, int channels) {
    std::vector<int> positions(static_cast<std::size_t>(channels), SF_CHANNEL_MAP_INVALID);
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, positions.data(),
                   static_cast<int>(positions.size() * sizeof(int))) != SF_TRUE) {
        for (int i = 0; i < channels; ++i) {
            positions[static_cast<std::size_t>(i)] = defaultPosition(channels, i);
        }
    }
    std::vector<Weights> weights;
    float left = 0.0f;
    float right = 0.0f;
    for (int position : positions) {
        weights.push_back(weightsOf(position));
        left += weights.back().left;
        right += weights.back().right;
    }
    if (left == 0.0f && right == 0.0f) {
        // Only channels we would leave out: keep them rather than silence.
        std::fill(weights.begin(), weights.end(), Weights{kHalfPower, kHalfPower});
        left = right = kHalfPower * static_cast<float>(channels);
    }
    const float scale = 1.0f / std::max({1.0f, left, right});
    for (Weights& w : weights) {
        w.left *= scale;
        w.right *= scale;
    }
    return weights;
}

// Reads the whole file as float, folded down to at most two channels, with
// anything not finite (which would poison the whole mix) made silent.
std::vector<float> readFloat(SNDFILE* file, int channels, sf_count_t frames,
                             sf_count_t fileFrames) {
    if (channels <= 2) {
        std::vector<float> samples =
            readAll<float>(file, channels, frames, fileFrames, sf_readf_float);
        for (float& sample : samples) {
            if (!std::isfinite(sample)) {
                sample = 0.0f;
            }
        }
        return samples;
    }
    const std::vector<Weights> weights = downmixWeights(file, channels);
    std::vector<float> chunk(static_cast<std::size_t>(kChunkFrames * channels));
    std::vector<float> stereo;
    stereo.reserve(static_cast<std::size_t>(2 * std::min(frames, fileFrames)));
    sf_count_t total = 0;
    while (total < frames) {
        const sf_count_t got =
            sf_readf_float(file, chunk.data(), std::min(kChunkFrames, frames - total));
        if (got <= 0) {
            break;
        }
        for (sf_count_t f = 0; f < got; ++f) {
            const float* frame = chunk.data() + f * channels;
            float left = 0.0f;
            float right = 0.0f;
            for (int c = 0; c < channels; ++c) {
                const float s = std::isfinite(frame[c]) ? frame[c] : 0.0f;
                left += s * weights[static_cast<std::size_t>(c)].left;
                right += s * weights[static_cast<std::size_t>(c)].right;
            }
            stereo.push_back(left);
            stereo.push_back(right);
        }
        total += got;
    }
    stereo.shrink_to_fit();
    return stereo;
}

} // namespace

PcmLoadResult loadPcm(const std::string& path, int targetRate) {
    if (targetRate != 0 && (targetRate < kMinSampleRate || targetRate > kMaxSampleRate)) {
        return failure("unsupported output rate " + std::to_string(targetRate));
    }
    SF_INFO info{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        return failure(std::string("cannot read the sound: ") + sf_strerror(nullptr));
    }
    const int container = info.format & SF_FORMAT_TYPEMASK;
    if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX && container != SF_FORMAT_RF64) {
        return failure("not a WAV file");
    }
    int sampleBytes = 0;
    switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
        sampleBytes = 1;
        break;
    case SF_FORMAT_PCM_16:
        sampleBytes = 2;
        break;
    case SF_FORMAT_PCM_24:
        sampleBytes = 3;
        break;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        sampleBytes = 4;
        break;
    case SF_FORMAT_DOUBLE:
        sampleBytes = 8;
        break;
    default:
        return failure("unsupported sample encoding (" + encodingName(file.get(), info.format) +
                       "); only PCM and float WAV files can be played");
    }
    if (info.channels < 1 || info.channels > kMaxChannels) {
        return failure("unsupported channel count " + std::to_string(info.channels));
    }
    if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate) {
        return failure("implausible sample rate " + std::to_string(info.samplerate));
    }
    if (info.frames <= 0) {
        return failure("the file holds no audio frames");
    }
    const int channels = std::min(info.channels, 2);
    const int rate = targetRate == 0 ? info.samplerate : targetRate;
    // Checked on the header's claim, before reading: a file that really is
    // this long would need gigabytes once converted.
    const double keptFrames = static_cast<double>(info.frames) * rate / info.samplerate;
    if (info.frames > kMaxSamples / info.channels ||
        keptFrames > static_cast<double>(kMaxSamples / channels)) {
        return failure("the sound is too long (" + std::to_string(info.frames) + " frames)");
    }

    const bool narrow = sampleBytes <= 2;
    std::error_code noSize;
    const auto fileBytes = static_cast<sf_count_t>(std::filesystem::file_size(path, noSize));
    const sf_count_t fileFrames =
        noSize ? kChunkFrames : fileBytes / (sampleBytes * info.channels) + 1;

    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = rate;
    pcm->channels = channels;
    if (narrow && info.channels <= 2 && rate == info.samplerate) {
        pcm->s16 =
            readAll<std::int16_t>(file.get(), channels, info.frames, fileFrames, sf_readf_short);
        pcm->frames = static_cast<std::int64_t>(pcm->s16.size()) / channels;
    } else {
        std::vector<float> samples = readFloat(file.get(), info.channels, info.frames, fileFrames);
        file.reset();
        if (!samples.empty() && rate != info.samplerate) {
            std::vector<float> converted;
            std::string error;
            if (!resampleLoop(samples, channels, info.samplerate, rate, converted, error)) {
                return failure(error);
            }
            samples = std::move(converted);
        }
        pcm->f32 = std::move(samples);
        pcm->frames = static_cast<std::int64_t>(pcm->f32.size()) / channels;
    }
    if (pcm->frames == 0) {
        return failure("the file holds no readable audio frames");
    }
    return {std::move(pcm), {}};
}

} // namespace sylvaro::engine
