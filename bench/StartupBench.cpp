// Start-up costs on the generated program folder: creating the 59 catalogue
// buffers (goal: at most 150 ms) and the resident memory of a started
// console (goal: at most 120 MB).

#include "ProcStatus.h"
#include "app/ConsoleLifecycle.h"
#include "app/ConsoleWindow.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "engine/AudioOutput.h"
#include "engine/SoundEngine.h"
#include "panels/CatalogueSounds.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

using namespace sylvaro;

namespace {

// A device that accepts everything and plays nothing.
class SilentOutput final : public engine::AudioOutput {
public:
    std::vector<std::string> enumerate() override { return {"Default output device"}; }
    bool open(int, engine::Mixer&, std::string&) override {
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }

private:
    bool m_open = false;
};

void CreateAllBuffers(benchmark::State& state) {
    SilentOutput output;
    engine::SoundEngine engine(output);
    panels::CatalogueSounds sounds(engine);
    const core::AppDir dir(QStringLiteral(SYLVARO_PROGRAM_DIR));
    std::string error;
    for (auto _ : state) {
        if (!sounds.create(dir, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(engine.bufferCount());
        state.PauseTiming();
        sounds.releaseAll();
        state.ResumeTiming();
    }
}
BENCHMARK(CreateAllBuffers)->Unit(benchmark::kMillisecond);

void ResidentMemoryAfterStartup(benchmark::State& state) {
    core::VirtualTimerHost host;
    core::ScriptedDialogs dialogs;
    core::RandomSource random;
    core::VirtualWallClock clock(host, QDateTime::currentDateTime());
    SilentOutput output;
    app::ConsoleWindow console(app::Services{core::AppDir(QStringLiteral(SYLVARO_PROGRAM_DIR)),
                                             host, dialogs, random, clock, output});
    console.load();
    console.show();
    host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    if (!console.lifecycle().isStarted()) {
        state.SkipWithError("start-up failed");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(console.sounds().engine().bufferCount());
    }
    state.counters["resident_MB"] = residentMegabytes();
}
BENCHMARK(ResidentMemoryAfterStartup)->Iterations(1);

} // namespace

#include "OffscreenMain.h"
