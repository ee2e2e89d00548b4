#pragma once

#include "WaveAudioDevice.h"
#include "core/Dialogs.h"
#include "core/IntervalTimer.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace sylvaro::core {
class TimerHost;
class WallClock;
} // namespace sylvaro::core

namespace sylvaro::recorder {

class Mp3Job;

// Where a take stands.
enum class TakeState {
    Ready,     // nothing recorded since the last reset
    Recording, // the device is capturing
    Stopped,   // a take waits to be played, saved or reset
    Playing,   // the take was played back (the caption says so until the next step)
    Saving,    // a name is being asked for, or the WAV written
    Encoding,  // the take is being made into an MP3
    Saved,     // handed over to its file; Reset starts the next take
};

// The colour of the state caption.
enum class CaptionColour { Normal, Red, Green, Yellow };

// Which of the take's controls may be used, and whether Record or Stop holds
// their shared place.
struct TakeControls {
    bool record = true;
    bool stop = true;
    bool play = true;
    bool save = true;
    bool reset = true;
    bool recordShown = true;
    bool formatChoice = true; // MP3 or Wav
};

// When a recording stops by itself.
struct TakeLimits {
    bool sizeOn = false;
    int sizeMegabytes = 700;
    bool lengthOn = false;
    int lengthMinutes = 70;
};

// What the session needs from the window that shows it.
class TakeView {
public:
    virtual ~TakeView() = default;
    // The state, the controls, the size or the elapsed time changed.
    virtual void showTake() = 0;
    // Turns the console down for a playback, and back up after it.
    virtual void muteConsole() = 0;
    virtual void unmuteConsole() = 0;
    // The take was saved as `path`: the window offers what next.
    virtual void takeSaved(const QString& path, const QString& folder) = 0;
};

// One take of the recorder, without its window: records through the
// waveaudio command layer, keeps the take's state, size and elapsed time,
// stops at the target size or length, plays the take back and saves it as
// WAV or (through the MP3 job) MP3. Its clocks run on the program's timer
// host, so tests drive them in virtual time. UI thread only.
class RecorderSession {
public:
    struct Parts {
        core::TimerHost& timers;
        core::Dialogs& dialogs;
        core::WallClock& clock;
        Mp3Job& mp3;
        TakeView& view;
        QString takeFolder; // where a take's samples wait until saved
        QString saveFolder; // where the save dialog opens
    };

    explicit RecorderSession(Parts parts);

    // The device opened afresh for a first take.
    void open();
    // The clicks.
    void record(const WaveFormat& format);
    void stop();
    void play();
    void save(bool asMp3);
    void reset();
    // Stops a playback that is still going (the program ending while the
    // playback message is open).
    void stopPlayback();
    // The window's unload: the device closed, the clocks stopped.
    void close();

    void setLimits(const TakeLimits& limits) { m_limits = limits; }

    TakeState state() const { return m_state; }
    const TakeControls& controls() const { return m_controls; }
    const QString& caption() const { return m_caption; }
    CaptionColour captionColour() const { return m_captionColour; }
    const QString& sizeText() const { return m_sizeText; }
    const QString& elapsedText() const { return m_elapsedText; }
    int secondsCounter() const { return m_seconds; }
    // A take was recorded since the last save or reset.
    bool hasUnsavedTake() const { return m_unsaved && m_device.lengthBytes() > 0; }

    WaveAudioDevice& device() { return m_device; }
    core::IntervalTimer& sizeTimer() { return m_sizeTimer; }
    core::IntervalTimer& secondTimer() { return m_secondTimer; }
    core::IntervalTimer& limitTimer() { return m_limitTimer; }

    // The size caption for a take of `bytes`: megabytes of 1,000,000 bytes
    // in shortest form, then CR LF.
    static QString sizeCaption(qint64 bytes);

    static const QString kSizeReachedText;
    static const QString kLengthReachedText;
    static const QString kPlaybackText;
    static const QString kSaveFailedText;
    static const QString kInterruptedText;
    static constexpr int kSizeIntervalMs = 100;

private:
    void sizeTick();
    void secondTick();
    void limitTick();
    void endOfTake(const QString& text);
    void refreshElapsed();
    void keepTake();
    void finishSave();
    void freshTake();
    void setCaption(const QString& text, CaptionColour colour);
    void tell(const QString& text, core::MessageIcon icon, const QString& detail = {});

    Parts m_parts;
    WaveAudioDevice m_device;
    core::IntervalTimer m_sizeTimer;
    core::IntervalTimer m_secondTimer;
    core::IntervalTimer m_limitTimer;

    TakeState m_state = TakeState::Ready;
    TakeState m_beforeSave = TakeState::Stopped;
    TakeControls m_controls;
    TakeLimits m_limits;
    QString m_caption = QStringLiteral("READY");
    CaptionColour m_captionColour = CaptionColour::Normal;
    QString m_sizeText = QStringLiteral("0.000");
    QString m_elapsedText = QStringLiteral("00:00:00");
    std::int16_t m_seconds = 0;
    std::int64_t m_measuredBytes = 0; // the take's size at the last size tick
    QDateTime m_startTime;
    QString m_savedPath;
    bool m_unsaved = false;
};

} // namespace sylvaro::recorder
