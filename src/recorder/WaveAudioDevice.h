#pragma once

#include "TakeCapture.h"
#include "TakePlayer.h"
#include "WaveFormat.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace sylvaro::recorder {

// What a command answers: 0 or an error code, the reply text (a status
// value), and for an error its text and, where known, the cause.
struct CommandResult {
    int code = 0;
    QString reply;
    QString error;

    bool ok() const { return code == 0; }
};

// The recorder's waveaudio device, driven by the recorder's command strings
// and answering like the platform's media control interface: "open new type
// waveaudio alias capture", "set capture samplespersec ... bytespersec ...",
// "record capture", "stop capture", "play capture from 0", the two time
// formats, "status capture length" / "channels", "save capture <path>",
// "close capture" and "close all". Anything else is refused with an error
// code. The take lives in a file of raw samples in `takeFolder` and is
// removed when the device closes. UI thread only.
class WaveAudioDevice {
public:
    explicit WaveAudioDevice(QString takeFolder);
    ~WaveAudioDevice();
    WaveAudioDevice(const WaveAudioDevice&) = delete;
    WaveAudioDevice& operator=(const WaveAudioDevice&) = delete;

    CommandResult send(const QString& command);

    // A take that ended by itself - the capture device went away, or the
    // disk is full - with what was captured up to then kept. Returns the
    // reason once, then empty.
    QString takeInterruption();
    bool isRecording() const { return m_mode == Mode::Recording; }
    bool isPlaying() const { return m_mode == Mode::Playing; }
    // Playback has played the whole take.
    bool playbackFinished() const { return m_player && m_player->hasFinished(); }
    // Bytes captured so far; the same value "status capture length" gives in
    // bytes.
    std::int64_t lengthBytes() const;
    // Blocks until the take holds at least `bytes` or `timeoutMs` passed.
    // For tools and tests that record from a file-backed device.
    bool waitForLength(std::int64_t bytes, int timeoutMs);

    // Error codes, numbered like the platform's.
    static constexpr int kUnrecognizedKeyword = 259;
    static constexpr int kUnrecognizedCommand = 261;
    static constexpr int kHardware = 262;
    static constexpr int kInvalidDeviceName = 263;
    static constexpr int kBadInteger = 270;
    static constexpr int kOutOfRange = 282;
    static constexpr int kFileNotSaved = 286;
    static constexpr int kDuplicateAlias = 289;
    static constexpr int kNonapplicableFunction = 302;
    static QString errorText(int code);

private:
    enum class Mode { Closed, Stopped, Recording, Playing };

    CommandResult set(const QStringList& words);
    CommandResult record();
    CommandResult stop();
    CommandResult play();
    CommandResult save(const QString& path);
    CommandResult status(const QString& item) const;
    void open();
    void close();
    void endTake();
    static CommandResult failure(int code, const QString& cause = {});

    QString m_folder;
    Mode m_mode = Mode::Closed;
    WaveFormat m_format;
    bool m_bytesFormat = false; // time format "bytes", else "ms"
    QString m_takePath;
    std::int64_t m_takeBytes = 0; // in the file, without a running capture
    std::unique_ptr<TakeCapture> m_capture;
    std::unique_ptr<TakePlayer> m_player;
    QString m_interruption;
};

} // namespace sylvaro::recorder
