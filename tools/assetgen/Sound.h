// Sound recipes and the synthesiser that renders them.
//
// A recipe is a noise bed plus layers of "calls". A call is one pitched or noisy
// utterance (a chirp, a croak, a bell strike, a drip) made of one or more equal
// syllables; a layer places copies of a call in time, once or scattered or in a
// steady rhythm. Looping recipes come out seamless: the bed is crossfaded across
// the loop point, swells run a whole number of cycles and calls wrap around.
#pragma once

#include "Dsp.h"

#include <cstddef>
#include <string>
#include <vector>

namespace assetgen {

struct Point {
    double at;    // 0..1 across one syllable
    double value; // pitch multiplier
};

enum class Timbre {
    Harmonic, // partials 1, 2, 3, ...
    Odd,      // partials 1, 3, 5, ... (hollow, reedy)
    Bell,     // church-bell partials, the higher ones dying away faster
    Bar,      // struck metal bar or small bell
};

// One syllable of a song whose syllables differ: its own length, pitch contour
// (as ratios of the call's `hz`), loudness and the silence after it.
struct Note {
    double seconds = 0.1;
    std::vector<Point> glide; // empty: steady at the call's pitch
    double gap = 0.0;
    double level = 1.0;
};

struct Call {
    double hz = 0.0;          // fundamental; 0 makes an unpitched noise call
    std::vector<Point> glide; // pitch contour across each syllable (empty: steady)
    Timbre timbre = Timbre::Harmonic;
    int partials = 1;
    double rolloff = 1.0;   // partial k is 1/k^rolloff as loud as the first
    double noise = 0.0;     // share of noise mixed into a pitched call (breath, rasp)
    double formantHz = 0.0; // band-pass centre over the whole call (0: none)
    double formantTo = 0.0; // if set, the band-pass sweeps to here by the call's end
    double formantQ = 1.0;
    // A second resonance in parallel with the first (a croak's low and high bands).
    double formant2Hz = 0.0;
    double formant2Q = 1.0;
    double formant2Level = 1.0; // its peak gain relative to the first band's
    double vibratoHz = 0.0;
    double vibrato = 0.0;  // depth as a pitch ratio (0.05 = +-5 %)
    double pulseHz = 0.0;  // amplitude pulsing: croaks, buzzing, rolling thunder
    double pulse = 0.0;    // depth 0..1
    double attack = 0.01;  // seconds; attack and release are raised-cosine ramps
    double release = 0.05; // at both ends of every syllable
    double decay = 0.0;    // if > 0: exponential decay time of a struck sound
    double seconds = 0.1;  // length of one syllable
    int syllables = 1;
    double gap = 0.0;       // silence after each syllable
    double gapEnd = -1.0;   // if >= 0 the gap changes to this by the last syllable
    double step = 1.0;      // pitch ratio from one syllable to the next
    std::vector<Note> song; // if set, these syllables replace the equal ones above
    // Natural variation: each syllable's length, gap and loudness vary at random by
    // up to this ratio, and its pitch by a quarter of it, so no two come out alike.
    double jitter = 0.0;
};

struct Layer {
    Call call;
    double level = 1.0;        // peak of one call relative to the bed's RMS
    double at = 0.0;           // start of the first call, in seconds
    double perSecond = 0.0;    // 0: one call; else how many per second
    bool regular = false;      // in a steady rhythm rather than scattered
    double pitchSpread = 0.0;  // random pitch ratio variation of each copy (+-)
    std::vector<double> notes; // if set, each copy takes one of these pitch ratios
    double panSpread = 0.0;    // stereo: random pan of each copy
    double within = 0.0;       // if > 0, scattered copies start within this many seconds
};

struct Bed {
    double level = 0.0;     // 0: no bed
    double lowHz = 0.0;     // high-pass corner (0: none)
    double highHz = 0.0;    // low-pass corner (0: none)
    double hiss = 0.0;      // bright noise that rises with each swell (breaking surf)
    double swellHz = 0.0;   // slow amplitude swell
    double swell = 0.0;     // its depth 0..1
    double sharpness = 1.0; // > 1 makes short crests and long troughs
    double gust = 0.0;      // depth 0..1 of an irregular swell (wind), also brightening
    double gustHz = 0.0;    // its slowest component
};

// The level a sound is brought to.
enum class Balance {
    Auto,       // loops at the backgrounds' loudness, the rest at the one-shots'
    Background, // the common loudness of the looping beds
    OneShot,    // the common loudness of the random sounds (and the alarm)
    Quiet,      // interface ticks: scaled to `peakDb` only
};

struct Recipe {
    std::string file; // relative to the program folder
    double seconds = 1.0;
    bool loop = false;
    int channels = 1;
    Bed bed;
    std::vector<Layer> layers;
    Balance balance = Balance::Auto;
    double reverb = 0.0;    // share of room or distance in the calls (not the bed)
    double reverbT60 = 1.5; // seconds
    double peakDb = -12.0;  // Quiet sounds only: their loudest sample
};

// Per-channel samples in [-1, 1].
struct Audio {
    std::vector<std::vector<double>> channels;
    std::size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

// Renders one call (all its syllables), scaled to a peak of 1.
std::vector<double> renderCall(const Call& call, double pitchScale, Rng& rng);

// Renders a whole recipe, balanced to its loudness with no sample above the ceiling,
// with fade-in and fade-out for one-shots and a well-placed wrap for loops. A recipe
// with no content renders silence.
Audio renderRecipe(const Recipe& recipe);

// Every sound the program ships, in a fixed order.
const std::vector<Recipe>& soundRecipes();

} // namespace assetgen
