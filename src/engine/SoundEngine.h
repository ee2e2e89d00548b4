#pragma once

#include "AudioOutput.h"
#include "Catalogue.h"
#include "Mixer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace sylvaro::engine {

// The console's sound engine: the output device and one mixer voice per
// catalogue buffer. Buffer operations on a buffer that does not exist fail
// (return false) and do nothing, so group volumes can skip members that are
// missing. UI thread only.
class SoundEngine {
public:
    SoundEngine(AudioOutput& output, int sampleRate = 48000);
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

    // Creates the catalogue buffers in creation order from `directory`,
    // replacing any made by an earlier attempt. Stops at the first file that
    // cannot be read: the buffers before it stay, the later ones are not
    // made. On failure `error` names the file and the reason.
    bool createBuffers(const std::string& directory, std::string& error);
    bool hasBuffer(int index) const;
    int bufferCount() const;
    void releaseBuffer(int index);
    void releaseBuffers();

    bool play(int index, bool looping);
    bool stop(int index);
    bool setVolume(int index, int hundredthsDb);
    bool setPan(int index, int hundredthsDb);
    bool setPosition(int index, std::int64_t frame);

    bool isPlaying(int index) const;
    int volume(int index) const;
    int pan(int index) const;
    std::int64_t position(int index) const;

    // Set once every catalogue buffer exists and start-up has finished; the
    // enable boxes, "Mute" and the all-sounds slider do nothing before.
    bool isReady() const { return m_ready; }
    void setReady(bool ready) { m_ready = ready; }

    Mixer& mixer() { return m_mixer; }

private:
    VoiceId voiceOf(int index) const;
    template <typename Op> bool withVoice(int index, Op&& op);

    AudioOutput& m_output;
    Mixer m_mixer;
    std::vector<std::string> m_devices;
    std::array<VoiceId, kBufferCount> m_voices;
    bool m_ready = false;
};

} // namespace sylvaro::engine
