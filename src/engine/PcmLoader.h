#pragma once

#include "PcmData.h"

#include <atomic>
#include <string>

namespace sylvaro::engine {

// What a sound file may be before it is refused. The defaults are those for
// the user's own files: anything a real recording comes in, nothing that
// would hold the program up for minutes or take gigabytes.
struct LoadLimits {
    int minRate = 8000;
    int maxRate = 192000;
    int maxChannels = 8;
    double maxSeconds = 30 * 60; // 0: no limit in time
};

// Reads a PCM WAV file (8-bit unsigned, 16/24/32-bit, float; any rate and
// channel count within the limits) through libsndfile. Mono stays mono and
// stereo stays stereo; more channels are folded down to stereo:
//   - front left/right go to their side at full level,
//   - centre channels (and a channel marked mono) go to both sides at -3 dB,
//   - rear, side, left/right-of-centre and top channels go to their side at
//     -3 dB (the centre one of each row to both sides at -3 dB),
//   - the LFE channel is left out (it repeats the bass the others carry),
//   - channels of unknown position go to both sides at -3 dB,
// then both sides are scaled by the same factor so that the weights feeding
// either side add up to at most 1: full-scale channels cannot clip.
// Float samples that are not finite become silence; louder ones than 36 dB
// above full scale are held there, so no sum or conversion overflows. Channel
// positions come from the file; without them the usual WAV order for the
// count is assumed (3: L R C, 4: L R rear-L rear-R, 5: L R C rear-L rear-R,
// 6: 5.1, 7: 6.1, 8: 7.1, more: 7.1 then unknown).
//
// With a targetRate, a file at another rate is converted to it (libsoxr, high
// quality, treated as a loop so a seamless loop stays seamless) and kept as
// float; 0 keeps the file's rate. A long file is converted while it is read,
// so only the result is held. A file already at the target rate with 8- or
// 16-bit samples and one or two channels keeps them as 16-bit integers.
//
// Anything else - missing, a folder, unreadable, empty, truncated, not a
// WAV, no frames, a rate, channel count or length beyond the limits - is an
// error with a reason a user understands ("it is not a sound file (...)",
// "the file is empty", "it lasts 31 min 4 s; ..."), never a crash or a hang
// (a pipe or device is refused unread). With `cancel`, the flag is polled
// between chunks of reading and converting; once it is set the load ends
// with the error "cancelled". Any thread: it does file I/O and touches no
// Qt, so a worker may run it while the UI thread loads other files.
PcmLoadResult loadPcm(const std::string& path, int targetRate, const LoadLimits& limits,
                      const std::atomic<bool>* cancel = nullptr);

// The program's own sounds: wider limits (1 kHz to 768 kHz, up to 64
// channels, no limit in time), since they are made by the program itself.
PcmLoadResult loadPcm(const std::string& path, int targetRate = 0);

} // namespace sylvaro::engine
