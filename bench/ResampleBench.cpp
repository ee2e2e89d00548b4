// Loading a sound at another rate than the device's converts it once, at
// load: 30 s of 44.1 kHz 16-bit stereo read and converted to 48 kHz. The goal
// is at most 50 ms; the plain read is there for comparison.

#include "engine/PcmLoader.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <sndfile.h>
#include <string>
#include <vector>

namespace {

constexpr int kSourceRate = 44100;
constexpr int kSeconds = 30;

// A temporary WAV of tones and noise, removed at exit.
class SourceFile {
public:
    SourceFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sylvaro-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        m_dir = pattern;
        m_path = (m_dir / "source.wav").string();
        SF_INFO info{};
        info.samplerate = kSourceRate;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(m_path.c_str(), SFM_WRITE, &info);
        if (file == nullptr) {
            m_path.clear();
            return;
        }
        std::vector<float> samples(2 * static_cast<std::size_t>(kSourceRate) * kSeconds);
        std::uint32_t noise = 12345;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            noise = noise * 1664525u + 1013904223u;
            const double t = static_cast<double>(i / 2) / kSourceRate;
            samples[i] = static_cast<float>(
                0.3 * std::sin(2 * std::numbers::pi * (i % 2 ? 330.0 : 220.0) * t) +
                0.1 * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0));
        }
        sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / 2));
        sf_close(file);
    }
    ~SourceFile() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    const std::string& path() const { return m_path; }

private:
    std::filesystem::path m_dir;
    std::string m_path;
};

const SourceFile& source() {
    static const SourceFile file;
    return file;
}

void load(benchmark::State& state, int targetRate) {
    if (source().path().empty()) {
        state.SkipWithError("cannot write the source file");
        return;
    }
    for (auto _ : state) {
        const auto result = sylvaro::engine::loadPcm(source().path(), targetRate);
        if (!result) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.pcm->frames);
    }
}

void BM_Load30sStereo44k1To48k(benchmark::State& state) {
    load(state, 48000);
}
void BM_Load30sStereo44k1AsIs(benchmark::State& state) {
    load(state, 0);
}

BENCHMARK(BM_Load30sStereo44k1To48k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load30sStereo44k1AsIs)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
