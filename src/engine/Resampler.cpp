#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numeric>
#include <soxr.h>
#include <type_traits>

namespace sylvaro::engine {

namespace {

// Input frames wrapped round each end: comfortably more than half the
// longest filter soxr uses at this quality, scaled up when downsampling
// (the filter is then longer in input frames).
constexpr std::int64_t kMinPadFrames = 4096;

// A pad of whole "rate periods" (the fewest input frames that become a whole
// number of output frames) puts the sound's first frame exactly on an output
// frame; for rates with no small common period (e.g. 44101 Hz) the start
// lands within half an output frame.
std::int64_t padFrames(int fromRate, int toRate) {
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

struct SoxrDeleter {
    void operator()(soxr_t soxr) const { soxr_delete(soxr); }
};
using SoxrHandle = std::unique_ptr<std::remove_pointer_t<soxr_t>, SoxrDeleter>;

} // namespace

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
    const double ratio = static_cast<double>(toRate) / fromRate;
    const std::int64_t pad = padFrames(fromRate, toRate);
    const std::int64_t outFrames =
        std::max<std::int64_t>(1, std::llround(static_cast<double>(frames) * ratio));
    const auto start = static_cast<std::int64_t>(std::llround(static_cast<double>(pad) * ratio));

    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t failed = nullptr;
    const SoxrHandle soxr(soxr_create(fromRate, toRate, static_cast<unsigned>(channels), &failed,
                                      &io, &quality, &runtime));
    if (!soxr || failed != nullptr) {
        error = std::string("cannot convert the sample rate: ") + (failed ? failed : "no memory");
        return false;
    }

    // Output before the sound's own first frame goes to a scratch buffer;
    // once the sound's frames are all made, the rest of the pad is not
    // needed. Frames soxr does not make (there should be none) stay silent.
    out.assign(static_cast<std::size_t>(outFrames) * ch, 0.0f);
    constexpr std::int64_t kScratchFrames = 4096;
    std::vector<float> scratch(static_cast<std::size_t>(kScratchFrames) * ch);
    std::int64_t skip = start;
    std::int64_t made = 0;
    // Feeds `count` frames (null: the end of the input) and collects output.
    const auto feedAll = [&](const float* data, std::size_t count) {
        std::size_t taken = 0;
        while (made < outFrames) {
            float* to = skip > 0 ? scratch.data() : out.data() + made * channels;
            const auto room = static_cast<std::size_t>(skip > 0 ? std::min(skip, kScratchFrames)
                                                                : outFrames - made);
            std::size_t used = 0;
            std::size_t got = 0;
            failed = soxr_process(soxr.get(), data ? data + taken * ch : nullptr,
                                  data ? count - taken : 0, data ? &used : nullptr, to, room, &got);
            taken += used;
            if (skip > 0) {
                skip -= static_cast<std::int64_t>(got);
            } else {
                made += static_cast<std::int64_t>(got);
            }
            // Nothing moved: the input is used up (or soxr is stuck, which
            // must not hang the caller).
            if (failed != nullptr || (used == 0 && got == 0) ||
                (data != nullptr && taken == count && got < room)) {
                return;
            }
        }
    };
    // In slices, so soxr's own input queue stays small and in cache instead
    // of holding a copy of the whole sound.
    const auto feed = [&](const float* data, std::size_t count) {
        constexpr std::size_t kSlice = 8192;
        if (data == nullptr) {
            return feedAll(nullptr, 0);
        }
        for (std::size_t done = 0; done < count && failed == nullptr; done += kSlice) {
            feedAll(data + done * ch, std::min(kSlice, count - done));
        }
    };
    const std::vector<float> before = wrapped(in, ch, -pad, pad);
    const std::vector<float> after = wrapped(in, ch, 0, pad);
    feed(before.data(), before.size() / ch);
    feed(in.data(), in.size() / ch);
    feed(after.data(), after.size() / ch);
    feed(nullptr, 0);
    if (failed != nullptr) {
        out.clear();
        error = std::string("cannot convert the sample rate: ") + failed;
        return false;
    }
    return true;
}

} // namespace sylvaro::engine
