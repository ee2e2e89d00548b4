#include "engine/PcmLoader.h"

#include "MixerTape.h"
#include "TestWav.h"
#include "engine/Mixer.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

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

// Finite but absurd floats overflowed to infinity in the rate converter and
// in a downmix, so a damaged float file played as a poisoned mix.
TEST(PcmLoaderValues, HugeFloatsAreHeldAtTheLoudestLevelKept) {
    TempDir dir;
    test::writeBytes(dir.file("huge.wav"),
                     test::wavBytes(3, 2, 11025, 32,
                                    floatBytes({2.541e38f, -1.585e37f, 3.877e33f, 0.5f, -5.0e7f,
                                                1.0f, -0.25f, 3.157e37f})));
    const PcmLoadResult own = loadPcm(dir.file("huge.wav"));
    ASSERT_TRUE(own) << own.error;
    EXPECT_EQ(own.pcm->f32,
              (std::vector<float>{64.0f, -64.0f, 64.0f, 0.5f, -64.0f, 1.0f, -0.25f, 64.0f}));

    const PcmLoadResult converted = loadPcm(dir.file("huge.wav"), 48000, LoadLimits{});
    ASSERT_TRUE(converted) << converted.error;
    for (const float s : converted.pcm->f32) {
        ASSERT_TRUE(std::isfinite(s));
    }

    // Six channels summed into two.
    test::writeBytes(dir.file("wide.wav"),
                     test::wavBytes(3, 6, 48000, 32,
                                    floatBytes({3e38f, 3e38f, 3e38f, 3e38f, 3e38f, 3e38f, -3e38f,
                                                -3e38f, -3e38f, -3e38f, -3e38f, -3e38f})));
    const PcmLoadResult folded = loadPcm(dir.file("wide.wav"));
    ASSERT_TRUE(folded) << folded.error;
    for (const float s : folded.pcm->f32) {
        ASSERT_TRUE(std::isfinite(s));
        EXPECT_LE(std::abs(s), 64.0f * 1.0001f);
    }
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
        BadFile{"RateOfOneHertz", test::wavBytes(1, 1, 1, 16, kTone)},
        BadFile{"RateOfTenMegahertz", test::wavBytes(1, 1, 10'000'000, 16, kTone)},
        BadFile{"HundredChannels", test::wavBytes(1, 100, 48000, 16, std::string(800, '\x10'))},
        BadFile{"NoFrames", test::wavBytes(1, 1, 48000, 16, "")},
        BadFile{"MuLaw", test::wavBytes(7, 1, 8000, 8, kTone)}, BadFile{"Aiff", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PcmLoaderRejects, AnImpossibleOutputRate) {
    TempDir dir;
    ASSERT_TRUE(test::writeSound(dir.file("ok.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1,
                                 {0.5, 0.25}));
    for (int rate : {-1, 7, 5'000'000}) {
        const PcmLoadResult r = loadPcm(dir.file("ok.wav"), rate);
        EXPECT_FALSE(r) << rate;
        EXPECT_FALSE(r.error.empty()) << rate;
    }
}

// ---- More than two channels -------------------------------------------------

constexpr double kHalf = 0.70710678; // -3 dB

// Loads a file of constant channels and returns its one (left, right) frame.
std::pair<double, double> downmixed(const PcmLoadResult& r) {
    EXPECT_TRUE(r) << r.error;
    if (!r) {
        return {};
    }
    EXPECT_EQ(r.pcm->channels, 2);
    EXPECT_EQ(r.pcm->sampleRate, 48000);
    EXPECT_EQ(r.pcm->frames, 4);
    EXPECT_TRUE(r.pcm->s16.empty());
    return {r.pcm->f32.at(0), r.pcm->f32.at(1)};
}

std::vector<double> constantFrames(const std::vector<double>& frame, int frames) {
    std::vector<double> out;
    for (int i = 0; i < frames; ++i) {
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

std::string floatFrames(const std::vector<float>& frame, int frames) {
    std::string out;
    for (int i = 0; i < frames; ++i) {
        for (float v : frame) {
            char raw[sizeof v];
            std::memcpy(raw, &v, sizeof v);
            out.append(raw, sizeof raw);
        }
    }
    return out;
}

// Fronts go to their side, the centre to both at -3 dB, and the sum of
// weights on a side is brought down to 1 so nothing can clip.
TEST(PcmLoaderDownmix, ThreeUnnamedChannelsAreLeftRightCentre) {
    TempDir dir;
    test::writeBytes(dir.file("lrc.wav"),
                     test::wavBytes(3, 3, 48000, 32, floatFrames({0.2f, -0.4f, 0.3f}, 4)));
    const auto [left, right] = downmixed(loadPcm(dir.file("lrc.wav")));
    EXPECT_NEAR(left, (0.2 + kHalf * 0.3) / (1 + kHalf), 1e-6);
    EXPECT_NEAR(right, (-0.4 + kHalf * 0.3) / (1 + kHalf), 1e-6);
}

TEST(PcmLoaderDownmix, FourUnnamedChannelsAreQuadAndNamedOnesFollowTheirNames) {
    TempDir dir;
    const std::vector<double> frame = {0.1, 0.2, 0.3, 0.4};
    test::writeBytes(dir.file("quad.wav"),
                     test::wavBytes(3, 4, 48000, 32, floatFrames({0.1f, 0.2f, 0.3f, 0.4f}, 4)));
    auto [left, right] = downmixed(loadPcm(dir.file("quad.wav")));
    EXPECT_NEAR(left, (0.1 + kHalf * 0.3) / (1 + kHalf), 1e-6) << "rear left";
    EXPECT_NEAR(right, (0.2 + kHalf * 0.4) / (1 + kHalf), 1e-6) << "rear right";

    ASSERT_TRUE(test::writeSoundWithMap(
        dir.file("named.wav"), 48000,
        {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT, SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE},
        constantFrames(frame, 4)));
    std::tie(left, right) = downmixed(loadPcm(dir.file("named.wav")));
    EXPECT_NEAR(left, (0.1 + kHalf * 0.3) / (1 + kHalf), 1e-6) << "centre";
    EXPECT_NEAR(right, (0.2 + kHalf * 0.3) / (1 + kHalf), 1e-6) << "centre, no LFE";
}

TEST(PcmLoaderDownmix, FivePointOneLeavesOutTheLfe) {
    TempDir dir;
    ASSERT_TRUE(test::writeSoundWithMap(dir.file("51.wav"), 48000,
                                        {SF_CHANNEL_MAP_LEFT, SF_CHANNEL_MAP_RIGHT,
                                         SF_CHANNEL_MAP_CENTER, SF_CHANNEL_MAP_LFE,
                                         SF_CHANNEL_MAP_SIDE_LEFT, SF_CHANNEL_MAP_SIDE_RIGHT},
                                        constantFrames({0.5, 0.1, 0.2, 0.9, -0.3, 0.4}, 4)));
    const auto [left, right] = downmixed(loadPcm(dir.file("51.wav")));
    EXPECT_NEAR(left, (0.5 + kHalf * 0.2 - kHalf * 0.3) / (1 + 2 * kHalf), 1e-6);
    EXPECT_NEAR(right, (0.1 + kHalf * 0.2 + kHalf * 0.4) / (1 + 2 * kHalf), 1e-6);
}

TEST(PcmLoaderDownmix, FullScaleOnEveryChannelDoesNotClip) {
    TempDir dir;
    for (int channels : {3, 5, 6, 7, 8, 12}) {
        const std::string path = dir.file(std::to_string(channels) + ".wav");
        test::writeBytes(path, test::wavBytes(3, channels, 48000, 32,
                                              floatFrames(std::vector<float>(channels, 1.0f), 4)));
        const auto [left, right] = downmixed(loadPcm(path));
        EXPECT_LE(left, 1.0 + 1e-6) << channels;
        EXPECT_LE(right, 1.0 + 1e-6) << channels;
        EXPECT_GT(left, 0.5) << channels;
        EXPECT_NEAR(left, right, 1e-6) << channels << " channels are laid out symmetrically";
    }
}

// ---- Rate conversion --------------------------------------------------------

int upCrossings(const std::vector<float>& v) {
    int n = 0;
    for (std::size_t i = 1; i < v.size(); ++i) {
        n += v[i - 1] < 0 && v[i] >= 0;
    }
    return n;
}

std::vector<double> tone(int frames, int rate, double hz, double amplitude = 0.5,
                         int channels = 1) {
    std::vector<double> out;
    for (int i = 0; i < frames; ++i) {
        for (int ch = 0; ch < channels; ++ch) {
            out.push_back(amplitude * std::sin(2 * std::numbers::pi * hz * (ch + 1) * i / rate));
        }
    }
    return out;
}

TEST(PcmLoaderConvert, AtTheTargetRateNothingChanges) {
    TempDir dir;
    const std::vector<double> samples = tone(1000, 48000, 440, 0.5, 2);
    ASSERT_TRUE(
        test::writeSound(dir.file("s16.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, samples));
    ASSERT_TRUE(
        test::writeSound(dir.file("s24.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, samples));
    for (const char* name : {"s16.wav", "s24.wav"}) {
        const PcmLoadResult plain = loadPcm(dir.file(name));
        const PcmLoadResult targeted = loadPcm(dir.file(name), 48000);
        ASSERT_TRUE(plain && targeted) << name;
        EXPECT_EQ(targeted.pcm->sampleRate, 48000);
        EXPECT_EQ(targeted.pcm->s16, plain.pcm->s16) << name;
        EXPECT_EQ(targeted.pcm->f32, plain.pcm->f32) << name;
    }
    EXPECT_FALSE(loadPcm(dir.file("s16.wav"), 48000).pcm->s16.empty()) << "16-bit stays compact";
}

// One second of a 1 kHz tone at 44.1 kHz, loaded for a 48 kHz mixer: it
// lasts one second there and still sounds at 1 kHz. Unconverted, the mixer
// refuses it.
TEST(PcmLoaderConvert, Mono44k1PlaysAtPitchAndLengthInA48kMixer) {
    TempDir dir;
    const std::string path = dir.file("tone.wav");
    ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                                 tone(44100, 44100, 1000)));
    Mixer mixer(48000);
    const PcmLoadResult unconverted = loadPcm(path);
    ASSERT_TRUE(unconverted) << unconverted.error;
    EXPECT_EQ(mixer.createVoice(unconverted.pcm), kNoVoice);

    const PcmLoadResult r = loadPcm(path, 48000);
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->sampleRate, 48000);
    EXPECT_EQ(r.pcm->channels, 1);
    EXPECT_EQ(r.pcm->frames, 48000);
    const VoiceId v = mixer.createVoice(r.pcm);
    ASSERT_NE(v, kNoVoice);
    mixer.play(v, false);
    test::Tape tape(mixer);
    tape.run(60000, 512);
    tape.flush();
    const std::vector<float> out = tape.left(0, 60000);
    EXPECT_NEAR(upCrossings(std::vector<float>(out.begin(), out.begin() + 48000)), 1000, 1);
    int last = 0;
    for (int i = 0; i < 60000; ++i) {
        last = std::abs(out[i]) > 1e-3f ? i : last;
    }
    EXPECT_NEAR(last, 48000, 30) << "the sound lasts one second";
    for (int i = mixer.rampFrames(); i < 48000; ++i) {
        ASSERT_NEAR(out[i], 0.5 * std::sin(2 * std::numbers::pi * 1000 * i / 48000), 2e-3) << i;
    }
}

// A loop that is seamless at 44.1 kHz stays seamless at 48 kHz: the converted
// sound follows the ideal tone up to its first and last frames.
TEST(PcmLoaderConvert, SeamlessLoopStaysSeamless) {
    TempDir dir;
    const std::string path = dir.file("loop.wav");
    ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2,
                                 tone(44100 / 2, 44100, 882, 0.9, 2)));
    const PcmLoadResult r = loadPcm(path, 48000);
    ASSERT_TRUE(r) << r.error;
    ASSERT_EQ(r.pcm->frames, 24000);
    ASSERT_EQ(r.pcm->channels, 2);
    for (int i = 0; i < 24000; ++i) {
        for (int ch = 0; ch < 2; ++ch) {
            const double ideal = 0.9 * std::sin(2 * std::numbers::pi * 882 * (ch + 1) * i / 48000);
            ASSERT_NEAR(r.pcm->f32[2 * i + ch], ideal, 1e-4) << "frame " << i << " channel " << ch;
        }
    }
}

// Downsampling removes what the new rate cannot carry instead of folding it
// back as a false tone, and keeps what it can.
TEST(PcmLoaderConvert, DownsamplingIsBandLimited) {
    TempDir dir;
    std::vector<double> samples = tone(96000, 96000, 30000, 0.5);
    const std::vector<double> audible = tone(96000, 96000, 3000, 0.25);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] += audible[i];
    }
    ASSERT_TRUE(
        test::writeSound(dir.file("hi.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000, 1, samples));
    const PcmLoadResult r = loadPcm(dir.file("hi.wav"), 48000);
    ASSERT_TRUE(r) << r.error;
    ASSERT_EQ(r.pcm->frames, 48000);
    double error = 0;
    for (int i = 0; i < 48000; ++i) {
        const double ideal = 0.25 * std::sin(2 * std::numbers::pi * 3000 * i / 48000);
        error = std::max(error, std::abs(r.pcm->f32[i] - ideal));
    }
    EXPECT_LT(error, 1e-3) << "the 30 kHz tone must not come back as 18 kHz";
}

TEST(PcmLoaderConvert, VeryShortAndLowRateSoundsConvert) {
    TempDir dir;
    for (int frames : {1, 3, 700}) {
        const std::string path = dir.file(std::to_string(frames) + ".wav");
        ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1000, 1,
                                     std::vector<double>(static_cast<std::size_t>(frames), 0.5)));
        const PcmLoadResult r = loadPcm(path, 48000);
        ASSERT_TRUE(r) << frames << ": " << r.error;
        EXPECT_EQ(r.pcm->frames, 48 * frames);
        EXPECT_NEAR(r.pcm->f32[r.pcm->frames / 2], 0.5, 1e-3) << "a constant stays constant";
    }
}

TEST(PcmLoaderConvert, ManyChannelsAreDownmixedThenConverted) {
    TempDir dir;
    const std::string path = dir.file("six.wav");
    std::vector<double> samples;
    for (int i = 0; i < 22050; ++i) {
        const double s = 0.5 * std::sin(2 * std::numbers::pi * 500 * i / 22050);
        samples.insert(samples.end(), {s, 0, 0, 0, 0, 0}); // front left only
    }
    ASSERT_TRUE(test::writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 6, samples));
    const PcmLoadResult r = loadPcm(path, 48000);
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(r.pcm->channels, 2);
    EXPECT_EQ(r.pcm->frames, 48000);
    std::vector<float> left;
    double right = 0;
    for (int i = 0; i < 48000; ++i) {
        left.push_back(r.pcm->f32[2 * i]);
        right = std::max(right, std::abs(static_cast<double>(r.pcm->f32[2 * i + 1])));
    }
    EXPECT_NEAR(upCrossings(left), 500, 1);
    EXPECT_LT(right, 1e-6);
}

} // namespace
} // namespace sylvaro::engine
