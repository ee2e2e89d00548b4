#pragma once

#include <QByteArray>
#include <optional>

namespace sylvaro::persist {

// settings9.txt: the recorder window's limits, quality, position and format
// choice, one line of eleven fields. Positions and the height are in twips.
struct RecorderSettings {
    static constexpr int kFieldCount = 11;

    int sizeLimitBox = 0;   // 0 or 1
    int lengthLimitBox = 0; // 0 or 1
    int sizeTarget = 700;   // megabytes, 1..1000
    int lengthTarget = 70;  // minutes, 1..100
    int quality = 7;        // list index, -1 = none
    double height = 0;
    double left = 0;
    double top = 0;
    bool mp3 = false;
    bool wav = true;
    int lineList = -1; // a list without other use, kept as read

    QByteArray toLine() const;
    // nullopt when the line is not eleven fields of the right kinds and
    // ranges: nothing read may push a control outside its range.
    static std::optional<RecorderSettings> fromLine(const QByteArray& line);
};

} // namespace sylvaro::persist
