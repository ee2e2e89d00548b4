// What the recorder costs in CPU on top of a playing console, over real time.
//
// The real console plays all 15 backgrounds through SDL's disk driver (output
// to /dev/null, input from a generated file that varies in level, so the
// meter's bars move as they would with a real microphone). The recorder is
// driven through its own buttons, and the process's CPU time per second of
// wall time is taken in each of these phases, in turn, round after round:
//
//   playback   the recorder closed
//   meter      the recorder open and READY: the level meter runs
//   record     recording at 44.1 kHz 16-bit stereo, meter running
//   record-only  the same with the meter's Stop pressed
//
// Each round's phases are compared with the mean of the playback phases
// either side of them, so a neighbour's build starting or ending moves the
// baseline along with them. Goals: recording <= 0.5 % of one core beyond
// playback alone, the meter <= 0.05 %.
//
//   recorder-cpu [ROUNDS [SECONDS [SETTLE_SECONDS]]]   (default 3 2 1)

#include "app/ConsoleLifecycle.h"
#include "app/ConsoleWindow.h"
#include "app/RecorderLink.h"
#include "console/Catalogue.h"
#include "core/QtTimerHost.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/WallClock.h"
#include "engine/SdlAudioOutput.h"
#include "engine/SoundEngine.h"
#include "panels/CatalogueSounds.h"
#include "recorder/LevelMeter.h"
#include "recorder/RecorderWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace sylvaro;

namespace {

const QString kQuality = QStringLiteral("44.100Hz, 16bit Stereo, 172k/sec");
constexpr int kTakeBytesPerSec = 44100 * 2 * 2;
constexpr double kRecordGoal = 0.5;
constexpr double kMeterGoal = 0.05;

enum Phase { Playback, Meter, Record, RecordOnly, kPhases };
const std::array<const char*, kPhases> kPhaseNames = {"playback", "meter", "record", "record-only"};

double seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

long contextSwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

// CPU seconds of each live thread, from the scheduler's own count.
std::map<int, std::pair<std::string, double>> threadTimes() {
    std::map<int, std::pair<std::string, double>> times;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::ifstream comm(("/proc/self/task/" + tid + "/comm").toStdString());
        std::ifstream sched(("/proc/self/task/" + tid + "/schedstat").toStdString());
        std::string name;
        double ns = 0;
        if (std::getline(comm, name) && sched >> ns) {
            times[tid.toInt()] = {name, ns * 1e-9};
        }
    }
    return times;
}

// One phase of one round: percent of one core, wake-ups per second, and the
// percent per thread name (the main thread apart) for threads that lived
// through it.
struct Sample {
    double percent = 0;
    double wakeups = 0;
    std::map<std::string, double> threads;
};

class CpuClock {
public:
    void begin() {
        m_threads = threadTimes();
        m_switches = contextSwitches();
        m_cpu = seconds(CLOCK_PROCESS_CPUTIME_ID);
        m_wall = seconds(CLOCK_MONOTONIC);
    }
    Sample end() const {
        const double wall = seconds(CLOCK_MONOTONIC) - m_wall;
        const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID) - m_cpu;
        const long switches = contextSwitches() - m_switches;
        Sample s;
        s.percent = 100.0 * cpu / wall;
        s.wakeups = static_cast<double>(switches) / wall;
        const int main = static_cast<int>(getpid());
        for (const auto& [tid, now] : threadTimes()) {
            const auto before = m_threads.find(tid);
            if (before != m_threads.end()) {
                const std::string name = tid == main ? "main (UI)" : now.first;
                s.threads[name] += 100.0 * (now.second - before->second.second) / wall;
            }
        }
        return s;
    }

private:
    std::map<int, std::pair<std::string, double>> m_threads;
    long m_switches = 0;
    double m_cpu = 0;
    double m_wall = 0;
};

void wait(double secs) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(secs * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Raw samples the disk driver hands to every capture device: a tone whose
// level swells and fades every 1.3 s of the meter's 8000 bytes a second, so
// the meter's peak changes from block to block.
bool writeInput(const QString& path, int bytes) {
    QByteArray data(bytes, '\0');
    for (int i = 0; i < bytes; ++i) {
        const double level = 16.0 + 100.0 * std::abs(std::sin(std::numbers::pi * i / 10400.0));
        data[i] = static_cast<char>(128 + std::lround(level * std::sin(0.37 * i)));
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// 60 fields: two colours, bank 1 off, three volumes at 0 dB, the 15
// background boxes ticked, bank 2 off.
bool writeConsoleSettings(const QString& path) {
    QByteArray line = "-2147483633,-2147483630";
    for (int i = 0; i < 20; ++i) {
        line += ",2000";
    }
    line += ",0,0,0";
    for (int i = 0; i < 15; ++i) {
        line += ",1";
    }
    for (int i = 0; i < 20; ++i) {
        line += ",2000";
    }
    line += "\r\n";
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(line) == line.size();
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "recorder-cpu: %s\n", what);
    std::exit(EXIT_FAILURE);
}

template <typename T> T* child(QWidget* parent, const char* name) {
    T* w = parent->findChild<T*>(QLatin1String(name));
    if (!w) {
        fail("a recorder control is missing");
    }
    return w;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const double phaseSecs = argc > 2 ? std::max(0.5, std::atof(argv[2])) : 2.0;
    const double settleSecs = argc > 3 ? std::max(0.2, std::atof(argv[3])) : 1.0;

    QTemporaryDir work;
    if (!work.isValid()) {
        fail("no temporary folder");
    }
    // Enough input for the longest take; after its end the driver gives
    // silence, which costs the same.
    const QString input = work.filePath(QStringLiteral("input.raw"));
    const int inputSecs = static_cast<int>(2 * (phaseSecs + settleSecs)) + 4;
    if (!writeInput(input, kTakeBytesPerSec * inputSecs)) {
        fail("cannot write the input file");
    }
    const QString data = work.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    if (!writeConsoleSettings(data + QStringLiteral("/settings.ini"))) {
        fail("cannot write settings.ini");
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    qputenv("SDL_DISKAUDIOFILEIN", input.toLocal8Bit());
    // Each device waits its own block's length.
    qunsetenv("SDL_DISKAUDIODELAY");
    // The takes go to the cache folder.
    qputenv("XDG_CACHE_HOME", work.filePath(QStringLiteral("cache")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", work.filePath(QStringLiteral("share")).toLocal8Bit());

    QApplication app(argc, argv);
    core::QtTimerHost timers;
    core::ScriptedDialogs dialogs; // OK to everything; none is expected
    core::RandomSource random;
    random.randomize();
    core::SystemWallClock clock;
    engine::SdlAudioOutput audio;
    app::ConsoleWindow console(
        app::Services{core::AppDir(QStringLiteral(SYLVARO_PROGRAM_DIR), data), timers, dialogs,
                      random, clock, audio});
    console.load();
    console.show();

    const auto playing = [&console] {
        int n = 0;
        for (int channel = 1; channel <= 15; ++channel) {
            n += console.sounds().engine().isPlaying(console.sounds().background(channel)) ? 1 : 0;
        }
        return n;
    };
    wait(app::ConsoleLifecycle::kStartupIntervalMs / 1000.0);
    for (int i = 0; i < 50 && playing() < 15; ++i) {
        wait(0.1);
    }
    if (playing() != 15) {
        fail("the 15 backgrounds are not playing");
    }

    std::printf("recorder-cpu: 15 backgrounds on SDL's disk driver; %d rounds of %.1f s per phase, "
                "each after %.1f s to settle\n",
                rounds, phaseSecs, settleSecs);
    std::printf("  %-6s %-12s %9s %12s   %s\n", "round", "phase", "% of core", "wake-ups/s",
                "checks");

    recorder::RecorderWindow* window = nullptr;
    std::vector<std::array<Sample, kPhases>> samples(static_cast<std::size_t>(rounds));
    std::vector<Sample> playbacks; // each round's, and one after the last
    CpuClock cpuClock;

    const auto enter = [&](Phase phase) {
        switch (phase) {
        case Playback:
            if (window) {
                if (window->device().isRecording()) {
                    child<QAbstractButton>(window, "cmdStop")->click();
                }
                // Discards the take: the scripted answer is OK.
                child<QAbstractButton>(window, "picClose")->click();
                window = nullptr;
                if (dialogs.count(recorder::RecorderWindow::kDiscardText) ==
                    static_cast<int>(dialogs.messages().size())) {
                    dialogs.clear();
                }
            }
            break;
        case Meter:
            console.recordButton()->click();
            window = console.recorder().window();
            if (!window || !window->meter().isRunning()) {
                fail("the recorder's meter did not start");
            }
            break;
        case Record: {
            auto* quality = child<QComboBox>(window, "cbxformat");
            quality->setCurrentIndex(quality->findText(kQuality));
            child<QAbstractButton>(window, "cmdRecord")->click();
            if (!window->device().isRecording()) {
                fail("the recorder did not start recording");
            }
            break;
        }
        case RecordOnly:
            child<QAbstractButton>(window, "cmdMeterStop")->click();
            break;
        case kPhases:
            break;
        }
        if (!dialogs.messages().empty()) {
            fail(("the recorder said: " + dialogs.messages().back().text.toStdString()).c_str());
        }
    };
    const auto measure = [&](int round, Phase phase) {
        wait(settleSecs);
        const std::int64_t bytes0 = window ? window->device().lengthBytes() : 0;
        const std::int64_t blocks0 = window ? window->meter().blocksMeasured() : 0;
        const auto t0 = std::chrono::steady_clock::now();
        cpuClock.begin();
        wait(phaseSecs);
        const Sample s = cpuClock.end();
        const double secs =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        QString checks;
        if (phase == Record || phase == RecordOnly) {
            const double rate = static_cast<double>(window->device().lengthBytes() - bytes0) / secs;
            checks += QStringLiteral("take %1 B/s").arg(rate, 0, 'f', 0);
        }
        if (phase == Meter || phase == Record) {
            const double rate =
                static_cast<double>(window->meter().blocksMeasured() - blocks0) / secs;
            checks += QStringLiteral("%1meter %2 blocks/s")
                          .arg(checks.isEmpty() ? QString() : QStringLiteral(", "))
                          .arg(rate, 0, 'f', 1);
        }
        std::printf("  %-6d %-12s %9.3f %12.1f   %s\n", round, kPhaseNames[phase], s.percent,
                    s.wakeups, qPrintable(checks));
        std::fflush(stdout);
        return s;
    };

    for (int r = 0; r < rounds; ++r) {
        for (int p = 0; p < kPhases; ++p) {
            const auto phase = static_cast<Phase>(p);
            enter(phase);
            samples[r][p] = measure(r + 1, phase);
        }
        playbacks.push_back(samples[r][Playback]);
    }
    // The last round's baseline needs a playback phase after it.
    enter(Playback);
    playbacks.push_back(measure(rounds + 1, Playback));

    std::printf("\n  %-12s %9s %17s %12s\n", "phase", "median %", "min .. max", "wake-ups/s");
    for (int p = 0; p < kPhases; ++p) {
        std::vector<double> pct;
        std::vector<double> wake;
        for (const auto& round : samples) {
            pct.push_back(round[p].percent);
            wake.push_back(round[p].wakeups);
        }
        if (p == Playback) {
            pct.push_back(playbacks.back().percent);
            wake.push_back(playbacks.back().wakeups);
        }
        std::printf("  %-12s %9.3f %8.3f .. %6.3f %12.1f\n", kPhaseNames[p], median(pct),
                    *std::min_element(pct.begin(), pct.end()),
                    *std::max_element(pct.begin(), pct.end()), median(wake));
    }

    std::printf("\n  per thread, median %% of one core:\n  %-22s", "");
    std::map<std::string, std::array<std::vector<double>, kPhases>> byThread;
    for (const auto& round : samples) {
        for (int p = 0; p < kPhases; ++p) {
            for (const auto& [name, pct] : round[p].threads) {
                byThread[name][p].push_back(pct);
            }
        }
    }
    for (const char* name : kPhaseNames) {
        std::printf(" %12s", name);
    }
    std::printf("\n");
    for (const auto& [name, phases] : byThread) {
        std::printf("  %-22s", name.c_str());
        for (const auto& v : phases) {
            if (v.empty()) {
                std::printf(" %12s", "-");
            } else {
                std::printf(" %12.3f", median(v));
            }
        }
        std::printf("\n");
    }

    std::printf("\n  beyond playback (each round against the mean of the playback phases around "
                "it):\n");
    const auto report = [&](Phase phase, const char* label, double goal) {
        std::vector<double> extra;
        QString each;
        for (int r = 0; r < rounds; ++r) {
            const double base = (playbacks[static_cast<std::size_t>(r)].percent +
                                 playbacks[static_cast<std::size_t>(r) + 1].percent) /
                                2;
            extra.push_back(samples[r][phase].percent - base);
            each += QStringLiteral(" %1").arg(extra.back(), 0, 'f', 3);
        }
        const double m = median(extra);
        std::printf("  %-28s median %7.3f %%  (rounds:%s)", label, m, qPrintable(each));
        if (goal > 0) {
            std::printf("  goal <= %.2f %%: %s", goal, m <= goal ? "met" : "MISSED");
        }
        std::printf("\n");
    };
    report(Meter, "meter", kMeterGoal);
    report(RecordOnly, "recording (meter stopped)", kRecordGoal);
    report(Record, "recording with the meter", 0);
    return EXIT_SUCCESS;
}
