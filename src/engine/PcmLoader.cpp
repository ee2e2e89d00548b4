#include "PcmLoader.h"

#include "Resampler.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <memory>
#include <sndfile.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace sylvaro::engine {

namespace {

// Longest sound we keep: 2^28 samples (about 46 minutes of 48 kHz stereo),
// counted after downmixing and rate conversion, whatever the limits say.
// Anything longer is not an ambient sound but a broken or hostile header.
constexpr sf_count_t kMaxSamples = sf_count_t{1} << 28;
// The program's own sounds. Rates outside this range are broken headers;
// the floor also bounds how much a conversion can multiply a sound's length.
constexpr LoadLimits kBuiltInLimits{1000, 768'000, 64, 0};
constexpr sf_count_t kChunkFrames = 65536;

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

PcmLoadResult failure(std::string reason) {
    return {nullptr, std::move(reason)};
}

// Closes the descriptor the file was opened with; libsndfile only borrows it.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// "31 min 4 s", "45 s", rounded up so a file just over a limit never shows
// as exactly the limit.
std::string duration(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(seconds));
    if (whole < 60) {
        return std::to_string(whole) + " s";
    }
    return std::to_string(whole / 60) + " min " + std::to_string(whole % 60) + " s";
}

std::string limitText(double seconds) {
    if (std::fmod(seconds, 60.0) == 0.0) {
        return std::to_string(static_cast<long long>(seconds / 60)) + " minutes";
    }
    return duration(seconds);
}

// Whether the file starts the way a WAV file does, so a file libsndfile
// cannot open is called damaged rather than "not a sound file".
bool looksLikeWav(int fd) {
    char head[12] = {};
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    if (got < 4) {
        return false;
    }
    const std::string riff(head, 4);
    if (riff != "RIFF" && riff != "RIFX" && riff != "RF64" && riff != "BW64") {
        return false;
    }
    return got < 12 || std::string(head + 8, 4) == "WAVE";
}

std::string encodingName(SNDFILE* file, int format) {
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_SUBMASK;
    if (sf_command(file, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name) {
        return info.name;
    }
    return "unknown";
}

bool stopped(const std::atomic<bool>* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// Reads up to `frames` frames of `channels` samples in chunks through
// `read(to, frames)`, stopping early when cancelled. The room reserved up
// front, and each chunk, is bounded by what the file can hold (`fileFrames`),
// so a header that claims more costs no more memory than the file itself.
template <typename T, typename Read>
std::vector<T> readAll(int channels, sf_count_t frames, sf_count_t fileFrames, Read read,
                       const std::atomic<bool>* cancel) {
    std::vector<T> samples;
    samples.reserve(static_cast<std::size_t>(std::min(frames, fileFrames) * channels));
    sf_count_t total = 0;
    while (total < frames && !stopped(cancel)) {
        const sf_count_t want = std::min(
            {kChunkFrames, frames - total, std::max<sf_count_t>(fileFrames - total, 4096)});
        samples.resize(static_cast<std::size_t>((total + want) * channels));
        const sf_count_t got = read(samples.data() + total * channels, want);
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

// Loudest sample kept from a float file: 36 dB above full scale, far beyond
// any real recording. A float file may hold any finite number up to 3e38;
// summed in a downmix or through the rate converter's filter such numbers
// overflow to infinity, which would poison the whole mix.
constexpr float kLoudestFloat = 64.0f;

// Anything not finite is made silent, anything louder than kLoudestFloat is
// held at it.
float sane(float s) {
    return std::isfinite(s) ? std::clamp(s, -kLoudestFloat, kLoudestFloat) : 0.0f;
}

// Reads frames as float, folded down to at most two channels, every sample
// made sane().
class FloatReader {
public:
    // A short sound gets a chunk no longer than itself: many channels times
    // a full chunk is megabytes.
    FloatReader(SNDFILE* file, int channels, sf_count_t frames)
        : m_file(file), m_channels(channels), m_outChannels(std::min(channels, 2)),
          m_chunkFrames(std::clamp<sf_count_t>(frames, 1, kChunkFrames)) {
        if (channels > 2) {
            m_weights = downmixWeights(file, channels);
            m_chunk.resize(static_cast<std::size_t>(m_chunkFrames * channels));
        }
    }

    int outChannels() const { return m_outChannels; }

    // Up to `frames` frames into `to`; 0 at the end or on a read error.
    sf_count_t read(float* to, sf_count_t frames) {
        if (m_channels <= 2) {
            const sf_count_t got = sf_readf_float(m_file, to, frames);
            for (sf_count_t i = 0; i < std::max<sf_count_t>(got, 0) * m_channels; ++i) {
                to[i] = sane(to[i]);
            }
            return got;
        }
        const sf_count_t got =
            sf_readf_float(m_file, m_chunk.data(), std::min(m_chunkFrames, frames));
        for (sf_count_t f = 0; f < got; ++f) {
            const float* frame = m_chunk.data() + f * m_channels;
            float left = 0.0f;
            float right = 0.0f;
            for (int c = 0; c < m_channels; ++c) {
                const float s = sane(frame[c]);
                left += s * m_weights[static_cast<std::size_t>(c)].left;
                right += s * m_weights[static_cast<std::size_t>(c)].right;
            }
            to[2 * f] = left;
            to[2 * f + 1] = right;
        }
        return got;
    }

private:
    SNDFILE* m_file;
    int m_channels;
    int m_outChannels;
    sf_count_t m_chunkFrames;
    std::vector<Weights> m_weights;
    std::vector<float> m_chunk;
};

} // namespace

PcmLoadResult loadPcm(const std::string& path, int targetRate, const LoadLimits& limits,
                      const std::atomic<bool>* cancel) {
    if (targetRate != 0 &&
        (targetRate < kBuiltInLimits.minRate || targetRate > kBuiltInLimits.maxRate)) {
        return failure("unsupported output rate " + std::to_string(targetRate));
    }
    // Opened without blocking, so a named pipe given as a sound cannot hold
    // the loader up; anything but a regular file is refused before reading.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return failure("the file does not exist");
        }
        if (error == EISDIR) {
            return failure("it is a folder, not a sound file");
        }
        return failure("the file cannot be opened: " +
                       std::error_code(error, std::generic_category()).message());
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        return failure("the file cannot be read: " +
                       std::error_code(errno, std::generic_category()).message());
    }
    if (S_ISDIR(status.st_mode)) {
        return failure("it is a folder, not a sound file");
    }
    if (!S_ISREG(status.st_mode)) {
        return failure("it is not an ordinary file");
    }
    if (status.st_size == 0) {
        return failure("the file is empty");
    }

    // libsndfile closes the descriptor it is given when an open fails, even
    // when asked not to: it gets a duplicate of its own, so ours is closed
    // exactly once.
    const bool wavLike = looksLikeWav(fd.get());
    const int own = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
        return failure("the file cannot be read: " +
                       std::error_code(errno, std::generic_category()).message());
    }
    SF_INFO info{};
    SndfileHandle file(sf_open_fd(own, SFM_READ, &info, SF_TRUE));
    if (!file) {
        // libsndfile keeps the reason of a failed open in one global; at
        // worst a simultaneous failure elsewhere lends us its wording.
        const std::string reason = sf_strerror(nullptr);
        return failure(wavLike ? "it is a damaged WAV file (" + reason + ")"
                               : "it is not a sound file (" + reason + ")");
    }
    const int container = info.format & SF_FORMAT_TYPEMASK;
    if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX && container != SF_FORMAT_RF64) {
        return failure("it is not a WAV file; only WAV sound files can be played");
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
        return failure("its sample encoding (" + encodingName(file.get(), info.format) +
                       ") is not supported; only PCM and float WAV files can be played");
    }
    if (info.channels < 1 || info.channels > limits.maxChannels) {
        return failure("it has " + std::to_string(info.channels) +
                       " channels; a sound may have at most " + std::to_string(limits.maxChannels));
    }
    if (info.samplerate < limits.minRate || info.samplerate > limits.maxRate) {
        return failure("its sample rate of " + std::to_string(info.samplerate) +
                       " Hz is not supported; a sound's rate must lie between " +
                       std::to_string(limits.minRate) + " and " + std::to_string(limits.maxRate) +
                       " Hz");
    }
    if (info.frames <= 0) {
        return failure("it holds no sound (its audio data is empty)");
    }
    const double seconds = static_cast<double>(info.frames) / info.samplerate;
    if (limits.maxSeconds > 0 && seconds > limits.maxSeconds) {
        return failure("it lasts " + duration(seconds) + "; a sound may last at most " +
                       limitText(limits.maxSeconds));
    }
    const int channels = std::min(info.channels, 2);
    const int rate = targetRate == 0 ? info.samplerate : targetRate;
    // Checked on the header's claim, before reading: a file that really is
    // this long would need gigabytes once converted.
    const double keptFrames = static_cast<double>(info.frames) * rate / info.samplerate;
    if (info.frames > kMaxSamples / info.channels ||
        keptFrames > static_cast<double>(kMaxSamples / channels)) {
        return failure("it is too long to hold in memory (" + duration(seconds) + ")");
    }
    if (stopped(cancel)) {
        return failure("cancelled");
    }

    const bool narrow = sampleBytes <= 2;
    const sf_count_t fileFrames =
        static_cast<sf_count_t>(status.st_size) / (sampleBytes * info.channels) + 1;

    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = rate;
    pcm->channels = channels;
    if (narrow && info.channels <= 2 && rate == info.samplerate) {
        pcm->s16 = readAll<std::int16_t>(
            channels, info.frames, fileFrames,
            [&](std::int16_t* to, sf_count_t n) { return sf_readf_short(file.get(), to, n); },
            cancel);
        pcm->frames = static_cast<std::int64_t>(pcm->s16.size()) / channels;
    } else {
        FloatReader reader(file.get(), info.channels, std::min(info.frames, fileFrames));
        const auto readFloats = [&](float* to, sf_count_t n) { return reader.read(to, n); };
        std::vector<float> samples;
        if (rate == info.samplerate) {
            samples = readAll<float>(channels, info.frames, fileFrames, readFloats, cancel);
        } else {
            LoopResampler resampler(channels, info.samplerate, rate, info.frames);
            const std::int64_t pad = resampler.padFrames();
            if (info.frames <= pad) {
                // Short enough to hold whole; the pads go round it more than once.
                samples = readAll<float>(channels, info.frames, fileFrames, readFloats, cancel);
                std::vector<float> converted;
                std::string error;
                if (!stopped(cancel) && !samples.empty() &&
                    !resampleLoop(samples, channels, info.samplerate, rate, converted, error)) {
                    return failure(error);
                }
                samples = std::move(converted);
            } else {
                // Converted while read: the sound's end first (the loop comes
                // round to it before the start), then all of it, then its
                // start again.
                std::vector<float> head;
                if (sf_seek(file.get(), info.frames - pad, SEEK_SET) < 0) {
                    return failure("the file cannot be read to its end");
                }
                const std::vector<float> tail =
                    readAll<float>(channels, pad, pad, readFloats, cancel);
                if (sf_seek(file.get(), 0, SEEK_SET) != 0) {
                    return failure("the file cannot be read from its start");
                }
                resampler.feed(tail.data(), tail.size() / channels);
                std::vector<float> chunk(static_cast<std::size_t>(kChunkFrames * channels));
                sf_count_t total = 0;
                while (total < info.frames && !stopped(cancel)) {
                    const sf_count_t got =
                        reader.read(chunk.data(), std::min(kChunkFrames, info.frames - total));
                    if (got <= 0) {
                        break;
                    }
                    const auto used = static_cast<std::size_t>(got * channels);
                    if (head.size() < static_cast<std::size_t>(pad * channels)) {
                        head.insert(head.end(), chunk.begin(),
                                    chunk.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                        used, pad * channels - head.size())));
                    }
                    if (!resampler.feed(chunk.data(), static_cast<std::size_t>(got))) {
                        break;
                    }
                    total += got;
                }
                if (total == 0 && !stopped(cancel)) {
                    return failure("the file holds no readable audio frames");
                }
                resampler.feed(head.data(), head.size() / channels);
                std::string error;
                if (!stopped(cancel) && !resampler.finish(samples, error)) {
                    return failure(error);
                }
            }
        }
        file.reset();
        pcm->f32 = std::move(samples);
        pcm->frames = static_cast<std::int64_t>(pcm->f32.size()) / channels;
    }
    if (stopped(cancel)) {
        return failure("cancelled");
    }
    if (pcm->frames == 0) {
        return failure("the file holds no readable audio frames");
    }
    return {std::move(pcm), {}};
}

PcmLoadResult loadPcm(const std::string& path, int targetRate) {
    return loadPcm(path, targetRate, kBuiltInLimits);
}

} // namespace sylvaro::engine
