#pragma once

#include <cstdint>
#include <random>

namespace sylvaro::core {

// The program's one source of uniform random numbers in [0, 1). Production
// seeds it from the clock (randomize), tests seed it with a fixed value.
// UI thread only.
class RandomSource {
public:
    explicit RandomSource(std::uint32_t seed = 5489u) : m_engine(seed) {}

    double rnd() { return std::generate_canonical<double, 32>(m_engine); }
    void seed(std::uint32_t seed) { m_engine.seed(seed); }
    // Reseeds from the clock; a test can pin it with setFixedSeed().
    void randomize();
    void setFixedSeed(std::uint32_t seed) {
        m_fixed = true;
        m_fixedSeed = seed;
        m_engine.seed(seed);
    }

private:
    std::mt19937 m_engine;
    bool m_fixed = false;
    std::uint32_t m_fixedSeed = 0;
};

} // namespace sylvaro::core
