// The output through a real PulseAudio server of the test's own: a sound
// started while two seconds are already buffered is heard at once, joined to
// what was playing without a step, and a server that dies and comes back is
// found again. Real time runs here: each wait polls with a generous bound,
// and nothing asserts on how fast the machine is.

#include "engine/PulseOutput.h"

#include "MixerTape.h"
#include "PrivatePulse.h"
#include "engine/OutputRecovery.h"
#include "engine/SoundEngine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

namespace sylvaro::engine {
namespace {

using test::PrivatePulse;
constexpr int kRate = PrivatePulse::kRate;
constexpr float kLevel = 0.5f;
// The largest step between neighbouring samples of the tone itself.
const float kToneStep = static_cast<float>(2 * 3.14159265 * 440.0 / kRate * kLevel);

void pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The first frame at or after `from` louder than a whisper.
std::int64_t onset(const std::vector<float>& samples, std::int64_t from) {
    for (auto i = static_cast<std::size_t>(from); i < samples.size(); ++i) {
        if (std::abs(samples[i]) > 0.01f) {
            return static_cast<std::int64_t>(i);
        }
    }
    return -1;
}

class PulseOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!PrivatePulse::available()) {
            GTEST_SKIP() << "pulseaudio is not installed";
        }
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(PulseOutput::serverAnswers());
        ASSERT_EQ(engine.enumerateDevices().front(), PulseOutput::kDefaultDevice);
        std::string error;
        ASSERT_TRUE(engine.openDevice(0, error)) << error;
        tone = engine.createBuffer(test::makePcm(kRate, 1, test::sine(kRate, 440.0 / kRate, kLevel)),
                                   error);
        ASSERT_TRUE(tone.valid()) << error;
    }

    PrivatePulse server;
    PulseOutput output;
    SoundEngine engine{output};
    Buffer tone;
};

TEST_F(PulseOutputTest, ASoundStartedIsHeardAtOnceAndJoinsWithoutAStep) {
    ASSERT_TRUE(server.startRecording());
    // Silence plays, and the server is given its two seconds of it.
    ASSERT_TRUE(server.recordFor(kRate));
    const std::int64_t changed = server.recorded();
    engine.play(tone, true);
    ASSERT_TRUE(server.recordFor(kRate));
    server.stopRecording();

    const std::vector<float> heard = server.left();
    const std::int64_t start = onset(heard, changed);
    ASSERT_GE(start, 0) << "the tone never reached the speakers";
    EXPECT_LT(start - changed, kRate / 2)
        << "heard " << (start - changed) * 1000 / kRate
        << " ms after the change: it waited for the buffered silence to play out";
    float step = 0.0f;
    float peak = 0.0f;
    for (std::int64_t i = std::max<std::int64_t>(start - 100, 1); i < start + kRate / 2; ++i) {
        step = std::max(step, std::abs(heard[i] - heard[i - 1]));
        peak = std::max(peak, std::abs(heard[i]));
    }
    EXPECT_LT(step, kToneStep * 1.2f) << "a step where the rewritten sound joins";
    EXPECT_NEAR(peak, kLevel, 0.01f);
    EXPECT_GE(output.stats().rewrites, 1u);
    EXPECT_EQ(output.stats().underflows, 0u);
}

TEST_F(PulseOutputTest, AServerThatDiesAndComesBackIsFoundAgain) {
    engine.play(tone, true);
    OutputRecovery recovery(output, engine.mixer());
    std::int64_t nowMs = 0;
    ASSERT_EQ(recovery.poll(nowMs), OutputRecovery::Event::None);
    ASSERT_EQ(recovery.state(), OutputRecovery::State::Playing);

    server.kill();
    for (int i = 0; i < 100 && recovery.state() != OutputRecovery::State::Lost; ++i) {
        pause(100);
        recovery.poll(nowMs += 1000);
    }
    ASSERT_EQ(recovery.state(), OutputRecovery::State::Lost);
    recovery.poll(nowMs += OutputRecovery::kLongestRetryMs);
    EXPECT_EQ(recovery.state(), OutputRecovery::State::Lost) << "no server to go back to yet";

    ASSERT_TRUE(server.start());
    for (int i = 0; i < 100 && recovery.state() != OutputRecovery::State::Playing; ++i) {
        recovery.poll(nowMs += OutputRecovery::kLongestRetryMs);
        pause(100);
    }
    ASSERT_EQ(recovery.state(), OutputRecovery::State::Playing) << recovery.lastError();
    ASSERT_TRUE(server.startRecording());
    ASSERT_TRUE(server.recordFor(kRate / 2));
    const std::vector<float> heard = server.left();
    EXPECT_GE(onset(heard, 0), 0) << "the tone plays on the new server";
}

} // namespace
} // namespace sylvaro::engine
