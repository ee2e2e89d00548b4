#pragma once

#include "app/ConsoleLifecycle.h"
#include "app/ConsoleMenus.h"
#include "app/ConsoleState.h"
#include "app/ConsoleWindow.h"
#include "core/RandomSource.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "custom/CustomChannels.h"
#include "custom/SoundDecoder.h"
#include "engine/SoundEngine.h"
#include "panels/BackgroundChannels.h"
#include "panels/CatalogueSounds.h"
#include "panels/ClockAlarmPanel.h"
#include "panels/DevicePanel.h"
#include "panels/PictureArea.h"
#include "panels/RandomSounds.h"
#include "panels/ScenePanel.h"
#include "panels/VolumeControls.h"
#include "support/FakeAudioOutput.h"
#include "support/ProgramFolder.h"
#include "widgets/TrackSlider.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

namespace sylvaro::test {

// The real console on a throw-away program folder, in virtual time, with
// scripted dialogs and a fake sound card the test renders itself.
class ConsoleTest : public ::testing::Test {
protected:
    // Pinned: the program reseeds from the clock before many draws, and a test
    // that lets random sounds fire must not depend on when it runs.
    ConsoleTest() { random.setFixedSeed(1); }

    core::VirtualTimerHost host;
    core::ScriptedDialogs dialogs;
    core::RandomSource random;
    core::VirtualWallClock clock{host, QDateTime(QDate(2026, 12, 8), QTime(12, 0))};
    FakeAudioOutput audio;
    ProgramFolder folder;
    std::unique_ptr<app::ConsoleWindow> console;
    // Folders the console asked the desktop to open.
    QStringList openedFolders;

    void create() {
        console = std::make_unique<app::ConsoleWindow>(
            app::Services{core::AppDir(folder.path()), host, dialogs, random, clock, audio,
                          [this](const QString& path) { openedFolders << path; }});
    }
    void createAndLoad() {
        create();
        console->load();
    }
    // Creates the console and lets the start-up step run.
    void start() {
        createAndLoad();
        host.advance(app::ConsoleLifecycle::kStartupIntervalMs);
        ASSERT_TRUE(console->lifecycle().isStarted()) << failureText();
    }

    // The engine as the catalogue sees it: buffers by their catalogue index.
    struct CatalogueView {
        panels::CatalogueSounds& sounds;
        engine::SoundEngine& e() const { return sounds.engine(); }
        bool isPlaying(int index) const { return e().isPlaying(sounds.buffer(index)); }
        int volume(int index) const { return e().volume(sounds.buffer(index)); }
        int pan(int index) const { return e().pan(sounds.buffer(index)); }
        std::int64_t position(int index) const { return e().position(sounds.buffer(index)); }
        bool exists(int index) const { return e().exists(sounds.buffer(index)); }
        int bufferCount() const { return e().bufferCount(); }
    };
    CatalogueView engine() { return {console->sounds()}; }
    panels::BackgroundChannels& channels() { return console->panels().channels; }
    panels::VolumeControls& volumes() { return console->panels().volumes; }
    QCheckBox* box(int channel) { return channels().box(channel); }
    static int bg(int channel) { return console::catalogue::backgroundIndex(channel); }

    int failures() const { return dialogs.count(app::ConsoleLifecycle::kStartupFailedText); }
    std::string failureText() const {
        return dialogs.messages().empty() ? std::string()
                                          : dialogs.messages().back().detail.toStdString();
    }
    // Waits until the worker that reads the user's own sounds has answered
    // every file asked for (never for a fixed time; 30 s at most).
    void settleCustomSounds() {
        custom::CustomChannels& channels = console->panels().custom;
        const auto loading = [&] {
            for (int n = 1; n <= 2; ++n) {
                if (channels.backgroundLoading(n)) {
                    return true;
                }
            }
            for (int n = 1; n <= 4; ++n) {
                if (channels.randomLoading(n)) {
                    return true;
                }
            }
            return console->decoder().busy();
        };
        QElapsedTimer guard;
        guard.start();
        while (loading() && guard.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        QCoreApplication::processEvents();
    }

    QString pictureName() const {
        return console->panels().picture.currentPath().section(QLatin1Char('/'), -1);
    }
};

} // namespace sylvaro::test
