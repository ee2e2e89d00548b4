#pragma once

#include "AudioOutput.h"
#include "Mixer.h"
#include "PcmData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sylvaro::engine {

// A sound buffer of the engine: one mixer voice with its own cursor. A
// handle outlives its buffer harmlessly: once released, every operation on
// it fails and does nothing.
struct Buffer {
    VoiceId voice = kNoVoice;
    bool valid() const { return voice != kNoVoice; }
    friend bool operator==(Buffer, Buffer) = default;
};

// A volume group: the buffers one volume slider governs. A buffer may be in
// several groups; its volume is whichever group volume was applied last.
struct Group {
    int index = -1;
    friend bool operator==(Group, Group) = default;
};

// The program's sound engine: the output device, any number of buffers made
// from sound files (decoded and brought to the device rate once, when made),
// volume groups, and one-shots that play a file once outside every group.
// Operations on a buffer that does not exist fail (return false) and do
// nothing, so a group can skip members that are missing. UI thread only.
class SoundEngine {
public:
    explicit SoundEngine(AudioOutput& output, int sampleRate = 48000);
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Enumerates the output devices afresh; the default device comes first.
    const std::vector<std::string>& enumerateDevices();
    const std::vector<std::string>& devices() const { return m_devices; }
    // Opens entry `index` of the device list.
    bool openDevice(int index, std::string& error);
    bool deviceOpen() const { return m_output.isOpen(); }
    void releaseDevice();

    // Decodes a sound file at the device rate, for buffers that share it.
    PcmLoadResult decode(const std::string& path) const;
    // A new stopped buffer at position 0, volume 0, pan 0; invalid (with
    // the reason in `error`) when the file cannot be read.
    Buffer createBuffer(const std::string& path, std::string& error);
    Buffer createBuffer(PcmPtr pcm, std::string& error);
    // Stops and frees the buffer, takes it out of every group, and clears
    // the handle.
    void release(Buffer& buffer);
    bool exists(Buffer buffer) const;
    int bufferCount() const;

    bool play(Buffer buffer, bool looping);
    bool stop(Buffer buffer);
    bool setVolume(Buffer buffer, int hundredthsDb);
    bool setPan(Buffer buffer, int hundredthsDb);
    bool setPosition(Buffer buffer, std::int64_t frame);

    // An exempt buffer plays outside the master volume (the alarm).
    bool setExempt(Buffer buffer, bool exempt);

    // The volume over every buffer but the exempt ones, gliding there over
    // `glideMs`: pause, resume and the sleep fade.
    void setMasterVolume(int hundredthsDb, int glideMs);
    int masterVolume() const { return m_mixer.masterVolume(); }

    bool isPlaying(Buffer buffer) const;
    int volume(Buffer buffer) const;
    int pan(Buffer buffer) const;
    std::int64_t position(Buffer buffer) const;
    std::int64_t length(Buffer buffer) const;

    Group createGroup();
    void join(Group group, Buffer buffer);
    void leave(Group group, Buffer buffer);
    const std::vector<Buffer>& members(Group group) const;
    // Sets the volume of every member in turn; members that no longer exist
    // are skipped. Returns how many were set.
    int setGroupVolume(Group group, int hundredthsDb);

    // Plays a sound file once at full volume, outside every group: previews,
    // button clicks. A file that cannot be read plays nothing (false). The
    // last few files stay decoded, so a repeated click costs no disk read.
    bool playOnce(const std::string& path);

    Mixer& mixer() { return m_mixer; }

private:
    struct OneShot {
        std::string path;
        Buffer buffer;
        std::uint64_t lastUse = 0;
    };

    AudioOutput& m_output;
    Mixer m_mixer;
    std::vector<std::string> m_devices;
    std::vector<std::vector<Buffer>> m_groups;
    std::vector<OneShot> m_oneShots;
    std::uint64_t m_oneShotClock = 0;
};

} // namespace sylvaro::engine
