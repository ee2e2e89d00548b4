// What makes each built-in sound recognisable, as figures a recording of the real
// thing shows: how many notes and how long, the silences between them, the pitch of
// each and where it goes, the frequency bands that carry the energy, how fast the
// envelope pulses, how often something strikes, how far apart the swells come.
//
// The records hold published figures (each cites its source) and are read only by the
// tests that measure the generated files; the recipes never read them, so a recipe
// cannot pass by quoting its own numbers back.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

// A closed range; an empty one (both ends 0) asks for nothing.
struct Range {
    double lo = 0.0;
    double hi = 0.0;
    bool set() const { return lo != 0.0 || hi != 0.0; }
    bool holds(double x) const { return x >= lo && x <= hi; }
};

// Share of the sound's power between loHz and hiHz (of all power above 20 Hz).
struct BandShare {
    double loHz = 0.0;
    double hiHz = 0.0;
    Range share;
};

// Sudden rises of the level of a band: raindrops, crackles, claps, clicks.
struct Impacts {
    double loHz = 0.0;
    double hiHz = 0.0;
    double riseDb = 10.0;  // how sharply the level jumps within 10 ms
    double rangeDb = 30.0; // only impacts at most this far below the loudest count
    Range perSecond;       // over the whole sound
    Range count;
};

// How to find the notes: where the level of the band stands within `dropDb` of its
// loudest moment. Silences shorter than `mergeGap` join two stretches (the pulses of
// one croak); anything shorter than `shortest` is a click, not a note. These say how
// to listen, not what to hear.
struct NoteReading {
    double loHz = 0.0; // 0: open
    double hiHz = 0.0;
    double dropDb = 20.0;
    double mergeGap = 0.03;
    double shortest = 0.03;
    bool struck = false; // ringing strikes that overlap (bells): notes start at strikes
};

struct Signature {
    std::string file;
    std::string caption;
    bool loop = false; // a background, heard around and around
    NoteReading reading;

    // Notes.
    Range notes;         // how many
    Range noteSeconds;   // each note (struck notes: not measured)
    Range gapSeconds;    // each silence between notes
    bool varied = false; // no two notes alike in length, pitch and loudness

    // Pitch: the strongest component within `pitchHz` in each note.
    Range pitchHz;                  // also where each note's median pitch must lie
    std::vector<Range> notePitchHz; // the first notes' median pitch, in turn
    std::vector<Range> steps;       // pitch of note i+1 over note i (empty range: any)
    Range glide;                    // each note's pitch at its end over its start
    Range noteSweep;                // highest over lowest pitch within each note (slurs, chirps)
    // Ratios to a note's pitch where the spectrum must show a partial standing at
    // least 6 dB out of its surroundings (bells: hum, tierce, quint, nominal).
    std::vector<double> partials;

    // Spectrum of the whole sound.
    std::vector<BandShare> bands;
    Range peakHz; // its strongest frequency (searched within peakSearch)
    Range peakSearch{20.0, 20000.0};

    // Envelope pulsing within the notes (or the whole sound when it has no notes).
    Range pulseHz;
    double pulseLoHz = 0.0; // the band whose envelope pulses (0: open)
    double pulseHiHz = 0.0;
    double pulseStrength = 0.25; // least normalised autocorrelation at the period

    std::vector<Impacts> impacts;

    // Crests of the slow loudness (waves, gusts): the time from one to the next.
    Range swellSeconds;
    double swellDb = 4.0; // how far a crest must stand above its troughs
};

// Every built-in sound of the catalogue (backgrounds, then random sounds).
const std::vector<Signature>& signatures();

} // namespace assetgen
