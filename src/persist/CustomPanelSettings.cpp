#include "CustomPanelSettings.h"

#include "LineCodec.h"

namespace sylvaro::persist {

QByteArray CustomPanelSettings::toLine() const {
    LineWriter w;
    for (int box : enabled) {
        w.integer(box);
    }
    for (const QString& label : backgroundLabels) {
        w.string(label);
    }
    for (int value : frequency) {
        w.integer(value);
    }
    for (const QString& label : randomLabels) {
        w.string(label);
    }
    return w.line();
}

std::optional<CustomPanelSettings> CustomPanelSettings::fromLine(const QByteArray& line) {
    const LineRecord r = LineRecord::parse(line);
    if (r.size() != kFieldCount) {
        return std::nullopt;
    }
    CustomPanelSettings s;
    int field = 0;
    bool ok = true;
    const auto number = [&](int max) {
        const std::optional<int> v = r.integer(field++, 0, max);
        ok = ok && v.has_value();
        return v.value_or(0);
    };
    const auto text = [&] {
        std::optional<QString> v = r.string(field++);
        ok = ok && v.has_value();
        return v.value_or(QString());
    };
    for (int& box : s.enabled) {
        box = number(1);
    }
    for (QString& label : s.backgroundLabels) {
        label = text();
    }
    for (int& value : s.frequency) {
        value = number(kFrequencyOff);
    }
    for (QString& label : s.randomLabels) {
        label = text();
    }
    if (!ok) {
        return std::nullopt;
    }
    return s;
}

} // namespace sylvaro::persist
