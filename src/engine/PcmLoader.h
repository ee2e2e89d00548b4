#pragma once

#include "PcmData.h"

#include <string>

namespace sylvaro::engine {

// Reads a PCM WAV file (8-bit unsigned, 16/24/32-bit, float; any rate and
// channel count) through libsndfile. Mono stays mono and stereo stays
// stereo; more channels are folded down to stereo:
//   - front left/right go to their side at full level,
//   - centre channels (and a channel marked mono) go to both sides at -3 dB,
//   - rear, side, left/right-of-centre and top channels go to their side at
//     -3 dB (the centre one of each row to both sides at -3 dB),
//   - the LFE channel is left out (it repeats the bass the others carry),
//   - channels of unknown position go to both sides at -3 dB,
// then both sides are scaled by the same factor so that the weights feeding
// either side add up to at most 1: full-scale channels cannot clip. Channel
// positions come from the file; without them the usual WAV order for the
// count is assumed (3: L R C, 4: L R rear-L rear-R, 5: L R C rear-L rear-R,
// 6: 5.1, 7: 6.1, 8: 7.1, more: 7.1 then unknown).
//
// With a targetRate, a file at another rate is converted to it (libsoxr, high
// quality, treated as a loop so a seamless loop stays seamless) and kept as
// float; 0 keeps the file's rate. A file already at the target rate with 8-
// or 16-bit samples and one or two channels keeps them as 16-bit integers.
//
// Anything else - missing, truncated, not a WAV, no frames, an implausible
// rate, channel count or length - is an error with a reason, never a crash.
// UI thread only (does file I/O).
PcmLoadResult loadPcm(const std::string& path, int targetRate = 0);

} // namespace sylvaro::engine
