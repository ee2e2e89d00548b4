// A night and a day without a break: the "Storm" scene with all forty random
// channels and the four custom random sounds at "Often", run for 24 hours of
// virtual time (SYLVARO_SOAK_HOURS to change it) through the console's own
// scheduler and mixer. Each hour it reports the random channels that stayed
// silent (a lost timer), the channels whose timer is off, the resident
// memory, the open file descriptors, the buffers and the mixer's voices; at
// the end every random channel is switched off and no voice may play on.
// SYLVARO_SOAK_MIX=FILE.svm also writes the mix, for a soak of the real
// program through its sound device.

#include "ProcStatus.h"
#include "app/CatalogueSounds.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "app/MixFiles.h"
#include "app/OfflineConsole.h"
#include "app/RandomSounds.h"
#include "console/Layout.h"
#include "custom/CustomChannels.h"
#include "engine/SoundEngine.h"
#include "random/RandomScheduler.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sndfile.h>
#include <string>
#include <vector>

using namespace sylvaro;

namespace {

constexpr int kCustomRandoms = 4;
constexpr int kRandoms = console::kChannels + kCustomRandoms;

int openDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                                .size());
}

// A short decaying tone of the user's own, as a custom random sound.
bool writeTone(const QString& path, double hz) {
    const int rate = 44100;
    std::vector<float> samples(rate / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        samples[i] = static_cast<float>(0.3 * std::exp(-6.0 * t) * std::sin(2.0 * M_PI * hz * t));
    }
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file) {
        return false;
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    return sf_close(file) == 0;
}

// The program folder as built, with four sounds of the user's own.
bool makeFolder(const QTemporaryDir& folder) {
    const QDir program(QStringLiteral(SYLVARO_PROGRAM_DIR));
    for (const QFileInfo& entry : program.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        if (!QFile::link(entry.absoluteFilePath(), folder.filePath(entry.fileName()))) {
            return false;
        }
    }
    QDir(folder.path()).mkpath(QStringLiteral("sounds"));
    for (int n = 1; n <= kCustomRandoms; ++n) {
        if (!writeTone(folder.filePath(QStringLiteral("sounds/tone%1.wav").arg(n)), 300.0 * n)) {
            return false;
        }
    }
    return true;
}

struct Channels {
    std::vector<engine::Buffer> buffers;
    std::vector<core::IntervalTimer*> timers;
};

Channels randomChannels(app::ConsoleWindow& console) {
    Channels c;
    auto& scheduler = console.panels().random.scheduler();
    for (int bank = 1; bank <= console::kBanks; ++bank) {
        for (int slot = 0; slot < console::kSlots; ++slot) {
            c.buffers.push_back(console.sounds().random(bank, slot));
            c.timers.push_back(&scheduler.timer(bank, slot));
        }
    }
    for (int n = 1; n <= kCustomRandoms; ++n) {
        c.buffers.push_back(console.panels().custom.randomBuffer(n));
        c.timers.push_back(&console.panels().custom.timer(n));
    }
    return c;
}

void SoakFullSceneAllRandomsOften(benchmark::State& state) {
    const int hours = qEnvironmentVariableIntValue("SYLVARO_SOAK_HOURS") > 0
                          ? qEnvironmentVariableIntValue("SYLVARO_SOAK_HOURS")
                          : 24;
    QTemporaryDir folder;
    if (!makeFolder(folder)) {
        state.SkipWithError("cannot make the program folder");
        return;
    }
    const core::AppDir dir(folder.path());

    // The scene, then every random channel and custom random at "Often".
    QString error;
    persist::MixFile mix;
    {
        app::OfflineConsole scene(dir, 1);
        app::SoundscapeSource storm;
        storm.kind = app::SoundscapeSource::Kind::Scene;
        storm.scene = QStringLiteral("Storm");
        if (!scene.prepare(storm, error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        mix = scene.console().mixes().capture();
    }
    for (int slot = 0; slot < console::kSlots; ++slot) {
        const auto at = static_cast<std::size_t>(slot);
        mix.console.bank1[at] = console::frequencyMinimum(1, slot);
        mix.console.bank2[at] = console::frequencyMinimum(2, slot);
    }
    for (int n = 0; n < kCustomRandoms; ++n) {
        mix.names.random[static_cast<std::size_t>(n)] = QStringLiteral("tone%1.wav").arg(n + 1);
        mix.panel.frequency[static_cast<std::size_t>(n)] = 0;
    }
    // The same mix for a run of the real program (`sylvaro-lite FILE.svm`).
    if (const QString path = qEnvironmentVariable("SYLVARO_SOAK_MIX"); !path.isEmpty()) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(mix.toLine());
        }
    }
    app::SoundscapeSource source;
    source.kind = app::SoundscapeSource::Kind::Mix;
    source.mix = mix;

    for (auto _ : state) {
        app::OfflineConsole offline(dir, 24);
        if (!offline.prepare(source, error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        app::ConsoleWindow& console = offline.console();
        engine::SoundEngine& engine = console.sounds().engine();
        const Channels channels = randomChannels(console);
        for (std::size_t i = 0; i < channels.buffers.size(); ++i) {
            if (!engine.exists(channels.buffers[i])) {
                state.SkipWithError("a random channel has no sound");
                return;
            }
        }

        constexpr int kStep = app::OfflineConsole::kStepFrames;
        constexpr int kStepsPerHour = 3600 * 100;
        std::vector<float> out(2 * kStep);
        std::vector<char> wasPlaying(kRandoms, 0);
        std::vector<double> rss;
        std::vector<int> fds;
        int silentChannelHours = 0;
        int timersOffHours = 0;
        long plays = 0;
        std::printf("hour  plays  silent  timers-off  RSS-MB  fds  buffers  voices\n");
        for (int hour = 1; hour <= hours; ++hour) {
            std::vector<int> hourPlays(kRandoms, 0);
            for (int step = 0; step < kStepsPerHour; ++step) {
                offline.render(out.data(), kStep);
                for (int i = 0; i < kRandoms; ++i) {
                    const bool playing =
                        engine.isPlaying(channels.buffers[static_cast<std::size_t>(i)]);
                    if (playing && !wasPlaying[static_cast<std::size_t>(i)]) {
                        ++hourPlays[static_cast<std::size_t>(i)];
                    }
                    wasPlaying[static_cast<std::size_t>(i)] = playing;
                }
            }
            int silent = 0;
            int timersOff = 0;
            int hourTotal = 0;
            for (int i = 0; i < kRandoms; ++i) {
                silent += hourPlays[static_cast<std::size_t>(i)] == 0 ? 1 : 0;
                timersOff += channels.timers[static_cast<std::size_t>(i)]->isEnabled() ? 0 : 1;
                hourTotal += hourPlays[static_cast<std::size_t>(i)];
            }
            plays += hourTotal;
            silentChannelHours += silent;
            timersOffHours += timersOff;
            rss.push_back(residentMegabytes());
            fds.push_back(openDescriptors());
            std::printf("%4d  %5d  %6d  %10d  %6.1f  %3d  %7d  %6d\n", hour, hourTotal, silent,
                        timersOff, rss.back(), fds.back(), engine.bufferCount(),
                        engine.mixer().voiceCount());
            std::fflush(stdout);
        }

        // Everything random off: within half a minute nothing random plays.
        console.panels().random.setAll(console::kFrequencyOff);
        for (int n = 1; n <= kCustomRandoms; ++n) {
            console.panels().custom.setFrequency(n, console::kFrequencyOff);
        }
        for (int step = 0; step < 30 * 100; ++step) {
            offline.render(out.data(), kStep);
        }
        int stuck = 0;
        for (const engine::Buffer buffer : channels.buffers) {
            stuck += engine.isPlaying(buffer) ? 1 : 0;
        }

        state.counters["hours"] = hours;
        state.counters["plays"] = static_cast<double>(plays);
        state.counters["silent_channel_hours"] = silentChannelHours;
        state.counters["timer_off_hours"] = timersOffHours;
        state.counters["voices_stuck"] = stuck;
        state.counters["rss_first_hour_MB"] = rss.front();
        state.counters["rss_last_hour_MB"] = rss.back();
        state.counters["fds_first_hour"] = fds.front();
        state.counters["fds_last_hour"] = fds.back();
    }
}
BENCHMARK(SoakFullSceneAllRandomsOften)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

#include "OffscreenMain.h"
