#pragma once

#include <array>

// The shape of the console and its special values, each in one place.
namespace sylvaro::console {

inline constexpr int kBackgroundCount = 15; // background channels 1..15
inline constexpr int kBanks = 2;            // random banks 1..2
inline constexpr int kSlots = 20;           // slots 0..19 per bank
inline constexpr int kChannels = kBanks * kSlots;
inline constexpr int kBufferCount = 59; // built-in buffers, the spares and the alarm included

// Enable boxes: only ticked counts as on; greyed can come from a file.
inline constexpr int kBoxClear = 0;
inline constexpr int kBoxTicked = 1;
inline constexpr int kBoxGreyed = 2;

// Frequency sliders: 0 "Often" .. 2000 "Off". A value above 1998 disarms
// the channel's timer when it is armed; 2000 keeps a firing from playing.
inline constexpr int kFrequencyOff = 2000;
inline constexpr int kFrequencyDisarmAbove = 1998;
inline constexpr int kFrequencySmallStep = 20;
inline constexpr int kFrequencyLargeStep = 250;
// Bank 2 slots 5 and 6 cannot go below 20.
inline constexpr int frequencyMinimum(int bank, int slot) {
    return bank == 2 && (slot == 5 || slot == 6) ? 20 : 0;
}

// Group volumes in hundredths of a dB: -30 dB .. 0 dB. The left end (and
// "Mute") is -30 dB, not silence.
inline constexpr int kVolumeMinimum = -3000;
inline constexpr int kVolumeMaximum = 0;
inline constexpr int kVolumeSmallStep = 200;
inline constexpr int kVolumeLargeStep = 400;

// A firing pans its sound to -3000..1999 hundredths of a dB.
inline constexpr int kPanMinimum = -3000;
inline constexpr int kPanSpan = 5000;

// Bank 1 lists slot 2 above slot 1, on screen and in the settings file.
inline constexpr std::array<int, kSlots> kBank1Order{0,  2,  1,  3,  4,  5,  6,  7,  8,  9,
                                                     10, 11, 12, 13, 14, 15, 16, 17, 18, 19};

inline constexpr int channelIndex(int bank, int slot) {
    return (bank - 1) * kSlots + slot;
}

} // namespace sylvaro::console
