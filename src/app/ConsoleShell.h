#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

class QSettings;
class QWidget;

namespace sylvaro::core {
class AppDir;
class Dialogs;
} // namespace sylvaro::core

namespace sylvaro::app {

class AboutWindow;
class ConsoleState;

// The console's small windows and its help: the about window (made on first
// use, in the console's colour), "Help!" (help.html beside the program in
// the desktop's browser, or a message saying why not) and, when asked for,
// the start-up information window at the end of the console's load.
// UI thread only.
class ConsoleShell : public QObject {
    Q_OBJECT
public:
    ConsoleShell(QWidget* console, ConsoleState& state, const core::AppDir& dir,
                 core::Dialogs& dialogs);
    ~ConsoleShell() override;

    // "About".
    void showAbout();
    AboutWindow* about() const;
    // "Help!": false (after saying so) when there is no help to open.
    bool openHelp();
    QString helpFile() const;
    // Production shows the information window after the load; tests leave it.
    void setTipsAtLoad(QSettings* settings) { m_tipsSettings = settings; }
    // Whether the information window belongs to this start.
    bool tipsWanted() const;
    // Shows the information window modally, at the end of the console's load.
    void showTips();
    // How addresses are opened; unset means the desktop's default program.
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }

    static const QString kHelpFileName;
    static const QString kHelpMissingText;
    static const QString kHelpFailedText;

private:
    QWidget* m_console;
    ConsoleState& m_state;
    const core::AppDir& m_dir;
    core::Dialogs& m_dialogs;
    QPointer<AboutWindow> m_about;
    QSettings* m_tipsSettings = nullptr;
    std::function<bool(const QUrl&)> m_openUrl;
};

} // namespace sylvaro::app
