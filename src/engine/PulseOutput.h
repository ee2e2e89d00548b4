#pragma once

#include "AudioOutput.h"
#include "Mixer.h"

#include <pulse/pulseaudio.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>


namespace sylvaro::engine {

// Sound output through a PulseAudio-protocol server (PulseAudio, or PipeWire's
// PulseAudio service): one playback stream that keeps two seconds in the
// server, so the program sleeps while the soundscape plays. Every change to
// the mix is heard within a few tens of milliseconds all the same: the output
// asks the server where playback is, takes the mixer back to just after that
// frame and writes everything from there again over what it had written.
//
// Threads: the public methods are for the UI thread. The stream's callbacks
// run on libpulse's own thread, which renders the mixer; the UI thread holds
// that thread's lock only to install or free a voice, and tells it of a
// change without any lock.
class PulseOutput final : public AudioOutput, private AudioLock, private MixListener {
public:
    PulseOutput();
    ~PulseOutput() override;
    PulseOutput(const PulseOutput&) = delete;
    PulseOutput& operator=(const PulseOutput&) = delete;

    // Whether a PulseAudio-protocol server accepts a connection now (none is
    // started for the asking).
    static bool serverAnswers();

    std::vector<std::string> enumerate() override;
    bool open(int index, Mixer& mixer, std::string& error) override;
    void close() override;
    bool isOpen() const override { return m_stream != nullptr; }
    bool isLost() override;
    std::string openDescription() const override { return m_openDescription; }
    // On PipeWire, quick changes run the stream in small graph blocks (a
    // change heard within about 45 ms, the daemons waking ~190 times a
    // second) and slow ones in large blocks (about 100 ms, ~47 wake-ups).
    // PulseAudio rewinds its sink either way.
    void setQuickChanges(bool quick) override;

    static constexpr const char* kDefaultDevice = "Default output device";
    // The server holds this much ahead of what is heard.
    static constexpr int kBufferMs = 2000;

    // What the stream has done since it was opened; for benchmarks.
    struct Stats {
        std::uint64_t requests = 0;        // the server asked for more
        std::uint64_t framesWritten = 0;   // in answer to those
        std::uint64_t rewrites = 0;        // changes written again
        std::uint64_t framesRewritten = 0; // by those
        std::uint64_t underflows = 0;      // the server ran dry
        // The last rewrite: from the change to the first frame replaced
        // being heard, as the stream's timing tells it.
        double lastChangeToSoundMs = 0;
    };
    Stats stats() const;
    // The server is PipeWire's PulseAudio service.
    bool onPipeWire() const { return m_onPipeWire; }

private:
    struct Sink {
        std::string name;
        std::string description;
    };

    bool connect(std::string& error);
    void disconnect();
    // Waits on the loop (its lock held) until `done` or the time-out.
    template <typename Done> bool waitFor(Done done, int timeoutMs);
    void lock() override;
    void unlock() override;
    void mixChanged() override;

    // libpulse's thread.
    void fill(std::size_t bytes);
    bool writeFrames(std::int64_t frames, std::int64_t seekBytes);
    void rewrite();
    void applyBlock();
    int blockFrames() const;
    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    static void onWrite(pa_stream* stream, std::size_t bytes, void* self);
    static void onUnderflow(pa_stream* stream, void* self);
    static void onTiming(pa_stream* stream, int success, void* self);
    static void onWake(pa_mainloop_api* api, pa_io_event* event, int fd, pa_io_event_flags_t flags,
                       void* self);
    static void onCoalesced(pa_mainloop_api* api, pa_time_event* event, const struct timeval* tv,
                            void* self);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    Mixer* m_mixer = nullptr;
    bool m_onPipeWire = false;
    std::vector<Sink> m_sinks; // as enumerate() last listed them, after the default
    std::string m_openDescription;
    // A change was made and not yet written again.
    std::atomic<bool> m_changePending{false};
    int m_wakeFd = -1;
    pa_io_event* m_wakeEvent = nullptr;
    pa_time_event* m_coalesce = nullptr;
    pa_operation* m_timing = nullptr; // the question where playback is
    // When the oldest change not yet written came (monotonic ns).
    std::atomic<std::int64_t> m_changeNs{0};
    int m_marginFrames = 0;
    double m_renderNsPerFrame = 0; // rendering and writing, the slowest lately
    // Small blocks wanted (any thread) and asked of the server (libpulse's
    // thread); rewrites allow for large blocks until the server has had time
    // to switch.
    std::atomic<bool> m_quickWanted{true};
    bool m_quickAsked = true;
    std::int64_t m_quickFromNs = 0;
    std::int64_t m_streamStart = 0; // the mixer's frame at the stream's first byte
    // What the mixer renders into and the server is given, sized at open().
    std::vector<float> m_block;
    std::vector<std::int16_t> m_samples;
    std::atomic<bool> m_failed{false};
    Stats m_stats; // libpulse's thread, read under its lock
};

} // namespace sylvaro::engine
