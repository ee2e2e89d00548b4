#include "TestWav.h"
#include "engine/PcmLoader.h"
#include "engine/Resampler.h"

#include <atomic>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <numbers>
#include <sys/stat.h>
#include <unistd.h>

namespace sylvaro::engine {
namespace {

using test::TempDir;

constexpr int kMixerRate = 48000;

std::vector<double> tone(int frames, int channels, int rate) {
    std::vector<double> out;
    for (int i = 0; i < frames; ++i) {
        for (int ch = 0; ch < channels; ++ch) {
            out.push_back(0.5 * std::sin(2 * std::numbers::pi * 440 * (ch + 1) * i / rate));
        }
    }
    return out;
}

// Every WAV a user may bring loads at the mixer's rate, folded to stereo.
struct GoodCase {
    const char* name;
    int format;
    int channels;
    int rate;
};

class UserWav : public ::testing::TestWithParam<GoodCase> {};

TEST_P(UserWav, LoadsAtTheMixerRate) {
    const GoodCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("mine.wav");
    const int frames = c.rate / 10; // a tenth of a second
    ASSERT_TRUE(
        test::writeSound(path, c.format, c.rate, c.channels, tone(frames, c.channels, c.rate)));
    const PcmLoadResult r = loadPcm(path, kMixerRate, LoadLimits{});
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->sampleRate, kMixerRate);
    EXPECT_EQ(r.pcm->channels, std::min(c.channels, 2));
    EXPECT_EQ(r.pcm->frames, std::llround(static_cast<double>(frames) * kMixerRate / c.rate));
    float peak = 0;
    for (float s : r.pcm->f32) {
        peak = std::max(peak, std::abs(s));
    }
    for (std::int16_t s : r.pcm->s16) {
        peak = std::max(peak, std::abs(s / 32768.0f));
    }
    EXPECT_GT(peak, 0.2f) << "the tone is there";
    EXPECT_LE(peak, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    WithinTheLimits, UserWav,
    ::testing::Values(GoodCase{"U8Mono8k", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000},
                      GoodCase{"S16Stereo44k1", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 44100},
                      GoodCase{"S16Stereo48k", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 48000},
                      GoodCase{"S24EightChannels96k", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 8, 96000},
                      GoodCase{"S32ThreeChannels192k", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 3, 192000},
                      GoodCase{"FloatFiveChannels22k", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 5, 22050},
                      GoodCase{"DoubleMono11k", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 1, 11025},
                      GoodCase{"ExtensibleStereo32k", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 2,
                               32000}),
    [](const auto& p) { return std::string(p.param.name); });

// A long file is converted while it is read; the result is the same as
// converting it whole, ends included.
TEST(UserWavLength, ConvertingWhileReadingEqualsConvertingWhole) {
    TempDir dir;
    const std::string path = dir.file("long.wav");
    ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2,
                                 tone(3 * 44100 + 17, 2, 44100)));
    const PcmLoadResult plain = loadPcm(path);
    ASSERT_TRUE(plain) << plain.error;
    std::vector<float> whole;
    std::string error;
    ASSERT_TRUE(resampleLoop(plain.pcm->f32, 2, 44100, kMixerRate, whole, error)) << error;
    const PcmLoadResult streamed = loadPcm(path, kMixerRate, LoadLimits{});
    ASSERT_TRUE(streamed) << streamed.error;
    ASSERT_EQ(streamed.pcm->f32.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        ASSERT_NEAR(streamed.pcm->f32[i], whole[i], 1e-6) << "sample " << i;
    }
}

// A WAV of `seconds` of 8 kHz unsigned 8-bit silence.
std::string silence8k(double seconds) {
    return test::wavBytes(1, 1, 8000, 8,
                          std::string(static_cast<std::size_t>(seconds * 8000), '\x80'));
}

TEST(UserWavLength, ThirtyMinutesLoads) {
    TempDir dir;
    test::writeBytes(dir.file("long.wav"), silence8k(30 * 60));
    const PcmLoadResult r = loadPcm(dir.file("long.wav"), 8000, LoadLimits{});
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->frames, 30 * 60 * 8000);
}

// Files a user may pick that must be refused, each with a reason naming what
// is wrong with it.
// The bytes are made only when the case runs: some are megabytes, and every
// test process would otherwise build them all just to list the tests.
struct BadCase {
    const char* name;
    std::string (*bytes)();
    std::string reason; // the message starts so
};

std::string noBytes() {
    return {};
}

class UserWavRefused : public ::testing::TestWithParam<BadCase> {};

TEST_P(UserWavRefused, SaysWhy) {
    const BadCase& c = GetParam();
    TempDir dir;
    std::string path = dir.file("bad.wav");
    const std::string name = c.name;
    if (name == "Folder") {
        std::filesystem::create_directory(path);
    } else if (name == "Pipe") {
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    } else if (name == "Aiff") {
        ASSERT_TRUE(test::writeSound(path, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 48000, 1, {0.5}));
    } else if (name == "NineChannels") {
        ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, 9,
                                     std::vector<double>(90, 0.1)));
    } else if (name == "InsideAFile") {
        test::writeBytes(dir.file("plain"), "x");
        path = dir.file("plain") + "/bad.wav";
    } else if (name != "Missing") {
        test::writeBytes(path, c.bytes());
    }
    const PcmLoadResult r = loadPcm(path, kMixerRate, LoadLimits{});
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error.substr(0, c.reason.size()), c.reason) << r.error;
}

std::string kTone() {
    return std::string(400, '\x10');
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, UserWavRefused,
    ::testing::Values(
        BadCase{"Missing", noBytes, "the file does not exist"},
        BadCase{"InsideAFile", noBytes, "the file does not exist"},
        BadCase{"Empty", noBytes, "the file is empty"},
        BadCase{"Folder", noBytes, "it is a folder, not a sound file"},
        BadCase{"Pipe", noBytes, "it is not an ordinary file"},
        BadCase{"Text", [] { return std::string("Dear diary, today it rained on the roof.\n"); },
                "it is not a sound file ("},
        BadCase{"TruncatedHeader",
                [] { return test::wavBytes(1, 1, 48000, 16, kTone()).substr(0, 30); },
                "it is a damaged WAV file ("},
        BadCase{"OnlyRiff", [] { return std::string("RIFF"); }, "it is a damaged WAV file ("},
        BadCase{"ThirtyOneMinutes", [] { return silence8k(31 * 60 + 4); },
                "it lasts 31 min 4 s; a sound may last at most 30 minutes"},
        BadCase{"JustOverThirtyMinutes", [] { return silence8k(30 * 60 + 0.01); },
                "it lasts 30 min 1 s; a sound may last at most 30 minutes"},
        BadCase{"NineChannels", noBytes, "it has 9 channels; a sound may have at most 8"},
        BadCase{"Rate4k", [] { return test::wavBytes(1, 1, 4000, 16, kTone()); },
                "its sample rate of 4000 Hz is not supported; a sound's rate must lie between "
                "8000 and 192000 Hz"},
        BadCase{"Rate384k", [] { return test::wavBytes(1, 1, 384000, 16, kTone()); },
                "its sample rate of 384000 Hz is not supported"},
        BadCase{"NoFrames", [] { return test::wavBytes(1, 1, 48000, 16, ""); },
                "it holds no sound"},
        BadCase{"MuLaw", [] { return test::wavBytes(7, 1, 8000, 8, kTone()); },
                "its sample encoding ("},
        BadCase{"Aiff", noBytes, "it is not a WAV file"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(UserWavRefused, AFileThatCannotBeReadSaysSo) {
    TempDir dir;
    const std::string path = dir.file("locked.wav");
    ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, {0.5}));
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    if (access(path.c_str(), R_OK) == 0) {
        GTEST_SKIP() << "this user reads every file, whatever its permissions";
    }
    const PcmLoadResult r = loadPcm(path, kMixerRate, LoadLimits{});
    EXPECT_FALSE(r);
    EXPECT_EQ(r.error, "the file cannot be opened: Permission denied");
}

// The program's own sounds keep their wider limits.
TEST(UserWavRefused, TheLimitsAreTheUsersOnly) {
    TempDir dir;
    test::writeBytes(dir.file("slow.wav"), test::wavBytes(1, 1, 4000, 16, kTone()));
    test::writeBytes(dir.file("long.wav"), silence8k(31 * 60));
    EXPECT_TRUE(loadPcm(dir.file("slow.wav"), kMixerRate));
    EXPECT_TRUE(loadPcm(dir.file("long.wav"), 8000));
}

// A cancelled load ends with "cancelled" and no sound, whichever way the
// file would have been read.
TEST(UserWavCancel, ACancelledLoadSaysCancelled) {
    TempDir dir;
    ASSERT_TRUE(test::writeSound(dir.file("s16.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2,
                                 tone(48000, 2, 48000)));
    ASSERT_TRUE(test::writeSound(dir.file("float.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 6,
                                 tone(48000, 6, 48000)));
    ASSERT_TRUE(test::writeSound(dir.file("44k1.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                                 tone(44100, 2, 44100)));
    const std::atomic<bool> cancel{true};
    for (const char* name : {"s16.wav", "float.wav", "44k1.wav"}) {
        const PcmLoadResult r = loadPcm(dir.file(name), kMixerRate, LoadLimits{}, &cancel);
        EXPECT_FALSE(r) << name;
        EXPECT_EQ(r.error, "cancelled") << name;
        const std::atomic<bool> go{false};
        EXPECT_TRUE(loadPcm(dir.file(name), kMixerRate, LoadLimits{}, &go)) << name;
    }
}

} // namespace
} // namespace sylvaro::engine
