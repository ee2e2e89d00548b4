#pragma once

#include "WaveFormat.h"

#include <QString>

namespace sylvaro::recorder {

// Writes a file of raw samples in `format` as a WAV file at `target`, as a
// whole: the WAV is written beside the target under a temporary name and
// renamed over it only once complete, so a failure leaves any old file as it
// was. Returns false with the reason in `error`.
bool exportWav(const QString& rawPath, const WaveFormat& format, const QString& target,
               QString* error);

} // namespace sylvaro::recorder
