#pragma once

#include "app/BackgroundChannels.h"
#include "app/ConsoleStartup.h"
#include "app/ConsoleWindow.h"
#include "app/PictureArea.h"
#include "app/VolumeControls.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "engine/SoundEngine.h"
#include "support/FakeAudioOutput.h"
#include "support/ProgramFolder.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <gtest/gtest.h>
#include <memory>

namespace sylvaro::test {

// The real console on a throw-away program folder, in virtual time, with
// scripted dialogs and a fake sound card the test renders itself.
class ConsoleTest : public ::testing::Test {
protected:
    core::VirtualTimerHost host;
    core::ScriptedDialogs dialogs;
    core::RandomSource random{1};
    core::VirtualWallClock clock{host, QDateTime(QDate(2026, 12, 8), QTime(12, 0))};
    FakeAudioOutput audio;
    ProgramFolder folder;
    std::unique_ptr<app::ConsoleWindow> console;

    void create() {
        console = std::make_unique<app::ConsoleWindow>(
            app::Services{core::AppDir(folder.path()), host, dialogs, random, clock, audio});
    }
    void createAndLoad() {
        create();
        console->load();
    }
    // Creates the console and lets the start-up step run.
    void start() {
        createAndLoad();
        host.advance(app::ConsoleStartup::kStartupIntervalMs);
        ASSERT_TRUE(engine().isReady()) << failureText();
    }

    engine::SoundEngine& engine() { return console->engine(); }
    app::BackgroundChannels& channels() { return *console->backgroundChannels(); }
    app::VolumeControls& volumes() { return *console->volumes(); }
    QCheckBox* box(int channel) { return channels().box(channel); }
    static int bg(int channel) { return engine::catalogue::backgroundIndex(channel); }

    int failures() const { return dialogs.count(app::ConsoleStartup::kStartupFailedText); }
    std::string failureText() const {
        return dialogs.messages().empty() ? std::string()
                                          : dialogs.messages().back().detail.toStdString();
    }
    QString pictureName() const {
        return console->picture()->currentPath().section(QLatin1Char('/'), -1);
    }
};

} // namespace sylvaro::test
