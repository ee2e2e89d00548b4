#include "PcmLoader.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <sndfile.h>

namespace sylvaro::engine {

namespace {

// Longest sound we decode: 2^28 samples (about 46 minutes of 48 kHz stereo).
// Anything longer is not an ambient sound but a broken or hostile header.
constexpr sf_count_t kMaxSamples = sf_count_t{1} << 28;
constexpr int kMaxSampleRate = 1'000'000;
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

// Reads up to `frames` frames in chunks, so a header that claims more than
// the file holds costs no more memory than the file itself.
template <typename T, typename Read>
std::vector<T> readAll(SNDFILE* file, int channels, sf_count_t frames, Read read) {
    std::vector<T> samples;
    samples.reserve(static_cast<std::size_t>(std::min(frames, kChunkFrames) * channels));
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
    samples.shrink_to_fit();
    return samples;
}

} // namespace

PcmLoadResult loadPcm(const std::string& path, int) {
    SF_INFO info{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        return failure(std::string("cannot read the sound: ") + sf_strerror(nullptr));
    }
    const int container = info.format & SF_FORMAT_TYPEMASK;
    if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX && container != SF_FORMAT_RF64) {
        return failure("not a WAV file");
    }
    bool asInt16 = false;
    switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
        asInt16 = true;
        break;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        break;
    default:
        return failure("unsupported sample encoding (" + encodingName(file.get(), info.format) +
                       "); only PCM and float WAV files can be played");
    }
    if (info.channels < 1 || info.channels > 2) {
        return failure("unsupported channel count " + std::to_string(info.channels) +
                       "; only mono and stereo can be played");
    }
    if (info.samplerate < 1 || info.samplerate > kMaxSampleRate) {
        return failure("implausible sample rate " + std::to_string(info.samplerate));
    }
    if (info.frames <= 0) {
        return failure("the file holds no audio frames");
    }
    if (info.frames > kMaxSamples / info.channels) {
        return failure("the sound is too long (" + std::to_string(info.frames) + " frames)");
    }

    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = info.samplerate;
    pcm->channels = info.channels;
    if (asInt16) {
        pcm->s16 = readAll<std::int16_t>(file.get(), info.channels, info.frames, sf_readf_short);
        pcm->frames = static_cast<std::int64_t>(pcm->s16.size()) / info.channels;
    } else {
        pcm->f32 = readAll<float>(file.get(), info.channels, info.frames, sf_readf_float);
        pcm->frames = static_cast<std::int64_t>(pcm->f32.size()) / info.channels;
        // A NaN or infinity would poison the whole mix, not just this sound.
        for (float& sample : pcm->f32) {
            if (!std::isfinite(sample)) {
                sample = 0.0f;
            }
        }
    }
    if (pcm->frames == 0) {
        return failure("the file holds no readable audio frames");
    }
    return {std::move(pcm), {}};
}

} // namespace sylvaro::engine
