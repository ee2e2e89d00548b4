#include "RecorderLink.h"

#include "ConsoleLifecycle.h"
#include "Services.h"
#include "panels/VolumeControls.h"
#include "recorder/Desktop.h"
#include "recorder/RecorderWindow.h"
#include "widgets/TrackSlider.h"

#include <QStandardPaths>

namespace sylvaro::app {

RecorderLink::RecorderLink(const Services& services, panels::VolumeControls& volumes,
                           ConsoleLifecycle& lifecycle, QWidget* console)
    : m_services(services), m_volumes(volumes), m_console(console),
      m_desktop(std::make_unique<recorder::QtDesktop>()), m_desktopInUse(m_desktop.get()) {
    lifecycle.addShutdownWrite([this]() -> std::optional<persist::WriteFailure> {
        if (!m_window) {
            return std::nullopt;
        }
        return m_window->unloadAtShutdown();
    });
}

RecorderLink::~RecorderLink() {
    delete m_window;
}

void RecorderLink::show() {
    if (!m_window) {
        m_window = new recorder::RecorderWindow(
            recorder::RecorderParts{
                m_services.appDir, m_services.timers, m_services.dialogs, m_services.clock,
                *m_desktopInUse, m_volumes.backgroundSlider(), m_volumes.randomSlider(),
                QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                    QStringLiteral("/recordings")},
            m_console);
        // The close picture unloads the window; the next "Record" loads a
        // new one.
        connect(m_window, &recorder::RecorderWindow::unloaded, this, [this] {
            m_window->deleteLater();
            m_window = nullptr;
        });
        m_window->load();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace sylvaro::app
