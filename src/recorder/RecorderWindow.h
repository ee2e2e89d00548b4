#pragma once

#include "CountedDialogs.h"
#include "Mp3Job.h"
#include "RecorderSession.h"
#include "SaveOptionsWindow.h"
#include "core/Dialogs.h"
#include "core/IntervalTimer.h"
#include "persist/LineCodec.h"

#include <QAbstractSlider>
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

// The recorder window (`Form8`): shows the take's session - its state,
// elapsed time and size - and forwards the clicks to it, holds the limits and
// the recording quality with their settings in settings9.txt, hosts the level
// meter and the MP3 conversion, and turns the console down while a take plays
// back. UI thread only.
class RecorderWindow : public QWidget, private TakeView {
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

    RecorderSession& session() { return m_session; }
    WaveAudioDevice& device() { return m_session.device(); }
    LevelMeter& meter() { return *m_meter; }
    Mp3Encoder& encoder() { return m_mp3.encoder(); }
    SaveOptionsWindow* saveOptions() const { return m_saveOptions; }
    core::IntervalTimer& meterTimer() { return m_meterTimer; }
    QString settingsPath() const;

    static const QString kSettingsFile;
    static const QString kMixerFailedText;
    static const QString kDiscardText;
    static const QString kDamagedText;
    static const QString kNotSavedText;
    // The session's texts the console's own tests name through the window.
    static inline const QString& kPlaybackText = RecorderSession::kPlaybackText;
    static inline const QString& kCreatedText = Mp3Job::kCreatedText;
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
    void buildLayout();
    void fillQualityList();
    void readSettings();
    std::optional<persist::WriteFailure> writeSettings();
    void limitsChanged();

    // TakeView
    void showTake() override;
    void muteConsole() override;
    void unmuteConsole() override;
    void takeSaved(const QString& path, const QString& folder) override;

    void openMixer();
    void closePicture();
    void expand();
    void collapse();
    void stopMeter();
    void meterTick();
    void encodeRunning(bool running);
    void otherWindowActivated();
    core::MessageAnswer ask(const QString& text, core::MessageButtons buttons,
                            core::MessageIcon icon, const QString& detail = {});

    RecorderParts m_parts;
    // Every dialog of the window goes through here, so its own boxes never
    // count as another window becoming active.
    CountedDialogs m_dialogs;
    std::unique_ptr<LevelMeter> m_meter;
    Mp3Job m_mp3;
    RecorderSession m_session;
    QPointer<SaveOptionsWindow> m_saveOptions;
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
    QRadioButton* m_mp3Choice = nullptr;
    QRadioButton* m_wavChoice = nullptr;
    QProgressBar* m_level1 = nullptr;
    QProgressBar* m_level2 = nullptr;
    QListWidget* m_lines = nullptr;
    QWidget* m_qualityGroup = nullptr;
    QWidget* m_optionsGroup = nullptr;

    // The console's slider values while a playback has them turned down.
    std::optional<std::pair<int, int>> m_consoleVolumes;
    bool m_loaded = false;
    bool m_unloaded = false;
    // Whether the recorder held the focus since it was last shown.
    bool m_hasBeenActive = false;
};

} // namespace sylvaro::recorder
