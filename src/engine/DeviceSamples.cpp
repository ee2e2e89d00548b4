#include "DeviceSamples.h"

#include <cstring>

namespace sylvaro::engine {

namespace {

// Mixer output scaled to the 16-bit range.
constexpr float kFullScale = 32767.0f;
// Added before truncating so every value converted is positive: truncation
// then rounds to nearest (ties upwards) for negative samples too.
constexpr float kRoundingOffset = 32768.5f;
constexpr int kOffset = 32768;

#if defined(__GNUC__)
typedef float Floats __attribute__((vector_size(32)));
typedef int Ints __attribute__((vector_size(32)));
typedef short Shorts __attribute__((vector_size(16)));
#endif

} // namespace

void toS16(const float* in, std::int16_t* out, int count) {
    int i = 0;
#if defined(__GNUC__)
    for (; i + 8 <= count; i += 8) {
        Floats v;
        std::memcpy(&v, in + i, sizeof v);
        v *= kFullScale;
        // NaN fails the first comparison and becomes -full scale.
        v = v > -kFullScale ? v : -kFullScale;
        v = v < kFullScale ? v : kFullScale;
        const Ints rounded = __builtin_convertvector(v + kRoundingOffset, Ints) - kOffset;
        const Shorts s = __builtin_convertvector(rounded, Shorts);
        std::memcpy(out + i, &s, sizeof s);
    }
#endif
    for (; i < count; ++i) {
        float v = in[i] * kFullScale;
        v = v > -kFullScale ? v : -kFullScale;
        v = v < kFullScale ? v : kFullScale;
        out[i] = static_cast<std::int16_t>(static_cast<int>(v + kRoundingOffset) - kOffset);
    }
}


std::vector<float> fromS16Bytes(const void* bytes, std::size_t size) {
    std::vector<float> samples(size / sizeof(std::int16_t));
    const auto* from = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::int16_t s = 0;
        std::memcpy(&s, from + i * sizeof s, sizeof s);
        samples[i] = static_cast<float>(s) / 32767.0f;
    }
    return samples;
}

} // namespace sylvaro::engine
