// How long a change takes to be heard: the engine plays the 15 backgrounds
// as the console does, then changes something at random moments, and the
// sink's monitor, recorded beside it, tells when each change was played.
//
//   rewrite-latency [--output sdl|pulse] [--changes N] [--change tone|master]
//                   [--background-db DB] [--no-backgrounds] [--randoms]
//                   [--seed N] [--gap-ms MIN MAX] [--goal-ms MS]
//                   [--program-dir DIR] [--away]
//
// tone (default): a 1 kHz tone at -12 dBFS starts and stops over the
//   backgrounds; the monitor's 1 kHz band tells when (a step in loudness
//   under other sound).
// master: the master volume goes to silence (-10000) and back over the
//   engine's shortest glide; the monitor's level tells when.
// --randoms: the 40 random sounds fire meanwhile, each every 10 s on
//   average, at random places in the stereo field (a change each, too).
// --away: nobody at the console, so the output may take its slower way
//   (larger blocks on PipeWire); by default someone is.
// Each change is timed from just before the engine call to the moment the
// monitor's level crossed the middle (in dB) between its level before and
// after. Goal: every change heard within 60 ms. Beside it, through the
// program's own libpulse output, what the output reckons from the stream's
// timing for its last rewrite before the next change (with --randoms that
// may be a random sound's).
//
// The server is PULSE_SERVER's (start one with scripts/private-pulseaudio.sh
// or bench/private-pipewire.sh); the output is what the program would pick
// unless --output says.

#include "BenchOutput.h"
#include "CommandLine.h"
#include "MonitorCapture.h"
#include "RealTime.h"
#include "console/Catalogue.h"
#include "engine/SoundEngine.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace sylvaro;

namespace {

constexpr int kRate = 48000;
constexpr double kToneHz = 1000.0;
constexpr float kToneAmplitude = 0.25f; // -12 dBFS
// A change must move the level this far for its moment to be found.
constexpr double kMinStepDb = 15.0;
constexpr double kRandomMeanSecs = 10.0;
// A change found this long before it was made says the clock slipped.
constexpr double kEarliestMs = -2.0;
// A change's level holds at least this long (the probe's changes are 700 ms
// or more apart).
constexpr double kHoldMs = 20.0;

struct Settings {
    std::string output;
    int changes = 20;
    bool master = false;
    int backgroundVolume = -1000;
    bool backgrounds = true;
    bool randoms = false;
    bool away = false;
    unsigned seed = 1;
    double minGapMs = 700;
    double maxGapMs = 1300;
    double goalMs = 60;
    std::string programDir = SYLVARO_PROGRAM_DIR;
};

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: rewrite-latency [--output %s] [--changes N] [--change tone|master]\n"
                 "         [--background-db DB] [--no-backgrounds] [--randoms] [--away] [--seed N]\n"
                 "         [--gap-ms MIN MAX] [--goal-ms MS] [--program-dir DIR]\n",
                 bench::outputKinds());
    std::exit(2);
}

Settings parse(int argc, char** argv) {
    Settings s;
    bench::CommandLine line(argc, argv, usage);
    while (line.next()) {
        const std::string arg = line.option();
        if (arg == "--output") {
            s.output = line.value();
        } else if (arg == "--changes") {
            s.changes = std::max(2, std::atoi(line.value()));
        } else if (arg == "--change") {
            const std::string kind = line.value();
            if (kind != "tone" && kind != "master") {
                usage();
            }
            s.master = kind == "master";
        } else if (arg == "--background-db") {
            s.backgroundVolume = static_cast<int>(std::lround(std::atof(line.value()) * 100));
        } else if (arg == "--no-backgrounds") {
            s.backgrounds = false;
        } else if (arg == "--randoms") {
            s.randoms = true;
        } else if (arg == "--away") {
            s.away = true;
        } else if (arg == "--seed") {
            s.seed = static_cast<unsigned>(std::strtoul(line.value(), nullptr, 10));
        } else if (arg == "--gap-ms") {
            s.minGapMs = std::atof(line.value());
            s.maxGapMs = std::atof(line.value());
            if (s.minGapMs < 300 || s.maxGapMs < s.minGapMs) {
                usage();
            }
        } else if (arg == "--goal-ms") {
            s.goalMs = std::atof(line.value());
        } else if (arg == "--program-dir") {
            s.programDir = line.value();
        } else {
            usage();
        }
    }
    return s;
}

[[noreturn]] void fail(const std::string& what) {
    bench::fail("rewrite-latency", what);
}

// One second of the probe tone, stereo at the engine's rate: a whole number
// of periods, so it loops without a seam.
engine::PcmPtr probeTone() {
    auto pcm = std::make_shared<engine::PcmData>();
    pcm->sampleRate = kRate;
    pcm->channels = 2;
    pcm->frames = kRate;
    pcm->f32.resize(2 * static_cast<std::size_t>(kRate));
    for (int i = 0; i < kRate; ++i) {
        const auto x = static_cast<float>(
            kToneAmplitude * std::sin(2.0 * std::numbers::pi * kToneHz * i / kRate));
        pcm->f32[2 * static_cast<std::size_t>(i)] = x;
        pcm->f32[2 * static_cast<std::size_t>(i) + 1] = x;
    }
    return pcm;
}

std::vector<engine::Buffer> catalogueBuffers(engine::SoundEngine& engine, const Settings& s,
                                             console::EntryKind kind) {
    std::vector<engine::Buffer> buffers;
    for (const console::CatalogueEntry& entry : console::catalogue::entries()) {
        if (entry.kind != kind) {
            continue;
        }
        std::string error;
        const engine::Buffer buffer =
            engine.createBuffer(s.programDir + "/" + std::string(entry.file), error);
        if (!buffer.valid()) {
            fail(std::string(entry.file) + ": " + error);
        }
        buffers.push_back(buffer);
    }
    return buffers;
}

struct Change {
    double atMs = 0;
    bool on = false; // the tone starts, or the master volume comes back
    // The program's own libpulse output's account of its last rewrite before
    // the next change (-1 for SDL's output).
    double outputMs = -1;
};

struct Result {
    bool found = false;
    double latencyMs = 0;
    double beforeDb = 0;
    double afterDb = 0;
};

double level(const bench::MonitorLevel& l, bool master) {
    return master ? l.rmsDb : l.toneDb;
}

double medianLevel(const std::vector<bench::MonitorLevel>& levels, double from, double to,
                   bool master) {
    std::vector<double> v;
    for (const auto& l : levels) {
        if (l.timeMs >= from && l.timeMs <= to) {
            v.push_back(level(l, master));
        }
    }
    return v.empty() ? std::nan("") : bench::median(v);
}

// When change `i` was heard: the first millisecond after it whose level is
// past the middle between the levels before it and before the next change,
// and stays there for kHoldMs. A random sound with some of the probe's
// frequency in it lifts the tone's level for a moment only; the change holds.
Result measure(const std::vector<bench::MonitorLevel>& levels, const std::vector<Change>& changes,
               std::size_t i, double endMs, bool master) {
    const double at = changes[i].atMs;
    const double next = i + 1 < changes.size() ? changes[i + 1].atMs : endMs;
    Result r;
    r.beforeDb = medianLevel(levels, at - 200, at - 5, master);
    r.afterDb = medianLevel(levels, next - 200, next - 5, master);
    if (!(std::abs(r.afterDb - r.beforeDb) >= kMinStepDb)) {
        return r;
    }
    const double middle = (r.beforeDb + r.afterDb) / 2;
    const bool rising = r.afterDb > r.beforeDb;
    const auto past = [&](const bench::MonitorLevel& l) {
        return rising ? level(l, master) >= middle : level(l, master) <= middle;
    };
    for (auto l = levels.begin(); l != levels.end(); ++l) {
        if (l->timeMs < at - 30 || l->timeMs > next || !past(*l)) {
            continue;
        }
        const auto held = std::find_if(l, levels.end(), [&](const bench::MonitorLevel& m) {
            return m.timeMs > l->timeMs + kHoldMs || !past(m);
        });
        if (held != levels.end() && held->timeMs > l->timeMs + kHoldMs) {
            r.found = true;
            r.latencyMs = l->timeMs - at;
            break;
        }
    }
    return r;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Settings s = parse(argc, argv);

    std::string error;
    bench::MonitorCapture capture;
    bench::MonitorCapture::Options captureOptions;
    captureOptions.toneHz = kToneHz;
    captureOptions.historySeconds =
        static_cast<int>(s.changes * s.maxGapMs / 1000.0) + 30;
    if (!capture.start(captureOptions, error)) {
        fail(error);
    }

    std::unique_ptr<engine::AudioOutput> output = bench::makeOutput(s.output, error);
    if (!output) {
        fail(error);
    }
    const std::string outputKind = bench::outputName(*output);
    engine::SoundEngine engine(*output);
    if (engine.enumerateDevices().empty()) {
        fail("no output device");
    }
    if (!engine.openDevice(0, error)) {
        fail("cannot open the output: " + error);
    }
    output->setQuickChanges(!s.away);

    std::mt19937 random(s.seed);
    if (s.backgrounds) {
        for (const engine::Buffer b :
             catalogueBuffers(engine, s, console::EntryKind::Background)) {
            engine.setVolume(b, s.backgroundVolume);
            engine.play(b, true);
        }
    }
    // The random sounds, each firing after exponentially distributed waits.
    std::vector<engine::Buffer> randoms;
    std::vector<double> nextFire;
    long fired = 0;
    std::exponential_distribution<double> wait(1.0 / (kRandomMeanSecs * 1000.0));
    std::uniform_int_distribution<int> pan(-3000, 1999);
    QTimer firing;
    if (s.randoms) {
        randoms = catalogueBuffers(engine, s, console::EntryKind::Random);
        const double now = bench::monotonicMs();
        for (const engine::Buffer b : randoms) {
            engine.setVolume(b, s.backgroundVolume);
            nextFire.push_back(now + wait(random));
        }
        firing.setTimerType(Qt::PreciseTimer);
        QObject::connect(&firing, &QTimer::timeout, &app, [&] {
            const double t = bench::monotonicMs();
            for (std::size_t i = 0; i < randoms.size(); ++i) {
                if (t >= nextFire[i]) {
                    engine.setPan(randoms[i], pan(random));
                    engine.play(randoms[i], false);
                    nextFire[i] = t + wait(random);
                    ++fired;
                }
            }
        });
        firing.start(10);
    }
    const engine::Buffer tone = engine.createBuffer(probeTone(), error);
    if (!tone.valid()) {
        fail("the probe tone: " + error);
    }

    const std::string loadBefore = bench::loadAverage();
    bench::runFor(5000); // the output fills its buffer, the server settles

    std::uniform_real_distribution<double> gap(s.minGapMs, s.maxGapMs);
    std::vector<Change> changes;
    auto* pulse = dynamic_cast<engine::PulseOutput*>(output.get());
    auto reckon = [&] {
        if (pulse && !changes.empty()) {
            changes.back().outputMs = pulse->stats().lastChangeToSoundMs;
        }
    };
    for (int i = 0; i < s.changes; ++i) {
        bench::runFor(gap(random));
        reckon();
        Change c;
        c.on = s.master ? (i % 2 == 1) : (i % 2 == 0);
        c.atMs = bench::monotonicMs();
        if (s.master) {
            engine.setMasterVolume(c.on ? 0 : -10000, 0);
        } else if (c.on) {
            engine.play(tone, true);
        } else {
            engine.stop(tone);
        }
        changes.push_back(c);
    }
    bench::runFor(s.maxGapMs);
    reckon();
    const double endMs = bench::monotonicMs();
    // The capture hands over its blocks late (up to 2 s on PulseAudio).
    for (int i = 0; i < 100; ++i) {
        const auto last = capture.levels(endMs - 50, endMs + 1e6);
        if (!last.empty() && last.back().timeMs >= endMs - 5) {
            break;
        }
        bench::runFor(50);
    }
    firing.stop();
    const std::string loadAfter = bench::loadAverage();
    const auto levels = capture.levels(changes.front().atMs - 1000, endMs);
    const int block = capture.graphBlockFrames();
    const long overflows = capture.overflows();
    const long underflows = bench::outputUnderflows(*output);
    engine.releaseDevice();
    capture.stop();

    std::printf("rewrite-latency: output %s, device \"%s\", server \"%s\", monitor %s\n",
                outputKind.c_str(), engine.devices().front().c_str(), capture.serverName().c_str(),
                capture.sourceName().c_str());
    std::printf("  %d %s changes %.0f..%.0f ms apart; backgrounds %s; random sounds %s\n",
                s.changes, s.master ? "master volume" : "probe tone", s.minGapMs, s.maxGapMs,
                s.backgrounds ? QString::number(s.backgroundVolume / 100.0).append(" dB").toUtf8().constData() : "off",
                s.randoms ? (std::to_string(fired) + " fired").c_str() : "off");
    std::printf("  load average %s before, %s after%s\n", loadBefore.c_str(), loadAfter.c_str(),
                block > 0 ? (", PipeWire graph block " + std::to_string(block) + " frames").c_str()
                          : "");
    std::vector<double> latencies;
    int missing = 0;
    int unsure = 0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const Result r = measure(levels, changes, i, endMs, s.master);
        const char* what = s.master ? (changes[i].on ? "master up  " : "master down")
                                    : (changes[i].on ? "tone on " : "tone off");
        if (r.found && r.latencyMs < kEarliestMs) {
            // Heard before it was made: the monitor's clock slipped there (a
            // late graph cycle or read on a loaded machine).
            ++unsure;
            std::printf("  %2zu %s at %+8.3f s: %6.1f ms, before the change: clock unsure\n",
                        i + 1, what, (changes[i].atMs - changes.front().atMs) / 1000.0,
                        r.latencyMs);
        } else if (r.found) {
            latencies.push_back(r.latencyMs);
            std::printf("  %2zu %s at %+8.3f s: %6.1f ms  (%.0f -> %.0f dB)", i + 1, what,
                        (changes[i].atMs - changes.front().atMs) / 1000.0, r.latencyMs, r.beforeDb,
                        r.afterDb);
            if (changes[i].outputMs >= 0) {
                std::printf("; the output reckons %.1f ms", changes[i].outputMs);
            }
            std::printf("\n");
        } else {
            ++missing;
            std::printf("  %2zu %s at %+8.3f s: not found (%.0f -> %.0f dB)\n", i + 1, what,
                        (changes[i].atMs - changes.front().atMs) / 1000.0, r.beforeDb, r.afterDb);
        }
    }
    if (overflows > 0) {
        std::printf("  the capture lost data %ld times: figures near those moments are unsure\n",
                    overflows);
    }
    if (underflows >= 0) {
        std::printf("  the output counted %ld underflows\n", underflows);
    }
    if (latencies.empty()) {
        std::printf("  FAIL change -> sound at the monitor: no change was found\n");
        return EXIT_FAILURE;
    }
    const double lo = *std::min_element(latencies.begin(), latencies.end());
    const double hi = *std::max_element(latencies.begin(), latencies.end());
    const bool pass = missing == 0 && unsure == 0 && hi <= s.goalMs;
    std::string left;
    if (missing) {
        left += ", " + std::to_string(missing) + " not found";
    }
    if (unsure) {
        left += ", " + std::to_string(unsure) + " unsure";
    }
    std::printf("  %s change -> sound at the monitor: min %.1f, median %.1f, max %.1f ms over %zu "
                "changes%s (goal: every change <= %.0f ms)\n",
                pass ? "PASS" : "FAIL", lo, bench::median(latencies), hi, latencies.size(),
                left.c_str(), s.goalMs);
    return EXIT_SUCCESS;
}
