#include "RandomChannels.h"

#include <cassert>

namespace sylvaro::random {

using console::channelIndex;
using console::kBanks;
using console::kChannels;
using console::kSlots;

namespace {

constexpr Profile A = Profile::A;
constexpr Profile B = Profile::B;

// By bank and slot. Bank 1 slots 5..8 never pan; bank 2 slots 0..9 are B.
constexpr std::array<ChannelTraits, kChannels> kTraits{{
    {A, true},  {B, true},  {A, true},  {B, true},  {A, true}, // 1/0..4
    {A, false}, {A, false}, {A, false}, {A, false}, {A, true}, // 1/5..9
    {A, true},  {A, true},  {A, true},  {A, true},  {A, true}, // 1/10..14
    {A, true},  {A, true},  {A, true},  {A, true},  {A, true}, // 1/15..19
    {B, true},  {B, true},  {B, true},  {B, true},  {B, true}, // 2/0..4
    {B, true},  {B, true},  {B, true},  {B, true},  {B, true}, // 2/5..9
    {A, true},  {A, true},  {A, true},  {A, true},  {A, true}, // 2/10..14
    {A, true},  {A, true},  {A, true},  {A, true},  {A, true}, // 2/15..19
}};

} // namespace

ChannelTraits traits(int bank, int slot) {
    assert(bank >= 1 && bank <= kBanks && slot >= 0 && slot < kSlots);
    return kTraits[static_cast<std::size_t>(channelIndex(bank, slot))];
}

} // namespace sylvaro::random
