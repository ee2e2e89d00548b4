#include "SdlAudioOutput.h"

#include <cstdlib>

namespace sylvaro::engine {

namespace {

// A soundscape wants few wake-ups more than low latency, but a click on a box
// must be heard within 60 ms: the block the mixer renders plus what the sound
// server keeps queued. SDL 2.26 asks PulseAudio (and PipeWire's PulseAudio
// service) for a server buffer of one block and the server then requests a
// quarter of it at a time, so small blocks wake the audio thread hundreds of
// times a second. The server buffer is asked for separately through libpulse's
// own PULSE_LATENCY_MSEC: 16 ms blocks + 40 ms queued = 56 ms, with about half
// the wake-ups of 21 ms blocks alone. On plain ALSA SDL keeps two blocks in
// the card, 48 ms in all.
constexpr int kBlockMs = 16;
constexpr const char* kServerLatencyMs = "40";

} // namespace

SdlAudioOutput::~SdlAudioOutput() {
    close();
    if (m_initialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
    }
}

int SdlAudioOutput::deviceFrames(int sampleRate) {
    return sampleRate * kBlockMs / 1000;
}

bool SdlAudioOutput::initAudio(std::string& error) {
    if (m_initialised) {
        return true;
    }
    // The event subsystem brings the device-removed events; without this hint
    // it would also take SIGINT and SIGTERM, which the program handles itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Read by libpulse when a stream connects; a value the user set wins.
    setenv("PULSE_LATENCY_MSEC", kServerLatencyMs, 0);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) {
        error = SDL_GetError();
        return false;
    }
    m_initialised = true;
    return true;
}

std::vector<std::string> SdlAudioOutput::enumerate() {
    m_names.clear();
    m_descriptions.clear();
    std::string error;
    if (!initAudio(error)) {
        return m_descriptions;
    }
    m_descriptions.emplace_back(kDefaultDevice);
    m_names.emplace_back();
    const int n = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < n; ++i) {
        if (const char* name = SDL_GetAudioDeviceName(i, 0)) {
            m_descriptions.emplace_back(name);
            m_names.emplace_back(name);
        }
    }
    return m_descriptions;
}

bool SdlAudioOutput::open(int index, Mixer& mixer, std::string& error) {
    close();
    if (!initAudio(error)) {
        return false;
    }
    if (index < 0 || index >= static_cast<int>(m_names.size())) {
        error = "no audio output device";
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = mixer.sampleRate();
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(deviceFrames(mixer.sampleRate()));
    want.callback = &SdlAudioOutput::callback;
    want.userdata = &mixer;
    SDL_AudioSpec have{};
    const std::string& name = m_names[static_cast<std::size_t>(index)];
    // Not a power of two: SDL 2.26 takes any block size on every back end.
    m_device = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &want, &have, 0);
    if (m_device == 0) {
        error = SDL_GetError();
        return false;
    }
    // Removal events of devices closed before are not about this one.
    SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
    m_lost = false;
    m_openDescription = m_descriptions[static_cast<std::size_t>(index)];
    m_mixer = &mixer;
    mixer.setAudioLock(this);
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioOutput::close() {
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    if (m_mixer) {
        m_mixer->setAudioLock(nullptr);
        m_mixer = nullptr;
    }
    m_lost = false;
    m_openDescription.clear();
}

bool SdlAudioOutput::isLost() {
    if (m_device == 0) {
        return false;
    }
    if (!m_lost) {
        // SDL reports a vanished device both ways: an event for hot-plug
        // removals, and a stopped status for every disconnect (a failed
        // write on the disk driver posts no event of its own kind).
        SDL_PumpEvents();
        SDL_Event events[16];
        int n = 0;
        while ((n = SDL_PeepEvents(events, 16, SDL_GETEVENT, SDL_AUDIODEVICEADDED,
                                   SDL_AUDIODEVICEREMOVED)) > 0) {
            for (int i = 0; i < n; ++i) {
                const SDL_AudioDeviceEvent& e = events[i].adevice;
                if (e.type == SDL_AUDIODEVICEREMOVED && e.iscapture == 0 && e.which == m_device) {
                    m_lost = true;
                }
            }
        }
        if (SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_STOPPED) {
            m_lost = true;
        }
    }
    return m_lost;
}

void SdlAudioOutput::lock() {
    if (m_device != 0) {
        SDL_LockAudioDevice(m_device);
    }
}

void SdlAudioOutput::unlock() {
    if (m_device != 0) {
        SDL_UnlockAudioDevice(m_device);
    }
}

void SdlAudioOutput::callback(void* userdata, Uint8* stream, int len) {
    auto* mixer = static_cast<Mixer*>(userdata);
    mixer->render(reinterpret_cast<float*>(stream), len / static_cast<int>(2 * sizeof(float)));
}

} // namespace sylvaro::engine
