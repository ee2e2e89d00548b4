#pragma once

#include "Services.h"
#include "core/IntervalTimer.h"
#include "persist/ConsoleSettings.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QListWidget;
class QMenu;
class QPushButton;

namespace sylvaro::engine {
class SoundEngine;
}

namespace sylvaro::app {

class BackgroundChannels;
class ClockAlarmPanel;
class ScenePanel;
class ConsoleStartup;
class PictureArea;
class RandomSounds;
class VolumeControls;

// The console window (`frmmain`). It composes the panels that own the sound
// controls, holds the menu bar and the action buttons, and hands start-up and
// shutdown to ConsoleStartup. UI thread only.
class ConsoleWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ConsoleWindow(Services services, QWidget* parent = nullptr);
    ~ConsoleWindow() override;

    // The console's load handler; call once after construction.
    void load();

    engine::SoundEngine& engine() { return *m_engine; }
    ConsoleStartup& startup() { return *m_startup; }
    const Services& services() const { return m_services; }

    BackgroundChannels* backgroundChannels() const { return m_channels; }
    VolumeControls* volumes() const { return m_volumes; }
    PictureArea* picture() const { return m_picture; }
    RandomSounds* randomSounds() const { return m_random; }
    ScenePanel* scenePanel() const { return m_scenes; }
    ClockAlarmPanel* clockAlarm() const { return m_clockAlarm; }
    QPushButton* resetButton() const { return m_reset; }
    QAction* action(const QString& objectName) const;
    core::IntervalTimer& labelSyncTimer() { return *m_labelSync; }

    // The "Options" menu's colour commands.
    void changeBackgroundColour();
    void changeFontColour();
    QPushButton* exitButton() const { return m_exit; }
    QPushButton* enableConsoleButton() const { return m_enableConsole; }
    QListWidget* deviceList() const { return m_deviceList; }

    QMenu* fileMenu() const { return m_fileMenu; }
    QMenu* alarmMenu() const { return m_alarmMenu; }
    QMenu* optionsMenu() const { return m_optionsMenu; }
    QMenu* helpMenu() const { return m_helpMenu; }
    QAction* exitAction() const { return m_exitAction; }

    // The console's colours in their stored form; the text colour is the
    // one its captions show.
    std::int32_t backColour() const { return m_backColour; }
    void setBackColour(std::int32_t colour) { m_backColour = colour; }
    std::int32_t textColour() const { return m_textColour; }
    void setTextColour(std::int32_t colour) { m_textColour = colour; }

    // The custom selections, held for the whole run.
    persist::CustomNames& customNames() { return m_customNames; }
    const persist::CustomNames& customNames() const { return m_customNames; }

    static const QString kTitle;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildLayout();

    Services m_services;
    std::unique_ptr<engine::SoundEngine> m_engine;
    BackgroundChannels* m_channels = nullptr;
    VolumeControls* m_volumes = nullptr;
    PictureArea* m_picture = nullptr;
    RandomSounds* m_random = nullptr;
    ScenePanel* m_scenes = nullptr;
    ClockAlarmPanel* m_clockAlarm = nullptr;
    QPushButton* m_reset = nullptr;
    std::unique_ptr<core::IntervalTimer> m_labelSync;
    std::int32_t m_backColour = persist::kSystemButtonFace;
    std::int32_t m_textColour = persist::kSystemButtonText;
    persist::CustomNames m_customNames;
    QPushButton* m_exit = nullptr;
    QPushButton* m_enableConsole = nullptr;
    QListWidget* m_deviceList = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_alarmMenu = nullptr;
    QMenu* m_optionsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QAction* m_exitAction = nullptr;
    std::unique_ptr<ConsoleStartup> m_startup;
};

} // namespace sylvaro::app
