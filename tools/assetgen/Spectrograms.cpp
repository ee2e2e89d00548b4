// Draws a spectrogram of every built-in sound of the catalogue as a PNG:
//   spectrograms <program folder> <output folder>
// Time runs left to right (a tick every second along the bottom), frequency up to
// 12 kHz bottom to top (a tick every kilohertz on the left), loudness from black
// through red and yellow to white over the top 80 dB of the sound.
#include "assetgen/Signature.h"
#include "assetgen/SoundMeasure.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QList>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFft = 2048;
constexpr double kHighestHz = 12000.0;
constexpr double kRangeDb = 80.0;
constexpr std::size_t kWidestPicture = 1600;

constexpr int kShades = 64;

// Black, red, yellow, white as the shade runs up; few shades keep the PNGs small.
QList<QRgb> heatPalette() {
    QList<QRgb> palette;
    const auto channel = [](double x) {
        return static_cast<int>(std::lround(255.0 * std::clamp(x, 0.0, 1.0)));
    };
    for (int i = 0; i < kShades; ++i) {
        const double u = static_cast<double>(i) / (kShades - 1);
        palette.push_back(qRgb(channel(3.0 * u), channel(3.0 * u - 1.0), channel(3.0 * u - 2.0)));
    }
    palette.push_back(qRgb(80, 160, 255)); // ticks
    return palette;
}

bool draw(const measure::Clip& clip, const fs::path& target) {
    // A hop of 5 ms where the picture stays narrow enough, longer for the loops.
    const std::size_t hop = std::max<std::size_t>(static_cast<std::size_t>(0.005 * clip.rate),
                                                  clip.samples.size() / kWidestPicture + 1);
    const auto columns = measure::spectrogramDb(clip, kFft, hop, kHighestHz);
    if (columns.empty() || columns.front().empty()) {
        return false;
    }
    float loudest = -1e9f;
    for (const auto& column : columns) {
        loudest = std::max(loudest, *std::max_element(column.begin(), column.end()));
    }
    const int width = static_cast<int>(columns.size());
    const int height = static_cast<int>(columns.front().size());
    QImage image(width, height, QImage::Format_Indexed8);
    image.setColorTable(heatPalette());
    for (int x = 0; x < width; ++x) {
        const auto& column = columns[static_cast<std::size_t>(x)];
        for (int y = 0; y < height; ++y) {
            const double db = column[static_cast<std::size_t>(height - 1 - y)];
            const double u = std::clamp(1.0 + (db - loudest) / kRangeDb, 0.0, 1.0);
            image.setPixel(x, y, static_cast<uint>(std::lround(u * (kShades - 1))));
        }
    }
    const uint tick = kShades;
    const double columnsPerSecond = clip.rate / static_cast<double>(hop);
    for (double s = 1.0; s * columnsPerSecond < width; s += 1.0) {
        const int x = std::min(width - 1, static_cast<int>(std::lround(s * columnsPerSecond)));
        for (int y = height - 6; y < height; ++y) {
            image.setPixel(x, y, tick);
        }
    }
    const double binsPerKhz = 1000.0 * static_cast<double>(kFft) / clip.rate;
    for (double k = 1.0; k * binsPerKhz < height; k += 1.0) {
        const int y = std::max(0, height - 1 - static_cast<int>(std::lround(k * binsPerKhz)));
        for (int x = 0; x < 6; ++x) {
            image.setPixel(x, y, tick);
        }
    }
    return image.save(QString::fromStdString(target.string()), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: spectrograms <program folder> <output folder>\n");
        return 2;
    }
    const fs::path programDir = argv[1];
    const fs::path outDir = argv[2];
    std::error_code error;
    fs::create_directories(outDir, error);
    if (error) {
        std::fprintf(stderr, "spectrograms: cannot create %s: %s\n", outDir.c_str(),
                     error.message().c_str());
        return 1;
    }
    int failures = 0;
    for (const assetgen::Signature& sig : assetgen::signatures()) {
        const auto clip = measure::readWav((programDir / sig.file).string(), sig.loop);
        fs::path target = outDir / sig.file;
        target.replace_extension(".png");
        if (!clip || !draw(*clip, target)) {
            std::fprintf(stderr, "spectrograms: cannot draw %s\n", sig.file.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
