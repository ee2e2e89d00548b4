#pragma once

#include "AudioOutput.h"
#include "Mixer.h"

#include <SDL.h>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sylvaro::engine {

// Audio output through SDL2 (PulseAudio, PipeWire, ALSA; the disk and dummy
// drivers for headless runs). The device runs 16-bit stereo at the mixer's
// rate and owns the float block the mixer renders into. UI thread only; the
// device's own thread only runs callback().
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
    // A soundscape wants few wake-ups more than low latency, but a click on a
    // box must be heard within 60 ms: the block being rendered plus whatever
    // the driver queues behind it. So each driver gets the longest block its
    // queue leaves room for.
    //
    // PulseAudio (and PipeWire's PulseAudio service): libpulse's own
    // PULSE_LATENCY_MSEC sets the server's queue, including its sink. The
    // server asks for more every quarter of that queue and each request wakes
    // the audio thread whatever the block, so the queue is the longer part:
    // 16 ms + 40 ms, and the mixer's limiter looks 2.7 ms ahead. (Blocks of
    // exactly a quarter of the queue wake less often but render more often,
    // and cost as much.)
    static constexpr int kPulseLatencyMs = 40;
    static constexpr int kPulseBlockMs = 16;
    // Milliseconds per block on the SDL driver named `driver`.
    static int blockMs(std::string_view driver);
    // Frames the device asks the mixer for at a time.
    static int deviceFrames(int sampleRate, std::string_view driver);

    // What the device is given (and the disk driver writes): interleaved
    // stereo, signed 16-bit in the machine's byte order. Half the bytes of
    // float for the kernel and the sound server to move, and the mixer's
    // limiter already keeps every sample below full scale.
    static constexpr SDL_AudioFormat kDeviceFormat = AUDIO_S16SYS;
    static constexpr int kDeviceChannels = 2;
    static constexpr int kBytesPerFrame = kDeviceChannels * static_cast<int>(sizeof(Sint16));
    // The conversions of DeviceSamples.h, in the device's terms.
    static void toDeviceSamples(const float* in, Sint16* out, int count);
    // Device bytes (as the disk driver wrote them) back to float samples in
    // [-1, 1]; a trailing partial sample is ignored.
    static std::vector<float> fromDeviceBytes(const void* bytes, std::size_t size);

private:
    void lock() override;
    void unlock() override;
    bool initAudio(std::string& error);
    static void callback(void* userdata, Uint8* stream, int len);

    bool m_initialised = false;
    SDL_AudioDeviceID m_device = 0;
    bool m_lost = false;
    Mixer* m_mixer = nullptr;
    // The mixer renders here before conversion; sized by open() while the
    // device is paused, so the callback never allocates.
    std::vector<float> m_block;
    std::vector<std::string> m_names; // SDL names, empty string = default
    std::vector<std::string> m_descriptions;
    std::string m_openDescription;
};

} // namespace sylvaro::engine
