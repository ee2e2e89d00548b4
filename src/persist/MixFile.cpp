#include "MixFile.h"

#include "LineCodec.h"

#include <limits>

namespace sylvaro::persist {

namespace {

using console::frequencyMinimum;
using console::kFrequencyOff;

// Fields 1 to 5 follow the controls' names, not the slot numbers: slot 0,
// slot 2, the random volume, slot 1, slot 3.
constexpr int kRandomVolumeField = 3;
constexpr std::array<int, 4> kFirstSlots{0, 2, 1, 3};

} // namespace

QByteArray MixFile::toLine() const {
    LineWriter w;
    const auto bank1 = [&](int slot) { w.integer(console.bank1[static_cast<std::size_t>(slot)]); };
    bank1(0);
    bank1(2);
    w.integer(console.randomVolume);
    bank1(1);
    bank1(3);
    for (int slot = 4; slot < console::kSlots; ++slot) {
        bank1(slot);
    }
    w.integer(console.allSoundsVolume).integer(console.backgroundVolume);
    w.string(alarmTime).string(alarmState);
    w.integer(console.backColour).integer(console.textColour);
    for (int box : console.boxes) {
        w.integer(box);
    }
    for (int value : console.bank2) {
        w.integer(value);
    }
    for (const auto& name : names.random) {
        w.maybeString(name);
    }
    for (const auto& name : names.background) {
        w.maybeString(name);
    }
    w.integer(panel.enabled[0]).integer(panel.enabled[1]);
    for (int value : panel.frequency) {
        w.integer(value);
    }
    w.string(panel.backgroundLabels[0]);
    for (const QString& label : panel.randomLabels) {
        w.string(label);
    }
    w.string(panel.backgroundLabels[1]);
    w.string(names.picture);
    return w.line();
}

MixRead MixFile::fromLine(const QByteArray& line) {
    const LineRecord r = LineRecord::parse(line);
    MixRead read;
    if (r.size() != kFieldCount) {
        read.badField = r.size() < kFieldCount ? r.size() + 1 : kFieldCount + 1;
        read.reason = QStringLiteral("the line holds %1 fields where a mix has %2")
                          .arg(r.size())
                          .arg(kFieldCount);
        return read;
    }
    MixFile m;
    int field = 0; // 0-based index of the next field
    const auto fail = [&](const QString& why) {
        if (read.badField == 0) {
            read.badField = field;
            read.reason = why;
        }
    };
    const auto number = [&](int min, int max) {
        ++field;
        const std::optional<int> v = r.integer(field - 1, min, max);
        if (!v) {
            fail(QStringLiteral("\u201C%1\u201D is not a whole number from %2 to %3")
                     .arg(r.string(field - 1).value_or(QString()))
                     .arg(min)
                     .arg(max));
        }
        return v.value_or(0);
    };
    const auto text = [&] {
        ++field;
        return r.string(field - 1).value_or(QString());
    };
    const auto frequency = [&](int bank, int slot) {
        return number(frequencyMinimum(bank, slot), kFrequencyOff);
    };
    constexpr int kInt32Min = std::numeric_limits<std::int32_t>::min();
    constexpr int kInt32Max = std::numeric_limits<std::int32_t>::max();

    for (int slot : kFirstSlots) {
        if (field + 1 == kRandomVolumeField) {
            m.console.randomVolume = number(console::kVolumeMinimum, console::kVolumeMaximum);
        }
        m.console.bank1[static_cast<std::size_t>(slot)] = frequency(1, slot);
    }
    for (int slot = 4; slot < console::kSlots; ++slot) {
        m.console.bank1[static_cast<std::size_t>(slot)] = frequency(1, slot);
    }
    m.console.allSoundsVolume = number(console::kVolumeMinimum, console::kVolumeMaximum);
    m.console.backgroundVolume = number(console::kVolumeMinimum, console::kVolumeMaximum);
    m.alarmTime = text();
    m.alarmState = text();
    m.console.backColour = number(kInt32Min, kInt32Max);
    m.console.textColour = number(kInt32Min, kInt32Max);
    for (int& box : m.console.boxes) {
        box = number(console::kBoxClear, console::kBoxGreyed);
    }
    for (int slot = 0; slot < console::kSlots; ++slot) {
        m.console.bank2[static_cast<std::size_t>(slot)] = frequency(2, slot);
    }
    // A name read back is a name given, even when the field was empty.
    for (auto& name : m.names.random) {
        name = text();
    }
    for (auto& name : m.names.background) {
        name = text();
    }
    m.panel.enabled[0] = number(0, 1);
    m.panel.enabled[1] = number(0, 1);
    for (int& value : m.panel.frequency) {
        value = number(0, CustomPanelSettings::kFrequencyOff);
    }
    m.panel.backgroundLabels[0] = text();
    for (QString& label : m.panel.randomLabels) {
        label = text();
    }
    m.panel.backgroundLabels[1] = text();
    m.names.picture = text();
    if (read.badField == 0) {
        read.mix = std::move(m);
    }
    return read;
}

} // namespace sylvaro::persist
