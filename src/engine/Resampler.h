#pragma once

#include <string>
#include <vector>

namespace sylvaro::engine {

// Converts interleaved float frames from one sample rate to another with
// libsoxr at high quality (band-limited, 20-bit). The sound is treated as one
// turn of a loop: the filter sees the sound's end before its start and its
// start after its end, so a seamless loop stays seamless, and a sound that
// begins and ends in silence comes out as if padded with silence. The result
// has round(frames * toRate / fromRate) frames, at least one. Any thread;
// false and a reason on failure.
bool resampleLoop(const std::vector<float>& in, int channels, int fromRate, int toRate,
                  std::vector<float>& out, std::string& error);

} // namespace sylvaro::engine
