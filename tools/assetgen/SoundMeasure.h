// Measures what a listener recognises a sound by: its notes and the silences between
// them, the pitch of each note and how it moves, the frequency bands that carry its
// energy, how fast its envelope pulses, how often something strikes, and how far
// apart its swells come. It knows nothing of how the sounds are made: it reads
// samples, the way a bioacoustician reads a recording.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace measure {

struct Segment {
    double start = 0.0; // seconds
    double end = 0.0;
    double seconds() const { return end - start; }
};

// Mono samples at one rate. A loop is read as it plays, its end running into its start.
struct Clip {
    std::vector<double> samples;
    double rate = 48000.0;
    bool loop = false;

    double seconds() const { return static_cast<double>(samples.size()) / rate; }
};

// A WAV file mixed down to mono; nothing if it cannot be read.
std::optional<Clip> readWav(const std::string& path, bool loop);

// Fourth-order band-pass made of Butterworth high- and low-pass sections; a corner
// at 0 (or at or above Nyquist) leaves that side open.
std::vector<double> bandPass(const std::vector<double>& x, double rate, double lowHz,
                             double highHz);

// Short-time level in dB of the band [lowHz, highHz]: RMS over `window` seconds every
// `hop` seconds.
std::vector<double> levelDb(const Clip& clip, double lowHz, double highHz, double hop,
                            double window);

// Notes: stretches where the band's level stands within `dropDb` of its loudest
// moment. Silences shorter than `mergeGap` join their neighbours into one note (the
// pulses of a croak, the syllables of a chirp); bits shorter than `shortest` are
// clicks, not notes.
std::vector<Segment> findNotes(const Clip& clip, double lowHz, double highHz, double dropDb,
                               double mergeGap, double shortest);

// Strikes, drops, crackles: moments where the band's level jumps by at least `riseDb`
// within 10 ms, no closer together than `refractory` seconds, and no quieter than
// `rangeDb` below the loudest such moment.
std::vector<double> findImpacts(const Clip& clip, double lowHz, double highHz, double riseDb,
                                double rangeDb, double refractory);

// Note onsets of struck, ringing sounds (bells), where one strike still rings as
// the next begins: peaks of the spectral flux, the rise of every frequency bin.
std::vector<double> findStrikes(const Clip& clip, double lowHz, double highHz);

struct Pulse {
    double hz = 0.0;
    double strength = 0.0; // normalised autocorrelation at that period, 0..1
};

// The rate at which the envelope of the band pulses within `where` (the whole clip if
// empty), from the envelope's autocorrelation; periods between 1/searchHighHz and
// 1/searchLowHz are considered, and the shortest one nearly as strong as the
// strongest wins, so a multiple of the true period is never taken for it.
Pulse pulseRate(const Clip& clip, const std::vector<Segment>& where, double lowHz, double highHz,
                double searchLowHz, double searchHighHz);

// Average power spectrum (Hann windows, half overlapping) over `where` (whole clip if
// empty); bin k is at k * rate / fftSize.
std::vector<double> powerSpectrum(const Clip& clip, const std::vector<Segment>& where,
                                  std::size_t fftSize);

// Share of the power between lowHz and highHz of all power above 20 Hz.
double bandShare(const std::vector<double>& spectrum, double rate, double lowHz, double highHz);

// Frequency of the strongest bin between lowHz and highHz, refined between bins.
double spectralPeak(const std::vector<double>& spectrum, double rate, double lowHz, double highHz);

// Level in dB of the strongest bin within +-tolerance (a ratio) of `hz`, relative to
// the median level of the surrounding +-4 tolerances: how far a partial stands out.
double partialProminenceDb(const std::vector<double>& spectrum, double rate, double hz,
                           double tolerance);

// Pitch every 5 ms across a segment: the strongest component between lowHz and highHz
// in a 43 ms window, refined between bins. Frames more than 30 dB below the
// segment's loudest frame are left out.
std::vector<double> pitchTrack(const Clip& clip, const Segment& segment, double lowHz,
                               double highHz);

// Times of the crests of a slowly rising and falling loudness (waves on a shore):
// maxima of the 1 s smoothed level that stand at least `prominenceDb` above the
// troughs on either side. A loop is read around its wrap.
std::vector<double> swellCrests(const Clip& clip, double prominenceDb);

double median(std::vector<double> values);

// Spectrogram magnitudes in dB, frames of `fftSize` every `hop` samples, bins up to
// `highHz`. For pictures.
std::vector<std::vector<float>> spectrogramDb(const Clip& clip, std::size_t fftSize,
                                              std::size_t hop, double highHz);

} // namespace measure
