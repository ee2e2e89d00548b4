#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sylvaro::engine {

// What the outputs hand a device or sound server: interleaved signed 16-bit
// samples in the machine's byte order. Half the bytes of float to move, and
// the mixer's limiter already keeps every sample below full scale.

// Mixer output to device samples: scaled by 32767, rounded to nearest,
// clamped to +-32767 (anything that is not a number becomes -32767).
// Allocates nothing; any thread.
void toS16(const float* in, std::int16_t* out, int count);
// Device bytes back to float samples in [-1, 1]; a trailing partial sample is
// ignored.
std::vector<float> fromS16Bytes(const void* bytes, std::size_t size);

} // namespace sylvaro::engine
