#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <soxr.h>
#include <type_traits>

namespace sylvaro::engine {

namespace {

// Input frames wrapped round each end: comfortably more than half the
// longest filter soxr uses at this quality, scaled up when downsampling
// (the filter is then longer in input frames).
constexpr std::int64_t kMinPadFrames = 4096;
constexpr std::int64_t kScratchFrames = 4096;

// A pad of whole "rate periods" (the fewest input frames that become a whole
// number of output frames) puts the sound's first frame exactly on an output
// frame; for rates with no small common period (e.g. 44101 Hz) the start
// lands within half an output frame.
std::int64_t padFor(int fromRate, int toRate) {
    const std::int64_t wanted =
        std::max<std::int64_t>(kMinPadFrames, kMinPadFrames * fromRate / std::max(toRate, 1));
    const std::int64_t period = fromRate / std::gcd(fromRate, toRate);
    if (period > fromRate / 4) {
        return wanted;
    }
    return (wanted + period - 1) / period * period;
}

// `count` frames of `in` from frame `first` on, going round it as often as
// needed.
std::vector<float> wrapped(const std::vector<float>& in, std::size_t channels, std::int64_t first,
                           std::int64_t count) {
    const auto frames = static_cast<std::int64_t>(in.size() / channels);
    std::vector<float> out(static_cast<std::size_t>(count) * channels);
    for (std::int64_t f = 0; f < count; ++f) {
        const std::int64_t source = ((first + f) % frames + frames) % frames;
        std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(source) * channels, channels,
                    out.begin() + static_cast<std::ptrdiff_t>(f) * channels);
    }
    return out;
}

} // namespace

struct LoopResampler::Soxr {
    soxr_t handle = nullptr;
    soxr_error_t failed = nullptr;
    ~Soxr() { soxr_delete(handle); }
};

LoopResampler::LoopResampler(int channels, int fromRate, int toRate, std::int64_t frames)
    : m_soxr(std::make_unique<Soxr>()), m_channels(static_cast<std::size_t>(std::max(channels, 1))),
      m_pad(padFor(std::max(fromRate, 1), std::max(toRate, 1))), m_outFrames(0), m_skip(0) {
    if (channels < 1 || fromRate < 1 || toRate < 1 || frames < 1) {
        m_error = "nothing to resample";
        return;
    }
    const double ratio = static_cast<double>(toRate) / fromRate;
    m_outFrames = std::max<std::int64_t>(1, std::llround(static_cast<double>(frames) * ratio));
    m_skip = static_cast<std::int64_t>(std::llround(static_cast<double>(m_pad) * ratio));

    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    m_soxr->handle = soxr_create(fromRate, toRate, static_cast<unsigned>(channels), &m_soxr->failed,
                                 &io, &quality, &runtime);
    if (!m_soxr->handle || m_soxr->failed != nullptr) {
        m_error = std::string("cannot convert the sample rate: ") +
                  (m_soxr->failed ? m_soxr->failed : "no memory");
        return;
    }
    // Output before the sound's own first frame goes to a scratch buffer;
    // once the sound's frames are all made, the rest of the pad is not
    // needed. Frames soxr does not make (there should be none) stay silent.
    m_out.assign(static_cast<std::size_t>(m_outFrames) * m_channels, 0.0f);
    m_scratch.resize(static_cast<std::size_t>(kScratchFrames) * m_channels);
}

LoopResampler::~LoopResampler() = default;

// Feeds `count` frames (null: the end of the input) and collects output.
void LoopResampler::feedAll(const float* data, std::size_t count) {
    std::size_t taken = 0;
    while (m_made < m_outFrames) {
        float* to = m_skip > 0 ? m_scratch.data()
                               : m_out.data() + static_cast<std::size_t>(m_made) * m_channels;
        const auto room = static_cast<std::size_t>(m_skip > 0 ? std::min(m_skip, kScratchFrames)
                                                              : m_outFrames - m_made);
        std::size_t used = 0;
        std::size_t got = 0;
        m_soxr->failed =
            soxr_process(m_soxr->handle, data ? data + taken * m_channels : nullptr,
                         data ? count - taken : 0, data ? &used : nullptr, to, room, &got);
        taken += used;
        if (m_skip > 0) {
            m_skip -= static_cast<std::int64_t>(got);
        } else {
            m_made += static_cast<std::int64_t>(got);
        }
        // Nothing moved: the input is used up (or soxr is stuck, which
        // must not hang the caller).
        if (m_soxr->failed != nullptr || (used == 0 && got == 0) ||
            (data != nullptr && taken == count && got < room)) {
            return;
        }
    }
}

bool LoopResampler::feed(const float* data, std::size_t frames) {
    if (!m_error.empty() || m_soxr->failed != nullptr) {
        return false;
    }
    // In slices, so soxr's own input queue stays small and in cache instead
    // of holding a copy of the whole sound.
    constexpr std::size_t kSlice = 8192;
    for (std::size_t done = 0; done < frames && m_soxr->failed == nullptr; done += kSlice) {
        feedAll(data + done * m_channels, std::min(kSlice, frames - done));
    }
    return m_soxr->failed == nullptr;
}

bool LoopResampler::finish(std::vector<float>& out, std::string& error) {
    out.clear();
    if (m_error.empty() && m_soxr->failed == nullptr) {
        feedAll(nullptr, 0);
    }
    if (m_error.empty() && m_soxr->failed != nullptr) {
        m_error = std::string("cannot convert the sample rate: ") + m_soxr->failed;
    }
    if (!m_error.empty()) {
        error = m_error;
        m_out = {};
        return false;
    }
    out = std::move(m_out);
    m_out = {};
    return true;
}

bool resampleLoop(const std::vector<float>& in, int channels, int fromRate, int toRate,
                  std::vector<float>& out, std::string& error) {
    out.clear();
    if (channels < 1 || fromRate < 1 || toRate < 1 || in.empty() ||
        in.size() % static_cast<std::size_t>(channels) != 0) {
        error = "nothing to resample";
        return false;
    }
    const auto ch = static_cast<std::size_t>(channels);
    const auto frames = static_cast<std::int64_t>(in.size() / ch);
    LoopResampler resampler(channels, fromRate, toRate, frames);
    const std::int64_t pad = resampler.padFrames();
    const std::vector<float> before = wrapped(in, ch, -pad, pad);
    const std::vector<float> after = wrapped(in, ch, 0, pad);
    resampler.feed(before.data(), before.size() / ch);
    resampler.feed(in.data(), in.size() / ch);
    resampler.feed(after.data(), after.size() / ch);
    return resampler.finish(out, error);
}

} // namespace sylvaro::engine
