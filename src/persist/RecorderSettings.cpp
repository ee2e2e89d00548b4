#include "RecorderSettings.h"

#include "LineCodec.h"

#include <cmath>

namespace sylvaro::persist {

namespace {

// Twips of any screen there is, with room to spare.
constexpr double kTwipsLimit = 1e7;

std::optional<double> twips(const LineRecord& r, int i, double min) {
    if (r.isEmpty(i)) {
        return 0.0;
    }
    const std::optional<QString> text = r.string(i);
    bool ok = false;
    const double v = text ? text->toDouble(&ok) : 0.0;
    if (!ok || !std::isfinite(v) || v < min || v > kTwipsLimit) {
        return std::nullopt;
    }
    return v;
}

} // namespace

QByteArray RecorderSettings::toLine() const {
    LineWriter w;
    w.integer(sizeLimitBox)
        .integer(lengthLimitBox)
        .integer(sizeTarget)
        .integer(lengthTarget)
        .integer(quality)
        .integer(std::llround(height))
        .integer(std::llround(left))
        .integer(std::llround(top))
        .boolean(mp3)
        .boolean(wav)
        .integer(lineList);
    return w.line();
}

std::optional<RecorderSettings> RecorderSettings::fromLine(const QByteArray& line) {
    const LineRecord r = LineRecord::parse(line);
    if (r.size() != kFieldCount) {
        return std::nullopt;
    }
    const auto sizeBox = r.integer(0, 0, 1);
    const auto lengthBox = r.integer(1, 0, 1);
    const auto sizeTarget = r.integer(2, 1, 1000);
    const auto lengthTarget = r.integer(3, 1, 100);
    const auto quality = r.integer(4, -1, 15);
    const auto height = twips(r, 5, 0.0);
    const auto left = twips(r, 6, -kTwipsLimit);
    const auto top = twips(r, 7, -kTwipsLimit);
    const auto mp3 = r.boolean(8);
    const auto wav = r.boolean(9);
    const auto lines = r.integer(10, -32768, 32767);
    if (!sizeBox || !lengthBox || !sizeTarget || !lengthTarget || !quality || !height || !left ||
        !top || !mp3 || !wav || !lines) {
        return std::nullopt;
    }
    RecorderSettings s;
    s.sizeLimitBox = *sizeBox;
    s.lengthLimitBox = *lengthBox;
    s.sizeTarget = *sizeTarget;
    s.lengthTarget = *lengthTarget;
    s.quality = *quality;
    s.height = *height;
    s.left = *left;
    s.top = *top;
    s.mp3 = *mp3;
    s.wav = *wav;
    s.lineList = *lines;
    return s;
}

} // namespace sylvaro::persist
