// Checks the generated program folder: every built-in sound and picture the
// program opens by name exists there and is usable.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ebur128.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <numbers>
#include <optional>
#include <sndfile.h>
#include <string>
#include <vector>

#ifdef QT_GUI_LIB
#include <QImage>
#include <QSet>
#endif

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kLoops{
    "fire.wav",     "swamp.wav",    "cricket2.wav",     "ocean2.wav",   "waterlap_shore.wav",
    "riverbrd.wav", "ltrain.wav",   "thunder_rain.wav", "night.wav",    "wavdance.wav",
    "tidal.wav",    "downpour.wav", "rainroof.wav",     "flowater.wav", "NEW.wav",
    "jungle2.wav",  "horse1.wav"};

const std::vector<std::string> kOneShots{
    "NEW2.wav",        "cricketnight.wav",   "cricketnight2.wav", "bird1.wav",
    "fishingreel.wav", "thunderrumble2.wav", "sparrow.wav",       "sheep.wav",
    "bird.wav",        "seagulls_waves.wav", "owl.wav",           "OWL2.wav",
    "loon.wav",        "PUPPY2.wav",         "bird3.wav",         "bird4.wav",
    "birdies.wav",     "foghornwav.wav",     "moo3.wav",          "WHISKEY.wav",
    "car2.wav",        "crowcaw.wav",        "bullfrog.wav",      "dogbark1.wav",
    "rooster.wav",     "corkpop.wav",        "BIGBEN.wav",        "cuckoo.wav",
    "ambulance.wav",   "boatcreak.wav",      "birdflap.wav",      "CICADA3.wav",
    "seagull2.wav",    "horse.wav",          "railroad.wav",      "nightengale.wav",
    "outboard2.wav",   "DRIPS.wav",          "boatairhorn2.wav"};

const std::string kAlarm = "ringin1.wav";
const std::string kBlank = "BLANK.WAV";
const std::vector<std::string> kClicks{"resources/over.wav", "resources/click.wav"};

const std::vector<std::string> kJpegs{
    "english fence.jpg", "sunsetboat.jpg",    "colouredleaves.jpg", "oregonlake.jpg",
    "riverpool.jpg",     "puddle.jpg",        "lightning.jpg",      "sunsetwood.jpg",
    "countrylane.jpg",   "sunset.jpg",        "raindrops.jpg",      "englishsheep.jpg",
    "autumnstream.jpg",  "misty morning.jpg", "starry night.jpg"};
const std::vector<std::string> kGifs{"thunder.gif", "firepic.gif"};
const std::vector<std::string> kSceneIcons{
    "woodland.png", "country.png", "dawn.png",   "coast.png",    "storm.png", "tropical.png",
    "summer.png",   "jungle.png",  "stream.png", "downpour.png", "night.png", "fireside.png"};

// What the custom panel offers out of the box: two backgrounds and a random sound.
const std::vector<std::string> kExampleLoops{"sounds/windchimes.wav", "sounds/brook.wav"};
const std::string kExampleShot = "sounds/woodpecker.wav";

std::vector<std::string> allSounds() {
    std::vector<std::string> names = kLoops;
    names.insert(names.end(), kOneShots.begin(), kOneShots.end());
    names.push_back(kAlarm);
    names.push_back(kBlank);
    names.insert(names.end(), kClicks.begin(), kClicks.end());
    names.insert(names.end(), kExampleLoops.begin(), kExampleLoops.end());
    names.push_back(kExampleShot);
    return names;
}

struct Sound {
    std::string error; // empty when the file decoded
    int format = 0;
    int rate = 0;
    int channels = 0;
    std::vector<std::vector<float>> samples; // per channel

    std::size_t frames() const { return samples.empty() ? 0 : samples.front().size(); }
    double seconds() const { return static_cast<double>(frames()) / rate; }
};

Sound decode(const fs::path& path) {
    Sound sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        sound.error = sf_strerror(nullptr);
        return sound;
    }
    sound.format = info.format;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    const sf_count_t read = sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    if (read != info.frames) {
        sound.error = "short read";
        return sound;
    }
    const auto channels = static_cast<std::size_t>(info.channels);
    sound.samples.assign(channels, std::vector<float>(static_cast<std::size_t>(info.frames)));
    for (std::size_t i = 0; i < sound.frames(); ++i) {
        for (std::size_t ch = 0; ch < channels; ++ch) {
            sound.samples[ch][i] = interleaved[i * channels + ch];
        }
    }
    return sound;
}

std::vector<unsigned char> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double toDb(double x) {
    return 20.0 * std::log10(std::max(x, 1e-12));
}

double rmsOf(const Sound& sound) {
    double sum = 0.0;
    std::size_t count = 0;
    for (const auto& channel : sound.samples) {
        for (const float x : channel) {
            sum += static_cast<double>(x) * x;
        }
        count += channel.size();
    }
    return count == 0 ? 0.0 : std::sqrt(sum / static_cast<double>(count));
}

double peakOf(const Sound& sound) {
    double peak = 0.0;
    for (const auto& channel : sound.samples) {
        for (const float x : channel) {
            peak = std::max(peak, static_cast<double>(std::abs(x)));
        }
    }
    return peak;
}

using Meter = std::unique_ptr<ebur128_state, void (*)(ebur128_state*)>;

Meter meterFor(const Sound& sound, int mode) {
    return Meter(ebur128_init(static_cast<unsigned>(sound.channels),
                              static_cast<unsigned long>(sound.rate), mode),
                 [](ebur128_state* s) { ebur128_destroy(&s); });
}

// Feeds frames [from, to) of the sound, reading past its end from its start again.
void feed(ebur128_state* meter, const Sound& sound, std::size_t from, std::size_t to) {
    std::vector<float> interleaved;
    interleaved.reserve((to - from) * sound.samples.size());
    for (std::size_t i = from; i < to; ++i) {
        for (const auto& channel : sound.samples) {
            interleaved.push_back(channel[i % sound.frames()]);
        }
    }
    ebur128_add_frames_float(meter, interleaved.data(), to - from);
}

// EBU R 128 integrated loudness in LUFS.
double integratedLoudness(const Sound& sound) {
    const Meter meter = meterFor(sound, EBUR128_MODE_I);
    feed(meter.get(), sound, 0, sound.frames());
    double lufs = -std::numeric_limits<double>::infinity();
    ebur128_loudness_global(meter.get(), &lufs);
    return lufs;
}

// Short-term (3 s) loudness of the window that starts `before` frames ahead of the
// loop's wrap, as heard when the loop repeats.
double loudnessAcrossWrap(const Sound& sound, std::size_t before) {
    const Meter meter = meterFor(sound, EBUR128_MODE_S);
    const std::size_t window = 3 * static_cast<std::size_t>(sound.rate);
    const std::size_t start = sound.frames() - before;
    feed(meter.get(), sound, start, start + window);
    double lufs = -std::numeric_limits<double>::infinity();
    ebur128_loudness_shortterm(meter.get(), &lufs);
    return lufs;
}

// The first `frames` of a sound mixed to mono.
std::vector<double> monoMix(const Sound& sound, std::size_t frames) {
    std::vector<double> mono(std::min(frames, sound.frames()), 0.0);
    for (const auto& channel : sound.samples) {
        for (std::size_t i = 0; i < mono.size(); ++i) {
            mono[i] += channel[i];
        }
    }
    return mono;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b) {
    const std::size_t n = std::min(a.size(), b.size());
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

struct PictureHeader {
    int width = 0;
    int height = 0;
    int paletteSize = 0; // GIF global colour table entries
};

// Walks the JPEG segments to the frame header; requires start and end markers.
std::optional<PictureHeader> jpegHeader(const std::vector<unsigned char>& b) {
    const std::size_t n = b.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8 || b[n - 2] != 0xFF || b[n - 1] != 0xD9) {
        return std::nullopt;
    }
    std::size_t i = 2;
    while (i + 9 < n && b[i] == 0xFF) {
        const unsigned marker = b[i + 1];
        const std::size_t length = (static_cast<std::size_t>(b[i + 2]) << 8) | b[i + 3];
        const bool frameHeader =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader) {
            return PictureHeader{(b[i + 7] << 8) | b[i + 8], (b[i + 5] << 8) | b[i + 6], 0};
        }
        i += 2 + length;
    }
    return std::nullopt;
}

std::optional<PictureHeader> gifHeader(const std::vector<unsigned char>& b) {
    const std::string signature(b.begin(), b.begin() + std::min<std::size_t>(6, b.size()));
    if (b.size() < 14 || (signature != "GIF87a" && signature != "GIF89a") || b.back() != 0x3B) {
        return std::nullopt;
    }
    const bool globalTable = (b[10] & 0x80) != 0;
    return PictureHeader{b[6] | (b[7] << 8), b[8] | (b[9] << 8),
                         globalTable ? 1 << ((b[10] & 0x07) + 1) : 0};
}

class GeneratedAssets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* dir = std::getenv("SYLVARO_PROGRAM_DIR");
        if (dir == nullptr || *dir == '\0') {
            return;
        }
        root_ = dir;
        for (const std::string& name : allSounds()) {
            sounds_[name] = decode(root_ / name);
        }
    }
    static void TearDownTestSuite() { sounds_.clear(); }

    void SetUp() override {
        if (root_.empty()) {
            GTEST_SKIP() << "SYLVARO_PROGRAM_DIR is not set; build the `assets` target and run "
                            "these tests through ctest, which points it at the program folder";
        }
    }

    static const Sound& sound(const std::string& name) { return sounds_.at(name); }

    static inline fs::path root_;
    static inline std::map<std::string, Sound> sounds_;
};

TEST_F(GeneratedAssets, ProgramFolderHasItsSubfoldersAndNoHalfWrittenFiles) {
    for (const char* folder : {"images", "resources", "sounds", "saves"}) {
        EXPECT_TRUE(fs::is_directory(root_ / folder)) << folder;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root_)) {
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    }
}

TEST_F(GeneratedAssets, EverySoundIsA16BitWavAt48kHz) {
    for (const std::string& name : allSounds()) {
        SCOPED_TRACE(name);
        const Sound& s = sound(name);
        ASSERT_TRUE(s.error.empty()) << s.error;
        EXPECT_EQ(s.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        EXPECT_EQ(s.rate, 48000);
        EXPECT_GT(s.frames(), 0u);
    }
}

TEST_F(GeneratedAssets, SoundsHaveTheirExpectedLengthAndLayout) {
    for (const std::string& name : kLoops) {
        SCOPED_TRACE(name);
        const Sound& s = sound(name);
        EXPECT_TRUE(s.channels == 1 || s.channels == 2);
        EXPECT_GE(s.seconds(), 20.0);
        EXPECT_LE(s.seconds(), 40.0);
    }
    for (const std::string& name : kOneShots) {
        SCOPED_TRACE(name);
        const Sound& s = sound(name);
        EXPECT_EQ(s.channels, 1);
        EXPECT_GE(s.seconds(), 0.5);
        EXPECT_LE(s.seconds(), 8.0);
    }
    for (const std::string& name : kClicks) {
        SCOPED_TRACE(name);
        const Sound& s = sound(name);
        EXPECT_EQ(s.channels, 1);
        EXPECT_GE(s.seconds(), 0.03);
        EXPECT_LE(s.seconds(), 0.06);
    }
    EXPECT_NEAR(sound(kAlarm).seconds(), 2.0, 0.5);
    EXPECT_EQ(sound(kBlank).channels, 1);
    EXPECT_NEAR(sound(kBlank).seconds(), 0.5, 0.01);
}

TEST_F(GeneratedAssets, SoundsAreAudibleWithoutClipping) {
    const double ceiling = std::pow(10.0, -1.0 / 20.0);
    for (const std::string& name : allSounds()) {
        SCOPED_TRACE(name);
        const Sound& s = sound(name);
        EXPECT_LE(peakOf(s), ceiling) << toDb(peakOf(s)) << " dBFS";
        if (name != kBlank) {
            EXPECT_GT(toDb(rmsOf(s)), -45.0);
        }
    }
    EXPECT_EQ(peakOf(sound(kBlank)), 0.0) << "BLANK.WAV must be silent";
}

// The mixer plays every channel of a group at the same volume, and the scenes set
// one volume per group, so the backgrounds share one loudness and the random sounds
// (and the alarm) another; the button clicks stay in the background.
TEST_F(GeneratedAssets, LoudnessIsBalancedWithinEachGroup) {
    const auto expectLoudness = [](const std::vector<std::string>& names, double target,
                                   double tolerance) {
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            EXPECT_NEAR(integratedLoudness(sound(name)), target, tolerance);
        }
    };
    expectLoudness(kLoops, -23.0, 1.0);
    std::vector<std::string> shots = kOneShots;
    shots.push_back(kAlarm);
    expectLoudness(shots, -20.0, 2.0);
    for (const std::string& name : kClicks) {
        SCOPED_TRACE(name);
        EXPECT_LE(toDb(peakOf(sound(name))), -6.0);
    }
}

// Each loop plays for as long as the user likes, so its wrap must not be heard as a
// swell or a dip: every 3 s window holding the wrap (at least half a second of it on
// each side) stays within 1.5 LU of the loop's loudness.
TEST_F(GeneratedAssets, LoopsKeepTheirLoudnessAcrossTheWrap) {
    for (const std::string& name : kLoops) {
        SCOPED_TRACE(name);
        const Sound& s = sound(name);
        const double mean = integratedLoudness(s);
        const auto halfSecond = static_cast<std::size_t>(s.rate / 2);
        for (std::size_t before = halfSecond; before < 6 * halfSecond; before += halfSecond) {
            SCOPED_TRACE("window starting " + std::to_string(before) + " frames before the wrap");
            EXPECT_NEAR(loudnessAcrossWrap(s, before), mean, 1.5);
        }
    }
}

// Everything the generator writes goes into the program folder that is built twice
// in CI and loaded into memory at start-up.
TEST_F(GeneratedAssets, AllGeneratedFilesTogetherStayUnder60MB) {
    std::uintmax_t total = 0;
    for (const std::string& name : allSounds()) {
        total += fs::file_size(root_ / name);
    }
    for (const auto& entry : fs::recursive_directory_iterator(root_ / "images")) {
        if (entry.is_regular_file()) {
            total += entry.file_size();
        }
    }
    EXPECT_LE(total, 60u * 1000u * 1000u);
}

// A background plays for as long as the user likes, so it must never drop out, and
// a stereo one must really be stereo rather than the same signal twice.
TEST_F(GeneratedAssets, BackgroundsNeverDropOutAndStereoIsWide) {
    const std::size_t window = 24000; // half a second
    for (const std::string& name : kLoops) {
        SCOPED_TRACE(name);
        const Sound& s = sound(name);
        const std::vector<double> mono = monoMix(s, s.frames());
        double quietest = 1.0;
        for (std::size_t start = 0; start + window <= mono.size(); start += window / 2) {
            double sum = 0.0;
            for (std::size_t i = start; i < start + window; ++i) {
                sum += mono[i] * mono[i];
            }
            quietest = std::min(quietest, std::sqrt(sum / window) / s.channels);
        }
        EXPECT_GT(toDb(quietest), -50.0);
        if (s.channels == 2) {
            const std::vector<double> left(s.samples[0].begin(), s.samples[0].end());
            const std::vector<double> right(s.samples[1].begin(), s.samples[1].end());
            EXPECT_LT(correlation(left, right), 0.95);
        }
    }
}

// A loop plays its last sample straight before its first, so that step must look
// like the ordinary steps around it, in every channel. Comparing with the 10 ms on
// either side (rather than the whole file) still catches a cut in a sound whose
// loudest moment is elsewhere.
TEST_F(GeneratedAssets, LoopsWrapWithoutAClick) {
    std::vector<std::string> loops = kLoops;
    loops.push_back(kAlarm);
    loops.insert(loops.end(), kExampleLoops.begin(), kExampleLoops.end());
    const std::size_t nearby = 480;
    for (const std::string& name : loops) {
        const Sound& s = sound(name);
        for (std::size_t ch = 0; ch < s.samples.size(); ++ch) {
            SCOPED_TRACE(name + " channel " + std::to_string(ch));
            const std::vector<float>& x = s.samples[ch];
            ASSERT_GT(x.size(), 2 * nearby);
            float largestStep = 0.0f;
            for (std::size_t i = 1; i <= nearby; ++i) {
                largestStep = std::max(largestStep, std::abs(x[i] - x[i - 1]));
                const std::size_t j = x.size() - i;
                largestStep = std::max(largestStep, std::abs(x[j] - x[j - 1]));
            }
            EXPECT_LE(std::abs(x.front() - x.back()), largestStep);
        }
    }
}

// One-shots fade in and out, so starting or cutting one never clicks.
TEST_F(GeneratedAssets, OneShotsStartAndEndInSilence) {
    std::vector<std::string> shots = kOneShots;
    shots.insert(shots.end(), kClicks.begin(), kClicks.end());
    shots.push_back(kExampleShot);
    for (const std::string& name : shots) {
        SCOPED_TRACE(name);
        const std::vector<float>& x = sound(name).samples.at(0);
        EXPECT_LE(std::abs(x.front()), 1e-3f);
        EXPECT_LE(std::abs(x.back()), 1e-3f);
    }
}

// Share of a sound's energy below `hz`, split by a one-pole low-pass: a coarse but
// steady measure of which register a call sits in.
double lowShare(const Sound& sound, double hz) {
    const double a = 1.0 - std::exp(-2.0 * std::numbers::pi * hz / sound.rate);
    double low = 0.0, all = 0.0;
    for (const auto& channel : sound.samples) {
        double y = 0.0;
        for (const float x : channel) {
            y += a * (x - y);
            low += y * y;
            all += static_cast<double>(x) * x;
        }
    }
    return all > 0.0 ? low / all : 0.0;
}

// Songbirds sing high and a ship's horn, a cow or a hooting owl sound low; a call
// in the wrong register has a slipped pitch or formant.
TEST_F(GeneratedAssets, CallsSitInTheirAnimalsRegister) {
    for (const char* name : {"sparrow.wav", "bird1.wav", "bird3.wav", "bird4.wav",
                             "nightengale.wav", "birdies.wav", "owl.wav"}) {
        SCOPED_TRACE(name);
        EXPECT_LT(lowShare(sound(name), 1000.0), 0.25);
    }
    for (const char* name :
         {"foghornwav.wav", "moo3.wav", "bullfrog.wav", "OWL2.wav", "cuckoo.wav"}) {
        SCOPED_TRACE(name);
        EXPECT_GT(lowShare(sound(name), 1000.0), 0.65);
    }
}

// Loudness of each successive `step` of a sound, in dB.
std::vector<double> loudnessSteps(const Sound& sound, double step) {
    const std::vector<double> mono = monoMix(sound, sound.frames());
    const auto hop = static_cast<std::size_t>(step * sound.rate);
    std::vector<double> levels;
    for (std::size_t start = 0; start + hop <= mono.size(); start += hop) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + hop; ++i) {
            sum += mono[i] * mono[i];
        }
        levels.push_back(toDb(std::sqrt(sum / static_cast<double>(hop))));
    }
    return levels;
}

// Surf must be heard to break in waves, and a gentle sea to lap, despite the rule
// that keeps a loop's wrap at its average loudness; rain on a roof stays steady.
TEST_F(GeneratedAssets, SeaLoopsRiseAndFallWithTheirWaves) {
    const auto swing = [](const std::vector<double>& levels) {
        const auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
        return *hi - *lo;
    };
    EXPECT_GT(swing(loudnessSteps(sound("ocean2.wav"), 0.4)), 10.0);
    EXPECT_GT(swing(loudnessSteps(sound("tidal.wav"), 0.4)), 4.0);
    EXPECT_LT(swing(loudnessSteps(sound("rainroof.wav"), 0.4)), 4.0);
}

TEST_F(GeneratedAssets, SoundsAreDistinct) {
    const std::vector<std::string> names = allSounds();
    std::vector<std::vector<unsigned char>> bytes;
    std::vector<std::vector<double>> openings;
    for (const std::string& name : names) {
        bytes.push_back(readBytes(root_ / name));
        openings.push_back(monoMix(sound(name), 48000));
    }
    for (std::size_t a = 0; a < names.size(); ++a) {
        for (std::size_t b = a + 1; b < names.size(); ++b) {
            SCOPED_TRACE(names[a] + " vs " + names[b]);
            EXPECT_NE(bytes[a], bytes[b]);
            // Catches the same sound at another level or length, not just a byte copy.
            EXPECT_LT(std::abs(correlation(openings[a], openings[b])), 0.9);
        }
    }
}

TEST_F(GeneratedAssets, PicturesAreWellFormedAndDistinct) {
    std::map<std::vector<unsigned char>, std::string> seen;
    const auto check = [&](const std::string& name, bool gif) {
        SCOPED_TRACE(name);
        const fs::path path = root_ / "images" / name;
        const std::vector<unsigned char> bytes = readBytes(path);
        const std::optional<PictureHeader> header = gif ? gifHeader(bytes) : jpegHeader(bytes);
        ASSERT_TRUE(header.has_value()) << "not a complete " << (gif ? "GIF" : "JPEG") << " file";
        EXPECT_EQ(header->width, 320);
        EXPECT_EQ(header->height, 240);
        if (gif) {
            EXPECT_EQ(header->paletteSize, 256);
        }
        // A flat or nearly empty 320x240 picture compresses to a couple of KB.
        EXPECT_GT(bytes.size(), 4000u);
        const auto [it, added] = seen.emplace(bytes, name);
        EXPECT_TRUE(added) << "same bytes as " << it->second;
#ifdef QT_GUI_LIB
        const QImage image(QString::fromStdString(path.string()));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(320, 240));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 4) {
            for (int x = 0; x < image.width(); x += 4) {
                colours.insert(image.pixel(x, y));
            }
        }
        EXPECT_GE(colours.size(), 32) << "looks blank";
#endif
    };
    for (const std::string& name : kJpegs) {
        check(name, false);
    }
    for (const std::string& name : kGifs) {
        check(name, true);
    }
}

#ifdef QT_GUI_LIB
// Each scene button shows a small picture of its scene.
TEST_F(GeneratedAssets, SceneIconsAreSmallDistinctPictures) {
    std::map<std::vector<unsigned char>, std::string> seen;
    for (const std::string& name : kSceneIcons) {
        SCOPED_TRACE(name);
        const fs::path path = root_ / "resources" / "icons" / name;
        const QImage icon(QString::fromStdString(path.string()), "PNG");
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.size(), QSize(48, 36));
        QSet<QRgb> colours;
        for (int y = 2; y < icon.height() - 2; ++y) {
            for (int x = 2; x < icon.width() - 2; ++x) {
                colours.insert(icon.pixel(x, y));
            }
        }
        EXPECT_GE(colours.size(), 16) << "looks blank";
        const auto [it, added] = seen.emplace(readBytes(path), name);
        EXPECT_TRUE(added) << "same bytes as " << it->second;
    }
}

// A screen at twice the density gets each scene icon painted at twice the size,
// the same picture as the small one.
TEST_F(GeneratedAssets, SceneIconsHaveASharpDoubleSizeCopy) {
    for (const std::string& name : kSceneIcons) {
        SCOPED_TRACE(name);
        const fs::path path = root_ / "resources" / "icons" / name;
        fs::path sharpPath = path;
        sharpPath.replace_filename(path.stem().string() + "@2x.png");
        const QImage icon(QString::fromStdString(path.string()), "PNG");
        const QImage sharp(QString::fromStdString(sharpPath.string()), "PNG");
        ASSERT_FALSE(sharp.isNull());
        EXPECT_EQ(sharp.size(), icon.size() * 2);
        // Halved, it is the small icon within a few levels per colour.
        const QImage halved =
            sharp.scaled(icon.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double difference = 0;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                const QRgb a = icon.pixel(x, y);
                const QRgb b = halved.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b));
            }
        }
        EXPECT_LT(difference / (3.0 * icon.width() * icon.height()), 12.0);
    }
}
#endif

} // namespace
