#pragma once

#include "console/Layout.h"

#include <array>

namespace sylvaro::random {

// How a channel decides to play on a firing: A plays 29 times in 100 and
// reseeds the generator from the clock first; B plays 2 times in 10.
enum class Profile { A, B };

struct ChannelTraits {
    Profile profile;
    bool pans;
};

// Bank 1..2, slot 0..19.
ChannelTraits traits(int bank, int slot);

} // namespace sylvaro::random
