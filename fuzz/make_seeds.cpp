// Writes the seed corpora of the fuzz targets, one folder per target, with
// the program's own writers: settings files, custom selections, recorder
// settings and mixes as the program saves them, and short WAV files of every
// sample format and channel layout a user's file may come in.

#include "persist/ConsoleSettings.h"
#include "persist/CustomPanelSettings.h"
#include "persist/MixFile.h"
#include "persist/RecorderSettings.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <string>
#include <vector>

using namespace sylvaro;
namespace fs = std::filesystem;

namespace {

fs::path g_root;

void write(const std::string& target, const std::string& name, const QByteArray& bytes) {
    const fs::path folder = g_root / target;
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary).write(bytes.constData(), bytes.size());
    // Every line is a seed of the codec under them all as well.
    fs::create_directories(g_root / "fuzz_line_codec");
    std::ofstream(g_root / "fuzz_line_codec" / (target + "-" + name), std::ios::binary)
        .write(bytes.constData(), bytes.size());
}

persist::ConsoleSettings busyConsole() {
    persist::ConsoleSettings s;
    s.backColour = 0x00336699;
    s.textColour = -2147483640;
    for (int i = 0; i < console::kSlots; ++i) {
        s.bank1[static_cast<std::size_t>(i)] = console::frequencyMinimum(1, i) + 37 * i;
        s.bank2[static_cast<std::size_t>(i)] = console::kFrequencyOff - i;
    }
    s.randomVolume = -1200;
    s.allSoundsVolume = console::kVolumeMinimum;
    s.backgroundVolume = -400;
    for (std::size_t i = 0; i < s.boxes.size(); ++i) {
        s.boxes[i] = static_cast<int>(i % 3);
    }
    return s;
}

persist::CustomNames someNames() {
    persist::CustomNames n;
    n.random[0] = QStringLiteral("rain on tin.wav");
    n.random[2] = QString();
    n.background[1] = QStringLiteral("caf\u00E9, evening.WAV");
    n.picture = QStringLiteral("english fence.jpg");
    return n;
}

persist::CustomPanelSettings somePanel() {
    persist::CustomPanelSettings p;
    p.enabled = {1, 0};
    p.backgroundLabels[0] = QStringLiteral("Brook");
    p.frequency = {0, 1999, 750, persist::CustomPanelSettings::kFrequencyOff};
    p.randomLabels[3] = QStringLiteral("Owl \u2013 far");
    return p;
}

void writeRecords() {
    write("fuzz_settings", "default.ini", persist::ConsoleSettings{}.toLine());
    write("fuzz_settings", "busy.ini", busyConsole().toLine());

    write("fuzz_settings2", "default.ini", persist::CustomNames{}.toLine());
    write("fuzz_settings2", "named.ini", someNames().toLine());

    write("fuzz_settingsc", "default.ini", persist::CustomPanelSettings{}.toLine());
    write("fuzz_settingsc", "labelled.ini", somePanel().toLine());

    write("fuzz_settings9", "default.txt", persist::RecorderSettings{}.toLine());
    persist::RecorderSettings r;
    r.sizeLimitBox = 1;
    r.lengthTarget = 100;
    r.quality = -1;
    r.height = 5400;
    r.left = -1200;
    r.top = 300;
    r.mp3 = true;
    r.wav = false;
    r.lineList = 3;
    write("fuzz_settings9", "moved.txt", r.toLine());

    write("fuzz_mix", "default.mix", persist::MixFile{}.toLine());
    persist::MixFile m;
    m.console = busyConsole();
    m.alarmTime = QStringLiteral("06:45");
    m.alarmState = QStringLiteral("ON");
    m.names = someNames();
    m.panel = somePanel();
    write("fuzz_mix", "evening.mix", m.toLine());
}

void writeWav(const std::string& name, int format, int rate, int channels, int frames) {
    const fs::path folder = g_root / "fuzz_wav";
    fs::create_directories(folder);
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open((folder / name).c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "make_seeds: %s: %s\n", name.c_str(), sf_strerror(nullptr));
        std::exit(1);
    }
    if (channels == 6) {
        std::vector<int> map = {SF_CHANNEL_MAP_FRONT_LEFT,   SF_CHANNEL_MAP_FRONT_RIGHT,
                                SF_CHANNEL_MAP_FRONT_CENTER, SF_CHANNEL_MAP_LFE,
                                SF_CHANNEL_MAP_SIDE_LEFT,    SF_CHANNEL_MAP_SIDE_RIGHT};
        sf_command(file, SFC_SET_CHANNEL_MAP_INFO, map.data(),
                   static_cast<int>(map.size() * sizeof(int)));
    }
    std::vector<double> samples(static_cast<std::size_t>(frames * channels));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = 0.8 * std::sin(0.05 * static_cast<double>(i));
    }
    sf_writef_double(file, samples.data(), frames);
    sf_close(file);
}

void writeWavs() {
    constexpr int kWav = SF_FORMAT_WAV;
    writeWav("u8-mono-8k.wav", kWav | SF_FORMAT_PCM_U8, 8000, 1, 40);
    writeWav("s16-stereo-48k.wav", kWav | SF_FORMAT_PCM_16, 48000, 2, 40);
    writeWav("s16-mono-44k.wav", kWav | SF_FORMAT_PCM_16, 44100, 1, 40);
    writeWav("s24-stereo-96k.wav", kWav | SF_FORMAT_PCM_24, 96000, 2, 40);
    writeWav("s32-mono-22k.wav", kWav | SF_FORMAT_PCM_32, 22050, 1, 40);
    writeWav("float-stereo-11k.wav", kWav | SF_FORMAT_FLOAT, 11025, 2, 40);
    writeWav("float-mono-48k.wav", kWav | SF_FORMAT_FLOAT, 48000, 1, 40);
    writeWav("double-mono-32k.wav", kWav | SF_FORMAT_DOUBLE, 32000, 1, 40);
    writeWav("5.1-float-48k.wav", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 48000, 6, 20);
    writeWav("quad-s16-44k.wav", kWav | SF_FORMAT_PCM_16, 44100, 4, 20);
    writeWav("rf64-s16-stereo-16k.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 16000, 2, 40);
    writeWav("adpcm-mono-8k.wav", kWav | SF_FORMAT_IMA_ADPCM, 8000, 1, 64);
    // Longer than the resampler's pad: converted while it is read.
    writeWav("s16-mono-22k-long.wav", kWav | SF_FORMAT_PCM_16, 22050, 1, 4200);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <folder>\n");
        return 2;
    }
    g_root = argv[1];
    writeRecords();
    writeWavs();
    return 0;
}
