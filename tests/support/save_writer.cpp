// Writes one kind of the program's files with the program's own writers, for
// the tests that kill a save part-way. Usage:
//
//   save-writer KIND TARGET once N    writes content N (0 or 1) once
//   save-writer KIND TARGET loop      alternates contents 0 and 1 until killed
//
// A recording is exported from the raw takes take0.raw and take1.raw in the
// folder SAVE_WRITER_TAKES names.
// "ready" goes to standard output once the first write is about to start. A
// failed write prints the writer's message on standard error and exits 1.

#include "SaveKinds.h"
#include "export/SoundscapeFile.h"
#include "persist/ConsoleSettings.h"
#include "persist/CustomPanelSettings.h"
#include "persist/LineCodec.h"
#include "persist/MixFile.h"
#include "persist/RecorderSettings.h"
#include "recorder/WavExport.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

using namespace sylvaro;

namespace {

QByteArray lineContent(const QString& kind, int which) {
    if (kind == QLatin1String("settings")) {
        persist::ConsoleSettings s;
        s.bank1.fill(which == 0 ? 100 : 900);
        s.bank2.fill(which == 0 ? 2000 : 3);
        s.randomVolume = which == 0 ? 10 : 90;
        return s.toLine();
    }
    if (kind == QLatin1String("panel")) {
        persist::CustomPanelSettings p;
        p.enabled = {which, 1 - which};
        p.backgroundLabels[0] =
            which == 0 ? QStringLiteral("Rain") : QStringLiteral("Harbour at dusk");
        p.frequency = {which == 0 ? 10 : 1900, 20, 30, 40};
        return p.toLine();
    }
    if (kind == QLatin1String("recorder")) {
        persist::RecorderSettings r;
        r.sizeTarget = which == 0 ? 700 : 12;
        r.quality = which == 0 ? 7 : 2;
        r.mp3 = which == 1;
        r.wav = which == 0;
        return r.toLine();
    }
    persist::MixFile m;
    m.alarmTime = which == 0 ? QStringLiteral("07:30") : QStringLiteral("22:05");
    m.alarmState = which == 0 ? QStringLiteral("ON") : QStringLiteral("OFF");
    m.console.bank1.fill(which == 0 ? 500 : 1500);
    m.names.picture = which == 0 ? QStringLiteral("forest.jpg")
                                 : QStringLiteral("a much longer picture name.png");
    return m.toLine();
}

bool writeOnce(const QString& kind, const QString& target, int which, QString& error) {
    if (saves::isLineKind(kind)) {
        return persist::writeFileAtomically(target, lineContent(kind, which), &error);
    }
    if (kind == QLatin1String("recording")) {
        const QString takes = qEnvironmentVariable("SAVE_WRITER_TAKES");
        recorder::WaveFormat format;
        format.samplesPerSec = saves::kSampleRate;
        format.bitsPerSample = 16;
        format.channels = 1;
        return recorder::exportWav(takes + QStringLiteral("/take%1.raw").arg(which), format, target,
                                   &error);
    }
    const auto format = kind == QLatin1String("export-flac") ? exporting::ExportFormat::Flac
                                                             : exporting::ExportFormat::Wav;
    static const std::vector<float> samples[2] = {saves::exportSamples(0), saves::exportSamples(1)};
    exporting::SoundscapeFile file;
    if (!file.open(target, format, saves::kSampleRate, saves::kExportFrames, QString(), error)) {
        return false;
    }
    // In blocks, as an export writes.
    constexpr int kBlock = 4096;
    for (int at = 0; at < saves::kExportFrames; at += kBlock) {
        const int n = std::min(kBlock, saves::kExportFrames - at);
        if (!file.write(samples[which].data() + static_cast<std::size_t>(at) * 2, n, error)) {
            return false;
        }
    }
    return file.finish(error);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4 || !saves::saveKinds().contains(args[1])) {
        std::fprintf(stderr, "usage: save-writer KIND TARGET once N | loop\n");
        return 2;
    }
    const QString kind = args[1];
    const QString target = args[2];
    const bool loop = args[3] == QLatin1String("loop");
    int which = loop ? 0 : args.value(4).toInt();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (;;) {
        QString error;
        if (!writeOnce(kind, target, which, error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error.isEmpty() ? QStringLiteral("?") : error));
            return 1;
        }
        if (!loop) {
            return 0;
        }
        which = 1 - which;
    }
}
