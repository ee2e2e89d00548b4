// Records a sink's monitor and prints, as they happen, the moments the sink
// played a change: sound after silence, silence after sound, a probe tone
// coming and going. Times are CLOCK_MONOTONIC milliseconds, the clock other
// programs can stamp their changes with, so any player can be timed from
// outside.
//
//   monitor-capture [--seconds N] [--source NAME] [--tone HZ] [--on-db DB]
//                   [--off-db DB] [--silence-ms N] [--fragment FRAMES] [--levels]
//
// The server is PULSE_SERVER's (or the default); the source PULSE_SOURCE's,
// else the default sink's monitor. Prints "READY <pid> ..." once recording,
// then one "EVENT <kind> <ms>" line per change (--levels: also one "LEVEL
// <ms> <rms dB> <tone dB>" line per millisecond), and a SUMMARY at the end.

#include "CommandLine.h"
#include "MonitorCapture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>

using sylvaro::bench::MonitorCapture;

namespace {

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: monitor-capture [--seconds N] [--source NAME] [--tone HZ] "
                         "[--on-db DB] [--off-db DB] [--silence-ms N] [--fragment FRAMES] "
                         "[--levels]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    MonitorCapture::Options options;
    double seconds = 30;
    bool printLevels = false;
    sylvaro::bench::CommandLine line(argc, argv, usage);
    while (line.next()) {
        const std::string arg = line.option();
        if (arg == "--seconds") {
            seconds = std::atof(line.value());
        } else if (arg == "--source") {
            options.source = line.value();
        } else if (arg == "--tone") {
            options.toneHz = std::atof(line.value());
        } else if (arg == "--on-db") {
            options.toneOnDb = static_cast<float>(std::atof(line.value()));
        } else if (arg == "--off-db") {
            options.toneOffDb = static_cast<float>(std::atof(line.value()));
        } else if (arg == "--silence-ms") {
            options.silenceMs = std::atoi(line.value());
        } else if (arg == "--fragment") {
            options.fragmentFrames = std::atoi(line.value());
        } else if (arg == "--levels") {
            printLevels = true;
        } else {
            usage();
        }
    }
    options.historySeconds = printLevels ? 10 : 1;

    MonitorCapture capture;
    std::string error;
    if (!capture.start(options, error)) {
        sylvaro::bench::fail("monitor-capture", error);
    }
    std::printf("READY %d server=\"%s\" source=%s\n", static_cast<int>(getpid()),
                capture.serverName().c_str(), capture.sourceName().c_str());
    std::fflush(stdout);

    const double end = sylvaro::bench::monotonicMs() + seconds * 1000.0;
    std::size_t printed = 0;
    double levelsUpTo = 0;
    for (;;) {
        const double now = sylvaro::bench::monotonicMs();
        const auto events = capture.events();
        for (; printed < events.size(); ++printed) {
            std::printf("EVENT %s %.2f\n", sylvaro::bench::eventName(events[printed].kind),
                        events[printed].timeMs);
        }
        if (printLevels) {
            for (const auto& level : capture.levels(levelsUpTo + 1e-6, now + 1e6)) {
                std::printf("LEVEL %.2f %.1f %.1f\n", level.timeMs, level.rmsDb, level.toneDb);
                levelsUpTo = level.timeMs;
            }
        }
        std::fflush(stdout);
        if (now >= end) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::printf("SUMMARY frames=%lld capture_latency_ms=%.1f server_timing_offset_ms=%.2f "
                "graph_block=%d overflows=%ld\n",
                static_cast<long long>(capture.framesCaptured()), capture.latencyMs(),
                capture.reportedTimingOffsetMs(), capture.graphBlockFrames(), capture.overflows());
    capture.stop();
    return 0;
}
