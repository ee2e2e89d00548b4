#include "MonitorCapture.h"

#include <pulse/pulseaudio.h>
#include <pulse/rtclock.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <numbers>
#include <cstdio>
#include <ctime>
#include <thread>
#include <utility>

namespace sylvaro::bench {

double monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) * 1e-6;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

const char* eventName(MonitorEvent::Kind kind) {
    switch (kind) {
    case MonitorEvent::Kind::Sound:
        return "SOUND";
    case MonitorEvent::Kind::Silence:
        return "SILENCE";
    case MonitorEvent::Kind::ToneOn:
        return "TONE_ON";
    case MonitorEvent::Kind::ToneOff:
        return "TONE_OFF";
    case MonitorEvent::Kind::Overflow:
        return "OVERFLOW";
    }
    return "?";
}

namespace {

constexpr int kChannels = 2;
constexpr int kFramesPerMs = MonitorCapture::kRate / 1000;
// The probe tone's window: 8 ms, a Hann window, so a tone shows within a
// few milliseconds and broadband sound beside it stays well below it.
constexpr int kToneWindow = 8 * kFramesPerMs;
// Below half a 16-bit step: what a server's conversions leave of zero.
constexpr float kZero = 1.5e-5f;
// PipeWire's default largest graph block, and the capture's block there: a
// multiple of every smaller block, and no smaller than any, so the capture
// never makes the graph run in smaller blocks than the player chose.
constexpr int kMaxBlock = 2048;
// On PulseAudio, 10 ms blocks. A monitor's blocks bound the sink's latency
// (the sink then renders at most 10 ms ahead), and larger ones reach the
// monitor ahead of the sink's timeline: its times would be off by hundreds
// of ms with 2 s blocks.
constexpr int kPulseFragment = MonitorCapture::kRate / 100;
constexpr std::size_t kReportedReads = 64;
// A read is timed once the reads of this long after it are in, and the
// timeline has moved on when all of them came this much later than the
// reads before.
constexpr double kLookAheadMs = 250.0;
constexpr double kStepMs = 2.0;

float toDb(double amplitude) {
    return amplitude > 1e-6 ? static_cast<float>(20.0 * std::log10(amplitude)) : -120.0f;
}

} // namespace

struct MonitorCapture::Impl {
    Options options;
    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;

    // Shared with the accessors, under `mutex`.
    mutable std::mutex mutex;
    std::deque<MonitorLevel> levels;
    std::vector<MonitorEvent> events;
    double latencyMs = 0;
    int blockFrames = 0; // PipeWire's graph block; 0 on PulseAudio
    // Per read: the server's account of when frame 0 played, less originMs.
    std::deque<double> reported;
    long overflows = 0;
    std::int64_t frames = 0; // every frame read
    std::string serverName;
    std::string sourceName;

    // The main loop's thread only.
    // Per read already timed: when, and then less the place of its last frame
    // in the stream, since the timeline last moved on.
    std::deque<std::pair<double, double>> arrivals;
    // Reads waiting to be timed until the reads after them are in.
    struct Read {
        double nowMs = 0;
        double arrival = 0;
        bool haveLatency = false;
        pa_usec_t latency = 0;
        int negative = 0;
        std::int64_t first = 0;
        std::int64_t count = 0;
        bool hole = false;
        std::vector<float> samples;
    };
    std::deque<Read> waiting;
    double originMs = 0; // when frame 0 was played
    double envelopeMs = 0;
    bool pipeWire = false;
    int pendingLists = 0;
    long pendingLatency = 0;
    pa_time_event* blockTimer = nullptr;
    int zeroRun = 0;
    int soundState = -1; // -1 unknown, 0 silent, 1 sound
    bool toneState = false;
    int blockFill = 0;
    double blockSquares = 0;
    bool blockSilent = true;
    std::array<float, kToneWindow> ring{};
    int ringAt = 0;
    int ringFill = 0;
    std::array<float, kToneWindow> hann{};
    double toneCoefficient = 0;
    double hannSum = 0;

    void event(MonitorEvent::Kind kind, double timeMs) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back({kind, timeMs});
    }

    double frameTime(std::int64_t frame) const {
        return originMs + static_cast<double>(frame) * 1000.0 / kRate;
    }

    // The tone's peak amplitude over the window that ends now (Goertzel).
    double toneAmplitude() const {
        double s1 = 0;
        double s2 = 0;
        for (int i = 0; i < kToneWindow; ++i) {
            const float x = ring[static_cast<std::size_t>((ringAt + i) % kToneWindow)];
            const double s = x * hann[static_cast<std::size_t>(i)] + toneCoefficient * s1 - s2;
            s2 = s1;
            s1 = s;
        }
        const double power = s1 * s1 + s2 * s2 - toneCoefficient * s1 * s2;
        return 2.0 * std::sqrt(std::max(0.0, power)) / hannSum;
    }

    void analyse(const float* data, std::int64_t count, std::int64_t first) {
        const int silenceFrames = std::max(1, options.silenceMs * kFramesPerMs);
        for (std::int64_t i = 0; i < count; ++i) {
            const float left = data[kChannels * i];
            const float right = data[kChannels * i + 1];
            const bool zero = std::abs(left) < kZero && std::abs(right) < kZero;
            const double t = frameTime(first + i);
            if (zero) {
                if (++zeroRun == silenceFrames && soundState != 0) {
                    soundState = 0;
                    event(MonitorEvent::Kind::Silence, t - (silenceFrames - 1) * 1000.0 / kRate);
                }
            } else {
                zeroRun = 0;
                if (soundState != 1) {
                    soundState = 1;
                    event(MonitorEvent::Kind::Sound, t);
                }
            }
            blockSquares += static_cast<double>(left) * left + static_cast<double>(right) * right;
            blockSilent = blockSilent && zero;
            ring[static_cast<std::size_t>(ringAt)] = 0.5f * (left + right);
            ringAt = (ringAt + 1) % kToneWindow;
            ringFill = std::min(ringFill + 1, kToneWindow);
            if (++blockFill == kFramesPerMs) {
                finishBlock(t);
            }
        }
    }

    void finishBlock(double lastFrameMs) {
        MonitorLevel level;
        level.timeMs = lastFrameMs - 0.5 + 500.0 / kRate;
        level.silent = blockSilent;
        level.rmsDb = blockSilent ? -120.0f
                                  : toDb(std::sqrt(blockSquares / (kChannels * kFramesPerMs)));
        if (ringFill == kToneWindow) {
            level.toneDb = toDb(toneAmplitude());
            const double centre = lastFrameMs - (kToneWindow / 2.0 - 1) * 1000.0 / kRate;
            if (!toneState && level.toneDb >= options.toneOnDb) {
                toneState = true;
                event(MonitorEvent::Kind::ToneOn, centre);
            } else if (toneState && level.toneDb < options.toneOffDb) {
                toneState = false;
                event(MonitorEvent::Kind::ToneOff, centre);
            }
        }
        blockFill = 0;
        blockSquares = 0;
        blockSilent = true;
        std::lock_guard<std::mutex> lock(mutex);
        levels.push_back(level);
        while (!levels.empty() &&
               levels.front().timeMs < level.timeMs - options.historySeconds * 1000.0) {
            levels.pop_front();
        }
    }

    // When frame 0 was played, for the oldest waiting read. A read's last
    // frame arrives no earlier than the sink played it, so the earliest
    // "arrival less the frame's place in the stream" among reads is the clock;
    // it needs nothing from the server but the samples (the server's own
    // account of the stream's latency is kept beside it, to compare). A read
    // that came late is put right by a prompt one before or after it. But
    // PipeWire's timeline can also move on for good (at times whole blocks
    // of the monitor never arrive, without an overflow): when every read of
    // the next kLookAheadMs came later than the ones before, the clock starts
    // again from them. PipeWire hands the monitor a whole graph block at the
    // start of the block, ahead of its place in time: there the clock moves
    // on by one block.
    void timeOldest() {
        const Read& read = waiting.front();
        double ahead = read.arrival;
        for (const Read& r : waiting) {
            if (r.nowMs > read.nowMs + kLookAheadMs) {
                break;
            }
            ahead = std::min(ahead, r.arrival);
        }
        while (!arrivals.empty() && arrivals.front().first < read.nowMs - envelopeMs) {
            arrivals.pop_front();
        }
        double before = ahead;
        for (const auto& a : arrivals) {
            before = std::min(before, a.second);
        }
        if (ahead > before + kStepMs) {
            arrivals.clear();
            before = ahead;
        }
        arrivals.emplace_back(read.nowMs, read.arrival);
        originMs = before + blockFrames * 1000.0 / kRate;
        std::lock_guard<std::mutex> lock(mutex);
        if (read.haveLatency) {
            const double lat =
                static_cast<double>(read.latency) / 1000.0 * (read.negative ? -1.0 : 1.0);
            latencyMs = lat;
            reported.push_back(read.nowMs - lat -
                               static_cast<double>(read.first + read.count) * 1000.0 / kRate -
                               originMs);
            if (reported.size() > kReportedReads) {
                reported.pop_front();
            }
        }
    }

    // Times and analyses the reads whose look-ahead has passed (all of them
    // once `all`).
    void settleReads(double nowMs, bool all) {
        while (!waiting.empty() && (all || waiting.front().nowMs < nowMs - kLookAheadMs)) {
            timeOldest();
            Read& read = waiting.front();
            if (read.hole) {
                // A hole: the server had nothing for this span.
                event(MonitorEvent::Kind::Overflow, frameTime(read.first));
            } else {
                analyse(read.samples.data(), read.count, read.first);
            }
            waiting.pop_front();
        }
    }

    // PipeWire's graph block: the largest power of two within the smallest
    // latency any stream asks for (node.latency), at most its default
    // maximum. Asked again every second, as streams come and go.
    void pollBlock() {
        pendingLists = 2;
        pendingLatency = kMaxBlock;
        if (pa_operation* op = pa_context_get_sink_input_info_list(context, onSinkInput, this)) {
            pa_operation_unref(op);
        }
        if (pa_operation* op =
                pa_context_get_source_output_info_list(context, onSourceOutput, this)) {
            pa_operation_unref(op);
        }
    }

    void streamLatency(const pa_proplist* props, int eol) {
        if (eol) {
            if (--pendingLists == 0) {
                int block = 1;
                while (block * 2 <= pendingLatency) {
                    block *= 2;
                }
                if (block != blockFrames) {
                    // Blocks of the old size arrived at other places in them.
                    settleReads(monotonicMs(), true);
                    arrivals.clear();
                }
                std::lock_guard<std::mutex> lock(mutex);
                blockFrames = block;
            }
            return;
        }
        const char* value = pa_proplist_gets(props, "node.latency");
        long num = 0;
        long den = 0;
        if (value && std::sscanf(value, "%ld/%ld", &num, &den) == 2 && num > 0 && den > 0) {
            pendingLatency = std::min<long>(pendingLatency, num * kRate / den);
        }
    }

    static void onSinkInput(pa_context*, const pa_sink_input_info* info, int eol, void* userdata) {
        static_cast<Impl*>(userdata)->streamLatency(info ? info->proplist : nullptr, eol);
    }
    static void onSourceOutput(pa_context*, const pa_source_output_info* info, int eol,
                               void* userdata) {
        static_cast<Impl*>(userdata)->streamLatency(info ? info->proplist : nullptr, eol);
    }
    static void onBlockTimer(pa_mainloop_api*, pa_time_event* e, const struct timeval*,
                             void* userdata) {
        auto& d = *static_cast<Impl*>(userdata);
        d.pollBlock();
        pa_context_rttime_restart(d.context, e, pa_rtclock_now() + PA_USEC_PER_SEC);
    }

    static void onRead(pa_stream* s, std::size_t /*bytes*/, void* userdata) {
        auto& d = *static_cast<Impl*>(userdata);
        while (pa_stream_readable_size(s) > 0) {
            pa_usec_t latency = 0;
            int negative = 0;
            const bool haveLatency = pa_stream_get_latency(s, &latency, &negative) == 0;
            const double now = monotonicMs();
            const void* data = nullptr;
            std::size_t bytes = 0;
            if (pa_stream_peek(s, &data, &bytes) < 0 || bytes == 0) {
                return;
            }
            const auto count = static_cast<std::int64_t>(bytes / (kChannels * sizeof(float)));
            std::int64_t first = 0;
            {
                std::lock_guard<std::mutex> lock(d.mutex);
                first = d.frames;
                d.frames += count;
            }
            Read read;
            read.nowMs = now;
            read.arrival = now - static_cast<double>(first + count) * 1000.0 / kRate;
            read.haveLatency = haveLatency;
            read.latency = latency;
            read.negative = negative;
            read.first = first;
            read.count = count;
            read.hole = data == nullptr;
            if (data) {
                const auto* samples = static_cast<const float*>(data);
                read.samples.assign(samples, samples + count * kChannels);
            }
            d.waiting.push_back(std::move(read));
            pa_stream_drop(s);
            d.settleReads(now, false);
        }
    }

    static void onOverflow(pa_stream* /*s*/, void* userdata) {
        auto& d = *static_cast<Impl*>(userdata);
        // Data was dropped: the frame count no longer follows the clock.
        d.settleReads(monotonicMs(), true);
        d.arrivals.clear();
        {
            std::lock_guard<std::mutex> lock(d.mutex);
            ++d.overflows;
        }
        d.event(MonitorEvent::Kind::Overflow, monotonicMs());
    }

    static void onServerInfo(pa_context* /*c*/, const pa_server_info* info, void* userdata) {
        auto& d = *static_cast<Impl*>(userdata);
        if (info) {
            std::lock_guard<std::mutex> lock(d.mutex);
            d.serverName = std::string(info->server_name ? info->server_name : "?") + " " +
                           (info->server_version ? info->server_version : "");
        }
        pa_threaded_mainloop_signal(d.loop, 0);
    }

    static void onState(pa_context* /*c*/, void* userdata) {
        pa_threaded_mainloop_signal(static_cast<Impl*>(userdata)->loop, 0);
    }
    static void onStreamState(pa_stream* /*s*/, void* userdata) {
        pa_threaded_mainloop_signal(static_cast<Impl*>(userdata)->loop, 0);
    }

    std::string contextError() const {
        return pa_strerror(pa_context_errno(context));
    }

    bool connect(std::string& error) {
        toneCoefficient = 2.0 * std::cos(2.0 * std::numbers::pi * options.toneHz / kRate);
        hannSum = 0;
        for (int i = 0; i < kToneWindow; ++i) {
            hann[static_cast<std::size_t>(i)] = static_cast<float>(
                0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (i + 0.5) / kToneWindow));
            hannSum += hann[static_cast<std::size_t>(i)];
        }
        loop = pa_threaded_mainloop_new();
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "sylvaro-bench monitor");
        pa_context_set_state_callback(context, onState, this);
        pa_threaded_mainloop_lock(loop);
        pa_threaded_mainloop_start(loop);
        const char* server = options.server.empty() ? nullptr : options.server.c_str();
        if (pa_context_connect(context, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            error = "cannot connect to the sound server: " + contextError();
            pa_threaded_mainloop_unlock(loop);
            return false;
        }
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) {
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) {
                error = "the sound server did not answer: " + contextError();
                pa_threaded_mainloop_unlock(loop);
                return false;
            }
            pa_threaded_mainloop_wait(loop);
        }
        if (pa_operation* op = pa_context_get_server_info(context, onServerInfo, this)) {
            while (pa_operation_get_state(op) == PA_OPERATION_RUNNING) {
                pa_threaded_mainloop_wait(loop);
            }
            pa_operation_unref(op);
        }
        pipeWire = serverName.find("PipeWire") != std::string::npos;
        // The last few seconds of blocks hold a prompt one, and follow a
        // timeline that slipped (a late graph cycle on a loaded machine).
        envelopeMs = 3000.0;
        if (pipeWire) {
            pollBlock();
            blockTimer = pa_context_rttime_new(context, pa_rtclock_now() + PA_USEC_PER_SEC,
                                               onBlockTimer, this);
        }
        const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, kRate, kChannels};
        stream = pa_stream_new(context, "monitor", &format, nullptr);
        pa_stream_set_state_callback(stream, onStreamState, this);
        pa_stream_set_read_callback(stream, onRead, this);
        pa_stream_set_overflow_callback(stream, onOverflow, this);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<std::uint32_t>(-1);
        attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
        const int fragment =
            options.fragmentFrames > 0 ? options.fragmentFrames : pipeWire ? kMaxBlock : kPulseFragment;
        attr.fragsize = static_cast<std::uint32_t>(fragment * pa_frame_size(&format));
        std::string source = options.source;
        if (source.empty()) {
            const char* env = std::getenv("PULSE_SOURCE");
            source = env && *env ? env : "@DEFAULT_MONITOR@";
        }
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_record(stream, source.c_str(), &attr, flags) < 0) {
            error = "cannot record " + source + ": " + contextError();
            pa_threaded_mainloop_unlock(loop);
            return false;
        }
        for (;;) {
            const pa_stream_state_t state = pa_stream_get_state(stream);
            if (state == PA_STREAM_READY) {
                break;
            }
            if (!PA_STREAM_IS_GOOD(state)) {
                error = "cannot record " + source + ": " + contextError();
                pa_threaded_mainloop_unlock(loop);
                return false;
            }
            pa_threaded_mainloop_wait(loop);
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            const char* name = pa_stream_get_device_name(stream);
            sourceName = name ? name : source;
        }
        pa_threaded_mainloop_unlock(loop);
        return true;
    }

    void disconnect() {
        if (!loop) {
            return;
        }
        pa_threaded_mainloop_lock(loop);
        settleReads(monotonicMs(), true);
        if (blockTimer) {
            pa_threaded_mainloop_get_api(loop)->time_free(blockTimer);
            blockTimer = nullptr;
        }
        if (stream) {
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
            stream = nullptr;
        }
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
            context = nullptr;
        }
        pa_threaded_mainloop_unlock(loop);
        pa_threaded_mainloop_stop(loop);
        pa_threaded_mainloop_free(loop);
        loop = nullptr;
    }
};

MonitorCapture::MonitorCapture() : m_impl(std::make_unique<Impl>()) {}

MonitorCapture::~MonitorCapture() {
    stop();
}

bool MonitorCapture::start(const Options& options, std::string& error) {
    stop();
    m_impl = std::make_unique<Impl>();
    m_impl->options = options;
    if (!m_impl->connect(error)) {
        stop();
        return false;
    }
    // Levels start with the first whole millisecond.
    for (int i = 0; i < 300; ++i) {
        {
            std::lock_guard<std::mutex> lock(m_impl->mutex);
            if (!m_impl->levels.empty()) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    error = "the monitor delivered no samples within 3 s";
    stop();
    return false;
}

void MonitorCapture::stop() {
    if (m_impl) {
        m_impl->disconnect();
    }
}

std::vector<MonitorLevel> MonitorCapture::levels(double fromMs, double toMs) const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    std::vector<MonitorLevel> out;
    for (const MonitorLevel& level : m_impl->levels) {
        if (level.timeMs >= fromMs && level.timeMs <= toMs) {
            out.push_back(level);
        }
    }
    return out;
}

std::vector<MonitorEvent> MonitorCapture::events() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->events;
}

double MonitorCapture::latencyMs() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->latencyMs;
}

double MonitorCapture::reportedTimingOffsetMs() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return median(std::vector<double>(m_impl->reported.begin(), m_impl->reported.end()));
}

std::int64_t MonitorCapture::framesCaptured() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->frames;
}

int MonitorCapture::graphBlockFrames() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->blockFrames;
}

long MonitorCapture::overflows() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->overflows;
}

std::string MonitorCapture::serverName() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->serverName;
}

std::string MonitorCapture::sourceName() const {
    std::lock_guard<std::mutex> lock(m_impl->mutex);
    return m_impl->sourceName;
}

} // namespace sylvaro::bench
