#pragma once

#include "ConsoleSettings.h"
#include "CustomPanelSettings.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace sylvaro::persist {

struct MixRead;

// A user mix: the whole console in one line of 81 fields - sliders, enable
// boxes, the alarm, both colours, the custom panel and the custom names.
// The console part reuses settings.ini's record (the file's field order is
// the codec's business).
struct MixFile {
    ConsoleSettings console;
    QString alarmTime;
    // "ON" or "OFF" as written here; a hand-made file may hold anything.
    QString alarmState;
    CustomNames names;
    CustomPanelSettings panel;

    static constexpr int kFieldCount = 81;

    friend bool operator==(const MixFile&, const MixFile&) = default;

    QByteArray toLine() const;

    // Checks the whole line before anything is taken from it. Quoted digits
    // in a number field and a bare number in a text field are accepted; an
    // empty name reads as the empty text either way.
    static MixRead fromLine(const QByteArray& line);
};

// What reading a mix line gave: the mix, or the first field (1-based) that is
// not what a mix needs, and why.
struct MixRead {
    std::optional<MixFile> mix;
    int badField = 0;
    QString reason;
};

} // namespace sylvaro::persist
