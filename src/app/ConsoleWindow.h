#pragma once

#include "Services.h"
#include "core/ProgramTitle.h"

#include <QMainWindow>
#include <memory>

class QPushButton;

namespace sylvaro::custom {
class CustomChannels;
class CustomPanel;
class SoundDecoder;
} // namespace sylvaro::custom
namespace sylvaro::engine {
class OutputRecovery;
class SoundEngine;
} // namespace sylvaro::engine

namespace sylvaro::panels {
class CatalogueSounds;
class DevicePanel;
class OutputPause;
class ScenePanel;
class SleepPanel;
class SleepTimer;
} // namespace sylvaro::panels

namespace sylvaro::app {

class ConsoleLifecycle;
class ConsoleMenus;
class ConsoleModes;
class ConsoleShell;
class ConsoleState;
class ControlWatch;
class CustomLink;
class MixFiles;
class RecorderLink;
class SettingsFiles;
struct ConsolePanels;

// The console window (`frmmain`): lays out the panels, which own the
// controls, and wires their announcements to the console's state and
// lifecycle. Teardown releases the panels before the engine they use.
// UI thread only.
class ConsoleWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ConsoleWindow(Services services, QWidget* parent = nullptr);
    ~ConsoleWindow() override;

    // The console's load handler; call once after construction.
    void load();

    ConsoleLifecycle& lifecycle() { return *m_lifecycle; }
    ConsoleState& state() { return *m_state; }
    ConsolePanels& panels();
    panels::CatalogueSounds& sounds() { return *m_sounds; }
    ConsoleMenus& menus() { return *m_menus; }
    panels::DevicePanel& devices() { return *m_devices; }
    panels::ScenePanel& scenes() { return *m_scenes; }
    CustomLink& custom() { return *m_custom; }
    MixFiles& mixes() { return *m_mixes; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* loadButton() const { return m_load; }
    // Loads a mix handed in from outside (the command line, a drop, a second
    // start) once the console has resumed its own saved state.
    void openMix(const QString& path);
    custom::SoundDecoder& decoder() { return *m_decoder; }
    QPushButton* exitButton() const { return m_exit; }
    QPushButton* recordButton() const { return m_record; }
    RecorderLink& recorder() { return *m_recorder; }
    ConsoleModes& modes() { return *m_modes; }
    ConsoleShell& shell() { return *m_shell; }
    engine::OutputRecovery& outputRecovery() { return *m_recovery; }
    // Pause and the sleep fade over all output but the alarm.
    panels::OutputPause& output() { return *m_output; }
    panels::SleepTimer& sleepTimer() { return *m_sleepTimer; }
    panels::SleepPanel& sleep() { return *m_sleep; }
    ControlWatch& controlWatch() { return *m_controls; }
    const Services& services() const { return m_services; }

    static inline const QString& kTitle = core::kProgramTitle;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    std::unique_ptr<custom::CustomPanel> makeCustomPanel(custom::CustomChannels& channels);
    // Once a second: a vanished output device is noticed and looked for.
    void watchOutput();

    Services m_services;
    std::unique_ptr<engine::SoundEngine> m_engine;
    std::unique_ptr<panels::CatalogueSounds> m_sounds;
    // Outlives every custom channel, which may still be waiting for it.
    std::unique_ptr<custom::SoundDecoder> m_decoder;
    std::unique_ptr<SettingsFiles> m_files;
    std::unique_ptr<engine::OutputRecovery> m_recovery;
    std::int64_t m_noteClearsAtMs = -1;
    ConsoleMenus* m_menus = nullptr;
    panels::ScenePanel* m_scenes = nullptr;
    panels::DevicePanel* m_devices = nullptr;
    QPushButton* m_exit = nullptr;
    CustomLink* m_custom = nullptr;
    MixFiles* m_mixes = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_load = nullptr;
    QString m_pendingMix;
    std::unique_ptr<ConsoleState> m_state;
    std::unique_ptr<ConsoleLifecycle> m_lifecycle;
    QPushButton* m_record = nullptr;
    std::unique_ptr<RecorderLink> m_recorder;
    ConsoleModes* m_modes = nullptr;
    ConsoleShell* m_shell = nullptr;
    std::unique_ptr<panels::OutputPause> m_output;
    std::unique_ptr<panels::SleepTimer> m_sleepTimer;
    panels::SleepPanel* m_sleep = nullptr;
    ControlWatch* m_controls = nullptr;
};

} // namespace sylvaro::app
