#include "SdlAudioOutput.h"

namespace sylvaro::engine {

SdlAudioOutput::~SdlAudioOutput() {
    close();
    if (m_initialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

bool SdlAudioOutput::initAudio(std::string& error) {
    if (m_initialised) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        return false;
    }
    m_initialised = true;
    return true;
}

std::vector<std::string> SdlAudioOutput::enumerate() {
    std::vector<std::string> descriptions;
    m_names.clear();
    std::string error;
    if (!initAudio(error)) {
        return descriptions;
    }
    descriptions.emplace_back(kDefaultDevice);
    m_names.emplace_back();
    const int n = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < n; ++i) {
        if (const char* name = SDL_GetAudioDeviceName(i, 0)) {
            descriptions.emplace_back(name);
            m_names.emplace_back(name);
        }
    }
    return descriptions;
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
    want.samples = 1024;
    want.callback = &SdlAudioOutput::callback;
    want.userdata = &mixer;
    SDL_AudioSpec have{};
    const std::string& name = m_names[static_cast<std::size_t>(index)];
    m_device = SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &want, &have, 0);
    if (m_device == 0) {
        error = SDL_GetError();
        return false;
    }
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
