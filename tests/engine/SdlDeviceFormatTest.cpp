#include "MixerTape.h"
#include "engine/Mixer.h"
#include "engine/SdlAudioOutput.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <unistd.h>
#include <vector>

namespace sylvaro::engine {
namespace {

namespace fs = std::filesystem;

std::vector<Sint16> converted(const std::vector<float>& in) {
    std::vector<Sint16> out(in.size(), 12345);
    SdlAudioOutput::toDeviceSamples(in.data(), out.data(), static_cast<int>(in.size()));
    return out;
}

TEST(SdlDeviceFormat, SamplesRoundToTheNearestStep) {
    const float step = 1.0f / 32767.0f;
    const std::vector<float> in = {0.0f,         0.5f,          -0.5f,         step,
                                   -step,        0.4f * step,   -0.4f * step,  0.6f * step,
                                   -0.6f * step, 100.4f * step, -100.6f * step};
    const std::vector<Sint16> expected = {0, 16384, -16383, 1, -1, 0, 0, 1, -1, 100, -101};
    EXPECT_EQ(converted(in), expected);
}

TEST(SdlDeviceFormat, FullScaleAndBeyondClampWithoutWrapping) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> in = {1.0f, -1.0f, 1.5f, -1.5f, 1e9f, -1e9f, inf, -inf, nan};
    const std::vector<Sint16> expected = {32767,  -32767, 32767,  -32767, 32767,
                                          -32767, 32767,  -32767, -32767};
    EXPECT_EQ(converted(in), expected);
}

// Eight samples go through at a time, the rest one by one: both paths give
// the same numbers, and nothing beyond `count` is written.
TEST(SdlDeviceFormat, EveryPositionOfABlockConvertsAlike) {
    std::vector<float> ramp(19);
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = -0.9f + 0.1f * static_cast<float>(i);
    }
    std::vector<Sint16> out(ramp.size() + 1, 777);
    SdlAudioOutput::toDeviceSamples(ramp.data(), out.data(), static_cast<int>(ramp.size()));
    for (std::size_t i = 0; i < ramp.size(); ++i) {
        Sint16 one = 0;
        SdlAudioOutput::toDeviceSamples(&ramp[i], &one, 1);
        EXPECT_EQ(out[i], one) << "sample " << i;
        EXPECT_NEAR(out[i], std::lround(ramp[i] * 32767.0), 1) << "sample " << i;
    }
    EXPECT_EQ(out.back(), 777);
}

TEST(SdlDeviceFormat, DeviceBytesReadBackAsTheSamplesWritten) {
    const std::vector<float> in = {0.0f, 0.25f, -0.25f, Mixer::kCeiling, -Mixer::kCeiling, 0.001f};
    const std::vector<Sint16> device = converted(in);
    std::vector<unsigned char> bytes(device.size() * sizeof(Sint16) + 1, 0xAB); // one byte over
    std::memcpy(bytes.data(), device.data(), device.size() * sizeof(Sint16));
    const std::vector<float> back = SdlAudioOutput::fromDeviceBytes(bytes.data(), bytes.size());
    ASSERT_EQ(back.size(), in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        EXPECT_NEAR(back[i], in[i], 0.5 / 32767.0 + 1e-7) << "sample " << i;
    }
}

// The block and what the driver queues behind it stay within the 60 ms a
// click may take to be heard.
TEST(SdlDeviceFormat, EveryDriverHearsAClickWithin60Ms) {
    // The limiter's look-ahead delays everything a little more.
    const double budget = 60.0 - 1000.0 * Mixer::kLatencyFrames / 48000;
    EXPECT_LE(SdlAudioOutput::blockMs("pulseaudio") + SdlAudioOutput::kPulseLatencyMs, budget);
    EXPECT_LE(SdlAudioOutput::blockMs("disk"), budget);
    EXPECT_LE(SdlAudioOutput::blockMs("dummy"), budget);
    // ALSA keeps two blocks in the card besides the one being rendered.
    EXPECT_LE(3 * SdlAudioOutput::blockMs("alsa"), budget);
    EXPECT_LE(3 * SdlAudioOutput::blockMs("some-future-driver"), budget);
}

TEST(SdlDeviceFormat, BlocksAreWholeFramesOfTheirDriversLength) {
    EXPECT_EQ(SdlAudioOutput::deviceFrames(48000, "pulseaudio"), 768);
    EXPECT_EQ(SdlAudioOutput::deviceFrames(48000, "disk"), 2400);
    EXPECT_EQ(SdlAudioOutput::deviceFrames(44100, "dummy"), 2205);
    EXPECT_EQ(SdlAudioOutput::deviceFrames(48000, "alsa"), 768);
}

// The real device on SDL's disk driver writes 16-bit stereo: a steady mono
// voice at a quarter of full scale arrives as 8192 on both channels.
TEST(SdlDeviceFormat, TheDiskDriverWritesSixteenBitStereo) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    const fs::path file =
        fs::temp_directory_path() / ("sylvaro-s16-" + std::to_string(getpid()) + ".raw");
    fs::remove(file);
    setenv("SDL_DISKAUDIOFILE", file.string().c_str(), 1);

    Mixer mixer(48000, 4);
    const PcmPtr pcm = sylvaro::engine::test::makePcm(48000, 1, std::vector<float>(4800, 0.25f));
    const VoiceId voice = mixer.createVoice(pcm);
    mixer.play(voice, true);

    // Past the limiter's delay and the fade-in, with room to spare.
    const std::uintmax_t wanted = 48000 / 10 * SdlAudioOutput::kBytesPerFrame;
    {
        SdlAudioOutput output;
        output.enumerate();
        std::string error;
        ASSERT_TRUE(output.open(0, mixer, error)) << error;
        std::error_code ec;
        for (int i = 0; i < 2000 && fs::file_size(file, ec) < wanted * 4; ++i) {
            SDL_Delay(5);
        }
    }
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    fs::remove(file);
    ASSERT_GE(bytes.size(), wanted * 2);
    EXPECT_EQ(bytes.size() % SdlAudioOutput::kBytesPerFrame, 0u);
    std::vector<Sint16> samples(bytes.size() / sizeof(Sint16));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(Sint16));
    EXPECT_EQ(samples.front(), 0) << "the limiter's delay starts silent";
    // SDL writes silence of its own until the device is unpaused, longer
    // on a busy machine: the voice is measured from where it begins.
    const auto begins =
        std::find_if(samples.begin(), samples.end(), [](Sint16 s) { return s != 0; });
    const auto from = static_cast<std::size_t>(begins - samples.begin()) + wanted / sizeof(Sint16);
    ASSERT_GE(samples.size(), from + 480)
        << "the voice begins at sample " << begins - samples.begin();
    for (std::size_t i = from; i < from + 480; ++i) {
        ASSERT_EQ(samples[i], 8192) << "sample " << i;
    }
}

} // namespace
} // namespace sylvaro::engine
