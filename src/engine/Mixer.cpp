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

constexpr std::uint64_t kEnded = std::uint64_t{1} << 32;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// A seek request: a count of setPosition() calls (high half) and the frame.
constexpr std::uint64_t packSeek(std::uint32_t generation, std::int64_t frame) {
    return (std::uint64_t{generation} << 32) | static_cast<std::uint32_t>(frame);
}
constexpr std::uint32_t seekGeneration(std::uint64_t seek) {
    return static_cast<std::uint32_t>(seek >> 32);
}
constexpr std::int64_t seekFrame(std::uint64_t seek) {
    return static_cast<std::int64_t>(seek & 0xFFFFFFFFu);
}

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

// Moments kept beyond one per kKeyFrames of the span to rewind: the rewinds'
// own targets, which stay until they are settled.
constexpr int kExtraMoments = 32;

} // namespace

// One voice slot: who owns it (UI thread), what the UI asks of it (atomics the
// render reads), and what the render reports back.
struct Mixer::Voice {
    // UI thread only.
    PcmPtr owner;
    int generation = 0;
    // Released while it may still be heard; its slot is freed once it cannot.
    bool retiring = false;

    // Set under the lock when a voice takes the slot; the serial tells the
    // render which voice its own records of the slot belong to.
    std::atomic<const PcmData*> pcm{nullptr};
    std::atomic<std::uint32_t> serial{0};
    // The UI's requests.
    std::atomic<std::uint32_t> state{0};
    std::atomic<int> volume{0};
    std::atomic<int> pan{0};
    std::atomic<std::uint64_t> seek{0};
    std::atomic<bool> exempt{false};
    // Reported by the render, as of the newest frame rendered.
    std::atomic<std::int64_t> renderedPosition{0};
    std::atomic<std::uint32_t> seekTaken{0};
    std::atomic<std::uint64_t> ended{0}; // kEnded | the state it ended under
    std::atomic<bool> heard{false};
    std::atomic<std::int64_t> quietSince{0};

    void reset(const PcmPtr& data, std::uint32_t newSerial);
};

// What the UI asked of one voice, as the render read it.
struct Mixer::Request {
    std::uint64_t seek = 0;
    std::uint32_t state = 0;
    std::uint32_t serial = 0;
    int volume = 0;
    int pan = 0;
    bool exempt = false;
};

// Where one voice is and how loud it is going: everything the render carries
// from one frame to the next. Audio thread only.
struct Mixer::Playhead {
    std::uint64_t cursor = 0; // next frame to play
    // The frame from which it has not been heard (kNever while it is).
    std::int64_t quietSince = 0;
    std::uint32_t serial = 0; // the voice this belongs to
    std::uint32_t seekTaken = 0;
    // A once-played sound that reached its end stays ended while the state
    // it ended under is asked for.
    std::uint32_t endedState = 0;
    bool ended = false;
    // Rendered in the previous tile: playing, or fading out after a stop.
    // A voice that becomes audible starts its gain from silence.
    bool audible = false;
    int appliedVolume = 0;
    int appliedPan = 0;
    float volumeL = 1.0f, volumeR = 1.0f; // the gains volume and pan ask for
    // The gain of each side, gliding over rampFrames() on every change; both
    // glides start and end together.
    Glide left, right;

    // Neither heard nor asked to play: a render would change nothing, not
    // even what it reports.
    bool resting(const Request& request) const { return !audible && !wants(request); }
    // Asked to play, and not a once-played sound that ended under this very
    // request.
    bool wants(const Request& request) const {
        return (request.state & kPlaying) != 0 && !(ended && endedState == request.state);
    }

    // Renders `frames` frames of the voice into `out` (adding); a silent
    // render keeps the voice's time (cursor, ramps, ends) without mixing.
    void render(const Request& request, const Source& src, Voice& report, float* out, int frames,
                int rampFrames, bool silent, std::int64_t endFrame);

private:
    enum class Edge { Continue, Stop };
    void retarget(const Request& request, bool playing, int rampFrames);
    Gains gains() const;
    int ramping() const { return left.left; } // frames of the running ramp left
    Edge reachEnd(const Request& request, Voice& report);
    bool mix(const Request& request, const Source& src, Voice& report, float* out, int frames,
             bool silent);
};

// The mixer as it was before rendering one frame: enough to render on from
// there exactly as it did. The voices' playheads and requests sit beside it.
struct Mixer::Moment {
    std::int64_t frame = 0;
    int used = 0;
    std::uint64_t masterRequest = 0;
    MasterGlide glide;
    Limiter::State limiter;
};

void Mixer::Voice::reset(const PcmPtr& data, std::uint32_t newSerial) {
    owner = data;
    state.store(0, std::memory_order_relaxed);
    volume.store(0, std::memory_order_relaxed);
    pan.store(0, std::memory_order_relaxed);
    seek.store(0, std::memory_order_relaxed);
    exempt.store(false, std::memory_order_relaxed);
    renderedPosition.store(0, std::memory_order_relaxed);
    seekTaken.store(0, std::memory_order_relaxed);
    ended.store(0, std::memory_order_relaxed);
    heard.store(false, std::memory_order_relaxed);
    quietSince.store(0, std::memory_order_relaxed);
    retiring = false;
    serial.store(newSerial, std::memory_order_relaxed);
    // Publishing the pointer last makes the fields above visible to render().
    pcm.store(data.get(), std::memory_order_release);
}

// Every change of the gain a voice should have - starting, stopping, a new
// volume or pan, a play() during a fade-out - is a ramp from the gain it has
// now, so the output never jumps.
void Mixer::Playhead::retarget(const Request& request, bool playing, int rampFrames) {
    if (request.volume != appliedVolume || request.pan != appliedPan) {
        appliedVolume = request.volume;
        appliedPan = request.pan;
        const float g = attenuation(appliedVolume);
        volumeL = g * (appliedPan > 0 ? attenuation(-appliedPan) : 1.0f);
        volumeR = g * (appliedPan < 0 ? attenuation(appliedPan) : 1.0f);
    }
    if (!audible) {
        left.hold(0.0f);
        right.hold(0.0f);
    }
    const float l = playing ? volumeL : 0.0f;
    const float r = playing ? volumeR : 0.0f;
    if (l != left.target || r != right.target) {
        left.towards(l, rampFrames);
        right.towards(r, rampFrames);
    }
}

Gains Mixer::Playhead::gains() const {
    if (ramping()) {
        return {left.start, right.start, left.step, right.step, static_cast<float>(left.done + 1)};
    }
    return {left.gain, right.gain, 0.0f, 0.0f};
}

// The cursor has reached the end: wrap a looping voice (a voice fading out
// after a stop() keeps its looping flag, so it goes round) or end a
// once-played one and rewind it.
Mixer::Playhead::Edge Mixer::Playhead::reachEnd(const Request& request, Voice& report) {
    cursor = 0;
    if ((request.state & kLooping) != 0) {
        return Edge::Continue;
    }
    ended = true;
    endedState = request.state;
    report.renderedPosition.store(0, std::memory_order_relaxed);
    report.ended.store(kEnded | request.state, std::memory_order_release);
    return Edge::Stop;
}

bool Mixer::Playhead::mix(const Request& request, const Source& src, Voice& report, float* out,
                          int frames, bool silent) {
    const std::uint64_t length = src.length;
    int done = 0;
    while (done < frames) {
        int run = static_cast<int>(std::min<std::uint64_t>(frames - done, length - cursor));
        if (ramping() > 0) {
            run = std::min(run, ramping());
            if (!silent) {
                mixDirectRun(src.layout, src.data, cursor, length, out + 2 * done, run, gains(),
                             true);
            }
        } else if (!silent && (left.gain != 0.0f || right.gain != 0.0f)) {
            mixDirectRun(src.layout, src.data, cursor, length, out + 2 * done, run, gains(), false);
        }
        left.advance(run);
        right.advance(run);
        cursor += static_cast<std::uint64_t>(run);
        done += run;
        if (cursor == length && reachEnd(request, report) == Edge::Stop) {
            return false;
        }
    }
    return true;
}

void Mixer::Playhead::render(const Request& request, const Source& src, Voice& report, float* out,
                             int frames, int rampFrames, bool silent, std::int64_t endFrame) {
    const bool wanted = wants(request);
    const std::uint32_t seekWanted = seekGeneration(request.seek);
    const bool wasAudible = audible;
    int done = 0;
    bool moved = false;
    bool sounded = false;
    while (done < frames) {
        // A jump while the voice is heard would click: it fades out where it
        // is first, then jumps and fades in. A stopped voice fading out keeps
        // going from where the listener was; the next play() starts at the
        // seek.
        const bool seeking = seekWanted != seekTaken;
        const bool playing = wanted && !(seeking && audible);
        if (!playing && !audible) {
            break;
        }
        if (playing && seeking) {
            cursor = static_cast<std::uint64_t>(std::min<std::int64_t>(
                seekFrame(request.seek), static_cast<std::int64_t>(src.length) - 1));
            seekTaken = seekWanted;
            // Published first: a UI thread that sees the seek taken also sees
            // it as the position.
            report.renderedPosition.store(static_cast<std::int64_t>(cursor),
                                          std::memory_order_relaxed);
            report.seekTaken.store(seekTaken, std::memory_order_release);
        }
        retarget(request, playing, rampFrames);
        // Of a fade-out, only the fade is left to render.
        const int n = playing ? frames - done : std::min(frames - done, ramping());
        sounded = sounded || n > 0;
        if (n > 0 && !mix(request, src, report, out + 2 * done, n, silent)) {
            audible = false; // a once-played sound ended, unfaded, and rewound
            moved = false;
            break;
        }
        done += n;
        moved = moved || n > 0;
        audible = playing || ramping() > 0;
    }
    if (moved) {
        report.renderedPosition.store(static_cast<std::int64_t>(cursor), std::memory_order_relaxed);
    }
    if (audible) {
        quietSince = kNever;
    } else if (wasAudible || sounded) {
        quietSince = endFrame;
    }
    if (report.quietSince.load(std::memory_order_relaxed) != quietSince) {
        report.quietSince.store(quietSince, std::memory_order_relaxed);
    }
    if (report.heard.load(std::memory_order_relaxed) != audible) {
        report.heard.store(audible, std::memory_order_release);
    }
}

Mixer::Mixer(int sampleRate, int capacity)
    : m_sampleRate(sampleRate > 0 ? sampleRate : 48000),
      m_rampFrames(std::max(1, m_sampleRate / kRampsPerSecond)),
      m_voices(std::make_unique<Voice[]>(static_cast<std::size_t>(std::max(capacity, 0)))),
      m_capacity(std::max(capacity, 0)), m_limiter(m_sampleRate),
      m_tile(2 * static_cast<std::size_t>(kTileFrames), 0.0f),
      m_requests(static_cast<std::size_t>(m_capacity)),
      m_heads(static_cast<std::size_t>(m_capacity)) {}

Mixer::~Mixer() = default;

// Ids carry the slot's generation, so an id kept after releaseVoice() never
// reaches the slot's next voice.
Mixer::Voice* Mixer::voice(VoiceId id) const {
    if (id < 0 || m_capacity == 0) {
        return nullptr;
    }
    Voice& v = m_voices[static_cast<std::size_t>(id % m_capacity)];
    return v.owner && !v.retiring && v.generation == id / m_capacity ? &v : nullptr;
}

void Mixer::changed() {
    if (m_listener) {
        m_listener->mixChanged();
    }
}

namespace {
// Holds the mixer's AudioLock, if any, for a scope.
class Locked {
public:
    explicit Locked(AudioLock* lock) : m_lock(lock) {
        if (m_lock) {
            m_lock->lock();
        }
    }
    ~Locked() {
        if (m_lock) {
            m_lock->unlock();
        }
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    AudioLock* m_lock;
};
} // namespace

// Under the lock: nothing the render can still reach - the newest frame, or
// a moment a rewind may go back to - has the voice sounding.
bool Mixer::freeable(const Voice& v) const {
    return !v.heard.load(std::memory_order_acquire) &&
           v.quietSince.load(std::memory_order_relaxed) <=
               m_reachable.load(std::memory_order_acquire);
}

// Under the lock. The samples themselves are dropped by the caller, outside
// it, on the UI thread - never in render().
void Mixer::freeVoice(Voice& v) {
    v.pcm.store(nullptr, std::memory_order_release);
    v.state.store(0, std::memory_order_relaxed);
    v.retiring = false;
}

void Mixer::collect() {
    bool any = false;
    for (int slot = 0; slot < m_capacity && !any; ++slot) {
        any = m_voices[static_cast<std::size_t>(slot)].retiring;
    }
    if (!any) {
        return;
    }
    std::vector<PcmPtr> dropped;
    {
        const Locked locked(m_lock);
        for (int slot = 0; slot < m_capacity; ++slot) {
            Voice& v = m_voices[static_cast<std::size_t>(slot)];
            if (v.retiring && freeable(v)) {
                freeVoice(v);
                dropped.push_back(std::move(v.owner));
            }
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
    Voice* free = nullptr;
    for (int slot = 0; slot < m_capacity && !free; ++slot) {
        Voice& v = m_voices[static_cast<std::size_t>(slot)];
        free = v.owner ? nullptr : &v;
    }
    PcmPtr dropped;
    {
        const Locked locked(m_lock);
        // With every slot taken, a voice still fading out gives way.
        for (int slot = 0; slot < m_capacity && !free; ++slot) {
            Voice& v = m_voices[static_cast<std::size_t>(slot)];
            if (v.retiring) {
                freeVoice(v);
                dropped = std::move(v.owner);
                free = &v;
            }
        }
        if (!free) {
            return kNoVoice;
        }
        const int slot = static_cast<int>(free - m_voices.get());
        if (free->generation > (std::numeric_limits<int>::max() - slot) / m_capacity - 1) {
            free->generation = 0;
        }
        free->reset(pcm, ++m_serials);
        if (slot >= m_used.load(std::memory_order_relaxed)) {
            m_used.store(slot + 1, std::memory_order_release);
        }
    }
    return free->generation * m_capacity + static_cast<int>(free - m_voices.get());
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
    v->retiring = true;
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
        const std::uint32_t s = v->state.load(std::memory_order_relaxed);
        v->state.store(nextState(s, flags), std::memory_order_release);
        changed();
    }
}

void Mixer::stop(VoiceId id) {
    if (Voice* v = voice(id)) {
        const std::uint32_t s = v->state.load(std::memory_order_relaxed);
        v->state.store(nextState(s, s & kLooping), std::memory_order_release);
        changed();
    }
}

void Mixer::setVolume(VoiceId id, int hundredthsDb) {
    if (Voice* v = voice(id)) {
        v->volume.store(std::clamp(hundredthsDb, kSilentDb, 0), std::memory_order_relaxed);
        changed();
    }
}

void Mixer::setPan(VoiceId id, int hundredthsDb) {
    if (Voice* v = voice(id)) {
        v->pan.store(std::clamp(hundredthsDb, -kMaxPan, kMaxPan), std::memory_order_relaxed);
        changed();
    }
}

void Mixer::setPosition(VoiceId id, std::int64_t frame) {
    if (Voice* v = voice(id)) {
        // render() takes it over at its next tile; until then position()
        // reports it, and it cannot be overwritten by the running cursor.
        const std::uint64_t old = v->seek.load(std::memory_order_relaxed);
        v->seek.store(packSeek(seekGeneration(old) + 1,
                               std::clamp<std::int64_t>(frame, 0, v->owner->frames - 1)),
                      std::memory_order_release);
        changed();
    }
}

bool Mixer::isPlaying(VoiceId id) const {
    const Voice* v = voice(id);
    if (!v) {
        return false;
    }
    const std::uint32_t s = v->state.load(std::memory_order_acquire);
    return (s & kPlaying) != 0 && v->ended.load(std::memory_order_acquire) != (kEnded | s);
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
    const std::uint64_t seek = v->seek.load(std::memory_order_relaxed);
    if (seekGeneration(seek) != v->seekTaken.load(std::memory_order_acquire)) {
        return seekFrame(seek);
    }
    return v->renderedPosition.load(std::memory_order_relaxed);
}

std::int64_t Mixer::length(VoiceId id) const {
    const Voice* v = voice(id);
    return v ? v->owner->frames : 0;
}

void Mixer::setMasterVolume(int hundredthsDb, int glideFrames) {
    const int db = std::clamp(hundredthsDb, kSilentDb, 0);
    const int glide = std::clamp(glideFrames, m_rampFrames, std::numeric_limits<int>::max());
    m_master.store(packMaster(db, glide), std::memory_order_release);
    changed();
}

int Mixer::masterVolume() const {
    return masterDb(m_master.load(std::memory_order_acquire));
}

void Mixer::setExempt(VoiceId id, bool exempt) {
    if (Voice* v = voice(id)) {
        v->exempt.store(exempt, std::memory_order_relaxed);
        changed();
    }
}

bool Mixer::isExempt(VoiceId id) const {
    const Voice* v = voice(id);
    return v && v->exempt.load(std::memory_order_relaxed);
}

// ---- Audio thread ----------------------------------------------------------

void Mixer::readRequests() {
    const int used = m_used.load(std::memory_order_acquire);
    for (int slot = 0; slot < used; ++slot) {
        const Voice& v = m_voices[static_cast<std::size_t>(slot)];
        Request& r = m_requests[static_cast<std::size_t>(slot)];
        r.serial = v.serial.load(std::memory_order_acquire);
        r.state = v.state.load(std::memory_order_acquire);
        r.volume = v.volume.load(std::memory_order_relaxed);
        r.pan = v.pan.load(std::memory_order_relaxed);
        r.seek = v.seek.load(std::memory_order_acquire);
        r.exempt = v.exempt.load(std::memory_order_relaxed);
    }
    m_masterRequest = m_master.load(std::memory_order_acquire);
}

void Mixer::applyMaster(float* tile, int frames) {
    Glide& g = m_glide.gain;
    int i = 0;
    // The glide, frame by frame, from where the gain was when it was asked.
    for (; g.left > 0 && i < frames; ++i) {
        g.advance(1);
        tile[2 * i] *= g.gain;
        tile[2 * i + 1] *= g.gain;
    }
    if (i < frames && g.gain != 1.0f) {
        const float gain = g.gain;
        for (int k = 2 * i; k < 2 * frames; ++k) {
            tile[k] *= gain;
        }
    }
}

void Mixer::renderTile(float* out, int frames) {
    if (m_masterRequest != m_glide.applied) {
        m_glide.applied = m_masterRequest;
        m_glide.gain.towards(attenuation(masterDb(m_masterRequest)),
                             std::max(1, masterGlide(m_masterRequest)));
    }
    // Under a silent master the voices only keep their time.
    const bool silent = m_glide.gain.left == 0 && m_glide.gain.gain == 0.0f;
    const std::int64_t end = m_frame + frames;
    // The voices sum into a tile of our own, which stays in cache, rather
    // than into the device's buffer.
    float* tile = m_tile.data();
    std::fill(tile, tile + 2 * frames, 0.0f);
    const int used = m_used.load(std::memory_order_acquire);
    static const Request kNothingAsked{};
    // Ordinary voices first, under the master; then the exempt ones.
    for (int pass = 0; pass < 2; ++pass) {
        const bool exempt = pass == 1;
        if (exempt && !silent) {
            applyMaster(tile, frames);
        }
        for (int slot = 0; slot < used; ++slot) {
            Voice& v = m_voices[static_cast<std::size_t>(slot)];
            const PcmData* data = v.pcm.load(std::memory_order_acquire);
            if (data == nullptr) {
                continue;
            }
            const std::uint32_t serial = v.serial.load(std::memory_order_relaxed);
            const Request& stored = m_requests[static_cast<std::size_t>(slot)];
            // Requests read before the voice took the slot are not its own.
            const Request& request = stored.serial == serial ? stored : kNothingAsked;
            if (request.exempt != exempt) {
                continue;
            }
            Playhead& head = m_heads[static_cast<std::size_t>(slot)];
            if (head.serial != serial) {
                head = Playhead{};
                head.serial = serial;
            }
            if (head.resting(request)) {
                continue;
            }
            head.render(request, Source(*data), v, tile, frames, m_rampFrames, silent && !exempt,
                        end);
        }
    }
    m_limiter.process(tile, out, frames);
}

void Mixer::render(float* out, int frames) {
    if (out == nullptr || frames <= 0) {
        return;
    }
    const bool rewinding = !m_moments.empty();
    for (int done = 0; done < frames;) {
        int n = std::min(kTileFrames, frames - done);
        if (rewinding) {
            // What the UI asks is read only where a moment is kept, so the
            // moments alone say how everything after them was rendered.
            const int intoKey = static_cast<int>(m_frame % kKeyFrames);
            if (intoKey == 0 || m_freshRequests) {
                readRequests();
                keepMoment();
                m_freshRequests = false;
            }
            n = std::min(n, kKeyFrames - intoKey);
        } else {
            readRequests();
        }
        renderTile(out + 2 * static_cast<std::size_t>(done), n);
        m_frame += n;
        done += n;
    }
    if (!rewinding) {
        m_reachable.store(m_frame, std::memory_order_release);
    }
}

void Mixer::enableRewind(int frames) {
    const std::size_t count =
        frames > 0 ? static_cast<std::size_t>(frames / kKeyFrames + 1 + kExtraMoments) : 0;
    const auto slots = count * static_cast<std::size_t>(m_capacity);
    m_moments.assign(count, Moment{});
    m_momentRequests.assign(slots, Request{});
    m_momentHeads.assign(slots, Playhead{});
    m_scratch.assign(count > 0 ? 2 * static_cast<std::size_t>(kTileFrames) : 0, 0.0f);
    m_firstMoment = 0;
    m_momentCount = 0;
    m_freshRequests = true;
    m_settled = m_frame;
    m_reachable.store(m_frame, std::memory_order_release);
}

void Mixer::keepMoment() {
    const int count = static_cast<int>(m_moments.size());
    auto at = [&](int k) { return (m_firstMoment + k) % count; };
    int index = 0;
    if (m_momentCount > 0 && m_moments[at(m_momentCount - 1)].frame == m_frame) {
        index = at(m_momentCount - 1); // taken again, after a rewind to it
    } else {
        if (m_momentCount == count) {
            // Full: the oldest goes, and rewinds cannot reach as far back.
            m_firstMoment = at(1);
            --m_momentCount;
        }
        index = at(m_momentCount);
        ++m_momentCount;
    }
    Moment& m = m_moments[static_cast<std::size_t>(index)];
    m.frame = m_frame;
    m.used = m_used.load(std::memory_order_acquire);
    m.masterRequest = m_masterRequest;
    m.glide = m_glide;
    m_limiter.save(m.limiter);
    const auto base = static_cast<std::size_t>(index) * static_cast<std::size_t>(m_capacity);
    std::copy_n(m_requests.begin(), m.used, m_momentRequests.begin() + base);
    std::copy_n(m_heads.begin(), m.used, m_momentHeads.begin() + base);
    m_reachable.store(m_moments[static_cast<std::size_t>(m_firstMoment)].frame,
                      std::memory_order_release);
}

void Mixer::restoreMoment(const Moment& m) {
    const auto index = static_cast<std::size_t>(&m - m_moments.data());
    const auto base = index * static_cast<std::size_t>(m_capacity);
    m_frame = m.frame;
    m_masterRequest = m.masterRequest;
    m_glide = m.glide;
    m_limiter.restore(m.limiter);
    std::copy_n(m_momentRequests.begin() + base, m.used, m_requests.begin());
    std::copy_n(m_momentHeads.begin() + base, m.used, m_heads.begin());
    // Slots first taken after the moment start afresh.
    std::fill(m_requests.begin() + m.used, m_requests.end(), Request{});
    std::fill(m_heads.begin() + m.used, m_heads.end(), Playhead{});
}

std::int64_t Mixer::rewind(std::int64_t target) {
    if (m_moments.empty() || m_momentCount == 0) {
        m_freshRequests = true;
        return m_frame;
    }
    const int count = static_cast<int>(m_moments.size());
    auto moment = [&](int k) -> Moment& {
        return m_moments[static_cast<std::size_t>((m_firstMoment + k) % count)];
    };
    target = std::clamp(target, std::max(m_settled, moment(0).frame), m_frame);
    if (target < m_frame) {
        while (moment(m_momentCount - 1).frame > target) {
            --m_momentCount;
        }
        restoreMoment(moment(m_momentCount - 1));
        // On to the target as before, with the requests of that moment.
        while (m_frame < target) {
            const int n = static_cast<int>(std::min<std::int64_t>(kTileFrames, target - m_frame));
            renderTile(m_scratch.data(), n);
            m_frame += n;
        }
    }
    m_freshRequests = true;
    return m_frame;
}

void Mixer::settle(std::int64_t frame) {
    m_settled = std::clamp(frame, m_settled, m_frame);
    if (m_moments.empty()) {
        return;
    }
    const int count = static_cast<int>(m_moments.size());
    auto moment = [&](int k) -> Moment& {
        return m_moments[static_cast<std::size_t>((m_firstMoment + k) % count)];
    };
    // The newest moment at or before the settled frame is the oldest a
    // rewind can still need.
    while (m_momentCount >= 2 && moment(1).frame <= m_settled) {
        m_firstMoment = (m_firstMoment + 1) % count;
        --m_momentCount;
    }
    m_reachable.store(m_momentCount > 0 ? moment(0).frame : m_frame, std::memory_order_release);
}

} // namespace sylvaro::engine
