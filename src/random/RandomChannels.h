#pragma once

#include <array>

namespace sylvaro::random {

inline constexpr int kBanks = 2;
inline constexpr int kSlots = 20;
inline constexpr int kChannels = kBanks * kSlots;

// How a channel decides to play on a firing: A plays 29 times in 100 and
// reseeds the generator from the clock first; B plays 2 times in 10.
enum class Profile { A, B };

struct ChannelTraits {
    Profile profile;
    bool pans;
};

// Bank 1..2, slot 0..19.
ChannelTraits traits(int bank, int slot);

inline int channelIndex(int bank, int slot) {
    return (bank - 1) * kSlots + slot;
}

} // namespace sylvaro::random
