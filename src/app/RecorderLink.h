#pragma once

#include "recorder/RecorderWindow.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QWidget;

namespace sylvaro::recorder {
class Desktop;
} // namespace sylvaro::recorder

namespace sylvaro::panels {
class VolumeControls;
}

namespace sylvaro::app {

class ConsoleLifecycle;
struct Services;

// The console's side of the recorder: creates the recorder window on first
// use of "Record" and shows it again afterwards, hands it the two group
// volume sliders, and unloads it at shutdown - after a playback's turned-down
// sliders are back, before the console's files are written. UI thread only.
class RecorderLink : public QObject {
    Q_OBJECT
public:
    RecorderLink(const Services& services, panels::VolumeControls& volumes,
                 ConsoleLifecycle& lifecycle, QWidget* console);
    ~RecorderLink() override;

    // The "Record" button.
    void show();
    recorder::RecorderWindow* window() const { return m_window; }
    // Tests put a fake desktop in before the window is created.
    void setDesktop(recorder::Desktop& desktop) { m_desktopInUse = &desktop; }

private:
    const Services& m_services;
    panels::VolumeControls& m_volumes;
    QWidget* m_console;
    std::unique_ptr<recorder::Desktop> m_desktop;
    recorder::Desktop* m_desktopInUse;
    QPointer<recorder::RecorderWindow> m_window;
};

} // namespace sylvaro::app
