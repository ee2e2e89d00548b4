#pragma once

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
// device rate. One voice per sound buffer: its own play cursor, looping flag,
// volume and pan in hundredths of a dB (linear gain 10^(v/2000); -10000 is
// silence; pan < 0 attenuates the right channel by -pan, pan > 0 the left).
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

    int sampleRate() const { return m_sampleRate; }
    void setAudioLock(AudioLock* lock) { m_lock = lock; }

    // A new stopped voice at position 0, volume 0, pan 0; kNoVoice when full
    // or when pcm is null.
    VoiceId createVoice(PcmPtr pcm);
    void releaseVoice(VoiceId id);
    bool isValid(VoiceId id) const;
    int voiceCount() const;

    // Starts from the current position; on a playing voice only the looping
    // flag changes. A once-played voice that reaches its end stops and its
    // position returns to 0.
    void play(VoiceId id, bool looping);
    // Stops; the position is kept.
    void stop(VoiceId id);
    void setVolume(VoiceId id, int hundredthsDb);
    void setPan(VoiceId id, int hundredthsDb);
    // Position in frames of the voice's own sound.
    void setPosition(VoiceId id, std::int64_t frame);

    bool isPlaying(VoiceId id) const;
    bool isLooping(VoiceId id) const;
    int volume(VoiceId id) const;
    int pan(VoiceId id) const;
    std::int64_t position(VoiceId id) const;
    std::int64_t length(VoiceId id) const;

    // Audio thread: writes (not adds) `frames` stereo frames to `out`.
    void render(float* out, int frames);

private:
    struct Voice;
    Voice* voice(VoiceId id) const;

    int m_sampleRate;
    AudioLock* m_lock = nullptr;
    std::unique_ptr<Voice[]> m_voices;
    int m_capacity;
};

} // namespace sylvaro::engine
