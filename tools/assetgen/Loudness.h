// Loudness balance of the generated sounds: every background at one integrated
// loudness, every one-shot at another, no sample above the ceiling, and loops cut
// where the wrap is as loud as the loop on average.
#pragma once

#include "Sound.h"

namespace assetgen {

inline constexpr double kBackgroundLufs = -23.0;
inline constexpr double kOneShotLufs = -20.0;
inline constexpr double kCeilingDb = -1.5; // below the -1 dBFS rule, with room for rounding

// Integrated loudness (EBU R 128, gated) in LUFS; -inf for silence. A loop is
// measured as it plays, around and around, so its wrap counts like any other moment.
double integratedLoudness(const Audio& audio);

// Pulls down the loudest moments so no sample exceeds `ceiling` (linear). The gain
// changes smoothly over a few milliseconds; for loops it wraps around the loop point.
void limitPeaks(Audio& audio, double ceiling, bool loop);

// Brings a sound to `lufs` without letting any sample exceed the ceiling.
void balance(Audio& audio, double lufs, bool loop);

// Rotates a seamless loop so that its wrap falls where the short-term loudness
// equals the loop's mean and the sample step is an ordinary one.
void placeLoopPoint(Audio& audio);

} // namespace assetgen
