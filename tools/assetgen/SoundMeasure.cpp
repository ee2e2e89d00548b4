#include "SoundMeasure.h"

#include "Dsp.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>
#include <sndfile.h>

namespace measure {

namespace {

constexpr double kPi = std::numbers::pi;

double toDb(double power) {
    return 10.0 * std::log10(std::max(power, 1e-20));
}

// In-place radix-2 FFT; the size must be a power of two.
void fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * kPi / static_cast<double>(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0, 0.0);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k];
                const std::complex<double> v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

std::vector<double> hann(std::size_t n) {
    std::vector<double> w(n);
    for (std::size_t i = 0; i < n; ++i) {
        w[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * static_cast<double>(i) / static_cast<double>(n));
    }
    return w;
}

// Power of each bin of one windowed frame centred on sample `centre`; samples outside
// the clip are read around the wrap for a loop and as silence otherwise.
std::vector<double> framePower(const Clip& clip, long centre, const std::vector<double>& window,
                               std::size_t fftSize) {
    const long n = static_cast<long>(clip.samples.size());
    const long half = static_cast<long>(window.size() / 2);
    std::vector<std::complex<double>> buffer(fftSize);
    for (std::size_t i = 0; i < window.size(); ++i) {
        long at = centre - half + static_cast<long>(i);
        if (clip.loop) {
            at = ((at % n) + n) % n;
        }
        if (at >= 0 && at < n) {
            buffer[i] = clip.samples[static_cast<std::size_t>(at)] * window[i];
        }
    }
    fft(buffer);
    std::vector<double> power(fftSize / 2 + 1);
    for (std::size_t k = 0; k < power.size(); ++k) {
        power[k] = std::norm(buffer[k]);
    }
    return power;
}

// Q of the two sections of a fourth-order Butterworth filter.
constexpr double kButterworthQ[2] = {0.5411961, 1.3065630};

// A loop's band-passed samples, with the filters run in from the loop's end so that
// its start sounds as it does on the second time round.
std::vector<double> bandPassed(const Clip& clip, double lowHz, double highHz) {
    if (!clip.loop) {
        return bandPass(clip.samples, clip.rate, lowHz, highHz);
    }
    const std::size_t n = clip.samples.size();
    const std::size_t lead = std::min(n, static_cast<std::size_t>(clip.rate));
    std::vector<double> longer(clip.samples.end() - static_cast<long>(lead), clip.samples.end());
    longer.insert(longer.end(), clip.samples.begin(), clip.samples.end());
    std::vector<double> filtered = bandPass(longer, clip.rate, lowHz, highHz);
    return {filtered.begin() + static_cast<long>(lead), filtered.end()};
}

// Sums of squares over windows of `window` samples centred every `hop` samples.
std::vector<double> windowPower(const std::vector<double>& x, bool loop, std::size_t hop,
                                std::size_t window) {
    const long n = static_cast<long>(x.size());
    std::vector<double> squares(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        squares[i] = x[i] * x[i];
    }
    std::vector<double> out;
    const long half = static_cast<long>(window / 2);
    for (long centre = 0; centre < n; centre += static_cast<long>(hop)) {
        double sum = 0.0;
        long count = 0;
        for (long at = centre - half; at < centre - half + static_cast<long>(window); ++at) {
            long i = at;
            if (loop) {
                i = ((i % n) + n) % n;
            } else if (i < 0 || i >= n) {
                continue;
            }
            sum += squares[static_cast<std::size_t>(i)];
            ++count;
        }
        out.push_back(count > 0 ? sum / static_cast<double>(count) : 0.0);
    }
    return out;
}

// Moves a peak at index i of `v` to between bins by fitting a parabola through it
// and its neighbours.
double refine(const std::vector<double>& v, std::size_t i) {
    if (i == 0 || i + 1 >= v.size()) {
        return static_cast<double>(i);
    }
    const double a = v[i - 1], b = v[i], c = v[i + 1];
    const double denominator = a - 2.0 * b + c;
    const double shift = denominator == 0.0 ? 0.0 : 0.5 * (a - c) / denominator;
    return static_cast<double>(i) + std::clamp(shift, -0.5, 0.5);
}

std::size_t binOf(double hz, double rate, std::size_t fftSize) {
    return static_cast<std::size_t>(std::max(0.0, std::round(hz * fftSize / rate)));
}

} // namespace

std::optional<Clip> readWav(const std::string& path, bool loop) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return std::nullopt;
    }
    std::vector<double> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_double(file, interleaved.data(), info.frames);
    sf_close(file);
    if (read != info.frames || info.channels < 1) {
        return std::nullopt;
    }
    Clip clip;
    clip.rate = info.samplerate;
    clip.loop = loop;
    const auto channels = static_cast<std::size_t>(info.channels);
    clip.samples.resize(static_cast<std::size_t>(info.frames));
    for (std::size_t i = 0; i < clip.samples.size(); ++i) {
        double sum = 0.0;
        for (std::size_t ch = 0; ch < channels; ++ch) {
            sum += interleaved[i * channels + ch];
        }
        clip.samples[i] = sum / static_cast<double>(channels);
    }
    return clip;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<long>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

std::vector<double> bandPass(const std::vector<double>& x, double rate, double lowHz,
                             double highHz) {
    std::vector<assetgen::Biquad> stages;
    for (const double q : kButterworthQ) {
        if (lowHz > 0.0 && lowHz < 0.49 * rate) {
            stages.push_back(assetgen::Biquad::highpass(lowHz, q, rate));
        }
        if (highHz > 0.0 && highHz < 0.49 * rate) {
            stages.push_back(assetgen::Biquad::lowpass(highHz, q, rate));
        }
    }
    std::vector<double> y = x;
    for (assetgen::Biquad& stage : stages) {
        for (double& s : y) {
            s = stage.process(s);
        }
    }
    return y;
}

std::vector<double> levelDb(const Clip& clip, double lowHz, double highHz, double hop,
                            double window) {
    const std::vector<double> x = bandPassed(clip, lowHz, highHz);
    const auto hopFrames = std::max<std::size_t>(1, std::lround(hop * clip.rate));
    const auto windowFrames = std::max<std::size_t>(1, std::lround(window * clip.rate));
    std::vector<double> level = windowPower(x, clip.loop, hopFrames, windowFrames);
    for (double& p : level) {
        p = toDb(p);
    }
    return level;
}

std::vector<Segment> findNotes(const Clip& clip, double lowHz, double highHz, double dropDb,
                               double mergeGap, double shortest) {
    constexpr double kHop = 0.0025;
    const std::vector<double> level = levelDb(clip, lowHz, highHz, kHop, 0.01);
    if (level.empty()) {
        return {};
    }
    const double threshold = *std::max_element(level.begin(), level.end()) - dropDb;
    std::vector<Segment> raw;
    for (std::size_t i = 0; i < level.size(); ++i) {
        if (level[i] < threshold) {
            continue;
        }
        const double t = static_cast<double>(i) * kHop;
        if (!raw.empty() && t - raw.back().end <= kHop * 1.5) {
            raw.back().end = t;
        } else {
            raw.push_back({t, t});
        }
    }
    std::vector<Segment> merged;
    for (const Segment& s : raw) {
        if (!merged.empty() && s.start - merged.back().end < mergeGap) {
            merged.back().end = s.end;
        } else {
            merged.push_back(s);
        }
    }
    std::vector<Segment> notes;
    for (Segment s : merged) {
        s.end += kHop; // the last frame above the threshold counts whole
        if (s.seconds() >= shortest) {
            notes.push_back(s);
        }
    }
    return notes;
}

std::vector<double> findImpacts(const Clip& clip, double lowHz, double highHz, double riseDb,
                                double rangeDb, double refractory) {
    constexpr double kHop = 0.0025;
    // The window spans at least two periods of the band's lowest frequency: a
    // shorter one flickers with the phase of a low tone or noise, and its flicker
    // would read as impacts.
    const double window = std::max(0.005, lowHz > 0.0 ? 2.0 / lowHz : 0.0);
    const std::vector<double> level = levelDb(clip, lowHz, highHz, kHop, window);
    constexpr std::size_t kLookBack = 4; // 10 ms
    struct Candidate {
        double time;
        double peak;
    };
    std::vector<Candidate> candidates;
    double lastTime = -1e9;
    for (std::size_t i = kLookBack; i < level.size(); ++i) {
        double before = level[i - 1];
        for (std::size_t j = i - kLookBack; j < i; ++j) {
            before = std::min(before, level[j]);
        }
        const double t = static_cast<double>(i) * kHop;
        if (level[i] - before >= riseDb && t - lastTime >= refractory) {
            double peak = level[i];
            for (std::size_t j = i; j < std::min(level.size(), i + kLookBack); ++j) {
                peak = std::max(peak, level[j]);
            }
            candidates.push_back({t, peak});
            // A rise slower than the look-back is still one impact: the next may
            // come only after this one has crested.
            while (i + 1 < level.size() && level[i + 1] > level[i]) {
                ++i;
            }
            lastTime = static_cast<double>(i) * kHop;
        }
    }
    double loudest = -1e9;
    for (const Candidate& c : candidates) {
        loudest = std::max(loudest, c.peak);
    }
    std::vector<double> times;
    for (const Candidate& c : candidates) {
        if (c.peak >= loudest - rangeDb) {
            times.push_back(c.time);
        }
    }
    return times;
}

std::vector<double> findStrikes(const Clip& clip, double lowHz, double highHz) {
    constexpr std::size_t kFft = 2048;
    const auto hop = static_cast<long>(std::lround(0.005 * clip.rate));
    const std::vector<double> window = hann(kFft);
    const std::size_t lo = binOf(lowHz, clip.rate, kFft);
    const std::size_t hi = std::min(binOf(highHz, clip.rate, kFft), kFft / 2);
    std::vector<std::vector<double>> frames;
    double loudest = -1e9;
    for (long centre = 0; centre < static_cast<long>(clip.samples.size()); centre += hop) {
        std::vector<double> p = framePower(clip, centre, window, kFft);
        std::vector<double> db(p.begin() + static_cast<long>(lo),
                               p.begin() + static_cast<long>(hi) + 1);
        for (double& x : db) {
            x = toDb(x);
            loudest = std::max(loudest, x);
        }
        frames.push_back(std::move(db));
    }
    // Bins far below the loudest are noise; their flicker is no strike.
    // A frame that runs past either end of a one-shot sees the sound cut off, which
    // smears over every bin like a strike; only frames wholly inside count.
    const long n = static_cast<long>(clip.samples.size());
    const long half = static_cast<long>(kFft / 2);
    std::vector<double> flux(frames.size(), 0.0);
    for (std::size_t t = 2; t < frames.size(); ++t) {
        const long centre = static_cast<long>(t) * hop;
        if (!clip.loop && (centre - 2 * hop - half < 0 || centre + half > n)) {
            continue;
        }
        double sum = 0.0;
        for (std::size_t k = 0; k < frames[t].size(); ++k) {
            const double now = std::max(frames[t][k], loudest - 60.0);
            const double before = std::max(frames[t - 2][k], loudest - 60.0);
            sum += std::max(0.0, now - before);
        }
        flux[t] = sum / static_cast<double>(frames[t].size());
    }
    const double strongest = *std::max_element(flux.begin(), flux.end());
    std::vector<double> strikes;
    constexpr long kAround = 20; // 100 ms either side
    for (long t = 0; t < static_cast<long>(flux.size()); ++t) {
        if (flux[t] < 0.2 * strongest) {
            continue;
        }
        bool isPeak = true;
        for (long u = std::max(0L, t - kAround);
             u <= std::min<long>(static_cast<long>(flux.size()) - 1, t + kAround); ++u) {
            if (flux[u] > flux[t] || (flux[u] == flux[t] && u < t)) {
                isPeak = false;
                break;
            }
        }
        if (isPeak) {
            strikes.push_back(static_cast<double>(t * hop) / clip.rate);
        }
    }
    return strikes;
}

Pulse pulseRate(const Clip& clip, const std::vector<Segment>& where, double lowHz, double highHz,
                double searchLowHz, double searchHighHz) {
    // The envelope: rectified band, smoothed, at about 4 kHz.
    std::vector<double> rectified = bandPassed(clip, lowHz, highHz);
    for (double& x : rectified) {
        x = std::abs(x);
    }
    const std::vector<double> smooth = bandPass(rectified, clip.rate, 0.0, 900.0);
    const auto step = std::max<std::size_t>(1, std::lround(clip.rate / 4000.0));
    const double envelopeRate = clip.rate / static_cast<double>(step);
    std::vector<double> envelope;
    for (std::size_t i = 0; i < smooth.size(); i += step) {
        envelope.push_back(smooth[i]);
    }
    std::vector<Segment> spans = where;
    if (spans.empty()) {
        spans.push_back({0.0, clip.seconds()});
    }
    const auto shortestLag = std::max<std::size_t>(1, std::lround(envelopeRate / searchHighHz));
    // A lag longer than half the longest stretch would rest on too few periods to
    // mean anything: the overlap left to correlate is shorter than the lag itself.
    double longestSpan = 0.0;
    for (const Segment& s : spans) {
        longestSpan = std::max(longestSpan, s.seconds());
    }
    const long longestLag = std::min(std::lround(envelopeRate / searchLowHz),
                                     std::lround(0.5 * longestSpan * envelopeRate));
    std::vector<double> r(static_cast<std::size_t>(longestLag) + 2, 0.0);
    std::vector<double> leftPower(r.size(), 0.0), rightPower(r.size(), 0.0);
    const long n = static_cast<long>(envelope.size());
    for (const Segment& s : spans) {
        const long from = std::lround(s.start * envelopeRate);
        const long to = std::min(n, std::lround(s.end * envelopeRate));
        if (to - from < 4) {
            continue;
        }
        double mean = 0.0;
        for (long i = from; i < to; ++i) {
            mean += envelope[static_cast<std::size_t>(i)];
        }
        mean /= static_cast<double>(to - from);
        const auto at = [&](long i) {
            if (clip.loop) {
                i %= n;
            }
            return i < n ? envelope[static_cast<std::size_t>(i)] - mean : 0.0;
        };
        for (std::size_t lag = 0; lag < r.size(); ++lag) {
            const long last = clip.loop ? to : to - static_cast<long>(lag);
            for (long i = from; i < last; ++i) {
                const double a = at(i);
                const double b = at(i + static_cast<long>(lag));
                r[lag] += a * b;
                leftPower[lag] += a * a;
                rightPower[lag] += b * b;
            }
        }
    }
    std::vector<double> normalised(r.size(), 0.0);
    for (std::size_t lag = 0; lag < r.size(); ++lag) {
        const double d = std::sqrt(leftPower[lag] * rightPower[lag]);
        normalised[lag] = d > 0.0 ? r[lag] / d : 0.0;
    }
    std::vector<std::size_t> peaks;
    double best = 0.0;
    for (std::size_t lag = std::max<std::size_t>(shortestLag, 1);
         lag <= static_cast<std::size_t>(longestLag) && lag + 1 < normalised.size(); ++lag) {
        if (normalised[lag] > normalised[lag - 1] && normalised[lag] >= normalised[lag + 1]) {
            peaks.push_back(lag);
            best = std::max(best, normalised[lag]);
        }
    }
    for (const std::size_t lag : peaks) {
        if (best > 0.0 && normalised[lag] >= 0.85 * best) {
            return {envelopeRate / refine(normalised, lag), normalised[lag]};
        }
    }
    return {};
}

std::vector<double> powerSpectrum(const Clip& clip, const std::vector<Segment>& where,
                                  std::size_t fftSize) {
    const std::vector<double> window = hann(fftSize);
    std::vector<double> sum(fftSize / 2 + 1, 0.0);
    std::vector<Segment> spans = where;
    if (spans.empty()) {
        spans.push_back({0.0, clip.seconds()});
    }
    const double hop = static_cast<double>(fftSize / 2);
    for (const Segment& s : spans) {
        const double from = s.start * clip.rate;
        const double to = s.end * clip.rate;
        // Frames centred across the segment; a short one gets one frame in its middle.
        const auto count = std::max<long>(1, std::lround((to - from) / hop));
        for (long f = 0; f < count; ++f) {
            const double centre =
                count == 1 ? 0.5 * (from + to) : from + (to - from) * (f + 0.5) / count;
            const std::vector<double> p = framePower(clip, std::lround(centre), window, fftSize);
            for (std::size_t k = 0; k < sum.size(); ++k) {
                sum[k] += p[k];
            }
        }
    }
    return sum;
}

double bandShare(const std::vector<double>& spectrum, double rate, double lowHz, double highHz) {
    const std::size_t fftSize = 2 * (spectrum.size() - 1);
    double band = 0.0, all = 0.0;
    for (std::size_t k = binOf(20.0, rate, fftSize); k < spectrum.size(); ++k) {
        const double hz = static_cast<double>(k) * rate / static_cast<double>(fftSize);
        all += spectrum[k];
        if (hz >= lowHz && hz <= highHz) {
            band += spectrum[k];
        }
    }
    return all > 0.0 ? band / all : 0.0;
}

double spectralPeak(const std::vector<double>& spectrum, double rate, double lowHz, double highHz) {
    const std::size_t fftSize = 2 * (spectrum.size() - 1);
    const std::size_t lo = std::max<std::size_t>(1, binOf(lowHz, rate, fftSize));
    const std::size_t hi = std::min(spectrum.size() - 2, binOf(highHz, rate, fftSize));
    if (lo > hi) {
        return 0.0;
    }
    std::size_t best = lo;
    for (std::size_t k = lo; k <= hi; ++k) {
        if (spectrum[k] > spectrum[best]) {
            best = k;
        }
    }
    std::vector<double> db(spectrum.size());
    for (std::size_t k = best - 1; k <= best + 1; ++k) {
        db[k] = toDb(spectrum[k]);
    }
    return refine(db, best) * rate / static_cast<double>(fftSize);
}

double partialProminenceDb(const std::vector<double>& spectrum, double rate, double hz,
                           double tolerance) {
    const std::size_t fftSize = 2 * (spectrum.size() - 1);
    const auto bin = [&](double f) {
        return std::min(spectrum.size() - 1, binOf(f, rate, fftSize));
    };
    // A low partial's tolerance may be narrower than a Hann window's main lobe (two
    // bins either side); the peak is searched, and the surroundings start, no
    // closer than that.
    const double binHz = rate / static_cast<double>(fftSize);
    const double near = std::max(hz * tolerance, 2.0 * binHz);
    const double far = std::max(hz * 4.0 * tolerance, 8.0 * binHz);
    double peak = -1e9;
    for (std::size_t k = bin(hz - near); k <= bin(hz + near); ++k) {
        peak = std::max(peak, toDb(spectrum[k]));
    }
    std::vector<double> around;
    for (std::size_t k = bin(hz - far); k <= bin(hz + far); ++k) {
        const double f = static_cast<double>(k) * binHz;
        if (std::abs(f - hz) > near) {
            around.push_back(toDb(spectrum[k]));
        }
    }
    return peak - median(around);
}

std::vector<double> pitchTrack(const Clip& clip, const Segment& segment, double lowHz,
                               double highHz) {
    constexpr std::size_t kWindow = 2048;
    constexpr std::size_t kFft = 4096;
    const std::vector<double> window = hann(kWindow);
    const std::size_t lo = std::max<std::size_t>(1, binOf(lowHz, clip.rate, kFft));
    const std::size_t hi = std::min(kFft / 2 - 1, binOf(highHz, clip.rate, kFft));
    struct Frame {
        double hz;
        double power;
    };
    std::vector<Frame> frames;
    double loudest = 0.0;
    // Frames wholly inside the segment where it is long enough, else its middle.
    const double half = static_cast<double>(kWindow) / 2.0 / clip.rate;
    double first = segment.start + half;
    double last = segment.end - half;
    if (first > last) {
        first = last = 0.5 * (segment.start + segment.end);
    }
    for (double t = first; t <= last + 1e-9; t += 0.005) {
        const std::vector<double> p = framePower(clip, std::lround(t * clip.rate), window, kFft);
        std::size_t best = lo;
        double total = 0.0;
        for (std::size_t k = lo; k <= hi; ++k) {
            total += p[k];
            if (p[k] > p[best]) {
                best = k;
            }
        }
        std::vector<double> db(p.size());
        for (std::size_t k = best - 1; k <= best + 1; ++k) {
            db[k] = toDb(p[k]);
        }
        frames.push_back({refine(db, best) * clip.rate / kFft, total});
        loudest = std::max(loudest, total);
    }
    std::vector<double> track;
    for (const Frame& f : frames) {
        if (f.power >= loudest * 1e-3) {
            track.push_back(f.hz);
        }
    }
    return track;
}

std::vector<double> swellCrests(const Clip& clip, double prominenceDb) {
    constexpr double kHop = 0.05;
    const std::vector<double> level = levelDb(clip, 0.0, 0.0, kHop, 0.1);
    const long n = static_cast<long>(level.size());
    if (n == 0) {
        return {};
    }
    // A loop is laid out three times and only the crests of the middle copy count.
    const long copies = clip.loop ? 3 : 1;
    std::vector<double> smooth(static_cast<std::size_t>(n * copies));
    constexpr long kHalfSecond = 10;
    for (long i = 0; i < n * copies; ++i) {
        double sum = 0.0;
        long count = 0;
        for (long j = i - kHalfSecond; j <= i + kHalfSecond; ++j) {
            long at = j % n;
            if (clip.loop) {
                at = ((j % n) + n) % n;
            } else if (j < 0 || j >= n) {
                continue;
            }
            sum += level[static_cast<std::size_t>(at)];
            ++count;
        }
        smooth[static_cast<std::size_t>(i)] = sum / static_cast<double>(count);
    }
    const long size = static_cast<long>(smooth.size());
    std::vector<double> crests;
    for (long i = 1; i + 1 < size; ++i) {
        const double v = smooth[static_cast<std::size_t>(i)];
        if (!(v > smooth[static_cast<std::size_t>(i - 1)] &&
              v >= smooth[static_cast<std::size_t>(i + 1)])) {
            continue;
        }
        // Prominence: the higher of the two troughs down to which one must go, on
        // either side, before reaching a higher crest (or the end).
        double leftTrough = v;
        for (long j = i - 1; j >= 0 && smooth[static_cast<std::size_t>(j)] <= v; --j) {
            leftTrough = std::min(leftTrough, smooth[static_cast<std::size_t>(j)]);
        }
        double rightTrough = v;
        for (long j = i + 1; j < size && smooth[static_cast<std::size_t>(j)] <= v; ++j) {
            rightTrough = std::min(rightTrough, smooth[static_cast<std::size_t>(j)]);
        }
        if (v - std::max(leftTrough, rightTrough) < prominenceDb) {
            continue;
        }
        if (clip.loop && (i < n || i >= 2 * n)) {
            continue;
        }
        crests.push_back(static_cast<double>(i % n) * kHop);
    }
    return crests;
}

std::vector<std::vector<float>> spectrogramDb(const Clip& clip, std::size_t fftSize,
                                              std::size_t hop, double highHz) {
    const std::vector<double> window = hann(fftSize);
    const std::size_t bins = std::min(fftSize / 2, binOf(highHz, clip.rate, fftSize));
    std::vector<std::vector<float>> out;
    for (std::size_t centre = 0; centre < clip.samples.size(); centre += hop) {
        const std::vector<double> p = framePower(clip, static_cast<long>(centre), window, fftSize);
        std::vector<float> column(bins);
        for (std::size_t k = 0; k < bins; ++k) {
            column[k] = static_cast<float>(toDb(p[k]));
        }
        out.push_back(std::move(column));
    }
    return out;
}

} // namespace measure
