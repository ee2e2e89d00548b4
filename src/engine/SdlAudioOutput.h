#pragma once

#include "AudioOutput.h"
#include "Mixer.h"

#include <SDL.h>

namespace sylvaro::engine {

// Audio output through SDL2 (PulseAudio, PipeWire, ALSA; the disk and dummy
// drivers for headless runs). The device runs float stereo at the mixer's
// rate; SDL converts to whatever the hardware wants. UI thread only; the
// device's own thread only calls Mixer::render().
class SdlAudioOutput final : public AudioOutput, private AudioLock {
public:
    SdlAudioOutput() = default;
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput&) = delete;
    SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

    std::vector<std::string> enumerate() override;
    bool open(int index, Mixer& mixer, std::string& error) override;
    void close() override;
    bool isOpen() const override { return m_device != 0; }
    bool isLost() override;
    std::string openDescription() const override { return m_openDescription; }

    static constexpr const char* kDefaultDevice = "Default output device";
    // Frames the device asks the mixer for at a time: 16 ms.
    static int deviceFrames(int sampleRate);

private:
    void lock() override;
    void unlock() override;
    bool initAudio(std::string& error);
    static void callback(void* userdata, Uint8* stream, int len);

    bool m_initialised = false;
    SDL_AudioDeviceID m_device = 0;
    bool m_lost = false;
    Mixer* m_mixer = nullptr;
    std::vector<std::string> m_names; // SDL names, empty string = default
    std::vector<std::string> m_descriptions;
    std::string m_openDescription;
};

} // namespace sylvaro::engine
