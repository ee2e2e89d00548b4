#include "RandomSource.h"

#include <chrono>

namespace sylvaro::core {

void RandomSource::randomize() {
    if (m_fixed) {
        // Deterministic runs reseed to a value derived from the draws so far,
        // so reseeding still changes the sequence.
        m_fixedSeed = m_fixedSeed * 1664525u + 1013904223u;
        m_engine.seed(m_fixedSeed);
        return;
    }
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    m_engine.seed(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

} // namespace sylvaro::core
