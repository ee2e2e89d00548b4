#pragma once

// The kinds of file the save helper writes, and the two contents it
// alternates for each, shared by the helper and the tests that kill it.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace sylvaro::saves {

// settings, panel, recorder and mix are the program's line files; recording
// is a take exported to WAV; export-wav and export-flac are soundscape
// exports.
inline QStringList saveKinds() {
    return {QStringLiteral("settings"),   QStringLiteral("panel"),     QStringLiteral("recorder"),
            QStringLiteral("mix"),        QStringLiteral("recording"), QStringLiteral("export-wav"),
            QStringLiteral("export-flac")};
}

inline bool isLineKind(const QString& kind) {
    return kind == QLatin1String("settings") || kind == QLatin1String("panel") ||
           kind == QLatin1String("recorder") || kind == QLatin1String("mix");
}

// Frames in a recording or an export: enough that one write takes a few
// milliseconds, so kills land inside it.
constexpr int kRecordingFrames = 120000;
constexpr int kExportFrames = 60000;
constexpr int kSampleRate = 44100;

// Take 0 or 1 as raw 16-bit mono samples, little-endian as a take is stored.
inline QByteArray rawTake(int which) {
    QByteArray raw(kRecordingFrames * 2, '\0');
    for (int i = 0; i < kRecordingFrames; ++i) {
        const auto v = static_cast<std::uint16_t>(
            static_cast<std::int16_t>(which == 0 ? (i % 2000) - 1000 : 3000 - (i % 6000)));
        raw[2 * i] = static_cast<char>(v & 0xff);
        raw[2 * i + 1] = static_cast<char>(v >> 8);
    }
    return raw;
}

// Interleaved stereo export samples, version 0 or 1.
inline std::vector<float> exportSamples(int which) {
    std::vector<float> s(static_cast<std::size_t>(kExportFrames) * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const int k = static_cast<int>(i % 1000);
        s[i] = which == 0 ? static_cast<float>(k) / 2000.0f : -static_cast<float>(k) / 1500.0f;
    }
    return s;
}

} // namespace sylvaro::saves
