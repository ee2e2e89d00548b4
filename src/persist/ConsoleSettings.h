#pragma once

#include "console/Layout.h"
#include "console/StoredColour.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace sylvaro::persist {

// The console state kept in settings.ini between runs: one line of 60 fields.
// Frequency sliders are kept by slot (index = slot 0..19); the file's own
// field order (bank 1 slot 2 before slot 1) is the codec's business.
struct ConsoleSettings {
    std::int32_t backColour = console::kSystemButtonFace;
    std::int32_t textColour = console::kSystemButtonText;
    std::array<int, console::kSlots> bank1{};
    int randomVolume = 0;
    int allSoundsVolume = 0;
    int backgroundVolume = 0;
    std::array<int, console::kBackgroundCount> boxes{};
    std::array<int, console::kSlots> bank2{};

    static constexpr int kFieldCount = 60;

    friend bool operator==(const ConsoleSettings&, const ConsoleSettings&) = default;

    QByteArray toLine() const;
    // nullopt when the line does not hold 60 fields that are each a number in
    // its control's range: such a file counts as missing.
    static std::optional<ConsoleSettings> fromLine(const QByteArray& line);
};

// The seven custom selections kept in settings2.ini: four custom random
// sounds, two custom backgrounds (unset until given a value in this run) and
// the custom picture.
struct CustomNames {
    std::array<std::optional<QString>, 4> random;
    std::array<std::optional<QString>, 2> background;
    QString picture;

    static constexpr int kFieldCount = 7;

    friend bool operator==(const CustomNames&, const CustomNames&) = default;

    QByteArray toLine() const;
    static std::optional<CustomNames> fromLine(const QByteArray& line);
};

} // namespace sylvaro::persist
