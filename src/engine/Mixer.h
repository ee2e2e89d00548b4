#pragma once

#include "Glide.h"
#include "Limiter.h"
#include "PcmData.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace sylvaro::engine {

// A lock that keeps the audio thread out of render() while held; the SDL
// device provides one, offline rendering needs none.
class AudioLock {
public:
    virtual ~AudioLock() = default;
    virtual void lock() = 0;
    virtual void unlock() = 0;
};

// Told of every change to the mix the UI thread makes (a voice started,
// stopped, moved or turned, the master volume), so an output that renders far
// ahead can render again what has not been heard yet. Called on the UI thread,
// once per change: it must be cheap.
class MixListener {
public:
    virtual ~MixListener() = default;
    virtual void mixChanged() = 0;
};

using VoiceId = int;
inline constexpr VoiceId kNoVoice = -1;

// Mixes a fixed number of voice slots into interleaved float stereo at the
// device rate. One voice per sound buffer, at the device rate (the loader
// converts other rates): its own play cursor, looping flag, volume and pan in
// hundredths of a dB (linear gain 10^(v/2000); -10000 is silence; pan < 0
// attenuates the right channel by -pan, pan > 0 the left). Starting,
// stopping and changing volume or pan glide over rampFrames(); the sum goes
// through a look-ahead peak limiter, so the output lags the voices by
// kLatencyFrames and never exceeds -1 dBFS.
//
// A master volume sits over every voice but the exempt ones (the alarm): it
// glides linearly over a time the caller gives, so pausing, resuming and a
// sleep fade never click. While it is silent the voices go on silently:
// cursors advance, loops go round and once-played sounds end and rewind as if
// heard, only the mixing work is skipped. Resuming then picks up where the
// sounds would be, and nothing queued up while paused plays at once.
//
// An output with a long buffer renders well ahead of what is heard; with
// rewinding enabled the mixer keeps its state at moments along what it has
// rendered, so that after a change it can go back to a frame not yet heard and
// render from there again, continuing exactly as it would have from that
// frame: ramps, fades, ended sounds and the limiter included. The voices'
// reported state (playing, position) is then that of the newest frame
// rendered.
//
// Threads: every method is for the UI thread except render(), rewind(),
// settle() and frame(), which are for the audio thread (or a test rendering
// offline); they take no locks, allocate nothing and touch no Qt. Voice
// parameters are atomics the render reads at the start of each stretch it
// renders; installing and releasing a voice's samples is done under the
// AudioLock and the samples are freed on the UI thread.
class Mixer {
public:
    explicit Mixer(int sampleRate = 48000, int capacity = 256);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Output frame n carries what the voices played at frame n - kLatencyFrames.
    static constexpr int kLatencyFrames = Limiter::kLatencyFrames;
    // No output sample goes above this (-1 dBFS).
    static constexpr float kCeiling = Limiter::kCeiling;
    // With rewinding, the state is kept at least every this many frames.
    static constexpr int kKeyFrames = 4096;

    int sampleRate() const { return m_sampleRate; }
    // Length of every gain glide (5 ms).
    int rampFrames() const { return m_rampFrames; }
    void setAudioLock(AudioLock* lock) { m_lock = lock; }
    void setListener(MixListener* listener) { m_listener = listener; }

    // A new stopped voice at position 0, volume 0, pan 0; kNoVoice when full,
    // or when pcm is null, malformed or not at sampleRate().
    VoiceId createVoice(PcmPtr pcm);
    // The id is invalid at once; a voice still heard fades out over
    // rampFrames() before its samples are freed (by a later create or
    // release on the UI thread).
    void releaseVoice(VoiceId id);
    bool isValid(VoiceId id) const;
    int voiceCount() const;

    // Starts from the current position, fading in; on a playing voice only the
    // looping flag changes, and on a voice still fading out after stop() the
    // gain turns back up from where it is. A once-played voice that reaches
    // its end stops there, unfaded, and its position returns to 0.
    void play(VoiceId id, bool looping);
    // Stops: isPlaying() is false at once while the audio thread renders a
    // fade-out; the position kept is where the fade ended (a looping voice
    // goes round meanwhile, a once-played one may end and rewind).
    void stop(VoiceId id);
    void setVolume(VoiceId id, int hundredthsDb);
    void setPan(VoiceId id, int hundredthsDb);
    // Position in frames of the voice's own sound; position() reports it at
    // once. A playing voice fades out where it is, then continues from there
    // fading in; a voice fading out after stop() finishes its fade first.
    void setPosition(VoiceId id, std::int64_t frame);

    bool isPlaying(VoiceId id) const;
    bool isLooping(VoiceId id) const;
    int volume(VoiceId id) const;
    int pan(VoiceId id) const;
    std::int64_t position(VoiceId id) const;
    std::int64_t length(VoiceId id) const;

    // Glides the master volume (hundredths of a dB, -10000 silence) from
    // where it is to `hundredthsDb` over `glideFrames` (at least
    // rampFrames()).
    void setMasterVolume(int hundredthsDb, int glideFrames);
    int masterVolume() const;
    // An exempt voice is mixed outside the master volume.
    void setExempt(VoiceId id, bool exempt);
    bool isExempt(VoiceId id) const;

    // Audio thread: writes (not adds) `frames` stereo frames to `out`; any
    // count, worked through in tiles of Limiter::kMaxFrames.
    void render(float* out, int frames);

    // Keeps enough state to go back up to `frames` behind the newest frame
    // rendered (0 turns rewinding off). UI thread, while no audio thread
    // renders (before an output starts, or under the AudioLock); it drops
    // whatever was kept before, so nothing earlier than now can be rewound.
    void enableRewind(int frames);
    // Audio thread: the frame the next render() begins with, counted from the
    // mixer's first.
    std::int64_t frame() const { return m_frame; }
    // Audio thread: goes back to `target`, so that the next render() begins
    // there, with every change made since in effect from that frame on.
    // `target` is clamped to what can be rewound (at most the newest frame,
    // at least the oldest kept and settled); returns the frame rendering
    // continues from. Without rewinding, only takes the changes up at once.
    std::int64_t rewind(std::int64_t target);
    // Audio thread: frames before `frame` have been heard and will never be
    // rewound to, so the state kept for them can go.
    void settle(std::int64_t frame);

private:
    struct Voice;
    struct Request;
    struct Playhead;
    struct MasterGlide {
        std::uint64_t applied = 0; // the request it glides to
        Glide gain{1.0f};
    };
    struct Moment;

    Voice* voice(VoiceId id) const;
    void freeVoice(Voice& v);
    bool freeable(const Voice& v) const;
    // Frees the slots of released voices whose fade-out has been rendered.
    void collect();
    void changed();

    // Audio thread.
    void readRequests();
    void renderTile(float* out, int frames);
    // Scales the tile's `frames` by the master gain, gliding.
    void applyMaster(float* tile, int frames);
    void keepMoment();
    void restoreMoment(const Moment& m);

    int m_sampleRate;
    int m_rampFrames;
    AudioLock* m_lock = nullptr;
    MixListener* m_listener = nullptr;
    std::unique_ptr<Voice[]> m_voices;
    int m_capacity;
    // Slots below this have ever held a voice (UI thread, under the lock).
    std::atomic<int> m_used{0};
    std::uint32_t m_serials = 0; // voices made so far
    // The UI's master request: target volume (low 32 bits) and glide length.
    std::atomic<std::uint64_t> m_master{0};

    // Audio thread only.
    Limiter m_limiter;
    std::vector<float> m_tile;       // the voices' sum, before the limiter
    std::vector<Request> m_requests; // what the voices were asked, as last read
    std::vector<Playhead> m_heads;   // where each voice is
    std::uint64_t m_masterRequest = 0;
    MasterGlide m_glide;
    std::int64_t m_frame = 0;
    // Rewinding: moments kept in a ring, oldest first; the next render reads
    // the requests afresh and keeps a moment before its first frame.
    std::vector<Moment> m_moments;
    std::vector<Request> m_momentRequests; // m_capacity per moment
    std::vector<Playhead> m_momentHeads;   // m_capacity per moment
    int m_firstMoment = 0;
    int m_momentCount = 0;
    bool m_freshRequests = true;
    std::int64_t m_settled = 0;
    std::vector<float> m_scratch; // frames rendered again on the way to a rewind's target
    // No rewind reaches before this frame: the oldest moment kept, or the
    // newest frame when nothing is kept. Read by the UI thread to know when a
    // released voice can no longer be heard.
    std::atomic<std::int64_t> m_reachable{0};
};

} // namespace sylvaro::engine
