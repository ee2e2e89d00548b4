#include "ConsoleShell.h"

#include "AboutWindow.h"
#include "ConsoleState.h"
#include "InformationWindow.h"
#include "core/AppDir.h"
#include "core/Dialogs.h"
#include "core/ProgramTitle.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QWidget>

namespace sylvaro::app {

const QString ConsoleShell::kHelpFileName = QStringLiteral("help.html");
const QString ConsoleShell::kHelpMissingText =
    QStringLiteral("The help file could not be found. It belongs beside the program as %1.");
const QString ConsoleShell::kHelpFailedText =
    QStringLiteral("The help file %1 could not be opened: no web browser answered.");

ConsoleShell::ConsoleShell(QWidget* console, ConsoleState& state, const core::AppDir& dir,
                           core::Dialogs& dialogs)
    : QObject(console), m_console(console), m_state(state), m_dir(dir), m_dialogs(dialogs) {}

ConsoleShell::~ConsoleShell() {
    delete m_about;
}

void ConsoleShell::showAbout() {
    if (!m_about) {
        m_about = new AboutWindow(m_console);
    }
    m_about->setBackColour(m_state.backColour());
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

AboutWindow* ConsoleShell::about() const {
    return m_about;
}

QString ConsoleShell::helpFile() const {
    return m_dir.file(kHelpFileName);
}

bool ConsoleShell::openHelp() {
    const QString path = helpFile();
    if (!QFileInfo(path).isFile()) {
        m_dialogs.message({kHelpMissingText.arg(path),
                           core::kProgramTitle,
                           core::MessageButtons::Ok,
                           core::MessageIcon::Information,
                           {}});
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    const bool opened = m_openUrl ? m_openUrl(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        m_dialogs.message({kHelpFailedText.arg(path),
                           core::kProgramTitle,
                           core::MessageButtons::Ok,
                           core::MessageIcon::Information,
                           {}});
    }
    return opened;
}

bool ConsoleShell::tipsWanted() const {
    return m_tipsSettings != nullptr && InformationWindow::wanted(*m_tipsSettings);
}

void ConsoleShell::showTips() {
    if (m_tipsSettings != nullptr) {
        InformationWindow::showAtStart(*m_tipsSettings, m_console);
    }
}

} // namespace sylvaro::app
