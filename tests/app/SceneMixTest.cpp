// Renders the "Storm" and "Summer" scenes offline from the generated program
// folder for a minute each, as the speakers would get them, and checks that
// they sit at a comfortable level without clipping and that the storm carries
// more low rumble than the summer meadow.

#include "app/ConsoleFixture.h"
#include "panels/ScenePanel.h"
#include "support/BuiltProgram.h"

#include <QFile>
#include <QToolButton>
#include <cmath>
#include <iostream>

using namespace sylvaro;

namespace {

struct MixFigures {
    double rmsDb = -200;
    double peak = 0;
    double lowShare = 0; // share of the energy below about 150 Hz
};

class SceneMix : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = test::builtProgramDir();
        if (m_dir.isEmpty()) {
            GTEST_SKIP() << "SYLVARO_PROGRAM_DIR does not point at a built program folder";
        }
    }

    MixFigures render(std::string_view scene, std::uint32_t seed) {
        core::VirtualTimerHost host;
        core::ScriptedDialogs dialogs;
        core::RandomSource random(seed);
        random.setFixedSeed(seed);
        core::VirtualWallClock clock(host, QDateTime(QDate(2026, 12, 8), QTime(12, 0)));
        test::FakeAudioOutput audio;
        app::ConsoleWindow console(
            app::Services{core::AppDir(m_dir), host, dialogs, random, clock, audio});
        console.load();
        host.advance(3000);
        EXPECT_TRUE(console.lifecycle().isStarted());
        console.scenes().button(scene)->click();

        double energy = 0;
        double low = 0;
        double lowState = 0;
        MixFigures f;
        constexpr int kStepFrames = 4800;
        constexpr double kLowCoefficient = 1.0 - 0.0194; // one pole at about 150 Hz
        const int steps = 600;                           // one minute
        for (int step = 0; step < steps; ++step) {
            host.advance(100);
            const std::vector<float> block = audio.render(kStepFrames);
            for (std::size_t i = 0; i < block.size(); i += 2) {
                const double mono = 0.5 * (block[i] + block[i + 1]);
                f.peak = std::max(
                    {f.peak, std::fabs(double(block[i])), std::fabs(double(block[i + 1]))});
                energy += mono * mono;
                lowState = kLowCoefficient * lowState + (1 - kLowCoefficient) * mono;
                low += lowState * lowState;
            }
        }
        const double frames = double(steps) * kStepFrames;
        f.rmsDb = 10 * std::log10(std::max(energy / frames, 1e-20));
        f.lowShare = low / std::max(energy, 1e-20);
        // No close(): the shutdown would write settings into the shared program folder.
        return f;
    }

    QString m_dir;
};

} // namespace

TEST_F(SceneMix, StormAndSummerSitAtAComfortableLevelAndSoundTheirPart) {
    const MixFigures storm = render("Storm", 11);
    const MixFigures summer = render("Summer", 11);
    std::cout << "Storm: " << storm.rmsDb << " dBFS RMS, peak " << storm.peak << ", low share "
              << storm.lowShare << "\nSummer: " << summer.rmsDb << " dBFS RMS, peak " << summer.peak
              << ", low share " << summer.lowShare << '\n';
    for (const MixFigures& f : {storm, summer}) {
        EXPECT_LT(f.peak, 1.0) << "the mix clips";
        EXPECT_GT(f.rmsDb, -50.0) << "barely audible";
        EXPECT_LT(f.rmsDb, -18.0) << "too loud for a calming background";
    }
    EXPECT_GT(storm.rmsDb, summer.rmsDb) << "rain and thunder should fill more than a meadow";
    EXPECT_GT(storm.lowShare, summer.lowShare) << "the storm should rumble more";
}
