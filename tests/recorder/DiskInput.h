#pragma once

#include "recorder/WaveFormat.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <sndfile.h>
#include <string>

namespace sylvaro::test {

// The sound the SDL disk driver "hears": raw samples in the format the
// capture device is opened with, read from SDL_DISKAUDIOFILEIN. After its end
// the driver delivers silence. `blockDelayMs` is how long the driver waits
// per block (SDL_DISKAUDIODELAY): small keeps capture fast, and the test never
// depends on it.
inline void useDiskInput(const QString& path, int blockDelayMs = 1) {
    setenv("SDL_DISKAUDIOFILEIN", path.toLocal8Bit().constData(), 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(blockDelayMs).c_str(), 1);
}

// Distinct, non-silent samples: a sawtooth with a seeded wobble, so a
// dropped, doubled or shifted byte shows.
inline QByteArray makeSamples(const recorder::WaveFormat& format, int frames,
                              std::uint32_t seed = 7) {
    QByteArray bytes;
    const int count = frames * format.channels;
    std::uint32_t state = seed;
    for (int i = 0; i < count; ++i) {
        state = state * 1664525u + 1013904223u;
        const int wobble = static_cast<int>(state >> 28);
        if (format.bitsPerSample == 8) {
            bytes.append(static_cast<char>(static_cast<std::uint8_t>(20 + (i * 3 + wobble) % 200)));
        } else {
            const auto s = static_cast<std::int16_t>(((i * 97 + wobble * 13) % 40000) - 20000);
            bytes.append(static_cast<char>(s & 0xFF));
            bytes.append(static_cast<char>((s >> 8) & 0xFF));
        }
    }
    return bytes;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A WAV file as read back: its format and its sample bytes as stored.
struct WavContent {
    bool ok = false;
    int rate = 0;
    int channels = 0;
    int subtype = 0;
    QByteArray bytes;
};

inline WavContent readWav(const QString& path) {
    WavContent c;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.toLocal8Bit().constData(), SFM_READ, &info);
    if (!f) {
        return c;
    }
    c.rate = info.samplerate;
    c.channels = info.channels;
    c.subtype = info.format & SF_FORMAT_SUBMASK;
    const int width = c.subtype == SF_FORMAT_PCM_U8 ? 1 : 2;
    c.bytes.resize(static_cast<qsizetype>(info.frames * info.channels * width));
    c.ok = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV &&
           sf_read_raw(f, c.bytes.data(), c.bytes.size()) == c.bytes.size();
    sf_close(f);
    return c;
}

} // namespace sylvaro::test
