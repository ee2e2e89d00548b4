#pragma once

#include "PcmData.h"

#include <string>

namespace sylvaro::engine {

// Reads a PCM WAV file (8-bit unsigned, 16/24/32-bit, float; mono or stereo;
// any rate) through libsndfile. Anything else - missing, truncated, not a
// WAV, more than two channels, no frames - is an error, never a crash.
// UI thread only (does file I/O).
PcmLoadResult loadPcm(const std::string& path, int targetRate = 0);

} // namespace sylvaro::engine
