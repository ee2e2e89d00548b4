#include "SdlAudioOutput.h"

#include "DeviceSamples.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sylvaro::engine {

namespace {

// Blocks for drivers whose queue behind the device is not known here (ALSA
// keeps two blocks in the card, 48 ms in all with the one being rendered).
constexpr int kDefaultBlockMs = 16;
// The disk and dummy drivers queue nothing: a block is written (or dropped)
// as soon as it is rendered, so the block alone is the delay.
constexpr int kUnqueuedBlockMs = 50;


} // namespace

SdlAudioOutput::~SdlAudioOutput() {
    close();
    if (m_initialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
    }
}

int SdlAudioOutput::blockMs(std::string_view driver) {
    if (driver == "pulseaudio") {
        return kPulseBlockMs;
    }
    if (driver == "disk" || driver == "dummy") {
        return kUnqueuedBlockMs;
    }
    return kDefaultBlockMs;
}

int SdlAudioOutput::deviceFrames(int sampleRate, std::string_view driver) {
    return sampleRate * blockMs(driver) / 1000;
}

void SdlAudioOutput::toDeviceSamples(const float* in, Sint16* out, int count) {
    toS16(in, out, count);
}

std::vector<float> SdlAudioOutput::fromDeviceBytes(const void* bytes, std::size_t size) {
    return fromS16Bytes(bytes, size);
}

bool SdlAudioOutput::initAudio(std::string& error) {
    if (m_initialised) {
        return true;
    }
    // The event subsystem brings the device-removed events; without this hint
    // it would also take SIGINT and SIGTERM, which the program handles itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Read by libpulse when a stream connects; a value the user set wins.
    setenv("PULSE_LATENCY_MSEC", std::to_string(kPulseLatencyMs).c_str(), 0);
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
    const char* driver = SDL_GetCurrentAudioDriver();
    const int frames = deviceFrames(mixer.sampleRate(), driver ? driver : "");
    want.format = kDeviceFormat;
    want.channels = kDeviceChannels;
    want.samples = static_cast<Uint16>(frames);
    want.callback = &SdlAudioOutput::callback;
    want.userdata = this;
    m_block.assign(static_cast<std::size_t>(frames) * kDeviceChannels, 0.0f);
    // The callback reads the mixer from here; SDL starts it only once
    // unpaused, and only after the device's lock has published this.
    m_mixer = &mixer;
    SDL_AudioSpec have{};
    const std::string& name = m_names[static_cast<std::size_t>(index)];
    // Not a power of two: SDL 2.26 takes any block size on every back end.
    m_device = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &want, &have, 0);
    if (m_device == 0) {
        error = SDL_GetError();
        m_mixer = nullptr;
        return false;
    }
    // Removal events of devices closed before are not about this one.
    SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
    m_lost = false;
    m_openDescription = m_descriptions[static_cast<std::size_t>(index)];
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
    auto* self = static_cast<SdlAudioOutput*>(userdata);
    float* block = self->m_block.data();
    const int blockFrames = static_cast<int>(self->m_block.size()) / kDeviceChannels;
    auto* out = reinterpret_cast<Sint16*>(stream);
    // SDL asks for the block size it was opened with; a longer request is
    // served in pieces rather than by growing the block here.
    int frames = len / kBytesPerFrame;
    while (frames > 0) {
        const int n = std::min(frames, blockFrames);
        self->m_mixer->render(block, n);
        toDeviceSamples(block, out, n * kDeviceChannels);
        out += n * kDeviceChannels;
        frames -= n;
    }
}

} // namespace sylvaro::engine
