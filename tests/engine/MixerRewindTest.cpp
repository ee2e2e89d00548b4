// Rendering again from a frame not yet heard: an output with a long buffer
// renders seconds ahead and, after a change, goes back and renders from there.
// What it renders then must be exactly what a mixer that had the change at
// that frame renders, so the new stretch joins the old without a seam.

#include "MixerTape.h"
#include "engine/Mixer.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace sylvaro::engine {
namespace {

using test::makePcm;
using test::sine;

constexpr int kRate = 48000;

// The same voices in any mixer: two loud loops that keep the limiter at work,
// a quiet loop, a once-played sound that ends early on, and an alarm outside
// the master volume; the master is in the middle of a long fade.
struct Scene {
    VoiceId loudA = kNoVoice;
    VoiceId loudB = kNoVoice;
    VoiceId quiet = kNoVoice;
    VoiceId shot = kNoVoice;
    VoiceId alarm = kNoVoice;

    explicit Scene(Mixer& mixer) {
        loudA = mixer.createVoice(makePcm(kRate, 1, sine(30011, 220.0 / kRate, 0.7)));
        loudB = mixer.createVoice(makePcm(kRate, 2, sine(2 * 17003, 331.0 / kRate, 0.7)));
        quiet = mixer.createVoice(makePcm(kRate, 1, sine(9001, 1234.0 / kRate, 0.3)));
        shot = mixer.createVoice(makePcm(kRate, 1, sine(20000, 880.0 / kRate, 0.5)));
        alarm = mixer.createVoice(makePcm(kRate, 1, sine(4800, 660.0 / kRate, 0.2)));
        mixer.setExempt(alarm, true);
        mixer.play(loudA, true);
        mixer.play(loudB, true);
        mixer.setVolume(quiet, -600);
        mixer.play(quiet, true);
        mixer.play(shot, false);
        mixer.setMasterVolume(-1500, 2 * kRate);
    }
    // Everything a click can do, at once: stop, seek a playing voice, a new
    // volume and pan, a once-played sound that had ended played again, the
    // fade turned back half way, the alarm.
    void firstChange(Mixer& mixer) const {
        mixer.stop(loudB);
        mixer.setPosition(loudA, 500);
        mixer.setVolume(quiet, -200);
        mixer.setPan(quiet, 700);
        mixer.play(shot, false);
        mixer.setMasterVolume(0, kRate / 2);
        mixer.play(alarm, true);
    }
    void secondChange(Mixer& mixer) const {
        mixer.play(loudB, true);
        mixer.stop(shot);
        mixer.setVolume(loudA, -900);
    }
};

// Renders `frames` frames in device-sized blocks and appends them to `out`.
void renderInto(Mixer& mixer, std::vector<float>& out, int frames, int block = 1000) {
    for (int done = 0; done < frames;) {
        const int n = std::min(block, frames - done);
        const std::size_t at = out.size();
        out.resize(at + 2 * static_cast<std::size_t>(n));
        mixer.render(out.data() + at, n);
        done += n;
    }
}

std::vector<float> framesFrom(const std::vector<float>& stereo, int from) {
    return {stereo.begin() + 2 * from, stereo.end()};
}

TEST(MixerRewind, RenderingAgainAfterAChangeEqualsHavingTheChangeAtThatFrame) {
    // The output renders far ahead; each change sends it back to a frame not
    // yet heard (never on a kept moment), and what it had rendered from there
    // on is replaced.
    constexpr int kFirst = 41234;
    constexpr int kSecond = 70001;
    Mixer ahead;
    ahead.enableRewind(4 * kRate);
    const Scene a(ahead);
    std::vector<float> heard;
    renderInto(ahead, heard, 60000, 960);
    a.firstChange(ahead);
    ASSERT_EQ(ahead.rewind(kFirst), kFirst);
    EXPECT_EQ(ahead.frame(), kFirst);
    heard.resize(2 * static_cast<std::size_t>(kFirst));
    renderInto(ahead, heard, 100000 - kFirst, 960);
    ahead.settle(kFirst + 2000);
    a.secondChange(ahead);
    ASSERT_EQ(ahead.rewind(kSecond), kSecond);
    heard.resize(2 * static_cast<std::size_t>(kSecond));
    renderInto(ahead, heard, 130000 - kSecond, 4410);

    // The same changes made at those frames, rendered straight through.
    Mixer straight;
    const Scene b(straight);
    std::vector<float> expected;
    renderInto(straight, expected, kFirst, 512);
    b.firstChange(straight);
    renderInto(straight, expected, kSecond - kFirst, 512);
    b.secondChange(straight);
    renderInto(straight, expected, 130000 - kSecond, 512);

    ASSERT_EQ(heard.size(), expected.size());
    EXPECT_EQ(framesFrom(heard, kFirst - 2000), framesFrom(expected, kFirst - 2000))
        << "sample for sample, across both joins";
    for (const VoiceId v : {a.loudA, a.loudB, a.quiet, a.shot, a.alarm}) {
        EXPECT_EQ(ahead.isPlaying(v), straight.isPlaying(v)) << v;
        EXPECT_EQ(ahead.position(v), straight.position(v)) << v;
    }
    // The scene is not trivially quiet: the limiter had work to do, and the
    // changes are heard.
    const auto loudest = std::max_element(expected.begin(), expected.end());
    EXPECT_GT(*loudest, 0.8f);
    EXPECT_NE(framesFrom(heard, kFirst), [&] {
        Mixer unchanged;
        const Scene c(unchanged);
        std::vector<float> out;
        renderInto(unchanged, out, 130000);
        return framesFrom(out, kFirst);
    }());
}

TEST(MixerRewind, GoesNoFurtherBackThanWhatWasRenderedSettledOrKept) {
    Mixer mixer;
    mixer.enableRewind(kRate);
    const Scene scene(mixer);
    std::vector<float> out;
    renderInto(mixer, out, 10 * kRate);
    EXPECT_EQ(mixer.rewind(12 * kRate), 10 * kRate) << "nothing to go back to after the newest frame";
    const std::int64_t reachable = mixer.rewind(0);
    EXPECT_LE(reachable, 10 * kRate - kRate) << "keeps at least what it was asked to keep";
    EXPECT_GT(reachable, 0) << "but not everything since the start";
    renderInto(mixer, out, kRate);
    mixer.settle(reachable + 30000);
    EXPECT_EQ(mixer.rewind(reachable + 10), reachable + 30000);
}

// A released voice fades out; its samples must outlive every moment a rewind
// can still go back to, where it was sounding.
TEST(MixerRewind, ReleasedSamplesLiveUntilNoRewindCanReachWhereTheyWereHeard) {
    Mixer mixer(kRate, 4);
    mixer.enableRewind(2 * kRate);
    const PcmPtr pcm = makePcm(kRate, 1, sine(4800, 440.0 / kRate));
    const VoiceId v = mixer.createVoice(pcm);
    mixer.play(v, true);
    std::vector<float> out;
    renderInto(mixer, out, kRate);
    mixer.releaseVoice(v);
    EXPECT_EQ(mixer.rewind(kRate / 2), kRate / 2);
    renderInto(mixer, out, kRate);
    mixer.createVoice(makePcm(kRate, 1, {0.1f})); // frees what can be freed
    EXPECT_GT(pcm.use_count(), 1) << "a rewind may still reach where it played";

    mixer.settle(kRate / 2 + 2 * Mixer::kKeyFrames);
    mixer.createVoice(makePcm(kRate, 1, {0.1f}));
    EXPECT_EQ(pcm.use_count(), 1);
    out.clear();
    EXPECT_EQ(mixer.rewind(0), kRate / 2 + 2 * Mixer::kKeyFrames);
    renderInto(mixer, out, 1000);
    EXPECT_EQ(out, std::vector<float>(2000, 0.0f)) << "the released voice is gone";
}

} // namespace
} // namespace sylvaro::engine
