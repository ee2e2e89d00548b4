#include "ExportCommand.h"

#include "SoundscapeExport.h"
#include "recorder/Mp3Encoder.h"
#include "scenes/SceneTable.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <random>
#include <unistd.h>

namespace sylvaro::exporting {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

void say(std::FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

int usageError(const QString& why) {
    say(stderr, QStringLiteral("sylvaro-lite: %1\n"
                               "usage: sylvaro-lite --export FILE.wav|.flac|.mp3 [--minutes N] "
                               "[--scene NAME | --mix FILE.svm] [--seed N]\n")
                    .arg(why));
    return 2;
}

const QCommandLineOption kExport(QStringLiteral("export"), {}, QStringLiteral("file"));
const QCommandLineOption kMinutes(QStringLiteral("minutes"), {}, QStringLiteral("n"));
const QCommandLineOption kScene(QStringLiteral("scene"), {}, QStringLiteral("name"));
const QCommandLineOption kMix(QStringLiteral("mix"), {}, QStringLiteral("file"));
const QCommandLineOption kSeed(QStringLiteral("seed"), {}, QStringLiteral("n"));

QString sourceName(const SoundscapeSource& source) {
    switch (source.kind) {
    case SoundscapeSource::Kind::Scene:
        if (const scenes::Scene* scene = scenes::findByName(source.scene)) {
            return QStringLiteral("the scene %1")
                .arg(QString::fromUtf8(scene->caption.data(),
                                       static_cast<qsizetype>(scene->caption.size())));
        }
        return QStringLiteral("the scene %1").arg(source.scene);
    case SoundscapeSource::Kind::MixFile:
        return QDir::toNativeSeparators(source.mixPath);
    case SoundscapeSource::Kind::Saved:
    case SoundscapeSource::Kind::Mix:
        break;
    }
    return QStringLiteral("the saved console");
}

} // namespace

bool isExportCommand(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--export") ||
            argument.startsWith(QLatin1String("--export="))) {
            return true;
        }
    }
    return false;
}

int runExportCommand(const QStringList& arguments, const core::AppDir& dir) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({kExport, kMinutes, kScene, kMix, kSeed});
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(
            QStringLiteral("unexpected \"%1\"").arg(parser.positionalArguments().first()));
    }

    ExportJob job;
    job.target = QFileInfo(parser.value(kExport)).absoluteFilePath();
    const std::optional<exporting::ExportFormat> format = exporting::formatOfPath(job.target);
    if (parser.value(kExport).isEmpty() || !format) {
        return usageError(QStringLiteral("the file to export must end in .wav, .flac or .mp3"));
    }
    job.format = *format;
    if (parser.isSet(kMinutes)) {
        bool ok = false;
        job.minutes = parser.value(kMinutes).toInt(&ok);
        if (!ok || job.minutes < ExportJob::kMinMinutes || job.minutes > ExportJob::kMaxMinutes) {
            return usageError(QStringLiteral("--minutes takes a whole number from %1 to %2")
                                  .arg(ExportJob::kMinMinutes)
                                  .arg(ExportJob::kMaxMinutes));
        }
    }
    if (parser.isSet(kScene) && parser.isSet(kMix)) {
        return usageError(QStringLiteral("give either --scene or --mix, not both"));
    }
    if (parser.isSet(kScene)) {
        job.source.kind = SoundscapeSource::Kind::Scene;
        job.source.scene = parser.value(kScene);
    } else if (parser.isSet(kMix)) {
        job.source.kind = SoundscapeSource::Kind::MixFile;
        job.source.mixPath = QFileInfo(parser.value(kMix)).absoluteFilePath();
    }
    if (parser.isSet(kSeed)) {
        bool ok = false;
        job.seed = parser.value(kSeed).toUInt(&ok);
        if (!ok) {
            return usageError(QStringLiteral("--seed takes a whole number from 0 to 4294967295"));
        }
    } else {
        job.seed = std::random_device{}();
    }
    if (job.format == exporting::ExportFormat::Mp3) {
        job.lame = recorder::findEncoder(dir.path());
    }

    // Ctrl+C ends the export cleanly: no half-written file is left behind.
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    SoundscapeExport run(dir);
    QString error;
    if (!run.start(job, error)) {
        say(stderr, QStringLiteral("sylvaro-lite: cannot export %1: %2\n")
                        .arg(QDir::toNativeSeparators(job.target), error));
        return 1;
    }
    for (const QString& note : run.notes()) {
        say(stderr, QStringLiteral("sylvaro-lite: note: %1\n").arg(note));
    }
    const bool terminal = isatty(STDERR_FILENO) == 1;
    const QString name = QFileInfo(job.target).fileName();
    int shown = -1;
    constexpr int kSliceFrames = OfflineConsole::kSampleRate; // a second at a time
    SoundscapeExport::State state = SoundscapeExport::State::Running;
    while (state == SoundscapeExport::State::Running) {
        if (g_interrupted) {
            run.cancel();
            say(stderr,
                QStringLiteral("\nsylvaro-lite: export interrupted; nothing was written\n"));
            return 1;
        }
        state = run.advance(kSliceFrames, error);
        const int percent = static_cast<int>(run.framesDone() * 100 / run.framesTotal());
        if (terminal && percent != shown) {
            shown = percent;
            say(stderr, QStringLiteral("\rExporting %1: %2 %").arg(name).arg(percent));
        }
    }
    if (terminal) {
        say(stderr, QStringLiteral("\n"));
    }
    if (state != SoundscapeExport::State::Done) {
        say(stderr, QStringLiteral("sylvaro-lite: cannot export %1: %2\n")
                        .arg(QDir::toNativeSeparators(job.target), error));
        return 1;
    }
    say(stdout, QStringLiteral("Exported %1 %2 of %3 to %4 (seed %5)\n")
                    .arg(job.minutes)
                    .arg(job.minutes == 1 ? QStringLiteral("minute") : QStringLiteral("minutes"))
                    .arg(sourceName(job.source), QDir::toNativeSeparators(job.target))
                    .arg(job.seed));
    return 0;
}

} // namespace sylvaro::exporting
