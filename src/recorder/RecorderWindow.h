#pragma once

#include "SaveOptionsWindow.h"
#include "WaveAudioDevice.h"
#include "core/Dialogs.h"
#include "core/IntervalTimer.h"
#include "persist/LineCodec.h"

#include <QAbstractSlider>
#include <QDateTime>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;

namespace sylvaro::core {
class AppDir;
class Dialogs;
class TimerHost;
class WallClock;
} // namespace sylvaro::core

namespace sylvaro::widgets {
class XpBs;
}

namespace sylvaro::recorder {

class Desktop;
class LevelMeter;
class Mp3Encoder;
struct EncodeOutcome;

// What the recorder needs from the program: the console's background and
// random volume sliders (scrlVol, HScroll3) are the only part of the console
// it touches.
struct RecorderParts {
    const core::AppDir& dir;
    core::TimerHost& timers;
    core::Dialogs& dialogs;
    core::WallClock& clock;
    Desktop& desktop;
    // Guarded: the console may take its sliders down before the recorder.
    QPointer<QAbstractSlider> backgroundSlider;
    QPointer<QAbstractSlider> randomSlider;
    QString takeFolder; // where a take's samples wait until saved
};

// The recorder window (`Form8`): records what the sound card hears through
// the waveaudio command layer, shows its state, elapsed time and size, stops
// by itself at a target size or length, plays the take back with the console
// turned down, saves it as WAV or MP3, and hosts the level meter and the MP3
// conversion. Its settings live in settings9.txt. UI thread only.
class RecorderWindow : public QWidget {
    Q_OBJECT
public:
    explicit RecorderWindow(RecorderParts parts, QWidget* parent = nullptr);
    ~RecorderWindow() override;

    // The window's load: meter, quality list, settings9.txt, device.
    void load();
    // The window's unload: closes the device, writes settings9.txt, stops the
    // meter. Runs once; the window is of no further use. A settings9.txt that
    // cannot be written is reported here.
    void unload();
    // The same unload at the program's end: a settings9.txt that cannot be
    // written is handed back, for the one report of the whole shutdown.
    std::optional<persist::WriteFailure> unloadAtShutdown();
    bool isUnloaded() const { return m_unloaded; }
    // Puts the console's sliders back if a playback turned them down (the
    // program ending while the playback message is open).
    void restoreConsole();

    WaveAudioDevice& device() { return m_device; }
    LevelMeter& meter() { return *m_meter; }
    Mp3Encoder& encoder() { return *m_encoder; }
    SaveOptionsWindow* saveOptions() const { return m_saveOptions; }
    core::IntervalTimer& sizeTimer() { return m_sizeTimer; }
    core::IntervalTimer& secondTimer() { return m_secondTimer; }
    core::IntervalTimer& limitTimer() { return m_limitTimer; }
    core::IntervalTimer& meterTimer() { return m_meterTimer; }
    int secondsCounter() const { return m_seconds; }
    QString settingsPath() const;
    // The size label's text for a take of `bytes`: megabytes of 1,000,000
    // bytes in shortest form, then CR LF.
    static QString sizeCaption(qint64 bytes);

    static const QString kSettingsFile;
    static const QString kSizeReachedText;
    static const QString kLengthReachedText;
    static const QString kPlaybackText;
    static const QString kSaveFailedText;
    static const QString kMixerFailedText;
    static const QString kCreatedText;
    static const QString kMp3FailedText;
    static const QString kEncoderBusyText;
    static const QString kInterruptedText;
    static const QString kDiscardText;
    static const QString kDamagedText;
    static const QString kNotSavedText;
    static constexpr int kSizeIntervalMs = 100;
    static constexpr int kMeterIntervalMs = 100;
    static constexpr int kExpandedTwips = 5225;
    static constexpr int kCollapsedTwips = 2150;
    static constexpr int kTwipsPerPixel = 15;

Q_SIGNALS:
    // The close picture unloaded the window.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class EncodeJob { None, Convert, Save };

    void buildLayout();
    void fillQualityList();
    void readSettings();
    std::optional<persist::WriteFailure> writeSettings();

    void record();
    void stop();
    void play();
    void save();
    void reset();
    void openMixer();
    void convertToMp3();
    void closePicture();
    void expand();
    void collapse();
    void stopMeter();
    void sizeTick();
    void secondTick();
    void limitTick();
    void meterTick();
    void refreshElapsed();
    void sizeBoxClicked();
    void lengthBoxClicked();
    void endOfTake(const QString& text);
    void finishSave();
    void showSaveOptions();
    // The encoder makes one file at a time: true, after saying so, while it
    // is still busy with the last one.
    bool encoderBusy(const QString& detail = {});
    void startEncode(EncodeJob job, const QString& source, const QString& target);
    void encodeStarted();
    void encodeEnded();
    void onEncodeFinished(const EncodeOutcome& outcome);
    void otherWindowActivated();

    // Every message and file dialog of the window goes through here, so its
    // own boxes never count as another window becoming active.
    core::MessageAnswer ask(const QString& text, core::MessageButtons buttons,
                            core::MessageIcon icon, const QString& detail = {});
    QString askSaveName(const QString& filter, const QString& folder);

    RecorderParts m_parts;
    WaveAudioDevice m_device;
    std::unique_ptr<LevelMeter> m_meter;
    Mp3Encoder* m_encoder;
    QPointer<SaveOptionsWindow> m_saveOptions;

    core::IntervalTimer m_sizeTimer;
    core::IntervalTimer m_secondTimer;
    core::IntervalTimer m_limitTimer;
    core::IntervalTimer m_meterTimer;

    QComboBox* m_quality = nullptr;
    QLabel* m_state = nullptr;
    QLineEdit* m_elapsed = nullptr;
    QLabel* m_size = nullptr;
    QCheckBox* m_sizeBox = nullptr;
    QCheckBox* m_lengthBox = nullptr;
    QSlider* m_sizeSlider = nullptr;
    QSlider* m_lengthSlider = nullptr;
    QLabel* m_sizeValue = nullptr;
    QLabel* m_lengthValue = nullptr;
    QLabel* m_sizeCaption = nullptr;
    QLabel* m_lengthCaption = nullptr;
    widgets::XpBs* m_record = nullptr;
    widgets::XpBs* m_stop = nullptr;
    widgets::XpBs* m_play = nullptr;
    widgets::XpBs* m_save = nullptr;
    widgets::XpBs* m_reset = nullptr;
    widgets::XpBs* m_mixer = nullptr;
    QPushButton* m_meterStop = nullptr;
    widgets::XpBs* m_close = nullptr;
    QPushButton* m_closePicture = nullptr;
    QPushButton* m_expand = nullptr;
    QPushButton* m_collapse = nullptr;
    widgets::XpBs* m_mp3Button = nullptr;
    QPushButton* m_cancelEncode = nullptr;
    QProgressBar* m_encodeProgress = nullptr;
    QRadioButton* m_mp3 = nullptr;
    QRadioButton* m_wav = nullptr;
    QProgressBar* m_level1 = nullptr;
    QProgressBar* m_level2 = nullptr;
    QListWidget* m_lines = nullptr;

    std::int16_t m_seconds = 0;
    QDateTime m_startTime;
    QString m_savedPath;
    QString m_savedFolder;
    QString m_lastMp3Source;
    // Set while the take is unsaved: the close picture asks before losing it.
    bool m_unsavedTake = false;
    // The console's slider values while a playback has them turned down.
    std::optional<std::pair<int, int>> m_consoleVolumes;
    EncodeJob m_encodeJob = EncodeJob::None;
    QString m_encodeSource; // a temporary WAV when saving as MP3
    QString m_encodeTarget; // the MP3 file being made
    int m_dialogDepth = 0;
    bool m_loaded = false;
    bool m_unloaded = false;
    QWidget* m_qualityGroup = nullptr;
    QWidget* m_optionsGroup = nullptr;
    // Whether the recorder held the focus since it was last shown.
    bool m_hasBeenActive = false;
};

} // namespace sylvaro::recorder
