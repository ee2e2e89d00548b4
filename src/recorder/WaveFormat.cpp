#include "WaveFormat.h"

namespace sylvaro::recorder {

const std::array<QualityEntry, 16>& qualityTable() {
    // The texts are shown exactly so, "22.050Hz" and "44.100Hz" included.
    static const std::array<QualityEntry, 16> table{{
        {"8.000kHz, 8bit Mono, 7k/sec", {8000, 8, 1}},
        {"8.000kHz, 8bit Stereo, 15k/sec", {8000, 8, 2}},
        {"8.000kHz, 16bit Mono, 15k/sec", {8000, 16, 1}},
        {"8.000kHz, 16bit Stereo, 31k/sec", {8000, 16, 2}},
        {"11.025kHz, 8bit Mono, 10k/sec", {11025, 8, 1}},
        {"11.025kHz, 8bit Stereo, 21k/sec", {11025, 8, 2}},
        {"11.025kHz, 16bit Mono, 21k/sec", {11025, 16, 1}},
        {"11.025kHz, 16bit Stereo, 43k/sec", {11025, 16, 2}},
        {"22.050Hz, 8bit Mono, 21k/sec", {22050, 8, 1}},
        {"22.050Hz, 8bit Stereo, 43k/sec", {22050, 8, 2}},
        {"22.050Hz, 16bit Mono, 43k/sec", {22050, 16, 1}},
        {"22.050Hz, 16bit Stereo, 86k/sec", {22050, 16, 2}},
        {"44.100Hz, 8bit Mono, 43k/sec", {44100, 8, 1}},
        {"44.100Hz, 8bit Stereo, 86k/sec", {44100, 8, 2}},
        {"44.100Hz, 16bit Mono, 86k/sec", {44100, 16, 1}},
        {"44.100Hz, 16bit Stereo, 172k/sec", {44100, 16, 2}},
    }};
    return table;
}

std::optional<WaveFormat> qualityByText(const QString& text) {
    for (const QualityEntry& entry : qualityTable()) {
        if (text == QLatin1String(entry.text)) {
            return entry.format;
        }
    }
    return std::nullopt;
}

} // namespace sylvaro::recorder
