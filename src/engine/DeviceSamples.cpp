#include "DeviceSamples.h"

#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sylvaro::engine {

namespace {

// Mixer output scaled to the 16-bit range.
constexpr float kFullScale = 32767.0f;
// Added before truncating so every value converted is positive: truncation
// then rounds to nearest (ties upwards) for negative samples too.
constexpr float kRoundingOffset = 32768.5f;
constexpr int kOffset = 32768;

#if defined(__SSE2__)
// Four samples: scaled, clamped (NaN to -full scale, as max returns its
// second operand then), rounded as below.
inline __m128i fourToS16(const float* in) {
    __m128 v = _mm_mul_ps(_mm_loadu_ps(in), _mm_set1_ps(kFullScale));
    v = _mm_max_ps(v, _mm_set1_ps(-kFullScale));
    v = _mm_min_ps(v, _mm_set1_ps(kFullScale));
    return _mm_sub_epi32(_mm_cvttps_epi32(_mm_add_ps(v, _mm_set1_ps(kRoundingOffset))),
                         _mm_set1_epi32(kOffset));
}
#elif defined(__GNUC__)
typedef float Floats __attribute__((vector_size(32)));
typedef int Ints __attribute__((vector_size(32)));
typedef short Shorts __attribute__((vector_size(16)));
#endif

} // namespace

void toS16(const float* in, std::int16_t* out, int count) {
    int i = 0;
#if defined(__SSE2__)
    // Every value is within 16 bits by now, so the saturating pack keeps it.
    for (; i + 8 <= count; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packs_epi32(fourToS16(in + i), fourToS16(in + i + 4)));
    }
#elif defined(__GNUC__)
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
