#include "PulseOutput.h"

#include "DeviceSamples.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/eventfd.h>
#include <unistd.h>

namespace sylvaro::engine {

namespace {

// How long a server gets to answer a connection or a question.
constexpr int kAnswerMs = 3000;
// PulseAudio asks for more when a quarter of the buffer has been played: two
// wake-ups a second, and its sink then keeps about the buffer less two
// requests (1 s) in its own buffer, which a rewrite reaches by rewinding it.
constexpr int kPulseRequestMs = 500;
// PipeWire's PulseAudio service runs the stream in graph blocks of the buffer
// less two requests, and what it has taken from the stream cannot be written
// again. It counts only its own queue as latency, so a rewrite there starts
// from what it has taken, one block later: the next block may be taken while
// the rewrite is on its way. With blocks of 512 frames (11 ms at 48 kHz) a
// change is heard within about 45 ms; 1024 would let the daemons wake half as
// often, but a change would then take up to 70 ms. Nobody hears when a random
// sound or a fade begins to the block, so while nobody is at the console the
// stream asks for the largest block the graph runs (2048 frames, 43 ms) and
// the daemons wake a quarter as often; the block's length is the stream's
// "node.latency", which the service passes on to the graph at once.
constexpr int kPipeWireBlockFrames = 512;
constexpr int kPipeWireLargeBlockFrames = 2048;
constexpr int kPipeWireMarginMs = 3;
// After asking for small blocks, rewrites allow for large ones this long: the
// question's way to the server and the graph's last large block.
constexpr std::int64_t kBlockSwitchNs = 100'000'000;
// A rewrite on PulseAudio starts this far after the frame playing, so the
// server has time to take it in before that frame is due; it rewinds its
// sink for the rest.
constexpr int kPulseMarginMs = 12;
// Changes arriving within this long of the first are written in one rewrite.
constexpr int kCoalesceUs = 2000;
// The mixer keeps its state this far back: the buffer, what the server's sink
// holds beyond it, and room to spare.
constexpr int kRewindMs = 4000;
// However slow the machine, a rewrite starts no later than this after the
// frame playing for its own rendering: a change is still heard in time.
constexpr double kMostRenderingMs = 40;
// A rewind renders at most this much again to reach its target (the mixer
// keeps a moment this often).
constexpr int kCatchUpFrames = 4096;
// The mixer renders at most this many frames at a time into the stream: one
// of libpulse's memory blocks (64 KiB) holds as many. Every piece written is a
// message the server wakes for, so the pieces are as large as libpulse lends.
constexpr int kChunkFrames = 16384;
constexpr int kChannels = 2;
constexpr int kBytesPerFrame = kChannels * static_cast<int>(sizeof(std::int16_t));

std::int64_t nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

std::int64_t framesOf(pa_usec_t usec, int rate) {
    return static_cast<std::int64_t>(usec * static_cast<pa_usec_t>(rate) / PA_USEC_PER_SEC);
}

// Signals a wait on the loop when its time is up.
void onTimeOut(pa_mainloop_api* /*api*/, pa_time_event* /*event*/, const struct timeval* /*tv*/,
               void* userdata) {
    auto* flag = static_cast<std::pair<pa_threaded_mainloop*, bool>*>(userdata);
    flag->second = true;
    pa_threaded_mainloop_signal(flag->first, 0);
}

} // namespace

PulseOutput::PulseOutput() = default;

PulseOutput::~PulseOutput() {
    close();
    disconnect();
    if (m_loop) {
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
    }
    if (m_wakeFd >= 0) {
        ::close(m_wakeFd);
    }
}

bool PulseOutput::serverAnswers() {
    PulseOutput probe;
    std::string error;
    return probe.connect(error);
}

template <typename Done> bool PulseOutput::waitFor(Done done, int timeoutMs) {
    std::pair<pa_threaded_mainloop*, bool> timedOut{m_loop, false};
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    timeval deadline{};
    pa_timeval_add(pa_gettimeofday(&deadline), static_cast<pa_usec_t>(timeoutMs) * PA_USEC_PER_MSEC);
    pa_time_event* timer = api->time_new(api, &deadline, &onTimeOut, &timedOut);
    bool ok = done();
    while (!ok && !timedOut.second) {
        pa_threaded_mainloop_wait(m_loop);
        ok = done();
    }
    api->time_free(timer);
    return ok;
}

bool PulseOutput::connect(std::string& error) {
    if (!m_loop) {
        m_loop = pa_threaded_mainloop_new();
        if (m_loop) {
            // Before the start: on a running loop libpulse renames the caller.
            pa_threaded_mainloop_set_name(m_loop, "sound-server");
        }
        if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0) {
            error = "the sound server's event loop could not start";
            if (m_loop) {
                pa_threaded_mainloop_free(m_loop);
                m_loop = nullptr;
            }
            return false;
        }
    }
    pa_threaded_mainloop_lock(m_loop);
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY) {
        pa_threaded_mainloop_unlock(m_loop);
        return true;
    }
    pa_threaded_mainloop_unlock(m_loop);
    // A context that failed (the server went away) cannot be used again.
    disconnect();

    pa_threaded_mainloop_lock(m_loop);
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Sylvaro Lite");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "sylvaro-lite");
    m_context = pa_context_new_with_proplist(pa_threaded_mainloop_get_api(m_loop), "Sylvaro Lite",
                                             props);
    pa_proplist_free(props);
    bool ready = false;
    if (m_context) {
        pa_context_set_state_callback(m_context, &PulseOutput::onContextState, this);
        if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
            waitFor(
                [this] {
                    const pa_context_state_t s = pa_context_get_state(m_context);
                    return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
                },
                kAnswerMs);
            ready = pa_context_get_state(m_context) == PA_CONTEXT_READY;
        }
        if (!ready) {
            const int code = pa_context_errno(m_context);
            error = code != 0 ? pa_strerror(code) : "the sound server did not answer";
        }
    } else {
        error = "could not talk to a sound server";
    }
    if (ready) {
        // PipeWire's PulseAudio service says so in its name.
        struct Asked {
            PulseOutput* self;
            bool done = false;
            bool pipeWire = false;
        } asked{this};
        pa_operation* op = pa_context_get_server_info(
            m_context,
            [](pa_context*, const pa_server_info* info, void* userdata) {
                auto* a = static_cast<Asked*>(userdata);
                a->pipeWire = info && info->server_name &&
                              std::strstr(info->server_name, "PipeWire") != nullptr;
                a->done = true;
                pa_threaded_mainloop_signal(a->self->m_loop, 0);
            },
            &asked);
        if (op) {
            waitFor([&asked] { return asked.done; }, kAnswerMs);
            pa_operation_cancel(op);
            pa_operation_unref(op);
        }
        m_onPipeWire = asked.pipeWire;
        m_failed = false;
    }
    pa_threaded_mainloop_unlock(m_loop);
    if (!ready) {
        disconnect();
    }
    return ready;
}

void PulseOutput::disconnect() {
    if (!m_loop || !m_context) {
        return;
    }
    pa_threaded_mainloop_lock(m_loop);
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
    pa_threaded_mainloop_unlock(m_loop);
}

std::vector<std::string> PulseOutput::enumerate() {
    m_sinks.clear();
    std::vector<std::string> descriptions;
    std::string error;
    if (!connect(error)) {
        return descriptions;
    }
    struct Listed {
        PulseOutput* self;
        bool done = false;
    } listed{this};
    pa_threaded_mainloop_lock(m_loop);
    pa_operation* op = pa_context_get_sink_info_list(
        m_context,
        [](pa_context*, const pa_sink_info* info, int eol, void* userdata) {
            auto* l = static_cast<Listed*>(userdata);
            if (eol != 0 || !info) {
                l->done = true;
                pa_threaded_mainloop_signal(l->self->m_loop, 0);
                return;
            }
            l->self->m_sinks.push_back({info->name ? info->name : "",
                                        info->description ? info->description : ""});
        },
        &listed);
    if (op) {
        waitFor([&listed] { return listed.done; }, kAnswerMs);
        pa_operation_cancel(op);
        pa_operation_unref(op);
    }
    pa_threaded_mainloop_unlock(m_loop);
    descriptions.emplace_back(kDefaultDevice);
    for (const Sink& sink : m_sinks) {
        descriptions.push_back(sink.description.empty() ? sink.name : sink.description);
    }
    return descriptions;
}

bool PulseOutput::open(int index, Mixer& mixer, std::string& error) {
    close();
    if (!connect(error)) {
        return false;
    }
    if (index < 0 || index > static_cast<int>(m_sinks.size())) {
        error = "no audio output device";
        return false;
    }
    const int rate = mixer.sampleRate();
    const pa_sample_spec format{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(rate), kChannels};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    const int bufferFrames = rate / 1000 * kBufferMs;
    attr.tlength = static_cast<std::uint32_t>(bufferFrames * kBytesPerFrame);
    const int requestFrames = m_onPipeWire ? (bufferFrames - kPipeWireBlockFrames) / 2
                                           : rate / 1000 * kPulseRequestMs;
    attr.minreq = static_cast<std::uint32_t>(requestFrames * kBytesPerFrame);
    m_marginFrames = rate / 1000 * (m_onPipeWire ? kPipeWireMarginMs : kPulseMarginMs);
    m_quickAsked = true;
    m_quickFromNs = 0;

    if (m_wakeFd < 0) {
        m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (m_wakeFd < 0) {
            error = std::string("no event descriptor: ") + std::strerror(errno);
            return false;
        }
    }
    // Nothing renders the mixer now; from here on it is libpulse's thread.
    m_block.assign(static_cast<std::size_t>(kChunkFrames) * kChannels, 0.0f);
    m_samples.assign(m_block.size(), 0);
    mixer.enableRewind(rate / 1000 * kRewindMs);
    m_mixer = &mixer;
    // The server counts the stream's bytes from here.
    m_streamStart = mixer.frame();
    m_stats = {};
    m_changePending = false;

    pa_threaded_mainloop_lock(m_loop);
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    m_wakeEvent = api->io_new(api, m_wakeFd, PA_IO_EVENT_INPUT, &PulseOutput::onWake, this);
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "music");
    m_stream = pa_stream_new_with_proplist(m_context, "Soundscape", &format, nullptr, props);
    pa_proplist_free(props);
    bool ready = false;
    if (m_stream) {
        pa_stream_set_state_callback(m_stream, &PulseOutput::onStreamState, this);
        pa_stream_set_write_callback(m_stream, &PulseOutput::onWrite, this);
        pa_stream_set_underflow_callback(m_stream, &PulseOutput::onUnderflow, this);
        // No automatic timing updates, no latency adjustment, no early
        // requests: each would have the server wake this program (and
        // itself) many times a second.
        const auto flags =
            static_cast<pa_stream_flags_t>(PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_NOT_MONOTONIC);
        const std::string& sink = index == 0 ? std::string() : m_sinks[index - 1].name;
        if (pa_stream_connect_playback(m_stream, sink.empty() ? nullptr : sink.c_str(), &attr,
                                       flags, nullptr, nullptr) >= 0) {
            waitFor(
                [this] {
                    const pa_stream_state_t s = pa_stream_get_state(m_stream);
                    return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
                },
                kAnswerMs);
            ready = pa_stream_get_state(m_stream) == PA_STREAM_READY;
        }
    }
    if (ready) {
        applyBlock();
    }
    if (!ready) {
        const int code = pa_context_errno(m_context);
        error = code != 0 ? pa_strerror(code) : "the sound server did not open the stream";
    }
    pa_threaded_mainloop_unlock(m_loop);
    if (!ready) {
        close();
        return false;
    }
    mixer.setAudioLock(this);
    mixer.setListener(this);
    m_openDescription = index == 0 ? kDefaultDevice
                                   : (m_sinks[index - 1].description.empty()
                                          ? m_sinks[index - 1].name
                                          : m_sinks[index - 1].description);
    return true;
}

void PulseOutput::close() {
    if (m_mixer) {
        m_mixer->setListener(nullptr);
    }
    if (m_loop) {
        pa_threaded_mainloop_lock(m_loop);
        if (m_timing) {
            pa_operation_cancel(m_timing);
            pa_operation_unref(m_timing);
            m_timing = nullptr;
        }
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
        if (m_coalesce) {
            api->time_free(m_coalesce);
            m_coalesce = nullptr;
        }
        if (m_wakeEvent) {
            api->io_free(m_wakeEvent);
            m_wakeEvent = nullptr;
        }
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, nullptr, nullptr);
            pa_stream_set_write_callback(m_stream, nullptr, nullptr);
            pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
            m_stream = nullptr;
        }
        pa_threaded_mainloop_unlock(m_loop);
    }
    if (m_mixer) {
        // libpulse's thread no longer renders it.
        m_mixer->setAudioLock(nullptr);
        m_mixer->enableRewind(0);
        m_mixer = nullptr;
    }
    m_openDescription.clear();
}

bool PulseOutput::isLost() {
    return m_stream != nullptr && m_failed.load(std::memory_order_acquire);
}

PulseOutput::Stats PulseOutput::stats() const {
    if (!m_loop) {
        return m_stats;
    }
    pa_threaded_mainloop_lock(m_loop);
    const Stats copy = m_stats;
    pa_threaded_mainloop_unlock(m_loop);
    return copy;
}

void PulseOutput::lock() {
    pa_threaded_mainloop_lock(m_loop);
}

void PulseOutput::unlock() {
    pa_threaded_mainloop_unlock(m_loop);
}

// UI thread: the first change since the last rewrite wakes libpulse's thread;
// the rest ride along.
void PulseOutput::mixChanged() {
    if (m_changePending.exchange(true, std::memory_order_acq_rel)) {
        return;
    }
    m_changeNs.store(nowNs(), std::memory_order_relaxed);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

void PulseOutput::setQuickChanges(bool quick) {
    if (m_quickWanted.exchange(quick, std::memory_order_acq_rel) == quick || m_wakeFd < 0) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
}

// ---- libpulse's thread -------------------------------------------------------

// Asks PipeWire's service for the graph block wanted now.
void PulseOutput::applyBlock() {
    const bool quick = m_quickWanted.load(std::memory_order_acquire);
    if (!m_onPipeWire || !m_stream || quick == m_quickAsked) {
        return;
    }
    const int rate = m_mixer ? m_mixer->sampleRate() : 48000;
    char latency[32];
    std::snprintf(latency, sizeof latency, "%d/%d",
                  quick ? kPipeWireBlockFrames : kPipeWireLargeBlockFrames, rate);
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, "node.latency", latency);
    if (pa_operation* op =
            pa_stream_proplist_update(m_stream, PA_UPDATE_REPLACE, props, nullptr, nullptr)) {
        pa_operation_unref(op);
    }
    pa_proplist_free(props);
    m_quickAsked = quick;
    m_quickFromNs = quick ? nowNs() + kBlockSwitchNs : 0;
}

// The graph block a rewrite must leave to PipeWire: what it may be running now.
int PulseOutput::blockFrames() const {
    return m_quickAsked && nowNs() >= m_quickFromNs ? kPipeWireBlockFrames
                                                     : kPipeWireLargeBlockFrames;
}

void PulseOutput::onContextState(pa_context* context, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
        out->m_failed.store(true, std::memory_order_release);
    }
    pa_threaded_mainloop_signal(out->m_loop, 0);
}

void PulseOutput::onStreamState(pa_stream* stream, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        out->m_failed.store(true, std::memory_order_release);
    }
    pa_threaded_mainloop_signal(out->m_loop, 0);
}

void PulseOutput::onWrite(pa_stream* stream, std::size_t bytes, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    if (stream != out->m_stream || !out->m_mixer) {
        return;
    }
    ++out->m_stats.requests;
    const auto frames = static_cast<std::int64_t>(bytes / kBytesPerFrame);
    if (out->writeFrames(frames, 0)) {
        out->m_stats.framesWritten += static_cast<std::uint64_t>(frames);
    }
}

void PulseOutput::onUnderflow(pa_stream* /*stream*/, void* self) {
    // The server ran dry (a starved or suspended machine): it asks for the
    // whole buffer again, which the next request fills at once.
    ++static_cast<PulseOutput*>(self)->m_stats.underflows;
}

// Renders `frames` frames and writes them, the first `seekBytes` from the
// write index (0, or negative to write again over what was written).
bool PulseOutput::writeFrames(std::int64_t frames, std::int64_t seekBytes) {
    const std::int64_t startNs = nowNs();
    const std::int64_t total = frames;
    while (frames > 0) {
        // The samples go straight into libpulse's own memory when it lends
        // some (as much as it will), which saves it a copy of everything
        // written.
        void* lent = nullptr;
        auto lentBytes = static_cast<std::size_t>(-1);
        auto* samples = m_samples.data();
        std::int64_t most = kChunkFrames;
        if (pa_stream_begin_write(m_stream, &lent, &lentBytes) == 0 && lent != nullptr &&
            lentBytes >= static_cast<std::size_t>(kBytesPerFrame)) {
            most = std::min(most, static_cast<std::int64_t>(lentBytes / kBytesPerFrame));
            samples = static_cast<std::int16_t*>(lent);
        } else if (lent != nullptr) {
            pa_stream_cancel_write(m_stream);
        }
        // Pieces of even size: the fewest that fit, and no sliver left to
        // send on its own.
        const std::int64_t pieces = (frames + most - 1) / most;
        const int n = static_cast<int>((frames + pieces - 1) / pieces);
        m_mixer->render(m_block.data(), n);
        toS16(m_block.data(), samples, n * kChannels);
        if (pa_stream_write(m_stream, samples, static_cast<std::size_t>(n) * kBytesPerFrame,
                            nullptr, seekBytes, PA_SEEK_RELATIVE) < 0) {
            // The rest is rendered anyway, so the mixer stays at the write
            // index; a stream that cannot be written to is reported lost.
            m_failed.store(true, std::memory_order_release);
            seekBytes = 0;
        }
        seekBytes = 0;
        frames -= n;
    }
    // How fast this machine renders now, smoothed over the last few writes.
    if (total > 0) {
        const double perFrame = static_cast<double>(nowNs() - startNs) / static_cast<double>(total);
        m_renderNsPerFrame = m_renderNsPerFrame == 0 ? perFrame
                                                     : m_renderNsPerFrame * 0.75 + perFrame * 0.25;
    }
    return !m_failed.load(std::memory_order_relaxed);
}

void PulseOutput::onWake(pa_mainloop_api* /*api*/, pa_io_event* /*event*/, int fd,
                         pa_io_event_flags_t /*flags*/, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = ::read(fd, &count, sizeof count);
    out->applyBlock();
    if (!out->m_context || out->m_coalesce ||
        !out->m_changePending.load(std::memory_order_acquire)) {
        return;
    }
    out->m_coalesce = pa_context_rttime_new(out->m_context, pa_rtclock_now() + kCoalesceUs,
                                            &PulseOutput::onCoalesced, out);
}

void PulseOutput::onCoalesced(pa_mainloop_api* api, pa_time_event* event,
                              const struct timeval* /*tv*/, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    if (out->m_timing || !out->m_stream) {
        // A question is still out: ask again once it is answered.
        pa_context_rttime_restart(out->m_context, event, pa_rtclock_now() + kCoalesceUs);
        return;
    }
    api->time_free(event);
    out->m_coalesce = nullptr;
    // Changes from here on come after the rewrite reads the mixer's requests
    // or wake this thread again.
    out->m_changePending.store(false, std::memory_order_release);
    out->m_timing = pa_stream_update_timing_info(out->m_stream, &PulseOutput::onTiming, out);
}

void PulseOutput::onTiming(pa_stream* stream, int success, void* self) {
    auto* out = static_cast<PulseOutput*>(self);
    if (out->m_timing) {
        pa_operation_unref(out->m_timing);
        out->m_timing = nullptr;
    }
    if (success && stream == out->m_stream && out->m_mixer) {
        out->rewrite();
    }
}

// Everything from just after the frame playing up to the write index is
// rendered again, with the changes in, and written over the old.
void PulseOutput::rewrite() {
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(m_stream, &latency, &negative) < 0) {
        return;
    }
    const int rate = m_mixer->sampleRate();
    const std::int64_t end = m_mixer->frame();
    const std::int64_t queued = negative ? -framesOf(latency, rate) : framesOf(latency, rate);
    std::int64_t playing = end - queued;
    if (m_onPipeWire) {
        // PipeWire's service counts only its own queue as latency, and what
        // it has taken from the stream is gone: a rewrite starts after it.
        if (const pa_timing_info* timing = pa_stream_get_timing_info(m_stream)) {
            playing = std::max(playing, m_streamStart + static_cast<std::int64_t>(
                                                            timing->read_index / kBytesPerFrame));
        }
    }
    m_mixer->settle(playing);
    // What is written here leaves for the server only when this callback
    // returns, all of it rendered: on a slow or busy machine playback moves
    // on meanwhile, so the rewrite starts that much later (half as much
    // again to spare).
    const double renderFrames = static_cast<double>(end - playing + kCatchUpFrames);
    const auto renderingFrames = static_cast<std::int64_t>(
        std::min(1.5 * m_renderNsPerFrame * renderFrames * rate / 1e9, rate / 1000.0 * kMostRenderingMs));
    const std::int64_t from = m_mixer->rewind(playing + m_marginFrames + renderingFrames +
                                              (m_onPipeWire ? blockFrames() : 0));
    if (from < end) {
        writeFrames(end - from, -(end - from) * kBytesPerFrame);
        ++m_stats.rewrites;
        m_stats.framesRewritten += static_cast<std::uint64_t>(end - from);
    }
    m_stats.lastChangeToSoundMs =
        static_cast<double>(nowNs() - m_changeNs.load(std::memory_order_relaxed)) / 1e6 +
        static_cast<double>(std::max<std::int64_t>(from - playing, 0)) * 1000.0 / rate;
}

} // namespace sylvaro::engine
