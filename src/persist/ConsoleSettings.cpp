#include "ConsoleSettings.h"

#include "LineCodec.h"

#include <limits>

namespace sylvaro::persist {

namespace {

using console::frequencyMinimum;
using console::kFrequencyOff;
constexpr int kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr int kInt32Max = std::numeric_limits<std::int32_t>::max();

} // namespace

QByteArray ConsoleSettings::toLine() const {
    LineWriter w;
    w.integer(backColour).integer(textColour);
    for (int slot : console::kBank1Order) {
        w.integer(bank1[static_cast<std::size_t>(slot)]);
    }
    w.integer(randomVolume).integer(allSoundsVolume).integer(backgroundVolume);
    for (int box : boxes) {
        w.integer(box);
    }
    for (int value : bank2) {
        w.integer(value);
    }
    return w.line();
}

std::optional<ConsoleSettings> ConsoleSettings::fromLine(const QByteArray& line) {
    const LineRecord r = LineRecord::parse(line);
    if (r.size() != kFieldCount) {
        return std::nullopt;
    }
    ConsoleSettings s;
    bool ok = true;
    int field = 0;
    const auto next = [&](int min, int max) {
        const std::optional<int> v = r.integer(field++, min, max);
        ok = ok && v.has_value();
        return v.value_or(0);
    };
    s.backColour = next(kInt32Min, kInt32Max);
    s.textColour = next(kInt32Min, kInt32Max);
    for (int slot : console::kBank1Order) {
        s.bank1[static_cast<std::size_t>(slot)] = next(frequencyMinimum(1, slot), kFrequencyOff);
    }
    s.randomVolume = next(console::kVolumeMinimum, console::kVolumeMaximum);
    s.allSoundsVolume = next(console::kVolumeMinimum, console::kVolumeMaximum);
    s.backgroundVolume = next(console::kVolumeMinimum, console::kVolumeMaximum);
    for (int& box : s.boxes) {
        box = next(console::kBoxClear, console::kBoxGreyed);
    }
    for (int slot = 0; slot < console::kSlots; ++slot) {
        s.bank2[static_cast<std::size_t>(slot)] = next(frequencyMinimum(2, slot), kFrequencyOff);
    }
    if (!ok) {
        return std::nullopt;
    }
    return s;
}

QByteArray CustomNames::toLine() const {
    LineWriter w;
    for (const auto& name : random) {
        w.maybeString(name);
    }
    for (const auto& name : background) {
        w.maybeString(name);
    }
    w.string(picture);
    return w.line();
}

std::optional<CustomNames> CustomNames::fromLine(const QByteArray& line) {
    const LineRecord r = LineRecord::parse(line);
    if (r.size() != kFieldCount) {
        return std::nullopt;
    }
    // A value read back is a value given, even when empty.
    CustomNames n;
    for (int i = 0; i < 4; ++i) {
        n.random[static_cast<std::size_t>(i)] = r.string(i);
    }
    for (int i = 0; i < 2; ++i) {
        n.background[static_cast<std::size_t>(i)] = r.string(4 + i);
    }
    n.picture = r.string(6).value_or(QString());
    return n;
}

} // namespace sylvaro::persist
