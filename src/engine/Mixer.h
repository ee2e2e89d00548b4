#pragma once

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
// Threads: every method except render() is for the UI thread. render() is for
// the audio thread (or a test rendering offline); it takes no locks, allocates
// nothing and touches no Qt. Voice parameters are atomics the render polls;
// installing and releasing a voice's samples is done under the AudioLock and
// the samples are freed on the UI thread.
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

    int sampleRate() const { return m_sampleRate; }
    // Length of every gain glide (5 ms).
    int rampFrames() const { return m_rampFrames; }
    void setAudioLock(AudioLock* lock) { m_lock = lock; }

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

private:
    struct Voice;
    Voice* voice(VoiceId id) const;
    void freeVoice(Voice& v);
    // Frees the slots of released voices whose fade-out has been rendered.
    void collect();

    int m_sampleRate;
    int m_rampFrames;
    // Audio thread: scales the tile's `frames` by the master gain, gliding.
    void applyMaster(float* tile, int frames);

    Limiter m_limiter;
    std::vector<float> m_tile; // the voices' sum, before the limiter
    // The UI's request: target volume (low 32 bits) and glide length.
    std::atomic<std::uint64_t> m_master{0};
    // Audio thread only: the master gain's glide.
    std::uint64_t m_appliedMaster = 0;
    // A running glide: frame k of it (from 1) has gain start + step * k.
    float m_masterGain = 1.0f;
    float m_masterTarget = 1.0f;
    float m_masterStart = 1.0f;
    float m_masterStep = 0.0f;
    int m_masterDone = 0;
    int m_masterLeft = 0;
    AudioLock* m_lock = nullptr;
    std::unique_ptr<Voice[]> m_voices;
    int m_capacity;
};

} // namespace sylvaro::engine
