#include "Mixer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
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

// A sound longer than this many frames is refused (positions are kept as
// 64-bit frames, but no ambient sound needs more).
constexpr std::int64_t kMaxFrames = std::numeric_limits<std::uint32_t>::max();

// render() works in tiles this long so the output being summed stays in L1.
constexpr int kTileFrames = 1024;
// Starts, stops and gain changes glide over 5 ms.
constexpr int kRampsPerSecond = 200;
static_assert(kTileFrames == Limiter::kMaxFrames);

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

// The four sample layouts a PcmData can hold.
enum class Layout { MonoS16, StereoS16, MonoF32, StereoF32 };

// Per-frame gains: frame i of a run gets l + dl * (first + i) (dl, dr are 0
// when steady).
struct Gains {
    float l, r, dl, dr;
    float first = 0.0f;
};

// The kernels below are compiled twice, for baseline x86-64 and for AVX2
// machines, and the best one is picked when the program loads (not under the
// thread sanitizer, whose start-up cannot run that choice).
#if defined(__x86_64__) && defined(__has_attribute) && !defined(__SANITIZE_THREAD__)
#if __has_attribute(target_clones)
#define SYLVARO_MIX_KERNEL [[gnu::target_clones("arch=x86-64-v3", "default")]]
#endif
#endif
#ifndef SYLVARO_MIX_KERNEL
#define SYLVARO_MIX_KERNEL
#endif

template <typename S> Gains scaledForSamples(Gains g) {
    if constexpr (std::is_same_v<S, float>) {
        return g;
    } else {
        constexpr float k = 1.0f / 32768;
        return {g.l * k, g.r * k, g.dl * k, g.dr * k, g.first};
    }
}

// Rates match: straight multiply-add over a contiguous run of source frames.
template <typename S, int Ch, bool Ramp>
[[gnu::always_inline]] inline void mixDirect(const S* __restrict src, float* __restrict out, int n,
                                             Gains g) {
    g = scaledForSamples<S>(g);
    for (int i = 0; i < n; ++i) {
        const float gl = Ramp ? g.l + g.dl * (g.first + static_cast<float>(i)) : g.l;
        const float gr = Ramp ? g.r + g.dr * (g.first + static_cast<float>(i)) : g.r;
        const float sl = static_cast<float>(src[i * Ch]);
        const float sr = static_cast<float>(src[i * Ch + Ch - 1]);
        out[2 * i] += sl * gl;
        out[2 * i + 1] += sr * gr;
    }
}

#if defined(__GNUC__)
// Eight samples of a source in one vector.
template <typename S> struct EightSamples;
template <> struct EightSamples<std::int16_t> {
    typedef std::int16_t type __attribute__((vector_size(16)));
};
template <> struct EightSamples<float> { typedef float type __attribute__((vector_size(32))); };

// Mono at a steady gain, eight frames at a time: each sample is widened to a
// (left, right) pair and scaled by (gl, gr), so there is no de-interleaving.
template <typename S>
[[gnu::always_inline]] inline void mixMonoSteady(const S* __restrict src, float* __restrict out,
                                                 int n, Gains g) {
    using Floats = EightSamples<float>::type;
    using Samples = typename EightSamples<S>::type;
    g = scaledForSamples<S>(g);
    const Floats pair = {g.l, g.r, g.l, g.r, g.l, g.r, g.l, g.r};
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        Samples raw;
        std::memcpy(&raw, src + i, sizeof raw);
        const Floats f = __builtin_convertvector(raw, Floats);
        Floats lo;
        Floats hi;
        std::memcpy(&lo, out + 2 * i, sizeof lo);
        std::memcpy(&hi, out + 2 * i + 8, sizeof hi);
        lo += __builtin_shufflevector(f, f, 0, 0, 1, 1, 2, 2, 3, 3) * pair;
        hi += __builtin_shufflevector(f, f, 4, 4, 5, 5, 6, 6, 7, 7) * pair;
        std::memcpy(out + 2 * i, &lo, sizeof lo);
        std::memcpy(out + 2 * i + 8, &hi, sizeof hi);
    }
    for (; i < n; ++i) {
        const float v = static_cast<float>(src[i]);
        out[2 * i] += v * g.l;
        out[2 * i + 1] += v * g.r;
    }
}
#else
template <typename S> void mixMonoSteady(const S* src, float* out, int n, Gains g) {
    mixDirect<S, 1, false>(src, out, n, g);
}
#endif

template <typename S, int Ch> const S* frameAt(const void* data, std::uint64_t frame) {
    return static_cast<const S*>(data) + frame * Ch;
}

// Steady runs go in slices, each after a prefetch of the samples one tile
// ahead, so the memory requests of many voices spread over the work instead
// of queueing up in bursts. `available` is how many frames the sound has from
// src on.
template <typename S, int Ch>
[[gnu::always_inline]] inline void mixSteady(const S* src, std::uint64_t available, float* out,
                                             int n, Gains g) {
    constexpr int kSlice = 64;
    constexpr int kLine = 64;
    for (int i = 0; i < n; i += kSlice) {
        const int m = std::min(kSlice, n - i);
#if defined(__GNUC__)
        if (static_cast<std::uint64_t>(i + kTileFrames + m) <= available) {
            const char* ahead = reinterpret_cast<const char*>(src + (i + kTileFrames) * Ch);
            for (std::size_t b = 0; b < m * Ch * sizeof(S); b += kLine) {
                __builtin_prefetch(ahead + b, 0, 2);
            }
        }
#endif
        if constexpr (Ch == 1) {
            mixMonoSteady<S>(src + i, out + 2 * i, m, g);
        } else {
            mixDirect<S, Ch, false>(src + i * Ch, out + 2 * i, m, g);
        }
    }
}

SYLVARO_MIX_KERNEL
void mixDirectRun(Layout layout, const void* data, std::uint64_t frame, std::uint64_t length,
                  float* out, int n, Gains g, bool ramp) {
    const std::uint64_t available = length - frame;
    switch (layout) {
    case Layout::MonoS16:
        return ramp ? mixDirect<std::int16_t, 1, true>(frameAt<std::int16_t, 1>(data, frame), out,
                                                       n, g)
                    : mixSteady<std::int16_t, 1>(frameAt<std::int16_t, 1>(data, frame), available,
                                                 out, n, g);
    case Layout::StereoS16:
        return ramp ? mixDirect<std::int16_t, 2, true>(frameAt<std::int16_t, 2>(data, frame), out,
                                                       n, g)
                    : mixSteady<std::int16_t, 2>(frameAt<std::int16_t, 2>(data, frame), available,
                                                 out, n, g);
    case Layout::MonoF32:
        return ramp ? mixDirect<float, 1, true>(frameAt<float, 1>(data, frame), out, n, g)
                    : mixSteady<float, 1>(frameAt<float, 1>(data, frame), available, out, n, g);
    case Layout::StereoF32:
        return ramp ? mixDirect<float, 2, true>(frameAt<float, 2>(data, frame), out, n, g)
                    : mixSteady<float, 2>(frameAt<float, 2>(data, frame), available, out, n, g);
    }
}

// Where a voice's samples are and how they are laid out.
struct Source {
    const void* data;
    Layout layout;
    std::uint64_t length;

    explicit Source(const PcmData& pcm)
        : data(pcm.s16.empty() ? static_cast<const void*>(pcm.f32.data()) : pcm.s16.data()),
          layout(pcm.s16.empty() ? (pcm.channels == 1 ? Layout::MonoF32 : Layout::StereoF32)
                                 : (pcm.channels == 1 ? Layout::MonoS16 : Layout::StereoS16)),
          length(static_cast<std::uint64_t>(pcm.frames)) {}
};

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
    // Mixed outside the master volume.
    std::atomic<bool> exempt{false};
    // Written by render(), read by the UI thread.
    std::atomic<std::int64_t> renderedPosition{0};
    // Whether the last tile rendered carried this voice (playing or fading).
    std::atomic<bool> heard{false};
    // UI thread only: released while heard; its slot is freed once the
    // fade-out has been rendered.
    bool retiring = false;

    // Audio thread only (set up by createVoice before the voice is visible).
    std::uint64_t cursor = 0; // next frame to play
    // Rendered in the previous tile: playing, or fading out after a stop.
    // A voice that becomes audible starts its gain from silence.
    bool audible = false;
    // Whether this tile mixes the voice outside the master volume.
    bool exemptNow = false;
    int appliedVolume = 0;
    int appliedPan = 0;
    float volumeL = 1.0f, volumeR = 1.0f; // the gains volume and pan ask for
    float gainL = 0.0f, gainR = 0.0f;     // gain at the last rendered frame
    float targetL = 0.0f, targetR = 0.0f; // where a running ramp ends
    // A running ramp: frame k of it (from 1) has gain start + step * k, so
    // the output does not depend on how render() calls cut the ramp up.
    float startL = 0.0f, startR = 0.0f;
    float stepL = 0.0f, stepR = 0.0f;
    int rampDone = 0;
    int rampLeft = 0;

    void reset(const PcmPtr& data);
    // A silent render keeps the voice's time (cursor, ramps, ends) without
    // mixing anything.
    void render(float* out, int frames, int rampFrames, bool silent);

private:
    enum class Edge { Continue, Stop };
    void consumeSeek();
    void retarget(bool playing, int rampFrames);
    Gains gains() const;
    void advanceRamp(int frames);
    Edge reachEnd();
    bool mix(const Source& src, float* out, int frames, bool silent);
};

void Mixer::Voice::reset(const PcmPtr& data) {
    owner = data;
    state.store(0, std::memory_order_relaxed);
    volume.store(0, std::memory_order_relaxed);
    pan.store(0, std::memory_order_relaxed);
    pendingSeek.store(-1, std::memory_order_relaxed);
    exempt.store(false, std::memory_order_relaxed);
    renderedPosition.store(0, std::memory_order_relaxed);
    heard.store(false, std::memory_order_relaxed);
    retiring = false;
    cursor = 0;
    audible = false;
    exemptNow = false;
    appliedVolume = 0;
    appliedPan = 0;
    volumeL = volumeR = 1.0f;
    gainL = gainR = targetL = targetR = 0.0f;
    startL = startR = stepL = stepR = 0.0f;
    rampDone = rampLeft = 0;
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
            cursor = static_cast<std::uint64_t>(frame);
            return;
        }
    }
}

// Every change of the gain a voice should have - starting, stopping, a new
// volume or pan, a play() during a fade-out - is a ramp from the gain it has
// now, so the output never jumps.
void Mixer::Voice::retarget(bool playing, int rampFrames) {
    const int v = volume.load(std::memory_order_relaxed);
    const int p = pan.load(std::memory_order_relaxed);
    if (v != appliedVolume || p != appliedPan) {
        appliedVolume = v;
        appliedPan = p;
        const float g = attenuation(v);
        volumeL = g * (p > 0 ? attenuation(-p) : 1.0f);
        volumeR = g * (p < 0 ? attenuation(p) : 1.0f);
    }
    if (!audible) {
        gainL = gainR = targetL = targetR = 0.0f;
        rampLeft = 0;
    }
    const float l = playing ? volumeL : 0.0f;
    const float r = playing ? volumeR : 0.0f;
    if (l != targetL || r != targetR) {
        targetL = l;
        targetR = r;
        startL = gainL;
        startR = gainR;
        rampDone = 0;
        rampLeft = rampFrames;
        stepL = (targetL - gainL) / static_cast<float>(rampLeft);
        stepR = (targetR - gainR) / static_cast<float>(rampLeft);
    }
}

Gains Mixer::Voice::gains() const {
    if (rampLeft > 0) {
        return {startL, startR, stepL, stepR, static_cast<float>(rampDone + 1)};
    }
    return {gainL, gainR, 0.0f, 0.0f};
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
        rampDone += frames;
        rampLeft -= frames;
        gainL = startL + stepL * static_cast<float>(rampDone);
        gainR = startR + stepR * static_cast<float>(rampDone);
    }
}

// The cursor has reached the end: wrap a looping voice (by the newest looping
// flag, so a play() during this tile counts, and a voice fading out after a
// stop() keeps going round) or stop a once-played one and rewind it.
Mixer::Voice::Edge Mixer::Voice::reachEnd() {
    std::uint32_t s = state.load(std::memory_order_acquire);
    for (;;) {
        cursor = 0;
        if ((s & kLooping) != 0) {
            return Edge::Continue;
        }
        renderedPosition.store(0, std::memory_order_relaxed);
        // A stop() from the UI thread already ended it; otherwise end it
        // unless a play() or stop() comes in between, which then wins.
        if ((s & kPlaying) == 0 ||
            state.compare_exchange_weak(s, nextState(s, 0), std::memory_order_acq_rel)) {
            return Edge::Stop;
        }
    }
}

bool Mixer::Voice::mix(const Source& src, float* out, int frames, bool silent) {
    const std::uint64_t length = src.length;
    int done = 0;
    while (done < frames) {
        int run = static_cast<int>(std::min<std::uint64_t>(frames - done, length - cursor));
        if (rampLeft > 0) {
            run = std::min(run, rampLeft);
            if (!silent) {
                mixDirectRun(src.layout, src.data, cursor, length, out + 2 * done, run, gains(),
                             true);
            }
        } else if (!silent && (gainL != 0.0f || gainR != 0.0f)) {
            mixDirectRun(src.layout, src.data, cursor, length, out + 2 * done, run, gains(), false);
        }
        advanceRamp(run);
        cursor += static_cast<std::uint64_t>(run);
        done += run;
        if (cursor == length && reachEnd() == Edge::Stop) {
            return false;
        }
    }
    return true;
}

void Mixer::Voice::render(float* out, int frames, int rampFrames, bool silent) {
    const PcmData* data = pcm.load(std::memory_order_acquire);
    if (data == nullptr) {
        return;
    }
    const Source src(*data);
    const bool wanted = (state.load(std::memory_order_acquire) & kPlaying) != 0;
    int done = 0;
    bool moved = false;
    while (done < frames) {
        // A jump while the voice is heard would click: it fades out where it
        // is first, then jumps and fades in. A stopped voice fading out keeps
        // going from where the listener was; the next play() starts at the
        // seek.
        const bool seeking = pendingSeek.load(std::memory_order_acquire) >= 0;
        const bool playing = wanted && !(seeking && audible);
        if (!playing && !audible) {
            break;
        }
        if (playing) {
            consumeSeek();
        }
        retarget(playing, rampFrames);
        // Of a fade-out, only the fade is left to render.
        const int n = playing ? frames - done : std::min(frames - done, rampLeft);
        if (n > 0 && !mix(src, out + 2 * done, n, silent)) {
            audible = false; // a once-played sound ended, unfaded, and rewound
            heard.store(false, std::memory_order_release);
            return;
        }
        done += n;
        moved = moved || n > 0;
        audible = playing || rampLeft > 0;
    }
    if (moved) {
        renderedPosition.store(static_cast<std::int64_t>(cursor), std::memory_order_relaxed);
    }
    if (heard.load(std::memory_order_relaxed) != audible) {
        heard.store(audible, std::memory_order_release);
    }
}

Mixer::Mixer(int sampleRate, int capacity)
    : m_sampleRate(sampleRate > 0 ? sampleRate : 48000),
      m_rampFrames(std::max(1, m_sampleRate / kRampsPerSecond)), m_limiter(m_sampleRate),
      m_tile(2 * static_cast<std::size_t>(kTileFrames), 0.0f),
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

void Mixer::freeVoice(Voice& v) {
    if (m_lock) {
        m_lock->lock();
    }
    v.pcm.store(nullptr, std::memory_order_release);
    v.state.store(0, std::memory_order_relaxed);
    if (m_lock) {
        m_lock->unlock();
    }
    // The samples are freed here, on the UI thread, never in render().
    v.owner.reset();
    v.retiring = false;
}

void Mixer::collect() {
    for (int slot = 0; slot < m_capacity; ++slot) {
        Voice& v = m_voices[static_cast<std::size_t>(slot)];
        if (v.retiring && !v.heard.load(std::memory_order_acquire)) {
            freeVoice(v);
        }
    }
}

VoiceId Mixer::createVoice(PcmPtr pcm) {
    if (!pcm || pcm->frames <= 0 || pcm->frames > kMaxFrames || pcm->sampleRate != m_sampleRate ||
        (pcm->channels != 1 && pcm->channels != 2)) {
        return kNoVoice;
    }
    const auto samples = static_cast<std::size_t>(pcm->frames * pcm->channels);
    if (pcm->s16.size() < samples && (!pcm->s16.empty() || pcm->f32.size() < samples)) {
        return kNoVoice;
    }
    collect();
    // With every slot taken, a voice still fading out gives way (nothing
    // may be rendering it: no device).
    bool full = true;
    for (int slot = 0; slot < m_capacity && full; ++slot) {
        full = static_cast<bool>(m_voices[static_cast<std::size_t>(slot)].owner);
    }
    for (int slot = 0; full && slot < m_capacity; ++slot) {
        Voice& v = m_voices[static_cast<std::size_t>(slot)];
        if (v.retiring) {
            freeVoice(v);
            full = false;
        }
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
    // The id stops reaching the voice at once; a voice still heard fades
    // out first and its slot is freed by a later call.
    stop(id);
    ++v->generation;
    if (v->heard.load(std::memory_order_acquire)) {
        v->retiring = true;
    } else {
        freeVoice(*v);
    }
    collect();
}

bool Mixer::isValid(VoiceId id) const {
    return voice(id) != nullptr;
}

int Mixer::voiceCount() const {
    int count = 0;
    for (int slot = 0; slot < m_capacity; ++slot) {
        const Voice& v = m_voices[static_cast<std::size_t>(slot)];
        count += v.owner && !v.retiring ? 1 : 0;
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

namespace {
std::uint64_t packMaster(int hundredthsDb, int glideFrames) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(glideFrames)) << 32) |
           static_cast<std::uint32_t>(hundredthsDb);
}
int masterDb(std::uint64_t packed) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(packed & 0xFFFFFFFFu));
}
int masterGlide(std::uint64_t packed) {
    return static_cast<int>(packed >> 32);
}
} // namespace

void Mixer::setMasterVolume(int hundredthsDb, int glideFrames) {
    const int db = std::clamp(hundredthsDb, kSilentDb, 0);
    const int glide = std::clamp(glideFrames, m_rampFrames, std::numeric_limits<int>::max());
    m_master.store(packMaster(db, glide), std::memory_order_release);
}

int Mixer::masterVolume() const {
    return masterDb(m_master.load(std::memory_order_acquire));
}

void Mixer::setExempt(VoiceId id, bool exempt) {
    if (Voice* v = voice(id)) {
        v->exempt.store(exempt, std::memory_order_relaxed);
    }
}

bool Mixer::isExempt(VoiceId id) const {
    const Voice* v = voice(id);
    return v && v->exempt.load(std::memory_order_relaxed);
}

void Mixer::applyMaster(float* tile, int frames) {
    int i = 0;
    // The glide, frame by frame, from where the gain was when it was asked.
    for (; m_masterLeft > 0 && i < frames; ++i) {
        ++m_masterDone;
        --m_masterLeft;
        m_masterGain = m_masterLeft == 0
                           ? m_masterTarget
                           : m_masterStart + m_masterStep * static_cast<float>(m_masterDone);
        tile[2 * i] *= m_masterGain;
        tile[2 * i + 1] *= m_masterGain;
    }
    if (i < frames && m_masterGain != 1.0f) {
        const float g = m_masterGain;
        for (int k = 2 * i; k < 2 * frames; ++k) {
            tile[k] *= g;
        }
    }
}

void Mixer::render(float* out, int frames) {
    if (out == nullptr || frames <= 0) {
        return;
    }
    // The voices sum into a tile of our own, which stays in cache, rather
    // than into the device's buffer.
    float* tile = m_tile.data();
    for (int done = 0; done < frames; done += kTileFrames) {
        const int n = std::min(kTileFrames, frames - done);
        const std::uint64_t master = m_master.load(std::memory_order_acquire);
        if (master != m_appliedMaster) {
            m_appliedMaster = master;
            m_masterTarget = attenuation(masterDb(master));
            m_masterStart = m_masterGain;
            m_masterDone = 0;
            m_masterLeft = std::max(1, masterGlide(master));
            m_masterStep = (m_masterTarget - m_masterGain) / static_cast<float>(m_masterLeft);
        }
        // Under a silent master the voices only keep their time.
        const bool silent = m_masterLeft == 0 && m_masterGain == 0.0f;
        std::fill(tile, tile + 2 * n, 0.0f);
        for (int slot = 0; slot < m_capacity; ++slot) {
            Voice& v = m_voices[static_cast<std::size_t>(slot)];
            v.exemptNow = v.exempt.load(std::memory_order_relaxed);
            if (!v.exemptNow) {
                v.render(tile, n, m_rampFrames, silent);
            }
        }
        if (!silent) {
            applyMaster(tile, n);
        }
        for (int slot = 0; slot < m_capacity; ++slot) {
            Voice& v = m_voices[static_cast<std::size_t>(slot)];
            if (v.exemptNow) {
                v.render(tile, n, m_rampFrames, false);
            }
        }
        m_limiter.process(tile, out + 2 * static_cast<std::size_t>(done), n);
    }
}

} // namespace sylvaro::engine
