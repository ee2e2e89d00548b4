#pragma once

#include "WaveFormat.h"

#include <SDL.h>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sylvaro::recorder {

// Where captured bytes go, and where played bytes come from. Both are called
// on SDL's audio thread: no allocation, file I/O, Qt call or blocking lock.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    virtual void deliver(const std::uint8_t* data, std::size_t size) = 0;
};
class PlaybackSource {
public:
    virtual ~PlaybackSource() = default;
    // Fills all `size` bytes (silence where there is nothing to play).
    virtual void fill(std::uint8_t* data, std::size_t size) = 0;
};

// One SDL audio device of the recorder - a capture device or a playback
// device - in exactly the format asked for (SDL converts when the hardware
// differs). Keeps SDL's audio subsystem initialised while it lives. UI thread
// only; SDL's own thread only calls the sink or source.
class SdlStream {
public:
    SdlStream();
    ~SdlStream();
    SdlStream(const SdlStream&) = delete;
    SdlStream& operator=(const SdlStream&) = delete;

    bool openCapture(const WaveFormat& format, int blockFrames, CaptureSink& sink,
                     std::string& error);
    bool openPlayback(const WaveFormat& format, int blockFrames, PlaybackSource& source,
                      std::string& error);
    // Waits for a running callback to return; afterwards the sink or source
    // is no longer called.
    void close();
    bool isOpen() const { return m_device != 0; }
    // True once the device has stopped for good (unplugged, its server
    // gone). Cheap enough to poll a few times a second.
    bool isLost() const;

    static SDL_AudioFormat sdlFormat(const WaveFormat& format);
    // The byte a silent sample of `format` is made of.
    static std::uint8_t silence(const WaveFormat& format) {
        return format.bitsPerSample == 8 ? 128 : 0;
    }

private:
    bool open(bool capture, const WaveFormat& format, int blockFrames, std::string& error);
    static void captureCallback(void* userdata, Uint8* stream, int len);
    static void playbackCallback(void* userdata, Uint8* stream, int len);

    bool m_initialised = false;
    SDL_AudioDeviceID m_device = 0;
    CaptureSink* m_sink = nullptr;
    PlaybackSource* m_source = nullptr;
};

} // namespace sylvaro::recorder
