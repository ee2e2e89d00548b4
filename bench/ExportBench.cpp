// Exporting a soundscape: an hour of the "Storm" scene to WAV (goal: at
// least 300 times faster than real time on one core, so at most 12 s), and
// the resident memory of a ten-hour export, which must not grow with the
// length (goal: at most 150 MB).

#include "ProcStatus.h"
#include "export/SoundscapeExport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <string>

using namespace sylvaro;

namespace {

// Runs one export of `minutes` of the Storm scene to WAV; false with the
// reason in `error` when it fails. `rssAt` samples the resident memory at
// each tenth of the way.
bool exportStorm(int minutes, const QString& folder, std::string& error,
                 std::vector<double>* rssAt = nullptr) {
    exporting::ExportJob job;
    job.source.kind = exporting::SoundscapeSource::Kind::Scene;
    job.source.scene = QStringLiteral("Storm");
    job.minutes = minutes;
    job.seed = 1;
    job.target = folder + QStringLiteral("/storm.wav");
    job.format = exporting::ExportFormat::Wav;
    exporting::SoundscapeExport exporter(core::AppDir(QStringLiteral(SYLVARO_PROGRAM_DIR)));
    QString message;
    if (!exporter.start(job, message)) {
        error = message.toStdString();
        return false;
    }
    std::int64_t nextSample = 0;
    for (;;) {
        const auto state = exporter.advance(48000, message);
        if (rssAt && exporter.framesDone() >= nextSample) {
            rssAt->push_back(statusMegabytes("VmRSS:"));
            nextSample += exporter.framesTotal() / 10;
        }
        if (state == exporting::SoundscapeExport::State::Done) {
            return true;
        }
        if (state != exporting::SoundscapeExport::State::Running) {
            error = message.toStdString();
            return false;
        }
    }
}

void ExportHourOfStormToWav(benchmark::State& state) {
    QTemporaryDir folder;
    for (auto _ : state) {
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        if (!exportStorm(60, folder.path(), error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.counters["times_real_time"] = 3600.0 / took.count();
    }
}
BENCHMARK(ExportHourOfStormToWav)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void ExportTenHoursMemory(benchmark::State& state) {
    QTemporaryDir folder;
    for (auto _ : state) {
        std::string error;
        std::vector<double> rss;
        if (!exportStorm(600, folder.path(), error, &rss)) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.counters["rss_first_tenth_MB"] = rss.size() > 1 ? rss[1] : 0.0;
        state.counters["rss_last_tenth_MB"] = rss.empty() ? 0.0 : rss.back();
        state.counters["peak_MB"] = statusMegabytes("VmHWM:");
    }
}
BENCHMARK(ExportTenHoursMemory)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

#include "OffscreenMain.h"
