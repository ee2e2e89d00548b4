#include "Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <type_traits>

namespace sylvaro::engine {

namespace {

constexpr int kSilentDb = -10000;
constexpr int kMaxPan = 10000;

// Voice state word: playing and looping bits plus a generation that every
// play/stop bumps, so the audio thread can tell whether the UI thread changed
// the state while it was rendering.
constexpr std::uint32_t kPlaying = 1;
constexpr std::uint32_t kLooping = 2;
constexpr std::uint32_t kFlags = kPlaying | kLooping;
constexpr std::uint32_t kGenerationStep = 4;

// Play cursors are 32.32 fixed point in source frames.
constexpr int kFracBits = 32;
constexpr std::uint64_t kOne = std::uint64_t{1} << kFracBits;
constexpr float kFracToFloat = 1.0f / 4294967296.0f;
constexpr std::int64_t kMaxFrames = std::numeric_limits<std::uint32_t>::max();

// render() works in tiles this long so the output being summed stays in L1.
constexpr int kTileFrames = 1024;
// Gain changes glide over 5 ms.
constexpr int kRampsPerSecond = 200;

std::uint32_t nextState(std::uint32_t old, std::uint32_t flags) {
    return ((old & ~kFlags) + kGenerationStep) | flags;
}

// Linear gain of an attenuation in hundredths of a dB; 100 dB or more is
// silence, exactly.
float attenuation(int hundredthsDb) {
    if (hundredthsDb <= kSilentDb) {
        return 0.0f;
    }
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

template <typename S> constexpr float kSampleScale = std::is_same_v<S, float> ? 1.0f : 1.0f / 32768;

// Per-frame gains: frame i of a run gets l + dl * i (dl, dr are 0 when steady).
struct Gains {
    float l, r, dl, dr;
};

// Rates match: straight multiply-add over a contiguous run of source frames.
template <typename S, int Ch, bool Ramp>
inline void mixDirect(const S* __restrict src, float* __restrict out, int n, Gains g) {
    for (int i = 0; i < n; ++i) {
        const float gl = Ramp ? g.l + g.dl * static_cast<float>(i) : g.l;
        const float gr = Ramp ? g.r + g.dr * static_cast<float>(i) : g.r;
        const float sl = static_cast<float>(src[i * Ch]);
        const float sr = static_cast<float>(src[i * Ch + Ch - 1]);
        out[2 * i] += sl * gl;
        out[2 * i + 1] += sr * gr;
    }
}

// Rates differ: linear interpolation between frames idx and idx + 1, both of
// which the caller guarantees to lie inside the sound. Returns the cursor.
template <typename S, int Ch>
inline std::uint64_t mixLinear(const S* __restrict src, float* __restrict out, int n,
                               std::uint64_t cursor, std::uint64_t step, Gains g) {
    for (int i = 0; i < n; ++i) {
        const S* a = src + (cursor >> kFracBits) * Ch;
        const float f = static_cast<float>(static_cast<std::uint32_t>(cursor)) * kFracToFloat;
        const float al = static_cast<float>(a[0]);
        const float ar = static_cast<float>(a[Ch - 1]);
        const float sl = al + (static_cast<float>(a[Ch]) - al) * f;
        const float sr = ar + (static_cast<float>(a[Ch + Ch - 1]) - ar) * f;
        const float fi = static_cast<float>(i);
        out[2 * i] += sl * (g.l + g.dl * fi);
        out[2 * i + 1] += sr * (g.r + g.dr * fi);
        cursor += step;
    }
    return cursor;
}

// One interpolated frame between `a` and `b`, where b is the loop start, or
// null past the end of a once-played sound (silence).
template <typename S, int Ch>
inline void mixEdge(const S* a, const S* b, float* out, float f, Gains g) {
    const float al = static_cast<float>(a[0]);
    const float ar = static_cast<float>(a[Ch - 1]);
    const float bl = b ? static_cast<float>(b[0]) : 0.0f;
    const float br = b ? static_cast<float>(b[Ch - 1]) : 0.0f;
    out[0] += (al + (bl - al) * f) * g.l;
    out[1] += (ar + (br - ar) * f) * g.r;
}

} // namespace

// One voice slot. The UI-thread fields say who owns the slot; the atomics are
// the UI's requests polled by render(); the rest belongs to the audio thread.
struct Mixer::Voice {
    // UI thread only.
    PcmPtr owner;
    int generation = 0;

    // Written by the UI thread (and the end-of-sound stop), read by render().
    std::atomic<const PcmData*> pcm{nullptr};
    std::atomic<std::uint32_t> state{0};
    std::atomic<int> volume{0};
    std::atomic<int> pan{0};
    std::atomic<std::int64_t> pendingSeek{-1};
    // Written by render(), read by the UI thread.
    std::atomic<std::int64_t> renderedPosition{0};

    // Audio thread only (set up by createVoice before the voice is visible).
    std::uint64_t cursor = 0;
    bool looping = false;
    bool active = false; // rendered in the previous tile, so gains glide
    int appliedVolume = 0;
    int appliedPan = 0;
    float gainL = 1.0f, gainR = 1.0f;     // gain at the last rendered frame
    float targetL = 1.0f, targetR = 1.0f; // where a running ramp ends
    float stepL = 0.0f, stepR = 0.0f;
    int rampLeft = 0;

    void reset(const PcmPtr& data);
    void render(float* out, int frames, int outRate);

private:
    enum class Edge { Continue, Stop };
    void consumeSeek();
    void updateGains(int outRate);
    Gains gainsFor(float scale) const;
    void advanceRamp(int frames);
    Edge reachEnd(std::uint64_t length);
    template <typename S, int Ch>
    bool mix(const PcmData& data, const S* src, float* out, int frames, int outRate);
    template <typename S, int Ch>
    bool mixSameRate(const S* src, std::uint64_t length, float* out, int frames);
    template <typename S, int Ch>
    bool mixResampled(const S* src, std::uint64_t length, float* out, int frames,
                      std::uint64_t step);
};

void Mixer::Voice::reset(const PcmPtr& data) {
    owner = data;
    state.store(0, std::memory_order_relaxed);
    volume.store(0, std::memory_order_relaxed);
    pan.store(0, std::memory_order_relaxed);
    pendingSeek.store(-1, std::memory_order_relaxed);
    renderedPosition.store(0, std::memory_order_relaxed);
    cursor = 0;
    looping = false;
    active = false;
    appliedVolume = 0;
    appliedPan = 0;
    gainL = gainR = targetL = targetR = 1.0f;
    stepL = stepR = 0.0f;
    rampLeft = 0;
    // Publishing the pointer last makes the fields above visible to render().
    pcm.store(data.get(), std::memory_order_release);
}

void Mixer::Voice::consumeSeek() {
    std::int64_t frame = pendingSeek.load(std::memory_order_acquire);
    while (frame >= 0) {
        // Publish first: a UI thread that sees the seek consumed also sees it
        // as the position.
        renderedPosition.store(frame, std::memory_order_relaxed);
        if (pendingSeek.compare_exchange_weak(frame, -1, std::memory_order_acq_rel)) {
            cursor = static_cast<std::uint64_t>(frame) << kFracBits;
            return;
        }
    }
}

void Mixer::Voice::updateGains(int outRate) {
    const int v = volume.load(std::memory_order_relaxed);
    const int p = pan.load(std::memory_order_relaxed);
    if (v != appliedVolume || p != appliedPan) {
        appliedVolume = v;
        appliedPan = p;
        const float g = attenuation(v);
        const float l = g * (p > 0 ? attenuation(-p) : 1.0f);
        const float r = g * (p < 0 ? attenuation(p) : 1.0f);
        if (l != targetL || r != targetR) {
            targetL = l;
            targetR = r;
            rampLeft = std::max(1, outRate / kRampsPerSecond);
            stepL = (targetL - gainL) / static_cast<float>(rampLeft);
            stepR = (targetR - gainR) / static_cast<float>(rampLeft);
        }
    }
    if (!active) {
        // A voice that starts begins at its gain; only changes glide.
        gainL = targetL;
        gainR = targetR;
        rampLeft = 0;
    }
}

Gains Mixer::Voice::gainsFor(float scale) const {
    if (rampLeft > 0) {
        return {(gainL + stepL) * scale, (gainR + stepR) * scale, stepL * scale, stepR * scale};
    }
    return {gainL * scale, gainR * scale, 0.0f, 0.0f};
}

void Mixer::Voice::advanceRamp(int frames) {
    if (rampLeft == 0) {
        return;
    }
    if (frames >= rampLeft) {
        gainL = targetL;
        gainR = targetR;
        rampLeft = 0;
    } else {
        gainL += stepL * static_cast<float>(frames);
        gainR += stepR * static_cast<float>(frames);
        rampLeft -= frames;
    }
}

// The cursor has passed the last frame: wrap a looping voice (by the newest
// looping flag, so a play() during this tile counts) or stop a once-played
// one and rewind it.
Mixer::Voice::Edge Mixer::Voice::reachEnd(std::uint64_t length) {
    std::uint32_t s = state.load(std::memory_order_acquire);
    for (;;) {
        if ((s & kPlaying) != 0 && (s & kLooping) != 0) {
            looping = true;
            cursor %= length << kFracBits;
            return Edge::Continue;
        }
        cursor = 0;
        renderedPosition.store(0, std::memory_order_relaxed);
        // A stop() from the UI thread already ended it; otherwise end it
        // unless a play() or stop() comes in between, which then wins.
        if ((s & kPlaying) == 0 ||
            state.compare_exchange_weak(s, nextState(s, s & kLooping), std::memory_order_acq_rel)) {
            return Edge::Stop;
        }
    }
}

template <typename S, int Ch>
bool Mixer::Voice::mixSameRate(const S* src, std::uint64_t length, float* out, int frames) {
    std::uint64_t pos = cursor >> kFracBits;
    int done = 0;
    while (done < frames) {
        int run = static_cast<int>(std::min<std::uint64_t>(frames - done, length - pos));
        if (rampLeft > 0) {
            run = std::min(run, rampLeft);
            mixDirect<S, Ch, true>(src + pos * Ch, out + 2 * done, run, gainsFor(kSampleScale<S>));
        } else if (gainL != 0.0f || gainR != 0.0f) {
            mixDirect<S, Ch, false>(src + pos * Ch, out + 2 * done, run, gainsFor(kSampleScale<S>));
        }
        advanceRamp(run);
        pos += run;
        done += run;
        if (pos == length) {
            cursor = pos << kFracBits;
            if (reachEnd(length) == Edge::Stop) {
                return false;
            }
            pos = cursor >> kFracBits;
        }
    }
    cursor = pos << kFracBits;
    return true;
}

template <typename S, int Ch>
bool Mixer::Voice::mixResampled(const S* src, std::uint64_t length, float* out, int frames,
                                std::uint64_t step) {
    const std::uint64_t lastFrame = (length - 1) << kFracBits;
    const std::uint64_t end = length << kFracBits;
    int done = 0;
    while (done < frames) {
        if (cursor < lastFrame) {
            // Both neighbours lie inside the sound for this whole run.
            const std::uint64_t untilLast = (lastFrame - cursor + step - 1) / step;
            int run = static_cast<int>(std::min<std::uint64_t>(frames - done, untilLast));
            if (rampLeft > 0) {
                run = std::min(run, rampLeft);
            }
            if (rampLeft > 0 || gainL != 0.0f || gainR != 0.0f) {
                cursor = mixLinear<S, Ch>(src, out + 2 * done, run, cursor, step,
                                          gainsFor(kSampleScale<S>));
            } else {
                cursor += step * static_cast<std::uint64_t>(run);
            }
            advanceRamp(run);
            done += run;
        } else {
            // The last frame leans on the loop start, or on silence.
            const float f = static_cast<float>(static_cast<std::uint32_t>(cursor)) * kFracToFloat;
            mixEdge<S, Ch>(src + (length - 1) * Ch, looping ? src : nullptr, out + 2 * done, f,
                           gainsFor(kSampleScale<S>));
            advanceRamp(1);
            cursor += step;
            ++done;
        }
        if (cursor >= end && reachEnd(length) == Edge::Stop) {
            return false;
        }
    }
    return true;
}

template <typename S, int Ch>
bool Mixer::Voice::mix(const PcmData& data, const S* src, float* out, int frames, int outRate) {
    const auto length = static_cast<std::uint64_t>(data.frames);
    const auto rate = static_cast<std::uint64_t>(data.sampleRate);
    const std::uint64_t step = (rate << kFracBits) / static_cast<std::uint64_t>(outRate);
    return step == kOne ? mixSameRate<S, Ch>(src, length, out, frames)
                        : mixResampled<S, Ch>(src, length, out, frames, step);
}

void Mixer::Voice::render(float* out, int frames, int outRate) {
    const PcmData* data = pcm.load(std::memory_order_acquire);
    if (data == nullptr) {
        return;
    }
    const std::uint32_t s = state.load(std::memory_order_acquire);
    if ((s & kPlaying) == 0) {
        active = false;
        return;
    }
    looping = (s & kLooping) != 0;
    consumeSeek();
    updateGains(outRate);

    bool playing;
    if (!data->s16.empty()) {
        const std::int16_t* src = data->s16.data();
        playing = data->channels == 1 ? mix<std::int16_t, 1>(*data, src, out, frames, outRate)
                                      : mix<std::int16_t, 2>(*data, src, out, frames, outRate);
    } else {
        const float* src = data->f32.data();
        playing = data->channels == 1 ? mix<float, 1>(*data, src, out, frames, outRate)
                                      : mix<float, 2>(*data, src, out, frames, outRate);
    }
    if (playing) {
        renderedPosition.store(static_cast<std::int64_t>(cursor >> kFracBits),
                               std::memory_order_relaxed);
    }
    active = playing;
}

Mixer::Mixer(int sampleRate, int capacity)
    : m_sampleRate(sampleRate > 0 ? sampleRate : 48000),
      m_voices(std::make_unique<Voice[]>(static_cast<std::size_t>(std::max(capacity, 0)))),
      m_capacity(std::max(capacity, 0)) {}

Mixer::~Mixer() = default;

// Ids carry the slot's generation, so an id kept after releaseVoice() never
// reaches the slot's next voice.
Mixer::Voice* Mixer::voice(VoiceId id) const {
    if (id < 0 || m_capacity == 0) {
        return nullptr;
    }
    Voice& v = m_voices[static_cast<std::size_t>(id % m_capacity)];
    return v.owner && v.generation == id / m_capacity ? &v : nullptr;
}

VoiceId Mixer::createVoice(PcmPtr pcm) {
    if (!pcm || pcm->frames <= 0 || pcm->frames > kMaxFrames || pcm->sampleRate <= 0 ||
        (pcm->channels != 1 && pcm->channels != 2)) {
        return kNoVoice;
    }
    const auto samples = static_cast<std::size_t>(pcm->frames * pcm->channels);
    if (pcm->s16.size() < samples && (!pcm->s16.empty() || pcm->f32.size() < samples)) {
        return kNoVoice;
    }
    for (int slot = 0; slot < m_capacity; ++slot) {
        Voice& v = m_voices[static_cast<std::size_t>(slot)];
        if (v.owner) {
            continue;
        }
        if (v.generation > (std::numeric_limits<int>::max() - slot) / m_capacity - 1) {
            v.generation = 0;
        }
        if (m_lock) {
            m_lock->lock();
        }
        v.reset(pcm);
        if (m_lock) {
            m_lock->unlock();
        }
        return v.generation * m_capacity + slot;
    }
    return kNoVoice;
}

void Mixer::releaseVoice(VoiceId id) {
    Voice* v = voice(id);
    if (!v) {
        return;
    }
    if (m_lock) {
        m_lock->lock();
    }
    v->pcm.store(nullptr, std::memory_order_release);
    v->state.store(0, std::memory_order_relaxed);
    if (m_lock) {
        m_lock->unlock();
    }
    // The samples are freed here, on the UI thread, never in render().
    v->owner.reset();
    ++v->generation;
}

bool Mixer::isValid(VoiceId id) const {
    return voice(id) != nullptr;
}

int Mixer::voiceCount() const {
    int count = 0;
    for (int slot = 0; slot < m_capacity; ++slot) {
        count += m_voices[static_cast<std::size_t>(slot)].owner ? 1 : 0;
    }
    return count;
}

void Mixer::play(VoiceId id, bool looping) {
    if (Voice* v = voice(id)) {
        const std::uint32_t flags = kPlaying | (looping ? kLooping : 0);
        std::uint32_t s = v->state.load(std::memory_order_relaxed);
        while (!v->state.compare_exchange_weak(s, nextState(s, flags), std::memory_order_acq_rel)) {
        }
    }
}

void Mixer::stop(VoiceId id) {
    if (Voice* v = voice(id)) {
        std::uint32_t s = v->state.load(std::memory_order_relaxed);
        while (!v->state.compare_exchange_weak(s, nextState(s, s & kLooping),
                                               std::memory_order_acq_rel)) {
        }
    }
}

void Mixer::setVolume(VoiceId id, int hundredthsDb) {
    if (Voice* v = voice(id)) {
        v->volume.store(std::clamp(hundredthsDb, kSilentDb, 0), std::memory_order_relaxed);
    }
}

void Mixer::setPan(VoiceId id, int hundredthsDb) {
    if (Voice* v = voice(id)) {
        v->pan.store(std::clamp(hundredthsDb, -kMaxPan, kMaxPan), std::memory_order_relaxed);
    }
}

void Mixer::setPosition(VoiceId id, std::int64_t frame) {
    if (Voice* v = voice(id)) {
        // render() takes it over at its next tile; until then position()
        // reports it, and it cannot be overwritten by the running cursor.
        v->pendingSeek.store(std::clamp<std::int64_t>(frame, 0, v->owner->frames - 1),
                             std::memory_order_release);
    }
}

bool Mixer::isPlaying(VoiceId id) const {
    const Voice* v = voice(id);
    return v && (v->state.load(std::memory_order_acquire) & kPlaying) != 0;
}

bool Mixer::isLooping(VoiceId id) const {
    const Voice* v = voice(id);
    return v && (v->state.load(std::memory_order_acquire) & kLooping) != 0;
}

int Mixer::volume(VoiceId id) const {
    const Voice* v = voice(id);
    return v ? v->volume.load(std::memory_order_relaxed) : kSilentDb;
}

int Mixer::pan(VoiceId id) const {
    const Voice* v = voice(id);
    return v ? v->pan.load(std::memory_order_relaxed) : 0;
}

std::int64_t Mixer::position(VoiceId id) const {
    const Voice* v = voice(id);
    if (!v) {
        return 0;
    }
    const std::int64_t seek = v->pendingSeek.load(std::memory_order_acquire);
    return seek >= 0 ? seek : v->renderedPosition.load(std::memory_order_relaxed);
}

std::int64_t Mixer::length(VoiceId id) const {
    const Voice* v = voice(id);
    return v ? v->owner->frames : 0;
}

void Mixer::render(float* out, int frames) {
    if (out == nullptr || frames <= 0) {
        return;
    }
    for (int done = 0; done < frames; done += kTileFrames) {
        const int n = std::min(kTileFrames, frames - done);
        float* tile = out + 2 * static_cast<std::size_t>(done);
        std::fill(tile, tile + 2 * n, 0.0f);
        for (int slot = 0; slot < m_capacity; ++slot) {
            m_voices[static_cast<std::size_t>(slot)].render(tile, n, m_sampleRate);
        }
    }
}

} // namespace sylvaro::engine
