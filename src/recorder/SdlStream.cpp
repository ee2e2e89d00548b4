#include "SdlStream.h"

namespace sylvaro::recorder {

SdlStream::SdlStream() {
    // SDL must not take SIGINT and SIGTERM, which the program handles itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Counted by SDL: the console's output device keeps its own reference.
    m_initialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

SdlStream::~SdlStream() {
    close();
    if (m_initialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

SDL_AudioFormat SdlStream::sdlFormat(const WaveFormat& format) {
    // The bytes go into a WAV file unchanged, and WAV is little-endian.
    return format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
}

bool SdlStream::openCapture(const WaveFormat& format, int blockFrames, CaptureSink& sink,
                            std::string& error) {
    close();
    m_sink = &sink;
    return open(true, format, blockFrames, error);
}

bool SdlStream::openPlayback(const WaveFormat& format, int blockFrames, PlaybackSource& source,
                             std::string& error) {
    close();
    m_source = &source;
    return open(false, format, blockFrames, error);
}

bool SdlStream::open(bool capture, const WaveFormat& format, int blockFrames, std::string& error) {
    if (!m_initialised) {
        // A failed start may have been a server that was not up yet.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        m_initialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!m_initialised) {
            error = SDL_GetError();
            m_sink = nullptr;
            m_source = nullptr;
            return false;
        }
    }
    SDL_AudioSpec want{};
    want.freq = format.samplesPerSec;
    want.format = sdlFormat(format);
    want.channels = static_cast<Uint8>(format.channels);
    want.samples = static_cast<Uint16>(blockFrames);
    want.callback = capture ? &SdlStream::captureCallback : &SdlStream::playbackCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    m_device = SDL_OpenAudioDevice(nullptr, capture ? 1 : 0, &want, &have, 0);
    if (m_device == 0) {
        error = SDL_GetError();
        if (error.empty()) {
            error = capture ? "no recording device" : "no playback device";
        }
        m_sink = nullptr;
        m_source = nullptr;
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlStream::close() {
    if (m_device != 0) {
        // Joins SDL's audio thread: no callback runs after this.
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    m_sink = nullptr;
    m_source = nullptr;
}

bool SdlStream::isLost() const {
    return m_device != 0 && SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_STOPPED;
}

void SdlStream::captureCallback(void* userdata, Uint8* stream, int len) {
    auto* self = static_cast<SdlStream*>(userdata);
    self->m_sink->deliver(stream, static_cast<std::size_t>(len));
}

void SdlStream::playbackCallback(void* userdata, Uint8* stream, int len) {
    auto* self = static_cast<SdlStream*>(userdata);
    self->m_source->fill(stream, static_cast<std::size_t>(len));
}

} // namespace sylvaro::recorder
