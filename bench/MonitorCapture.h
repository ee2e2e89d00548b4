#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sylvaro::bench {

// Milliseconds on CLOCK_MONOTONIC: the clock every time of the benchmarks
// is on (libpulse's own clock too).
double monotonicMs();

// One millisecond of the monitor, timed when the sink played it.
struct MonitorLevel {
    double timeMs = 0;    // the middle of the millisecond
    float rmsDb = -120;   // both channels' RMS, dBFS (-120 for digital silence)
    float toneDb = -120;  // the peak level of the probe tone, over the last 4 ms
    bool silent = false;  // every sample of both channels is zero
};

// What the level detector saw: silence after sound and sound after silence
// (exact), the probe tone coming and going (thresholds), and data lost by
// the capture itself.
struct MonitorEvent {
    enum class Kind { Sound, Silence, ToneOn, ToneOff, Overflow };
    Kind kind;
    double timeMs;
};

const char* eventName(MonitorEvent::Kind kind);

// Records a PulseAudio-protocol source (a sink's monitor) through libpulse on
// its own threaded main loop, and times each sample by when the sink
// rendered it: the earliest arrival of the samples among the reads around
// it, at the sink's rate (see timeOldest). On PipeWire it asks for blocks of
// the graph's largest block, so it never makes the graph run in smaller
// ones; on PulseAudio for 10 ms blocks, which also bounds the null sink's
// latency to 10 ms (a sink that renders further ahead hands its monitor the
// samples before their time). Levels and events reach the accessors a
// quarter of a second and a block late. Keeps a level per millisecond for
// the last `historySeconds` and every event since start(). start() and
// stop() from one thread; the accessors from any thread.
class MonitorCapture {
public:
    struct Options {
        std::string server;        // empty: PULSE_SERVER or the default
        std::string source;        // empty: PULSE_SOURCE, else @DEFAULT_MONITOR@
        double toneHz = 1000;      // the probe tone's frequency
        float toneOnDb = -30;      // the tone counts as on above this...
        float toneOffDb = -40;     // ...and as off again below this
        int silenceMs = 2;         // digital silence this long is a Silence event
        int fragmentFrames = 0;    // the capture's block; 0: as suits the server
        int historySeconds = 120;  // levels kept
    };

    MonitorCapture();
    ~MonitorCapture();
    MonitorCapture(const MonitorCapture&) = delete;
    MonitorCapture& operator=(const MonitorCapture&) = delete;

    // Connects and waits until the first timed samples have arrived.
    bool start(const Options& options, std::string& error);
    void stop();

    std::vector<MonitorLevel> levels(double fromMs, double toMs) const;
    std::vector<MonitorEvent> events() const;
    // The capture stream's latency as the server reports it at the last
    // read (ms), and how far the times it implies lie from the ones used
    // (median over the last reads; a few ms on PulseAudio).
    double latencyMs() const;
    double reportedTimingOffsetMs() const;
    std::int64_t framesCaptured() const;
    // PipeWire's graph block in frames as last worked out; 0 on PulseAudio.
    int graphBlockFrames() const;
    long overflows() const;
    std::string serverName() const;
    std::string sourceName() const;

    static constexpr int kRate = 48000;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Median of `values` (0 when empty).
double median(std::vector<double> values);

} // namespace sylvaro::bench
