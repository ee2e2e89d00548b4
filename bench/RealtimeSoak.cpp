// The soak in real time: the real console plays the "Storm" scene with every
// random channel (and four of the user's own) at "Often" through a real
// sound server for SOAK minutes, while the sink's monitor is recorded beside
// it. Counts gaps - digital silence longer than --gap-ms (3) in what the sink
// played while the mix plays - and the output's underflows where it counts
// them; each minute it samples the resident memory and the open file
// descriptors. Goals: no gap, no underflow, memory and descriptors flat
// (from the first minute on, at most 1 MB more memory and no descriptor
// more at the end).
//
//   realtime-soak [--minutes N] [--output sdl|pulse] [--gap-ms MS]
//                 [--program-dir DIR]
//
// --minutes defaults to SYLVARO_SOAK_MINUTES, else 30. The server is
// PULSE_SERVER's (bench/with-private-server.sh pulseaudio realtime-soak
// runs it against a private one); the output is what the program would
// pick unless --output says.

#include "BenchOutput.h"
#include "CommandLine.h"
#include "MonitorCapture.h"
#include "ProcStatus.h"
#include "RealTime.h"
#include "SoakMix.h"
#include "app/ConsoleLifecycle.h"
#include "app/Services.h"
#include "core/QtTimerHost.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/WallClock.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace sylvaro;

namespace {

constexpr double kMemoryGrowthMb = 1.0;

struct Settings {
    double minutes = qEnvironmentVariableIsSet("SYLVARO_SOAK_MINUTES")
                         ? qEnvironmentVariable("SYLVARO_SOAK_MINUTES").toDouble()
                         : 30;
    std::string output;
    int gapMs = 3;
    std::string programDir = SYLVARO_PROGRAM_DIR;
};

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: realtime-soak [--minutes N] [--output %s] [--gap-ms MS] "
                 "[--program-dir DIR]\n",
                 bench::outputKinds());
    std::exit(2);
}

Settings parse(int argc, char** argv) {
    Settings s;
    bench::CommandLine line(argc, argv, usage);
    while (line.next()) {
        const std::string arg = line.option();
        if (arg == "--minutes") {
            s.minutes = std::atof(line.value());
        } else if (arg == "--output") {
            s.output = line.value();
        } else if (arg == "--gap-ms") {
            s.gapMs = std::max(1, std::atoi(line.value()));
        } else if (arg == "--program-dir") {
            s.programDir = line.value();
        } else {
            usage();
        }
    }
    if (s.minutes <= 0) {
        usage();
    }
    return s;
}

[[noreturn]] void fail(const std::string& what) {
    bench::fail("realtime-soak", what);
}

// The gaps among the monitor's events from `fromMs` on: a Silence event
// starts one, the next Sound event ends it.
struct Gaps {
    int count = 0;
    double longestMs = 0;
    double firstAtMs = 0;
};

Gaps gaps(const std::vector<bench::MonitorEvent>& events, double fromMs, double nowMs) {
    Gaps g;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind != bench::MonitorEvent::Kind::Silence || events[i].timeMs < fromMs) {
            continue;
        }
        double end = nowMs;
        for (std::size_t j = i + 1; j < events.size(); ++j) {
            if (events[j].kind == bench::MonitorEvent::Kind::Sound) {
                end = events[j].timeMs;
                break;
            }
        }
        if (g.count++ == 0) {
            g.firstAtMs = events[i].timeMs;
        }
        g.longestMs = std::max(g.longestMs, end - events[i].timeMs);
    }
    return g;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work;
    if (!work.isValid()) {
        fail("no temporary folder");
    }
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", work.filePath(QStringLiteral("share")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", work.filePath(QStringLiteral("cache")).toLocal8Bit());
    QApplication app(argc, argv);
    const Settings s = parse(argc, argv);

    QTemporaryDir folder;
    if (!bench::makeSoakFolder(QString::fromStdString(s.programDir), folder)) {
        fail("cannot make the program folder");
    }
    const core::AppDir dir(folder.path());
    QString mixError;
    persist::MixFile mix;
    if (!bench::stormOftenMix(dir, mix, mixError)) {
        fail(mixError.toStdString());
    }

    std::string error;
    bench::MonitorCapture capture;
    bench::MonitorCapture::Options captureOptions;
    captureOptions.silenceMs = s.gapMs;
    captureOptions.historySeconds = 5; // only the events are needed
    if (!capture.start(captureOptions, error)) {
        fail(error);
    }
    std::unique_ptr<engine::AudioOutput> output = bench::makeOutput(s.output, error);
    if (!output) {
        fail(error);
    }
    const std::string outputKind = bench::outputName(*output);

    core::QtTimerHost timers;
    core::ScriptedDialogs dialogs; // OK to everything; none is expected
    core::RandomSource random;
    random.randomize();
    core::SystemWallClock clock;
    app::ConsoleWindow console(app::Services{dir, timers, dialogs, random, clock, *output});
    console.load();
    console.show();
    engine::SoundEngine& engine = console.sounds().engine();
    bench::runFor(app::ConsoleLifecycle::kStartupIntervalMs);
    for (int i = 0; i < 100 && !engine.deviceOpen(); ++i) {
        bench::runFor(100);
    }
    if (!engine.deviceOpen()) {
        fail("the console did not open its output");
    }
    console.state().applyMix(mix);
    bench::runFor(3000); // the custom sounds are decoded, the first randoms fire
    if (!dialogs.messages().empty()) {
        fail("the console said: " + dialogs.messages().back().text.toStdString());
    }

    // Random sounds started, counted every 100 ms.
    const bench::RandomChannels channels = bench::randomChannels(console);
    std::vector<char> wasPlaying(channels.buffers.size(), 0);
    long plays = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, &app, [&] {
        for (std::size_t i = 0; i < channels.buffers.size(); ++i) {
            const bool playing = engine.isPlaying(channels.buffers[i]);
            plays += playing && !wasPlaying[i] ? 1 : 0;
            wasPlaying[i] = playing;
        }
    });
    counter.start(100);

    const double startMs = bench::monotonicMs();
    const std::string loadBefore = bench::loadAverage();
    std::printf("realtime-soak: \"Storm\", every random channel at \"Often\", %.1f minutes through "
                "output %s, server \"%s\"; load average %s\n",
                s.minutes, outputKind.c_str(), capture.serverName().c_str(), loadBefore.c_str());
    std::printf("minute  plays  gaps  longest-gap-ms  overflows  underflows  RSS-MB  fds  voices  "
                "load\n");
    std::vector<double> rss;
    std::vector<int> fds;
    const int whole = static_cast<int>(s.minutes);
    const double lastMs = s.minutes * 60000.0;
    const auto sample = [&](double minute) {
        const Gaps g = gaps(capture.events(), startMs, bench::monotonicMs());
        rss.push_back(residentMegabytes());
        fds.push_back(openDescriptors());
        const long underflows = bench::outputUnderflows(*output);
        std::printf("%6.1f  %5ld  %4d  %14.1f  %9ld  %10s  %6.1f  %3d  %6d  %s\n", minute, plays,
                    g.count, g.longestMs, capture.overflows(),
                    underflows < 0 ? "-" : std::to_string(underflows).c_str(), rss.back(),
                    fds.back(), engine.mixer().voiceCount(), bench::loadAverage().c_str());
        std::fflush(stdout);
    };
    sample(0);
    for (int minute = 1; minute <= whole; ++minute) {
        bench::runFor(startMs + minute * 60000.0 - bench::monotonicMs());
        sample(minute);
    }
    if (lastMs > whole * 60000.0) {
        bench::runFor(startMs + lastMs - bench::monotonicMs());
        sample(s.minutes);
    }
    const double endMs = bench::monotonicMs();
    counter.stop();
    // What the sink played up to the end reaches the capture a little later.
    bench::runFor(2500);
    const bool lost = output->isLost();
    const long underflows = bench::outputUnderflows(*output);
    const Gaps g = gaps(capture.events(), startMs, endMs);
    const long overflows = capture.overflows();
    capture.stop();

    std::printf("\n");
    std::printf("  %s no gap: %d gaps of digital silence >= %d ms in what the sink played%s\n",
                g.count == 0 ? "PASS" : "FAIL", g.count, s.gapMs,
                g.count ? (", the first " + std::to_string((g.firstAtMs - startMs) / 1000.0) +
                           " s in, the longest " + std::to_string(g.longestMs) + " ms")
                              .c_str()
                        : "");
    if (underflows < 0) {
        std::printf("  info no underflow: output %s counts none\n", outputKind.c_str());
    } else {
        std::printf("  %s no underflow: %ld\n", underflows == 0 ? "PASS" : "FAIL", underflows);
    }
    if (overflows > 0) {
        std::printf("  info the capture itself lost data %ld times (its gaps are not the "
                    "program's)\n",
                    overflows);
    }
    std::printf("  %s output still playing at the end\n", lost ? "FAIL" : "PASS");
    // The first minute holds the start-up's growth; flat means from then on.
    const std::size_t from = rss.size() > 2 ? 1 : 0;
    const double growth = rss.back() - rss[from];
    std::printf("  %s memory flat: %.1f MB at minute %zu, %.1f MB at the end (goal: <= %.0f MB "
                "more)\n",
                growth <= kMemoryGrowthMb ? "PASS" : "FAIL", rss[from], from, rss.back(),
                kMemoryGrowthMb);
    std::printf("  %s descriptors flat: %d at minute %zu, %d at the end\n",
                fds.back() <= fds[from] ? "PASS" : "FAIL", fds[from], from, fds.back());
    std::printf("  %ld random sounds started; load average %s before, %s after\n", plays,
                loadBefore.c_str(), bench::loadAverage().c_str());
    return EXIT_SUCCESS;
}
