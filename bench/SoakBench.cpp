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
#include "SoakMix.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "app/MixFiles.h"
#include "console/Layout.h"
#include "custom/CustomChannels.h"
#include "engine/SoundEngine.h"
#include "export/OfflineConsole.h"
#include "panels/CatalogueSounds.h"
#include "panels/RandomSounds.h"
#include "random/RandomScheduler.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

using namespace sylvaro;

namespace {

using bench::kCustomRandoms;
constexpr int kRandoms = console::kChannels + kCustomRandoms;

void SoakFullSceneAllRandomsOften(benchmark::State& state) {
    const int hours = qEnvironmentVariableIntValue("SYLVARO_SOAK_HOURS") > 0
                          ? qEnvironmentVariableIntValue("SYLVARO_SOAK_HOURS")
                          : 24;
    QTemporaryDir folder;
    if (!bench::makeSoakFolder(QStringLiteral(SYLVARO_PROGRAM_DIR), folder)) {
        state.SkipWithError("cannot make the program folder");
        return;
    }
    const core::AppDir dir(folder.path());

    QString error;
    persist::MixFile mix;
    if (!bench::stormOftenMix(dir, mix, error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    // The same mix for a run of the real program (`sylvaro-lite FILE.svm`).
    if (const QString path = qEnvironmentVariable("SYLVARO_SOAK_MIX"); !path.isEmpty()) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(mix.toLine());
        }
    }
    exporting::SoundscapeSource source;
    source.kind = exporting::SoundscapeSource::Kind::Mix;
    source.mix = mix;

    for (auto _ : state) {
        exporting::OfflineConsole offline(dir, 24);
        if (!offline.prepare(source, error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        app::ConsoleWindow& console = offline.console();
        engine::SoundEngine& engine = console.sounds().engine();
        const bench::RandomChannels channels = bench::randomChannels(console);
        for (std::size_t i = 0; i < channels.buffers.size(); ++i) {
            if (!engine.exists(channels.buffers[i])) {
                state.SkipWithError("a random channel has no sound");
                return;
            }
        }

        constexpr int kStep = exporting::OfflineConsole::kStepFrames;
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
