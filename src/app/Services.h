#pragma once

#include "core/AppDir.h"

#include <QString>
#include <functional>

namespace sylvaro::core {
class Dialogs;
class TimerHost;
class RandomSource;
class WallClock;
} // namespace sylvaro::core
namespace sylvaro::engine {
class AudioOutput;
}

namespace sylvaro::app {

// What the console needs from outside: production passes the real ones,
// tests pass virtual time, scripted dialogs, a seeded random source and a
// fake or offline audio output.
struct Services {
    core::AppDir appDir;
    core::TimerHost& timers;
    core::Dialogs& dialogs;
    core::RandomSource& random;
    core::WallClock& clock;
    engine::AudioOutput& audio;
    // Opens a folder in the desktop's file manager; tests replace it. Unset
    // means the desktop's own.
    std::function<void(const QString& path)> openFolder = {};
    // A console that renders a soundscape to a file: never shown, and it
    // leaves what the program shares (the skinned buttons' click sounds)
    // to the console on screen.
    bool offline = false;
};

} // namespace sylvaro::app
