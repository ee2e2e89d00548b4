#pragma once

#include "core/AppDir.h"
#include "core/RandomSource.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "persist/MixFile.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

namespace sylvaro::app {
class ConsoleWindow;
}

namespace sylvaro::exporting {

// What a soundscape is made of: the console's saved state (what the next
// start would resume), a built-in scene, a mix file, or a mix captured from
// the console on screen.
struct SoundscapeSource {
    enum class Kind { Saved, Scene, MixFile, Mix };
    Kind kind = Kind::Saved;
    QString scene;                       // Scene: the caption, any case
    QString mixPath;                     // MixFile
    std::optional<persist::MixFile> mix; // Mix
};

// A second console that is never shown and plays into no device: the same
// panels, random scheduler, custom channels and mixer as the console on
// screen, on its own virtual clock and seeded random source, so rendering it
// is exactly what the console would play, as fast as the mixer runs.
// Its settings files are read, never written. UI thread only.
class OfflineConsole {
public:
    OfflineConsole(const core::AppDir& dir, std::uint32_t seed);
    ~OfflineConsole();
    OfflineConsole(const OfflineConsole&) = delete;
    OfflineConsole& operator=(const OfflineConsole&) = delete;

    // Starts the console, resumes the saved state, then applies `source`
    // and waits until every custom sound has been read. The alarm stays
    // off: a soundscape is not a wake-up call. False with the reason when
    // the console cannot start or the source cannot be applied.
    bool prepare(const SoundscapeSource& source, QString& error);

    // Renders `frames` interleaved stereo frames, moving the console's
    // clock on in step with the sound (10 ms at a time).
    void render(float* out, int frames);

    int sampleRate() const { return kSampleRate; }
    // What the console would have told the user meanwhile (custom sounds
    // missing, ...), one line each.
    QStringList notes() const;
    app::ConsoleWindow& console() { return *m_console; }

    static constexpr int kSampleRate = 48000;
    static constexpr int kStepFrames = kSampleRate / 100;

private:
    class Output;
    class Notes;

    bool applySource(const SoundscapeSource& source, QString& error);
    bool waitForCustomSounds(QString& error);

    core::AppDir m_dir;
    core::VirtualTimerHost m_host;
    core::RandomSource m_random;
    core::VirtualWallClock m_clock;
    std::unique_ptr<Output> m_output;
    std::unique_ptr<Notes> m_notes;
    std::unique_ptr<app::ConsoleWindow> m_console;
    int m_stepLeft = 0; // frames rendered since the clock last moved on
};

} // namespace sylvaro::exporting
