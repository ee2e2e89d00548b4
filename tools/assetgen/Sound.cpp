#include "Sound.h"

#include "Loudness.h"

#include <JCRev.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace assetgen {

namespace {

constexpr double kLoopCrossfadeSeconds = 0.5;

std::size_t toFrames(double seconds) {
    return static_cast<std::size_t>(std::lround(std::max(0.0, seconds) * kSampleRate));
}

double glideAt(const std::vector<Point>& glide, double u) {
    if (glide.empty()) {
        return 1.0;
    }
    if (u <= glide.front().at) {
        return glide.front().value;
    }
    for (std::size_t i = 1; i < glide.size(); ++i) {
        const Point& a = glide[i - 1];
        const Point& b = glide[i];
        if (u <= b.at) {
            const double span = b.at - a.at;
            return span <= 0.0 ? b.value : a.value + (b.value - a.value) * (u - a.at) / span;
        }
    }
    return glide.back().value;
}

struct Partial {
    double ratio;
    double gain;
    double damping; // extra decay per second, so bright partials die first
};

std::vector<Partial> partialsOf(const Call& call) {
    static constexpr std::array kBell{0.5, 1.0, 1.19, 1.5, 2.0, 2.5, 2.67, 3.0, 4.0, 5.33};
    static constexpr std::array kBar{1.0, 2.756, 5.404, 8.933};

    std::vector<Partial> partials;
    for (int k = 0; k < call.partials; ++k) {
        const double gain = 1.0 / std::pow(k + 1.0, call.rolloff);
        switch (call.timbre) {
        case Timbre::Harmonic:
            partials.push_back({k + 1.0, gain, 0.0});
            break;
        case Timbre::Odd:
            partials.push_back({2.0 * k + 1.0, 1.0 / std::pow(2.0 * k + 1.0, call.rolloff), 0.0});
            break;
        case Timbre::Bell:
            if (k < static_cast<int>(kBell.size())) {
                partials.push_back({kBell[k], gain, 0.5 * k});
            }
            break;
        case Timbre::Bar:
            if (k < static_cast<int>(kBar.size())) {
                partials.push_back({kBar[k], gain, 12.0 * k});
            }
            break;
        }
    }
    return partials;
}

// Partials above this would alias.
constexpr double kHighestPartialHz = 0.45 * kSampleRate;

// Sum of whole-number partials; sin(n*phase) comes from the Chebyshev recurrence
// instead of one sine per partial, which matters for the 40-partial drones.
double harmonicTone(const std::vector<Partial>& partials, double phase, double hz) {
    const double twoCos = 2.0 * std::cos(phase);
    double previous = 0.0;
    double current = std::sin(phase);
    int n = 1;
    double tone = 0.0;
    for (const Partial& p : partials) {
        if (p.ratio * hz >= kHighestPartialHz) {
            break;
        }
        for (; n < static_cast<int>(p.ratio); ++n) {
            const double next = twoCos * current - previous;
            previous = current;
            current = next;
        }
        tone += p.gain * current;
    }
    return tone;
}

double inharmonicTone(const std::vector<Partial>& partials, double phase, double hz, double t) {
    double tone = 0.0;
    for (const Partial& p : partials) {
        if (p.ratio * hz < kHighestPartialHz) {
            tone += p.gain * std::exp(-p.damping * t) * std::sin(p.ratio * phase);
        }
    }
    return tone;
}

void scaleToPeak(std::vector<double>& samples, double peak) {
    double loudest = 0.0;
    for (const double s : samples) {
        loudest = std::max(loudest, std::abs(s));
    }
    if (loudest > 0.0) {
        for (double& s : samples) {
            s *= peak / loudest;
        }
    }
}

// White noise through an optional high-pass and low-pass, at unit RMS.
std::vector<double> bandNoise(std::size_t frames, double lowHz, double highHz, Rng& rng) {
    std::vector<double> out(frames);
    std::optional<Biquad> high;
    std::optional<Biquad> low;
    if (lowHz > 0.0) {
        high = Biquad::highpass(lowHz);
    }
    if (highHz > 0.0) {
        low = Biquad::lowpass(highHz);
    }
    const std::size_t warmUp = 8192; // lets the filters settle before the first kept sample
    double sumSquares = 0.0;
    for (std::size_t i = 0; i < frames + warmUp; ++i) {
        double x = rng.bipolar();
        if (high) {
            x = high->process(x);
        }
        if (low) {
            x = low->process(x);
        }
        if (i >= warmUp) {
            out[i - warmUp] = x;
            sumSquares += x * x;
        }
    }
    const double rms =
        std::sqrt(sumSquares / static_cast<double>(std::max<std::size_t>(1, frames)));
    if (rms > 0.0) {
        for (double& x : out) {
            x /= rms;
        }
    }
    return out;
}

// Folds the `fade` samples past `frames` over the start with an equal-power crossfade,
// so the result's last sample runs into its first one like any other pair of samples.
std::vector<double> foldIntoLoop(const std::vector<double>& longer, std::size_t frames,
                                 std::size_t fade) {
    std::vector<double> out(longer.begin(), longer.begin() + static_cast<long>(frames));
    for (std::size_t i = 0; i < fade; ++i) {
        const double angle = std::numbers::pi / 2.0 * static_cast<double>(i) / fade;
        out[i] = longer[i] * std::sin(angle) + longer[frames + i] * std::cos(angle);
    }
    return out;
}

void addBed(const Recipe& recipe, const Rng& root, Audio& audio) {
    const Bed& bed = recipe.bed;
    const std::size_t frames = audio.frames();
    const std::size_t fade =
        recipe.loop ? std::min(frames / 4, toFrames(kLoopCrossfadeSeconds)) : 0;
    // A loop's swell must complete whole cycles, or it would jump at the loop point.
    double cycles = bed.swellHz * recipe.seconds;
    if (recipe.loop && bed.swellHz > 0.0) {
        cycles = std::max(1.0, std::round(cycles));
    }

    // Gusts: three slow waves of unrelated periods, each a whole number of cycles
    // per loop, so the sum never repeats within the file yet wraps cleanly.
    std::array<double, 3> gustCycles{};
    std::array<double, 3> gustPhase{};
    if (bed.gust > 0.0) {
        Rng gustRng = root.fork(50);
        const std::array<double, 3> ratios{1.0, 1.73, 2.91};
        for (std::size_t k = 0; k < 3; ++k) {
            gustCycles[k] = std::max(1.0, std::round(bed.gustHz * ratios[k] * recipe.seconds));
            gustPhase[k] = kTwoPi * gustRng.uniform();
        }
    }

    for (std::size_t ch = 0; ch < audio.channels.size(); ++ch) {
        Rng rng = root.fork(1 + ch);
        std::vector<double> body = bandNoise(frames + fade, bed.lowHz, bed.highHz, rng);
        std::vector<double> hiss;
        if (bed.hiss > 0.0) {
            hiss = bandNoise(frames + fade, 2500.0, 9000.0, rng);
        }
        if (recipe.loop) {
            body = foldIntoLoop(body, frames, fade);
            if (!hiss.empty()) {
                hiss = foldIntoLoop(hiss, frames, fade);
            }
        }
        const double phaseOffset = 0.6 * static_cast<double>(ch); // stereo waves arrive apart
        std::vector<double>& out = audio.channels[ch];
        for (std::size_t i = 0; i < frames; ++i) {
            double crest = 1.0;
            if (bed.swellHz > 0.0) {
                const double phase = kTwoPi * cycles * static_cast<double>(i) / frames;
                crest = 0.5 - 0.5 * std::cos(phase + phaseOffset);
                if (bed.sharpness != 1.0) {
                    crest = std::pow(crest, bed.sharpness);
                }
            }
            double gust = 1.0;
            if (bed.gust > 0.0) {
                const double u = kTwoPi * static_cast<double>(i) / frames;
                const double wave = 0.5 * std::sin(gustCycles[0] * u + gustPhase[0]) +
                                    0.3 * std::sin(gustCycles[1] * u + gustPhase[1]) +
                                    0.2 * std::sin(gustCycles[2] * u + gustPhase[2] + 0.4 * ch);
                gust = 1.0 - bed.gust + bed.gust * (0.5 + 0.5 * wave);
            }
            double x = body[i] * (1.0 - bed.swell + bed.swell * crest) * gust;
            if (!hiss.empty()) {
                x += hiss[i] * bed.hiss * crest * crest * gust * gust;
            }
            out[i] += bed.level * x;
        }
    }
}

void addLayer(const Recipe& recipe, const Layer& layer, Rng& rng, Audio& audio) {
    const std::size_t frames = audio.frames();
    double span = recipe.loop ? recipe.seconds : recipe.seconds - layer.at;
    if (layer.within > 0.0) {
        span = std::min(span, layer.within);
    }
    const int count = layer.perSecond > 0.0
                          ? std::max(1, static_cast<int>(std::lround(layer.perSecond * span)))
                          : 1;
    const bool stereo = audio.channels.size() == 2;

    for (int k = 0; k < count; ++k) {
        double pitch = 1.0 + layer.pitchSpread * rng.bipolar();
        if (!layer.notes.empty()) {
            pitch = layer.notes[static_cast<std::size_t>(
                rng.below(static_cast<int>(layer.notes.size())))];
        }
        const std::vector<double> call = renderCall(layer.call, pitch, rng);
        const double callSeconds = static_cast<double>(call.size()) / kSampleRate;

        double start = layer.at;
        if (layer.perSecond > 0.0 && layer.regular) {
            start = layer.at + span * k / count;
        } else if (layer.perSecond > 0.0) {
            // One-shots keep scattered calls whole; loops may wrap them around.
            const double room = recipe.loop ? span : std::max(0.0, span - callSeconds);
            start = layer.at + room * rng.uniform();
        }
        const auto [left, right] = panGains(stereo ? layer.panSpread * rng.bipolar() : 0.0);

        const std::size_t offset = toFrames(start);
        for (std::size_t j = 0; j < call.size(); ++j) {
            std::size_t index = offset + j;
            if (recipe.loop) {
                index %= frames;
            } else if (index >= frames) {
                break;
            }
            const double x = layer.level * call[j];
            if (stereo) {
                audio.channels[0][index] += x * left;
                audio.channels[1][index] += x * right;
            } else {
                audio.channels[0][index] += x;
            }
        }
    }
}

// Mixes in a room (or the distance outdoors). A loop's input runs through the
// reverberator twice and only the second pass is kept, so the tail of the end rings
// on into the start just as it does when the loop repeats.
void addReverb(Audio& audio, double wet, double t60, bool loop) {
    const std::size_t frames = audio.frames();
    stk::JCRev room(t60);
    room.setEffectMix(1.0);
    const std::size_t channels = audio.channels.size();
    std::vector<std::vector<double>> tail(channels, std::vector<double>(frames, 0.0));
    for (int pass = loop ? 0 : 1; pass < 2; ++pass) {
        for (std::size_t i = 0; i < frames; ++i) {
            double in = 0.0;
            for (const auto& channel : audio.channels) {
                in += channel[i];
            }
            room.tick(in / static_cast<double>(channels));
            if (pass == 1) {
                for (std::size_t ch = 0; ch < channels; ++ch) {
                    tail[ch][i] = room.lastOut(channels == 2 ? static_cast<unsigned>(ch) : 0);
                }
            }
        }
    }
    for (std::size_t ch = 0; ch < channels; ++ch) {
        for (std::size_t i = 0; i < frames; ++i) {
            audio.channels[ch][i] = (1.0 - wet) * audio.channels[ch][i] + wet * 2.0 * tail[ch][i];
        }
    }
}

void fadeEnds(Audio& audio, double seconds) {
    const std::size_t frames = audio.frames();
    const double fadeIn =
        std::max(1.0, static_cast<double>(toFrames(std::min(0.005, seconds / 10))));
    const double fadeOut =
        std::max(1.0, static_cast<double>(toFrames(std::min(0.04, seconds / 5))));
    for (auto& channel : audio.channels) {
        for (std::size_t i = 0; i < frames; ++i) {
            channel[i] *= smoothStep(static_cast<double>(i) / fadeIn) *
                          smoothStep(static_cast<double>(frames - 1 - i) / fadeOut);
        }
    }
}

void scaleToPeakDb(Audio& audio, double peakDb) {
    double peak = 0.0;
    for (const auto& channel : audio.channels) {
        for (const double x : channel) {
            peak = std::max(peak, std::abs(x));
        }
    }
    if (peak > 0.0) {
        for (auto& channel : audio.channels) {
            for (double& x : channel) {
                x *= dbToGain(peakDb) / peak;
            }
        }
    }
}

// The syllables of a call as notes: either its song, or its equal syllables with the
// gap and pitch stepping from one to the next.
std::vector<Note> notesOf(const Call& call) {
    if (!call.song.empty()) {
        return call.song;
    }
    const int syllables = std::max(1, call.syllables);
    std::vector<Note> notes;
    double ratio = 1.0;
    for (int s = 0; s < syllables; ++s) {
        double gap = call.gap;
        if (call.gapEnd >= 0.0 && syllables > 1) {
            gap += (call.gapEnd - call.gap) * s / (syllables - 1);
        }
        std::vector<Point> glide = call.glide.empty() ? std::vector<Point>{{0.0, 1.0}} : call.glide;
        for (Point& p : glide) {
            p.value *= ratio;
        }
        notes.push_back({call.seconds, std::move(glide), s + 1 < syllables ? gap : 0.0, 1.0});
        ratio *= call.step;
    }
    return notes;
}

} // namespace

// Varies each syllable a little, as no animal repeats a note exactly.
void jitterNotes(std::vector<Note>& notes, double jitter, Rng& rng) {
    for (Note& note : notes) {
        note.seconds *= 1.0 + jitter * rng.bipolar();
        note.gap *= 1.0 + jitter * rng.bipolar();
        note.level *= 1.0 - jitter * rng.uniform();
        const double pitch = 1.0 + 0.25 * jitter * rng.bipolar();
        if (note.glide.empty()) {
            note.glide.push_back({0.0, 1.0});
        }
        for (Point& p : note.glide) {
            p.value *= pitch;
        }
    }
}

std::vector<double> renderCall(const Call& call, double pitchScale, Rng& rng) {
    std::vector<Note> notes = notesOf(call);
    if (call.jitter > 0.0) {
        jitterNotes(notes, call.jitter, rng);
    }
    std::size_t total = 0;
    for (const Note& note : notes) {
        total += std::max<std::size_t>(1, toFrames(note.seconds)) + toFrames(note.gap);
    }

    const std::vector<Partial> partials = partialsOf(call);
    double partialPower = 0.0;
    for (const Partial& p : partials) {
        partialPower += p.gain * p.gain / 2.0;
    }
    // Scales the tone to the RMS of uniform noise so `noise` is a fair mix ratio.
    const double toneScale = partialPower > 0.0 ? std::sqrt(1.0 / 3.0 / partialPower) : 0.0;
    const bool harmonic = call.timbre == Timbre::Harmonic || call.timbre == Timbre::Odd;
    const double hz = call.hz * pitchScale;

    std::vector<double> out(total, 0.0);
    std::size_t pos = 0;
    for (const Note& note : notes) {
        const std::size_t syllable = std::max<std::size_t>(1, toFrames(note.seconds));
        const double attack = std::max(call.attack, 1e-4);
        const double release = std::max(call.release, 1e-4);
        double phase = 0.0;
        for (std::size_t i = 0; i < syllable; ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double u = static_cast<double>(i) / static_cast<double>(syllable);
            double x = rng.bipolar();
            if (hz > 0.0) {
                const double f = hz * glideAt(note.glide, u) *
                                 (1.0 + call.vibrato * std::sin(kTwoPi * call.vibratoHz * t));
                phase += kTwoPi * f / kSampleRate;
                const double tone = harmonic ? harmonicTone(partials, phase, f)
                                             : inharmonicTone(partials, phase, f, t);
                x = (1.0 - call.noise) * tone * toneScale + call.noise * x;
            }
            double env = smoothStep(t / attack) * smoothStep((note.seconds - t) / release);
            if (call.decay > 0.0) {
                env *= std::exp(-t / call.decay);
            }
            if (call.pulse > 0.0) {
                env *= 1.0 - call.pulse * (0.5 + 0.5 * std::cos(kTwoPi * call.pulseHz * t));
            }
            out[pos + i] = note.level * x * env;
        }
        pos += syllable + toFrames(note.gap);
    }

    if (call.formantHz > 0.0) {
        const double from = call.formantHz * pitchScale;
        const double to = (call.formantTo > 0.0 ? call.formantTo : call.formantHz) * pitchScale;
        Biquad formant = Biquad::bandpass(from, call.formantQ);
        std::optional<Biquad> second;
        if (call.formant2Hz > 0.0) {
            second = Biquad::bandpass(call.formant2Hz * pitchScale, call.formant2Q);
        }
        constexpr std::size_t kRetuneEvery = 64;
        for (std::size_t i = 0; i < total; ++i) {
            if (to != from && i % kRetuneEvery == 0) {
                const double u = static_cast<double>(i) / static_cast<double>(total);
                formant.retuneBandpass(from * std::pow(to / from, u), call.formantQ);
            }
            const double x = out[i];
            out[i] = formant.process(x);
            if (second) {
                out[i] += call.formant2Level * second->process(x);
            }
        }
    }
    scaleToPeak(out, 1.0);
    return out;
}

Audio renderRecipe(const Recipe& recipe) {
    const Rng root(seedFor(recipe.file));
    Audio audio;
    audio.channels.assign(static_cast<std::size_t>(std::max(1, recipe.channels)),
                          std::vector<double>(toFrames(recipe.seconds), 0.0));
    if (recipe.bed.level > 0.0) {
        addBed(recipe, root, audio);
    }
    Audio calls;
    calls.channels.assign(audio.channels.size(), std::vector<double>(audio.frames(), 0.0));
    for (std::size_t i = 0; i < recipe.layers.size(); ++i) {
        Rng rng = root.fork(100 + i);
        addLayer(recipe, recipe.layers[i], rng, calls);
    }
    if (recipe.reverb > 0.0) {
        addReverb(calls, recipe.reverb, recipe.reverbT60, recipe.loop);
    }
    for (std::size_t ch = 0; ch < audio.channels.size(); ++ch) {
        for (std::size_t i = 0; i < audio.frames(); ++i) {
            audio.channels[ch][i] += calls.channels[ch][i];
        }
    }
    if (recipe.loop) {
        placeLoopPoint(audio);
    } else {
        fadeEnds(audio, recipe.seconds);
    }
    Balance balanceTo = recipe.balance;
    if (balanceTo == Balance::Auto) {
        balanceTo = recipe.loop ? Balance::Background : Balance::OneShot;
    }
    switch (balanceTo) {
    case Balance::Auto:
    case Balance::Background:
        balance(audio, kBackgroundLufs, recipe.loop);
        break;
    case Balance::OneShot:
        balance(audio, kOneShotLufs, recipe.loop);
        break;
    case Balance::Quiet:
        scaleToPeakDb(audio, recipe.peakDb);
        break;
    }
    return audio;
}

} // namespace assetgen
