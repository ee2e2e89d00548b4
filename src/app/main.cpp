#include "ConsoleWindow.h"
#include "core/QtTimerHost.h"
#include "core/RandomSource.h"
#include "core/WallClock.h"
#include "engine/SdlAudioOutput.h"
#include "widgets/QtDialogs.h"

#include <QApplication>
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

    sylvaro::core::QtTimerHost timers;
    sylvaro::widgets::QtDialogs dialogs;
    sylvaro::core::RandomSource random;
    random.randomize();
    sylvaro::core::SystemWallClock clock;
    sylvaro::engine::SdlAudioOutput audio;

    sylvaro::app::ConsoleWindow console(sylvaro::app::Services{
        sylvaro::core::AppDir::ofExecutable(), timers, dialogs, random, clock, audio});
    dialogs.setParent(&console);
    console.load();
    console.show();
    return app.exec();
}
