#pragma once

// The soundscape both soaks play: the "Storm" scene with all forty random
// channels and four random sounds of the user's own at "Often", in a copy of
// the program folder that holds those four sounds.

#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "app/MixFiles.h"
#include "console/Layout.h"
#include "custom/CustomChannels.h"
#include "engine/SoundEngine.h"
#include "export/OfflineConsole.h"
#include "panels/CatalogueSounds.h"
#include "panels/RandomSounds.h"
#include "persist/MixFile.h"
#include "random/RandomScheduler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <sndfile.h>
#include <vector>

namespace sylvaro::bench {

inline constexpr int kCustomRandoms = 4;

// A short decaying tone of the user's own, as a custom random sound.
inline bool writeTone(const QString& path, double hz) {
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

// The program folder `programDir` as built (linked), with the four sounds
// of the user's own in sounds/.
inline bool makeSoakFolder(const QString& programDir, const QTemporaryDir& folder) {
    const QDir program(programDir);
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

// The scene, then every random channel and custom random at "Often".
inline bool stormOftenMix(const core::AppDir& dir, persist::MixFile& mix, QString& error) {
    {
        exporting::OfflineConsole scene(dir, 1);
        exporting::SoundscapeSource storm;
        storm.kind = exporting::SoundscapeSource::Kind::Scene;
        storm.scene = QStringLiteral("Storm");
        if (!scene.prepare(storm, error)) {
            return false;
        }
        mix = scene.console().state().captureMix();
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
    return true;
}

// The random channels' buffers and firing timers: the 40 built-in ones,
// then the four of the user's own.
struct RandomChannels {
    std::vector<engine::Buffer> buffers;
    std::vector<core::IntervalTimer*> timers;
};

inline RandomChannels randomChannels(app::ConsoleWindow& console) {
    RandomChannels c;
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

} // namespace sylvaro::bench
