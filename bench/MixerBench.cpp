// The mixer's worst case in the program: every background loop and every
// random sound playing at once (59 + 6 = 65 voices), rendered at 48 kHz,
// gain glides and the output limiter included (the sum of 65 loops is loud,
// so the limiter is working). "realtime" is how many times faster than real
// time the mix renders on one core; the goal is at least 1000, also while the
// mixer keeps the moments a long-buffered output rewinds to. A rewrite after
// a change - going back over the 2 s an output buffers and rendering them
// again - must take at most 5 ms.

#include "engine/Mixer.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

using sylvaro::engine::Mixer;
using sylvaro::engine::PcmData;
using sylvaro::engine::PcmPtr;

constexpr int kVoices = 65;
constexpr int kDeviceRate = 48000;
constexpr int kLoopSeconds = 30;

// 30 s of 16-bit noise-and-tone, different for every voice; every third
// voice is stereo.
PcmPtr makeLoop(int index, int rate) {
    auto pcm = std::make_shared<PcmData>();
    pcm->sampleRate = rate;
    pcm->channels = index % 3 == 0 ? 2 : 1;
    pcm->frames = std::int64_t{kLoopSeconds} * rate;
    pcm->s16.resize(static_cast<std::size_t>(pcm->frames * pcm->channels));
    // A rotating phasor makes the tone without a sin() per sample.
    const double w = 2 * std::numbers::pi * (110.0 * (1 + index % 7)) / rate;
    const double c = std::cos(w);
    const double s = std::sin(w);
    double x = 1;
    double y = 0;
    std::uint32_t noise = 0x9E3779B9u * static_cast<std::uint32_t>(index + 1);
    for (std::int16_t& sample : pcm->s16) {
        noise = noise * 1664525u + 1013904223u;
        const double nx = x * c - y * s;
        y = x * s + y * c;
        x = nx;
        sample = static_cast<std::int16_t>(6000 * y + static_cast<std::int16_t>(noise >> 16) / 8);
    }
    return pcm;
}

// Every `restartEvery` blocks (0: never) one voice is stopped and the one
// stopped the time before is started again, so 64 voices play and two fades
// are in flight.
std::vector<sylvaro::engine::VoiceId> startAllVoices(Mixer& mixer, std::vector<PcmPtr>& loops) {
    std::vector<sylvaro::engine::VoiceId> voices;
    for (int i = 0; i < kVoices; ++i) {
        loops.push_back(makeLoop(i, kDeviceRate));
        const auto v = mixer.createVoice(loops.back());
        mixer.setVolume(v, -(i % 20) * 100);
        mixer.setPan(v, (i % 9 - 4) * 500);
        mixer.setPosition(v, i * 7919);
        mixer.play(v, true);
        voices.push_back(v);
    }
    return voices;
}

void renderAllVoices(benchmark::State& state, int restartEvery, bool rewinding = false) {
    const int block = static_cast<int>(state.range(0));
    Mixer mixer(kDeviceRate);
    if (rewinding) {
        mixer.enableRewind(4 * kDeviceRate);
    }
    std::vector<PcmPtr> loops;
    const auto voices = startAllVoices(mixer, loops);
    std::vector<float> out(2 * static_cast<std::size_t>(block));
    int blocks = 0;
    for (auto _ : state) {
        if (restartEvery > 0 && ++blocks % restartEvery == 0) {
            const int n = blocks / restartEvery;
            mixer.stop(voices[static_cast<std::size_t>(n % kVoices)]);
            mixer.play(voices[static_cast<std::size_t>((n + kVoices - 1) % kVoices)], true);
        }
        mixer.render(out.data(), block);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    const double frames = static_cast<double>(state.iterations()) * block;
    state.counters["realtime"] =
        benchmark::Counter(frames / kDeviceRate, benchmark::Counter::kIsRate);
    state.SetItemsProcessed(static_cast<std::int64_t>(frames));
}

void BM_Mix65Voices48k(benchmark::State& state) {
    renderAllVoices(state, 0);
}
// A voice stops and another starts every block.
void BM_Mix65VoicesRestarting(benchmark::State& state) {
    renderAllVoices(state, 1);
}

// As a long-buffered output renders: keeping the moments to rewind to.
void BM_Mix65VoicesRewindable(benchmark::State& state) {
    renderAllVoices(state, 0, true);
}

// A change while 2 s are buffered ahead: back 2 s, and those 2 s again.
void BM_Rewrite2sOf65Voices(benchmark::State& state) {
    constexpr int kBuffered = 2 * kDeviceRate;
    constexpr int kRequest = kDeviceRate / 2;
    Mixer mixer(kDeviceRate);
    mixer.enableRewind(4 * kDeviceRate);
    std::vector<PcmPtr> loops;
    const auto voices = startAllVoices(mixer, loops);
    std::vector<float> out(2 * static_cast<std::size_t>(kBuffered));
    mixer.render(out.data(), kBuffered);
    int changes = 0;
    for (auto _ : state) {
        // The output's request comes (unmeasured), then a click.
        state.PauseTiming();
        mixer.render(out.data(), kRequest);
        mixer.settle(mixer.frame() - kBuffered);
        state.ResumeTiming();
        ++changes;
        mixer.setVolume(voices[static_cast<std::size_t>(changes % kVoices)], -(changes % 30) * 100);
        const std::int64_t end = mixer.frame();
        const std::int64_t from = mixer.rewind(end - kBuffered + 480);
        mixer.render(out.data(), static_cast<int>(end - from));
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_Mix65Voices48k)->Arg(512)->Arg(1024)->Arg(4096)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mix65VoicesRestarting)->Arg(1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mix65VoicesRewindable)->Arg(1024)->Arg(24000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rewrite2sOf65Voices)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
