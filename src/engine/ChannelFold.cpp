#include "ChannelFold.h"

#include <array>
#include <cstddef>

namespace sylvaro::engine {

namespace {

constexpr float kHalfPower = 0.70710678f; // -3 dB

Weights weightsOf(int position) {
    switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
        return {1.0f, 0.0f};
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
        return {0.0f, 1.0f};
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return {kHalfPower, 0.0f};
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return {0.0f, kHalfPower};
    case SF_CHANNEL_MAP_LFE:
    // Directional ambisonic components mean nothing on their own; W, the
    // omnidirectional one, is the sound.
    case SF_CHANNEL_MAP_AMBISONIC_B_X:
    case SF_CHANNEL_MAP_AMBISONIC_B_Y:
    case SF_CHANNEL_MAP_AMBISONIC_B_Z:
        return {0.0f, 0.0f};
    default: // centres, mono, ambisonic W, unknown
        return {kHalfPower, kHalfPower};
    }
}

// The usual WAV channel order for files that do not name their channels.
int defaultPosition(int channels, int index) {
    using Order = std::array<int, 8>;
    constexpr int L = SF_CHANNEL_MAP_FRONT_LEFT;
    constexpr int R = SF_CHANNEL_MAP_FRONT_RIGHT;
    constexpr int C = SF_CHANNEL_MAP_FRONT_CENTER;
    constexpr int LFE = SF_CHANNEL_MAP_LFE;
    constexpr int RL = SF_CHANNEL_MAP_REAR_LEFT;
    constexpr int RR = SF_CHANNEL_MAP_REAR_RIGHT;
    constexpr int RC = SF_CHANNEL_MAP_REAR_CENTER;
    constexpr int SL = SF_CHANNEL_MAP_SIDE_LEFT;
    constexpr int SR = SF_CHANNEL_MAP_SIDE_RIGHT;
    constexpr int X = SF_CHANNEL_MAP_INVALID;
    static constexpr std::array<Order, 9> kOrders = {{
        {X, X, X, X, X, X, X, X},
        {X, X, X, X, X, X, X, X},
        {X, X, X, X, X, X, X, X},
        {L, R, C, X, X, X, X, X},
        {L, R, RL, RR, X, X, X, X},
        {L, R, C, RL, RR, X, X, X},
        {L, R, C, LFE, RL, RR, X, X},
        {L, R, C, LFE, RC, SL, SR, X},
        {L, R, C, LFE, RL, RR, SL, SR},
    }};
    const Order& order = kOrders[static_cast<std::size_t>(std::min(channels, 8))];
    return index < 8 ? order[static_cast<std::size_t>(index)] : SF_CHANNEL_MAP_INVALID;
}

} // namespace

std::vector<Weights> downmixWeights(SNDFILE* file, int channels) {
    std::vector<int> positions(static_cast<std::size_t>(channels), SF_CHANNEL_MAP_INVALID);
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, positions.data(),
                   static_cast<int>(positions.size() * sizeof(int))) != SF_TRUE) {
        for (int i = 0; i < channels; ++i) {
            positions[static_cast<std::size_t>(i)] = defaultPosition(channels, i);
        }
    }
    std::vector<Weights> weights;
    float left = 0.0f;
    float right = 0.0f;
    for (int position : positions) {
        weights.push_back(weightsOf(position));
        left += weights.back().left;
        right += weights.back().right;
    }
    if (left == 0.0f && right == 0.0f) {
        // Only channels we would leave out: keep them rather than silence.
        std::fill(weights.begin(), weights.end(), Weights{kHalfPower, kHalfPower});
        left = right = kHalfPower * static_cast<float>(channels);
    }
    const float scale = 1.0f / std::max({1.0f, left, right});
    for (Weights& w : weights) {
        w.left *= scale;
        w.right *= scale;
    }
    return weights;
}

FoldingReader::FoldingReader(SNDFILE* file, int channels, sf_count_t frames)
    : m_file(file), m_channels(channels), m_outChannels(std::min(channels, 2)),
      m_chunkFrames(std::clamp<sf_count_t>(frames, 1, kChunkFrames)) {
    if (channels > 2) {
        m_weights = downmixWeights(file, channels);
        m_chunk.resize(static_cast<std::size_t>(m_chunkFrames * channels));
    }
}

sf_count_t FoldingReader::read(float* to, sf_count_t frames) {
    if (m_channels <= 2) {
        const sf_count_t got = sf_readf_float(m_file, to, frames);
        for (sf_count_t i = 0; i < std::max<sf_count_t>(got, 0) * m_channels; ++i) {
            to[i] = sane(to[i]);
        }
        return got;
    }
    const sf_count_t got = sf_readf_float(m_file, m_chunk.data(), std::min(m_chunkFrames, frames));
    for (sf_count_t f = 0; f < got; ++f) {
        const float* frame = m_chunk.data() + f * m_channels;
        float left = 0.0f;
        float right = 0.0f;
        for (int c = 0; c < m_channels; ++c) {
            const float s = sane(frame[c]);
            left += s * m_weights[static_cast<std::size_t>(c)].left;
            right += s * m_weights[static_cast<std::size_t>(c)].right;
        }
        to[2 * f] = left;
        to[2 * f + 1] = right;
    }
    return got;
}

} // namespace sylvaro::engine
