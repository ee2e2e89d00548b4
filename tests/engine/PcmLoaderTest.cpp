#include "engine/PcmLoader.h"

#include "TestWav.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>

namespace sylvaro::engine {
namespace {

using test::TempDir;

std::string floatBytes(std::initializer_list<float> values) {
    std::string out;
    for (float v : values) {
        char raw[sizeof v];
        std::memcpy(raw, &v, sizeof v);
        out.append(raw, sizeof raw);
    }
    return out;
}

// Every format a user's WAV may come in loads at its own rate and width.
struct FormatCase {
    const char* name;
    int subtype;
    int channels;
    int rate;
    bool asInt16;
    double tolerance; // a few quantisation steps
};

class PcmLoaderFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PcmLoaderFormat, LoadsSamplesAtFileRateAndWidth) {
    const FormatCase& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("tone.wav");
    constexpr int kFrames = 500;
    std::vector<double> written;
    for (int i = 0; i < kFrames; ++i) {
        for (int ch = 0; ch < c.channels; ++ch) {
            written.push_back(0.8 * std::sin(2 * std::numbers::pi * (i + 37 * ch) / 50.0));
        }
    }
    ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAV | c.subtype, c.rate, c.channels, written));

    const PcmLoadResult r = loadPcm(path);
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->sampleRate, c.rate);
    EXPECT_EQ(r.pcm->channels, c.channels);
    ASSERT_EQ(r.pcm->frames, kFrames);
    ASSERT_EQ(r.pcm->s16.empty(), !c.asInt16);
    ASSERT_EQ(r.pcm->f32.empty(), c.asInt16);
    for (std::size_t i = 0; i < written.size(); ++i) {
        const double got = c.asInt16 ? r.pcm->s16[i] / 32768.0 : r.pcm->f32[i];
        ASSERT_NEAR(got, written[i], c.tolerance) << "sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PcmLoaderFormat,
    ::testing::Values(FormatCase{"U8Mono", SF_FORMAT_PCM_U8, 1, 8000, true, 2.0 / 128},
                      FormatCase{"S16Stereo", SF_FORMAT_PCM_16, 2, 44100, true, 2.0 / 32768},
                      FormatCase{"S24Mono", SF_FORMAT_PCM_24, 1, 22050, false, 1e-6},
                      FormatCase{"S32Stereo", SF_FORMAT_PCM_32, 2, 48000, false, 1e-6},
                      FormatCase{"FloatStereo", SF_FORMAT_FLOAT, 2, 96000, false, 1e-7},
                      FormatCase{"DoubleMono", SF_FORMAT_DOUBLE, 1, 11025, false, 1e-7}),
    [](const auto& p) { return std::string(p.param.name); });

// Exact values from hand-made bytes, so the decoding is checked against the
// WAV format rather than against libsndfile's own writer.
TEST(PcmLoaderValues, UnsignedEightBitIsCentredOn128) {
    TempDir dir;
    test::writeBytes(dir.file("u8.wav"),
                     test::wavBytes(1, 1, 11025, 8, std::string("\x00\x80\xFF\x40", 4)));
    const PcmLoadResult r = loadPcm(dir.file("u8.wav"));
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->s16, (std::vector<std::int16_t>{-32768, 0, 32512, -16384}));
}

TEST(PcmLoaderValues, TwentyFourBitScalesToUnitFloat) {
    TempDir dir;
    const std::string data("\xFF\xFF\x7F"
                           "\x00\x00\x80"
                           "\x00\x00\x40"
                           "\x00\x00\xC0",
                           12);
    test::writeBytes(dir.file("s24.wav"), test::wavBytes(1, 1, 48000, 24, data));
    const PcmLoadResult r = loadPcm(dir.file("s24.wav"));
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->f32, (std::vector<float>{8388607.0f / 8388608, -1.0f, 0.5f, -0.5f}));
}

TEST(PcmLoaderValues, FloatStereoKeepsChannelOrder) {
    TempDir dir;
    test::writeBytes(dir.file("f.wav"),
                     test::wavBytes(3, 2, 32000, 32, floatBytes({0.25f, -0.75f, 1.0f, 0.0f})));
    const PcmLoadResult r = loadPcm(dir.file("f.wav"));
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->frames, 2);
    EXPECT_EQ(r.pcm->f32, (std::vector<float>{0.25f, -0.75f, 1.0f, 0.0f}));
}

TEST(PcmLoaderValues, NonFiniteFloatsBecomeSilence) {
    TempDir dir;
    test::writeBytes(dir.file("nan.wav"),
                     test::wavBytes(3, 1, 48000, 32, floatBytes({NAN, INFINITY, 0.5f})));
    const PcmLoadResult r = loadPcm(dir.file("nan.wav"));
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->f32, (std::vector<float>{0.0f, 0.0f, 0.5f}));
}

TEST(PcmLoaderValues, TruncatedDataChunkKeepsTheFramesPresent) {
    TempDir dir;
    std::string bytes = test::wavBytes(1, 1, 48000, 16, std::string(2000, '\x01'));
    bytes.resize(bytes.size() - 1800); // the header still claims 1000 frames
    test::writeBytes(dir.file("cut.wav"), bytes);
    const PcmLoadResult r = loadPcm(dir.file("cut.wav"));
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->frames, 100);
    EXPECT_EQ(r.pcm->s16.front(), 0x0101);
}

// Files that must be refused with a reason, never crash or load garbage.
struct BadFile {
    const char* name;
    std::string bytes;
};

class PcmLoaderRejects : public ::testing::TestWithParam<BadFile> {};

TEST_P(PcmLoaderRejects, WithAReason) {
    TempDir dir;
    const std::string path = dir.file("bad.wav");
    const std::string name = GetParam().name;
    if (name == "Aiff") {
        ASSERT_TRUE(test::writeSound(path, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 48000, 1, {0.5}));
    } else if (name != "Missing") {
        test::writeBytes(path, GetParam().bytes);
    }
    const PcmLoadResult r = loadPcm(path);
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.empty());
}

const std::string kTone = std::string(400, '\x10');

INSTANTIATE_TEST_SUITE_P(
    BadFiles, PcmLoaderRejects,
    ::testing::Values(
        BadFile{"Missing", ""}, BadFile{"Empty", ""},
        BadFile{"Garbage", "this is not a sound file, just some text\n"},
        BadFile{"TruncatedHeader", test::wavBytes(1, 1, 48000, 16, kTone).substr(0, 30)},
        BadFile{"ThreeChannels", test::wavBytes(1, 3, 48000, 16, kTone.substr(0, 360))},
        BadFile{"NoFrames", test::wavBytes(1, 1, 48000, 16, "")},
        BadFile{"MuLaw", test::wavBytes(7, 1, 8000, 8, kTone)}, BadFile{"Aiff", ""}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace sylvaro::engine
