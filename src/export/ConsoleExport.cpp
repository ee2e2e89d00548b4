#include "ConsoleExport.h"

#include "ExportWindow.h"
#include "app/ConsoleMenus.h"
#include "app/ConsoleWindow.h"
#include "app/ConsoleState.h"

namespace sylvaro::exporting {

ConsoleExport::ConsoleExport(app::ConsoleWindow& console) : m_console(console) {
    connect(&console.menus(), &app::ConsoleMenus::exportRequested, this, [this] {
        ExportWindow& shown = window();
        shown.show();
        shown.raise();
        shown.activateWindow();
    });
}

ConsoleExport::~ConsoleExport() {
    delete m_window.data();
}

ExportWindow& ConsoleExport::window() {
    if (!m_window) {
        const app::Services& services = m_console.services();
        m_window = new ExportWindow(
            services.appDir, services.dialogs, [this] { return m_console.state().captureMix(); },
            &m_console);
    }
    return *m_window;
}

} // namespace sylvaro::exporting
