#include "ConsoleCommands.h"
#include "KeepAwake.h"
#include "MediaPlayerBus.h"
#include "PresenceWatch.h"
#include "ProgramOptions.h"
#include "QuitSignals.h"
#include "SingleInstance.h"
#include "SplashWindow.h"
#include "SuspendInhibitor.h"
#include "app/ConsoleShell.h"
#include "app/ConsoleWindow.h"
#include "core/QtTimerHost.h"
#include "core/RandomSource.h"
#include "core/WallClock.h"
#include "engine/OutputChoice.h"
#include "export/ConsoleExport.h"
#include "export/ExportCommand.h"
#include "panels/SleepPanel.h"
#include "widgets/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

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

// The program's icon from its own folder, in every size it comes in, so the
// window and task switcher stay sharp on dense screens too.
QIcon programIcon(const sylvaro::core::AppDir& dir) {
    QIcon icon;
    for (int size : {48, 128, 256}) {
        icon.addFile(dir.file(QStringLiteral("resources/icons"),
                              QStringLiteral("sylvaro-lite-%1.png").arg(size)));
    }
    return icon;
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

void nameApplication() {
    QApplication::setApplicationName(QStringLiteral("sylvaro-lite"));
    QApplication::setOrganizationName(QStringLiteral("sylvaro-lite"));
}

// An export from the command line needs neither a display nor a sound card.
int exportFromCommandLine(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    nameApplication();
    return sylvaro::exporting::runExportCommand(app.arguments(),
                                                sylvaro::core::AppDir::ofExecutable());
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (sylvaro::exporting::isExportCommand(arguments)) {
        return exportFromCommandLine(argc, argv);
    }
    // Help, version, a command for the running console.
    std::optional<sylvaro::program::ConsoleRequest> startWith;
    if (const std::optional<int> status =
            sylvaro::program::runWithoutWindow(argc, argv, arguments, startWith)) {
        return *status;
    }
    if (!haveDisplay()) {
        std::fputs("sylvaro-lite: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
                   "start it from a desktop session or with xvfb-run.\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    nameApplication();
    // Ties the window to the desktop entry (and its icon) under Wayland.
    QGuiApplication::setDesktopFileName(QStringLiteral(SYLVARO_APP_ID));
    sylvaro::program::QuitSignals quitSignals;

    // A mix named on the command line (a double-click in the file manager).
    QString mix;
    for (const QString& arg : startWith ? QStringList() : app.arguments().mid(1)) {
        if (!arg.startsWith(QLatin1Char('-'))) {
            mix = QFileInfo(arg).absoluteFilePath();
            break;
        }
    }
    sylvaro::program::SingleInstance instance;
    // A console started meanwhile takes the mix or the scene after all.
    const sylvaro::program::SingleInstance::Answer answer = instance.send(startWith.value_or(
        sylvaro::program::ConsoleRequest{sylvaro::program::ConsoleRequest::Verb::Open, mix}));
    if (answer.kind == sylvaro::program::SingleInstance::Answer::Kind::Done) {
        return EXIT_SUCCESS;
    }
    if (answer.kind == sylvaro::program::SingleInstance::Answer::Kind::Refused) {
        std::fputs(QStringLiteral("sylvaro-lite: %1\n").arg(answer.why).toLocal8Bit().constData(),
                   stderr);
        return 2;
    }
    instance.listen();

    sylvaro::core::QtTimerHost timers;
    sylvaro::widgets::QtDialogs dialogs;
    sylvaro::core::RandomSource random;
    random.randomize();
    sylvaro::core::SystemWallClock clock;
    const std::unique_ptr<sylvaro::engine::AudioOutput> audio = sylvaro::engine::makeSystemOutput();

    // Changes are heard soonest while someone is at the console.
    sylvaro::program::PresenceWatch presence(timers, *audio);
    app.installEventFilter(&presence);

    const sylvaro::core::AppDir dir = sylvaro::core::AppDir::ofExecutable();
    QApplication::setWindowIcon(programIcon(dir));
    sylvaro::app::ConsoleWindow console(
        sylvaro::app::Services{dir, timers, dialogs, random, clock, *audio});
    dialogs.setParent(&console);
    // "Export Soundscape…" from the console's File menu.
    sylvaro::exporting::ConsoleExport exports(console);
    QObject::connect(&quitSignals, &sylvaro::program::QuitSignals::quitRequested, &console,
                     [&console] {
                         closeModalWindows();
                         console.close();
                     });
    // A close that waits for a running step comes back through the
    // lifecycle; the program ends when the console has gone.
    QObject::connect(&console, &QObject::destroyed, &app, &QApplication::quit);
    QObject::connect(&instance, &sylvaro::program::SingleInstance::opened, &console,
                     [&console](const QString& file) {
                         if (!file.isEmpty()) {
                             console.openMix(file);
                         }
                         console.showNormal();
                         console.raise();
                         console.activateWindow();
                     });
    // The splash comes first; the console loads and shows when it ends, and
    // its load brings the information window unless the user turned it off.
    QSettings userSettings;
    console.shell().setTipsAtLoad(&userSettings);
    console.sleep().setSettings(&userSettings);
    sylvaro::program::KeepAwake keepAwake(
        console, std::make_unique<sylvaro::program::SuspendInhibitor>(
                     sylvaro::program::MediaPlayerBus::sessionBus(),
                     sylvaro::program::SuspendInhibitor::systemBus()));
    keepAwake.setSettings(&userSettings);
    // Media keys and the desktop's sound menu reach this program's console
    // only (no other window ever takes the player's name on the bus), from
    // when it is on the screen.
    std::unique_ptr<sylvaro::program::MediaPlayerBus> mediaPlayer;
    // Commands from later starts (and a --scene this start came with) wait
    // for the player and the resumed console.
    sylvaro::program::ConsoleCommands commands(console);
    QObject::connect(&instance, &sylvaro::program::SingleInstance::commanded, &commands,
                     &sylvaro::program::ConsoleCommands::run);
    if (startWith) {
        commands.run(*startWith);
    }
    sylvaro::program::SplashWindow splash(timers, dir);
    QObject::connect(&splash, &sylvaro::program::SplashWindow::finished, &console,
                     [&console, &mix, &mediaPlayer, &commands] {
                         console.load();
                         console.show();
                         mediaPlayer = std::make_unique<sylvaro::program::MediaPlayerBus>(
                             console, sylvaro::program::MediaPlayerBus::sessionBus());
                         commands.setPlayer(mediaPlayer.get());
                         if (!mix.isEmpty()) {
                             console.openMix(mix);
                         }
                     });
    // Ended during the splash: nothing was loaded, so there is nothing to save.
    QObject::connect(&quitSignals, &sylvaro::program::QuitSignals::quitRequested, &splash,
                     [&splash] {
                         if (!splash.isFinished()) {
                             splash.cancel();
                             QCoreApplication::quit();
                         }
                     });
    splash.start();
    return app.exec();
}
