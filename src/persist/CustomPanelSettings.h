#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace sylvaro::persist {

// The custom panel's own selections, kept in settingsc.ini between runs: the
// two custom background enable boxes, the captions of the six custom sound
// slots and the frequency sliders of the four custom random sounds. The
// chosen file names are not here (they live in settings2.ini and in mixes).
struct CustomPanelSettings {
    static constexpr int kFrequencyOff = 2000;

    std::array<int, 2> enabled{}; // custom backgrounds: 0 or 1
    std::array<QString, 2> backgroundLabels{QStringLiteral("Not Set"), QStringLiteral("Not Set")};
    std::array<int, 4> frequency{kFrequencyOff, kFrequencyOff, kFrequencyOff, kFrequencyOff};
    std::array<QString, 4> randomLabels{QStringLiteral("Not Set"), QStringLiteral("Not Set"),
                                        QStringLiteral("Not Set"), QStringLiteral("Not Set")};

    static constexpr int kFieldCount = 12;

    friend bool operator==(const CustomPanelSettings&, const CustomPanelSettings&) = default;

    // Enable boxes, background labels, frequency sliders, random labels.
    QByteArray toLine() const;
    // nullopt unless the line holds the 12 fields, each of its kind and range.
    static std::optional<CustomPanelSettings> fromLine(const QByteArray& line);
};

} // namespace sylvaro::persist
