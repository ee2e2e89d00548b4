#include "PcmLoader.h"

#include "ChannelFold.h"
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

// What vetting found out about a file it lets through: the open file, its
// header, the width of its samples on disk, the frames its size can hold
// at most, and the rate it will be kept at. `error` says why a file was
// refused.
struct VettedFile {
    SndfileHandle file;
    SF_INFO info{};
    int sampleBytes = 0;
    sf_count_t fileFrames = 0;
    int rate = 0;
    std::string error;
};

VettedFile vetFailure(std::string reason) {
    VettedFile refused;
    refused.error = std::move(reason);
    return refused;
}

// Everything that can be judged before reading a sample: the file is an
// ordinary, non-empty WAV file in a supported encoding, within the limits
// and small enough to hold in memory at `targetRate`.
VettedFile vet(const std::string& path, int targetRate, const LoadLimits& limits) {
    if (targetRate != 0 &&
        (targetRate < kBuiltInLimits.minRate || targetRate > kBuiltInLimits.maxRate)) {
        return vetFailure("unsupported output rate " + std::to_string(targetRate));
    }
    // Opened without blocking, so a named pipe given as a sound cannot hold
    // the loader up; anything but a regular file is refused before reading.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return vetFailure("the file does not exist");
        }
        if (error == EISDIR) {
            return vetFailure("it is a folder, not a sound file");
        }
        return vetFailure("the file cannot be opened: " +
                          std::error_code(error, std::generic_category()).message());
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        return vetFailure("the file cannot be read: " +
                          std::error_code(errno, std::generic_category()).message());
    }
    if (S_ISDIR(status.st_mode)) {
        return vetFailure("it is a folder, not a sound file");
    }
    if (!S_ISREG(status.st_mode)) {
        return vetFailure("it is not an ordinary file");
    }
    if (status.st_size == 0) {
        return vetFailure("the file is empty");
    }

    // libsndfile closes the descriptor it is given when an open fails, even
    // when asked not to: it gets a duplicate of its own, so ours is closed
    // exactly once.
    const bool wavLike = looksLikeWav(fd.get());
    const int own = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
        return vetFailure("the file cannot be read: " +
                          std::error_code(errno, std::generic_category()).message());
    }
    VettedFile vetted;
    SF_INFO& info = vetted.info;
    vetted.file.reset(sf_open_fd(own, SFM_READ, &info, SF_TRUE));
    SNDFILE* const file = vetted.file.get();
    if (!file) {
        // libsndfile keeps the reason of a failed open in one global; at
        // worst a simultaneous failure elsewhere lends us its wording.
        const std::string reason = sf_strerror(nullptr);
        return vetFailure(wavLike ? "it is a damaged WAV file (" + reason + ")"
                                  : "it is not a sound file (" + reason + ")");
    }
    const int container = info.format & SF_FORMAT_TYPEMASK;
    if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX && container != SF_FORMAT_RF64) {
        return vetFailure("it is not a WAV file; only WAV sound files can be played");
    }
    int& sampleBytes = vetted.sampleBytes;
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
        return vetFailure("its sample encoding (" + encodingName(file, info.format) +
                          ") is not supported; only PCM and float WAV files can be played");
    }
    if (info.channels < 1 || info.channels > limits.maxChannels) {
        return vetFailure("it has " + std::to_string(info.channels) +
                          " channels; a sound may have at most " +
                          std::to_string(limits.maxChannels));
    }
    if (info.samplerate < limits.minRate || info.samplerate > limits.maxRate) {
        return vetFailure("its sample rate of " + std::to_string(info.samplerate) +
                          " Hz is not supported; a sound's rate must lie between " +
                          std::to_string(limits.minRate) + " and " +
                          std::to_string(limits.maxRate) + " Hz");
    }
    if (info.frames <= 0) {
        return vetFailure("it holds no sound (its audio data is empty)");
    }
    const double seconds = static_cast<double>(info.frames) / info.samplerate;
    if (limits.maxSeconds > 0 && seconds > limits.maxSeconds) {
        return vetFailure("it lasts " + duration(seconds) + "; a sound may last at most " +
                          limitText(limits.maxSeconds));
    }
    const int channels = std::min(info.channels, 2);
    const int rate = targetRate == 0 ? info.samplerate : targetRate;
    // Checked on the header's claim, before reading: a file that really is
    // this long would need gigabytes once converted.
    const double keptFrames = static_cast<double>(info.frames) * rate / info.samplerate;
    if (info.frames > kMaxSamples / info.channels ||
        keptFrames > static_cast<double>(kMaxSamples / channels)) {
        return vetFailure("it is too long to hold in memory (" + duration(seconds) + ")");
    }
    vetted.rate = rate;
    vetted.fileFrames = static_cast<sf_count_t>(status.st_size) / (sampleBytes * info.channels) + 1;
    return vetted;
}

// A sound longer than the converter's pads, converted while read: only the
// result is held. Empty on success, else the reason.
std::string convertWhileReading(SNDFILE* file, const SF_INFO& info, int channels,
                                FoldingReader& reader, LoopResampler& resampler,
                                std::vector<float>& samples, const std::atomic<bool>* cancel) {
    const std::int64_t pad = resampler.padFrames();
    const auto readFloats = [&](float* to, sf_count_t n) { return reader.read(to, n); };
    // The sound's end first (the loop comes round to it before the start),
    // then all of it, then its start again.
    std::vector<float> head;
    if (sf_seek(file, info.frames - pad, SEEK_SET) < 0) {
        return "the file cannot be read to its end";
    }
    const std::vector<float> tail = readAll<float>(channels, pad, pad, readFloats, cancel);
    if (sf_seek(file, 0, SEEK_SET) != 0) {
        return "the file cannot be read from its start";
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
                        chunk.begin() + static_cast<std::ptrdiff_t>(
                                            std::min(used, pad * channels - head.size())));
        }
        if (!resampler.feed(chunk.data(), static_cast<std::size_t>(got))) {
            break;
        }
        total += got;
    }
    if (total == 0 && !stopped(cancel)) {
        return "the file holds no readable audio frames";
    }
    resampler.feed(head.data(), head.size() / channels);
    std::string error;
    if (!stopped(cancel) && !resampler.finish(samples, error)) {
        return error;
    }
    return {};
}

// Reads a vetted file whole: 16-bit integers when the file's own samples are
// that narrow and kept as they are, else float, folded down and converted to
// the rate it is kept at.
PcmLoadResult readSamples(VettedFile& vetted, const std::atomic<bool>* cancel) {
    const SF_INFO& info = vetted.info;
    const int rate = vetted.rate;
    const int channels = std::min(info.channels, 2);
    const sf_count_t fileFrames = vetted.fileFrames;
    const std::unique_ptr<SNDFILE, SndfileCloser>& file = vetted.file;
    const bool narrow = vetted.sampleBytes <= 2;

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
        FoldingReader reader(file.get(), info.channels, std::min(info.frames, fileFrames));
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
            } else if (std::string error = convertWhileReading(file.get(), info, channels, reader,
                                                               resampler, samples, cancel);
                       !error.empty()) {
                return failure(error);
            }
        }
        vetted.file.reset();
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

} // namespace

PcmLoadResult loadPcm(const std::string& path, int targetRate, const LoadLimits& limits,
                      const std::atomic<bool>* cancel) {
    VettedFile vetted = vet(path, targetRate, limits);
    if (!vetted.file) {
        return failure(std::move(vetted.error));
    }
    if (stopped(cancel)) {
        return failure("cancelled");
    }
    return readSamples(vetted, cancel);
}

PcmLoadResult loadPcm(const std::string& path, int targetRate) {
    return loadPcm(path, targetRate, kBuiltInLimits);
}

} // namespace sylvaro::engine
