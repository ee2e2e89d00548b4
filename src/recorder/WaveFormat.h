#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace sylvaro::recorder {

// A PCM format as the recorder names it: 8-bit samples are unsigned
// (silence 128), 16-bit samples signed little-endian, as in a WAV file.
struct WaveFormat {
    int samplesPerSec = 11025;
    int bitsPerSample = 8;
    int channels = 1;

    int blockAlign() const { return bitsPerSample * channels / 8; }
    int bytesPerSec() const { return blockAlign() * samplesPerSec; }
    bool operator==(const WaveFormat&) const = default;
};

// One entry of the recorder's quality list.
struct QualityEntry {
    const char* text;
    WaveFormat format;
};

// The sixteen qualities in list order; the eighth is the default.
const std::array<QualityEntry, 16>& qualityTable();
constexpr int kDefaultQuality = 7;
// The format an entry's text names; nullopt for any other text.
std::optional<WaveFormat> qualityByText(const QString& text);

} // namespace sylvaro::recorder
