// Writes PNG pictures of the real program's windows for the help page. The
// console runs on a private copy of the program folder (links to the built
// files), in virtual time with a fixed clock and seed, so every run draws
// the same pictures and nothing of the user's or the build's is written.

#include "app/AboutWindow.h"
#include "app/ConsoleLifecycle.h"
#include "app/ConsoleModes.h"
#include "app/ConsoleShell.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "app/CustomLink.h"
#include "app/InformationWindow.h"
#include "app/RecorderLink.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "custom/CustomPanel.h"
#include "custom/FilePicker.h"
#include "custom/SoundPreview.h"
#include "engine/SdlAudioOutput.h"
#include "panels/CatalogueSounds.h"
#include "panels/ScenePanel.h"
#include "program/SplashWindow.h"
#include "recorder/RecorderWindow.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace sylvaro;

bool save(QWidget* widget, const QString& folder, const QString& name) {
    widget->ensurePolished();
    const QString path = folder + QLatin1Char('/') + name;
    if (!widget->grab().save(path, "PNG")) {
        std::fprintf(stderr, "screenshots: could not write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Links every built file into `target`, leaving out what a run writes.
void linkProgram(const QString& built, const QString& target) {
    const QDir source(built);
    for (const QString& name : source.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (name.startsWith(QLatin1String("settings")) || name == QLatin1String("screenshots") ||
            name == QLatin1String("help.html") || name == QLatin1String("saves")) {
            continue;
        }
        QFile::link(source.filePath(name), target + QLatin1Char('/') + name);
    }
    QDir(target).mkpath(QStringLiteral("saves"));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: screenshots <program folder> <output folder>\n", stderr);
        return EXIT_FAILURE;
    }
    const QString built = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    QTemporaryDir work;
    QTemporaryDir home;
    if (!work.isValid() || !home.isValid()) {
        std::fputs("screenshots: no temporary folder\n", stderr);
        return EXIT_FAILURE;
    }
    linkProgram(built, work.path());
    const core::AppDir dir(work.path(), work.path(), home.path());

    core::VirtualTimerHost timers;
    core::ScriptedDialogs dialogs;
    core::RandomSource random(7);
    core::VirtualWallClock clock(timers, QDateTime(QDate(2026, 6, 21), QTime(21, 30)));
    engine::SdlAudioOutput audio;
    bool ok = true;

    program::SplashWindow splash(timers, dir);
    splash.adjustSize();
    ok &= save(&splash, out, QStringLiteral("splash.png"));

    app::ConsoleWindow console(
        app::Services{dir, timers, dialogs, random, clock, audio, [](const QString&) {}});
    console.resize(app::ConsoleModes::kDesignSize);
    console.load();
    console.show();
    timers.advance(app::ConsoleLifecycle::kStartupIntervalMs);
    timers.advance(app::ConsoleLifecycle::kResumeIntervalMs);
    if (!console.lifecycle().isStarted()) {
        std::fputs("screenshots: the console did not start\n", stderr);
        return EXIT_FAILURE;
    }
    if (QToolButton* woodland = console.scenes().button("Woodland")) {
        woodland->click();
    }
    timers.advance(1000);
    ok &= save(&console, out, QStringLiteral("console.png"));

    console.modes().hideControls();
    ok &= save(&console, out, QStringLiteral("picture-only.png"));
    console.modes().showControls();

    custom::CustomPanel& panel = console.custom().panel();
    panel.adjustSize();
    ok &= save(&panel, out, QStringLiteral("custom-panel.png"));

    custom::SoundPreview preview(console.sounds().engine());
    custom::FilePicker picker(
        QStringLiteral("back1"),
        {dir, console.decoder(), preview, console.state().backColour(), dialogs}, &console);
    picker.adjustSize();
    ok &= save(&picker, out, QStringLiteral("file-picker.png"));

    console.recordButton()->click();
    if (recorder::RecorderWindow* recorder = console.recorder().window()) {
        ok &= save(recorder, out, QStringLiteral("recorder.png"));
        recorder->hide();
    } else {
        ok = false;
    }

    console.shell().showAbout();
    if (app::AboutWindow* about = console.shell().about()) {
        about->adjustSize();
        ok &= save(about, out, QStringLiteral("about.png"));
        about->hide();
    }

    QSettings settings(home.path() + QStringLiteral("/user.conf"), QSettings::IniFormat);
    app::InformationWindow information(settings, &console);
    ok &= save(&information, out, QStringLiteral("information.png"));

    return ok ? EXIT_SUCCESS : EXIT_FAILURE;
}
