#include "app/ConsoleFixture.h"
#include "app/ConsoleMenus.h"
#include "app/MixFiles.h"
#include "export/ConsoleExport.h"
#include "export/ExportWindow.h"
#include "export/SoundscapeExport.h"
#include "persist/LineCodec.h"
#include "scenes/SceneTable.h"
#include "support/ProgramRun.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <ebur128.h>
#include <sndfile.h>
#include <vector>

using namespace sylvaro;
using sylvaro::test::ConsoleTest;

namespace {

constexpr int kRate = 48000;

struct Sound {
    int rate = 0;
    int channels = 0;
    int format = 0;
    std::vector<float> samples; // interleaved
    std::int64_t frames() const { return channels ? std::ssize(samples) / channels : 0; }
};

Sound readSound(const QString& path) {
    Sound sound;
    SF_INFO info{};
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f) {
        return sound;
    }
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.format = info.format;
    sound.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(f, sound.samples.data(), info.frames);
    sf_close(f);
    return sound;
}

double loudness(const std::vector<float>& stereo) {
    ebur128_state* meter = ebur128_init(2, kRate, EBUR128_MODE_I);
    ebur128_add_frames_float(meter, stereo.data(), stereo.size() / 2);
    double lufs = 0;
    ebur128_loudness_global(meter, &lufs);
    ebur128_destroy(&meter);
    return lufs;
}

// The console as a user leaves it: saved with one random channel on.
persist::ConsoleSettings oneRandomChannel(int slot, int value) {
    persist::ConsoleSettings s;
    s.bank1.fill(console::kFrequencyOff);
    s.bank2.fill(console::kFrequencyOff);
    s.bank1[static_cast<std::size_t>(slot)] = value;
    return s;
}

// A stretch of sound in the output, with its mean level per side.
struct Event {
    std::int64_t start = 0;
    std::int64_t length = 0;
    double left = 0;
    double right = 0;
    double panDb() const { return 20.0 * std::log10(left / right); }
};

// Runs of sound separated by at least 50 ms of silence.
std::vector<Event> events(const Sound& sound) {
    std::vector<Event> found;
    const std::int64_t gap = kRate / 20;
    std::int64_t quietSince = -1;
    for (std::int64_t i = 0; i < sound.frames(); ++i) {
        const float l = sound.samples[static_cast<std::size_t>(2 * i)];
        const float r = sound.samples[static_cast<std::size_t>(2 * i + 1)];
        const bool heard = std::abs(l) > 1e-4f || std::abs(r) > 1e-4f;
        if (heard) {
            if (found.empty() || (quietSince >= 0 && i - quietSince >= gap)) {
                found.push_back({i, 0, 0, 0});
            }
            quietSince = -1;
            Event& e = found.back();
            e.length = i - e.start + 1;
            e.left += std::abs(l);
            e.right += std::abs(r);
        } else if (quietSince < 0) {
            quietSince = i;
        }
    }
    return found;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class ExportTest : public ConsoleTest {
protected:
    QTemporaryDir out;

    QString target(const QString& name) const { return out.path() + QLatin1Char('/') + name; }

    exporting::ExportJob job(exporting::SoundscapeSource source, int minutes, std::uint32_t seed,
                             const QString& name) const {
        exporting::ExportJob j;
        j.source = std::move(source);
        j.minutes = minutes;
        j.seed = seed;
        j.target = target(name);
        j.format = *exporting::formatOfPath(name);
        return j;
    }
    static exporting::SoundscapeSource scene(const QString& caption) {
        exporting::SoundscapeSource s;
        s.kind = exporting::SoundscapeSource::Kind::Scene;
        s.scene = caption;
        return s;
    }

    // Runs an export from start to end; the reason when it failed.
    static QString runExport(const core::AppDir& dir, const exporting::ExportJob& j) {
        exporting::SoundscapeExport run(dir);
        QString error;
        if (!run.start(j, error)) {
            return error;
        }
        while (run.advance(kRate, error) == exporting::SoundscapeExport::State::Running) {
        }
        return run.state() == exporting::SoundscapeExport::State::Done ? QString() : error;
    }

    static QString builtProgram() { return qEnvironmentVariable("SYLVARO_PROGRAM_DIR"); }
};

// Ten minutes of a scene from the built-in sounds: exactly as long as asked,
// and as loud as the same scene played by the console itself.
TEST_F(ExportTest, TenMinutesOfASceneAreExactAndAsLoudAsTheConsolePlaysIt) {
    const QString program = builtProgram();
    if (program.isEmpty() || !QFileInfo::exists(program + QStringLiteral("/sounds"))) {
        GTEST_SKIP() << "SYLVARO_PROGRAM_DIR does not point at a built program folder";
    }
    constexpr std::uint32_t kSeed = 11;
    ASSERT_EQ(runExport(core::AppDir(program), job(scene(QStringLiteral("storm")), 10, kSeed,
                                                   QStringLiteral("storm.wav"))),
              QString());
    const Sound exported = readSound(target(QStringLiteral("storm.wav")));
    EXPECT_EQ(exported.rate, kRate);
    EXPECT_EQ(exported.channels, 2);
    EXPECT_EQ(exported.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(exported.frames(), std::int64_t{10} * 60 * kRate);

    // The console on screen: the same scene clicked, ten minutes rendered
    // as the sound card would pull them.
    random.setFixedSeed(kSeed);
    console = std::make_unique<app::ConsoleWindow>(
        app::Services{core::AppDir(program), host, dialogs, random, clock, audio});
    console->load();
    host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    ASSERT_TRUE(console->lifecycle().hasResumed());
    console->scenes().button("Storm")->click();
    std::vector<float> live;
    live.reserve(exported.samples.size());
    for (int step = 0; step < 10 * 60 * 100; ++step) {
        const std::vector<float> piece = audio.render(kRate / 100);
        live.insert(live.end(), piece.begin(), piece.end());
        host.advance(10);
    }
    const double exportedLufs = loudness(exported.samples);
    const double liveLufs = loudness(live);
    EXPECT_GT(exportedLufs, -40.0) << "the export is nearly silent";
    EXPECT_NEAR(exportedLufs, liveLufs, 1.0);
}

// The saved console with one random channel: its sound comes at the rate
// its slider sets (a tick every 15.5 × value ms on average, 29 % of ticks
// playing) and lands all over the stereo field (-30..+20 dB).
TEST_F(ExportTest, ARandomChannelFiresAtItsRateAndPansAcrossTheField) {
    constexpr int kValue = 400;
    folder.writeSettings(oneRandomChannel(0, kValue));
    exporting::SoundscapeSource saved; // the saved console
    ASSERT_EQ(
        runExport(core::AppDir(folder.path()), job(saved, 10, 3, QStringLiteral("leaf borer.wav"))),
        QString());
    const Sound sound = readSound(target(QStringLiteral("leaf borer.wav")));
    ASSERT_EQ(sound.frames(), std::int64_t{600} * kRate);
    const std::vector<Event> found = events(sound);

    const double ticks = 600.0 / (15.5 * kValue / 1000.0);
    const double expected = ticks * 0.29;
    EXPECT_GT(static_cast<double>(found.size()), expected * 0.6) << found.size();
    EXPECT_LT(static_cast<double>(found.size()), expected * 1.4) << found.size();

    double leftMost = -100;
    double rightMost = 100;
    for (const Event& e : found) {
        // Each firing plays the 0.1 s sound once.
        EXPECT_NEAR(static_cast<double>(e.length), kRate / 10.0, kRate / 50.0);
        EXPECT_GT(e.panDb(), -21.0);
        EXPECT_LT(e.panDb(), 31.0);
        leftMost = std::max(leftMost, e.panDb());
        rightMost = std::min(rightMost, e.panDb());
    }
    EXPECT_GT(leftMost, 10.0);
    EXPECT_LT(rightMost, -5.0);
}

// A seed makes an export again byte for byte; another seed makes another.
// FLAC is lossless; MP3 comes out the same length.
TEST_F(ExportTest, TheSameSeedGivesTheSameBytesInEveryFormat) {
    const core::AppDir dir(folder.path());
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.flac"}) {
        const std::uint32_t seed = QByteArray(name) == "c.wav" ? 6 : 5;
        ASSERT_EQ(
            runExport(dir, job(scene(QStringLiteral("Storm")), 1, seed, QString::fromLatin1(name))),
            QString());
    }
    const QByteArray a = test::contents(target(QStringLiteral("a.wav")));
    EXPECT_EQ(a, test::contents(target(QStringLiteral("b.wav"))));
    EXPECT_NE(a, test::contents(target(QStringLiteral("c.wav"))));
    const Sound wav = readSound(target(QStringLiteral("a.wav")));
    const Sound flac = readSound(target(QStringLiteral("d.flac")));
    EXPECT_EQ(flac.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    EXPECT_EQ(flac.samples, wav.samples);
    EXPECT_EQ(filesIn(out.path()).size(), 4) << filesIn(out.path()).join(' ').toStdString();

    const QString lame = QStandardPaths::findExecutable(QStringLiteral("lame"));
    if (lame.isEmpty()) {
        GTEST_SKIP() << "lame is not installed";
    }
    exporting::ExportJob mp3 = job(scene(QStringLiteral("Storm")), 1, 5, QStringLiteral("e.mp3"));
    mp3.lame = lame;
    ASSERT_EQ(runExport(dir, mp3), QString());
    QProcess decode;
    decode.start(lame, {QStringLiteral("--quiet"), QStringLiteral("--decode"),
                        target(QStringLiteral("e.mp3")), target(QStringLiteral("e.wav"))});
    ASSERT_TRUE(decode.waitForFinished(60000));
    const Sound decoded = readSound(target(QStringLiteral("e.wav")));
    EXPECT_EQ(decoded.rate, kRate);
    EXPECT_NEAR(static_cast<double>(decoded.frames()), 60.0 * kRate, 0.1 * kRate);
}

// A WAV file counts its bytes in 32 bits; a ten-hour soundscape does not fit
// and is written as RF64, which players read as the same sound.
TEST(SoundscapeFileTest, ALengthBeyondWavSizesIsWrittenAsRf64) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("night.wav"));
    const std::vector<float> second(2 * kRate, 0.25f);
    for (const int minutes : {372, 373}) {
        exporting::SoundscapeFile file;
        QString error;
        ASSERT_TRUE(file.open(path, exporting::ExportFormat::Wav, kRate,
                              std::int64_t{minutes} * 60 * kRate, {}, error))
            << error.toStdString();
        ASSERT_TRUE(file.write(second.data(), kRate, error));
        ASSERT_TRUE(file.finish(error));
        const Sound sound = readSound(path);
        EXPECT_EQ(sound.format & SF_FORMAT_TYPEMASK,
                  minutes == 372 ? SF_FORMAT_WAV : SF_FORMAT_RF64)
            << minutes;
        EXPECT_EQ(sound.frames(), kRate);
        EXPECT_NEAR(sound.samples.back(), 0.25f, 1e-4f);
    }
}

// Cancelled half-way, or refused at the start: the file that was there stays
// as it was and nothing else is left in the folder.
TEST_F(ExportTest, ACancelledOrRefusedExportLeavesTheFolderAsItWas) {
    const core::AppDir dir(folder.path());
    const QString old = target(QStringLiteral("night.wav"));
    ASSERT_TRUE(persist::writeFileAtomically(old, QByteArray("an older soundscape")));
    {
        exporting::SoundscapeExport run(dir);
        QString error;
        ASSERT_TRUE(run.start(
            job(scene(QStringLiteral("Night")), 5, 1, QStringLiteral("night.wav")), error))
            << error.toStdString();
        for (int i = 0; i < 30; ++i) {
            ASSERT_EQ(run.advance(kRate, error), exporting::SoundscapeExport::State::Running);
        }
        EXPECT_EQ(filesIn(out.path()).size(), 2); // the old file and the one being made
        run.cancel();
        EXPECT_EQ(run.state(), exporting::SoundscapeExport::State::Cancelled);
    }
    EXPECT_EQ(filesIn(out.path()), QStringList{QStringLiteral("night.wav")});
    EXPECT_EQ(test::contents(old), QByteArray("an older soundscape"));

    // Dropped while running (the console closed): the same.
    {
        exporting::SoundscapeExport run(dir);
        QString error;
        ASSERT_TRUE(
            run.start(job(scene(QStringLiteral("Night")), 5, 1, QStringLiteral("x.flac")), error));
        run.advance(kRate, error);
    }
    EXPECT_EQ(filesIn(out.path()), QStringList{QStringLiteral("night.wav")});

    const auto refused = [&](exporting::ExportJob j) {
        exporting::SoundscapeExport run(dir);
        QString error;
        EXPECT_FALSE(run.start(j, error));
        return error;
    };
    EXPECT_TRUE(refused(job(scene(QStringLiteral("Moonbase")), 1, 1, QStringLiteral("m.wav")))
                    .contains(QStringLiteral("no scene called \"Moonbase\"")));
    exporting::ExportJob missingFolder =
        job(scene(QStringLiteral("Night")), 1, 1, QStringLiteral("n.wav"));
    missingFolder.target = out.path() + QStringLiteral("/no such folder/n.wav");
    EXPECT_TRUE(refused(missingFolder).contains(QStringLiteral("does not exist")));
    EXPECT_TRUE(refused(job(scene(QStringLiteral("Night")), 601, 1, QStringLiteral("n.wav")))
                    .contains(QStringLiteral("1 to 600 minutes")));
    exporting::ExportJob noEncoder =
        job(scene(QStringLiteral("Night")), 1, 1, QStringLiteral("n.mp3"));
    EXPECT_TRUE(refused(noEncoder).contains(QStringLiteral("lame")));
    const QString notAMix = target(QStringLiteral("notes.svm"));
    ASSERT_TRUE(persist::writeFileAtomically(notAMix, QByteArray("shopping list\r\n")));
    exporting::SoundscapeSource mix;
    mix.kind = exporting::SoundscapeSource::Kind::MixFile;
    mix.mixPath = notAMix;
    EXPECT_TRUE(
        refused(job(mix, 1, 1, QStringLiteral("n.wav"))).contains(QStringLiteral("notes.svm")));
    EXPECT_EQ(filesIn(out.path()),
              (QStringList{QStringLiteral("night.wav"), QStringLiteral("notes.svm")}));
}

// From the File menu: the console's own mix, with progress, while the
// console goes on playing and keeps every control as it was.
TEST_F(ExportTest, TheMenuExportsTheConsolesMixWhileItPlaysOn) {
    folder.writeSettings(oneRandomChannel(0, 200));
    start();
    box(1)->setChecked(true); // a background the saved state did not have
    const persist::MixFile before = console->state().captureMix();
    exporting::ConsoleExport exports(*console);
    console->menus().action(QStringLiteral("mnuExport"))->trigger();
    exporting::ExportWindow& window = exports.window();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.minutesBox()->value(), 60);
    window.minutesBox()->setValue(2);
    window.formatBox()->setCurrentIndex(1); // FLAC
    window.setNextSeed(9);
    // A name typed without its extension gets the format's.
    dialogs.chooseFileNext(target(QStringLiteral("evening")));
    window.exportButton()->click();
    ASSERT_TRUE(window.isRunning());
    EXPECT_FALSE(window.exportButton()->isEnabled());
    EXPECT_EQ(window.cancelButton()->text(), QStringLiteral("Cancel"));
    // The window has grown to show the progress bar and status whole.
    EXPECT_GE(window.height(), window.layout()->totalHeightForWidth(window.width()));
    int slices = 0;
    float livePeak = 0;
    while (window.isRunning()) {
        window.renderSlice();
        ++slices;
        for (float s : audio.render(480)) {
            livePeak = std::max(livePeak, std::abs(s));
        }
        host.advance(10);
    }
    EXPECT_GT(slices, 1); // in pieces, not in one go
    EXPECT_GT(livePeak, 0.0f);
    EXPECT_TRUE(window.statusLabel()->text().startsWith(QStringLiteral("Exported 2 minutes")))
        << window.statusLabel()->text().toStdString();
    EXPECT_EQ(window.cancelButton()->text(), QStringLiteral("Close"));
    const Sound sound = readSound(target(QStringLiteral("evening.flac")));
    EXPECT_EQ(sound.frames(), std::int64_t{120} * kRate);
    // The ticked background is in the file: its constant level through
    // most of the first ten seconds (the random channel comes and goes).
    const double level = test::ProgramFolder::levelOf(
        std::string(console::catalogue::entries()[static_cast<std::size_t>(bg(1))].file));
    int steady = 0;
    for (int i = 0; i < 10 * kRate; ++i) {
        steady += std::abs(sound.samples[static_cast<std::size_t>(2 * i)] - level) < 0.005 ? 1 : 0;
    }
    EXPECT_GT(steady, 8 * kRate) << "level " << level;
    EXPECT_EQ(console->state().captureMix(), before);

    // The same again with the same seed gives the same file.
    window.setNextSeed(9);
    dialogs.chooseFileNext(target(QStringLiteral("again.flac")));
    window.exportButton()->click();
    while (window.isRunning()) {
        window.renderSlice();
    }
    EXPECT_EQ(readSound(target(QStringLiteral("again.flac"))).samples, sound.samples);

    // Cancel during a run leaves no file; Close after it hides the window.
    window.minutesBox()->setValue(600);
    dialogs.chooseFileNext(target(QStringLiteral("long.wav")));
    window.exportButton()->click();
    window.renderSlice();
    window.cancelButton()->click();
    EXPECT_FALSE(window.isRunning());
    EXPECT_FALSE(QFileInfo::exists(target(QStringLiteral("long.wav"))));
    EXPECT_EQ(filesIn(out.path()).size(), 2);
    window.cancelButton()->click();
    EXPECT_FALSE(window.isVisible());
}

// The command line needs no display and no sound card, says what it made,
// and refuses a wrong command line with the usage.
TEST_F(ExportTest, TheCommandLineExportsWithoutADisplay) {
    const QString program = builtProgram();
    if (program.isEmpty() || !QFileInfo::exists(program + QStringLiteral("/sylvaro-lite"))) {
        GTEST_SKIP() << "SYLVARO_PROGRAM_DIR does not point at a built program folder";
    }
    QTemporaryDir home;
    QProcessEnvironment env = test::programEnvironment(home.path(), QStringLiteral("dummy"), {});
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "SDL_AUDIODRIVER"}) {
        env.remove(QString::fromLatin1(name));
    }
    const auto run = [&](const QStringList& args, QByteArray* said = nullptr) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program + QStringLiteral("/sylvaro-lite"), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        if (said) {
            *said = p.readAllStandardOutput() + p.readAllStandardError();
        }
        return p.exitCode();
    };
    QByteArray said;
    EXPECT_EQ(run({QStringLiteral("--export"), target(QStringLiteral("cli.flac")),
                   QStringLiteral("--minutes"), QStringLiteral("1"), QStringLiteral("--scene"),
                   QStringLiteral("Storm"), QStringLiteral("--seed"), QStringLiteral("3")},
                  &said),
              0)
        << said.toStdString();
    EXPECT_TRUE(said.contains("Exported 1 minute of the scene Storm")) << said.toStdString();
    const Sound sound = readSound(target(QStringLiteral("cli.flac")));
    EXPECT_EQ(sound.frames(), std::int64_t{60} * kRate);
    EXPECT_GT(*std::max_element(sound.samples.begin(), sound.samples.end()), 0.01f);

    for (const QStringList& wrong :
         {QStringList{QStringLiteral("--export"), target(QStringLiteral("x.ogg"))},
          QStringList{QStringLiteral("--export"), target(QStringLiteral("x.wav")),
                      QStringLiteral("--minutes"), QStringLiteral("0")},
          QStringList{QStringLiteral("--export"), target(QStringLiteral("x.wav")),
                      QStringLiteral("--scene"), QStringLiteral("Storm"), QStringLiteral("--mix"),
                      QStringLiteral("a.svm")},
          QStringList{QStringLiteral("--export"), target(QStringLiteral("x.wav")),
                      QStringLiteral("--seed"), QStringLiteral("minus one")}}) {
        EXPECT_EQ(run(wrong, &said), 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(said.contains("usage: sylvaro-lite --export")) << said.toStdString();
    }
    EXPECT_EQ(run({QStringLiteral("--export"), target(QStringLiteral("x.wav")),
                   QStringLiteral("--scene"), QStringLiteral("Moonbase")},
                  &said),
              1);
    EXPECT_TRUE(said.contains("no scene called")) << said.toStdString();
    EXPECT_EQ(filesIn(out.path()), QStringList{QStringLiteral("cli.flac")});
}
