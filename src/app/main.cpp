#include "ConsoleShell.h"
#include "ConsoleWindow.h"
#include "QuitSignals.h"
#include "SplashWindow.h"
#include "core/QtTimerHost.h"
#include "core/RandomSource.h"
#include "core/WallClock.h"
#include "engine/SdlAudioOutput.h"
#include "widgets/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QSettings>
#include <cstdio>
#include <cstdlib>

namespace {

// Qt aborts with a long message when there is no display; say it plainly.
bool haveDisplay() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland")) {
        return true; // offscreen, vnc, ...
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A message box left open must not keep a logout from saving the mix.
void closeModalWindows() {
    for (int i = 0; i < 8; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            return;
        }
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!haveDisplay()) {
        std::fputs("sylvaro-lite: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
                   "start it from a desktop session or with xvfb-run.\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sylvaro-lite"));
    QApplication::setOrganizationName(QStringLiteral("sylvaro-lite"));
    sylvaro::app::QuitSignals quitSignals;

    sylvaro::core::QtTimerHost timers;
    sylvaro::widgets::QtDialogs dialogs;
    sylvaro::core::RandomSource random;
    random.randomize();
    sylvaro::core::SystemWallClock clock;
    sylvaro::engine::SdlAudioOutput audio;

    sylvaro::app::ConsoleWindow console(sylvaro::app::Services{
        sylvaro::core::AppDir::ofExecutable(), timers, dialogs, random, clock, audio});
    dialogs.setParent(&console);
    QObject::connect(&quitSignals, &sylvaro::app::QuitSignals::quitRequested, &console, [&console] {
        closeModalWindows();
        console.close();
    });
    // A close that waits for a running step comes back through the
    // lifecycle; the program ends when the console has gone.
    QObject::connect(&console, &QObject::destroyed, &app, &QApplication::quit);
    // The splash comes first; the console loads and shows when it ends, and
    // its load brings the information window unless the user turned it off.
    QSettings userSettings;
    console.shell().setTipsAtLoad(&userSettings);
    sylvaro::app::SplashWindow splash(timers, sylvaro::core::AppDir::ofExecutable());
    QObject::connect(&splash, &sylvaro::app::SplashWindow::finished, &console, [&console] {
        console.load();
        console.show();
    });
    // Ended during the splash: nothing was loaded, so there is nothing to save.
    QObject::connect(&quitSignals, &sylvaro::app::QuitSignals::quitRequested, &splash, [&splash] {
        if (!splash.isFinished()) {
            splash.cancel();
            QCoreApplication::quit();
        }
    });
    splash.start();
    return app.exec();
}
